#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Shift_JIS (code page 932) byte classes. Only these two facts are needed to
// walk a CP932 text without decoding it.
constexpr bool IsCp932LeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The bytes of the character that starts with byte `first`.
constexpr std::size_t Cp932CharLength(unsigned char first)
{
    return IsCp932LeadByte(first) ? 2 : 1;
}

// The longest prefix of `text` of at most `width` bytes that does not end in
// the lone first byte of a double-byte character. The scan starts at the
// first byte because a trail byte can look like a lead byte.
constexpr std::size_t Cp932CutWidth(std::string_view text, std::size_t width)
{
    if (text.size() <= width)
        return text.size();
    std::size_t pos = 0;
    while (pos < width) {
        const std::size_t step = Cp932CharLength(static_cast<unsigned char>(text[pos]));
        if (pos + step > width)
            break;
        pos += step;
    }
    return pos;
}

// A text field of fixed capacity, in bytes, that carries its own length.
// Storing a longer text keeps its first bytes and silently drops the rest,
// never keeping half of a double-byte character.
template <std::size_t Capacity>
class FixedString {
public:
    static constexpr std::size_t capacity = Capacity;

    constexpr FixedString() = default;
    constexpr FixedString(std::string_view text) { assign(text); } // NOLINT: a field is assigned from text

    constexpr void assign(std::string_view text)
    {
        length_ = 0;
        append(text);
    }

    // Appends what fits; the rest of `text` is dropped.
    constexpr void append(std::string_view text)
    {
        const std::size_t n = Cp932CutWidth(text, Capacity - length_);
        for (std::size_t i = 0; i < n; ++i)
            bytes_[length_ + i] = text[i];
        length_ += n;
    }

    constexpr void append(char c) { append(std::string_view(&c, 1)); }
    constexpr void clear() { length_ = 0; }

    constexpr std::size_t size() const { return length_; }
    constexpr bool empty() const { return length_ == 0; }
    constexpr std::string_view view() const { return {bytes_.data(), length_}; }
    constexpr operator std::string_view() const { return view(); } // NOLINT
    std::string str() const { return std::string(view()); }

    // 1-based, as every position of the program's texts; 0 beyond the end.
    constexpr char at(std::size_t position) const
    {
        return position >= 1 && position <= length_ ? bytes_[position - 1] : '\0';
    }

    friend constexpr bool operator==(const FixedString& a, std::string_view b) { return a.view() == b; }

private:
    std::array<char, Capacity> bytes_ {};
    std::size_t length_ = 0;
};
