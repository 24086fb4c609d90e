#include "instanceguard.h"
#include "main.h"
#include "programicon.h"
#include "qttranslation.h"
#include "terminationsignals.h"
#include "userfiles.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The name, not the display name: Qt appends a display name to every
    // window title that does not end with it, and the caption must stand as
    // it is.
    QApplication::setApplicationName(QStringLiteral("かきこ"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kidrill.WordList"));
    QApplication::setWindowIcon(ProgramIcon(QStringLiteral("org.kidrill.WordList")));
    LoadQtJapanese(app);

    // Where the drill looks for the list too; a second editor over the same
    // list ends here, before it reads anything.
    const QString appDirectory = QCoreApplication::applicationDirPath();
    const std::string directory = UserDataDirectory(appDirectory.toStdString() + '/');
    InstanceGuard guard(QStringLiteral("kidlist"), directory);
    if (!MayStart(guard, QCoreApplication::applicationName()))
        return 0;

    // The end of the desktop session, from the start on: nothing is asked
    // and nothing saved.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, [] { QCoreApplication::exit(0); });
    TForm1 Form1(QString::fromStdString(directory), appDirectory);
    if (!Form1.loaded())
        return 1;
    QObject::connect(&guard, &InstanceGuard::showRequested, &Form1, [&Form1] { BringToFront(&Form1); });
    Form1.show();
    return QApplication::exec();
}
