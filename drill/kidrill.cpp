#include "classdlg.h"
#include "commandline.h"
#include "instanceguard.h"
#include "keyboard.h"
#include "kidrillversion.h"
#include "learnerdlg.h"
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

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    // Read before the toolkit starts, so that what only prints needs no
    // display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = ParseCommandLine(arguments);
    if (command.action != CommandLine::Action::Run && command.action != CommandLine::Action::ClassWindow) {
        QCoreApplication core(argc, argv);
        // The records module and the course, where the drill finds them.
        AppDir = QCoreApplication::applicationDirPath().toStdString() + '/';
        UserDir = UserDataDirectory(AppDir);
        const CommandLineAnswer answer = AnswerCommandLine(command, UserDir, KidrillVersion);
        std::fputs(answer.out.c_str(), stdout);
        std::fputs(answer.err.c_str(), stderr);
        return answer.status;
    }

    QApplication app(argc, argv);
    // The name the desktop shows for the program; window captions stay
    // as they are, since no display name is set.
    QCoreApplication::setApplicationName(QStringLiteral("ポプリカ"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kidrill.Drill"));
    QApplication::setWindowIcon(ProgramIcon(QStringLiteral("org.kidrill.Drill")));
    LoadQtJapanese(app);

    // A teacher's look at the class reads records only: no learner is
    // chosen, nothing of theirs is loaded or saved, and a drill running on
    // the same files meanwhile is no second start.
    if (command.action == CommandLine::Action::ClassWindow) {
        QtPlatform platform;
        AppDir = platform.executableDirectory();
        UserDir = UserDataDirectory(AppDir);
        Tclassdlg window;
        window.showClass(command.folder);
        window.exec();
        return 0;
    }

    // Before anything is loaded: a second start over the same files ends
    // here, whichever learner it is for.
    const std::string dataDirectory = UserDataDirectory(QCoreApplication::applicationDirPath().toStdString() + '/');
    InstanceGuard guard(QStringLiteral("kidrill"), dataDirectory);
    if (!MayStart(guard, QCoreApplication::applicationName()))
        return 0;
    // Before the windows: the end of the session during start-up is taken
    // as soon as the event loop runs, not by the signal's default death.
    EndWithTheSession(&app);
    QtPlatform platform;

    // Who practises, before anything of theirs is read.
    if (!ChooseLearnerAtStart(dataDirectory, command.learner))
        return command.learner.isEmpty() ? 0 : 1;

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
