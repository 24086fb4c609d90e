#pragma once

class QWidget;

// Where the drill's windows stand, and how their places are saved.

// Moves the drill window (MainX, MainY) or the keyboard window (KeyboardX,
// KeyboardY) to its stored place, or to its default place on the primary
// screen when the stored one is mostly off the screens.
void PlaceDrillWindow(QWidget& window);
void PlaceKeyboardWindow(QWidget& window);

// Saves the window places and HighScoreTable as "おわり" does: a window that
// was not moved writes its stored place back. False when the save failed,
// which it has reported.
bool SaveSettings();
