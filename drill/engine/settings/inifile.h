#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An INI-style profile: sections of key=value lines. Section and key names
// match without regard to ASCII case; a write changes only the line of its
// key (or adds one), so every other line is kept byte for byte. Reads lines by
// the rules of a profile (LineRules::Profile); writes CR LF.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string_view bytes);

    // The value of the first such key in the first such section, with the
    // blanks around it removed, or `fallback` when there is none.
    std::string read(std::string_view section, std::string_view key, std::string_view fallback) const;

    // Replaces the key's value where the key exists, else adds the key at
    // the end of its section, else adds the section at the end of the file.
    void write(std::string_view section, std::string_view key, std::string_view value);

    std::string bytes() const;

private:
    struct Found {
        std::size_t sectionLine; // npos: no such section
        std::size_t keyLine;     // npos: no such key in it
        std::size_t sectionEnd;  // the line after the section's last entry
    };
    Found find(std::string_view section, std::string_view key) const;

    std::vector<std::string> lines_;
};

// The integer syntax of the settings file: decimal with an optional sign
// after leading blanks, or hexadecimal after "$", "x", "X", "0x" or "0X"
// (which may use all 32 bits). Anything else, or a value that does not fit,
// is no integer.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

// The key's value by that syntax, or `fallback` when it is absent or no
// integer.
std::int32_t ReadInteger(const IniFile& profile, std::string_view section, std::string_view key, std::int32_t fallback);
