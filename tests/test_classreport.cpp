#include "heldrecords.h"
#include "records/classfiles.h"
#include "records/classreport.h"
#include "records/recordstats.h"
#include "records/recordstore.h"
#include "recordschema.h"
#include "testsupport.h"
#include "textfile.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <atomic>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <thread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const Course TestCourse {{{"a.txt", "あ", 20}, {"b.txt", "い", 25}, {"c.txt", "う", 30}}, {}};
const QDate Today(2026, 12, 23); // a Wednesday

std::unique_ptr<RecordStore> Store() { return std::unique_ptr<RecordStore>(CreateRecordStore()); }

// A drill as a line of a table: "yyyy-MM-dd HH:mm lesson stars minutes hits
// misses", local time; lesson "-" for a level's drill, stars "*" for none.
DrillSummary DrillOf(const QString& line)
{
    const QStringList f = line.split(' ');
    DrillSummary d;
    d.finishedAt = RecordTime(QDateTime::fromString(f[0] + ' ' + f[1], QStringLiteral("yyyy-MM-dd HH:mm")));
    d.level = f[2] == "-" ? 1 : 0;
    d.mode = 1;
    d.lesson = f[2] == "-" ? std::string() : f[2].toStdString();
    if (f[3] != "*" && !d.lesson.empty())
        d.stars = f[3].toInt();
    d.elapsedMs = f[4].toUInt() * 60000;
    d.hits = f[5].toUInt();
    d.misses = f[6].toUInt();
    return d;
}

// Makes a records file through the store, as the drill keeps one.
void MakeRecords(const std::string& path, const QStringList& drills, const std::string& name = {},
                 std::uint32_t kanaPerDrill = 1)
{
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    auto store = Store();
    QCOMPARE(store->open(path), RecordStore::Opening::Ready);
    for (const QString& line : drills) {
        DrillRecord record {DrillOf(line), {{"a", 50, 10}}, {}};
        for (std::uint32_t k = 0; k < kanaPerDrill; ++k)
            record.kana.push_back({"か" + std::to_string(k), 20, 1});
        QVERIFY(store->record(record));
    }
    if (!name.empty())
        QVERIFY(store->setLearnerName(name));
}

// Statements on a file through SQLite itself, as another program's.
bool Sql(const std::string& path, const std::string& statements)
{
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK
        && sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// A file of an older version, as an older kidrill made it.
void MakeOlder(const std::string& path, int version, const std::string& rows)
{
    std::string sql;
    for (const SchemaStep& step : RecordsSchemaSteps)
        for (const char* statement : step.statements)
            if (statement && step.toVersion <= version)
                sql += std::string(statement) + ";";
    QVERIFY(Sql(path, sql + rows + "PRAGMA user_version = " + std::to_string(version) + ";"));
}

// A drill cut off while it was written: the program ends in the middle of
// its transaction, and its journal stays beside the file, hot.
void CutOffWhileWriting(const std::string& path)
{
    const pid_t child = fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "PRAGMA cache_size = 1; BEGIN; UPDATE drill_kana SET hits = hits + 1;", nullptr, nullptr,
                     nullptr);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    QVERIFY(QFile::exists(QString::fromStdString(path + "-journal")));
}

// Every name under a folder, hidden ones too, with what it holds: a file's
// bytes, a link's target.
std::map<QString, QByteArray> Contents(const std::string& folder)
{
    std::map<QString, QByteArray> contents;
    const QString root = QString::fromStdString(folder);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        QByteArray& what = contents[QDir(root).relativeFilePath(entry.filePath())];
        if (entry.isSymLink())
            what = "link to " + entry.symLinkTarget().toUtf8();
        else if (entry.isDir())
            what = "folder";
        else if (QFile file(entry.filePath()); file.open(QIODevice::ReadOnly))
            what = file.readAll();
    }
    return contents;
}

