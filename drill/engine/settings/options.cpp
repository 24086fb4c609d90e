#include "settings/options.h"

#include "drillkind.h"
#include "settings/settings.h"

#include <algorithm>
#include <string>

bool ShowKeyboard = OptionDefault("ShowKeyboard");
bool KeySound = OptionDefault("KeySound");
bool FlexibleRomaji = OptionDefault("FlexibleRomaji");
bool Records = OptionDefault("Records");
bool Lessons = OptionDefault("Lessons");
bool AllLessonsOpen = OptionDefault("AllLessonsOpen");
bool ShowReading = OptionDefault("ShowReading");
bool ShowProgress = OptionDefault("ShowProgress");
bool EscapeEnds = OptionDefault("EscapeEnds");
bool RememberChoice = OptionDefault("RememberChoice");
bool ResizableKeyboard = OptionDefault("ResizableKeyboard");
int GoalPercent = DefaultGoalPercent;
bool ShowShift = OptionDefault("ShowShift");
bool Hepburn = OptionDefault("Hepburn");
bool KanaLabels = OptionDefault("KanaLabels");

namespace {

bool ReadFlag(const IniFile& profile, const OptionRow& row)
{
    return ReadInteger(profile, "Option", row.key, row.byDefault ? 1 : 0) != 0;
}

Colour ReadColour(const IniFile& profile, std::size_t finger)
{
    return static_cast<Colour>(
        ReadInteger(profile, "Color", ColourKeys[finger], static_cast<std::int32_t>(DefaultFingerColours[finger])));
}

std::int32_t ReadKeyboardWidth(const IniFile& profile)
{
    return std::clamp(ReadInteger(profile, "Position", "KeyboardWidth", KeyboardDrawnWidth), KeyboardDrawnWidth,
                      KeyboardLargestWidth);
}

// A stored number that is not one of the group's items starts at the first.
int ReadItem(const IniFile& profile, const char* key, int count)
{
    const std::int32_t item = ReadInteger(profile, "Option", key, 1);
    return item >= 1 && item <= count ? item : 1;
}

} // namespace

SettingsChoice ReadChoice(const IniFile& profile)
{
    SettingsChoice choice;
    for (std::size_t i = 0; i < OptionCount; ++i)
        choice.options[i] = ReadFlag(profile, OptionRows[i]);
    for (std::size_t f = 0; f < choice.colours.size(); ++f)
        choice.colours[f] = ReadColour(profile, f);
    // A value out of its range is no value.
    const std::int32_t percent = ReadInteger(profile, "Option", "GoalPercent", DefaultGoalPercent);
    choice.goalPercent = percent >= LeastGoalPercent && percent <= MostGoalPercent ? percent : DefaultGoalPercent;
    choice.keyboardWidth = ReadKeyboardWidth(profile);
    return choice;
}

SettingsChoice CurrentChoice()
{
    SettingsChoice choice;
    for (std::size_t i = 0; i < OptionCount; ++i)
        choice.options[i] = *OptionRows[i].value;
    std::copy(FingerColours.begin(), FingerColours.end(), choice.colours.begin());
    choice.goalPercent = GoalPercent;
    choice.keyboardWidth = KeyboardWidth;
    return choice;
}

void ApplyChoice(const SettingsChoice& choice)
{
    for (std::size_t i = 0; i < OptionCount; ++i)
        *OptionRows[i].value = choice.options[i];
    std::copy(choice.colours.begin(), choice.colours.end(), FingerColours.begin());
    GoalPercent = choice.goalPercent;
    KeyboardWidth = choice.keyboardWidth;
}

SettingsChoice DefaultChoice()
{
    return ReadChoice(IniFile());
}

SettingsChoice RecommendedChoice(SettingsChoice choice)
{
    for (std::size_t i = 0; i < OptionCount; ++i)
        choice.options[i] = choice.options[i] || OptionRows[i].recommended;
    choice.keyboardWidth = std::max(choice.keyboardWidth, RecommendedKeyboardWidth);
    return choice;
}

void StoreChoice(IniFile& profile, const SettingsChoice& choice)
{
    const SettingsChoice stored = ReadChoice(profile);
    for (std::size_t i = 0; i < OptionCount; ++i)
        if (stored.options[i] != choice.options[i])
            profile.write("Option", OptionRows[i].key, choice.options[i] ? "1" : "0");
    for (std::size_t f = 0; f < choice.colours.size(); ++f)
        if (stored.colours[f] != choice.colours[f])
            profile.write("Color", ColourKeys[f], std::to_string(static_cast<std::int32_t>(choice.colours[f])));
    if (stored.goalPercent != choice.goalPercent)
        profile.write("Option", "GoalPercent", std::to_string(choice.goalPercent));
    if (stored.keyboardWidth != choice.keyboardWidth)
        profile.write("Position", "KeyboardWidth", std::to_string(choice.keyboardWidth));
}

void ReadRemembered(const IniFile& profile)
{
    RememberedMode = ReadItem(profile, "LastMode", ModeCount);
    RememberedLevel = ReadItem(profile, "LastLevel", LevelCount);
    KeyboardWidth = ReadKeyboardWidth(profile);
}

void StoreRemembered(IniFile& profile)
{
    if (RememberChoice) {
        profile.write("Option", "LastMode", std::to_string(RememberedMode));
        profile.write("Option", "LastLevel", std::to_string(RememberedLevel));
    }
    if (ResizableKeyboard)
        profile.write("Position", "KeyboardWidth", std::to_string(KeyboardWidth));
}
