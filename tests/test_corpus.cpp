#include "cp932.h"
#include "fingerguide.h"
#include "recordingplatform.h"
#include "romajitable.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "testsupport.h"
#include "textfile.h"
#include "wordlist.h"

#include <QTest>

// Every file of the bad-input corpus goes through the code that reads it in
// the programs, from its place in the application directory, and gives the
// answer the file rules specify.

namespace {

std::string Corpus(const QString& name)
{
    const FileBytes file = ReadFileBytes(KIDRILL_CORPUS_DIR + name.toStdString());
    if (file.status != FileStatus::Ok)
        qFatal("no corpus file %s", qPrintable(name));
    return file.bytes;
}

// Text where the bytes are CP932 text, hex where they are not, the length
// where they are long.
QString Field(std::string_view bytes)
{
    if (bytes.size() > 24)
        return QString("<%1>").arg(bytes.size());
    const QString text = DecodeCp932(bytes);
    if (EncodeCp932(text) == std::string(bytes))
        return Show(bytes);
    return "x" + QString::fromLatin1(QByteArray(bytes.data(), qsizetype(bytes.size())).toHex());
}

} // namespace

class TestCorpus : public QObject {
    Q_OBJECT

    RecordingPlatform platform;
    ScratchDir dir;

private slots:
    void initTestCase() { AppDir = UserDir = dir.path(); }

    void romajiTables_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("answer"); // entries, sokuon, conversion

