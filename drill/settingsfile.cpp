#include "settingsfile.h"

#include "options.h"
#include "platform.h"
#include "settings.h"
#include "textfile.h"
#include "userfiles.h"

#include <limits>

namespace {

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

std::string LevelSection(int level) { return "Level" + std::to_string(level); }
std::string ModeKey(int mode) { return "Mode" + std::to_string(mode); }

} // namespace

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

std::string SettingsPath()
{
    return UserDir + "kidrill.ini";
}

void ReadSettings(const IniFile& profile, std::int32_t screenWidth, std::int32_t screenHeight)
{
    MainX = ReadInteger(profile, "Position", "MainX", DefaultMainX(screenWidth));
    MainY = ReadInteger(profile, "Position", "MainY", DefaultMainY(screenHeight));
    KeyboardX = ReadInteger(profile, "Position", "KeyboardX", DefaultKeyboardX(screenWidth));
    KeyboardY = ReadInteger(profile, "Position", "KeyboardY", DefaultKeyboardY(MainY));
    ApplyChoice(ReadChoice(profile));
    ReadRemembered(profile);
    for (int level = 1; level <= LevelCount; ++level)
        for (int mode = 1; mode <= ModeCount; ++mode)
            HighScoreTable.at(level, mode) = ReadInteger(profile, LevelSection(level), ModeKey(mode), 0);
}

void StoreSettings(IniFile& profile, const SavedPlaces& places, const HighScores& scores)
{
    profile.write("Position", "MainX", std::to_string(places.mainX));
    profile.write("Position", "MainY", std::to_string(places.mainY));
    profile.write("Position", "KeyboardX", std::to_string(places.keyboardX));
    profile.write("Position", "KeyboardY", std::to_string(places.keyboardY));
    for (int level = 1; level <= LevelCount; ++level)
        for (int mode = 1; mode <= ModeCount; ++mode)
            profile.write(LevelSection(level), ModeKey(mode), std::to_string(scores.at(level, mode)));
}

bool SaveSettingsFile(const SavedPlaces& places, const HighScores& scores,
                      const std::function<void(IniFile&)>& storeMore)
{
    const std::string path = SettingsPath();
    IniFile profile;
    bool ok = true;
    if (FileExists(path)) {
        // A file that exists but cannot be read must not be replaced by one
        // that lacks the user's lines.
        const FileBytes old = ReadFileBytes(path);
        ok = old.status == FileStatus::Ok;
        profile = IniFile(old.bytes);
    }
    if (ok) {
        StoreSettings(profile, places, scores);
        if (storeMore)
            storeMore(profile);
        ok = static_cast<bool>(WriteUserFile(path, profile.bytes()));
    }
    if (!ok)
        CurrentPlatform().showError(path + " に書き込めません", "エラー");
    return ok;
}
