#include "drillkind.h"
#include "heldrecords.h"
#include "recordingplatform.h"
#include "records/drilltally.h"
#include "records/recordkeeper.h"
#include "records/recordstats.h"
#include "records/recordstore.h"
#include "records/waitingdrills.h"
#include "records/week.h"
#include "recordschema.h"
#include "testsupport.h"
#include "textfile.h"

#include <QFile>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
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

// Statements on the file from outside the store, as a teacher's sqlite3.
bool Execute(const std::string& path, const QStringList& statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outside"));
        db.setDatabaseName(QString::fromStdString(path));
        ok = db.open();
        QSqlQuery q(db);
        for (const QString& sql : statements)
            if (ok && !q.exec(sql)) {
                qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
                ok = false;
            }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("outside"));
    return ok;
}

// A hot journal that says the file had no pages, as another user could
// put beside the learner's records: SQLite, trusting it, would roll the
// records back to nothing.
std::string EmptyingJournal()
{
    const unsigned char header[] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7, // the journal's mark
                                    0, 0, 0, 0,                                     // no pages in it
                                    0, 0, 0, 0,                                     // its checksum's seed
                                    0, 0, 0, 0,                                     // the file had no pages
                                    0, 0, 2, 0,                                     // 512-byte sectors
                                    0, 0, 16, 0};                                   // 4096-byte pages
    std::string journal(reinterpret_cast<const char*>(header), sizeof header);
    journal.resize(512, '\0');
    return journal;
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
        QCOMPARE(keeper.record(Drill("2026-12-09T08:00:00Z")).kept, RecordKeeper::Kept::Now);
        QVERIFY(keeper.store());
        QCOMPARE(platform.errors.size(), std::size_t(1));
        const std::string aside = keeper.store()->setAside();
        QCOMPARE(ReadFileBytes(aside).bytes, before);
        QVERIFY(platform.errors[0].text.find(aside) != std::string::npos);
        QVERIFY(platform.errors[0].text.find(path) != std::string::npos);
        QCOMPARE(keeper.store()->drills(0, 0).size(), std::size_t(1));
    }

    // Files as a teacher's tools leave them: restored from a dump, given
    // objects of their own, or holding drills dated by a wrong clock. Each
    // is adopted with every row, nothing that someone added runs in the
    // program's path, and the drill before is the one kept before.
    void foundFilesAreAdoptedAsTheyAre_data()
    {
        QTest::addColumn<int>("steps");       // the schema steps the file has
        QTest::addColumn<QStringList>("sql"); // run on it next
        QTest::addColumn<QString>("check");   // a query after a drill was recorded
        QTest::addColumn<QString>("value");   // its answer
        const QString drill = "INSERT INTO drills (finished_at, level, mode, hits, misses, elapsed_ms, score) "
                              "VALUES ('%1', 1, 1, 300, 0, 60000, 300)";
        QTest::newRow("a backup restored by sqlite3: user_version 0")
            << RecordsSchemaVersion << QStringList {drill.arg("2026-12-01T00:00:00Z")}
            << "SELECT count(*) FROM drills" << "2";
        QTest::newRow("a restored backup of the first version")
            << 1 << QStringList {drill.arg("2026-12-01T00:00:00Z")} << "SELECT count(*) FROM drills" << "2";
        QTest::newRow("user_version says less than the columns")
            << RecordsSchemaVersion << QStringList {drill.arg("2026-12-01T00:00:00Z"), "PRAGMA user_version = 1"}
            << "PRAGMA user_version" << QString::number(RecordsSchemaVersion);
        QTest::newRow("a teacher's column and table stay")
            << RecordsSchemaVersion
            << QStringList {"ALTER TABLE drills ADD COLUMN note TEXT", "CREATE TABLE notes (x)",
                            "PRAGMA user_version = " + QString::number(RecordsSchemaVersion)}
            << "SELECT count(*) FROM notes" << "0";
        // Counting to a billion in SQL takes minutes.
        const QString slow = "INSERT INTO log SELECT count(*) FROM (WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL "
                             "SELECT n + 1 FROM c LIMIT 1000000000) SELECT n FROM c)";
        QTest::newRow("a slow trigger after each drill")
            << RecordsSchemaVersion
            << QStringList {"CREATE TABLE log (n)", "CREATE TRIGGER slow AFTER INSERT ON drills BEGIN " + slow + "; END",
                            "PRAGMA user_version = " + QString::number(RecordsSchemaVersion)}
            << "SELECT count(*) FROM log" << "0";
        QTest::newRow("a trigger that would undo each drill")
            << RecordsSchemaVersion
            << QStringList {"CREATE TRIGGER undo AFTER INSERT ON drill_keys BEGIN DELETE FROM drills; END",
                            "PRAGMA user_version = " + QString::number(RecordsSchemaVersion)}
            << "SELECT count(*) FROM drill_keys" << "2";
        QTest::newRow("a drill dated 2031 by a wrong clock")
            << RecordsSchemaVersion
            << QStringList {drill.arg("2031-01-01T00:00:00Z"), "PRAGMA user_version = " + QString::number(RecordsSchemaVersion)}
            << "SELECT count(*) FROM drills" << "2";
    }
    void foundFilesAreAdoptedAsTheyAre()
    {
        QFETCH(int, steps);
        QFETCH(QStringList, sql);
        QFETCH(QString, check);
        QFETCH(QString, value);
        QStringList all; // user_version stays 0, as a dump restored leaves it
        for (const SchemaStep& step : RecordsSchemaSteps)
            for (const char* statement : step.statements)
                if (statement && step.toVersion <= steps)
                    all << QString::fromUtf8(statement);
        QVERIFY(Execute(path, all + sql));
        const QString before = Query(path, "SELECT count(*) FROM drills").toString();
        auto store = Store();
        QCOMPARE(store->open(path), RecordStore::Opening::Ready);
        QCOMPARE(store->setAside(), std::string());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(store->record(Drill("2026-12-09T08:00:00Z", 1, 1, 100, 5)));
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        // Kept last, so it is the drill before the next one, whatever the
        // dates say.
        QCOMPARE(store->latest(1, 1, "")->finishedAt, std::string("2026-12-09T08:00:00Z"));
        const std::vector<UnitDrillRow> units = store->unitsSince("2026-01-01");
        QVERIFY(!units.empty());
        QCOMPARE(units.front().drill, Query(path, "SELECT max(id) FROM drills").toLongLong());
        QCOMPARE(Query(path, check).toString(), value);
        QCOMPARE(Query(path, "SELECT count(*) FROM drills").toInt(), before.toInt() + 1);
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
        QCOMPARE(keeper.record(Drill("2026-12-09T08:00:00Z")).kept, RecordKeeper::Kept::Not);
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

    // A file of an older version, as an older kidrill made it, is brought
    // up to date in place with every row; a lesson's drill keeps the goal
    // it was played against and the stars it earned, older rows have none.
    void olderFilesAreBroughtUpToDate_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("the first version")
            << 1 << QStringList {"INSERT INTO drills VALUES (1, '2026-12-01T00:00:00Z', 2, 3, 50, 5, 60000, 25)"};
        QTest::newRow("the second: a lesson's drill without stars")
            << 2
            << QStringList {"INSERT INTO drills VALUES (1, '2026-12-01T00:00:00Z', 2, 3, 50, 5, 60000, 25, NULL)",
                            "INSERT INTO drills VALUES (2, '2026-12-02T00:00:00Z', 0, 4, 90, 1, 60000, 65, 'a.txt')"};
        QTest::newRow("the third: no learner's name")
            << 3
            << QStringList {"INSERT INTO drills VALUES (1, '2026-12-01T00:00:00Z', 2, 3, 50, 5, 60000, 25, NULL, NULL, NULL)",
                            "INSERT INTO drills VALUES (2, '2026-12-02T00:00:00Z', 0, 4, 90, 1, 60000, 65, 'a.txt', NULL, NULL)"};
    }
    void olderFilesAreBroughtUpToDate()
    {
        QFETCH(int, version);
        QFETCH(QStringList, rows);
        QStringList sql;
        for (const SchemaStep& step : RecordsSchemaSteps)
            for (const char* statement : step.statements)
                if (statement && step.toVersion <= version)
                    sql << QString::fromUtf8(statement);
        QVERIFY(Execute(path, sql + rows
                                  + QStringList {"INSERT INTO drill_kana VALUES (1, 'っ', 5, 5)",
                                                 QString("PRAGMA user_version = %1").arg(version)}));
        auto store = Store();
        QCOMPARE(store->open(path), RecordStore::Opening::Ready);
        QCOMPARE(Query(path, "PRAGMA user_version").toInt(), RecordsSchemaVersion);
        QCOMPARE(store->latest(2, 3, "")->score, 25);
        QCOMPARE(store->kanaSince("2026-01-01").at(0).misses, 5u);
        QCOMPARE(store->lessonDrills().size(), std::size_t(rows.size() - 1));
        for (const DrillSummary& old : store->lessonDrills())
            QVERIFY(old.goal == 0 && !old.stars);
        DrillRecord lesson = Drill("2026-12-09T08:00:00Z", 0, 4);
        lesson.drill.lesson = "a.txt";
        lesson.drill.goal = 60;
        lesson.drill.stars = 3;
        QVERIFY(store->record(lesson));
        const DrillSummary kept = store->lessonDrills().back();
        QCOMPARE(kept.goal, 60);
        QCOMPARE(kept.stars, std::optional(3));
        // Whose they are, once a name is given, kept and replaced.
        QCOMPARE(store->learnerName(), std::string());
        QVERIFY(store->setLearnerName("はなこ") && store->setLearnerName("はな"));
        QCOMPARE(store->learnerName(), std::string("はな"));
    }

    // Another program holds the file, as a teacher's sqlite3 in a
    // transaction does. No step freezes the screen, every drill waits in
    // the file beside the records and lands in its order once the hold is
    // gone (while the program runs, or at its next start), the records are
    // never turned off, and the learner is told once.
    void aHoldCostsNoDrill_data()
    {
        QTest::addColumn<QString>("begin");    // the other program's transaction
        QTest::addColumn<bool>("openFirst");   // the records opened before the hold
        QTest::addColumn<bool>("restart");     // the program ends before the hold does
        QTest::addColumn<int>("waitedBefore"); // drills an earlier run left waiting
        QTest::addColumn<QString>("kept");     // of the two drills under the hold
        QTest::newRow("an exclusive transaction, let go while the program runs")
            << "BEGIN EXCLUSIVE" << true << false << 0 << "later later";
        QTest::newRow("held before the records were first opened")
            << "BEGIN EXCLUSIVE" << false << false << 0 << "later later";
        QTest::newRow("a reader's transaction: the drills wait, reading goes on")
            << "BEGIN; SELECT count(*) FROM drills" << true << false << 0 << "later later";
        QTest::newRow("held until the program ended: written at the next start")
            << "BEGIN EXCLUSIVE" << true << true << 0 << "later later";
        QTest::newRow("a hundred drills waited already: no more are kept")
            << "BEGIN EXCLUSIVE" << false << false << int(WaitingCapacity) << "not not";
    }
    void aHoldCostsNoDrill()
    {
        QFETCH(QString, begin);
        QFETCH(bool, openFirst);
        QFETCH(bool, restart);
        QFETCH(int, waitedBefore);
        QFETCH(QString, kept);
        {
            auto store = Store();
            QCOMPARE(store->open(path), RecordStore::Opening::Ready);
            QVERIFY(store->record(Drill("2026-12-09T08:00:00Z", 1, 1, 100)));
        }
        std::vector<DrillRecord> waited;
        for (int i = 0; i < waitedBefore; ++i)
            waited.push_back(Drill(RecordTime(QDateTime(QDate(2026, 12, 9), QTime(8, 1)).addSecs(i * 10)), 2, 1, 50));
        if (waitedBefore > 0)
            dir->write(WaitingFileName, FormatWaitingDrills(waited));
        RecordingPlatform platform;
        AppDir = AppDataDir();
        UserDir = dir->path();
        auto keeper = std::make_unique<RecordKeeper>();
        if (openFirst)
            QVERIFY(keeper->store());
        auto hold = std::make_unique<HeldRecords>(path, begin.split("; "));
        QVERIFY(hold->held());
        const bool readsHeld = begin.contains("EXCLUSIVE");

        QElapsedTimer clock;
        clock.start();
        const RecordKeeper::Recorded first = keeper->record(Drill("2026-12-09T09:00:00Z", 1, 1, 101));
        const RecordKeeper::Recorded second = keeper->record(Drill("2026-12-09T09:10:00Z", 1, 1, 102));
        // A few tens of milliseconds, sanitizers and all, never seconds.
        QVERIFY2(clock.elapsed() < 400, qPrintable(QString::number(clock.elapsed())));
        const auto name = [](RecordKeeper::Kept k) {
            return k == RecordKeeper::Kept::Now ? "now" : k == RecordKeeper::Kept::Later ? "later" : "not";
        };
        QCOMPARE(QString("%1 %2").arg(name(first.kept), name(second.kept)), kept);
        // The drill before: the one kept, whether read or still waiting.
        QCOMPARE(first.previousKnown, !readsHeld);
        if (!readsHeld)
            QCOMPARE(first.previous->hits, 100u);
        if (kept.startsWith("later"))
            QCOMPARE(second.previous->hits, 101u);
        QCOMPARE(platform.errors.size(), std::size_t(1));
        QVERIFY(platform.errors[0].text.find("ほかの プログラム") != std::string::npos);
        const auto waiting = ParseWaitingDrills(dir->read(WaitingFileName));
        QVERIFY(waiting);
        QCOMPARE(waiting->size(), std::size_t(waitedBefore + (kept.startsWith("later") ? 2 : 0)));

        // Reading answers at once, and says why it has nothing.
        clock.restart();
        RecordStore* store = keeper->store();
        const std::size_t read = store ? store->drills(1, 1).size() : 0;
        const std::size_t lessons = store ? store->lessonDrills().size() : 0;
        QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(read, std::size_t(readsHeld ? 0 : 1));
        QCOMPARE(lessons, std::size_t(0));
        QCOMPARE(keeper->readNote().empty(), !readsHeld);

        if (restart) {
            keeper.reset();
            hold.reset();
            keeper = std::make_unique<RecordKeeper>();
            keeper->resumeWaiting();
        } else {
            hold.reset();
        }
        const int all = 1 + waitedBefore + (kept.startsWith("later") ? 2 : 0);
        QTRY_COMPARE_WITH_TIMEOUT(Query(path, "SELECT count(*) FROM drills").toInt(), all, 8000);
        QTRY_VERIFY(!FileExists(dir->file(WaitingFileName)));
        // In the order played: by id, the kept order.
        QCOMPARE(Query(path, "SELECT group_concat(hits, ' ') FROM (SELECT hits FROM drills ORDER BY id)").toString(),
                 QString("100") + QString(" 50").repeated(waitedBefore) + (kept.startsWith("later") ? " 101 102" : ""));
        // The records stayed on, and reading them is no news any more.
        QVERIFY(keeper->store() && !keeper->store()->drills(0, 0).empty());
        QCOMPARE(keeper->readNote(), std::string());
        QCOMPARE(keeper->record(Drill("2026-12-09T09:20:00Z", 1, 1, 103)).kept, RecordKeeper::Kept::Now);
        QCOMPARE(platform.errors.size(), std::size_t(1));
    }

    // The file of waiting drills is the program's own: what it writes it
    // reads back whole, and what it did not write is none of it.
    void waitingDrillsReadBackWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("drills"); // -1: not a waiting file
        const QByteArray drill = R"({"finished_at": "2026-12-09T08:00:00Z", "level": 0, "mode": 4, "hits": 100,
            "misses": 2, "elapsed_ms": 30000, "score": 0, "lesson": "a.txt", "goal": 60, "stars": STARS,
            "keys": [["a", 50, 1], [",", 50, 1]], "kana": [["か", 10, 0]]})";
        const auto file = [&](const QByteArray& stars, const QByteArray& mark = "1") {
            return R"({"kidrill waiting drills": )" + mark + R"(, "drills": [)" + QByteArray(drill).replace("STARS", stars) + "]}";
        };
        QTest::newRow("a lesson's drill") << file("3") << 1;
        QTest::newRow("no stars") << file("null") << 1;
        QTest::newRow("four stars") << file("4") << -1;
        QTest::newRow("stars of a fraction") << file("1.5") << -1;
        QTest::newRow("a later format") << file("3", "2") << -1;
        QTest::newRow("cut short") << file("3").chopped(3) << -1;
        QTest::newRow("no drills") << QByteArray(R"({"kidrill waiting drills": 1, "drills": []})") << 0;
        QTest::newRow("a bad time") << file("3").replace("08:00:00Z", "8 o'clock") << -1;
        QTest::newRow("a negative count") << file("3").replace("[\"a\", 50, 1]", "[\"a\", -50, 1]") << -1;
        QTest::newRow("a level past the last") << file("3").replace("\"level\": 0", "\"level\": 4") << -1;
        QTest::newRow("not JSON") << QByteArray("drills: 1") << -1;
    }
    void waitingDrillsReadBackWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, drills);
        const auto read = ParseWaitingDrills(bytes.toStdString());
        QCOMPARE(read ? int(read->size()) : -1, drills);
        if (!read)
            return;
        // What is read is written back the same.
        const std::string again = FormatWaitingDrills(*read);
        const auto reread = ParseWaitingDrills(again);
        QVERIFY(reread);
        QCOMPARE(FormatWaitingDrills(*reread), again);
        if (drills == 1) {
            const DrillRecord& d = read->front();
            QCOMPARE(d.drill.lesson, std::string("a.txt"));
            QCOMPARE(d.keys.at(1).name, std::string(","));
            QCOMPARE(d.kana.at(0).name, std::string("か"));
        }
    }

    void aBadWaitingFileIsSetAsideAndToldOnce()
    {
        dir->write(WaitingFileName, "{\"kidrill waiting drills\": 1, \"drills\": [{}]}");
        RecordingPlatform platform;
        AppDir = AppDataDir();
        UserDir = dir->path();
        RecordKeeper keeper;
        QCOMPARE(keeper.record(Drill("2026-12-09T08:00:00Z")).kept, RecordKeeper::Kept::Now);
        QCOMPARE(platform.errors.size(), std::size_t(1));
        const QStringList aside = QDir(QString::fromStdString(dir->path())).entryList({"*.waiting.broken-*"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(dir->read(aside[0].toStdString()), std::string("{\"kidrill waiting drills\": 1, \"drills\": [{}]}"));
    }

    // A shared copy in a directory that every user may write (1777): what
    // another user puts there (a hot journal, a link named records.sqlite,
    // a records file of their own) never makes the program truncate, roll
    // back, create tables in or write any file of the learner's. The
    // learner's records live in the learner's own data directory; those
    // found in the shared one are moved there whole.
    void plantedFilesAreNeverTheLearners_data()
    {
        QTest::addColumn<QString>("layout");   // '|' between: "app 1777", "planted journal", ...
        QTest::addColumn<QString>("records");  // where the learner's drills are: own, beside, none
        QTest::addColumn<int>("drills");       // how many
        QTest::addColumn<QString>("told");     // a part of what the learner is told; empty for nothing
        QTest::newRow("another user's hot journal beside the learner's records")
            << "app 1777|mine|planted journal" << "own" << 4 << "うつしました";
        QTest::newRow("another user's journal where the records would be")
            << "app 1777|planted journal" << "own" << 1 << "";
        QTest::newRow("another user's link named records.sqlite")
            << "app 1777|planted link" << "own" << 1 << "";
        QTest::newRow("another user's records file that the learner may write")
            << "app 1777|planted file" << "own" << 1 << "";
        QTest::newRow("the learner's own directory: beside the settings")
            << "app 0755|mine" << "beside" << 4 << "";
        QTest::newRow("the learner's own link into a shared directory")
            << "app 0755|link to shared" << "none" << 3 << "きろくに つかいません";
    }
    void plantedFilesAreNeverTheLearners()
    {
        QFETCH(QString, layout);
        QFETCH(QString, records);
        QFETCH(int, drills);
        QFETCH(QString, told);
        if (!RunningAsRoot())
            QSKIP("needs root to lay out another user's files and run as two users");
        ScratchDir scratch;
        const std::string base = scratch.path();
        const std::string app = base + "app/";
        QVERIFY(chown(base.c_str(), UserId(), UserGroup()) == 0);
        const QStringList parts = layout.split('|');
        const bool shared = parts[0] == "app 1777";
        QVERIFY(mkdir(app.c_str(), 0755) == 0);
        QVERIFY(chown(app.c_str(), shared ? 0 : UserId(), shared ? 0 : UserGroup()) == 0);
        QVERIFY(chmod(app.c_str(), shared ? 01777 : 0755) == 0);
        // A database of three drills, owned by `owner`.
        const auto database = [](const std::string& file, uid_t owner, mode_t mode) {
            auto store = Store();
            store->open(file);
            for (int i = 0; i < 3; ++i)
                store->record(Drill("2026-12-0" + std::to_string(i + 1) + "T08:00:00Z"));
            store.reset();
            return chown(file.c_str(), owner, owner) == 0 && chmod(file.c_str(), mode) == 0;
        };
        // A file of the learner's elsewhere, which a link might lead to.
        const std::string diary = base + "home/diary.sqlite";
        QVERIFY(mkdir((base + "home").c_str(), 0700) == 0 && chown((base + "home").c_str(), UserId(), UserGroup()) == 0);
        QVERIFY(database(diary, UserId(), 0600));
        const std::string file = app + RecordsFileName;
        std::string planted = file;
        if (parts.contains("mine"))
            QVERIFY(database(file, UserId(), 0644));
        if (parts.contains("planted journal")) {
            planted = file + "-journal";
            scratch.write("app/records.sqlite-journal", EmptyingJournal());
            QVERIFY(chown(planted.c_str(), Other, Other) == 0);
        } else if (parts.contains("planted link")) {
            QVERIFY(symlink(diary.c_str(), file.c_str()) == 0 && lchown(file.c_str(), Other, Other) == 0);
        } else if (parts.contains("planted file")) {
            QVERIFY(database(file, Other, 0666));
        } else if (parts.contains("link to shared")) {
            planted = base + "shared/" + RecordsFileName;
            QVERIFY(mkdir((base + "shared").c_str(), 01777) == 0 && chmod((base + "shared").c_str(), 01777) == 0);
            QVERIFY(database(planted, UserId(), 0644));
            QVERIFY(symlink(planted.c_str(), file.c_str()) == 0 && lchown(file.c_str(), UserId(), UserGroup()) == 0);
        }
        const std::string plantedBefore = ReadFileBytes(planted).bytes;
        const std::string mineBefore = parts.contains("mine") ? ReadFileBytes(file).bytes : std::string();
        const std::string diaryBefore = ReadFileBytes(diary).bytes;

        const int status = AsUser([&] {
            setenv("XDG_DATA_HOME", (base + "xdg").c_str(), 1);
            umask(022);
            RecordingPlatform platform;
            AppDir = AppDataDir();
            UserDir = app;
            RecordKeeper keeper;
            const RecordKeeper::Kept kept = keeper.record(Drill("2026-12-09T09:00:00Z", 1, 1, 104)).kept;
            keeper.close();
            std::string text;
            for (const auto& error : platform.errors)
                text += error.text + "\n";
            scratch.write("told.txt", text);
            return kept == RecordKeeper::Kept::Now ? 0 : 1;
        });
        QCOMPARE(status, records == "none" ? 1 : 0);
        const std::string kept = records == "own" ? base + "xdg/kidrill/" + RecordsFileName
            : records == "beside"                  ? file
                                                   : planted;
        QCOMPARE(Query(kept, "SELECT count(*) FROM drills").toInt(), drills);
        // Nothing of another user's, nor any other file of the learner's,
        // was touched.
        if (planted != file || !parts.contains("mine"))
            QCOMPARE(ReadFileBytes(planted).bytes, plantedBefore);
        QCOMPARE(ReadFileBytes(diary).bytes, diaryBefore);
        if (parts.contains("planted link"))
            QCOMPARE(QFileInfo(QString::fromStdString(file)).symLinkTarget(), QString::fromStdString(diary));
        // The learner's records that lay in the shared directory: moved
        // whole, the shared copy kept under another name.
        if (shared && parts.contains("mine")) {
            const QStringList aside = QDir(QString::fromStdString(app)).entryList({"records.sqlite.moved-*"});
            QCOMPARE(aside, QStringList {QString("records.sqlite.moved-") + QDate::currentDate().toString(Qt::ISODate)});
            QCOMPARE(ReadFileBytes(app + aside[0].toStdString()).bytes, mineBefore);
        }
        const std::string text = scratch.read("told.txt");
        QVERIFY2(told.isEmpty() ? text.empty() : text.find(told.toStdString()) != std::string::npos, text.c_str());
    }

    // A parent's week: from Monday, in local time, across a week's end and
    // a year's; lessons passed and stars gained against their best before.
    void weekAtAGlance_data()
    {
        QTest::addColumn<QDate>("today");
        // Drills "yyyy-MM-dd lesson stars minutes hits misses", kept in order.
        QTest::addColumn<QStringList>("drills");
        QTest::addColumn<QString>("figures"); // days minutes keys passed stars kpm accuracy
        const QStringList drills {"2026-12-20 - 0 2 100 10", "2026-12-21 a.txt 1 1 45 5", "2026-12-23 a.txt 3 2 90 1",
                                  "2026-12-23 b.txt 0 1 20 20", "2026-12-27 - 0 5 300 0", "2026-12-28 b.txt 2 3 120 4",
                                  "2027-01-03 - 0 1 60 0"};
        QTest::newRow("a week's Wednesday") << QDate(2026, 12, 23) << drills << "3 9 455 1 3 50.6 94.6";
        QTest::newRow("its Sunday: the same week") << QDate(2026, 12, 27) << drills << "3 9 455 1 3 50.6 94.6";
        QTest::newRow("the next Monday: a new week") << QDate(2026, 12, 28) << drills << "2 4 180 1 2 45 97.8";
        QTest::newRow("across the year: Monday 28 December to Sunday 3 January")
            << QDate(2027, 1, 1) << drills << "2 4 180 1 2 45 97.8";
        QTest::newRow("a week without practice") << QDate(2027, 1, 10) << drills << "0 0 0 0 0 - -";
    }
    void weekAtAGlance()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, drills);
        QFETCH(QString, figures);
        std::vector<DrillSummary> kept;
        for (const QString& line : drills) {
            const QStringList f = line.split(' ');
            DrillSummary d;
            d.finishedAt = RecordTime(QDateTime(QDate::fromString(f[0], Qt::ISODate), QTime(12, 0)));
            d.lesson = f[1] == "-" ? std::string() : f[1].toStdString();
            if (!d.lesson.empty())
                d.stars = f[2].toInt();
            d.elapsedMs = f[3].toUInt() * 60000;
            d.hits = f[4].toUInt();
            d.misses = f[5].toUInt();
            kept.push_back(d);
        }
        const WeekFigures week = FiguresOfWeek(kept, WeekStart(today));
        const auto shown = [](std::optional<double> v) { return v ? QString::number(*v, 'g', 3) : QString("-"); };
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7")
                     .arg(week.days).arg(week.ms / 60000).arg(week.keys).arg(week.lessonsPassed).arg(week.starsGained)
                     .arg(shown(week.keysPerMinute), shown(week.accuracy)),
                 figures);
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

    // Levels, modes and lessons by number and in words; a lesson's file
    // and title in columns of their own.
    void csvOpensInAJapaneseSpreadsheet()
    {
        DrillSummary lesson {"2026-12-09T09:00:00Z", 0, LessonMode, 120, 2, 90000, 0, "lesson05.txt"};
        lesson.goal = 40;
        lesson.stars = 2;
        const QByteArray csv = RecordsCsv({{"2026-12-09T08:00:00Z", 2, 4, 100, 3, 61500, 87, {}}, lesson},
                                          {{"lesson05.txt", "ｇと,ｈ"}});
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4); // header, two drills, the last line end
        QCOMPARE(lines[0], QString("日時,レベル,レベルの名前,モード,モードの名前,レッスン,レッスンの名前,正解数,ミス,"
                                   "時間(秒),得点,打鍵/分,正確さ(%),目標(打鍵/分),星"));
        const auto local = [](int hour) {
            return QDateTime(QDate(2026, 12, 9), QTime(hour, 0), Qt::UTC).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
        };
        QCOMPARE(lines[1], local(8) + ",2,横一列＋文字打ち,4,100文字タイムトライアル,,,100,3,61.500,87,97.6,97.1,,");
        QCOMPARE(lines[2], local(9) + ",0,コース,6,レッスン,lesson05.txt,\"ｇと,ｈ\",120,2,90.000,0,80.0,98.4,40,2");
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
