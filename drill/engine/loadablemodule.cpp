#include "loadablemodule.h"

#include "platform.h"

#include <QLibrary>
#include <QString>

void* ResolveModuleEntry(const char* module, const char* entry, std::string& error)
{
    // The library stays loaded after `library` is gone: a module is never
    // unloaded while the program runs.
    QLibrary library(QString::fromStdString(AppDir) + QLatin1String(module));
    void* address = reinterpret_cast<void*>(library.resolve(entry));
    if (!address)
        error = library.errorString().toStdString();
    return address;
}
