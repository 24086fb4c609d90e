#pragma once

#include "scores.h"
#include "settings/inifile.h"

#include <cstdint>
#include <functional>
#include <string>

constexpr const char* SettingsFileName = "kidrill.ini";
// The learner's own: LearnerDir() + SettingsFileName.
std::string SettingsPath();

// Fills the settings values and HighScoreTable from the profile, each value
// that is absent or malformed with its default for a screen of this size.
void ReadSettings(const IniFile& profile, std::int32_t screenWidth, std::int32_t screenHeight);

struct SavedPlaces {
    std::int32_t mainX, mainY, keyboardX, keyboardY;
};

// Writes the window places and the high scores into `profile`, leaving
// every other line as it was.
void StoreSettings(IniFile& profile, const SavedPlaces& places, const HighScores& scores);

// The save at exit, and of a new best: the file is replaced as a whole or not
// at all, and never when this user may not write it. A failed save reports
// "%s に書き込めません" with the file's path and returns false. `storeMore`
// adds its values to the same write.
bool SaveSettingsFile(const SavedPlaces& places, const HighScores& scores,
                      const std::function<void(IniFile&)>& storeMore = {});
