#include "problems.h"
#include "recordingplatform.h"
#include "romajitable.h"
#include "testsupport.h"

#include <QTest>

#include <deque>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Answers the draws it was given, in order, and records each n asked for.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<std::uint32_t> draws) : draws_(std::move(draws)) {}
    std::uint32_t below(std::uint32_t n) override
    {
        asked.push_back(n);
        if (draws_.empty())
            return 0;
        const std::uint32_t d = draws_.front();
        draws_.pop_front();
        return d;
    }
    std::vector<std::uint32_t> asked;

private:
    std::deque<std::uint32_t> draws_;
};


QStringList Sentences(const ProblemSet& set)
{
    QStringList out;
    for (std::uint16_t n = 1; n <= set.Count; ++n)
        out << Show(set.problem(n).Sentence);
    return out;
}

// A scratch application directory with a small romaji table loaded.
struct DrillDir {
    ScratchDir dir;
    RecordingPlatform platform;
    DrillDir()
    {
        AppDir = UserDir = dir.path();
        ParseRomajiTable(Cp932Lines({"か,ka", "き,ki", "く,ku", "っ,xtu"}), RomajiTable, SokuonRomaji);
    }
};

} // namespace

class TestProblems : public QObject {
    Q_OBJECT

private slots:
    void shuffleExchangesWithTheWholeSet()
    {
        static ProblemSet set;
        set.Count = 4;
        for (std::uint16_t n = 1; n <= 4; ++n)
            set.problem(n).Sentence.assign(std::string(1, char('A' + n - 1)));
        // k=1 j=3: C B A D; k=2 j=2: same; k=3 j=4: C B D A; k=4 j=1: A B D C
        ScriptedRandom random({2, 1, 3, 0});
        ShuffleProblems(set, random);
        QCOMPARE(Sentences(set), (QStringList {"A", "B", "D", "C"}));
        QCOMPARE(random.asked, (std::vector<std::uint32_t> {4, 4, 4, 4}));
    }

    void shuffleMovesWholeRecords()
    {
        static ProblemSet set;
        set.Count = 2;
        for (std::uint16_t n = 1; n <= 2; ++n) {
            const std::string i = std::to_string(n);
            Problem& p = set.problem(n);
            p.Sentence.assign("s" + i);
            p.Reading.assign("r" + i);
            p.Romaji.assign("ro" + i);
            p.Meaning.assign("m" + i);
        }
        ScriptedRandom random({1, 1});
        ShuffleProblems(set, random);
        const Problem& p = set.problem(1);
        QCOMPARE(QString("%1 %2 %3 %4").arg(Show(p.Sentence), Show(p.Reading), Show(p.Romaji), Show(p.Meaning)),
                 QString("s2 r2 ro2 m2"));
    }

    void realShuffleDrawsUniformly()
    {
        // Every position receives each of three problems about equally often.
        RandomGenerator random;
        random.seed(12345);
        static ProblemSet set;
        int firstSeen[3] = {};
        for (int round = 0; round < 3000; ++round) {
            set.Count = 3;
            for (std::uint16_t n = 1; n <= 3; ++n)
                set.problem(n).Sentence.assign(std::string(1, char('0' + n - 1)));
            ShuffleProblems(set, random);
            ++firstSeen[set.problem(1).Sentence.at(1) - '0'];
        }
        for (int seen : firstSeen)
            QVERIFY2(seen > 850 && seen < 1150, qPrintable(QString::number(seen)));
    }

    void levelReadsItsFilesInOrder_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("withUserList");
        QTest::addColumn<QStringList>("sentences");

