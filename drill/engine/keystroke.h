#pragma once

#include "romajiconversion.h"

#include <QString>

#include <cstdint>
#include <string>

// The character expected at the 1-based cursor position of a romaji text,
// or 0 past its end.
inline char ExpectedChar(const RomajiText& romaji, std::uint16_t cursorPos)
{
    return romaji.at(cursorPos);
}

// A key hits when it is exactly the expected byte: no case folding, no
// mapping; past the end nothing hits.
inline bool KeyHits(const RomajiText& romaji, std::uint16_t cursorPos, char key)
{
    return cursorPos >= 1 && cursorPos <= romaji.size() && key == romaji.at(cursorPos);
}

// The key presses one key event makes: each byte of its text in CP932. A key
// without text (Shift, arrows, function keys), Delete, and a key pressed
// with Ctrl, Alt or Super (Meta) make none: those are the desktop's and the
// input method's keys (Ctrl+Space switches one on and off), never romaji.
// The yen key's "¥" is the byte 0x5C, which CP932 shows as the yen sign.
std::string KeyPressBytes(int key, Qt::KeyboardModifiers modifiers, const QString& text);
