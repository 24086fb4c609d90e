#include "icon.h"
#include "main.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The name, not the display name: Qt appends a display name to every
    // window title that does not end with it, and the caption must stand as
    // it is.
    QApplication::setApplicationName(QStringLiteral("かきこ"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kidrill.WordList"));
    QApplication::setWindowIcon(EditorIcon());

    TForm1 Form1(QCoreApplication::applicationDirPath());
    if (!Form1.loaded())
        return 1;
    Form1.show();
    return QApplication::exec();
}
