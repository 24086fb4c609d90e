#include "cp932.h"
#include "scores.h"
#include "testsupport.h"

#include <QTest>

class TestScores : public QObject {
    Q_OBJECT

private slots:
    void score_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("hits");
        QTest::addColumn<int>("misses");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("timeText");
        QTest::addColumn<int>("score");

        QTest::newRow("one minute") << 1 << 250 << 10 << 60 << "  0.000" << "60.000" << 200;
        QTest::newRow("never negative") << 1 << 10 << 3 << 60 << "  0.000" << "60.000" << 0;
        QTest::newRow("five minutes") << 3 << 900 << 0 << 300 << "  0.000" << "300.000" << 900;
        QTest::newRow("100 characters") << 4 << 100 << 3 << 180 << " 45.678" << " 45.678" << 757;
        QTest::newRow("200 characters") << 5 << 200 << 0 << 0 << " 45.678" << " 45.678" << 886;
        QTest::newRow("2000 ms per key") << 4 << 100 << 0 << 0 << "200.000" << "200.000" << 0;
        QTest::newRow("slower still") << 4 << 100 << 0 << 0 << "999.999" << "999.999" << 0;
        QTest::newRow("1999 ms per key rounds to 0") << 4 << 100 << 0 << 0 << "199.900" << "199.900" << 0;
        QTest::newRow("fast") << 4 << 100 << 0 << 0 << "  5.000" << "  5.000" << 975;
        // Counters at their widths never overflow the score.
        QTest::newRow("many misses") << 4 << 100 << 65535 << 0 << "  5.000" << "  5.000" << 0;
        QTest::newRow("many hits") << 1 << 65535 << 0 << 60 << "  0.000" << "60.000" << 65535;
    }
    void score()
    {
        QFETCH(int, mode);
        QFETCH(int, hits);
        QFETCH(int, misses);
        QFETCH(int, limit);
        QFETCH(QString, clock);
        QFETCH(QString, timeText);
        QFETCH(int, score);
        DrillCounters c;
        c.Mode = std::uint8_t(mode);
        c.Hits = std::uint16_t(hits);
        c.Misses = std::uint16_t(misses);
        c.TimeLimit = limit;
        const DrillResult r = ScoreDrill(c, clock.toStdString());
        QCOMPARE(QString::fromStdString(r.timeText), timeText);
        QCOMPARE(r.score, score);
    }

    void mostMissed_data()
    {
        QTest::addColumn<QString>("missed"); // one character per miss
        QTest::addColumn<QString>("listed");
        QTest::newRow("no misses") << "" << "特に無し";
        QTest::newRow("threshold 2") << "kkkkkjjjaa" "xy" << "j k ";
        QTest::newRow("four keys, threshold 0") << "dcba" << "a b c d ";
        QTest::newRow("equal to threshold is not listed") << "aaaaabbbbbc" "defghijklm" << "a b ";
        QTest::newRow("one key") << "z" << "z ";
        QTest::newRow("the space is named") << "  k" << "スペース k ";
    }
    void mostMissed()
    {
        QFETCH(QString, missed);
        QFETCH(QString, listed);
        DrillCounters c;
        for (const QChar ch : missed) {
            ++c.Misses;
            ++c.MissByChar[ch.toLatin1()];
        }
        QCOMPARE(DecodeCp932(MostMissedKeys(c)), listed);
    }

    void mostMissedCodesOneTo200Only()
    {
        DrillCounters c;
        c.Misses = 3;
        c.MissByChar[0] = 3;
        c.MissByChar[201] = 3;
        c.MissByChar[255] = 3;
        QCOMPARE(DecodeCp932(MostMissedKeys(c)), QString("特に無し"));
        c.MissByChar[200] = 1;
        c.MissByChar[1] = 1;
        QCOMPARE(MostMissedKeys(c), std::string("\x01 \xc8 "));
    }

    void mostMissedPast255()
    {
        // A key missed 300 times keeps its count.
        DrillCounters c;
        c.Misses = 300;
        c.MissByChar['q'] = 300;
        QCOMPARE(MostMissedKeys(c), std::string("q "));
    }

    void recordIsStrict()
    {
        HighScores t;
        QVERIFY(!RecordScore(t, 1, 1, 0));
        QCOMPARE(t.at(1, 1), 0);
        QVERIFY(RecordScore(t, 2, 4, 757));
        QVERIFY(!RecordScore(t, 2, 4, 757));
        QVERIFY(RecordScore(t, 2, 4, 758));
        QCOMPARE(t.at(2, 4), 758);
        QCOMPARE(t.at(2, 5), 0);
        t.at(3, 5) = -10; // hand-edited
        QVERIFY(RecordScore(t, 3, 5, 0));
    }
};

QTEST_APPLESS_MAIN(TestScores)
#include "test_scores.moc"
