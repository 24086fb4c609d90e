// The learner's records at the scale of ten years of practice: 36,500
// drills, ten a day, made with the program's own code (the drills typed by
// a simulated learner through the tally and the store the drill uses). And
// a class of such learners, each in a records file of their own.
//
// usage: bench_records APP_DIR RECORDS_FILE generate
//        bench_records APP_DIR RECORDS_FILE window   (ms to the first paint)
//        bench_records APP_DIR RECORDS_FILE record N (ms of each of N records)
//        bench_records APP_DIR CLASS_DIR class-generate LEARNERS DRILLS
//        bench_records APP_DIR CLASS_DIR class-window (ms to the first paint,
//                                                       then MiB at most resident)
// `window` and `record` work on the file as it is; scripts/bench gives
// `record` a copy. A class is CLASS_DIR/01/records.sqlite and on, each of
// DRILLS drills up to today, a quarter of them the course's lessons.

#include "classdlg.h"
#include "course/course.h"
#include "drillkind.h"
#include "platform.h"
#include "problems.h"
#include "random.h"
#include "recorddlg.h"
#include "records/classreport.h"
#include "records/drilltally.h"
#include "records/recordkeeper.h"
#include "records/recordstats.h"
#include "records/recordstore.h"
#include "romajitable.h"
#include "widgets/chart.h"
#include "widgets/drawing.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QTableWidget>

#include <array>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {

constexpr int Days = 3650;
constexpr int DrillsPerDay = 10;

// Paints of the watched widget, as they happen.
class FirstPaint final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// One drill as a learner types it: the level's problems in turn, every
// key counted for its kana, about one key in twenty missed.
DrillRecord SimulatedDrill(int level, int mode, const QDateTime& at, RandomGenerator& random)
{
    // Each level's problems, prepared once.
    static std::array<std::unique_ptr<ProblemSet>, 3> levels;
    std::unique_ptr<ProblemSet>& set = levels.at(std::size_t(level - 1));
    if (!set) {
        set = std::make_unique<ProblemSet>();
        PrepareProblemSet(std::uint8_t(level), *set, Counters, random);
    }
    const ProblemSet& problems = *set;
    DrillTally tally;
    KeyKana kana;
    const std::uint32_t keys = mode <= 3 ? 60 + random.below(240) * (mode == 1 ? 1 : 3) : (mode == 4 ? 100 : 200);
    std::uint32_t hits = 0, misses = 0;
    for (std::uint16_t p = 1 + std::uint16_t(random.below(problems.Count)); hits < keys;
         p = std::uint16_t(p % problems.Count + 1)) {
        const Problem& problem = problems.problem(p);
        MapKeysToKana(problem.Reading, RomajiTable, SokuonRomaji, kana);
        for (std::uint16_t k = 0; k < kana.count && hits < keys; ++k) {
            const char key = problem.Romaji.at(k + 1u);
            if (random.below(20) == 0) {
                tally.count(key, kana.slot[k], false);
                ++misses;
            }
            tally.count(key, kana.slot[k], true);
            ++hits;
        }
    }
    DrillSummary drill {RecordTime(at), level, mode, hits, misses, 0, 0, {}};
    drill.elapsedMs = IsTimeTrial(mode) ? 1000u * TimeLimitOf(mode) : hits * (200 + random.below(300));
    drill.score = std::int32_t(hits) - 5 * std::int32_t(misses);
    return MakeDrillRecord(drill, tally, RomajiTable);
}

int Generate()
{
    RecordStore* store = Recorder().store();
    if (!store)
        return 1;
    RandomGenerator random;
    random.seed(36500);
    const QDateTime first = QDateTime::currentDateTimeUtc().addDays(-Days);
    for (int day = 0; day < Days; ++day)
        for (int n = 0; n < DrillsPerDay; ++n) {
            const int level = 1 + int(random.below(3));
            const int mode = 1 + int(random.below(5));
            if (!store->record(SimulatedDrill(level, mode, first.addDays(day).addSecs(n * 600), random)))
                return 1;
        }
    return 0;
}

