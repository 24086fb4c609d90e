#include "testsupport.h"
#include "wordlist.h"

#include <QTest>

Q_DECLARE_METATYPE(std::string)

namespace {

// An entry written as "sentence|reading|meaning" with control bytes shown,
// so that a table row reads like the file.
QString Describe(const Problem& p)
{
    return Show(p.Sentence) + '|' + Show(p.Reading) + '|' + Show(p.Meaning);
}

QString Describe(const WordEntry& e)
{
    return Show(e.Sentence) + '|' + Show(e.Reading) + '|' + Show(e.Meaning1) + '|' + Show(e.Meaning2);
}

QStringList DrillEntries(std::string_view bytes)
{
    static ProblemSet set; // large: kept off the stack
    set.Count = 0;
    AppendWordList(bytes, set);
    QStringList out;
    for (std::uint16_t n = 1; n <= set.Count; ++n)
        out << Describe(set.problem(n));
    return out;
}

QStringList EditorEntries(std::string_view bytes)
{
    static WordTable table;
    ReadWordEntries(bytes, table);
    QStringList out;
    for (std::uint16_t n = 1; n <= table.EntryCount; ++n)
        out << Describe(table.entry(n));
    return out;
}

std::string Entries(int count)
{
    std::string bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "s" + std::to_string(i) + ",r\r\nm\r\n";
    return bytes;
}

} // namespace

class TestWordList : public QObject {
    Q_OBJECT

private slots:
    void bothReadersSplitLikeTheFile_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<QStringList>("drill");
        QTest::addColumn<QStringList>("editor");

