#include "course/course.h"
#include "course/lessonrun.h"
#include "cp932.h"
#include "problems.h"
#include "recordingplatform.h"
#include "romajitable.h"
#include "settings/options.h"
#include "testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>
#include <map>
#include <set>

namespace {

std::string ReadData(const char* name)
{
    const FileBytes file = ReadFileBytes(SourceDataDir() + name);
    if (file.status != FileStatus::Ok)
        qFatal("cannot read shipped %s", name);
    return file.bytes;
}

// The widths the drill window gives its rows, in bytes of CP932 (one byte
// is half a full-width character): the romaji row at 24 px, the sentence at
// 21 px bold, each meaning line at 16 px, all from x = 96 to the edge.
constexpr std::size_t RomajiWidth = 44;
constexpr std::size_t SentenceWidth = 48;
constexpr std::size_t MeaningLineWidth = 64;

// The first line of each kana is the spelling the drill shows; later lines
// of the same kana are the other spellings an input method accepts.
constexpr std::uint16_t FirstSpellingLines = 200;

// A small tsu doubles the first letter of the next kana's romaji, so it must
// stand before a kana: before a sign or digit it would double the sign, and
// at the end of a reading nothing matches.
bool SmallTsuBeforeKana(const QString& reading)
{
    for (qsizetype i = reading.indexOf(u'っ'); i >= 0; i = reading.indexOf(u'っ', i + 1)) {
        const QChar next = i + 1 < reading.size() ? reading[i + 1] : QChar();
        if (next == u'っ' || !((next >= u'ぁ' && next <= u'ゖ') || next == u'ヴ'))
            return false;
    }
    return true;
}

// Whether the readings type this line of the table: a kana followed by a
// small kana is typed as part of a contracted or loanword sound instead.
bool Types(const QString& readings, const QString& kana)
{
    for (qsizetype i = readings.indexOf(kana); i >= 0; i = readings.indexOf(kana, i + 1)) {
        const QChar next = i + kana.size() < readings.size() ? readings[i + kana.size()] : QChar();
        if (kana.size() > 1 || !QStringLiteral("ぁぃぅぇぉゃゅょゎ").contains(next))
            return true;
    }
    return false;
}

} // namespace

