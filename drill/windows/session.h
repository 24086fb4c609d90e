#pragma once

#include <cstdint>

#include <QSize>

class QObject;
class QWidget;

// What the drill keeps of a session, and when it goes to disk.

// Moves the drill window (MainX, MainY) or the keyboard window (KeyboardX,
// KeyboardY) to its stored place, or to its default place on the primary
// screen when the stored one is mostly off the screens.
void PlaceDrillWindow(QWidget& window);
void PlaceKeyboardWindow(QWidget& window);
// Moves a window to the middle of the primary screen.
void CentreOnScreen(QWidget& window);
// Gives a window its wanted size, or less where the primary screen's
// available area (without the desktop's panels) is smaller, and centres it
// there: a window that scrolls inside is never taller than the screen.
void FitOnScreen(QWidget& window, QSize wanted);
// Moves a window that grew as little as it takes to show it whole on its
// screen.
void KeepOnScreen(QWidget& window);

struct SettingsChoice;

// Reads the settings file at start-up, for a screen of this size. A file too
// large to be a settings file is not read: the defaults hold, the learner is
// told so, and nothing is ever saved over it.
void LoadSettings(std::int32_t screenWidth, std::int32_t screenHeight);
// For tests: the settings count as not read.
void ForgetSettings();

// Saves the window places and HighScoreTable as "おわり" does: a window that
// was not moved writes its stored place back; with them what the options
// keep, and the settings window's `chosen` values when given. Saves nothing
// before the settings have been read, as it would write defaults over the
// learner's. False when nothing was saved; a save that failed has been
// reported.
bool SaveSettings(const SettingsChoice* chosen = nullptr);

// The desktop session is ending: saves as "おわり" does and ends the
// program. Does nothing when the program is ending already.
void EndSession();

// Makes SIGTERM, SIGHUP and the session manager's quit end the session,
// for as long as `owner` lives. The session manager's request to save comes
// first and saves without ending.
void EndWithTheSession(QObject* owner);