        QTest::newRow("one entry") << Sj("猿,さる\r\n木から落ちる\r\n")
                                   << QStringList {"猿|さる|木から落ちる"} << QStringList {"猿|さる|木から落ちる|"};
        QTest::newRow("plus splits the meaning")
            << Sj("a,b\r\n一行目+二行目\r\n") << QStringList {"a|b|一行目\\r二行目"} << QStringList {"a|b|一行目|二行目"};
        QTest::newRow("A+B+C") << std::string("a,b\r\nA+B+C\r\n") << QStringList {"a|b|A\\rB+C"}
                               << QStringList {"a|b|A|B+C"};
        QTest::newRow("leading plus") << std::string("a,b\r\n+B\r\n") << QStringList {"a|b|\\rB"} << QStringList {"a|b||B"};
        QTest::newRow("no comma: all is reading") << std::string("abc\r\nm\r\n") << QStringList {"|abc|m"}
                                                  << QStringList {"|abc|m|"};
        QTest::newRow("second comma stays in reading")
            << std::string("a,b,c\r\nm\r\n") << QStringList {"a|b,c|m"} << QStringList {"a|b,c|m|"};
        QTest::newRow("odd number of lines") << std::string("a,b\r\nm\r\nc,d\r\n")
                                             << QStringList {"a|b|m", "c|d|"} << QStringList {"a|b|m|", "c|d||"};
        QTest::newRow("no final line end") << std::string("a,b\r\nm") << QStringList {"a|b|m"} << QStringList {"a|b|m|"};
        QTest::newRow("lf only is one line") << std::string("a,b\nm\nc,d\n") << QStringList {"a|b\\nm\\nc,d\\n|"}
                                             << QStringList {"a|b\\nm\\nc,d\\n||"};
        QTest::newRow("0x1a in the middle") << std::string("a,b\r\nm\r\n\x1a" "c,d\r\nn\r\n")
                                            << QStringList {"a|b|m"} << QStringList {"a|b|m|"};
        QTest::newRow("0x1a inside line 2") << std::string("a,b\r\nm\x1a" "zz\r\n") << QStringList {"a|b|m"}
                                            << QStringList {"a|b|m|"};
        // Records of two empty lines are no entries.
        QTest::newRow("empty file") << std::string() << QStringList {} << QStringList {};
        QTest::newRow("0x1a first") << std::string("\x1a" "a,b\r\nm\r\n") << QStringList {} << QStringList {};
        QTest::newRow("one trailing blank line") << std::string("a,b\r\nm\r\n\r\n") << QStringList {"a|b|m"}
                                                 << QStringList {"a|b|m|"};
        QTest::newRow("many trailing blank lines") << std::string("a,b\r\nm\r\n\r\n\r\n\r\n\r\n\r\n")
                                                   << QStringList {"a|b|m"} << QStringList {"a|b|m|"};
        QTest::newRow("blank line shifts the pairs") << std::string("a,b\r\nm\r\n\r\nc,d\r\nn\r\n")
                                                     << QStringList {"a|b|m", "||c,d", "|n|"}
                                                     << QStringList {"a|b|m|", "||c,d|", "|n||"};
        QTest::newRow("empty line 1, full line 2") << std::string("\r\nm\r\n") << QStringList {"||m"}
                                                   << QStringList {"||m|"};
    }
    void bothReadersSplitLikeTheFile()
    {
        QFETCH(std::string, bytes);
        QFETCH(QStringList, drill);
        QFETCH(QStringList, editor);
        QCOMPARE(DrillEntries(bytes), drill);
        QCOMPARE(EditorEntries(bytes), editor);
    }

    void fieldsAreCutToTheirWidths()
    {
        const std::string sentence(120, 's');
        const std::string reading(300, 'r');
        const std::string meaning1(150, 'm');
        const std::string meaning2(300, 'n');
        const std::string bytes = sentence + "," + reading + "\r\n" + meaning1 + "+" + meaning2 + "\r\n";

        static ProblemSet set;
        set.Count = 0;
        AppendWordList(bytes, set);
        QCOMPARE(set.Count, std::uint16_t(1));
        QCOMPARE(set.problem(1).Sentence.view(), std::string_view(sentence).substr(0, 100));
        QCOMPARE(set.problem(1).Reading.view(), std::string_view(reading).substr(0, 200));
        QCOMPARE(set.problem(1).Meaning.str(), meaning1 + "\r" + meaning2.substr(0, 49));

        static WordTable table;
        ReadWordEntries(bytes, table);
        QCOMPARE(table.entry(1).Sentence.view(), std::string_view(sentence).substr(0, 100));
        QCOMPARE(table.entry(1).Reading.view(), std::string_view(reading).substr(0, 200));
        QCOMPARE(table.entry(1).Meaning1.view(), std::string_view(meaning1).substr(0, 100));
        QCOMPARE(table.entry(1).Meaning2.view(), std::string_view(meaning2).substr(0, 99));
    }

    void cutNeverKeepsHalfACharacter()
    {
        // 99 ASCII bytes, then a kana across the 100-byte edge.
        const std::string bytes = std::string(99, 'a') + Sj("か") + ",r\r\nm\r\n";
        static ProblemSet set;
        set.Count = 0;
        AppendWordList(bytes, set);
        QCOMPARE(set.problem(1).Sentence.view(), std::string_view(std::string(99, 'a')));
    }

    void drillAppendsAfterWhatIsThere()
    {
        static ProblemSet set;
        set.Count = 0;
        AppendWordList("a,b\r\nm\r\n", set);
        AppendWordList("c,d\r\nn\r\n", set);
        QCOMPARE(set.Count, std::uint16_t(2));
        QCOMPARE(Describe(set.problem(2)), QString("c|d|n"));
    }

    void drillStopsAtCapacity()
    {
        static ProblemSet set;
        set.Count = 0;
        AppendWordList(Entries(250), set);
        AppendWordList(Entries(100), set);
        QCOMPARE(set.Count, ProblemSet::Capacity);
        QCOMPARE(Show(set.problem(300).Sentence), QString("s50"));
    }

    void editorReportsMoreThanItHolds()
    {
        static WordTable table;
        QVERIFY(ReadWordEntries(Entries(200), table));
        QCOMPARE(table.EntryCount, std::uint16_t(200));
        QVERIFY(!ReadWordEntries(Entries(201), table));
        QCOMPARE(table.EntryCount, std::uint16_t(200));
        QCOMPARE(Show(table.entry(200).Sentence), QString("s200"));
        // Blank lines after the 200th entry are no entries.
        QVERIFY(ReadWordEntries(Entries(200) + "\r\n\r\n", table));
    }

    void writerWritesEveryLineWithCrLf_data()
    {
        QTest::addColumn<QStringList>("entries"); // sentence|reading|meaning1|meaning2
        QTest::addColumn<std::string>("file");

        QTest::newRow("none") << QStringList {} << std::string();
        QTest::newRow("one line meaning") << QStringList {"a|b|m|"} << std::string("a,b\r\nm\r\n");
        QTest::newRow("two line meaning") << QStringList {"a|b|m|n"} << std::string("a,b\r\nm+n\r\n");
        QTest::newRow("empty first meaning line") << QStringList {"a|b||n"} << std::string("a,b\r\n+n\r\n");
        QTest::newRow("all empty") << QStringList {"|||"} << std::string(",\r\n\r\n");
        QTest::newRow("two entries") << QStringList {"a|b|m|", "c|d|e|f"} << std::string("a,b\r\nm\r\nc,d\r\ne+f\r\n");
    }
    void writerWritesEveryLineWithCrLf()
    {
        QFETCH(QStringList, entries);
        QFETCH(std::string, file);
        static WordTable table;
        table.EntryCount = 0;
        for (const QString& e : entries) {
            const QStringList f = e.split('|');
            WordEntry& w = table.entry(++table.EntryCount);
            w.Sentence.assign(f[0].toStdString());
            w.Reading.assign(f[1].toStdString());
            w.Meaning1.assign(f[2].toStdString());
            w.Meaning2.assign(f[3].toStdString());
        }
        QCOMPARE(FormatWordEntries(table), file);
    }

    void writerAndReadersAgree()
    {
        static WordTable written;
        written.EntryCount = 0;
        auto add = [](std::string s, std::string r, std::string m1, std::string m2) {
            WordEntry& e = written.entry(++written.EntryCount);
            e.Sentence.assign(s);
            e.Reading.assign(r);
            e.Meaning1.assign(m1);
            e.Meaning2.assign(m2);
        };
        add(std::string(100, 'S'), std::string(200, 'R'), std::string(100, 'M'), std::string(99, 'N'));
        add(Sj("急がば回れ"), Sj("いそがばまわれ、"), Sj("遠回りでも"), Sj("確実な方法+が早い"));
        add("", "", "", "");
        add("x", "y,z", "", "");

        const std::string file = FormatWordEntries(written);
        QCOMPARE(file.substr(0, file.find("\r\n")).size(), std::size_t(301));

        static WordTable read;
        QVERIFY(ReadWordEntries(file, read));
        QCOMPARE(read.EntryCount, written.EntryCount);
        static ProblemSet set;
        set.Count = 0;
        AppendWordList(file, set);
        QCOMPARE(set.Count, written.EntryCount);
        for (std::uint16_t n = 1; n <= written.EntryCount; ++n) {
            const WordEntry& w = written.entry(n);
            QCOMPARE(Describe(read.entry(n)), Describe(w));
            const std::string meaning = w.Meaning2.empty() ? w.Meaning1.str() : w.Meaning1.str() + "\r" + w.Meaning2.str();
            QCOMPARE(Describe(set.problem(n)), Show(w.Sentence) + '|' + Show(w.Reading) + '|' + Show(meaning));
        }
    }

    void separatorInAFieldMovesOnReading()
    {
        static WordTable table;
        table.EntryCount = 1;
        table.entry(1).Sentence.assign("a,b");
        table.entry(1).Reading.assign("r");
        table.entry(1).Meaning1.assign("m+n");
        table.entry(1).Meaning2.clear();
        QCOMPARE(EditorEntries(FormatWordEntries(table)), QStringList {"a|b,r|m|n"});
    }

    void editorFileLoadAndSave()
    {
        ScratchDir dir;
        static WordTable table;
        table.EntryCount = 7;
        const WordEntriesLoad missing = LoadWordEntries(dir.file("wordu.txt"), table);
        QCOMPARE(missing.status, FileStatus::Ok);
        QCOMPARE(table.EntryCount, std::uint16_t(0));

        dir.write("wordu.txt", "a,b\r\nm+n\r\n");
        QCOMPARE(LoadWordEntries(dir.file("wordu.txt"), table).status, FileStatus::Ok);
        QCOMPARE(table.EntryCount, std::uint16_t(1));
        table.entry(1).Reading.assign("changed");
        QVERIFY(SaveWordEntries(dir.file("wordu.txt"), table));
        QCOMPARE(dir.read("wordu.txt"), std::string("a,changed\r\nm+n\r\n"));

        table.EntryCount = 0;
        QVERIFY(SaveWordEntries(dir.file("wordu.txt"), table));
        QCOMPARE(dir.read("wordu.txt"), std::string());
        QCOMPARE(LoadWordEntries(dir.file("wordu.txt"), table).status, FileStatus::Ok);
        QCOMPARE(table.EntryCount, std::uint16_t(0));
    }

    void drillFileLoad()
    {
        ScratchDir dir;
        static ProblemSet set;
        set.Count = 0;
        QCOMPARE(LoadWordList(dir.file("word1.txt"), set), FileStatus::CannotOpen);
        QCOMPARE(set.Count, std::uint16_t(0));
        dir.write("word1.txt", "a,b\r\nm\r\n");
        QCOMPARE(LoadWordList(dir.file("word1.txt"), set), FileStatus::Ok);
        QCOMPARE(set.Count, std::uint16_t(1));
    }
};

QTEST_APPLESS_MAIN(TestWordList)
#include "test_wordlist.moc"
