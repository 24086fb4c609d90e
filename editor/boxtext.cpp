#include "boxtext.h"

#include "cp932.h"
#include "fixedstring.h"

namespace {

constexpr QChar NotShown = QChar::ReplacementCharacter;

constexpr bool IsCp932TrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

bool HasControl(const QString& text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// One character of the file as it shows, or NotShown when its bytes would
// not be written back as they are.
QString ShownUnit(std::string_view unit)
{
    const QString text = DecodeCp932(unit);
    const auto back = EncodeCp932(text);
    if (text.size() != 1 || HasControl(text) || !back || back->size() != unit.size())
        return QString(NotShown);
    return text;
}

} // namespace

std::optional<std::string> BoxBytes(const QString& text, std::size_t limit)
{
    if (HasControl(text))
        return std::nullopt;
    auto bytes = EncodeCp932(text);
    if (!bytes || bytes->size() > limit)
        return std::nullopt;
    return bytes;
}

QString ShownText(std::string_view bytes)
{
    // Most fields are sound: decode them whole, and walk the characters one
    // by one only when the whole does not encode back to the same length.
    const QString whole = DecodeCp932(bytes);
    const auto back = EncodeCp932(whole);
    if (back && back->size() == bytes.size() && !HasControl(whole))
        return whole;

    QString out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const bool pair = IsCp932LeadByte(static_cast<unsigned char>(bytes[pos])) && pos + 1 < bytes.size()
            && IsCp932TrailByte(static_cast<unsigned char>(bytes[pos + 1]));
        const std::size_t n = pair ? 2 : 1;
        out += ShownUnit(bytes.substr(pos, n));
        pos += n;
    }
    return out;
}

Cp932Validator::Cp932Validator(std::size_t limit, QObject* parent) : QValidator(parent), limit_(limit) {}

QValidator::State Cp932Validator::validate(QString& input, int& /*pos*/) const
{
    if (!BoxBytes(input, limit_))
        return Invalid;
    // One character for one, so the cursor stays where it is.
    input = ToCp932Twins(input);
    return Acceptable;
}
