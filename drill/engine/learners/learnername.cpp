#include "learners/learnername.h"

namespace {

bool IsAsciiSign(char32_t c)
{
    return c >= 0x21 && c <= 0x7E && !(c >= '0' && c <= '9') && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z');
}

bool IsDigit(char32_t c)
{
    return (c >= '0' && c <= '9') || (c >= 0xFF10 && c <= 0xFF19);
}

bool IsLetter(char32_t c)
{
    if (c == 0x30FC || c == 0x3005 || c == 0x3006) // ー 々 〆
        return true;
    if (!QChar::isLetter(c))
        return false;
    switch (QChar::script(c)) {
    case QChar::Script_Latin:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Han:
        return true;
    default:
        return false;
    }
}

bool IsSign(char32_t c)
{
    if (IsAsciiSign(c) || (c >= 0xFF01 && c <= 0xFF5E && IsAsciiSign(c - 0xFEE0)))
        return true;
    switch (c) {
    case 0x3001: case 0x3002:               // 、 。
    case 0x300C: case 0x300D:               // 「 」
    case 0x300E: case 0x300F:               // 『 』
    case 0x30FB: case 0xFF65:               // ・ and its half-width form
    case 0x301C:                            // 〜
        return true;
    default:
        return false;
    }
}

bool IsSpace(char32_t c)
{
    return c == 0x20 || c == 0x3000;
}

} // namespace

NameCheck CheckLearnerName(const QString& typed)
{
    NameCheck check;
    // trimmed() takes every kind of blank at the ends; a line break or tab
    // inside stays, and is refused below.
    check.name = typed.trimmed().normalized(QString::NormalizationForm_C);
    const QList<uint> characters = check.name.toUcs4();
    if (characters.isEmpty()) {
        check.fault = NameFault::Empty;
        return check;
    }
    bool letterOrDigit = false;
    for (const uint c : characters) {
        if (IsLetter(c) || IsDigit(c))
            letterOrDigit = true;
        else if (!IsSign(c) && !IsSpace(c)) {
            check.fault = NameFault::BadCharacter;
            return check;
        }
    }
    if (characters.size() > LearnerNameLength)
        check.fault = NameFault::TooLong;
    else if (!letterOrDigit)
        check.fault = NameFault::NoLetter;
    return check;
}

QString NameFaultText(NameFault fault)
{
    switch (fault) {
    case NameFault::None:
        return {};
    case NameFault::Empty:
        return QStringLiteral("名前を 入れてください");
    case NameFault::TooLong:
        return QStringLiteral("名前は %1文字までです").arg(LearnerNameLength);
    case NameFault::BadCharacter:
        return QStringLiteral("名前に つかえない 文字が あります（かな・かん字・ローマ字・数字に してください）");
    case NameFault::NoLetter:
        return QStringLiteral("名前には 文字か 数字を 入れてください");
    }
    return {};
}
