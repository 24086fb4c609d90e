#include "cp932.h"
#include "problems.h"
#include "recordingplatform.h"
#include "roma.h"
#include "testsupport.h"

#include <QTest>

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

// The shipped table leaves the rest of its 250 lines for other spellings of
// the same kana.
constexpr std::uint16_t ShippedTableLines = 200;

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
        for (const char* name : {"roma.txt", "word1.txt", "word2.txt", "word3.txt"})
            QTest::newRow(name) << name;
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
        QVERIFY(std::count(bytes.begin(), bytes.end(), '\n') <= ShippedTableLines);
        QCOMPARE(Show(SokuonRomaji), QString("xtu"));
        QStringList seen;
        for (std::uint16_t n = 1; n <= RomajiTable.Count; ++n) {
            const RomajiEntry& e = RomajiTable.entry(n);
            const QString kana = Show(e.Kana);
            QVERIFY2(!e.Kana.empty() && !e.Romaji.empty(), qPrintable(QString("line %1").arg(n)));
            QVERIFY2(!seen.contains(kana), qPrintable("duplicate " + kana));
            seen << kana;
            // A contracted sound works only before the line of its first kana.
            for (std::uint16_t m = 1; m < n; ++m) {
                const RomajiEntry& earlier = RomajiTable.entry(m);
                QVERIFY2(!e.Kana.view().starts_with(earlier.Kana.view()),
                         qPrintable(kana + " stands after " + Show(earlier.Kana)));
            }
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

    void levelsHoldRealItems_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("atLeast");
        QTest::addColumn<QString>("keys"); // the keys the romaji may use; empty: any
        QTest::newRow("home position") << 1 << 30 << "asdfghjkl; ";
        QTest::newRow("one row plus letters") << 2 << 40 << "";
        QTest::newRow("sentences") << 3 << 60 << "";
    }
    void levelsHoldRealItems()
    {
        QFETCH(int, level);
        QFETCH(int, atLeast);
        QFETCH(QString, keys);
        RecordingPlatform platform;
        AppDir = SourceDataDir();
        RandomGenerator random;
        QCOMPARE(PrepareProblemSet(std::uint8_t(level), Problems, Counters, random), Preparation::Ready);
        for (const auto& e : platform.errors)
            qWarning() << "does not convert:" << QString::fromStdString(e.text);
        QVERIFY(platform.errors.empty());
        QVERIFY2(Problems.Count >= atLeast, qPrintable(QString::number(Problems.Count)));

        for (std::uint16_t n = 1; n <= Problems.Count; ++n) {
            const Problem& p = Problems.problem(n);
            const QString name = Show(p.Sentence);
            QVERIFY2(!p.Sentence.empty() && !p.Meaning.empty(), qPrintable(name));
            QVERIFY2(p.Romaji.size() <= RomajiWidth, qPrintable(name + ": " + Show(p.Romaji)));
            QVERIFY2(p.Sentence.size() <= SentenceWidth, qPrintable(name));
            for (const auto line : QString(Show(p.Meaning)).split("\\r"))
                QVERIFY2(Sj(line.toUtf8().constData()).size() <= MeaningLineWidth, qPrintable(line));
            for (const char c : p.Romaji.view()) {
                QVERIFY2(c > ' ' - 1 && c < 0x7f, qPrintable(name));
                if (!keys.isEmpty())
                    QVERIFY2(keys.contains(QChar(c)), qPrintable(name + ": " + Show(p.Romaji)));
            }
        }
    }

private:
    static QString Outcome(const Conversion& c) { return c.ok() ? Show(c.Romaji) : QString("fail"); }
};

QTEST_APPLESS_MAIN(TestData)
#include "test_data.moc"