        QTest::newRow("level 1 ignores wordu") << 1 << true << QStringList {"L1"};
        QTest::newRow("level 2 ignores wordu") << 2 << true << QStringList {"L2"};
        QTest::newRow("level 3 then wordu") << 3 << true << QStringList {"L3a", "L3b", "U"};
        QTest::newRow("level 3 alone") << 3 << false << QStringList {"L3a", "L3b"};
    }
    void levelReadsItsFilesInOrder()
    {
        QFETCH(int, level);
        QFETCH(bool, withUserList);
        QFETCH(QStringList, sentences);
        DrillDir drill;
        drill.dir.write("word1.txt", Cp932Lines({"L1,か", "m"}));
        drill.dir.write("word2.txt", Cp932Lines({"L2,き", "m"}));
        drill.dir.write("word3.txt", Cp932Lines({"L3a,く", "m", "L3b,かき", "m"}));
        if (withUserList)
            drill.dir.write("wordu.txt", Cp932Lines({"U,きく", "m"}));
        ScriptedRandom noMoves({0, 1, 2});
        QCOMPARE(PrepareProblemSet(std::uint8_t(level), Problems, Counters, noMoves), Preparation::Ready);
        QCOMPARE(Sentences(Problems), sentences);
        QVERIFY(drill.platform.errors.empty());
    }

    void preparationConvertsAndClearsCounters()
    {
        DrillDir drill;
        drill.dir.write("word3.txt", Cp932Lines({"a,かっき", "m"}));
        drill.dir.write("wordu.txt", Cp932Lines({"b,くく", "m"}));
        Counters.Hits = 9;
        Counters.Misses = 8;
        Counters.TotalChars = 7;
        ScriptedRandom keep({0, 1});
        QCOMPARE(PrepareProblemSet(3, Problems, Counters, keep), Preparation::Ready);
        QCOMPARE(Show(Problems.problem(1).Romaji), QString("kakki"));
        QCOMPARE(Show(Problems.problem(2).Romaji), QString("kuku"));
        QCOMPARE(Counters.Hits, std::uint16_t(0));
        QCOMPARE(Counters.Misses, std::uint16_t(0));
        QCOMPARE(Counters.TotalChars, std::uint16_t(0));
    }

    void failedReadingsAreLeftOutAfterTheirMessage()
    {
        DrillDir drill;
        // The blank line after the second entry begins one more record that
        // is not empty, whose line 1 is empty: its empty reading fails too.
        drill.dir.write("word3.txt", Cp932Lines({"ok1,か", "m", "bad1,かさ", "m", "", "x", "ok2,き", "m"}));
        drill.dir.write("wordu.txt", Cp932Lines({"bad2,っ", "m", "ok3,く", "m"}));
        ScriptedRandom keep({0, 1, 2});
        QCOMPARE(PrepareProblemSet(3, Problems, Counters, keep), Preparation::Ready);
        QCOMPARE(Sentences(Problems), (QStringList {"ok1", "ok2", "ok3"}));
        QStringList messages;
        for (const auto& e : drill.platform.errors)
            messages << QString::fromStdString(e.text) + " / " + QString::fromStdString(e.caption);
        QCOMPARE(messages, (QStringList {"かさ 3 / エラー", " 1 / エラー", "っ 3 / エラー"}));
        QCOMPARE(keep.asked, (std::vector<std::uint32_t> {3, 3, 3}));
    }

    void noProblemLeftCannotStart()
    {
        DrillDir drill;
        drill.dir.write("word1.txt", Cp932Lines({"bad,さ", "m"}));
        ScriptedRandom random({});
        QCOMPARE(PrepareProblemSet(1, Problems, Counters, random), Preparation::Empty);
        QCOMPARE(Problems.Count, std::uint16_t(0));
        QCOMPARE(drill.platform.terminateRequests, 0);
    }

    void emptyUserListAddsNothing()
    {
        DrillDir drill;
        drill.dir.write("word3.txt", Cp932Lines({"a,か", "m"}));
        drill.dir.write("wordu.txt", "");
        ScriptedRandom random({0});
        QCOMPARE(PrepareProblemSet(3, Problems, Counters, random), Preparation::Ready);
        QCOMPARE(Problems.Count, std::uint16_t(1));
        QVERIFY(drill.platform.errors.empty());
    }

    void missingLevelFileEndsTheProgram()
    {
        DrillDir drill;
        drill.dir.write("wordu.txt", Cp932Lines({"a,か", "m"}));
        ScriptedRandom random({});
        QCOMPARE(PrepareProblemSet(3, Problems, Counters, random), Preparation::Terminated);
        QCOMPARE(drill.platform.terminateRequests, 1);
        QVERIFY(drill.platform.errors.empty());
        QVERIFY(random.asked.empty());
    }

    // A list that is there but cannot be read is named; the drill does not
    // start and the program goes on.
    void unreadableListIsNamed_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        QTest::newRow("user list is a directory") << 3 << "wordu.txt" << "directory";
        QTest::newRow("level list is a directory") << 1 << "word1.txt" << "directory";
        QTest::newRow("user list fails while read") << 3 << "wordu.txt" << "/proc/self/mem";
        QTest::newRow("level list is a pipe, which would never end") << 3 << "word3.txt" << "pipe";
    }
    void unreadableListIsNamed()
    {
        QFETCH(int, level);
        QFETCH(QString, file);
        QFETCH(QString, kind);
        DrillDir drill;
        drill.dir.write("word1.txt", Cp932Lines({"a,か", "m"}));
        drill.dir.write("word3.txt", Cp932Lines({"a,か", "m"}));
        const std::string path = drill.dir.file(file.toStdString());
        ::unlink(path.c_str());
        if (kind == "directory")
            QVERIFY(::mkdir(path.c_str(), 0700) == 0);
        else if (kind == "pipe")
            QVERIFY(::mkfifo(path.c_str(), 0600) == 0);
        else
            QVERIFY(::symlink(kind.toStdString().c_str(), path.c_str()) == 0);
        ScriptedRandom random({});
        QCOMPARE(PrepareProblemSet(std::uint8_t(level), Problems, Counters, random), Preparation::Empty);
        QCOMPARE(drill.platform.terminateRequests, 0);
        QCOMPARE(drill.platform.errors.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(drill.platform.errors[0].text), QString::fromStdString(path + " を読み込めません"));
    }

    void levelFileNames()
    {
        AppDir = "/app/";
        UserDir = "/home/u/.local/share/kidrill/";
        QCOMPARE(LevelFilePath(1), std::string("/app/word1.txt"));
        QCOMPARE(LevelFilePath(3), std::string("/app/word3.txt"));
        QCOMPARE(UserListPath(), std::string("/home/u/.local/share/kidrill/wordu.txt"));
    }
};

QTEST_APPLESS_MAIN(TestProblems)
#include "test_problems.moc"
