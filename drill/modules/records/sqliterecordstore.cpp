// The records in SQLite through Qt SQL. Built into the records module only,
// which the drill loads when records are on. Qt SQL's connection is tuned
// through its SQLite handle: the same system library the QSQLITE plugin
// links.
#include "records/recordsplace.h"
#include "records/recordstore.h"
#include "recordschema.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Every step runs on the drill's own thread, so each is bounded: another
// program's hold on the file is waited out for RecordsLockWaitMs, then the
// step gives up (and a drill waits, see RecordKeeper). After a step gave
// up on a hold, the steps of the next second do not wait at all: a
// window's several reads cost one wait together.
constexpr milliseconds QuietAfterHold {1000};
// No step of ours takes near this on ten years of drills; a file that makes
// one take longer is stopped there, and the step fails.
constexpr milliseconds WorkLimit {1000};
// The reads that a window makes as it opens all come within this; a read
// that failed before is no news to it.
constexpr milliseconds ReadsOfAWindow {1000};
// Virtual machine instructions between two looks at the clock.
constexpr int ProgressPeriod = 1000;

// SQLite's primary result codes.
constexpr int SqliteError = 1;
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteReadOnly = 8;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;

int PrimaryCode(const QSqlError& error)
{
    return error.nativeErrorCode().toInt() & 0xFF;
}

// The file is no database of ours.
bool IsBrokenFile(int code)
{
    return code == SqliteCorrupt || code == SqliteNotADatabase;
}

bool IsHeld(int code)
{
    return code == SqliteBusy || code == SqliteLocked;
}

QString Text(const std::string& s) { return QString::fromStdString(s); }
std::string Std(const QVariant& v) { return v.toString().toStdString(); }
// SQL's NULL for an empty text: a level's drill has no lesson.
QVariant TextOrNull(const std::string& s) { return s.empty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(Text(s)); }

// The columns of every table of a database, as (table, column).
using Columns = std::set<std::pair<std::string, std::string>>;

// Reads them through SQLite itself, for the file and for the schema's own
// account alike: of `tables` only (all when it is empty), `others`
// counting every other object but SQLite's own. Returns SQLite's result
// code.
int ReadColumns(sqlite3* db, Columns& columns, const std::set<std::string>& tables, int& others)
{
    columns.clear();
    others = 0;
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db,
                                  "SELECT m.type, m.name, p.name FROM sqlite_master AS m "
                                  "LEFT JOIN pragma_table_info(m.name) AS p ON m.type = 'table'",
                                  -1, &statement, nullptr);
    while (code == SQLITE_OK || code == SQLITE_ROW) {
        if ((code = sqlite3_step(statement)) != SQLITE_ROW)
            break;
        const auto text = [&](int column) {
            const unsigned char* t = sqlite3_column_text(statement, column);
            return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
        };
        const std::string type = text(0), table = text(1);
        if (type == "table" && (tables.empty() || tables.count(table)))
            columns.emplace(table, text(2));
        else if (!table.starts_with("sqlite_"))
            ++others;
    }
    sqlite3_finalize(statement);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

// The columns of our tables in a file of each version, by version (0 has
// none), as the schema's steps make them in a database in memory.
const std::vector<Columns>& ColumnsOfVersions()
{
    static const std::vector<Columns> all = [] {
        std::vector<Columns> versions(1);
        sqlite3* db = nullptr;
        if (sqlite3_open(":memory:", &db) == SQLITE_OK)
            for (const SchemaStep& step : RecordsSchemaSteps) {
                for (const char* statement : step.statements)
                    if (statement)
                        sqlite3_exec(db, statement, nullptr, nullptr, nullptr);
                int others = 0;
                versions.resize(std::size_t(step.toVersion) + 1);
                ReadColumns(db, versions.back(), {}, others);
            }
        sqlite3_close(db);
        return versions;
    }();
    return all;
}

