#include "records/classreport.h"

#include "loadablemodule.h"
#include "records/csv.h"
#include "records/recordstats.h"
#include "records/week.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

QString Decimal(double value, int decimals)
{
    // Rounded first, so that a small loss reads "0.0", never "-0.0".
    const double step = std::pow(10.0, decimals);
    const double rounded = std::round(value * step) / step;
    return QString::number(rounded == 0 ? 0.0 : rounded, 'f', decimals);
}

QString Minutes(std::uint64_t ms)
{
    return QString::number((ms + 30000) / 60000);
}

// A record's time in local time: "2026-12-09 16:05", or its day alone.
QString LocalTime(const std::string& utc, const QString& format)
{
    const QDateTime at = QDateTime::fromString(QString::fromStdString(utc), Qt::ISODate);
    return at.isValid() ? at.toLocalTime().toString(format) : QString();
}

std::optional<double> Difference(std::optional<double> now, std::optional<double> before)
{
    return now && before ? std::optional(*now - *before) : std::nullopt;
}

QString UnitName(const UnitCount& unit)
{
    return unit.name == " " ? QStringLiteral("スペース") : QString::fromStdString(unit.name);
}

QString WeakestText(const ClassRow& row, const QString& between)
{
    QStringList names;
    for (const UnitCount& unit : row.weakest)
        names << UnitName(unit);
    return names.join(between);
}

struct ColumnWords {
    const char* header;
    const char* tip;
};
// By ClassColumn.
const ColumnWords ColumnsOfClass[ClassColumnCount] = {
    {"名前", "ファイルに ある 名前、この コンピューターでの 名前、または ファイルの ばしょ"},
    {"さいごの\nれんしゅう", "さいごに きろくした れんしゅうの 日じ"},
    {"今週\n日かず", "今週（月よう日から）れんしゅうした 日の かず"},
    {"今週\n分", "今週（月よう日から）れんしゅうした 時間（分）"},
    {"すすんだ\nレッスン", "ごうかくした レッスンの うち、いちばん さきの もの"},
    {"ほし", "その レッスンの ほし"},
    {"はやさ", "さいごの れんしゅうで 1分に うてた 文字"},
    {"はやさ\n先週より", "今週の はやさと 先週の はやさの ちがい"},
    {"せいかくさ", "さいごの れんしゅうの せいかくさ（%）"},
    {"せいかくさ\n先週より", "今週の せいかくさと 先週の ちがい"},
    {"にがて", "さいきん 30日で まちがいの 多い キーと かな（まちがえた 回の 多い じゅん）"},
    {"ようす", "ファイルを 読めなかった わけ"},
    {"ファイル", "きろくの ファイルの ばしょ"},
};

// A row's value in a column, to sort by: a number, or a text in the
// columns of texts; none when the row has nothing there.
struct SortValue {
    bool has = false;
    double number = 0;
    QString text;
};

bool IsTextColumn(ClassColumn column)
{
    return column == ClassColumn::Name || column == ClassColumn::LastPractice || column == ClassColumn::File;
}

SortValue Value(double number)
{
    return {true, number, {}};
}

SortValue Value(std::optional<double> number)
{
    return number ? Value(*number) : SortValue {};
}

SortValue ValueOf(const ClassRow& row, ClassColumn column)
{
    const bool read = row.read();
    switch (column) {
    case ClassColumn::Name:
        return {true, 0, row.name};
    case ClassColumn::LastPractice:
        return row.lastPractice.empty() ? SortValue {} : SortValue {true, 0, QString::fromStdString(row.lastPractice)};
    case ClassColumn::WeekDays:
        return read ? Value(row.weekDays) : SortValue {};
    case ClassColumn::WeekMinutes:
        return read ? Value(double(row.weekMs)) : SortValue {};
    case ClassColumn::Lesson:
        // Further on first, then more stars there.
        return row.lesson > 0 ? Value(double(row.lesson) + row.stars / 10.0) : SortValue {};
    case ClassColumn::Stars:
        return row.lesson > 0 ? Value(row.stars) : SortValue {};
    case ClassColumn::Speed:
        return Value(row.speed);
    case ClassColumn::SpeedChange:
        return Value(Difference(row.speedThisWeek, row.speedWeekBefore));
    case ClassColumn::Accuracy:
        return Value(row.accuracy);
    case ClassColumn::AccuracyChange:
        return Value(Difference(row.accuracyThisWeek, row.accuracyWeekBefore));
    case ClassColumn::Weakest:
        return row.weakest.empty() ? SortValue {} : Value(MissRate(row.weakest.front()));
    case ClassColumn::State:
        // The read first, then those with no records yet, then the rest.
        return Value(row.read() ? 0 : !row.file.exists ? 1 : 2 + int(row.reading));
    case ClassColumn::File:
        return {true, 0, row.file.shown};
    }
    return {};
}

} // namespace

