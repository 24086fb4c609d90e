#pragma once

#include <QIcon>
#include <QString>

// A program's own icon, rendered at build time from data/icons and
// compiled in at the window sizes under ":/icons/<size>/<id>.png".
QIcon ProgramIcon(const QString& id);
