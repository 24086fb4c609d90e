#include "course/course.h"

#include "cp932.h"
#include "platform.h"
#include "records/recordstats.h"
#include "textfile.h"

#include <algorithm>

std::optional<LessonChoice> ChosenLesson;

namespace {

constexpr int LargestGoal = 999;

// A lesson file is named, never reached by a path: it stands beside the
// program like every data file.
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

Course ParseCourse(std::string_view bytes, const QString& fileName)
{
    Course course;
    LineReader lines(bytes);
    int number = 0;
    while (!lines.atEnd()) {
        const std::string_view line = lines.readLine();
        ++number;
        if (TrimBlanks(line).empty() || line.front() == ';')
            continue;
        const auto bad = [&](const QString& why) {
            course.problems << QStringLiteral("%1 %2 行目: %3").arg(fileName).arg(number).arg(why);
        };
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
        else if (course.lessons.size() >= Course::Capacity)
            bad(QStringLiteral("レッスンは %1 までです").arg(Course::Capacity));
        else
            course.lessons.push_back({std::string(file), title, *goal});
    }
    return course;
}

QString StarsText(int stars)
{
    return QString(stars, QChar(u'★')) + QString(3 - stars, QChar(u'☆'));
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
