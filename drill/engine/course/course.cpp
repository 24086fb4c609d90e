#include "course/course.h"

#include "captions.h"
#include "cp932.h"
#include "platform.h"
#include "records/recordstats.h"
#include "romajitable.h"
#include "textfile.h"
#include "wordlist.h"

#include <QStringDecoder>

#include <algorithm>
#include <cmath>

std::optional<LessonChoice> ChosenLesson;

namespace {

constexpr int LargestGoal = 999;

// A lesson file is named, never reached by a path: it stands beside the
// program like every data file.
// Bytes that read as UTF-8 and hold more than ASCII: a file saved in
// another encoding than the course's CP932.
bool LooksLikeUtf8(std::string_view bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !utf8.hasError() && std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
}

bool IsBareTextFileName(std::string_view name)
{
    if (name.size() < 5 || name.size() > 64 || !name.ends_with(".txt") || name.front() == '.')
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
            || c == '.';
    });
}

std::optional<int> Goal(std::string_view text)
{
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int goal = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        goal = goal * 10 + (c - '0');
    }
    return goal >= 1 && goal <= LargestGoal ? std::optional(goal) : std::nullopt;
}

} // namespace

void ProblemNotes::add(const QString& line)
{
    if (shown_.size() < Shown)
        shown_ << line;
    else
        ++more_;
}

QStringList ProblemNotes::lines() const
{
    QStringList all = shown_;
    if (more_ > 0)
        all << QStringLiteral("ほかに %1 件あります").arg(more_);
    return all;
}

Course ParseCourse(std::string_view bytes, const QString& fileName)
{
    Course course;
    ProblemNotes notes;
    LineReader lines(bytes);
    int number = 0;
    while (!lines.atEnd()) {
        const std::string_view line = lines.readLine();
        ++number;
        if (TrimBlanks(line).empty() || line.front() == ';')
            continue;
        const auto bad = [&](const QString& why) {
            notes.add(QStringLiteral("%1 %2 行目: %3").arg(fileName).arg(number).arg(why));
        };
        if (course.lessons.size() == Course::Capacity) {
            bad(QStringLiteral("レッスンは %1 個までです。この行から後は読みません").arg(Course::Capacity));
            break;
        }
        const auto first = line.find(',');
        const auto second = first == std::string_view::npos ? first : line.find(',', first + 1);
        if (second == std::string_view::npos || line.find(',', second + 1) != std::string_view::npos) {
            bad(QStringLiteral("「ファイル名,題名,目標」の形ではありません"));
            continue;
        }
        const std::string_view file = TrimBlanks(line.substr(0, first));
        const QString title = DecodeCp932(TrimBlanks(line.substr(first + 1, second - first - 1)));
        const std::optional<int> goal = Goal(TrimBlanks(line.substr(second + 1)));
        if (!IsBareTextFileName(file))
            bad(QStringLiteral("ファイル名「%1」は、英数字で .txt で終わる名前にします").arg(DecodeCp932(file)));
        else if (title.isEmpty())
            bad(QStringLiteral("題名がありません"));
        else if (!goal)
            bad(QStringLiteral("目標は 1 から %1 までの数（1分あたりの打鍵数）にします").arg(LargestGoal));
        else
            course.lessons.push_back({std::string(file), title, *goal});
    }
    course.problems = notes.lines();
    return course;
}

LessonCheck CheckLessonList(std::string_view bytes, const QString& fileName, const RomajiTableData& table,
                            std::string_view sokuon)
{
    LessonCheck check;
    ProblemNotes notes;
    if (LooksLikeUtf8(bytes))
        notes.add(QStringLiteral("%1 は UTF-8 で書かれています。CP932（Shift_JIS）で保存してください").arg(fileName));
    WordListReader reader(bytes);
    WordRecord record;
    while (reader.next(record)) {
        const Conversion keys = ConvertReading(record.reading, table, sokuon);
        if (keys.ok() && !keys.Romaji.empty()) {
            ++check.items;
            for (const char key : keys.Romaji.view())
                if (check.keys.find(key) == std::string::npos)
                    check.keys.insert(std::lower_bound(check.keys.begin(), check.keys.end(), key), key);
            continue;
        }
        const QString reading = DecodeCp932(record.reading);
        const std::optional<std::size_t> at = FirstUntypeable(record.reading, table, sokuon);
        const QString untypeable = at ? DecodeCp932(record.reading.substr(*at, Cp932CharLength(
                                                        static_cast<unsigned char>(record.reading[*at]))))
                                      : QString();
        notes.add(untypeable.isEmpty()
                      ? QStringLiteral("%1 %2 行目: 読みがありません").arg(fileName).arg(reader.line())
                      : QStringLiteral("%1 %2 行目: 読み「%3」の「%4」は打てません")
                            .arg(fileName).arg(reader.line()).arg(reading, untypeable));
    }
    if (check.items == 0 && notes.empty())
        notes.add(QStringLiteral("%1 に打てる項目がありません").arg(fileName));
    check.problems = notes.lines();
    return check;
}