// The rows of a CSV of the class, the header first, each a list of fields
// (no field of the tests holds a comma).
QList<QStringList> CsvRows(const QByteArray& csv)
{
    QList<QStringList> rows;
    const QString text = QString::fromUtf8(csv.mid(3));
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        rows << line.split(',');
    return rows;
}

QStringList ColumnOf(const QList<QStringList>& rows, ClassColumn column)
{
    QStringList cells;
    for (const QStringList& row : rows.mid(1))
        cells << row.value(int(column));
    return cells;
}

const QStringList TaroDrills {"2026-12-14 10:00 - * 2 100 0", "2026-12-21 09:00 a.txt 2 2 100 2",
                              "2026-12-23 18:30 - * 3 240 10"};

} // namespace

class TestClassReport : public QObject {
    Q_OBJECT

private slots:
    // The figures of a row, across a week's end and a year's: this week
    // from Monday against the week before, the furthest lesson passed in
    // the course's order, the drill kept last.
    void rowFigures_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("drills"); // as kept
        // LastPractice (as the CSV has it) to AccuracyChange (as the window
        // shows them).
        QTest::addColumn<QString>("cells");
        const QStringList newYear {"2026-12-27 20:00 - * 2 120 0", "2026-12-28 08:00 b.txt 1 1 30 0",
                                   "2027-01-01 07:00 - * 1 50 50"};
        QTest::newRow("nothing kept") << Today << QStringList() << "|0|0||||||";
        QTest::newRow("a Wednesday: this week against the one before")
            << Today << QStringList {"2026-12-14 10:00 - * 2 100 0", "2026-12-20 10:00 - * 1 60 5",
                                     "2026-12-21 09:00 a.txt 2 2 100 2", "2026-12-23 18:30 - * 3 240 10"}
            << "2026-12-23 18:30|2|5|1 あ|★★☆|80|+15|96.0|-0.4";
        QTest::newRow("across the year: from Monday 28 December")
            << QDate(2027, 1, 1) << newYear << "2027-01-01 07:00|2|2|2 い|★☆☆|50|-20|50.0|-38.5";
        QTest::newRow("a week without practice: no change to tell")
            << QDate(2027, 1, 10) << newYear << "2027-01-01 07:00|0|0|2 い|★☆☆|50||50.0|";
        QTest::newRow("stars as earned, older drills by the goal, lessons no longer taught left out")
            << Today
            << QStringList {"2026-11-02 10:00 a.txt 1 1 30 1", "2026-11-03 10:00 c.txt * 1 45 0",
                            "2026-11-04 10:00 x.txt 3 1 90 0"}
            << "2026-11-04 10:00|0|0|3 う|★★★|90||100.0|";
        QTest::newRow("a drill dated ahead by a wrong clock is not this week's")
            << Today << QStringList {"2026-12-22 10:00 - * 1 60 0", "2027-03-01 10:00 - * 1 30 0"}
            << "2027-03-01 10:00|1|1|||30||100.0|";
    }
    void rowFigures()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, drills);
        QFETCH(QString, cells);
        LearnerRecords records;
        for (const QString& line : drills) {
            const DrillSummary drill = DrillOf(line);
            records.last = drill;
            records.recent.push_back(drill);
            if (!drill.lesson.empty())
                records.lessons.push_back(drill);
        }
        const ClassRow row = ClassRowOf({"/f", "f", "", true}, records, TestCourse, today);
        QStringList shown;
        shown << ClassCsvText(row, ClassColumn::LastPractice);
        for (int c = int(ClassColumn::WeekDays); c <= int(ClassColumn::AccuracyChange); ++c)
            shown << ClassCellText(row, ClassColumn(c));
        QCOMPARE(shown.join('|'), cells);
        QCOMPARE(ClassCellText(row, ClassColumn::LastPractice), cells.section('|', 0, 0).left(10));
    }

    // The three weakest of keys and kana together, each met often enough,
    // as the records window orders them.
    void weakestAreKeysAndKanaTogether()
    {
        LearnerRecords records;
        records.keys = {{"a", 90, 10}, {" ", 5, 5}, {"k", 100, 0}};
        records.kana = {{"っ", 6, 4}, {"し", 1, 1}, {"きゃ", 15, 5}, {"か", 80, 20}};
        const ClassRow row = ClassRowOf({"/f", "f", "", true}, records, TestCourse, Today);
        QCOMPARE(ClassCellText(row, ClassColumn::Weakest), QStringLiteral("スペース　っ　きゃ"));
        QCOMPARE(ClassCsvText(row, ClassColumn::Weakest), QStringLiteral("スペース っ きゃ"));
    }

    // A row's name: the one in the file, else the learner's on this
    // computer, else where the file is.
    void rowNames_data()
    {
        QTest::addColumn<QString>("inFile");
        QTest::addColumn<QString>("here");
        QTest::addColumn<QString>("name");
        QTest::newRow("the file's") << "たろう" << "たろちゃん" << "たろう";
        QTest::newRow("this computer's") << "" << "たろちゃん" << "たろちゃん";
        QTest::newRow("where it is") << "" << "" << "5-1/taro/records.sqlite";
    }
    void rowNames()
    {
        QFETCH(QString, inFile);
        QFETCH(QString, here);
        QFETCH(QString, name);
        const ClassFile file {"/x", "5-1/taro/records.sqlite", here, true};
        QCOMPARE(ClassRowOf(file, {inFile.toStdString(), {}, {}, {}, {}, {}}, TestCourse, Today).name, name);
        if (inFile.isEmpty())
            QCOMPARE(UnreadRow(file, RecordStore::Reading::Broken).name, name);
    }

    // Any column sorts, either way; rows with nothing there come last, and
    // rows alike keep their order.
    void sortByAnyColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("names");
        QTest::newRow("name") << int(ClassColumn::Name) << false << "Ken あき たろう はなこ";
        QTest::newRow("name, the other way") << int(ClassColumn::Name) << true << "はなこ たろう あき Ken";
        QTest::newRow("speed: alike keep their order") << int(ClassColumn::Speed) << false << "たろう あき はなこ Ken";
        QTest::newRow("speed, fastest first") << int(ClassColumn::Speed) << true << "はなこ たろう あき Ken";
        QTest::newRow("lesson, then its stars") << int(ClassColumn::Lesson) << true << "はなこ たろう Ken あき";
        QTest::newRow("last practice") << int(ClassColumn::LastPractice) << false << "あき たろう はなこ Ken";
        QTest::newRow("what the file is: the read first") << int(ClassColumn::State) << false
                                                           << "たろう はなこ あき Ken";
        QTest::newRow("the change over the week") << int(ClassColumn::SpeedChange) << true
                                                  << "たろう はなこ Ken あき";
    }
    void sortByAnyColumn()
    {
        QFETCH(int, column);
        QFETCH(bool, descending);
        QFETCH(QString, names);
        std::vector<ClassRow> rows(4);
        rows[0].name = "たろう";
        rows[0].speed = 80;
        rows[0].lesson = 2;
        rows[0].stars = 1;
        rows[0].lastPractice = "2026-12-20T10:00:00Z";
        rows[0].speedThisWeek = 80;
        rows[0].speedWeekBefore = 60;
        rows[1].name = "はなこ";
        rows[1].speed = 120;
        rows[1].lesson = 2;
        rows[1].stars = 3;
        rows[1].lastPractice = "2026-12-21T10:00:00Z";
        rows[1].speedThisWeek = 120;
        rows[1].speedWeekBefore = 119;
        rows[2] = UnreadRow({"/k", "Ken", "", true}, RecordStore::Reading::Broken);
        rows[3].name = "あき";
        rows[3].speed = 80;
        rows[3].lastPractice = "2026-12-01T10:00:00Z";
        SortClass(rows, ClassColumn(column), descending);
        QStringList sorted;
        for (const ClassRow& row : rows)
            sorted << row.name;
        QCOMPARE(sorted.join(' '), names);
    }

    void csvIsTheSpreadsheetsAndTheScripts()
    {
        ClassRow row = UnreadRow({"/x", "a,b.sqlite", "", true}, RecordStore::Reading::Held);
        ClassRow read;
        read.name = "たろう";
        read.file.shown = "t/records.sqlite";
        read.lesson = 2;
        read.lessonTitle = "い";
        read.stars = 2;
        read.speed = 79.96;
        read.speedThisWeek = 60;
        read.speedWeekBefore = 60.04;
        const QByteArray csv = ClassCsv({read, row});
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(csv.mid(3)).split("\r\n"),
                 QStringList({"名前,さいごの れんしゅう,今週 日かず,今週 分,すすんだ レッスン,ほし,"
                              "はやさ,はやさ 先週より,せいかくさ,せいかくさ 先週より,にがて,ようす,ファイル",
                              "たろう,,0,0,2 い,2,80.0,0.0,,,,,t/records.sqlite",
                              "\"a,b.sqlite\",,,,,,,,,,,ほかの プログラムが つかい中,\"a,b.sqlite\"", ""}));
    }

    // The records files of a folder: by name, within the folder, within
    // the bounds, each once.
    void folderSearch_data()
    {
        QTest::addColumn<QStringList>("entries"); // "f path", "d path", "l path target", "p path" (a FIFO)
        QTest::addColumn<QString>("found");
        QTest::addColumn<bool>("cut");
        QTest::newRow("names ending in .sqlite, in any case")
            << QStringList {"f a/records.sqlite", "f b/たろう.SQLite", "f c/records.sqlite.broken-2026-12-01",
                            "f c/records.sqlite-journal", "f d/notes.txt", "f .trash/records.sqlite", "f e/.sqlite"}
            << "a/records.sqlite b/たろう.SQLite" << false;
        QTest::newRow("links: to a file inside once, never out, never to a folder")
            << QStringList {"f a/records.sqlite", "l b/copy.sqlite ../a/records.sqlite",
                            "l c.sqlite OUTSIDE/records.sqlite", "l d OUTSIDE", "l e.sqlite a"}
            << "a/records.sqlite" << false;
        QTest::newRow("a FIFO is no file") << QStringList {"p x.sqlite"} << "" << false;
        QTest::newRow("eight folders deep, not nine")
            << QStringList {"f 1/2/3/4/5/6/7/8/records.sqlite", "f 1/2/3/4/5/6/7/8/9/records.sqlite"}
            << "1/2/3/4/5/6/7/8/records.sqlite" << true;
        QStringList many;
        for (int i = 0; i <= int(ClassFilesLimit); ++i)
            many << QString("f m/%1.sqlite").arg(i, 3, 10, QLatin1Char('0'));
        QTest::newRow("more files than a class has") << many << "200 files, m/000.sqlite to m/199.sqlite" << true;
    }
    void folderSearch()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, found);
        QFETCH(bool, cut);
        ScratchDir outside;
        MakeRecords(outside.file("records.sqlite"), {});
        ScratchDir dir;
        const std::string folder = dir.file("class/");
        for (const QString& entry : entries) {
            const QStringList f = entry.split(' ');
            const std::string path = folder + f[1].toStdString();
            QVERIFY(QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath()));
            if (f[0] == "f")
                dir.write("class/" + f[1].toStdString(), "x");
            else if (f[0] == "l")
                QVERIFY(::symlink(QString(f[2]).replace("OUTSIDE", QString::fromStdString(outside.path())).toUtf8(),
                                  path.c_str()) == 0);
            else if (f[0] == "p")
                QVERIFY(::mkfifo(path.c_str(), 0600) == 0);
        }
        const FolderSearch search = FindRecordFiles(folder);
        QVERIFY(search.readable);
        QStringList shown;
        for (const ClassFile& file : search.files)
            shown << file.shown;
        if (shown.size() > 10)
            shown = QStringList {QString("%1 files, %2 to %3").arg(shown.size()).arg(shown.front(), shown.back())};
        QCOMPARE(shown.join(' '), found);
        QCOMPARE(search.cut, cut);
        QVERIFY(!FindRecordFiles(dir.file("none")).readable);
        QVERIFY(!FindRecordFiles(outside.file("records.sqlite")).readable); // a file is no folder
    }

    // Every kind of file a teacher's folder may hold, beside a learner's
    // good one: each is a row that says what it is, none stops the rest,
    // and the folder is byte for byte and name for name as it was.
    void aLookChangesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("state");
        QTest::newRow("good, without a name") << "unnamed" << "x/records.sqlite" << "";
        QTest::newRow("the first version, read by its columns") << "version 1" << "x/records.sqlite" << "";
        QTest::newRow("the third version") << "version 3" << "x/records.sqlite" << "";
        QTest::newRow("broken") << "broken" << "x/records.sqlite" << "こわれて います";
        QTest::newRow("a newer kidrill's") << "newer" << "x/records.sqlite" << "新しい kidrill の ファイル";
        QTest::newRow("held by another program") << "held" << "x/records.sqlite"
                                                 << "ほかの プログラムが つかい中";
        QTest::newRow("a drill cut off while written") << "hot journal" << "x/records.sqlite" << "かきかけ です";
        QTest::newRow("another program's database") << "foreign" << "x/records.sqlite"
                                                    << "きろくでは ありません";
        QTest::newRow("no database at all") << "text" << "x/records.sqlite" << "きろくでは ありません";
        QTest::newRow("an empty file") << "empty" << "x/records.sqlite" << "きろくでは ありません";
        QTest::newRow("a WAL database nobody uses") << "wal" << "x/records.sqlite" << "";
        QTest::newRow("a WAL database in use") << "wal in use" << "x/records.sqlite"
                                               << "ほかの プログラムが つかい中";
    }
    void aLookChangesNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, state);
        ScratchDir dir;
        const std::string folder = dir.file("class/");
        MakeRecords(folder + "a/records.sqlite", TaroDrills, "たろう");
        const std::string path = folder + "x/records.sqlite";
        QDir().mkpath(QString::fromStdString(folder + "x"));
        const QStringList drills {"2026-12-22 10:00 b.txt 1 1 30 0"};
        const std::string row = "INSERT INTO drills VALUES (1, '"
            + RecordTime(QDateTime(QDate(2026, 12, 22), QTime(10, 0))) + "', 1, 1, 50, 5, 60000, 25";
        std::unique_ptr<HeldRecords> hold;
        if (kind == "unnamed" || kind == "broken" || kind == "newer" || kind == "held" || kind == "hot journal")
            MakeRecords(path, drills, {}, kind == "hot journal" ? 4000 : 1);
        if (kind == "version 1")
            MakeOlder(path, 1, row + ");");
        else if (kind == "version 3")
            MakeOlder(path, 3, row + ", 'b.txt', 25, 1);");
        else if (kind == "broken") {
            // Every page but the first, where the schema is, overwritten.
            QFile file(QString::fromStdString(path));
            QVERIFY(file.open(QIODevice::ReadWrite) && file.size() > 4096);
            file.seek(4096);
            file.write(QByteArray(int(file.size()) - 4096, '\x5A'));
        } else if (kind == "newer")
            QVERIFY(Sql(path, "PRAGMA user_version = 99"));
        else if (kind == "hot journal")
            CutOffWhileWriting(path);
        else if (kind == "foreign")
            QVERIFY(Sql(path, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('x');"));
        else if (kind == "text")
            dir.write("class/x/records.sqlite", "たろう 12/23 80\n");
        else if (kind == "empty")
            dir.write("class/x/records.sqlite", "");
        else if (kind.startsWith("wal")) {
            MakeRecords(path, drills);
            QVERIFY(Sql(path, "PRAGMA journal_mode = WAL"));
        }
        // Looked at before the other program holds the file, and after it
        // let go: a process that closes a file drops its locks on it.
        const auto before = Contents(folder);
        if (kind == "held")
            QVERIFY((hold = std::make_unique<HeldRecords>(path, QStringList {"BEGIN EXCLUSIVE"}))->held());
        else if (kind == "wal in use")
            QVERIFY((hold = std::make_unique<HeldRecords>(path, QStringList {"BEGIN", "SELECT count(*) FROM drills"}))
                        ->held());

        const ClassReportAnswer answer = ClassReport(folder, dir.file("data/"), [] { return Store(); }, TestCourse, Today);
        QCOMPARE(answer.status, 0);
        QCOMPARE(QString::fromStdString(answer.err), QString());
        const QList<QStringList> rows = CsvRows(QByteArray::fromStdString(answer.out));
        QCOMPARE(ColumnOf(rows, ClassColumn::Name), QStringList({"たろう", name}));
        QCOMPARE(ColumnOf(rows, ClassColumn::State), QStringList({"", state}));
        // The learner's row whatever the other file is.
        QCOMPARE(rows.value(1).mid(1, 10).join('|'), QString("2026-12-23 18:30|2|5|1 あ|2|80.0|18.0|96.0|-3.4|a か0"));
        if (state.isEmpty())
            QCOMPARE(rows.value(2).value(int(ClassColumn::LastPractice)), QString("2026-12-22 10:00"));
        hold.reset();
        QCOMPARE(Contents(folder), before);
    }

    // A teacher's look while the learner practises: every drill the
    // learner finishes meanwhile is kept at once, never held up beyond the
    // drill's own short wait, and the look reads the file each time.
    void aLearnerWritingMeanwhileIsNeverHeldUp()
    {
        ScratchDir dir;
        const std::string path = dir.file("records.sqlite");
        QStringList drills;
        for (int d = 0; d < 200; ++d)
            drills << QString("2026-12-%1 10:00 - * 1 60 2").arg(1 + d % 22, 2, 10, QChar('0'));
        MakeRecords(path, drills, "たろう", 40);
        std::atomic<bool> done = false;
        std::atomic<int> looks = 0, unread = 0;
        // A thread of its own, as another process would be; its stores are
        // made and used there alone.
        std::thread teacher([&] {
            while (!done) {
                const ClassRow row = ReadClassRow({path, "t", "", true}, [] { return Store(); }, TestCourse, Today);
                ++(row.read() ? looks : unread);
            }
        });
        auto learner = Store();
        QCOMPARE(learner->open(path), RecordStore::Opening::Ready);
        learner->setLockWait(RecordsLockWaitMs);
        int kept = 0;
        for (int d = 0; d < 30; ++d) {
            DrillRecord record {DrillOf("2026-12-23 11:00 - * 1 70 1"), {{"a", 70, 1}}, {}};
            for (int k = 0; k < 40; ++k)
                record.kana.push_back({"き" + std::to_string(k), 20, 1});
            kept += learner->record(record) ? 1 : 0;
        }
        done = true;
        teacher.join();
        QCOMPARE(kept, 30);
        QVERIFY(looks > 0);
        QCOMPARE(int(unread), 0);
    }

    // What is opened to read only is never written, whatever is asked;
    // a path with signs that a URI gives a meaning of their own is the
    // file's.
    void aReadOnlyStoreWritesNothing()
    {
        ScratchDir dir;
        QVERIFY(QDir().mkpath(QString::fromStdString(dir.file("4年 #2?%41"))));
        const std::string path = dir.file("4年 #2?%41/records.sqlite");
        MakeOlder(path, 3, "");
        const auto before = Contents(dir.path());
        auto store = Store();
        QCOMPARE(store->openToRead(path), RecordStore::Reading::Ready);
        QVERIFY(!store->record({DrillOf("2026-12-22 10:00 - * 1 30 0"), {}, {}}));
        QVERIFY(!store->recordOnce({DrillOf("2026-12-22 10:00 - * 1 30 0"), {}, {}}));
        QVERIFY(!store->setLearnerName("たろう"));
        QCOMPARE(store->learnerName(), std::string());
        QVERIFY(store->drills(0, 0).empty());
        store.reset();
        QCOMPARE(Contents(dir.path()), before);
    }

    // kidrill --class-report DIR, as a teacher's script runs it: no
    // display, a row per file, the folder left as it was; not 0 only when
    // the folder cannot be read.
    void theReportOnTheCommandLine()
    {
        ScratchDir dir;
        const std::string folder = dir.file("5-1/");
        MakeRecords(folder + "taro/records.sqlite", TaroDrills, "たろう");
        MakeRecords(folder + "hanako.sqlite", {"2026-12-22 10:00 b.txt 1 1 30 0"});
        MakeRecords(folder + "ken/records.sqlite", {});
        QVERIFY(Sql(folder + "ken/records.sqlite", "PRAGMA user_version = 99"));
        dir.write("5-1/notes.sqlite", "not a database");
        MakeRecords(folder + "yui/records.sqlite", {});
        const auto before = Contents(folder);
        auto hold = std::make_unique<HeldRecords>(folder + "yui/records.sqlite", QStringList {"BEGIN EXCLUSIVE"});
        QVERIFY(hold->held());
        QProcess report;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(display);
        report.setProcessEnvironment(env);
        const QString kidrill = QString::fromStdString(AppDataDir()) + "kidrill";
        report.start(kidrill, {"--class-report", QString::fromStdString(folder)});
        QVERIFY(report.waitForFinished(20000));
        QCOMPARE(report.exitCode(), 0);
        const QByteArray out = report.readAllStandardOutput();
        QVERIFY(out.startsWith("\xEF\xBB\xBF"));
        const QList<QStringList> rows = CsvRows(out);
        QCOMPARE(ColumnOf(rows, ClassColumn::File),
                 QStringList({"hanako.sqlite", "ken/records.sqlite", "notes.sqlite", "taro/records.sqlite",
                              "yui/records.sqlite"}));
        QCOMPARE(ColumnOf(rows, ClassColumn::Name),
                 QStringList({"hanako.sqlite", "ken/records.sqlite", "notes.sqlite", "たろう", "yui/records.sqlite"}));
        QCOMPARE(ColumnOf(rows, ClassColumn::State),
                 QStringList({"", "新しい kidrill の ファイル", "きろくでは ありません", "",
                              "ほかの プログラムが つかい中"}));
        hold.reset();
        QCOMPARE(Contents(folder), before);

        report.start(kidrill, {"--class-report", QString::fromStdString(dir.file("none"))});
        QVERIFY(report.waitForFinished(20000));
        QCOMPARE(report.exitCode(), 1);
        QVERIFY(report.readAllStandardError().contains("cannot read the folder"));
        QVERIFY(report.readAllStandardOutput().isEmpty());
        // A folder the user may not list: root may, so an unprivileged
        // user tries.
        QVERIFY(::chmod(folder.c_str(), 0700) == 0 && ::chmod(dir.path().c_str(), 0755) == 0);
        const std::string program = kidrill.toStdString();
        constexpr int CannotStart = 97;
        const int status = AsUser([&] {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execl(program.c_str(), "kidrill", "--class-report", folder.c_str(), static_cast<char*>(nullptr));
            return CannotStart;
        });
        // A build in a directory of root's alone (a fresh clone under a
        // private temporary directory) is out of that user's reach.
        if (status == CannotStart)
            QSKIP("the program is out of an unprivileged user's reach here");
        QCOMPARE(status, RunningAsRoot() ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestClassReport)
#include "test_classreport.moc"
