#include "recordingplatform.h"
#include "records/drilltally.h"
#include "records/recordkeeper.h"
#include "records/recordstats.h"
#include "records/recordstore.h"
#include "recordschema.h"
#include "testsupport.h"
#include "textfile.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

DrillRecord Drill(const std::string& at, int level = 1, int mode = 1, std::uint32_t hits = 100,
                  std::uint32_t misses = 5, std::vector<UnitCount> kana = {{"か", 10, 1}})
{
    return {{at, level, mode, hits, misses, 60000, std::int32_t(hits - 5 * misses), {}},
            {{"a", hits - 20, misses}, {"k", 20, 0}},
            std::move(kana)};
}

// A statement on the file, from outside the store, as a teacher's query.
QVariant Query(const std::string& path, const QString& sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outside"));
        db.setDatabaseName(QString::fromStdString(path));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                value = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("outside"));
    return value;
}

std::unique_ptr<RecordStore> Store() { return std::unique_ptr<RecordStore>(CreateRecordStore()); }

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDir> dir;
    std::string path;

private slots:
    void init()
    {
        dir = std::make_unique<ScratchDir>();
        path = dir->file(RecordsFileName);
    }

    void storeKeepsEveryDrillAndSumsThem()
    {
        auto store = Store();
        QCOMPARE(store->open(path), RecordStore::Opening::Ready);
        QVERIFY(store->record(Drill("2026-11-01T10:00:00Z", 1, 1, 50, 10, {{"っ", 4, 2}})));
        QVERIFY(store->record(Drill("2026-12-07T12:00:00Z", 1, 1, 100, 5, {{"か", 10, 1}, {"っ", 6, 0}})));
        QVERIFY(store->record(Drill("2026-12-09T12:00:00Z", 2, 4, 100, 0)));
        QCOMPARE(store->latest(1, 1, "")->finishedAt, std::string("2026-12-07T12:00:00Z"));
        QVERIFY(!store->latest(3, 1, ""));
        QCOMPARE(store->drills(1, 1).size(), std::size_t(2));
        QCOMPARE(store->drills(0, 0).size(), std::size_t(3));
        // Since a time: the drill of November is left out.
        const auto kana = store->kanaSince("2026-12-01T00:00:00Z");
        QCOMPARE(kana.size(), std::size_t(2));
        for (const UnitCount& k : kana)
            QCOMPARE(k.hits, k.name == "か" ? 20u : 6u);
        const auto keys = store->keysSince("2026-12-01T00:00:00Z");
        QCOMPARE(keys.size(), std::size_t(2));
        QCOMPARE(store->daysSince("2026-12-01T00:00:00Z").size(), std::size_t(2));
        QCOMPARE(store->practiceDays().size(), std::size_t(3));
        // A teacher reads the same file.
        QCOMPARE(Query(path, "SELECT sum(misses) FROM drill_kana WHERE kana = 'っ'").toInt(), 2);
        QCOMPARE(Query(path, "PRAGMA user_version").toInt(), RecordsSchemaVersion);
    }

    void brokenFilesAreSetAsideAndToldOnce_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("sql"); // made into a database first, when given
        QTest::newRow("not a database") << QByteArray(5000, 'x') << QString();
        QTest::newRow("empty database of a later version") << QByteArray() << "PRAGMA user_version = 99";
        QTest::newRow("someone else's tables") << QByteArray() << "CREATE TABLE drills (x)";
    }
    void brokenFilesAreSetAsideAndToldOnce()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, sql);
        if (sql.isEmpty())
            dir->write(RecordsFileName, bytes.toStdString());
        else
            Query(path, sql);
        const std::string before = dir->read(RecordsFileName);
        RecordingPlatform platform;
        AppDir = AppDataDir();
        UserDir = dir->path();
        RecordKeeper keeper;
        QVERIFY(keeper.store());
        QVERIFY(keeper.record(Drill("2026-12-09T08:00:00Z")).saved);
        QVERIFY(keeper.store());
        QCOMPARE(platform.errors.size(), std::size_t(1));
        const std::string aside = keeper.store()->setAside();
        QCOMPARE(ReadFileBytes(aside).bytes, before);
        QVERIFY(platform.errors[0].text.find(aside) != std::string::npos);
        QVERIFY(platform.errors[0].text.find(path) != std::string::npos);
        QCOMPARE(keeper.store()->drills(0, 0).size(), std::size_t(1));
    }

    void damageFoundWhileRecordingKeepsTheDrill()
    {
        {
            auto store = Store();
            QCOMPARE(store->open(path), RecordStore::Opening::Ready);
            for (int i = 0; i < 200; ++i)
                QVERIFY(store->record(Drill("2026-12-01T00:00:00Z")));
        }
        // The pages after the first are scribbled over; the header stands.
        std::string bytes = dir->read(RecordsFileName);
        for (std::size_t i = 4096; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        dir->write(RecordsFileName, bytes);
        auto store = Store();
        QVERIFY(store->open(path) != RecordStore::Opening::Unavailable);
        QVERIFY(store->record(Drill("2026-12-09T08:00:00Z")));
        QVERIFY(!store->setAside().empty());
        QCOMPARE(ReadFileBytes(store->setAside()).bytes, bytes);
        QCOMPARE(store->drills(0, 0).size(), std::size_t(1));
    }

    void unwritablePlaceIsToldOnce()
    {
        RecordingPlatform platform;
        AppDir = AppDataDir();
        dir->write("file", "x");
        UserDir = dir->file("file") + "/";
        RecordKeeper keeper;
        QVERIFY(!keeper.store());
        QVERIFY(!keeper.record(Drill("2026-12-09T08:00:00Z")).saved);
        QCOMPARE(platform.errors.size(), std::size_t(1));
        QCOMPARE(platform.errors[0].caption, std::string("きろく"));
    }

    // A full disk, or a program killed while it writes, loses nothing
    // recorded before.
    void failedWritesLoseNothingRecorded_data()
    {
        QTest::addColumn<bool>("kill");
        QTest::newRow("file size limit") << false;
        QTest::newRow("killed while writing") << true;
    }
    void failedWritesLoseNothingRecorded()
    {
        QFETCH(bool, kill);
        {
            auto store = Store();
            QCOMPARE(store->open(path), RecordStore::Opening::Ready);
            QVERIFY(store->record(Drill("2026-12-01T00:00:00Z")));
        }
        std::vector<UnitCount> many;
        for (int i = 0; i < 500; ++i)
            many.push_back({"kana" + std::to_string(i), 1, 0});
        for (int round = 0; round < (kill ? 4 : 1); ++round) {
            const pid_t child = fork();
            if (child == 0) {
                if (!kill) {
                    std::signal(SIGXFSZ, SIG_IGN);
                    const rlimit limit {RLIM_INFINITY, RLIM_INFINITY};
                    rlimit small = limit;
                    small.rlim_cur = small.rlim_max = QFile(QString::fromStdString(path)).size();
                    setrlimit(RLIMIT_FSIZE, &small);
                }
                auto store = Store();
                store->open(path);
                for (;;)
                    if (!store->record(Drill("2026-12-09T08:00:00Z", 1, 1, 100, 5, many)))
                        _exit(kill ? 1 : 0);
            }
            if (kill) {
                QTest::qWait(60 + 40 * round);
                ::kill(child, SIGKILL);
            }
            int status = 0;
            waitpid(child, &status, 0);
            QVERIFY(kill ? WIFSIGNALED(status) : WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        auto store = Store();
        QCOMPARE(store->open(path), RecordStore::Opening::Ready);
        QCOMPARE(Query(path, "PRAGMA integrity_check").toString(), QString("ok"));
        // Every drill there came whole, with all its kana.
        QCOMPARE(Query(path, "SELECT count(*) FROM drills d WHERE (SELECT count(*) FROM drill_kana k "
                             "WHERE k.drill_id = d.id) NOT IN (1, 500)")
                     .toInt(),
                 0);
        QVERIFY(store->drills(0, 0).size() >= 1);
    }

    void olderFilesAreBroughtUpToDate()
    {
        {
            // A file of the first version, as the first kidrill with records made it.
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
            db.setDatabaseName(QString::fromStdString(path));
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const char* statement : RecordsSchemaSteps[0].statements)
                if (statement)
                    QVERIFY(q.exec(QString::fromUtf8(statement)));
            QVERIFY(q.exec("INSERT INTO drills VALUES (1, '2026-12-01T00:00:00Z', 2, 3, 50, 5, 60000, 25)"));
            QVERIFY(q.exec("INSERT INTO drill_kana VALUES (1, 'っ', 5, 5)"));
            QVERIFY(q.exec("PRAGMA user_version = 1"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old"));
        auto store = Store();
        QCOMPARE(store->open(path), RecordStore::Opening::Ready);
        QCOMPARE(Query(path, "PRAGMA user_version").toInt(), RecordsSchemaVersion);
        QCOMPARE(store->latest(2, 3, "")->score, 25);
        QCOMPARE(store->kanaSince("2026-01-01").at(0).misses, 5u);
        QVERIFY(store->lessonDrills().empty());
        QVERIFY(store->record(Drill("2026-12-09T08:00:00Z")));
    }

    void daysInARow_data()
    {
        QTest::addColumn<QStringList>("days"); // newest first
        QTest::addColumn<int>("run");
        QTest::newRow("none") << QStringList() << 0;
        QTest::newRow("today only") << QStringList {"2026-12-09"} << 1;
        QTest::newRow("up to yesterday still stands") << QStringList {"2026-12-08", "2026-12-07"} << 2;
        QTest::newRow("a gap ends it") << QStringList {"2026-12-09", "2026-12-08", "2026-12-06"} << 2;
        QTest::newRow("two days ago is over") << QStringList {"2026-12-07"} << 0;
        QTest::newRow("a day ahead of the clock") << QStringList {"2026-12-10", "2026-12-09"} << 1;
        QTest::newRow("across a month") << QStringList {"2026-12-01", "2026-11-30", "2026-11-29"} << 0;
    }
    void daysInARow()
    {
        QFETCH(QStringList, days);
        QFETCH(int, run);
        std::vector<std::string> list;
        for (const QString& d : days)
            list.push_back(d.toStdString());
        QCOMPARE(DaysInARow(list, QDate(2026, 12, 9)), run);
    }

    void weakestAreByRateAndNeedEnoughKeys()
    {
        const auto weakest = Weakest({{"か", 90, 10}, {"っ", 6, 4}, {"し", 1, 1}, {"ん", 50, 0}, {"きゃ", 15, 5}}, 2, 10);
        QCOMPARE(weakest.size(), std::size_t(2));
        QCOMPARE(weakest[0].name, std::string("っ"));
        QCOMPARE(weakest[1].name, std::string("きゃ"));
    }

    void heatScaleDarkensStepByStep()
    {
        // Lighter is calmer, in colour and in grey alike.
        double before = 2;
        for (double rate = 0; rate <= 0.25; rate += 0.005) {
            const ::Colour c = HeatColour(rate);
            const double grey = (0.2126 * RedOf(c) + 0.7152 * GreenOf(c) + 0.0722 * BlueOf(c)) / 255;
            QVERIFY2(grey <= before, qPrintable(QString::number(rate)));
            before = grey;
        }
        QVERIFY(HeatColour(0.0) != HeatColour(0.2));
        QCOMPARE(KeyCellOf('!'), KeyIndexFor('1'));
        QCOMPARE(KeyCellOf('A'), KeyIndexFor('a'));
        QCOMPARE(KeyCellOf('?'), KeyIndexFor('/'));
    }

    void csvOpensInAJapaneseSpreadsheet()
    {
        const QByteArray csv = RecordsCsv({{"2026-12-09T08:00:00Z", 2, 4, 100, 3, 61500, 87, {}}}, {"一", "二,三"},
                                          {"a", "b", "c", "百字"});
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3); // header, one drill, the last line end
        QVERIFY(lines[0].startsWith(QStringLiteral("日時,")));
        const QString local = QDateTime(QDate(2026, 12, 9), QTime(8, 0), Qt::UTC).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
        QCOMPARE(lines[1], local + QStringLiteral(",\"二,三\",百字,100,3,61.500,87,97.6,97.1"));
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
