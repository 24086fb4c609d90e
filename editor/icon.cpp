#include "icon.h"

QIcon EditorIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/%1/org.kidrill.WordList.png").arg(size));
    return icon;
}