// The drills of one learner of a class, up to now: DrillsPerDay a day,
// every fourth a lesson of the course, the lessons passed one after
// another as the days go by.
int GenerateLearner(const std::string& path, int number, int drills, const Course& course)
{
    std::string error;
    const std::unique_ptr<RecordStore> store = ModuleRecordStore(error);
    if (!store || store->open(path) != RecordStore::Opening::Ready
        || !store->setLearnerName(QStringLiteral("せいと%1").arg(number).toStdString()))
        return 1;
    RandomGenerator random;
    random.seed(std::uint32_t(number));
    const int days = (drills + DrillsPerDay - 1) / DrillsPerDay;
    const QDateTime first = QDateTime::currentDateTimeUtc().addDays(1 - days).addSecs(-DrillsPerDay * 600);
    for (int n = 0; n < drills; ++n) {
        const int level = 1 + int(random.below(3));
        const int mode = 1 + int(random.below(5));
        DrillRecord drill = SimulatedDrill(level, mode, first.addDays(n / DrillsPerDay).addSecs(n % DrillsPerDay * 600), random);
        if (n % 4 == 0 && !course.lessons.empty()) {
            // A learner further on each day, some faster than others.
            const std::size_t reached = std::size_t(n) * course.lessons.size() * (2 + number % 3) / (4u * drills);
            const Lesson& lesson = course.lessons[std::min(reached, course.lessons.size() - 1)];
            drill.drill.level = 0;
            drill.drill.lesson = lesson.file;
            drill.drill.goal = lesson.goal;
            drill.drill.stars = StarsFor(drill.drill, lesson.goal);
        }
        if (!store->record(drill))
            return 1;
    }
    return 0;
}

int GenerateClass(const QString& folder, int learners, int drills)
{
    const Course course = LoadCourse();
    for (int number = 1; number <= learners; ++number) {
        const QString dir = folder + QStringLiteral("/%1").arg(number, 2, 10, QLatin1Char('0'));
        if (!QDir().mkpath(dir) || GenerateLearner((dir + QStringLiteral("/records.sqlite")).toStdString(), number, drills, course))
            return 1;
    }
    return 0;
}

double MostResidentMiB()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Shows `window` and returns once `part` of it has been painted.
void ShowUntilPainted(QWidget& window, QWidget& part)
{
    FirstPaint paint;
    part.installEventFilter(&paint);
    window.show();
    while (!paint.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    part.removeEventFilter(&paint);
}

// The window the program shows before the one measured, painted: its fonts
// are loaded.
std::unique_ptr<QLabel> WindowBefore(const QString& text)
{
    auto before = std::make_unique<QLabel>(text);
    before->setFont(DrillFont(16));
    ShowUntilPainted(*before, *before);
    return before;
}

int ClassWindow(const QString& folder)
{
    // The records window is up when the teacher asks for the class.
    const auto records = WindowBefore(QStringLiteral("きろく　はやさと せいかいの わりあい"));
    QElapsedTimer clock;
    clock.start();
    Tclassdlg window;
    window.showClass(folder);
    ShowUntilPainted(window, *window.table->viewport());
    std::printf("%.3f\n%.1f\n", clock.nsecsElapsed() / 1e6, MostResidentMiB());
    return window.rows().empty() ? 1 : 0;
}

int Window()
{
    // The title window is up when the learner asks for the records.
    const auto title = WindowBefore(QStringLiteral("ポプリカ　ぷるるん　ホームポジション"));
    QElapsedTimer clock;
    clock.start();
    Trecorddlg window;
    window.showRecords(1, 1);
    ShowUntilPainted(window, *window.daysChart);
    std::printf("%.3f\n", clock.nsecsElapsed() / 1e6);
    return 0;
}

int Record(int count)
{
    RandomGenerator random;
    random.seed(1);
    RecordStore* store = Recorder().store();
    if (!store)
        return 1;
    for (int i = 0; i < count; ++i) {
        const DrillRecord drill = SimulatedDrill(3, 1, QDateTime::currentDateTimeUtc(), random);
        QElapsedTimer clock;
        clock.start();
        Recorder().record(drill);
        std::printf("%.3f\n", clock.nsecsElapsed() / 1e6);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 4)
        return 2;
    AppDir = std::string(argv[1]) + '/';
    const std::string what = argv[3];
    if (what.starts_with("class")) {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        // The teacher's computer has one learner, who keeps no records.
        const QString household = folder + QStringLiteral("/.household");
        if (!QDir().mkpath(household) || !LoadRomajiTable())
            return 2;
        UserDir = household.toStdString() + '/';
        if (what == "class-generate" && argc == 6)
            return GenerateClass(folder, std::atoi(argv[4]), std::atoi(argv[5]));
        return what == "class-window" ? ClassWindow(folder) : 2;
    }
    const QFileInfo file(QString::fromLocal8Bit(argv[2]));
    UserDir = file.absolutePath().toStdString() + '/';
    if (file.fileName() != QLatin1String(RecordsFileName) || !LoadRomajiTable())
        return 2;
    int result = 2;
    if (what == "generate")
        result = Generate();
    else if (what == "window")
        result = Window();
    else if (what == "record" && argc == 5)
        result = Record(std::atoi(argv[4]));
    Recorder().close();
    return result;
}
