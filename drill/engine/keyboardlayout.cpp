#include "keyboardlayout.h"

#include <string_view>

std::optional<std::uint8_t> KeyIndexFor(char ch)
{
    if (ch >= '0' && ch <= '9')
        return static_cast<std::uint8_t>(ch - '0');
    if (ch >= 'a' && ch <= 'z')
        return static_cast<std::uint8_t>(11 + (ch - 'a'));
    switch (ch) {
    case ' ': return SpaceBarCell;
    case '-': return 37;
    case '^': return 38;
    case '\\': return 39; // the yen key
    case '@': return 40;
    case '[': return 41;
    case ';': return 42;
    case ':': return 43;
    case ']': return 44;
    case ',': return 45;
    case '.': return 46;
    case '/': return 47;
    case '_': return 48; // Shift and the key right of "/"
    default: return std::nullopt;
    }
}

std::optional<ShiftedKey> ShiftedKeyOf(char ch)
{
    char plain = 0;
    if (ch >= 'A' && ch <= 'Z') {
        plain = char(ch - 'A' + 'a');
    } else if (ch == '_') {
        return ShiftedKey {*KeyIndexFor('_'), '\\'};
    } else {
        // The JIS keyboard's shifted signs and the key that carries each.
        constexpr std::string_view Shifted = "!\"#$%&'()=~|`{+*}<>?";
        constexpr std::string_view Unshifted = "123456789-^\\@[;:],./";
        const auto at = Shifted.find(ch);
        if (at == std::string_view::npos)
            return std::nullopt;
        plain = Unshifted[at];
    }
    return ShiftedKey {*KeyIndexFor(plain), plain};
}

std::optional<std::uint8_t> KeyCellOf(char ch)
{
    if (const auto shifted = ShiftedKeyOf(ch))
        return shifted->cell;
    return KeyIndexFor(ch);
}
