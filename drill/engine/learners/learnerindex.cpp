#include "learners/learnerindex.h"

#include "learners/learnername.h"
#include "textfile.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr const char* FileName = "index.txt";

// A learner's number as written: decimal, no sign, no leading zero.
int Number(std::string_view text)
{
    if (text.empty() || text.size() > 4 || text.front() == '0')
        return 0;
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

} // namespace

LearnerIndex ParseLearnerIndex(std::string_view bytes)
{
    LearnerIndex index;
    const auto whole = [&](const QString& why) {
        index.problems << QStringLiteral("%1: %2").arg(QLatin1String(FileName), why);
        return index;
    };
    if (bytes.size() > LearnerIndexBytes)
        return whole(QStringLiteral("大きすぎるので 名前の 一らんとして 読みません"));
    if (bytes.find('\0') != std::string_view::npos)
        return whole(QStringLiteral("名前の 一らんでは ありません（0 の バイトが あります）"));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        return whole(QStringLiteral("名前の 一らんでは ありません（UTF-8 では ありません）"));

    int lastGiven = 0;
    int lineNumber = 0;
    for (QStringView line : QStringTokenizer(text, u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (lineNumber == 1 && line.startsWith(QChar(0xFEFF)))
            line = line.mid(1);
        if (line.trimmed().isEmpty() || line.startsWith(u';'))
            continue;
        const auto bad = [&](const QString& why) {
            index.problems << QStringLiteral("%1 %2 行目: %3").arg(QLatin1String(FileName)).arg(lineNumber).arg(why);
        };
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            bad(QStringLiteral("「ばんごう=名前」の 形では ありません"));
            continue;
        }
        const QString key = line.left(equals).trimmed().toString();
        const QString value = line.mid(equals + 1).toString();
        const int number = Number(key.toStdString());
        if (key == QLatin1String("last")) {
            lastGiven = Number(value.trimmed().toStdString());
            continue;
        }
        if (number < 1 || number > LargestLearnerNumber) {
            bad(QStringLiteral("ばんごうは 1 から %1 までです").arg(LargestLearnerNumber));
            continue;
        }
        const NameCheck name = CheckLearnerName(value);
        if (!name) {
            bad(NameFaultText(name.fault));
            continue;
        }
        const auto same = [&](const Learner& l) { return l.number == number || l.name == name.name; };
        if (std::any_of(index.learners.begin(), index.learners.end(), same)) {
            bad(QStringLiteral("ばんごうか 名前が 前の 行と 同じです"));
            continue;
        }
        if (index.learners.size() == LearnerCapacity) {
            bad(QStringLiteral("%1 人より 多くは 読みません").arg(LearnerCapacity));
            continue;
        }
        index.learners.push_back({number, name.name});
    }
    if (std::any_of(index.learners.begin(), index.learners.end(), [&](const Learner& l) { return l.number == lastGiven; }))
        index.last = lastGiven;
    return index;
}

std::string LearnerIndexText(const std::vector<Learner>& learners, int last)
{
    std::string text = "; kidrill: number=name, learner 1 in the data directory, learner n in learners/n/";
    text += LineEnd;
    if (last > 0)
        text += "last=" + std::to_string(last) + std::string(LineEnd);
    for (const Learner& learner : learners)
        text += std::to_string(learner.number) + '=' + learner.name.toStdString() + std::string(LineEnd);
    return text;
}
