#include "course/course.h"
#include "course/lessonrun.h"
#include "course/weaklesson.h"
#include "problems.h"
#include "recordingplatform.h"
#include "romajitable.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {

DrillSummary LessonDrill(const std::string& lesson, std::uint32_t hits, std::uint32_t misses, std::uint32_t ms)
{
    return {"2026-12-09T08:00:00Z", 0, 4, hits, misses, ms, 0, lesson};
}

std::vector<UnitDrillRow> History(const std::vector<std::tuple<int, const char*, bool, int, int>>& rows)
{
    std::vector<UnitDrillRow> all;
    for (const auto& [drill, name, kana, hits, misses] : rows)
        all.push_back({drill, name, kana, std::uint32_t(hits), std::uint32_t(misses)});
    return all;
}

} // namespace

class TestCourse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        AppDir = UserDir = SourceDataDir();
        QVERIFY(LoadRomajiTable());
    }

    void courseLinesAreCheckedOneByOne_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("problem"); // empty: the line is a lesson
        QTest::newRow("a lesson") << "lesson01.txt,ｆとｊ,20" << "";
        QTest::newRow("blanks around the fields") << " a.txt , 題 , 7 " << "";
        QTest::newRow("a comment") << "; mine" << "-";
        QTest::newRow("two fields") << "a.txt,題" << "course.txt 1 行目: 「ファイル名,題名,目標」の形ではありません";
        QTest::newRow("four fields") << "a.txt,題,1,2" << "course.txt 1 行目: 「ファイル名,題名,目標」の形ではありません";
        QTest::newRow("a path") << "../roma.txt,題,5" << "course.txt 1 行目: ファイル名「../roma.txt」は、英数字で .txt で終わる名前にします";
        QTest::newRow("no title") << "a.txt,,5" << "course.txt 1 行目: 題名がありません";
        QTest::newRow("goal 0") << "a.txt,題,0" << "course.txt 1 行目: 目標は 1 から 999 までの数（1分あたりの打鍵数）にします";
        QTest::newRow("goal not a number") << "a.txt,題,速く" << "course.txt 1 行目: 目標は 1 から 999 までの数（1分あたりの打鍵数）にします";
    }
    void courseLinesAreCheckedOneByOne()
    {
        QFETCH(QString, line);
        QFETCH(QString, problem);
        const Course course = ParseCourse(Cp932Lines({line, "b.txt,次,30"}), "course.txt");
        QCOMPARE(course.problems.join('\n'), problem == "-" ? QString() : problem);
        QCOMPARE(course.lessons.size(), std::size_t(problem.isEmpty() ? 2 : 1));
        QCOMPARE(course.lessons.back().file, std::string("b.txt"));
    }

    // A teacher's files are checked when the course window opens, and
    // however large or broken they are, the window shows a few lines.
    void courseFilesAreCheckedWithinBounds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("lesson"); // a lesson's list, else course.txt
        QTest::addColumn<int>("items");   // lessons, or items a learner can type
        QTest::addColumn<QString>("problems"); // a pattern of the lines, joined by \n
        const QByteArray items = QByteArray::fromStdString(Cp932Lines({"猫,ねこ", "ねこ", "猫,猫", "ねこ", "", "", "犬,いぬ", "いぬ"}));
        QTest::newRow("a lesson with a kanji reading") << items << true << 2 << "l\\.txt 3 行目: 読み「猫」の「猫」は打てません";
        QTest::newRow("an empty lesson") << QByteArray() << true << 0 << "l\\.txt に打てる項目がありません";
        QTest::newRow("a lesson saved as UTF-8")
            << QString("猫,ねこ\r\nねこ\r\n").repeated(300).toUtf8() << true << 0
            << "l\\.txt は UTF-8 で書かれています。CP932（Shift_JIS）で保存してください\n"
               "(l\\.txt [1357] 行目: 読み「.*」の「.*」は打てません\n){4}"
               "ほかに 296 件あります";
        QByteArray many;
        for (int n = 1; n <= 10000; ++n)
            many += QString("l%1.txt,題,30\r\n").arg(n).toLatin1();
        QTest::newRow("10,000 lessons") << many << false << 200
                                        << "course\\.txt 201 行目: レッスンは 200 個までです。この行から後は読みません";
        QTest::newRow("1 MiB of bad lines") << QByteArray("bad\r\n").repeated(200000) << false << 0
                                            << "(course\\.txt [1-5] 行目: 「ファイル名,題名,目標」の形ではありません\n){5}"
                                               "ほかに 199995 件あります";
    }
    void courseFilesAreCheckedWithinBounds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, lesson);
        QFETCH(int, items);
        QFETCH(QString, problems);
        QElapsedTimer clock;
        clock.start();
        int found = 0;
        QStringList lines;
        if (lesson) {
            const LessonCheck check = CheckLessonList(bytes.toStdString(), "l.txt", RomajiTable, SokuonRomaji);
            found = check.items;
            lines = check.problems;
        } else {
            const Course course = ParseCourse(bytes.toStdString(), "course.txt");
            found = int(course.lessons.size());
            lines = course.problems;
        }
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(found, items);
        const QString shown = lines.join('\n');
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(problems)).match(shown).hasMatch(), qPrintable(shown));
    }

    // The first lesson is open; a pass opens the next; stars grow with
    // accuracy and speed; a parent may open them all. Stars are kept as
    // earned: a goal raised since, or lessons renamed and moved, take no
    // pass away; a drill kept before stars were is judged by today's goal.
    void passesOpenTheNextLesson_data()
    {
        QTest::addColumn<int>("hits");
        QTest::addColumn<int>("misses");
        QTest::addColumn<int>("ms"); // for the hits: goal 60 is 60 hits a minute
        QTest::addColumn<int>("kept"); // the stars the drill kept; -1 for none
        QTest::addColumn<QString>("course"); // '|' between lines
        QTest::addColumn<bool>("allOpen");
        QTest::addColumn<QString>("states"); // stars per lesson, "-" for closed
        const QString course = "a.txt,A,60|b.txt,B,70|c.txt,C,80";
        QTest::newRow("nothing played") << 0 << 0 << 0 << -1 << course << false << "0 - -";
        QTest::newRow("too slow") << 59 << 0 << 60000 << -1 << course << false << "0 - -";
        QTest::newRow("too many misses") << 100 << 6 << 60000 << -1 << course << false << "0 - -";
        QTest::newRow("at the goal, 95 %") << 95 << 5 << 95000 << -1 << course << false << "1 0 -";
        QTest::newRow("97 % and 1.2 times the goal") << 97 << 3 << 60000 * 97 / 72 << -1 << course << false << "2 0 -";
        QTest::newRow("99 % and 1.5 times the goal") << 99 << 1 << 60000 * 99 / 90 << -1 << course << false << "3 0 -";
        QTest::newRow("all opened") << 0 << 0 << 0 << -1 << course << true << "0 0 0";
        QTest::newRow("three stars kept, the goal raised since")
            << 99 << 1 << 60000 * 99 / 90 << 3 << "a.txt,A,200|b.txt,B,70|c.txt,C,80" << false << "3 0 -";
        QTest::newRow("no pass kept, the goal lowered since")
            << 99 << 1 << 60000 * 99 / 90 << 0 << "a.txt,A,10|b.txt,B,70|c.txt,C,80" << false << "0 - -";
        QTest::newRow("a drill of before stars: today's goal")
            << 99 << 1 << 60000 * 99 / 90 << -1 << "a.txt,A,200|b.txt,B,70|c.txt,C,80" << false << "0 - -";
        QTest::newRow("renamed, a lesson put before it: the pass stays with the file")
            << 99 << 1 << 60000 * 99 / 90 << 3 << "new.txt,New,50|a.txt,Renamed,60|c.txt,C,80" << true << "0 3 0";
        QTest::newRow("its file dropped from the course: no pass")
            << 99 << 1 << 60000 * 99 / 90 << 3 << "b.txt,B,70|c.txt,C,80" << false << "0 -";
    }
    void passesOpenTheNextLesson()
    {
        QFETCH(int, hits);
        QFETCH(int, misses);
        QFETCH(int, ms);
        QFETCH(int, kept);
        QFETCH(QString, course);
        QFETCH(bool, allOpen);
        QFETCH(QString, states);
        const Course lessons = ParseCourse(Cp932Lines(course.split('|')), "course.txt");
        std::vector<DrillSummary> drills;
        if (ms > 0)
            drills = {LessonDrill("a.txt", 10, 9, 60000), LessonDrill("a.txt", std::uint32_t(hits), std::uint32_t(misses), std::uint32_t(ms))};
        if (kept >= 0) {
            drills.back().goal = 60;
            drills.back().stars = kept;
        }
        QStringList shown;
        for (const LessonState& s : LessonStates(lessons, drills, allOpen))
            shown << (s.open ? QString::number(s.stars) : QString("-"));
        QCOMPARE(shown.join(' '), states);
    }

    // The results of a lesson say what it lacked and how close it came.
    void lessonVerdictsSayHowClose_data()
    {
        QTest::addColumn<int>("stars");
        QTest::addColumn<double>("accuracy");
        QTest::addColumn<double>("speed");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("a pass") << 2 << 98.0 << 40.0 << "ごうかく！ ★★☆　つぎ：か行";
        QTest::newRow("just short of accurate") << 0 << 94.9 << 40.0 << "あと すこし！\nせいかくさ 94%（ごうかくは 95%）";
        QTest::newRow("just short of fast") << 0 << 99.0 << 28.5 << "あと すこし！\n1分に うてた 文字 28（もくひょうは 30）";
        QTest::newRow("short of both") << 0 << 93.0 << 25.0
                                       << "あと すこし！\nせいかくさ 93%（ごうかくは 95%）\n1分に うてた 文字 25（もくひょうは 30）";
        QTest::newRow("far off") << 0 << 80.0 << 12.0 << "もういちど！\nせいかくさ 80%（ごうかくは 95%）\n1分に うてた 文字 12（もくひょうは 30）";
    }
    void lessonVerdictsSayHowClose()
    {
        QFETCH(int, stars);
        QFETCH(double, accuracy);
        QFETCH(double, speed);
        QFETCH(QString, verdict);
        QCOMPARE(LessonVerdictText(stars, accuracy, speed, 30, "か行").join('\n'), verdict);
    }

    // A run's length as the course window says it.
    void lessonRunsLastAboutThreeMinutes_data()
    {
        QTest::addColumn<int>("goal");
        QTest::addColumn<int>("keys");
        QTest::addColumn<QString>("minutes");
        QTest::newRow("a slow goal: at least 100 keys") << 15 << 100 << "やく 7分";
        QTest::newRow("four minutes") << 25 << 100 << "やく 4分";
        QTest::newRow("three minutes") << 45 << 135 << "やく 3分";
        QTest::newRow("scaled to the slowest") << ScaledGoal(15, 50) << 100 << "やく 13分";
        QTest::newRow("scaled to the fastest") << ScaledGoal(85, 200) << 510 << "やく 3分";
    }
    void lessonRunsLastAboutThreeMinutes()
    {
        QFETCH(int, goal);
        QFETCH(int, keys);
        QFETCH(QString, minutes);
        QCOMPARE(int(LessonRunLength(goal)), keys);
        QCOMPARE(AboutMinutes(LessonRunLength(goal), goal), minutes);
    }

    void weakUnitsLeaveAfterThreeGoodDrills_data()
    {
        QTest::addColumn<int>("goodDrills"); // newest first, at 5 % misses or less
        QTest::addColumn<bool>("weak");
        QTest::newRow("none good") << 0 << true;
        QTest::newRow("two good") << 2 << true;
        QTest::newRow("three good") << 3 << false;
    }
    void weakUnitsLeaveAfterThreeGoodDrills()
    {
        QFETCH(int, goodDrills);
        QFETCH(bool, weak);
        std::vector<UnitDrillRow> rows;
        int drill = 100;
        for (int i = 0; i < goodDrills; ++i)
            rows.push_back({drill--, "っ", true, 20, 1});
        for (int i = 0; i < 5; ++i)
            rows.push_back({drill--, "っ", true, 10, 10});
        const auto units = WeakUnits(rows, 8);
        QCOMPARE(!units.empty(), weak);
    }

    // Three units the learner misses often: the weak lesson is mostly made
    // of them, where a drill of the level that has them most is not.
    void weakLessonHoldsTheWeakUnits()
    {
        const auto weak = WeakUnits(History({{3, "x", false, 30, 10}, {3, "っ", true, 20, 8}, {2, "v", false, 16, 4},
                                             {2, "a", false, 300, 3}, {1, "か", true, 40, 1}, {1, "q", false, 5, 3}}),
                                    8);
        QCOMPARE(weak.size(), std::size_t(3)); // q: too few keys; a and か: few misses
        const Course course = LoadCourse();
        std::array<bool, 256> typed {};
        typed.fill(true);
        RecordingPlatform platform;
        RandomGenerator random;
        static ProblemSet lesson;
        MakeWeakLesson(AllProblems(course), weak, typed, lesson, random);
        QVERIFY(lesson.Count >= 20);
        const auto share = [&](const ProblemSet& set) {
            int holding = 0;
            for (std::uint16_t n = 1; n <= set.Count; ++n)
                holding += WeakUnitsIn(set.problem(n), weak) > 0;
            return double(holding) / set.Count;
        };
        QVERIFY(share(lesson) >= 0.5);
        static ProblemSet level;
        QCOMPARE(PrepareProblemSet(2, level, Counters, random), Preparation::Ready);
        QVERIFY2(share(level) <= 0.15, qPrintable(QString::number(share(level))));
        // Only what the learner can type.
        typed.fill(false);
        for (const char c : std::string_view("asdfghjkl; "))
            typed[static_cast<unsigned char>(c)] = true;
        MakeWeakLesson(AllProblems(course), weak, typed, lesson, random);
        QVERIFY(lesson.Count > 0); // かっか and the like
        for (std::uint16_t n = 1; n <= lesson.Count; ++n)
            for (const char c : lesson.problem(n).Romaji.view())
                QVERIFY2(typed[static_cast<unsigned char>(c)], qPrintable(Show(lesson.problem(n).Romaji)));
    }
};

QTEST_APPLESS_MAIN(TestCourse)
#include "test_course.moc"