        QTest::newRow("empty") << "roma-empty.txt" << "か" << "1 '' fail at 1";
        QTest::newRow("0x1a first") << "roma-eof-first.txt" << "か" << "1 '' fail at 1";
        QTest::newRow("0x1a in the middle") << "roma-eof-middle.txt" << "かき" << "1 '' fail at 3";
        QTest::newRow("lf only: one line") << "roma-lf-only.txt" << "か" << "1 '' ka\\n";
        QTest::newRow("cr only") << "roma-cr-only.txt" << "かき" << "2 '' kaki";
        QTest::newRow("no commas: empty kana") << "roma-no-commas.txt" << "か" << "2 '' fail at 1";
        QTest::newRow("many commas") << "roma-many-commas.txt" << "か" << "2 '' k,a";
        QTest::newRow("line of 10000 bytes") << "roma-long-line.txt" << "かかか" << "1 '' kkk";
        QTest::newRow("10000 lines: the first 250") << "roma-10000-lines.txt" << "か" << "250 '' fail at 1";
        QTest::newRow("empty kana never matches") << "roma-empty-kana.txt" << "かか" << "4 '' kaka";
        QTest::newRow("small tsu after small tsu") << "roma-tsu-cycle.txt" << "っっっっ" << "1 'xtu' xxtuxxtu";
        QTest::newRow("small tsu written as itself") << "roma-tsu-as-romaji.txt" << "っあ" << "2 'っ' っa";
        // A lone lead byte as kana matches the first byte of か.
        QTest::newRow("invalid cp932") << "roma-invalid-cp932.txt" << "か" << "5 '' d";
        QTest::newRow("lone lead byte at the end") << "roma-lone-lead-end.txt" << "か" << "2 '' ka";
    }
    void romajiTables()
    {
        QFETCH(QString, file);
        QFETCH(QString, reading);
        QFETCH(QString, answer);
        dir.write("roma.txt", Corpus(file));
        QVERIFY(LoadRomajiTable());
        const Conversion c = ConvertReading(Sj(reading.toUtf8().constData()), RomajiTable, SokuonRomaji);
        const QString converted = c.ok() ? Show(c.Romaji) : QString("fail at %1").arg(c.FailedAt);
        QCOMPARE(QString("%1 '%2' %3").arg(RomajiTable.Count).arg(Show(SokuonRomaji), converted), answer);
    }

    void wordLists_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("answer"); // drill count, editor count, complete, first entry

        QTest::newRow("empty") << "words-empty.txt" << "0 0 complete -";
        QTest::newRow("0x1a first") << "words-eof-first.txt" << "0 0 complete -";
        QTest::newRow("0x1a in the middle") << "words-eof-middle.txt" << "1 1 complete 猿|さる|m|m|";
        QTest::newRow("lf only: one line") << "words-lf-only.txt" << "1 1 complete 猿|さる\\nm\\n犬,いぬ\\nn\\n|||";
        QTest::newRow("cr only") << "words-cr-only.txt" << "1 1 complete 猿|さる|m|m|";
        QTest::newRow("no commas") << "words-no-commas.txt" << "1 1 complete |さる|m|m|";
        QTest::newRow("many commas") << "words-many-commas.txt" << "1 1 complete 猿|さ,る,,|m,n|m,n|";
        QTest::newRow("many plus signs") << "words-many-plus.txt" << "2 2 complete 猿|さる|A\\rB+C|A|B+C";
        QTest::newRow("lines of 10000 bytes") << "words-long-lines.txt" << "1 1 complete <100>|<200>|<200>|<100>|<99>";
        QTest::newRow("10000 lines") << "words-10000-lines.txt" << "300 200 incomplete s0|r|m|m|";
        QTest::newRow("201 entries") << "words-201.txt" << "201 200 incomplete s1|r|m|m|";
        QTest::newRow("invalid cp932") << "words-invalid-cp932.txt" << "1 1 complete x80a0fd|xfeff|x8540|x8540|";
        QTest::newRow("lone lead byte at the end") << "words-lone-lead-end.txt" << "1 1 complete 猿|x82b382e982|||";
        QTest::newRow("odd number of lines") << "words-odd-lines.txt" << "2 2 complete 猿|さる|m|m|";
        QTest::newRow("blank lines only") << "words-blank-lines.txt" << "0 0 complete -";
    }
    void wordLists()
    {
        QFETCH(QString, file);
        QFETCH(QString, answer);
        dir.write("wordu.txt", Corpus(file));
        static ProblemSet set;
        set.Count = 0;
        QCOMPARE(LoadWordList(dir.file("wordu.txt"), set), FileStatus::Ok);
        static WordTable table;
        const WordEntriesLoad load = LoadWordEntries(dir.file("wordu.txt"), table);
        QCOMPARE(load.status, FileStatus::Ok);
        QString first = "-";
        if (set.Count > 0) {
            const Problem& p = set.problem(1);
            const WordEntry& e = table.entry(1);
            first = QStringList {Field(p.Sentence), Field(p.Reading), Field(p.Meaning), Field(e.Meaning1), Field(e.Meaning2)}.join('|');
        }
        QCOMPARE(QString("%1 %2 %3 %4").arg(set.Count).arg(table.EntryCount).arg(load.complete ? "complete" : "incomplete", first),
                 answer);
    }

    void garbageStaysInBounds()
    {
        dir.write("roma.txt", Corpus("roma-binary.txt"));
        QVERIFY(LoadRomajiTable());
        QVERIFY(RomajiTable.Count >= 1 && RomajiTable.Count <= RomajiTableData::Capacity);
        dir.write("wordu.txt", Corpus("words-binary.txt"));
        static ProblemSet set;
        set.Count = 0;
        QCOMPARE(LoadWordList(dir.file("wordu.txt"), set), FileStatus::Ok);
        QVERIFY(set.Count >= 1 && set.Count <= ProblemSet::Capacity);
        for (std::uint16_t n = 1; n <= set.Count; ++n) {
            const Conversion c = ConvertReading(set.problem(n).Reading, RomajiTable, SokuonRomaji);
            QVERIFY(c.FailedAt <= set.problem(n).Reading.size() + 1);
        }
    }

    void fingerTables_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("load");
        QTest::newRow("0 bytes") << "code-0.dat" << int(FingerTableLoad::TooShort);
        QTest::newRow("255 bytes") << "code-255.dat" << int(FingerTableLoad::TooShort);
        QTest::newRow("256 bytes") << "code-256.dat" << int(FingerTableLoad::Ok);
        QTest::newRow("300 bytes: the first 256") << "code-300.dat" << int(FingerTableLoad::Ok);
    }
    void fingerTables()
    {
        QFETCH(QString, file);
        QFETCH(int, load);
        FingerTable.fill(0xAA);
        dir.write("code.dat", Corpus(file));
        QCOMPARE(int(LoadFingerTable()), load);
        for (int code = 0; code < 256; ++code)
            QCOMPARE(int(FingerTable[code]), load == int(FingerTableLoad::Ok) ? code : 0xAA);
    }

    void settingsFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("answer"); // MainX MainY KeyboardY L_Ko ShowKeyboard KeySound
        const QString defaults = "180 164 484 255 1 0";
        QTest::newRow("empty") << "ini-empty.ini" << defaults;
        QTest::newRow("duplicate sections: the first") << "ini-duplicate-sections.ini" << "1 164 484 255 1 0";
        QTest::newRow("keys without =") << "ini-keys-without-equals.ini" << defaults;
        QTest::newRow("values out of range") << "ini-out-of-range.ini" << defaults;
        QTest::newRow("values that are no numbers") << "ini-bad-values.ini" << defaults;
        QTest::newRow("lf only, any case") << "ini-lf-only.ini" << "-50 164 484 255 1 1";
        QTest::newRow("value of 10000 digits") << "ini-long-line.ini" << defaults;
        QTest::newRow("0x1a in a value") << "ini-eof-byte.ini" << defaults;
        QTest::newRow("binary") << "ini-binary.ini" << defaults;
    }
    void settingsFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, answer);
        dir.write("kidrill.ini", Corpus(file));
        ReadSettings(IniFile(ReadFileBytes(SettingsPath()).bytes), 1000, 800);
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6").arg(MainX).arg(MainY).arg(KeyboardY).arg(FingerColours[0]).arg(ShowKeyboard).arg(KeySound),
                 answer);
        // Whatever the file held, the save writes places that read back.
        QVERIFY(SaveSettingsFile({1, 2, 3, 4}, HighScores {}));
        ReadSettings(IniFile(dir.read("kidrill.ini")), 1000, 800);
        QCOMPARE(KeyboardY, 4);
    }
};

QTEST_APPLESS_MAIN(TestCorpus)
#include "test_corpus.moc"
