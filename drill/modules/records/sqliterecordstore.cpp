// The records in SQLite through Qt SQL. Built into the records module only,
// which the drill loads when records are on.
#include "records/recordstore.h"
#include "recordschema.h"

#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// SQLite's primary result codes that say the file is no database of ours.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;

int PrimaryCode(const QSqlError& error)
{
    return error.nativeErrorCode().toInt() & 0xFF;
}

bool IsBrokenFile(const QSqlError& error)
{
    const int code = PrimaryCode(error);
    return code == SqliteCorrupt || code == SqliteNotADatabase;
}

// A plain SQL error while a new file's tables are made: the file holds
// tables that are not ours.
constexpr int SqliteError = 1;

QString Text(const std::string& s) { return QString::fromStdString(s); }
std::string Std(const QVariant& v) { return v.toString().toStdString(); }
// SQL's NULL for an empty text: a level's drill has no lesson.
QVariant TextOrNull(const std::string& s) { return s.empty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(Text(s)); }

// The files SQLite keeps beside a database while it writes: a hot journal
// belongs to its database and must go where the database goes.
constexpr const char* CompanionSuffixes[] = {"-journal", "-wal", "-shm"};

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
        switch (connect()) {
        case Connected::Ready:
            return Opening::Ready;
        case Connected::Unavailable:
            return Opening::Unavailable;
        case Connected::Broken:
            break;
        }
        return startAnew() ? Opening::StartedAnew : Opening::Unavailable;
    }

    std::string setAside() const override { return setAside_; }
    std::string lastError() const override { return lastError_; }

    bool record(const DrillRecord& drill) override
    {
        if (insert(drill))
            return true;
        // A file found broken only now is set aside, and the drill goes
        // into the new one: it is the drill the learner just finished.
        if (!broken_ || !startAnew())
            return false;
        return insert(drill);
    }

    std::optional<DrillSummary> latest(int level, int mode, const std::string& lesson) override
    {
        // IS, not =: a level's drills have no lesson.
        const std::vector<DrillSummary> last =
            summaries(QStringLiteral("WHERE level = ? AND mode = ? AND lesson IS ? ORDER BY finished_at DESC, id DESC "
                                     "LIMIT 1"),
                      {level, mode, TextOrNull(lesson)});
        return last.empty() ? std::nullopt : std::optional(last.front());
    }

    std::vector<DrillSummary> drills(int level, int mode) override
    {
        return level == 0
            ? summaries(QStringLiteral("ORDER BY finished_at, id"), {})
            : summaries(QStringLiteral("WHERE level = ? AND mode = ? ORDER BY finished_at, id"), {level, mode});
    }

    std::vector<DrillSummary> lessonDrills() override
    {
        return summaries(QStringLiteral("WHERE lesson IS NOT NULL ORDER BY finished_at, id"), {});
    }

    std::vector<UnitDrillRow> unitsSince(const std::string& utc) override
    {
        QSqlQuery q = run(QStringLiteral(
                              "SELECT d.id, k.key, 0, k.hits, k.misses, d.finished_at FROM drills d "
                              "JOIN drill_keys k ON k.drill_id = d.id WHERE d.finished_at >= ? "
                              "UNION ALL SELECT d.id, k.kana, 1, k.hits, k.misses, d.finished_at FROM drills d "
                              "JOIN drill_kana k ON k.drill_id = d.id WHERE d.finished_at >= ? "
                              "ORDER BY 6 DESC, 1 DESC"),
                          {Text(utc), Text(utc)});
        std::vector<UnitDrillRow> all;
        while (q.next())
            all.push_back({q.value(0).toLongLong(), Std(q.value(1)), q.value(2).toInt() != 0, q.value(3).toUInt(),
                           q.value(4).toUInt()});
        return all;
    }

    std::vector<UnitCount> keysSince(const std::string& utc) override
    {
        return totalsSince(QStringLiteral("drill_keys"), QStringLiteral("key"), utc);
    }

    std::vector<UnitCount> kanaSince(const std::string& utc) override
    {
        return totalsSince(QStringLiteral("drill_kana"), QStringLiteral("kana"), utc);
    }

    std::vector<DayTotal> daysSince(const std::string& utc) override
    {
        QSqlQuery q = run(QStringLiteral("SELECT date(finished_at, 'localtime') AS day, SUM(elapsed_ms), SUM(hits) "
                                         "FROM drills WHERE finished_at >= ? GROUP BY day ORDER BY day"),
                          {Text(utc)});
        std::vector<DayTotal> all;
        while (q.next())
            all.push_back({Std(q.value(0)), q.value(1).toULongLong(), q.value(2).toULongLong()});
        return all;
    }

    std::vector<std::string> practiceDays() override
    {
        QSqlQuery q = run(QStringLiteral("SELECT DISTINCT date(finished_at, 'localtime') AS day FROM drills "
                                         "ORDER BY day DESC"),
                          {});
        std::vector<std::string> all;
        while (q.next())
            all.push_back(Std(q.value(0)));
        return all;
    }

