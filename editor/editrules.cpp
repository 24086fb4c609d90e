#include "editrules.h"

#include "boxtext.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

template <std::size_t Width>
bool Store(const QString& text, FixedString<Width>& field)
{
    const auto bytes = BoxBytes(text, Width);
    if (!bytes)
        return false;
    field.assign(*bytes);
    return true;
}

} // namespace

QString SeparatorNote(const QString& sentence, const QString& meaning1)
{
    if (sentence.contains(u','))
        return QStringLiteral("文章に「,」は使えません。「、」を使ってください。");
    if (meaning1.contains(u'+'))
        return QStringLiteral("意味の1行目に「+」は使えません。「＋」を使ってください。");
    return {};
}

std::optional<WordEntry> EntryFromBoxes(const QString& sentence, const QString& reading, const QString& meaning1,
                                        const QString& meaning2)
{
    WordEntry e;
    if (SeparatorNote(sentence, meaning1).isEmpty() && Store(sentence, e.Sentence) && Store(reading, e.Reading)
        && Store(meaning1, e.Meaning1) && Store(meaning2, e.Meaning2))
        return e;
    return std::nullopt;
}

bool AddEntry(WordTable& table, const WordEntry& entry)
{
    if (table.EntryCount >= WordTable::Capacity)
        return false;
    ++table.EntryCount;
    table.entry(table.EntryCount) = entry;
    return true;
}

void ReplaceEntry(WordTable& table, std::uint16_t n, const WordEntry& entry)
{
    if (n >= 1 && n <= table.EntryCount)
        table.entry(n) = entry;
}

void RemoveEntry(WordTable& table, std::uint16_t n)
{
    if (n < 1 || n > table.EntryCount)
        return;
    auto& entries = table.WordEntries;
    std::move(entries.begin() + n, entries.begin() + table.EntryCount, entries.begin() + (n - 1));
    --table.EntryCount;
}

QString SaveFailureText(const QString& path, int error)
{
    QString reason;
    switch (error) {
    case EACCES:
    case EPERM:
        reason = QStringLiteral("書き込みの権限がありません。");
        break;
    case EROFS:
        reason = QStringLiteral("読み取り専用のファイルシステムです。");
        break;
    case ENOSPC:
    case EDQUOT:
        reason = QStringLiteral("ディスクに空きがありません。");
        break;
    default:
        reason = QString::fromLocal8Bit(std::strerror(error));
        break;
    }
    return QStringLiteral("%1 に保存できませんでした。\n%2\n\n一覧はそのまま残っています。").arg(path, reason);
}
