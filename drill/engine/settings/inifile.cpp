#include "settings/inifile.h"

#include "textfile.h"

namespace {

constexpr auto npos = std::string::npos;

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The name of a "[name]" line, or nothing for any other line.
bool SectionName(std::string_view line, std::string_view& name)
{
    const std::string_view t = TrimBlanks(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const auto close = t.find(']');
    if (close == npos)
        return false;
    name = TrimBlanks(t.substr(1, close - 1));
    return true;
}

// The key and value of a "key=value" line; comments and other lines have none.
bool Entry(std::string_view line, std::string_view& key, std::string_view& value)
{
    const std::string_view t = TrimBlanks(line);
    if (t.empty() || t.front() == ';')
        return false;
    const auto equals = t.find('=');
    if (equals == npos)
        return false;
    key = TrimBlanks(t.substr(0, equals));
    value = TrimBlanks(t.substr(equals + 1));
    return true;
}

int DigitValue(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

} // namespace

IniFile::IniFile(std::string_view bytes)
{
    LineReader lines(bytes, LineRules::Profile);
    while (!lines.atEnd())
        lines_.emplace_back(lines.readLine());
}

IniFile::Found IniFile::find(std::string_view section, std::string_view key) const
{
    Found found {npos, npos, npos};
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionName(lines_[i], name)) {
            if (found.sectionLine != npos)
                break; // the first section of that name has ended
            if (SameName(name, section)) {
                found.sectionLine = i;
                found.sectionEnd = i + 1;
            }
            continue;
        }
        if (found.sectionLine == npos)
            continue;
        std::string_view k, v;
        if (Entry(lines_[i], k, v)) {
            found.sectionEnd = i + 1;
            if (found.keyLine == npos && SameName(k, key))
                found.keyLine = i;
        }
    }
    return found;
}

std::string IniFile::read(std::string_view section, std::string_view key, std::string_view fallback) const
{
    const Found f = find(section, key);
    std::string_view k, v;
    if (f.keyLine == npos || !Entry(lines_[f.keyLine], k, v))
        return std::string(fallback);
    return std::string(v);
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string line = std::string(key) + "=" + std::string(value);
    const Found f = find(section, key);
    if (f.keyLine != npos) {
        lines_[f.keyLine] = line;
    } else if (f.sectionLine != npos) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(f.sectionEnd), line);
    } else {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(line);
    }
}

std::string IniFile::bytes() const
{
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<std::int32_t> ParseProfileInteger(std::string_view text)
{
    bool negative = false;
    int base = 10;
    if (text.size() > 2 && (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X")) {
        text.remove_prefix(2);
        base = 16;
    } else {
        const auto first = text.find_first_not_of(' ');
        text.remove_prefix(first == std::string_view::npos ? text.size() : first);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            negative = text.front() == '-';
            text.remove_prefix(1);
        }
        if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
            text.remove_prefix(1);
            base = 16;
        } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            text.remove_prefix(2);
            base = 16;
        }
    }
    if (text.empty())
        return std::nullopt;
    // Hexadecimal may fill all 32 bits; decimal must fit the signed range.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t value = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        value = value * std::uint64_t(base) + std::uint64_t(digit);
        if (value > limit)
            return std::nullopt;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? (~value + 1) : value);
    return static_cast<std::int32_t>(bits);
}

std::int32_t ReadInteger(const IniFile& profile, std::string_view section, std::string_view key, std::int32_t fallback)
{
    return ParseProfileInteger(profile.read(section, key, "")).value_or(fallback);
}