private:
    enum class Connected { Ready, Broken, Unavailable };

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
        lastError_ = error.text().toStdString();
        broken_ = broken_ || IsBrokenFile(error);
        return false;
    }

    // Opens the file and brings its schema up to date; a file that is no
    // database, or one of a later version, is Broken.
    Connected connect()
    {
        close();
        broken_ = false;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(Text(path_));
        if (!db.open()) {
            lastError_ = db.lastError().text().toStdString();
            if (lastError_.empty())
                lastError_ = "cannot open " + path_;
            return Connected::Unavailable;
        }
        QSqlQuery q(db);
        // Every commit reaches the disk before the drill is shown recorded.
        for (const char* pragma : {"PRAGMA foreign_keys = ON", "PRAGMA synchronous = FULL"})
            q.exec(QString::fromLatin1(pragma));
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
            fail(q.lastError());
            return broken_ ? Connected::Broken : Connected::Unavailable;
        }
        const int version = q.value(0).toInt();
        q.finish();
        if (version > RecordsSchemaVersion) {
            lastError_ = "schema version " + std::to_string(version);
            broken_ = true;
            return Connected::Broken;
        }
        // Reading the schema touches the first page, where a damaged file
        // most often shows it.
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next()) {
            fail(q.lastError());
            return broken_ ? Connected::Broken : Connected::Unavailable;
        }
        q.finish();
        if (!upgrade(db, version))
            return broken_ ? Connected::Broken : Connected::Unavailable;
        return Connected::Ready;
    }

    bool upgrade(QSqlDatabase& db, int version)
    {
        if (version == RecordsSchemaVersion)
            return true;
        if (!db.transaction())
            return fail(db.lastError());
        QSqlQuery q(db);
        for (const SchemaStep& step : RecordsSchemaSteps) {
            if (step.toVersion <= version)
                continue;
            for (const char* statement : step.statements)
                if (statement && !q.exec(QString::fromUtf8(statement))) {
                    fail(q.lastError());
                    broken_ = broken_ || PrimaryCode(q.lastError()) == SqliteError;
                    db.rollback();
                    return false;
                }
        }
        if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(RecordsSchemaVersion)) || !db.commit()) {
            fail(q.lastError().isValid() ? q.lastError() : db.lastError());
            db.rollback();
            return false;
        }
        return true;
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

    bool insert(const DrillRecord& record)
    {
        QSqlDatabase db = database();
        if (!db.isOpen())
            return false;
        if (!db.transaction())
            return fail(db.lastError());
        QSqlQuery q(db);
        const DrillSummary& d = record.drill;
        q.prepare(QStringLiteral("INSERT INTO drills (finished_at, level, mode, hits, misses, elapsed_ms, score, lesson) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant& v : {QVariant(Text(d.finishedAt)), QVariant(d.level), QVariant(d.mode),
                                  QVariant(d.hits), QVariant(d.misses), QVariant(d.elapsedMs), QVariant(d.score),
                                  TextOrNull(d.lesson)})
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
        if (ok && db.commit())
            return true;
        fail(q.lastError().isValid() ? q.lastError() : db.lastError());
        db.rollback();
        return false;
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
        return all;
    }

    QSqlQuery run(const QString& sql, const QVariantList& values)
    {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            fail(q.lastError());
        return q;
    }

    // The drills that the rest of a query (`where`, its order) chooses.
    std::vector<DrillSummary> summaries(const QString& where, const QVariantList& values)
    {
        QSqlQuery q = run(QStringLiteral("SELECT finished_at, level, mode, hits, misses, elapsed_ms, score, lesson "
                                         "FROM drills ")
                              + where,
                          values);
        std::vector<DrillSummary> all;
        while (q.next())
            all.push_back({Std(q.value(0)), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toUInt(),
                           q.value(4).toUInt(), q.value(5).toUInt(), q.value(6).toInt(), Std(q.value(7))});
        return all;
    }

    const QString connection_;
    std::string path_;
    std::string setAside_;
    std::string lastError_;
    bool broken_ = false;
};

} // namespace

extern "C" Q_DECL_EXPORT RecordStore* CreateRecordStore()
{
    return new SqliteRecordStore;
}
