#include "clock.h"

#include <QTest>

class TestClock : public QObject {
    Q_OBJECT

private slots:
    void clockText_data()
    {
        QTest::addColumn<uint>("milliseconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0u << "  0.000";
        QTest::newRow("5 ms") << 5u << "  0.005";
        QTest::newRow("1234 ms") << 1234u << "  1.234";
        QTest::newRow("59950 ms") << 59950u << " 59.950";
        QTest::newRow("60 s") << 60000u << " 60.000";
        QTest::newRow("180 s") << 180000u << "180.000";
        QTest::newRow("largest") << 999999u << "999.999";
    }
    void clockText()
    {
        QFETCH(uint, milliseconds);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(ClockText(milliseconds)), text);
    }

    void tick_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("limit");
        QTest::addColumn<uint>("start");
        QTest::addColumn<uint>("now");
        QTest::addColumn<uint>("shown");
        QTest::addColumn<bool>("timeUp");

        QTest::newRow("first tick of a minute") << 1 << 60 << 1000u << 1050u << 59950u << false;
        QTest::newRow("5 ms left") << 1 << 60 << 0u << 59995u << 5u << false;
        QTest::newRow("exactly 0 left goes on") << 1 << 60 << 0u << 60000u << 0u << false;
        QTest::newRow("1 ms past the limit") << 1 << 60 << 0u << 60001u << 0u << true;
        QTest::newRow("three minutes") << 2 << 180 << 0u << 0u << 180000u << false;
        QTest::newRow("five minutes up") << 3 << 300 << 0u << 300001u << 0u << true;
        QTest::newRow("clock wraps in a time trial") << 1 << 60 << 0xFFFFFF00u << 0x00000032u << 59694u << false;
        // A clock read long after the start is far past any limit.
        QTest::newRow("weeks later") << 1 << 60 << 0u << 0x90000000u << 0u << true;
        QTest::newRow("count up") << 4 << 0 << 500u << 1734u << 1234u << false;
        QTest::newRow("count up wraps") << 5 << 0 << 0xFFFFFFFFu << 1234u << 1235u << false;
        QTest::newRow("count up stops at 999.999") << 4 << 0 << 0u << 1500000u << 999999u << false;
    }
    void tick()
    {
        QFETCH(int, mode);
        QFETCH(int, limit);
        QFETCH(uint, start);
        QFETCH(uint, now);
        QFETCH(uint, shown);
        QFETCH(bool, timeUp);
        const ClockReading r = ReadClock(std::uint8_t(mode), limit, start, now);
        QCOMPARE(r.shown, shown);
        QCOMPARE(r.timeUp, timeUp);
    }

    void characterTargets()
    {
        QCOMPARE(CharacterTarget(1), std::uint16_t(0));
        QCOMPARE(CharacterTarget(3), std::uint16_t(0));
        QCOMPARE(CharacterTarget(4), std::uint16_t(100));
        QCOMPARE(CharacterTarget(5), std::uint16_t(200));
    }
};

QTEST_APPLESS_MAIN(TestClock)
#include "test_clock.moc"
