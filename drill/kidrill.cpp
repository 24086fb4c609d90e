#include "instanceguard.h"
#include "keyboard.h"
#include "main.h"
#include "platform.h"
#include "programicon.h"
#include "qtplatform.h"
#include "qttranslation.h"
#include "rank.h"
#include "result.h"
#include "session.h"
#include "settings/options.h"
#include "stop.h"
#include "title.h"
#include "userfiles.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The name the desktop shows for the program; window captions stay
    // as they are, since no display name is set.
    QCoreApplication::setApplicationName(QStringLiteral("ポプリカ"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kidrill.Drill"));
    QApplication::setWindowIcon(ProgramIcon(QStringLiteral("org.kidrill.Drill")));
    LoadQtJapanese(app);

    // Before anything is loaded: a second start over the same files ends here.
    InstanceGuard guard(QStringLiteral("kidrill"),
                        UserDataDirectory(QCoreApplication::applicationDirPath().toStdString() + '/'));
    if (!MayStart(guard, QCoreApplication::applicationName()))
        return 0;
    // Before the windows: the end of the session during start-up is taken
    // as soon as the event loop runs, not by the signal's default death.
    EndWithTheSession(&app);
    QtPlatform platform;

    // Created in this order: the title window loads what the others need.
    Ttitle1 title;
    title1 = &title;
    Tmain1 drill;
    main1 = &drill;
    Tstopdlg stop;
    stopdlg = &stop;
    Tresultdlg result;
    resultdlg = &result;
    Tkb1 keyboard(&drill);
    kb1 = &keyboard;
    Trankdlg rank;
    rankdlg = &rank;

    // Start-up asked for the end: the loop would end at its first turn.
    if (EndRequested())
        return 0;
    if (KeySound)
        platform.loadSounds();
    QObject::connect(&guard, &InstanceGuard::showRequested, &title, [&title] { BringToFront(&title); });
    title.show();
    const int status = app.exec();
    // Qt's sound system, held by a server that does not answer, would hold
    // the end for half a minute in its exit handlers; every file is saved.
    if (!platform.finishSounds())
        std::_Exit(status);
    return status;
}
