#include "platform.h"
#include "roma.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    AppDir = QCoreApplication::applicationDirPath().toStdString() + '/';
    return LoadRomajiTable() ? 0 : 1;
}
