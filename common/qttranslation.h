#pragma once

class QCoreApplication;

// Qt's own texts (the buttons of message boxes, the colour and file
// dialogs) in Japanese, whatever the desktop's language: Qt's translation
// qtbase_ja (Debian: qt6-translations-l10n) from Qt's translations folder.
// False when it is not installed; Qt's texts then stay in English.
bool LoadQtJapanese(QCoreApplication& app);