std::set<std::string> OurTables()
{
    std::set<std::string> tables;
    for (const auto& [table, column] : ColumnsOfVersions().back())
        tables.insert(table);
    return tables;
}

// The version a file's columns say, whatever its user_version says (a
// backup restored by the sqlite3 tool has 0); none when its tables are
// not ours. Columns someone added to our tables change nothing; a file of
// other tables only is someone else's database.
std::optional<int> VersionOfColumns(const Columns& file, int otherObjects)
{
    const std::vector<Columns>& versions = ColumnsOfVersions();
    if (file.empty())
        return otherObjects == 0 ? std::optional(0) : std::nullopt;
    Columns known;
    std::set_intersection(file.begin(), file.end(), versions.back().begin(), versions.back().end(),
                          std::inserter(known, known.end()));
    for (std::size_t version = versions.size() - 1; version > 0; --version)
        if (known == versions[version])
            return int(version);
    return std::nullopt;
}

sqlite3* HandleOf(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

// The first bytes of every SQLite database; bytes 18 and 19 are 2 in a
// database that keeps a write-ahead log.
constexpr char SqliteMagic[] = "SQLite format 3";
constexpr std::size_t SqliteHeaderBytes = 100;
constexpr int WalFormat = 2;

struct FileLook {
    RecordStore::Reading reading = RecordStore::Reading::Ready;
    bool wal = false;
    std::string why;
};

// What a file is before SQLite is let near it: a regular file (a FIFO
// would hold the reader forever) that begins as a database does. Read
// through a descriptor of its own, which takes no lock and changes nothing.
// Closing it drops this process's POSIX locks on the file (the learner's
// own records, when the class is looked at from the drill): none is held
// then, since every step of a store runs to its end on the one thread.
FileLook LookAtFile(const std::string& path)
{
    FileLook look;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        look.reading = RecordStore::Reading::Unreadable;
        look.why = path + ": " + std::strerror(errno);
        return look;
    }
    struct stat info {};
    unsigned char header[SqliteHeaderBytes] {};
    ssize_t got = 0;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        look.reading = RecordStore::Reading::Unreadable;
        look.why = path + ": not a regular file";
    } else {
        while (got < ssize_t(sizeof header)) {
            const ssize_t n = ::read(fd, header + got, sizeof header - std::size_t(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        if (got < ssize_t(sizeof header) || std::memcmp(header, SqliteMagic, sizeof SqliteMagic) != 0) {
            look.reading = RecordStore::Reading::NotRecords;
            look.why = "not a database";
        }
        look.wal = header[18] == WalFormat || header[19] == WalFormat;
    }
    ::close(fd);
    return look;
}

// The file as SQLite's URI names it: every byte but the plain ones
// escaped, so that a '?', '#' or '%' in a folder's name stays part of the
// path, and opened to read only. `immutable` reads it as a file that
// nobody changes: no lock is taken and nothing is made beside it.
QString ReadOnlyUri(const std::string& path, bool immutable)
{
    QByteArray uri = path.starts_with('/') ? "file://" : "file:";
    for (const unsigned char c : path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::strchr("/._-~", c))
            uri += char(c);
        else
            uri += '%' + QByteArray::number(c, 16).rightJustified(2, '0');
    }
    uri += immutable ? "?mode=ro&immutable=1" : "?mode=ro";
    return QString::fromLatin1(uri);
}

class SqliteRecordStore final : public RecordStore {
public:
    // Named by its address: a program and a module may each hold a store.
    SqliteRecordStore() : connection_(QStringLiteral("records-%1").arg(quintptr(this))) {}

    ~SqliteRecordStore() override
    {
        close();
    }

    SqliteRecordStore(const SqliteRecordStore&) = delete;
    SqliteRecordStore& operator=(const SqliteRecordStore&) = delete;

    Opening open(const std::string& path) override
    {
        path_ = path;
        setAside_.clear();
        readOnly_ = false;
        const Step step(*this, false);
        switch (connect()) {
        case Connected::Ready:
            return Opening::Ready;
        case Connected::Busy:
            close();
            return Opening::Busy;
        case Connected::Unavailable:
            return Opening::Unavailable;
        case Connected::Broken:
            break;
        }
        return startAnew() ? Opening::StartedAnew : Opening::Unavailable;
    }

    Reading openToRead(const std::string& path) override
    {
        close();
        path_ = path;
        setAside_.clear();
        readOnly_ = true;
        columns_.clear();
        // Another file's hold is none of this one's.
        quietUntil_ = {};
        const Step step(*this, false);
        const FileLook look = LookAtFile(path);
        if (look.reading != Reading::Ready) {
            lastError_ = look.why;
            return look.reading;
        }
        // SQLite's reader of a WAL database makes its -wal and -shm files
        // and cannot remove them: such a file is read as nobody's while it
        // has none (its log was written back to it when it was closed), and
        // is held while it has them.
        if (look.wal) {
            const QString file = Text(path);
            for (const char* suffix : {"-wal", "-shm"})
                if (QFileInfo::exists(file + QLatin1String(suffix))) {
                    lastError_ = "in use as a WAL database";
                    return Reading::Held;
                }
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(ReadOnlyUri(path, look.wal));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
        if (!db.open()) {
            fail(db.lastError());
            return Reading::Unreadable;
        }
        sqlite3* handle = HandleOf(db);
        if (!handle || !configure(handle) || ColumnsOfVersions().size() != std::size_t(RecordsSchemaVersion) + 1) {
            lastError_ = std::string("SQLite ") + sqlite3_libversion() + " cannot keep out triggers and views";
            return Reading::Unreadable;
        }
        QSqlQuery q(db);
        // A large sort stays in memory, never in a file of its own.
        q.exec(QStringLiteral("PRAGMA temp_store = MEMORY"));
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
            const int code = PrimaryCode(q.lastError());
            fail(q.lastError());
            return ReadingAfter(code);
        }
        const int userVersion = q.value(0).toInt();
        q.finish();
        if (userVersion > RecordsSchemaVersion) {
            lastError_ = "schema version " + std::to_string(userVersion);
            return Reading::Newer;
        }
        Columns columns;
        int others = 0;
        if (const int code = ReadColumns(handle, columns, OurTables(), others); code != SQLITE_OK) {
            fail(code, sqlite3_errmsg(handle));
            return ReadingAfter(code);
        }
        const std::optional<int> version = VersionOfColumns(columns, others);
        if (!version || *version == 0) {
            lastError_ = version ? "no tables" : "tables that kidrill did not make";
            return Reading::NotRecords;
        }
        columns_ = ColumnsOfVersions()[std::size_t(*version)];
        return Reading::Ready;
    }

    std::string setAside() const override { return setAside_; }
    std::string lastError() const override { return lastError_; }
    Trouble trouble() const override { return trouble_; }

    Trouble takeReadTrouble() override
    {
        const Trouble trouble = std::exchange(readTrouble_, Trouble::None);
        return Clock::now() - lastTroubledRead_ <= ReadsOfAWindow ? trouble : Trouble::None;
    }

    void setLockWait(int milliseconds) override { lockWait_ = std::chrono::milliseconds(std::max(milliseconds, 0)); }

    bool record(const DrillRecord& drill) override
    {
        const Step step(*this, false);
        return write(drill, false);
    }

    bool recordOnce(const DrillRecord& drill) override
    {
        const Step step(*this, false);
        return write(drill, true);
    }

    std::optional<DrillSummary> lastDrill() override
    {
        const Step step(*this, true);
        const std::vector<DrillSummary> last = summaries(QStringLiteral("ORDER BY id DESC LIMIT 1"), {});
        return last.empty() ? std::nullopt : std::optional(last.front());
    }

    std::optional<DrillSummary> latest(int level, int mode, const std::string& lesson) override
    {
        const Step step(*this, true);
        // IS, not =: a level's drills have no lesson.
        const std::vector<DrillSummary> last =
            summaries(QStringLiteral("WHERE level = ? AND mode = ? AND %1 IS ? ORDER BY id DESC LIMIT 1")
                          .arg(column("drills", "lesson")),
                      {level, mode, TextOrNull(lesson)});
        return last.empty() ? std::nullopt : std::optional(last.front());
    }

    std::vector<DrillSummary> drills(int level, int mode) override
    {
        const Step step(*this, true);
        return level == 0
            ? summaries(QStringLiteral("ORDER BY finished_at, id"), {})
            : summaries(QStringLiteral("WHERE level = ? AND mode = ? ORDER BY finished_at, id"), {level, mode});
    }

    std::vector<DrillSummary> lessonDrills() override
    {
        const Step step(*this, true);
        return summaries(QStringLiteral("WHERE %1 IS NOT NULL ORDER BY id").arg(column("drills", "lesson")), {});
    }

    std::vector<DrillSummary> drillsSince(const std::string& utc) override
    {
        const Step step(*this, true);
        return summaries(QStringLiteral("WHERE finished_at >= ? ORDER BY id"), {Text(utc)});
    }

    std::vector<UnitDrillRow> unitsSince(const std::string& utc) override
    {
        const Step step(*this, true);
        QSqlQuery q = run(QStringLiteral(
                              "SELECT d.id, k.key, 0, k.hits, k.misses FROM drills d "
                              "JOIN drill_keys k ON k.drill_id = d.id WHERE d.finished_at >= ? "
                              "UNION ALL SELECT d.id, k.kana, 1, k.hits, k.misses FROM drills d "
                              "JOIN drill_kana k ON k.drill_id = d.id WHERE d.finished_at >= ? "
                              "ORDER BY 1 DESC"),
                          {Text(utc), Text(utc)});
        std::vector<UnitDrillRow> all;
        while (q.next())
            all.push_back({q.value(0).toLongLong(), Std(q.value(1)), q.value(2).toInt() != 0, q.value(3).toUInt(),
                           q.value(4).toUInt()});
        return finished(q, std::move(all));
    }

    std::vector<UnitCount> keysSince(const std::string& utc) override
    {
        const Step step(*this, true);
        return totalsSince(QStringLiteral("drill_keys"), QStringLiteral("key"), utc);
    }

    std::vector<UnitCount> kanaSince(const std::string& utc) override
    {
        const Step step(*this, true);
        return totalsSince(QStringLiteral("drill_kana"), QStringLiteral("kana"), utc);
    }

    std::vector<DayTotal> daysSince(const std::string& utc) override
    {
        const Step step(*this, true);
        QSqlQuery q = run(QStringLiteral("SELECT date(finished_at, 'localtime') AS day, SUM(elapsed_ms), SUM(hits) "
                                         "FROM drills WHERE finished_at >= ? GROUP BY day ORDER BY day"),
                          {Text(utc)});
        std::vector<DayTotal> all;
        while (q.next())
            all.push_back({Std(q.value(0)), q.value(1).toULongLong(), q.value(2).toULongLong()});
        return finished(q, std::move(all));
    }

    std::vector<std::string> practiceDays() override
    {
        const Step step(*this, true);
        QSqlQuery q = run(QStringLiteral("SELECT DISTINCT date(finished_at, 'localtime') AS day FROM drills "
                                         "ORDER BY day DESC"),
                          {});
        std::vector<std::string> all;
        while (q.next())
            all.push_back(Std(q.value(0)));
        return finished(q, std::move(all));
    }

    std::string learnerName() override
    {
        const Step step(*this, true);
        // A file older than the learner's name holds none.
        if (!columns_.count({"learner", "name"}))
            return {};
        QSqlQuery q = run(QStringLiteral("SELECT name FROM learner WHERE id = 1"), {});
        std::string name;
        if (q.next())
            name = Std(q.value(0));
        return finished(q, std::move(name));
    }

    bool setLearnerName(const std::string& name) override
    {
        const Step step(*this, false);
        if (readOnly_)
            return refuseWrite();
        QSqlDatabase db = database();
        if (!db.isOpen())
            return false;
        QSqlQuery q(db);
        if (!begin(q))
            return false;
        q.prepare(QStringLiteral("INSERT INTO learner (id, name) VALUES (1, ?) "
                                 "ON CONFLICT (id) DO UPDATE SET name = excluded.name"));
        q.addBindValue(Text(name));
        if (!q.exec()) {
            fail(q.lastError());
            return rollback(q);
        }
        return commit(q);
    }

private:
    enum class Connected { Ready, Broken, Busy, Unavailable };

    // One public step: its bounds start, and a read's trouble is noted for
    // the window that reads.
    class Step {
    public:
        Step(SqliteRecordStore& store, bool read) : store_(store), read_(read)
        {
            const Clock::time_point now = Clock::now();
            store_.trouble_ = Trouble::None;
            store_.lockDeadline_ = now < store_.quietUntil_ ? now : now + store_.lockWait_;
            store_.workDeadline_ = now + WorkLimit;
        }
        ~Step()
        {
            if (read_ && store_.trouble_ != Trouble::None) {
                store_.readTrouble_ = std::max(store_.readTrouble_, store_.trouble_);
                store_.lastTroubledRead_ = Clock::now();
            }
        }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        SqliteRecordStore& store_;
        bool read_;
    };

    // SQLite asks whether to try again for a lock another program holds.
    static int WaitForLock(void* self, int)
    {
        auto& store = *static_cast<SqliteRecordStore*>(self);
        const Clock::time_point now = Clock::now();
        if (now >= store.lockDeadline_) {
            store.quietUntil_ = now + QuietAfterHold;
            return 0;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(milliseconds(2), store.lockDeadline_ - now));
        return 1;
    }

    // SQLite asks now and then whether to stop the statement it runs.
    static int StopWhenOverTime(void* self)
    {
        return Clock::now() > static_cast<SqliteRecordStore*>(self)->workDeadline_ ? 1 : 0;
    }

    // Only what the program's own statements name runs: a trigger or a view
    // that someone added to the file stays in it but never runs here, and
    // functions with side effects in the schema are refused. Every step is
    // bounded in time.
    bool configure(sqlite3* db)
    {
        for (const auto& [option, on] : {std::pair {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
                                         std::pair {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
                                         std::pair {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
                                         std::pair {SQLITE_DBCONFIG_DEFENSIVE, 1}}) {
            int now = -1;
            if (sqlite3_db_config(db, option, on, &now) != SQLITE_OK || now != on)
                return false;
        }
        sqlite3_busy_handler(db, &WaitForLock, this);
        sqlite3_progress_handler(db, ProgressPeriod, &StopWhenOverTime, this);
        return true;
    }

    QSqlDatabase database() const { return QSqlDatabase::database(connection_, false); }

    void close()
    {
        if (!QSqlDatabase::contains(connection_))
            return;
        {
            QSqlDatabase db = database();
            db.close();
        }
        QSqlDatabase::removeDatabase(connection_);
    }

    bool fail(const QSqlError& error)
    {
        return fail(PrimaryCode(error), error.text().toStdString());
    }

    bool fail(int code, const std::string& why)
    {
        lastError_ = why.empty() ? "SQLite error " + std::to_string(code) : why;
        broken_ = broken_ || IsBrokenFile(code);
        if (trouble_ != Trouble::Busy)
            trouble_ = IsHeld(code) ? Trouble::Busy : Trouble::Failed;
        return false;
    }

    bool refuseWrite()
    {
        lastError_ = "opened to read only";
        trouble_ = Trouble::Failed;
        return false;
    }

    // What a read-only look makes of SQLite's answer.
    static Reading ReadingAfter(int extendedCode)
    {
        const int code = extendedCode & 0xFF;
        if (IsHeld(code))
            return Reading::Held;
        // A reader that may not write cannot roll back the journal of a
        // drill cut off while it was written.
        if (code == SqliteReadOnly)
            return Reading::Unfinished;
        if (code == SqliteNotADatabase)
            return Reading::NotRecords;
        return code == SqliteCorrupt ? Reading::Broken : Reading::Unreadable;
    }

    // A column of ours as a query names it: NULL where the file is of a
    // version before it, read as it is.
    QString column(const char* table, const char* name) const
    {
        return columns_.count({table, name}) ? QString::fromLatin1(name) : QStringLiteral("NULL");
    }

    Connected failedConnection()
    {
        return trouble_ == Trouble::Busy ? Connected::Busy : broken_ ? Connected::Broken : Connected::Unavailable;
    }

    // Opens the file and brings its schema up to date; a file that is no
    // database, one of a later version, or one of tables not ours is Broken.
    Connected connect()
    {
        close();
        broken_ = false;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(Text(path_));
        // Waiting is the busy handler's.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        if (!db.open()) {
            fail(db.lastError());
            if (lastError_.empty())
                lastError_ = "cannot open " + path_;
            return Connected::Unavailable;
        }
        sqlite3* handle = HandleOf(db);
        // Without the schema's own account no file could be told ours.
        if (!handle || !configure(handle) || ColumnsOfVersions().size() != std::size_t(RecordsSchemaVersion) + 1) {
            lastError_ = std::string("SQLite ") + sqlite3_libversion() + " cannot keep out triggers and views";
            trouble_ = Trouble::Failed;
            return Connected::Unavailable;
        }
        QSqlQuery q(db);
        // Every commit reaches the disk before the drill is shown recorded.
        for (const char* pragma : {"PRAGMA foreign_keys = ON", "PRAGMA synchronous = FULL"})
            q.exec(QString::fromLatin1(pragma));
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
            fail(q.lastError());
            return failedConnection();
        }
        const int userVersion = q.value(0).toInt();
        q.finish();
        if (userVersion > RecordsSchemaVersion) {
            lastError_ = "schema version " + std::to_string(userVersion);
            broken_ = true;
            return Connected::Broken;
        }
        // Reading the schema touches the first page, where a damaged file
        // most often shows it.
        Columns columns;
        int others = 0;
        if (const int code = ReadColumns(handle, columns, OurTables(), others); code != SQLITE_OK) {
            fail(code, sqlite3_errmsg(handle));
            return failedConnection();
        }
        const std::optional<int> version = VersionOfColumns(columns, others);
        if (!version) {
            lastError_ = "tables that kidrill did not make";
            broken_ = true;
            return Connected::Broken;
        }
        if ((*version != RecordsSchemaVersion || userVersion != RecordsSchemaVersion) && !upgrade(db, *version))
            return failedConnection();
        columns_ = ColumnsOfVersions().back();
        return Connected::Ready;
    }

    bool exec(QSqlQuery& q, const char* sql)
    {
        return q.exec(QString::fromLatin1(sql)) || fail(q.lastError());
    }

    // A write transaction takes its lock at once: a deferred one that
    // reads first could meet another writer and fail without waiting.
    bool begin(QSqlQuery& q) { return exec(q, "BEGIN IMMEDIATE"); }

    bool commit(QSqlQuery& q)
    {
        q.finish();
        if (exec(q, "COMMIT"))
            return true;
        QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
        return false;
    }

    bool rollback(QSqlQuery& q)
    {
        q.finish();
        QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
        return false;
    }

    bool upgrade(QSqlDatabase& db, int version)
    {
        QSqlQuery q(db);
        if (!begin(q))
            return false;
        for (const SchemaStep& step : RecordsSchemaSteps) {
            if (step.toVersion <= version)
                continue;
            for (const char* statement : step.statements)
                if (statement && !q.exec(QString::fromUtf8(statement))) {
                    fail(q.lastError());
                    broken_ = broken_ || PrimaryCode(q.lastError()) == SqliteError;
                    return rollback(q);
                }
        }
        if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(RecordsSchemaVersion))) {
            fail(q.lastError());
            return rollback(q);
        }
        return commit(q);
    }

    // Renames the broken file (and its journal) aside, never deleting
    // anything, and begins a new file in its place.
    bool startAnew()
    {
        close();
        const QString path = Text(path_);
        const QString base = path + QStringLiteral(".broken-") + QDate::currentDate().toString(Qt::ISODate);
        QString aside = base;
        for (int n = 2; QFile::exists(aside) && n < 1000; ++n)
            aside = base + QStringLiteral("-%1").arg(n);
        if (QFile::exists(aside) || !QFile::rename(path, aside)) {
            lastError_ = "cannot rename " + path_;
            return false;
        }
        for (const char* suffix : CompanionSuffixes) {
            const QString companion = path + QLatin1String(suffix);
            if (QFile::exists(companion))
                QFile::rename(companion, aside + QLatin1String(suffix));
        }
        setAside_ = aside.toStdString();
        return connect() == Connected::Ready;
    }

    bool write(const DrillRecord& drill, bool once)
    {
        if (readOnly_)
            return refuseWrite();
        if (insert(drill, once))
            return true;
        // A file found broken only now is set aside, and the drill goes
        // into the new one: it is the drill the learner just finished.
        if (!broken_ || !startAnew())
            return false;
        return insert(drill, once);
    }

    bool insert(const DrillRecord& record, bool once)
    {
        QSqlDatabase db = database();
        if (!db.isOpen()) {
            lastError_ = "not open";
            trouble_ = Trouble::Failed;
            return false;
        }
        QSqlQuery q(db);
        if (!begin(q))
            return false;
        const DrillSummary& d = record.drill;
        const QVariant goal = d.goal > 0 ? QVariant(d.goal) : QVariant(QMetaType(QMetaType::Int));
        const QVariant stars = d.stars ? QVariant(*d.stars) : QVariant(QMetaType(QMetaType::Int));
        if (once) {
            q.prepare(QStringLiteral("SELECT 1 FROM drills WHERE finished_at = ? AND level = ? AND mode = ? "
                                     "AND lesson IS ? AND hits = ? AND misses = ? AND elapsed_ms = ? AND score = ?"));
            for (const QVariant& v : {QVariant(Text(d.finishedAt)), QVariant(d.level), QVariant(d.mode),
                                      TextOrNull(d.lesson), QVariant(d.hits), QVariant(d.misses),
                                      QVariant(d.elapsedMs), QVariant(d.score)})
                q.addBindValue(v);
            if (!q.exec()) {
                fail(q.lastError());
                return rollback(q);
            }
            if (q.next())
                return commit(q);
        }
        q.prepare(QStringLiteral("INSERT INTO drills (finished_at, level, mode, hits, misses, elapsed_ms, score, "
                                 "lesson, goal, stars) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant& v : {QVariant(Text(d.finishedAt)), QVariant(d.level), QVariant(d.mode),
                                  QVariant(d.hits), QVariant(d.misses), QVariant(d.elapsedMs), QVariant(d.score),
                                  TextOrNull(d.lesson), goal, stars})
            q.addBindValue(v);
        bool ok = q.exec();
        const QVariant id = q.lastInsertId();
        const auto insertCounts = [&](const QString& sql, const std::vector<UnitCount>& counts) {
            q.prepare(sql);
            for (const UnitCount& c : counts) {
                if (!ok)
                    return;
                q.addBindValue(id);
                q.addBindValue(Text(c.name));
                q.addBindValue(c.hits);
                q.addBindValue(c.misses);
                ok = q.exec();
            }
        };
        if (ok)
            insertCounts(QStringLiteral("INSERT INTO drill_keys (drill_id, key, hits, misses) VALUES (?, ?, ?, ?)"),
                         record.keys);
        if (ok)
            insertCounts(QStringLiteral("INSERT INTO drill_kana (drill_id, kana, hits, misses) VALUES (?, ?, ?, ?)"),
                         record.kana);
        if (!ok) {
            fail(q.lastError());
            return rollback(q);
        }
        return commit(q);
    }

    // The hits and misses of each key or kana (`column` of `table`) in the
    // drills since a time.
    std::vector<UnitCount> totalsSince(const QString& table, const QString& column, const std::string& utc)
    {
        QSqlQuery q = run(QStringLiteral("SELECT k.%2, SUM(k.hits), SUM(k.misses) FROM drills d "
                                         "JOIN %1 k ON k.drill_id = d.id WHERE d.finished_at >= ? GROUP BY k.%2")
                              .arg(table, column),
                          {Text(utc)});
        std::vector<UnitCount> all;
        while (q.next())
            all.push_back({Std(q.value(0)), q.value(1).toUInt(), q.value(2).toUInt()});
        return finished(q, std::move(all));
    }

    QSqlQuery run(const QString& sql, const QVariantList& values)
    {
        QSqlDatabase db = database();
        QSqlQuery q(db);
        if (!db.isOpen()) {
            fail(0, "not open");
            return q;
        }
        q.setForwardOnly(true);
        if (!q.prepare(sql)) {
            fail(q.lastError());
            return q;
        }
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            fail(q.lastError());
        return q;
    }

    // Rows cut short by a failure (a hold met part way, the time limit)
    // are none: a partial list would read as the learner's whole record.
    template <typename Rows>
    Rows finished(const QSqlQuery& q, Rows rows)
    {
        if (q.lastError().isValid() && trouble_ == Trouble::None)
            fail(q.lastError());
        return trouble_ == Trouble::None ? std::move(rows) : Rows();
    }

    // The drills that the rest of a query (`where`, its order) chooses.
    std::vector<DrillSummary> summaries(const QString& where, const QVariantList& values)
    {
        QSqlQuery q = run(QStringLiteral("SELECT finished_at, level, mode, hits, misses, elapsed_ms, score, %1, %2, %3 "
                                         "FROM drills ")
                                  .arg(column("drills", "lesson"), column("drills", "goal"), column("drills", "stars"))
                              + where,
                          values);
        std::vector<DrillSummary> all;
        while (q.next()) {
            DrillSummary d {Std(q.value(0)), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toUInt(),
                            q.value(4).toUInt(), q.value(5).toUInt(), q.value(6).toInt(), Std(q.value(7))};
            // Values a hand put there count as none.
            if (const int goal = q.value(8).toInt(); goal > 0)
                d.goal = goal;
            if (const int stars = q.value(9).toInt(); !q.value(9).isNull() && stars >= 0 && stars <= MostStars)
                d.stars = stars;
            all.push_back(std::move(d));
        }
        return finished(q, std::move(all));
    }

    const QString connection_;
    std::string path_;
    std::string setAside_;
    std::string lastError_;
    bool broken_ = false;
    bool readOnly_ = false;
    // Our columns that the open file has.
    Columns columns_;
    Trouble trouble_ = Trouble::None;
    Trouble readTrouble_ = Trouble::None;
    Clock::time_point lastTroubledRead_ {};
    milliseconds lockWait_ {RecordsLockWaitMs};
    Clock::time_point lockDeadline_ {};
    Clock::time_point workDeadline_ {};
    Clock::time_point quietUntil_ {};
};

} // namespace

extern "C" Q_DECL_EXPORT RecordStore* CreateRecordStore()
{
    return new SqliteRecordStore;
}
