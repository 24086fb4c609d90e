#include "cp932.h"
#include "fixedstring.h"
#include "testsupport.h"
#include "textfile.h"

#include <QTest>

#include <vector>

Q_DECLARE_METATYPE(std::string)

namespace {

QStringList ReadAllLines(std::string_view bytes)
{
    QStringList lines;
    LineReader reader(bytes);
    do
        lines << Show(reader.readLine());
    while (!reader.atEnd());
    return lines;
}

} // namespace

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void cutKeepsWholeCharacters_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<std::string>("kept");

        QTest::newRow("ascii shorter") << std::string("abc") << 6 << std::string("abc");
        QTest::newRow("ascii cut") << std::string("abcdefgh") << 6 << std::string("abcdef");
        QTest::newRow("kana fits") << Sj("かきく") << 6 << Sj("かきく");
        QTest::newRow("kana cut between characters") << Sj("かきくけ") << 6 << Sj("かきく");
        QTest::newRow("lone lead byte dropped") << ("a" + Sj("かきく")) << 6 << ("a" + Sj("かき"));
        // ソ is 83 5C: its trail byte is a backslash, and 表 is 95 5C.
        QTest::newRow("trail byte like ascii") << Sj("ソ表x") << 4 << Sj("ソ表");
        // ー is 81 5B; the 81 of a trail position must not count as a lead.
        QTest::newRow("trail byte in lead range") << Sj("ア") + Sj("ー") + "x" << 5 << Sj("アー") + "x";
        QTest::newRow("half-width katakana is one byte") << std::string("\xb1\xb2\xb3") << 2 << std::string("\xb1\xb2");
        QTest::newRow("width 0") << Sj("か") << 0 << std::string();
        QTest::newRow("uncut text ending in a lead byte stays") << std::string("ab\x82") << 3 << std::string("ab\x82");
    }
    void cutKeepsWholeCharacters()
    {
        QFETCH(std::string, text);
        QFETCH(int, width);
        QFETCH(std::string, kept);
        QCOMPARE(Show(text.substr(0, Cp932CutWidth(text, static_cast<std::size_t>(width)))), Show(kept));
    }

    void codecKeepsAsciiAsItIs()
    {
        std::string ascii;
        for (int b = 0; b < 0x80; ++b)
            ascii += char(b);
        const QString text = DecodeCp932(ascii);
        QCOMPARE(text.size(), 128);
        for (int b = 0; b < 0x80; ++b)
            QCOMPARE(text[b].unicode(), char16_t(b));
        QCOMPARE(EncodeCp932(text), std::optional<std::string>(ascii));
    }

    void codecDecodes_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("kana and ascii") << Sj("かa") + "\x1a" << QString("かa") + QChar(0x1A);
        QTest::newRow("trail byte 5c") << Sj("ソ表") << "ソ表";
        QTest::newRow("wave dash twin") << std::string("\x81\x60") << QString(QChar(0xFF5E));
        QTest::newRow("lone lead byte at the end") << std::string("ab\x82") << QString("ab") + QChar(0xFFFD);
        QTest::newRow("only a lead byte") << std::string("\x82") << QString(QChar(0xFFFD));
        QTest::newRow("byte without a character") << std::string("a\x85\x40" "b") << QString("a") + QChar(0xFFFD) + "b";
        QTest::newRow("half-width katakana") << std::string("\xb1") << QString(QChar(0xFF71));
    }
    void codecDecodes()
    {
        QFETCH(std::string, bytes);
        QFETCH(QString, text);
        QCOMPARE(DecodeCp932(bytes), text);
    }

    void codecEncodes()
    {
        QCOMPARE(EncodeCp932(QString::fromUtf8("〜−—")), std::optional<std::string>(Sj("～－―")));
        QCOMPARE(EncodeCp932(QString::fromUtf8("😀")), std::nullopt);
        QCOMPARE(EncodeCp932(QString::fromUtf8("a\u00e9")), std::nullopt);
    }

    void fixedStringStoresAndAppends()
    {
        FixedString<3> s("kyaa");
        QCOMPARE(s.view(), std::string_view("kya"));
        s.assign("a");
        s.append("bcd");
        QCOMPARE(s.view(), std::string_view("abc"));
        s.append('x');
        QCOMPARE(s.size(), std::size_t(3));
        QCOMPARE(s.at(1), 'a');
        QCOMPARE(s.at(3), 'c');
        QCOMPARE(s.at(0), '\0');
        QCOMPARE(s.at(4), '\0');
        s.clear();
        QVERIFY(s.empty());
    }

    void lineRules_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("empty file") << std::string() << QStringList {""};
        QTest::newRow("crlf") << std::string("a\r\nb\r\n") << QStringList {"a", "b"};
        QTest::newRow("cr alone ends a line") << std::string("a\rb") << QStringList {"a", "b"};
        QTest::newRow("lone lf is a byte") << std::string("a\nb\n") << QStringList {"a\\nb\\n"};
        QTest::newRow("lf before cr stays") << std::string("a\n\r\nb") << QStringList {"a\\n", "b"};
        QTest::newRow("only one lf skipped") << std::string("a\r\n\nb") << QStringList {"a", "\\nb"};
        QTest::newRow("cr cr is an empty line") << std::string("a\r\rb") << QStringList {"a", "", "b"};
        QTest::newRow("no final line end") << std::string("a\r\nb") << QStringList {"a", "b"};
        QTest::newRow("0x1a ends the file") << std::string("a\r\nb\x1a\r\nc") << QStringList {"a", "b"};
        QTest::newRow("0x1a first") << std::string("\x1a" "a\r\n") << QStringList {""};
        QTest::newRow("0x1a after line end") << std::string("a\r\n\x1a" "b") << QStringList {"a"};
        QTest::newRow("trailing empty line") << std::string("a\r\n\r\n") << QStringList {"a", ""};
    }
    void lineRules()
    {
        QFETCH(std::string, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(ReadAllLines(bytes), lines);
    }

    void readingPastTheEndGivesEmptyLines()
    {
        LineReader reader("a");
        QCOMPARE(reader.readLine(), std::string_view("a"));
        QVERIFY(reader.atEnd());
        QCOMPARE(reader.readLine(), std::string_view());
        QCOMPARE(reader.readLine(), std::string_view());
    }

    void readFileReportsWhatHappened()
    {
        ScratchDir dir;
        dir.write("f.txt", std::string("a\0b", 3));
        const FileBytes file = ReadFileBytes(dir.file("f.txt"));
        QCOMPARE(file.status, FileStatus::Ok);
        QCOMPARE(file.bytes, std::string("a\0b", 3));
        QCOMPARE(ReadFileBytes(dir.file("missing.txt")).status, FileStatus::CannotOpen);
        QCOMPARE(ReadFileBytes(dir.path()).status, FileStatus::CannotOpen);
        // A file is read up to its limit, and no further.
        dir.write("big.txt", std::string(MaxFileBytes, 'a'));
        QCOMPARE(ReadFileBytes(dir.file("big.txt")).status, FileStatus::Ok);
        dir.write("big.txt", std::string(MaxFileBytes, 'a') + 'b');
        const FileBytes big = ReadFileBytes(dir.file("big.txt"));
        QCOMPARE(big.status, FileStatus::TooLarge);
        QCOMPARE(big.bytes, std::string(MaxFileBytes, 'a'));
        QCOMPARE(ReadFileBytes(dir.file("big.txt"), 3).bytes, std::string("aaa"));
    }

    void atomicWriteReplacesWholeFile()
    {
        ScratchDir dir;
        dir.write("list.txt", "old contents that are longer");
        QVERIFY(WriteFileAtomically(dir.file("list.txt"), "new"));
        QCOMPARE(dir.read("list.txt"), std::string("new"));
        QVERIFY(WriteFileAtomically(dir.file("list.txt"), ""));
        QVERIFY(FileExists(dir.file("list.txt")));
        QCOMPARE(dir.read("list.txt"), std::string());
        // Nothing is left beside it.
        QCOMPARE(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files), QStringList {"list.txt"});
    }

    void atomicWriteFailureLeavesNothing()
    {
        ScratchDir dir;
        QVERIFY(!WriteFileAtomically(dir.file("no/such/dir/list.txt"), "x"));
        // A directory in the file's place cannot be replaced by a file.
        QVERIFY(QDir(QString::fromStdString(dir.path())).mkdir("taken"));
        QVERIFY(!WriteFileAtomically(dir.file("taken"), "x"));
        QCOMPARE(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files), QStringList {});
    }
};

QTEST_APPLESS_MAIN(TestTextFile)
#include "test_textfile.moc"
