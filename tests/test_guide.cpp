#include "fingerguide.h"
#include "keyboardlayout.h"
#include "platform.h"
#include "recordingplatform.h"
#include "romajitable.h"
#include "testsupport.h"
#include "textfile.h"

#include <QTest>

namespace {

// Lit fingers as a word per finger, left little to right little.
QString LitFingers(const FingerGuide& g)
{
    static const char* names[] = {"LKo", "LKu", "LNa", "LHi", "Oya", "RHi", "RNa", "RKu", "RKo"};
    QStringList lit;
    for (std::size_t f = 0; f < FingerCount; ++f)
        if (g.lit[f])
            lit << names[f];
    return lit.join(' ');
}

constexpr std::array<Colour, FingerCount> DistinctColours {10, 11, 12, 13, 14, 15, 16, 17, 18};

std::array<std::uint8_t, 256> LoadShippedFingerTable()
{
    RecordingPlatform platform;
    AppDir = AppDataDir();
    if (LoadFingerTable() != FingerTableLoad::Ok)
        qFatal("the build made no code.dat");
    return FingerTable;
}

} // namespace

class TestGuide : public QObject {
    Q_OBJECT

private slots:
    void guideLightsMaskBits_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("lit");
        QTest::addColumn<uint>("keyColour");

        QTest::newRow("one finger") << int('f') << 0x08 << "LHi" << 13u;
        QTest::newRow("left little and right index: last lit wins") << int('x') << 0x11 << "LKo RHi" << 10u;
        QTest::newRow("right little alone") << int('p') << 0x80 << "RKo" << 18u;
        QTest::newRow("all eight") << int('q') << 0xFF << "LKo LKu LNa LHi RHi RNa RKu RKo" << 10u;
        QTest::newRow("space: thumbs whatever its mask") << int(' ') << 0xFF << "Oya" << 14u;
        QTest::newRow("mask 0 keeps the colour") << int('#') << 0x00 << "" << 99u;
        QTest::newRow("high byte") << 0xE0 << 0x20 << "RNa" << 16u;
    }
    void guideLightsMaskBits()
    {
        QFETCH(int, ch);
        QFETCH(int, mask);
        QFETCH(QString, lit);
        QFETCH(uint, keyColour);
        std::array<std::uint8_t, 256> table {};
        table[static_cast<unsigned char>(ch)] = static_cast<std::uint8_t>(mask);
        const FingerGuide g = GuideFor(static_cast<char>(ch), table, DistinctColours, 99);
        QCOMPARE(LitFingers(g), lit);
        QCOMPARE(g.keyColour, Colour(keyColour));
    }

    // A character typed with Shift, on the shipped code.dat, with Shift
    // shown and without: the finger row, the cells lit and their colours.
    void shiftedCharacters_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<bool>("showShift");
        QTest::addColumn<QString>("lit");
        QTest::addColumn<int>("keyCell");   // -1: none
        QTest::addColumn<uint>("keyColour");
        QTest::addColumn<int>("shiftCell"); // -1: none
        QTest::addColumn<uint>("shiftColour");
        // Off: both little fingers, no cell, the key in the left-most lit
        // finger's colour, the Shift finger's for a right-hand key.
        QTest::newRow("off: !") << int('!') << false << "LKo RKo" << -1 << 10u << -1 << 0u;
        QTest::newRow("off: ?") << int('?') << false << "LKo RKo" << -1 << 10u << -1 << 0u;
        QTest::newRow("off: A") << int('A') << false << "LKo RKo" << -1 << 10u << -1 << 0u;
        QTest::newRow("off: J") << int('J') << false << "LKo RHi" << -1 << 10u << -1 << 0u;
        QTest::newRow("off: %") << int('%') << false << "LHi RKo" << -1 << 13u << -1 << 0u;
        QTest::newRow("off: _ lights its key only") << int('_') << false << "LKo RKo" << 48 << 10u << -1 << 0u;
        // On: the key in its finger's colour, the other hand's Shift in
        // that hand's little finger's.
        QTest::newRow("on: ! on 1, right Shift") << int('!') << true << "LKo RKo" << 1 << 10u << 50 << 18u;
        QTest::newRow("on: \" on 2") << int('"') << true << "LKu RKo" << 2 << 11u << 50 << 18u;
        QTest::newRow("on: % on 5") << int('%') << true << "LHi RKo" << 5 << 13u << 50 << 18u;
        QTest::newRow("on: & on 6, left Shift") << int('&') << true << "LKo RHi" << 6 << 15u << 49 << 10u;
        QTest::newRow("on: ( on 8") << int('(') << true << "LKo RNa" << 8 << 16u << 49 << 10u;
        QTest::newRow("on: ) on 9") << int(')') << true << "LKo RKu" << 9 << 17u << 49 << 10u;
        QTest::newRow("on: = on -") << int('=') << true << "LKo RKo" << 37 << 18u << 49 << 10u;
        QTest::newRow("on: ~ on ^") << int('~') << true << "LKo RKo" << 38 << 18u << 49 << 10u;
        QTest::newRow("on: | on the yen key") << int('|') << true << "LKo RKo" << 39 << 18u << 49 << 10u;
        QTest::newRow("on: ` on @") << int('`') << true << "LKo RKo" << 40 << 18u << 49 << 10u;
        QTest::newRow("on: { on [") << int('{') << true << "LKo RKo" << 41 << 18u << 49 << 10u;
        QTest::newRow("on: + on ;") << int('+') << true << "LKo RKo" << 42 << 18u << 49 << 10u;
        QTest::newRow("on: * on :") << int('*') << true << "LKo RKo" << 43 << 18u << 49 << 10u;
        QTest::newRow("on: } on ]") << int('}') << true << "LKo RKo" << 44 << 18u << 49 << 10u;
        QTest::newRow("on: < on ,") << int('<') << true << "LKo RNa" << 45 << 16u << 49 << 10u;
        QTest::newRow("on: > on .") << int('>') << true << "LKo RKu" << 46 << 17u << 49 << 10u;
        QTest::newRow("on: ? on /") << int('?') << true << "LKo RKo" << 47 << 18u << 49 << 10u;
        QTest::newRow("on: _ on the key right of /") << int('_') << true << "LKo RKo" << 48 << 18u << 49 << 10u;
        QTest::newRow("on: A") << int('A') << true << "LKo RKo" << 11 << 10u << 50 << 18u;
        QTest::newRow("on: G") << int('G') << true << "LHi RKo" << 17 << 13u << 50 << 18u;
        QTest::newRow("on: J") << int('J') << true << "LKo RHi" << 20 << 15u << 49 << 10u;
        QTest::newRow("on: P") << int('P') << true << "LKo RKo" << 26 << 18u << 49 << 10u;
        QTest::newRow("on: Z") << int('Z') << true << "LKo RKo" << 36 << 10u << 50 << 18u;
        // Characters without Shift are guided as without the option.
        QTest::newRow("on: a") << int('a') << true << "LKo" << 11 << 10u << -1 << 0u;
        QTest::newRow("on: 1") << int('1') << true << "LKo" << 1 << 10u << -1 << 0u;
        QTest::newRow("on: space") << int(' ') << true << "Oya" << 10 << 14u << -1 << 0u;
        QTest::newRow("on: yen") << int('\\') << true << "RKo" << 39 << 18u << -1 << 0u;
        QTest::newRow("on: control code") << 0x0D << true << "" << -1 << 99u << -1 << 0u;
    }
    void shiftedCharacters()
    {
        static const auto table = LoadShippedFingerTable();
        QFETCH(int, ch);
        QFETCH(bool, showShift);
        QFETCH(QString, lit);
        QFETCH(int, keyCell);
        QFETCH(uint, keyColour);
        QFETCH(int, shiftCell);
        QFETCH(uint, shiftColour);
        const char c = static_cast<char>(ch);
        const FingerGuide g = showShift ? GuideWithShift(c, table, DistinctColours, 99)
                                        : GuideFor(c, table, DistinctColours, 99);
        QCOMPARE(LitFingers(g), lit);
        QCOMPARE(g.keyCell ? int(*g.keyCell) : -1, keyCell);
        QCOMPARE(g.keyColour, Colour(keyColour));
        QCOMPARE(g.shiftCell ? int(*g.shiftCell) : -1, shiftCell);
        if (g.shiftCell)
            QCOMPARE(g.shiftColour, Colour(shiftColour));
        // Off, the key cell is the Part's own.
        if (!showShift)
            QCOMPARE(g.keyCell, KeyIndexFor(c));
    }

    // A hand-made code.dat whose key names no single hand: nothing to take
    // Shift from, so Shift shown changes nothing.
    void shiftWithoutAHandIsTheGuideAsDrawn()
    {
        std::array<std::uint8_t, 256> table {};
        table['A'] = 0x81;
        for (const std::uint8_t keyMask : {std::uint8_t(0x00), std::uint8_t(0x11)}) {
            table['a'] = keyMask;
            const FingerGuide with = GuideWithShift('A', table, DistinctColours, 99);
            const FingerGuide without = GuideFor('A', table, DistinctColours, 99);
            QCOMPARE(LitFingers(with), LitFingers(without));
            QCOMPARE(with.keyColour, without.keyColour);
            QCOMPARE(with.keyCell, without.keyCell);
            QVERIFY(!with.shiftCell);
        }
    }

    void captionReadsOnItsLight_data()
    {
        QTest::addColumn<uint>("light");
        QTest::addColumn<uint>("caption");
        const uint black = Black, white = RGBColour(0xFF, 0xFF, 0xFF);
        QTest::newRow("yellow") << uint(65535) << black;
        QTest::newRow("aqua") << uint(16776960) << black;
        QTest::newRow("lime") << uint(65280) << black;
        QTest::newRow("fuchsia") << uint(16711935) << black;
        QTest::newRow("red") << uint(255) << black;
        QTest::newRow("blue") << uint(RGBColour(0, 0, 0xFF)) << white;
        QTest::newRow("green") << uint(RGBColour(0, 0x80, 0)) << white;
        QTest::newRow("black") << uint(Black) << white;
    }
    void captionReadsOnItsLight()
    {
        QFETCH(uint, light);
        QFETCH(uint, caption);
        QCOMPARE(uint(CaptionColourOn(light)), caption);
    }

    void keyboardCells_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("index"); // -1: no cell
        QTest::newRow("0") << int('0') << 0;
        QTest::newRow("1") << int('1') << 1;
        QTest::newRow("9") << int('9') << 9;
        QTest::newRow("space") << int(' ') << 10;
        QTest::newRow("a") << int('a') << 11;
        QTest::newRow("q") << int('q') << 27;
        QTest::newRow("z") << int('z') << 36;
        QTest::newRow("-") << int('-') << 37;
        QTest::newRow("^") << int('^') << 38;
        QTest::newRow("backslash lights the yen key") << int('\\') << 39;
        QTest::newRow("@") << int('@') << 40;
        QTest::newRow("[") << int('[') << 41;
        QTest::newRow(";") << int(';') << 42;
        QTest::newRow(":") << int(':') << 43;
        QTest::newRow("]") << int(']') << 44;
        QTest::newRow(",") << int(',') << 45;
        QTest::newRow(".") << int('.') << 46;
        QTest::newRow("/") << int('/') << 47;
        QTest::newRow("underscore lights the backslash key") << int('_') << 48;
        for (const char c : std::string_view("AZ!+<?`{~\x7f\x01\r"))
            QTest::newRow(qPrintable(QString("no cell %1").arg(int(c)))) << int(c) << -1;
        QTest::newRow("no cell 0xa0") << 0xA0 << -1;
    }
    void keyboardCells()
    {
        QFETCH(int, ch);
        QFETCH(int, index);
        const auto got = KeyIndexFor(static_cast<char>(ch));
        QCOMPARE(got ? int(*got) : -1, index);
    }

    void fingerTableLoad()
    {
        RecordingPlatform platform;
        ScratchDir dir;
        AppDir = dir.path();
        FingerTable.fill(7);
        QCOMPARE(LoadFingerTable(), FingerTableLoad::CannotOpen);
        dir.write("code.dat", std::string(255, '\x01'));
        QCOMPARE(LoadFingerTable(), FingerTableLoad::TooShort);
        QCOMPARE(FingerTable[0], std::uint8_t(7));
        std::string bytes(300, '\x02');
        bytes[255] = '\x40';
        dir.write("code.dat", bytes);
        QCOMPARE(LoadFingerTable(), FingerTableLoad::Ok);
        QCOMPARE(FingerTable[0], std::uint8_t(2));
        QCOMPARE(FingerTable[255], std::uint8_t(0x40));
    }

    void shippedTableHasEveryRomajiCharacter()
    {
        const auto table = LoadShippedFingerTable();
        ParseRomajiTable(ReadFileBytes(SourceDataDir() + "roma.txt").bytes, RomajiTable, SokuonRomaji);
        for (std::uint16_t n = 1; n <= RomajiTable.Count; ++n) {
            for (const char c : RomajiTable.entry(n).Romaji.view()) {
                if (c != ' ')
                    QVERIFY2(table[static_cast<unsigned char>(c)] != 0, qPrintable(QString("no finger for '%1'").arg(c)));
            }
        }
    }

    void shippedTableFollowsTheJisLayout_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("mask");
        QTest::newRow("a") << int('a') << 0x01;
        QTest::newRow("s") << int('s') << 0x02;
        QTest::newRow("d") << int('d') << 0x04;
        QTest::newRow("f") << int('f') << 0x08;
        QTest::newRow("g") << int('g') << 0x08;
        QTest::newRow("h") << int('h') << 0x10;
        QTest::newRow("j") << int('j') << 0x10;
        QTest::newRow("k") << int('k') << 0x20;
        QTest::newRow("l") << int('l') << 0x40;
        QTest::newRow(";") << int(';') << 0x80;
        QTest::newRow("-") << int('-') << 0x80;
        QTest::newRow("yen key") << int('\\') << 0x80;
        QTest::newRow("A: Shift with the right hand") << int('A') << 0x81;
        QTest::newRow("J: Shift with the left hand") << int('J') << 0x11;
        QTest::newRow("!") << int('!') << 0x81;
        QTest::newRow("?") << int('?') << 0x81;
        QTest::newRow("~") << int('~') << 0x81;
        QTest::newRow("_") << int('_') << 0x81;
        QTest::newRow("control code") << 0x0D << 0x00;
        QTest::newRow("high byte") << 0x82 << 0x00;
    }
    void shippedTableFollowsTheJisLayout()
    {
        static const auto table = LoadShippedFingerTable();
        QFETCH(int, ch);
        QFETCH(int, mask);
        QCOMPARE(int(table[static_cast<unsigned char>(ch)]), mask);
    }
};

QTEST_APPLESS_MAIN(TestGuide)
#include "test_guide.moc"
