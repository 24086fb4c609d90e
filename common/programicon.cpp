#include "programicon.h"

#include "windowiconsizes.h"

QIcon ProgramIcon(const QString& id)
{
    QIcon icon;
    for (const int size : {KIDRILL_WINDOW_ICON_SIZES})
        icon.addFile(QStringLiteral(":/icons/%1/%2.png").arg(size).arg(id));
    return icon;
}
