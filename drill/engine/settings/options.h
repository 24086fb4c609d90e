#pragma once

#include "colour.h"
#include "fingers.h"
#include "settings/inifile.h"

#include <array>
#include <cstddef>
#include <string_view>

// The options of [Option], each on or off, read once at start-up and set
// by the settings window.
extern bool ShowKeyboard;
extern bool KeySound;
// Off: a key must be the one byte shown. On: any spelling an input method
// accepts is a hit.
extern bool FlexibleRomaji;
// On: every finished drill is kept in the learner's records.
extern bool Records;
// On: the course of lessons, which keeps records whatever Records says.
extern bool Lessons;
// On: every lesson may be played, passed or not (a parent's choice).
extern bool AllLessonsOpen;
inline bool RecordsKept() { return Records || Lessons; }
// The teaching aids.
extern bool ShowReading;    // the kana reading, the kana being typed marked
extern bool ShowProgress;   // the hits against the trial's target
extern bool EscapeEnds;     // Esc leaves a drill as the close box does
extern bool RememberChoice; // the mode and level last started, kept
extern bool ResizableKeyboard;
// Every goal of the course, in % of its goal: for a parent or teacher who
// knows the child. [Option] GoalPercent, 50 to 200.
extern int GoalPercent;
constexpr int DefaultGoalPercent = 100;
constexpr int LeastGoalPercent = 50;
constexpr int MostGoalPercent = 200;
// What a child sees.
extern bool ShowShift;  // a shifted character lights its key and the other hand's Shift
extern bool Hepburn;    // the romaji shown in the spelling schools teach now: shi, chi, tsu
extern bool KanaLabels; // the drill's and the results' captions in words a child reads

// One option of [Option] as the settings window lists it.
struct OptionRow {
    const char* key;         // in [Option]
    const char* caption;     // of its check box
    const char* explanation; // one line under it
    bool byDefault;          // when the file does not say
    bool recommended;        // "おすすめ" turns it on; else leaves it as it is
    bool* value;             // where the program reads it
};

// Every option, in the settings window's order. An option is one row here,
// and its default is written nowhere else.
inline constexpr OptionRow OptionRows[] = {
    {"ShowKeyboard", "キーボードを だす", "つぎに うつ キーを ひからせた キーボードを みせます", true, false, &ShowKeyboard},
    {"ShowShift", "シフトも ひからせる", "！や 大文字を うつ ときは、はんたいの 手で おす シフトキーも ひからせます", false,
     true, &ShowShift},
    {"KeySound", "キーの おと", "キーを うつたびに おとが なります", false, true, &KeySound},
    {"Hepburn", "ヘボンしきで ひょうじ", "し・ち・つ を shi・chi・tsu の ように だします（si・ti・tu でも うてます）",
     false, true, &Hepburn},
    {"FlexibleRomaji", "いろいろな ローマ字", "shi や chi など、どの うちかたでも せいかいに します", false, false,
     &FlexibleRomaji},
    {"KanaLabels", "ひらがなで ひょうじ", "れんしゅうと けっかの がめんの むずかしい ことばを、ひらがなと やさしい かん字で だします", false, true,
     &KanaLabels},
    {"ShowReading", "よみがなを だす", "もんだいの よみを かなで だし、いま うつ かなに しるしを つけます", false, true,
     &ShowReading},
    {"ShowProgress", "うった かずを だす", "100・200文字の トライアルでは、「37 / 100」のように あと いくつ うてば よいかが わかります", false,
     true, &ShowProgress},
    {"EscapeEnds", "Esc で やめる", "Esc キーで れんしゅうを やめて、はじめの がめんに もどります", false, true,
     &EscapeEnds},
    {"RememberChoice", "えらんだ ものを おぼえる", "まえに えらんだ モードと レベルを、つぎも えらんで おきます", false, true,
     &RememberChoice},
    {"ResizableKeyboard", "キーボードの 大きさを かえる", "キーボードの まどを ひろげると、キーも 大きく なります",
     false, true, &ResizableKeyboard},
    {"Records", "きろくを のこす", "れんしゅうの けっかを のこし、「きろく」で グラフや にがてな キーを みられます",
     false, true, &Records},
    {"Lessons", "コースで ならう", "「コース」の レッスンを じゅんばんに ならいます（きろくも のこります）", false, true,
     &Lessons},
    {"AllLessonsOpen", "レッスンを ぜんぶ ひらく", "ごうかくして いない レッスンも えらべるように します", false, false,
     &AllLessonsOpen},
};
constexpr std::size_t OptionCount = std::size(OptionRows);

// The row of the option of that key.
constexpr std::size_t OptionIndex(std::string_view key)
{
    for (std::size_t i = 0; i < OptionCount; ++i)
        if (key == OptionRows[i].key)
            return i;
    throw "no such option"; // a compile error where it is a constant
}

// The choices a parent or teacher has for GoalPercent, by name.
struct GoalPace {
    const char* name;
    int percent;
};
inline constexpr GoalPace GoalPaces[] = {{"ゆっくり", 70}, {"ふつう", DefaultGoalPercent}, {"はやい", 130}};

// The default of the option of that key.
constexpr bool OptionDefault(std::string_view key)
{
    for (const OptionRow& row : OptionRows)
        if (key == row.key)
            return row.byDefault;
    throw "no such option"; // a compile error where it is a constant
}

// The keys of [Color], in the order of FingerColours.
inline constexpr const char* ColourKeys[FingerCount] = {"L_Ko", "L_Ku", "L_Na", "L_Hi", "Oya", "R_Hi", "R_Na", "R_Ku", "R_Ko"};

// What the settings window edits: every option, by row, and the finger
// colours.
struct SettingsChoice {
    std::array<bool, OptionCount> options {};
    std::array<Colour, FingerCount> colours {};
    int goalPercent = DefaultGoalPercent;
    std::int32_t keyboardWidth = 0; // KeyboardWidth
    friend bool operator==(const SettingsChoice&, const SettingsChoice&) = default;
};

// The values a file gives, each absent or malformed one its default.
SettingsChoice ReadChoice(const IniFile& profile);
SettingsChoice CurrentChoice();
void ApplyChoice(const SettingsChoice& choice);
// "はじめにもどす": every option and colour at its default.
SettingsChoice DefaultChoice();
// "おすすめ": the recommended options on and the keyboard at least
// RecommendedKeyboardWidth wide, everything else as it was.
SettingsChoice RecommendedChoice(SettingsChoice choice);
// Writes only the values that differ from what the file reads now, so that
// the user's own spellings of unchanged values stay as they are.
void StoreChoice(IniFile& profile, const SettingsChoice& choice);

// The remembered mode and level, and the keyboard's width, read at start;
// each written by the saves only while its option is on.
void ReadRemembered(const IniFile& profile);
void StoreRemembered(IniFile& profile);
