#include "cp932.h"

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
    QStringDecoder decoder("CP932");
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
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
    // A fresh encoder per call: its error flag stays set once raised.
    QStringEncoder encoder("CP932");
    const QByteArray bytes = encoder.encode(ToCp932Twins(text));
    if (encoder.hasError())
        return std::nullopt;
    return bytes.toStdString();
}
