#pragma once

#include <QIcon>

// The editor's own icon, a ruled page with a pencil, rendered at build time
// from data/icons and compiled in.
QIcon EditorIcon();
