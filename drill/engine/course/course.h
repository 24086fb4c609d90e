#pragma once

#include "records/recordstore.h"
#include "romajiconversion.h"

#include <QStringList>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The course: lessons in the order they are taught, each a word list of
// its own, passed at an accuracy and a speed, and one more lesson made from
// the learner's weak keys and kana.

struct Lesson {
    std::string file; // a bare file name in the application directory
    QString title;
    int goal = 0;     // correct keys per minute to pass
};

// What is wrong with a file of the course, for the teacher who wrote it:
// the first few faults, a line each ("course.txt 3 行目: …"), then how
// many more there are, so that a file of thousands of bad lines costs a
// few lines on the screen.
class ProblemNotes {
public:
    static constexpr qsizetype Shown = 5;
    void add(const QString& line);
    // The lines shown; the last one says how many more there are.
    QStringList lines() const;
    bool empty() const { return shown_.isEmpty(); }

private:
    QStringList shown_;
    int more_ = 0;
};

struct Course {
    // More lessons than a course has room for are no course: the rest of
    // the file is not read.
    static constexpr std::size_t Capacity = 200;
    std::vector<Lesson> lessons;
    // What was wrong with the file, as ProblemNotes shows it.
    QStringList problems;
};

// course.txt: one lesson a line, "file,title,goal" (CP932, the word lists'
// line rules). Empty lines and lines that start with ";" are skipped; a bad
// line is left out and named in `problems`.
Course ParseCourse(std::string_view bytes, const QString& fileName);

// A lesson's word list as the course window checks it when it opens: the
// items a learner can type, and what is wrong with the others.
struct LessonCheck {
    int items = 0;
    std::string keys;     // the keys those items type, each once, in key order
    QStringList problems; // as ProblemNotes shows them
    bool playable() const { return items > 0; }
};
LessonCheck CheckLessonList(std::string_view bytes, const QString& fileName, const RomajiTableData& table,
                            std::string_view sokuon);
// The lesson's file read from where CourseFilePath finds it, its keys in
// the spelling shown.
LessonCheck CheckLesson(const Lesson& lesson);

// Passing and stars. A lesson is passed at PassAccuracy % or more and at
// its goal; the stars grow with both.
constexpr double PassAccuracy = 95.0;
int StarsFor(const DrillSummary& drill, int goal);
// Stars as shown: "★★☆".
QString StarsText(int stars);

// What the results say of a lesson's drill: a pass with its stars and the
// lesson it opens ("ごうかく！ ★★☆　つぎ：…"), or how close it came and
// what it lacked, a line each ("あと すこし！", "せいかいの わりあい 93% →
// 95%"), never only that it failed. `goal` is the goal played at.
QStringList LessonVerdictText(int stars, double accuracy, double speed, int goal, const QString& next);

// What the learner has done of each lesson: its best stars (0 for not yet
// passed) and whether it may be played. The first lesson is always open,
// every other one once the one before it is passed, or all of them when
// a parent opened them.
struct LessonState {
    int stars = 0;
    bool open = false;
};
std::vector<LessonState> LessonStates(const Course& course, const std::vector<DrillSummary>& lessonDrills,
                                      bool allOpen);

// The name the records give the weak lesson's drills.
constexpr const char* WeakLessonName = "にがて";

// The lesson the next drill plays, chosen in the course window; none for
// a level's drill.
struct LessonChoice {
    std::string name; // its file, or WeakLessonName
    QString title;
    int goal = 0;     // as played, GoalPercent applied; none for the weak lesson, which is practice only
    QString next;     // the title of the lesson its pass opens, if any
    std::size_t index = 0;        // in the course
    std::uint16_t runLength = 0;  // correct keys of its run
    std::string newKeys;          // the keys it brings in
};
extern std::optional<LessonChoice> ChosenLesson;

// A file of the course: where a teacher put it beside the learner's files,
// else the one shipped in the application directory.
std::string CourseFilePath(const std::string& name);
// course.txt, read afresh; a missing or unreadable file is a problem.
Course LoadCourse();
