#include "session.h"

#include "platform.h"
#include "scores.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "terminationsignals.h"
#include "textfile.h"
#include "windowplace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

namespace {

// Set once start-up has read the settings file (or found none there).
bool settingsRead = false;

// A window whose place the settings keep, and where creation put it.
struct PlacedWindow {
    QPointer<QWidget> window;
    WindowPoint shown;

    // Where the window is now; where it was put when it is gone.
    WindowPoint now() const { return window ? WindowPoint {window->x(), window->y()} : shown; }
};
PlacedWindow DrillWindow;
PlacedWindow KeyboardWindow;

void Place(PlacedWindow& placed, QWidget& window, WindowPoint stored, WindowPoint byDefault)
{
    const Platform::Screens screens = CurrentPlatform().screens();
    const WindowPoint fallback {WrappedSum(screens.primary.x, byDefault.x), WrappedSum(screens.primary.y, byDefault.y)};
    placed = {&window, PlaceOnScreens(stored, window.width(), window.height(), screens.available, fallback)};
    window.move(placed.shown.x, placed.shown.y);
    // A window shown before (placed again for another learner) may report
    // its place as the platform took it, frame and all: that is where it
    // stands unmoved.
    placed.shown = {window.x(), window.y()};
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
    Place(DrillWindow, window, {MainX, MainY}, {DefaultMainX(screen.width), DefaultMainY(screen.height)});
}

void PlaceKeyboardWindow(QWidget& window)
{
    const Platform::ScreenSize screen = CurrentPlatform().screenSize();
    Place(KeyboardWindow, window, {KeyboardX, KeyboardY},
          {DefaultKeyboardX(screen.width), DefaultKeyboardY(DefaultMainY(screen.height))});
}

void CentreOnScreen(QWidget& window)
{
    const Platform::ScreenSize screen = CurrentPlatform().screenSize();
    const WindowPoint primary = CurrentPlatform().screens().primary;
    window.move(primary.x + (screen.width - window.width()) / 2, primary.y + (screen.height - window.height()) / 2);
}

void FitOnScreen(QWidget& window, QSize wanted)
{
    const Platform::Screens screens = CurrentPlatform().screens();
    // The available area of the screen that holds the primary's corner.
    const Platform::ScreenSize size = CurrentPlatform().screenSize();
    WindowArea area {screens.primary.x, screens.primary.y, size.width, size.height};
    for (const WindowArea& a : screens.available)
        if (a.x <= screens.primary.x && screens.primary.x < a.x + a.width && a.y <= screens.primary.y
            && screens.primary.y < a.y + a.height)
            area = a;
    // Room for the window's frame, which the size does not count.
    constexpr int Frame = 40;
    window.resize(std::min(wanted.width(), area.width - Frame), std::min(wanted.height(), area.height - Frame));
    window.move(area.x + (area.width - window.width()) / 2, area.y + (area.height - window.height() - Frame) / 2);
}

void KeepOnScreen(QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const WindowPoint kept = KeptOnScreen({frame.x(), frame.y()}, frame.width(), frame.height(),
                                          CurrentPlatform().screens().available);
    if (kept.x != frame.x() || kept.y != frame.y())
        window.move(kept.x, kept.y);
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
    const WindowPoint drill = PlaceToWrite({MainX, MainY}, DrillWindow.shown, DrillWindow.now());
    const WindowPoint keyboard = PlaceToWrite({KeyboardX, KeyboardY}, KeyboardWindow.shown, KeyboardWindow.now());
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