LessonCheck CheckLesson(const Lesson& lesson)
{
    const QString name = QString::fromStdString(lesson.file);
    const std::string path = CourseFilePath(lesson.file);
    const FileBytes file = ReadFileBytes(path);
    if (file.status == FileStatus::Ok)
        return CheckLessonList(file.bytes, name, ShownTable(), SokuonRomaji);
    LessonCheck check;
    check.problems << (file.status == FileStatus::CannotOpen && !FileExists(path)
                           ? QStringLiteral("%1 がありません").arg(name)
                           : QStringLiteral("%1 を読み込めません").arg(name));
    return check;
}

QString StarsText(int stars)
{
    return QString(stars, QChar(u'★')) + QString(3 - stars, QChar(u'☆'));
}

QStringList LessonVerdictText(int stars, double accuracy, double speed, int goal, const QString& next)
{
    if (stars > 0)
        return {QStringLiteral("ごうかく！ %1").arg(StarsText(stars))
                + (next.isEmpty() ? QString() : QStringLiteral("　つぎ：%1").arg(next))};
    // Close: within a few points of the accuracy and a fifth of the speed.
    const bool close = accuracy >= PassAccuracy - 5 && speed >= goal * 0.8;
    QStringList lines {close ? QStringLiteral("あと すこし！") : QStringLiteral("もういちど！")};
    // Shown rounded down: a drill that fell short never shows the mark.
    if (accuracy < PassAccuracy)
        lines << QStringLiteral("%1 %2%（ごうかくは %3%）")
                     .arg(QString::fromUtf8(AccuracyCaption))
                     .arg(int(std::floor(accuracy)))
                     .arg(PassAccuracy);
    if (speed < goal)
        lines << QStringLiteral("%1 %2（もくひょうは %3）")
                     .arg(QString::fromUtf8(KeysPerMinuteCaption))
                     .arg(int(std::floor(speed)))
                     .arg(goal);
    return lines;
}

int StarsFor(const DrillSummary& drill, int goal)
{
    const double accuracy = AccuracyPercent(drill.hits, drill.misses);
    const double speed = KeysPerMinute(drill.hits, drill.elapsedMs);
    if (accuracy < PassAccuracy || speed < goal)
        return 0;
    if (accuracy >= 99 && speed >= goal * 1.5)
        return 3;
    if (accuracy >= 97 && speed >= goal * 1.2)
        return 2;
    return 1;
}

std::vector<LessonState> LessonStates(const Course& course, const std::vector<DrillSummary>& lessonDrills,
                                      bool allOpen)
{
    std::vector<LessonState> states(course.lessons.size());
    for (const DrillSummary& drill : lessonDrills)
        for (std::size_t i = 0; i < course.lessons.size(); ++i)
            if (course.lessons[i].file == drill.lesson)
                // As earned: a goal raised since takes no pass away. Drills
                // kept before stars were are judged by today's goal.
                states[i].stars =
                    std::max(states[i].stars, drill.stars ? *drill.stars : StarsFor(drill, course.lessons[i].goal));
    for (std::size_t i = 0; i < states.size(); ++i)
        states[i].open = allOpen || i == 0 || states[i - 1].stars > 0;
    return states;
}

std::string CourseFilePath(const std::string& name)
{
    const std::string own = UserDir + name;
    return UserDir != AppDir && FileExists(own) ? own : AppDir + name;
}

Course LoadCourse()
{
    const std::string path = CourseFilePath("course.txt");
    const FileBytes file = ReadFileBytes(path);
    if (file.status != FileStatus::Ok) {
        Course none;
        none.problems << QStringLiteral("%1 を読み込めません").arg(QString::fromStdString(path));
        return none;
    }
    return ParseCourse(file.bytes, QStringLiteral("course.txt"));
}
