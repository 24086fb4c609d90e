#pragma once

#include "wordlist.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

// Which of the four action buttons may be pressed.
struct ButtonStates {
    bool add = false;       // Button1
    bool overwrite = false; // Button2
    bool remove = false;    // Button3
    bool edit = false;      // Button4
    friend bool operator==(const ButtonStates&, const ButtonStates&) = default;
};

struct ButtonInputs {
    bool sentence = false; // g1 holds text
    bool reading = false;  // h1 holds text
    bool selected = false; // a list line is selected
    bool storable = true;  // all four boxes hold text the file can keep
    bool full = false;     // the table has no room for another entry
};

// An entry needs a sentence and a reading; its meaning may be empty.
constexpr ButtonStates ButtonRule(const ButtonInputs& in)
{
    const bool both = in.sentence && in.reading && in.storable;
    return {both && !in.full, in.selected && both, in.selected, in.selected};
}

// What keeps the boxes from being stored as they stand: a separator of the
// file where reading it back would split the entry (a "," in the sentence,
// a "+" in the first meaning line), said as the editor's note; empty when
// there is none.
QString SeparatorNote(const QString& sentence, const QString& meaning1);

// The entry the four boxes describe, each field within its width; nothing
// when a box holds text the file cannot keep as it stands.
std::optional<WordEntry> EntryFromBoxes(const QString& sentence, const QString& reading, const QString& meaning1,
                                        const QString& meaning2);

// Table edits; entry numbers are 1-based. AddEntry refuses a full table.
bool AddEntry(WordTable& table, const WordEntry& entry);
void ReplaceEntry(WordTable& table, std::uint16_t n, const WordEntry& entry);
// The later entries move one place up, keeping their order.
void RemoveEntry(WordTable& table, std::uint16_t n);

// The message of a save that failed: the file, and the reason in the
// user's words for the usual ones (the system's text for the others).
QString SaveFailureText(const QString& path, int error);

// How a control follows the window's edges when it is resized.
enum class Anchor { Fixed, StretchRight, StretchRightBottom, RightBottom };

// A control's place for a client area `grown` beyond the one it was laid out
// for (negative when smaller).
constexpr QRect Anchored(const QRect& place, Anchor anchor, const QSize& grown)
{
    switch (anchor) {
    case Anchor::Fixed:
        break;
    case Anchor::StretchRight:
        return {place.x(), place.y(), place.width() + grown.width(), place.height()};
    case Anchor::StretchRightBottom:
        return {place.x(), place.y(), place.width() + grown.width(), place.height() + grown.height()};
    case Anchor::RightBottom:
        return {place.x() + grown.width(), place.y() + grown.height(), place.width(), place.height()};
    }
    return place;
}
