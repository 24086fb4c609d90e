#pragma once

#include <QString>

// A learner's name, as the chooser shows it and `--learner` takes it. It is
// only ever shown and compared: no path is made from it.
//
// A valid name, once the blanks at either end are gone and it is in
// Unicode's composed form (NFC), holds 1 to 16 characters, at least one of
// them a letter or a digit, and only
// - letters of the Latin script (also the full-width Ａ to ｚ and accented
//   ones), hiragana, katakana (also the half-width ones), kanji, ー 々 〆;
// - the digits 0 to 9 and ０ to ９;
// - a space or an ideographic space between words;
// - the signs of ASCII (! to ~), their full-width forms, and 、。「」『』・〜.
// No control character, no format or direction mark, nothing of another
// script, no emoji. Names that differ in case or width are different names.
constexpr int LearnerNameLength = 16;

enum class NameFault {
    None,
    Empty,        // nothing but blanks
    TooLong,      // more than LearnerNameLength characters
    BadCharacter, // a character outside the list above
    NoLetter,     // signs and spaces only
};

struct NameCheck {
    QString name;  // the name as kept: trimmed, composed
    NameFault fault = NameFault::None;
    explicit operator bool() const { return fault == NameFault::None; }
};

NameCheck CheckLearnerName(const QString& typed);

// What a fault means, in words a child reads.
QString NameFaultText(NameFault fault);
