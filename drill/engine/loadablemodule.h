#pragma once

#include <memory>
#include <string>

// The program's loadable modules (the sound player, the records) stand
// beside it in AppDir, and each has one entry point that makes its object.
// Loading one costs start-up time and memory, so it is done at the first
// need.

// The address of `entry` in the module named `module`, or nullptr with the
// loader's reason in `error`.
void* ResolveModuleEntry(const char* module, const char* entry, std::string& error);

// The object that the module's entry `T* entry()` makes, owned by the
// caller; nullptr when the module or its entry cannot be found.
template <class T>
std::unique_ptr<T> LoadFromModule(const char* module, const char* entry, std::string& error)
{
    const auto create = reinterpret_cast<T* (*)()>(ResolveModuleEntry(module, entry, error));
    return std::unique_ptr<T>(create ? create() : nullptr);
}
