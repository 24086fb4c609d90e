// The settings store and the integer syntax on any bytes: a write is read
// back, every other line survives, and a parsed integer prints and parses
// back to itself.
#include "settings/inifile.h"
#include "settings/settingsfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::size_t LineCount(const std::string& bytes)
{
    std::size_t n = 0;
    for (const char c : bytes)
        n += c == '\n';
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto value = ParseProfileInteger(bytes)) {
        if (ParseProfileInteger(std::to_string(*value)) != value)
            std::abort();
    }

    IniFile ini(bytes);
    const std::string before = ini.bytes();
    const std::string old = ini.read("Position", "MainX", "none");
    ini.write("Position", "MainX", "-50");
    ini.write("Level3", "Mode5", "886");
    const IniFile again(ini.bytes());
    if (again.read("position", "mainx", "") != "-50" || again.read("LEVEL3", "MODE5", "") != "886")
        std::abort();
    // At most two lines more: each write adds a key, a section or neither.
    const std::size_t added = LineCount(ini.bytes()) - LineCount(before);
    if (added > 4)
        std::abort();
    // A key already there is replaced in place.
    if (old != "none" && added > 2)
        std::abort();
    return 0;
}
