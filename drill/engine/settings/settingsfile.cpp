#include "settings/settingsfile.h"

#include "platform.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "textfile.h"
#include "userfiles.h"


namespace {

std::string LevelSection(int level) { return "Level" + std::to_string(level); }
std::string ModeKey(int mode) { return "Mode" + std::to_string(mode); }

} // namespace

std::string SettingsPath()
{
    return LearnerDir() + SettingsFileName;
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
