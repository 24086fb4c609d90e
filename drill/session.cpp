#include "session.h"

#include "keyboard.h"
#include "main.h"
#include "options.h"
#include "platform.h"
#include "scores.h"
#include "settings.h"
#include "settingsfile.h"
#include "terminationsignals.h"
#include "textfile.h"
#include "windowplace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

namespace {

// Set once start-up has read the settings file (or found none there).
bool settingsRead = false;

// Where creation put the two windows.
WindowPoint DrillShown;
WindowPoint KeyboardShown;

WindowPoint Place(QWidget& window, WindowPoint stored, WindowPoint byDefault)
{
    const Platform::Screens screens = CurrentPlatform().screens();
    const WindowPoint fallback {WrappedSum(screens.primary.x, byDefault.x), WrappedSum(screens.primary.y, byDefault.y)};
    const WindowPoint shown = PlaceOnScreens(stored, window.width(), window.height(), screens.available, fallback);
    window.move(shown.x, shown.y);
    return shown;
}

WindowPoint Now(const QWidget* window, WindowPoint shown)
{
    return window ? WindowPoint {window->x(), window->y()} : shown;
}

// The session manager's quit reaches the program as a Quit event.
class SessionWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Quit)
            return QObject::eventFilter(watched, event);
        EndSession();
        return true;
    }
};

} // namespace

void PlaceDrillWindow(QWidget& window)
{
    const Platform::ScreenSize screen = CurrentPlatform().screenSize();
    DrillShown = Place(window, {MainX, MainY}, {DefaultMainX(screen.width), DefaultMainY(screen.height)});
}

void PlaceKeyboardWindow(QWidget& window)
{
    const Platform::ScreenSize screen = CurrentPlatform().screenSize();
    KeyboardShown = Place(window, {KeyboardX, KeyboardY},
                          {DefaultKeyboardX(screen.width), DefaultKeyboardY(DefaultMainY(screen.height))});
}

void LoadSettings(std::int32_t screenWidth, std::int32_t screenHeight)
{
    const std::string path = SettingsPath();
    const FileBytes file = ReadFileBytes(path);
    if (file.status == FileStatus::TooLarge)
        CurrentPlatform().showError(path + " は設定ファイルとしては大きすぎるため、読み込みませんでした。\n"
                                           "初期の設定で始めます。このファイルには書き込みません。",
                                    "エラー");
    ReadSettings(IniFile(file.status == FileStatus::Ok ? file.bytes : std::string()), screenWidth, screenHeight);
    settingsRead = file.status != FileStatus::TooLarge;
}

void ForgetSettings()
{
    settingsRead = false;
}

bool SaveSettings(const SettingsChoice* chosen)
{
    if (!settingsRead)
        return false;
    const WindowPoint drill = PlaceToWrite({MainX, MainY}, DrillShown, Now(main1, DrillShown));
    const WindowPoint keyboard = PlaceToWrite({KeyboardX, KeyboardY}, KeyboardShown, Now(kb1, KeyboardShown));
    return SaveSettingsFile({drill.x, drill.y, keyboard.x, keyboard.y}, HighScoreTable, [chosen](IniFile& profile) {
        if (chosen)
            StoreChoice(profile, *chosen);
        StoreRemembered(profile);
    });
}

void EndSession()
{
    if (EndRequested())
        return;
    // The end is asked for first: it also ends the loop of an error box
    // that a failed save shows, as nobody may be there to close it.
    RequestEnd();
    SaveSettings();
}

void EndWithTheSession(QObject* owner)
{
    auto* watcher = new SessionWatcher(owner);
    QCoreApplication::instance()->installEventFilter(watcher);
    auto* termination = new TerminationSignals(watcher);
    QObject::connect(termination, &TerminationSignals::received, watcher, [] { EndSession(); });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::commitDataRequest, watcher, [] {
            if (!EndRequested())
                SaveSettings();
        });
}
