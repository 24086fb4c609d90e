#include "cp932.h"

#include "fixedstring.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

struct Twin {
    char16_t from;
    char16_t to;
};

// Code points with no CP932 code whose look-alike has one.
constexpr Twin Cp932Twins[] = {
    {u'\u301C', u'\uFF5E'}, // wave dash -> full-width tilde
    {u'\u2212', u'\uFF0D'}, // minus sign -> full-width hyphen-minus
    {u'\u2014', u'\u2015'}, // em dash -> horizontal bar
    {u'\u2016', u'\u2225'}, // double vertical line -> parallel to
    {u'\u00A2', u'\uFFE0'}, // cent sign -> full-width cent
    {u'\u00A3', u'\uFFE1'}, // pound sign -> full-width pound
    {u'\u00AC', u'\uFFE2'}, // not sign -> full-width not
    {u'\u00A6', u'\uFFE4'}, // broken bar -> full-width broken bar
};

} // namespace

QString DecodeCp932(std::string_view bytes)
{
    // ICU's code page 932 swaps the control codes 0x1A, 0x1C and 0x7F (an
    // IBM habit), and drops a lone lead byte at the end. The ASCII bytes are
    // therefore taken as they are, and only the rest goes through ICU.
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            text += QChar(b);
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x80)
            end += Cp932CharLength(static_cast<unsigned char>(bytes[end]));
        if (end > bytes.size()) {
            end = bytes.size() - 1; // a lone lead byte ends the text
        }
        QStringDecoder decoder("CP932");
        QString run = decoder.decode(QByteArrayView(bytes.data() + i, static_cast<qsizetype>(end - i)));
        // A byte with no character decodes to SUB; show it as unknown.
        run.replace(QChar(0x1A), QChar::ReplacementCharacter);
        text += run;
        i = end;
        if (i == bytes.size() - 1 && IsCp932LeadByte(static_cast<unsigned char>(bytes[i]))) {
            text += QChar::ReplacementCharacter;
            ++i;
        }
    }
    return text;
}

std::string Cp932ToUtf8(std::string_view bytes)
{
    return DecodeCp932(bytes).toStdString();
}

QString ToCp932Twins(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        for (const Twin& t : Cp932Twins) {
            if (c.unicode() == t.from) {
                c = QChar(t.to);
                break;
            }
        }
    }
    return out;
}

std::optional<std::string> EncodeCp932(const QString& text)
{
    // ASCII is written as it is, for the reason DecodeCp932 gives.
    const QString mapped = ToCp932Twins(text);
    std::string bytes;
    qsizetype i = 0;
    while (i < mapped.size()) {
        if (mapped[i].unicode() < 0x80) {
            bytes += static_cast<char>(mapped[i].unicode());
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < mapped.size() && mapped[end].unicode() >= 0x80)
            ++end;
        // A fresh encoder per run: its error flag stays set once raised.
        QStringEncoder encoder("CP932");
        const QByteArray run = encoder.encode(QStringView(mapped).mid(i, end - i));
        if (encoder.hasError())
            return std::nullopt;
        bytes.append(run.constData(), static_cast<std::size_t>(run.size()));
        i = end;
    }
    return bytes;
}
