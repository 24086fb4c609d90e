#include "guide.h"
#include "keyboard.h"
#include "main.h"
#include "platform.h"
#include "problems.h"
#include "qtplatform.h"
#include "roma.h"
#include "settings.h"

#include <QApplication>
#include <QScreen>

#include <chrono>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QtPlatform platform;
    AppDir = QCoreApplication::applicationDirPath().toStdString() + '/';
    const QSize screen = QGuiApplication::primaryScreen()->size();
    ResetSettings(screen.width(), screen.height());
    if (!LoadRomajiTable() || LoadFingerTable() != FingerTableLoad::Ok)
        return 0;
    DrillRandom.seed(static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count()));

    Tmain1 drill;
    main1 = &drill;
    Tkb1 keyboard(&drill);
    kb1 = &keyboard;
    Counters.Mode = 1;
    Counters.Level = 1;
    Counters.TimeLimit = 60;
    drill.exec();
    return 0;
}