class TestData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ParseRomajiTable(ReadData("roma.txt"), RomajiTable, SokuonRomaji);
    }

    void everyFileUsesCrLfLines_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"roma.txt", "word1.txt", "word2.txt", "word3.txt", "course.txt"})
            QTest::newRow(name) << name;
        for (const QString& lesson : QDir(QString::fromStdString(SourceDataDir())).entryList({"lesson*.txt"}))
            QTest::newRow(qPrintable(lesson)) << lesson;
    }
    void everyFileUsesCrLfLines()
    {
        QFETCH(QString, name);
        const std::string bytes = ReadData(qPrintable(name));
        QVERIFY(bytes.size() > 2 && bytes.substr(bytes.size() - 2) == "\r\n");
        QCOMPARE(bytes.find('\x1a'), std::string::npos);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n')
                QVERIFY2(i > 0 && bytes[i - 1] == '\r', qPrintable(QString("lone LF at byte %1").arg(i)));
            if (bytes[i] == '\r')
                QVERIFY2(i + 1 < bytes.size() && bytes[i + 1] == '\n', qPrintable(QString("lone CR at byte %1").arg(i)));
        }
        QVERIFY2(bytes.find("\r\n\r\n") == std::string::npos, "blank line");
        // Every byte sequence is real CP932 text.
        QVERIFY(EncodeCp932(DecodeCp932(bytes)) == bytes);
    }

    void romajiTableIsWellFormed()
    {
        const std::string bytes = ReadData("roma.txt");
        // Lines past the conversion's table are spellings only.
        QVERIFY(std::count(bytes.begin(), bytes.end(), '\n') <= SpellingTable::Capacity);
        // The last line of っ sets what a small tsu before a vowel writes.
        QCOMPARE(Show(SokuonRomaji), QString("xtu"));
        QStringList seen;
        QStringList spellings;
        for (std::uint16_t n = 1; n <= RomajiTable.Count; ++n) {
            const RomajiEntry& e = RomajiTable.entry(n);
            const QString kana = Show(e.Kana);
            QVERIFY2(!e.Kana.empty() && !e.Romaji.empty(), qPrintable(QString("line %1").arg(n)));
            // A spelling stands once, but for っ's, whose last line repeats the
            // first so that the other spellings of っ leave SokuonRomaji as it is.
            const QString spelling = kana + "," + Show(e.Romaji);
            QVERIFY2(!spellings.contains(spelling) || spelling == "っ,xtu", qPrintable("twice: " + spelling));
            spellings << spelling;
            if (seen.contains(kana))
                continue;
            QVERIFY2(n <= FirstSpellingLines, qPrintable("a first spelling after the others: " + kana));
            seen << kana;
            // A contracted sound works only before the line of its first kana.
            for (std::uint16_t m = 1; m < n; ++m) {
                const RomajiEntry& earlier = RomajiTable.entry(m);
                QVERIFY2(!e.Kana.view().starts_with(earlier.Kana.view()),
                         qPrintable(kana + " stands after " + Show(earlier.Kana)));
            }
        }
    }

    void spellingsPastTheTableAreOfItsKana()
    {
        const std::string roma = ReadData("roma.txt");
        LineReader lines(roma);
        QStringList kana;
        for (int n = 1; !lines.atEnd(); ++n) {
            const QString k = Show(SplitRomajiLine(lines.readLine()).kana);
            QVERIFY2(n <= RomajiTableData::Capacity || kana.contains(k), qPrintable(QString("line %1: %2").arg(n).arg(k)));
            kana << k;
        }
    }

    void romajiTableSpellsTheChosenStyle_data()
    {
        QTest::addColumn<QString>("kana");
        QTest::addColumn<QString>("romaji");
        const char* rows[][2] = {
            {"し", "si"}, {"ち", "ti"}, {"つ", "tu"}, {"ふ", "hu"}, {"じ", "zi"}, {"しゃ", "sya"}, {"しぇ", "sye"},
            {"ちゃ", "tya"}, {"じゃ", "zya"}, {"ぢゃ", "dya"}, {"ん", "nn"}, {"ぁ", "xa"}, {"ゃ", "xya"}, {"ゎ", "xwa"},
            {"っか", "kka"}, {"っあ", "xtua"}, {"は", "ha"}, {"へ", "he"}, {"を", "wo"},
            {"ふぁ", "fa"}, {"てぃ", "thi"}, {"でゅ", "dhu"}, {"とぅ", "twu"}, {"うぃ", "wi"}, {"うぉ", "who"},
            {"つぁ", "tsa"}, {"いぇ", "ye"}, {"くぁ", "qa"}, {"ヴ", "vu"}, {"ヴぁ", "va"}, {"ア", "fail"},
            {"ー", "-"}, {"－", "-"}, {"、", ","}, {"。", "."}, {"・", "/"}, {"「", "["}, {"」", "]"}, {"？", "?"},
            {"（", "("}, {"＝", "="}, {"＋", "+"}, {"；", ";"}, {"　", " "}, {"１", "1"}, {"ｊ", "j"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
    }
    void romajiTableSpellsTheChosenStyle()
    {
        QFETCH(QString, kana);
        QFETCH(QString, romaji);
        RecordingPlatform platform;
        const Conversion c = KanaToRomaji(Sj(kana.toUtf8().constData()));
        QCOMPARE(Outcome(c), romaji);
    }

    // Each row checks the items of its levels together: how many each level
    // holds, which keys the romaji may use, which keys must be typed at least
    // `times` times, and which lines of the table the readings must type.
    void levelsHoldRealItems_data()
    {
        QTest::addColumn<QString>("levels");
        QTest::addColumn<int>("atLeast");
        QTest::addColumn<int>("atMost");
        QTest::addColumn<QString>("keys"); // empty: any
        QTest::addColumn<QString>("counted");
        QTest::addColumn<int>("times");
        QTest::addColumn<QStringList>("kana");
        const int any = ProblemSet::Capacity;
        QTest::newRow("home position") << "1" << 100 << any << "asdfghjkl; " << "asdfghjkl;" << 20 << QStringList();
        QTest::newRow("letters") << "2" << 200 << any << "" << "abcdefghijklmnopqrstuvwxyz" << 10 << QStringList();
        QTest::newRow("digits") << "2" << 200 << any << "" << "0123456789" << 5 << QStringList();
        QTest::newRow("signs") << "2" << 200 << any << "" << "-,." << 1 << QStringList();
        // The user's list, up to the editor's 200 entries, joins level 3's set.
        QTest::newRow("sentences") << "3" << 80 << ProblemSet::Capacity - WordTable::Capacity << "" << "" << 0
                                   << QStringList();
        const QStringList kana = QString("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも"
                                         "やゆよらりるれろわをんがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ")
                                     .split(QString(), Qt::SkipEmptyParts)
            + QString("きゃ きゅ きょ しゃ しゅ しょ ちゃ ちゅ ちょ にゃ ひゃ みゃ りゃ りゅ りょ ぎゃ じゃ じゅ じょ "
                      "びょ ぴょ てぃ ふぁ うぃ")
                  .split(u' ');
        QTest::newRow("kana across the course") << "123" << 1 << any << "" << "" << 0 << kana;
    }
    void levelsHoldRealItems()
    {
        QFETCH(QString, levels);
        QFETCH(int, atLeast);
        QFETCH(int, atMost);
        QFETCH(QString, keys);
        QFETCH(QString, counted);
        QFETCH(int, times);
        QFETCH(QStringList, kana);
        RecordingPlatform platform;
        AppDir = SourceDataDir();
        RandomGenerator random;
        std::map<char, int> typed;
        QStringList readings;
        for (const QChar level : levels) {
            QCOMPARE(PrepareProblemSet(std::uint8_t(level.digitValue()), Problems, Counters, random), Preparation::Ready);
            for (const auto& e : platform.errors)
                qWarning() << "does not convert:" << QString::fromStdString(e.text);
            QVERIFY(platform.errors.empty());
            QVERIFY2(Problems.Count >= atLeast && Problems.Count <= atMost, qPrintable(QString::number(Problems.Count)));

            QSet<QString> sentences;
            for (std::uint16_t n = 1; n <= Problems.Count; ++n) {
                const Problem& p = Problems.problem(n);
                const QString name = Show(p.Sentence);
                QVERIFY2(ItemFault(p, sentences).isEmpty(), qPrintable(ItemFault(p, sentences)));
                sentences << name;
                readings << Show(p.Reading);
                for (const char c : p.Romaji.view()) {
                    if (!keys.isEmpty())
                        QVERIFY2(keys.contains(QChar(c)), qPrintable(name + ": " + Show(p.Romaji)));
                    ++typed[c];
                }
            }
        }
        for (const QChar key : counted) {
            const int n = typed[key.toLatin1()];
            QVERIFY2(n >= times, qPrintable(QString("%1 is typed %2 times").arg(key).arg(n)));
        }
        const QString all = readings.join(u'\n');
        for (const QString& k : kana)
            QVERIFY2(Types(all, k), qPrintable(k + " is never typed"));
    }

    // The course: no bad line, every item a real one, each lesson bringing
    // in at most four keys, no key used before its lesson, every key of the
    // first two levels reached; each new key typed at least 20 times in a
    // run of the lesson as the program draws it; Shift taught before the
    // shifted signs, ! after 1, 「」 on their own or with 、 and 。.
    void courseTeachesKeysInOrder_data()
    {
        QTest::addColumn<bool>("hepburn"); // the spelling shown
        QTest::newRow("the table's spelling") << false;
        QTest::newRow("Hepburn: c comes in with ち") << true;
    }
    void courseTeachesKeysInOrder()
    {
        QFETCH(bool, hepburn);
        RecordingPlatform platform;
        AppDir = UserDir = SourceDataDir();
        QVERIFY(LoadRomajiTable());
        Hepburn = hepburn;
        const auto keepStyle = qScopeGuard([] { Hepburn = false; });
        const Course course = LoadCourse();
        QCOMPARE(course.problems, QStringList());
        QVERIFY(course.lessons.size() >= 30);
        std::set<char> known;
        std::map<char, std::size_t> broughtBy; // key: the lesson that brings it in
        std::size_t shiftLesson = course.lessons.size();
        for (std::size_t at = 0; at < course.lessons.size(); ++at) {
            const Lesson& lesson = course.lessons[at];
            const QString name = QString::fromStdString(lesson.file);
            if (lesson.title.contains("シフト"))
                shiftLesson = std::min(shiftLesson, at);
            RandomGenerator random;
            QCOMPARE(PrepareLessonSet(CourseFilePath(lesson.file), Problems, Counters, random), Preparation::Ready);
            QVERIFY2(platform.errors.empty(), qPrintable(name));
            QSet<QString> items;
            std::set<char> typed;
            for (std::uint16_t n = 1; n <= Problems.Count; ++n) {
                const Problem& p = Problems.problem(n);
                QVERIFY2(ItemFault(p, items).isEmpty(), qPrintable(name + ": " + ItemFault(p, items)));
                items << Show(p.Sentence);
                typed.insert(p.Romaji.view().begin(), p.Romaji.view().end());
            }
            std::string brought;
            for (const char key : typed)
                if (known.insert(key).second) {
                    brought += key;
                    broughtBy[key] = at;
                }
            QVERIFY2(brought.size() <= 4, qPrintable(QString("%1 brings in %2").arg(name, brought.c_str())));
            // Runs of the lesson as the program draws them.
            static ProblemSet run;
            constexpr std::uint32_t Seeds = 40; // 1,000 pass too, in 11 s
            const std::uint16_t length = LessonRunLength(lesson.goal);
            for (std::uint32_t seed = 1; seed <= Seeds; ++seed) {
                random.seed(seed);
                DrawLessonRun(Problems, brought, length, random, run);
                std::map<char, int> strokes;
                std::size_t keys = 0;
                for (std::uint16_t n = 1; n <= run.Count && keys < length; ++n)
                    for (const char c : run.problem(n).Romaji.view())
                        if (keys++ < length)
                            ++strokes[c];
                for (const char key : brought)
                    QVERIFY2(strokes[key] >= NewKeyTimes,
                             qPrintable(QString("%1, seed %2: %3 only %4 times").arg(name).arg(seed).arg(key).arg(strokes[key])));
            }
        }
        for (const std::uint8_t level : {1, 2}) {
            RandomGenerator random;
            QCOMPARE(PrepareProblemSet(level, Problems, Counters, random), Preparation::Ready);
            for (std::uint16_t n = 1; n <= Problems.Count; ++n)
                for (const char c : Problems.problem(n).Romaji.view())
                    QVERIFY2(known.contains(c), qPrintable(QString("the course never reaches %1").arg(c)));
        }
        for (const char shifted : std::string_view("!\"#$%&'()=~|`{+*}<>?ABCDEFGHIJKLMNOPQRSTUVWXYZ"))
            QVERIFY2(!broughtBy.contains(shifted) || broughtBy[shifted] >= shiftLesson,
                     qPrintable(QString("%1 before Shift").arg(shifted)));
        QVERIFY(broughtBy['!'] > broughtBy['1']);
        if (hepburn)
            QVERIFY(course.lessons[broughtBy['c']].title.contains("ち"));
        QCOMPARE(broughtBy['['], broughtBy[']']);
        for (const auto& [key, at] : broughtBy)
            if (at == broughtBy['['])
                QVERIFY2(std::string_view("[],.").find(key) != std::string_view::npos, qPrintable(QString(key)));
    }

    // The goals a typical child reaches, stage by stage, in keys a minute
    // at 95 % (lessons numbered from 1); the contracted sounds hold one goal.
    void courseGoalsSuitEachStage_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("least");
        QTest::addColumn<int>("most");
        QTest::addColumn<bool>("level"); // one goal throughout
        QTest::newRow("home row") << 1 << 6 << 15 << 25 << false;
        QTest::newRow("vowels and plain rows") << 7 << 19 << 25 << 45 << false;
        QTest::newRow("voiced, contracted, small tsu, long vowels") << 20 << 29 << 35 << 50 << false;
        QTest::newRow("no rise across the contracted sounds") << 25 << 27 << 35 << 50 << true;
        QTest::newRow("signs and Shift") << 30 << 34 << 30 << 45 << false;
        QTest::newRow("bottom-row letters") << 35 << 38 << 30 << 45 << false;
        QTest::newRow("number row") << 39 << 45 << 25 << 40 << false;
        QTest::newRow("words") << 46 << 46 << 45 << 60 << false;
        QTest::newRow("sentences") << 47 << 50 << 50 << 85 << false;
    }
    void courseGoalsSuitEachStage()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, least);
        QFETCH(int, most);
        QFETCH(bool, level);
        RecordingPlatform platform;
        AppDir = UserDir = SourceDataDir();
        const Course course = LoadCourse();
        QCOMPARE(int(course.lessons.size()), 50);
        for (int n = first; n <= last; ++n) {
            const int goal = course.lessons[std::size_t(n - 1)].goal;
            QVERIFY2(goal >= least && goal <= most, qPrintable(QString("lesson %1: %2").arg(n).arg(goal)));
            if (level)
                QCOMPARE(goal, course.lessons[std::size_t(first - 1)].goal);
        }
    }

    // The sounds a school teaches, each typed where it is taught: in the
    // lessons whose titles match, at least so many items.
    void courseTypesTheSchoolSounds_data()
    {
        QTest::addColumn<QString>("titles"); // a pattern of the lessons' titles
        QTest::addColumn<QStringList>("sounds");
        QTest::addColumn<bool>("each");      // every one is typed, not only some
        QTest::addColumn<int>("items");      // that hold any of them
        QTest::newRow("ざ in the ざ row") << "ざ行" << QStringList {"ざ"} << true << 3;
        QTest::newRow("りゃ where the title names it") << "りゃ" << QStringList {"りゃ"} << true << 1;
        QTest::newRow("を in many items") << "." << QStringList {"を"} << true << 20;
        QTest::newRow("ん typed nn") << "." << QStringList {"んあ", "んい", "んう", "んえ", "んお", "んや", "んゆ", "んよ", "んな", "んに", "んの"} << false << 10;
        QTest::newRow("small kana alone in the x lesson") << "ｘ" << QString("ぁ ぃ ぅ ぇ ぉ ゃ ゅ ょ っう").split(' ') << true << 9;
        QTest::newRow("loanword sounds") << "ファ"
                                         << QString("ふぁ ふぃ ふぇ ふぉ てぃ でぃ でゅ うぃ うぇ うぉ ちぇ しぇ じぇ ヴ").split(' ') << true << 14;
        QTest::newRow("the rarer contracted sounds") << "ゃ|っ"
                                                     << QString("みゅ みょ ひゅ にょ びゅ ぴゃ ぴゅ").split(' ') << true << 7;
    }
    void courseTypesTheSchoolSounds()
    {
        QFETCH(QString, titles);
        QFETCH(QStringList, sounds);
        QFETCH(bool, each);
        QFETCH(int, items);
        RecordingPlatform platform;
        AppDir = UserDir = SourceDataDir();
        const QRegularExpression pattern(titles);
        QStringList readings;
        for (const Lesson& lesson : LoadCourse().lessons) {
            if (!pattern.match(lesson.title).hasMatch())
                continue;
            static ProblemSet list;
            list.Count = 0;
            QCOMPARE(LoadWordList(CourseFilePath(lesson.file), list), FileStatus::Ok);
            for (std::uint16_t n = 1; n <= list.Count; ++n)
                readings << Show(list.problem(n).Reading);
        }
        for (const QString& sound : sounds)
            QVERIFY2(!each || Types(readings.join('\n'), sound), qPrintable(sound + " is never typed"));
        const auto holding = std::count_if(readings.begin(), readings.end(), [&](const QString& r) {
            return std::any_of(sounds.begin(), sounds.end(), [&](const QString& sound) { return Types(r, sound); });
        });
        QVERIFY2(holding >= items, qPrintable(QString::number(holding)));
    }

private:
    static QString Outcome(const Conversion& c) { return c.ok() ? Show(c.Romaji) : QString("fail"); }

    // What is wrong with an item, or nothing; `seen` holds the sentences
    // of its list before it.
    static QString ItemFault(const Problem& p, const QSet<QString>& seen)
    {
        const QString name = Show(p.Sentence);
        if (p.Sentence.empty() || p.Meaning.empty())
            return "empty sentence or meaning: " + name + Show(p.Reading);
        if (seen.contains(name))
            return "twice: " + name;
        if (!SmallTsuBeforeKana(Show(p.Reading)))
            return "small tsu before no kana: " + name;
        if (p.Romaji.size() > RomajiWidth)
            return "romaji too long: " + name;
        if (p.Sentence.size() > SentenceWidth)
            return "sentence too wide: " + name;
        for (const QString& line : QString(Show(p.Meaning)).split("\\r"))
            if (Sj(line.toUtf8().constData()).size() > MeaningLineWidth)
                return "meaning too wide: " + line;
        for (const char c : p.Romaji.view())
            if (c < ' ' || c >= 0x7f)
                return "a key that is no key: " + name;
        return {};
    }
};

QTEST_APPLESS_MAIN(TestData)
#include "test_data.moc"
