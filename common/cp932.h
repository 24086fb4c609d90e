#pragma once

#include <optional>
#include <string>
#include <string_view>

class QString;

// The files are CP932 bytes; only the screen needs Unicode.
QString DecodeCp932(std::string_view bytes);
std::string Cp932ToUtf8(std::string_view bytes);

// Maps the characters that Linux input methods produce for a CP932
// character under another code point (the wave dash U+301C for ～, and the
// like) to the code point CP932 has.
QString ToCp932Twins(const QString& text);

// CP932 bytes of `text` after ToCp932Twins, or nothing when a character has
// no CP932 code.
std::optional<std::string> EncodeCp932(const QString& text);