std::string ClassWeeksSince(const QDate& today)
{
    return RecordTime(QDateTime(WeekStart(today).addDays(-7), QTime(0, 0)));
}

ClassRow UnreadRow(const ClassFile& file, RecordStore::Reading reading)
{
    ClassRow row;
    row.file = file;
    row.reading = reading;
    row.name = file.learner.isEmpty() ? file.shown : file.learner;
    return row;
}

ClassRow ClassRowOf(const ClassFile& file, const LearnerRecords& records, const Course& course, const QDate& today)
{
    ClassRow row = UnreadRow(file, RecordStore::Reading::Ready);
    if (!records.name.empty())
        row.name = QString::fromStdString(records.name);
    if (records.last) {
        const DrillSummary& last = *records.last;
        row.lastPractice = last.finishedAt;
        if (last.elapsedMs > 0)
            row.speed = KeysPerMinute(last.hits, last.elapsedMs);
        if (last.hits + std::uint64_t(last.misses) > 0)
            row.accuracy = AccuracyPercent(last.hits, last.misses);
    }
    // Only each week's own figures are taken, which its own drills give.
    const QDate monday = WeekStart(today);
    const WeekFigures week = FiguresOfWeek(records.recent, monday);
    const WeekFigures before = FiguresOfWeek(records.recent, monday.addDays(-7));
    row.weekDays = week.days;
    row.weekMs = week.ms;
    row.speedThisWeek = week.keysPerMinute;
    row.speedWeekBefore = before.keysPerMinute;
    row.accuracyThisWeek = week.accuracy;
    row.accuracyWeekBefore = before.accuracy;

    const std::vector<LessonState> states = LessonStates(course, records.lessons, false);
    for (std::size_t i = states.size(); i-- > 0;)
        if (states[i].stars > 0) {
            row.lesson = i + 1;
            row.lessonTitle = course.lessons[i].title;
            row.stars = states[i].stars;
            break;
        }

    std::vector<UnitCount> units = records.keys;
    units.insert(units.end(), records.kana.begin(), records.kana.end());
    row.weakest = Weakest(std::move(units), ClassWeakestShown, WeakMinimumKeys);
    return row;
}

ClassRow ReadClassRow(const ClassFile& file, const RecordStoreMaker& makeStore, const Course& course,
                      const QDate& today)
{
    const std::unique_ptr<RecordStore> store = makeStore && file.exists ? makeStore() : nullptr;
    if (!store)
        return UnreadRow(file, RecordStore::Reading::Unreadable);
    store->setLockWait(OthersLockWaitMs);
    if (const RecordStore::Reading reading = store->openToRead(file.path); reading != RecordStore::Reading::Ready)
        return UnreadRow(file, reading);
    // Each read a step of its own, so that the file is held no longer than
    // one of them: a drill being kept there meanwhile waits for one at most.
    LearnerRecords records;
    const std::string recentDays = RecentSince(today);
    const std::string weeks = ClassWeeksSince(today);
    const std::function<void()> reads[] = {
        [&] { records.name = store->learnerName(); },
        [&] { records.last = store->lastDrill(); },
        [&] { records.recent = store->drillsSince(weeks); },
        [&] { records.lessons = store->lessonDrills(); },
        [&] { records.keys = store->keysSince(recentDays); },
        [&] { records.kana = store->kanaSince(recentDays); },
    };
    for (const auto& read : reads) {
        read();
        switch (store->trouble()) {
        case RecordStore::Trouble::None:
            continue;
        case RecordStore::Trouble::Busy:
            return UnreadRow(file, RecordStore::Reading::Held);
        case RecordStore::Trouble::Failed:
            return UnreadRow(file, RecordStore::Reading::Broken);
        }
    }
    return ClassRowOf(file, records, course, today);
}

std::vector<ClassRow> ReadClass(const std::vector<ClassFile>& files, const RecordStoreMaker& makeStore,
                                const Course& course, const QDate& today)
{
    std::vector<ClassRow> rows;
    rows.reserve(files.size());
    for (const ClassFile& file : files)
        rows.push_back(ReadClassRow(file, makeStore, course, today));
    return rows;
}

std::unique_ptr<RecordStore> ModuleRecordStore(std::string& error)
{
    return LoadFromModule<RecordStore>(RecordsModuleName, RecordsModuleEntry, error);
}

QString ClassHeader(ClassColumn column)
{
    return QString::fromUtf8(ColumnsOfClass[int(column)].header);
}

QString ClassHeaderTip(ClassColumn column)
{
    return QString::fromUtf8(ColumnsOfClass[int(column)].tip);
}

