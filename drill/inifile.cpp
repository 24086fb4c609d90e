#include "inifile.h"

#include "textfile.h"

namespace {

constexpr auto npos = std::string::npos;

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

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
    const std::string_view t = Trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const auto close = t.find(']');
    if (close == npos)
        return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// The key and value of a "key=value" line; comments and other lines have none.
bool Entry(std::string_view line, std::string_view& key, std::string_view& value)
{
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';')
        return false;
    const auto equals = t.find('=');
    if (equals == npos)
        return false;
    key = Trim(t.substr(0, equals));
    value = Trim(t.substr(equals + 1));
    return true;
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
