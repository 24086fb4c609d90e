#pragma once

#include <QIcon>

// The editor's own icon, drawn rather than shipped: a ruled page with a
// pencil. Needs a QGuiApplication.
QIcon EditorIcon();