QString ClassStateText(const ClassRow& row)
{
    if (!row.file.exists)
        return QStringLiteral("きろくは まだ ありません");
    using R = RecordStore::Reading;
    switch (row.reading) {
    case R::Ready:
        return {};
    case R::Held:
        return QStringLiteral("ほかの プログラムが つかい中");
    case R::Unfinished:
        return QStringLiteral("かきかけ です");
    case R::NotRecords:
        return QStringLiteral("きろくでは ありません");
    case R::Broken:
        return QStringLiteral("こわれて います");
    case R::Newer:
        return QStringLiteral("新しい kidrill の ファイル");
    case R::Unreadable:
        break;
    }
    return QStringLiteral("ひらけません");
}

QString ClassCellText(const ClassRow& row, ClassColumn column)
{
    const bool read = row.read();
    switch (column) {
    case ClassColumn::Name:
        return row.name;
    case ClassColumn::LastPractice:
        // The day is what a teacher looks for; the time is in the CSV.
        return LocalTime(row.lastPractice, QStringLiteral("yyyy-MM-dd"));
    case ClassColumn::WeekDays:
        return read ? QString::number(row.weekDays) : QString();
    case ClassColumn::WeekMinutes:
        return read ? Minutes(row.weekMs) : QString();
    case ClassColumn::Lesson:
        return row.lesson > 0 ? QStringLiteral("%1 %2").arg(row.lesson).arg(row.lessonTitle) : QString();
    case ClassColumn::Stars:
        return row.lesson > 0 ? StarsText(row.stars) : QString();
    case ClassColumn::Speed:
        return row.speed ? QString::number(std::lround(*row.speed)) : QString();
    case ClassColumn::SpeedChange:
        return row.speedThisWeek && row.speedWeekBefore ? SignedChange(*row.speedThisWeek, *row.speedWeekBefore, 0)
                                                        : QString();
    case ClassColumn::Accuracy:
        return row.accuracy ? Decimal(*row.accuracy, 1) : QString();
    case ClassColumn::AccuracyChange:
        return row.accuracyThisWeek && row.accuracyWeekBefore
            ? SignedChange(*row.accuracyThisWeek, *row.accuracyWeekBefore, 1)
            : QString();
    case ClassColumn::Weakest:
        return WeakestText(row, QStringLiteral("　"));
    case ClassColumn::State:
        return ClassStateText(row);
    case ClassColumn::File:
        return row.file.shown;
    }
    return {};
}

QString ClassCsvText(const ClassRow& row, ClassColumn column)
{
    switch (column) {
    case ClassColumn::LastPractice:
        return LocalTime(row.lastPractice, QStringLiteral("yyyy-MM-dd HH:mm"));
    case ClassColumn::Stars:
        return row.lesson > 0 ? QString::number(row.stars) : QString();
    case ClassColumn::Speed:
        return row.speed ? Decimal(*row.speed, 1) : QString();
    case ClassColumn::SpeedChange: {
        const std::optional<double> change = Difference(row.speedThisWeek, row.speedWeekBefore);
        return change ? Decimal(*change, 1) : QString();
    }
    case ClassColumn::AccuracyChange: {
        const std::optional<double> change = Difference(row.accuracyThisWeek, row.accuracyWeekBefore);
        return change ? Decimal(*change, 1) : QString();
    }
    case ClassColumn::Weakest:
        return WeakestText(row, QStringLiteral(" "));
    default:
        return ClassCellText(row, column);
    }
}

void SortClass(std::vector<ClassRow>& rows, ClassColumn column, bool descending)
{
    // Names and paths as a Japanese list has them, numbers by their value:
    // "せいと2" before "せいと10".
    QCollator collator {QLocale(QLocale::Japanese)};
    collator.setNumericMode(true);
    std::stable_sort(rows.begin(), rows.end(), [&](const ClassRow& a, const ClassRow& b) {
        const SortValue x = ValueOf(a, column);
        const SortValue y = ValueOf(b, column);
        if (x.has != y.has)
            return x.has;
        if (!x.has)
            return false;
        const int order = column == ClassColumn::LastPractice ? x.text.compare(y.text) // ISO 8601
            : IsTextColumn(column)                           ? collator.compare(x.text, y.text)
            : x.number < y.number                            ? -1
                                                             : x.number > y.number ? 1 : 0;
        return descending ? order > 0 : order < 0;
    });
}

QByteArray ClassCsv(const std::vector<ClassRow>& rows)
{
    QList<QStringList> lines;
    QStringList header;
    for (int c = 0; c < ClassColumnCount; ++c)
        header << ClassHeader(ClassColumn(c)).replace(QLatin1Char('\n'), QLatin1Char(' '));
    lines << header;
    for (const ClassRow& row : rows) {
        QStringList fields;
        for (int c = 0; c < ClassColumnCount; ++c)
            fields << ClassCsvText(row, ClassColumn(c));
        lines << fields;
    }
    return CsvFile(lines);
}
