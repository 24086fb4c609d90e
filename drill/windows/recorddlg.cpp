#include "recorddlg.h"

#include "captions.h"
#include "course/course.h"
#include "course/weaklesson.h"
#include "csvfile.h"
#include "drillkind.h"
#include "platform.h"
#include "records/drilltally.h"
#include "records/recordkeeper.h"
#include "records/recordstats.h"
#include "records/week.h"
#include "session.h"
#include "widgets/chart.h"
#include "widgets/drawing.h"
#include "widgets/heatkeyboard.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr std::size_t WeakKanaShown = 10;
const QColor SpeedColour = ToQColor(Teal); // as the next key
const QColor AccuracyColour(0xC0, 0x60, 0x00);
const QColor KeysColour(0x80, 0xB0, 0xD8);
const QColor MinutesColour(0x00, 0x60, 0x00);
const QColor StarsColour(0xE0, 0xB0, 0x00); // as a gold star
constexpr std::size_t WeekWeakestShown = 3;
QLabel* Heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(DrillFont(16, true));
    return label;
}

QString Duration(std::uint64_t ms)
{
    const std::uint64_t minutes = (ms + 30000) / 60000;
    return minutes >= 60 ? QStringLiteral("%1時間%2分").arg(minutes / 60).arg(minutes % 60)
                         : QStringLiteral("%1分").arg(minutes);
}

} // namespace

Trecorddlg::Trecorddlg(QWidget* parent)
    : QDialog(parent, DialogFrame | Qt::WindowMaximizeButtonHint)
{
    setWindowTitle(QStringLiteral("きろく"));
    setFont(DrillFont(14));

    // Everything but the buttons scrolls, so that the window fits a small
    // laptop's screen.
    auto* outer = new QVBoxLayout(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* page = new QWidget(scroll_);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    weekHeading = Heading(QString(), this);
    layout->addWidget(weekHeading);
    week1 = new QLabel(this);
    week1->setFont(DrillFont(16));
    week1->setTextFormat(Qt::PlainText);
    layout->addWidget(week1);
    auto* choice = new QHBoxLayout;
    levelBox = new QComboBox(this);
    modeBox = new QComboBox(this);
    levelBox->addItems(LevelNames() << QString::fromUtf8(CourseName));
    modeBox->addItems(ModeNames());
    choice->addWidget(Heading(QStringLiteral("はやさと ") + QString::fromUtf8(AccuracyCaption), this));
    choice->addStretch();
    choice->addWidget(new QLabel(QStringLiteral("レベル"), this));
    choice->addWidget(levelBox);
    choice->addWidget(new QLabel(QStringLiteral("モード"), this));
    choice->addWidget(modeBox);
    layout->addLayout(choice);
    progressChart = new Chart(this);
    progressChart->setEmptyText(QStringLiteral("この レベルと モードの きろくは、まだ ありません"));
    layout->addWidget(progressChart, 3);

    auto* weak = new QGridLayout;
    weak->addWidget(Heading(QStringLiteral("キーごとの まちがい（さいきん 30日）"), this), 0, 0);
    weak->addWidget(Heading(QStringLiteral("にがてな かな（さいきん 30日）"), this), 0, 1);
    keyboard = new HeatKeyboard(this);
    weak->addWidget(keyboard, 1, 0, Qt::AlignTop);
    weakKana = new QLabel(this);
    weakKana->setFont(DrillFont(16));
    weakKana->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    weak->addWidget(weakKana, 1, 1);
    weak->setColumnStretch(1, 1);
    layout->addLayout(weak);

    layout->addWidget(Heading(QStringLiteral("れんしゅう（30日）"), this));
    daysChart = new Chart(this);
    daysChart->setMinimumHeight(150);
    layout->addWidget(daysChart, 2);
    summary = new QLabel(this);
    summary->setFont(DrillFont(16));
    layout->addWidget(summary);

    auto* buttons = new QHBoxLayout;
    csvButton = new QPushButton(QStringLiteral("CSV に書き出す"), this);
    closeButton = new QPushButton(QStringLiteral("とじる"), this);
    closeButton->setDefault(true);
    auto* classButton = new QPushButton(QStringLiteral("クラス"), this); // every learner's week, read only
    buttons->addWidget(classButton);
    connect(classButton, &QPushButton::clicked, this, &Trecorddlg::classRequested);
    buttons->addStretch();
    buttons->addWidget(csvButton);
    buttons->addWidget(closeButton);
    scroll_->setWidget(page);
    outer->addWidget(scroll_, 1);
    outer->addLayout(buttons);

    connect(csvButton, &QPushButton::clicked, this, &Trecorddlg::csvButtonClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(levelBox, &QComboBox::currentIndexChanged, this, [this] {
        fillModes();
        showProgress();
    });
    connect(modeBox, &QComboBox::currentIndexChanged, this, &Trecorddlg::showProgress);
    FitOnScreen(*this, QSize(800, 760));
}

RecordStore* Trecorddlg::store() const
{
    return others_ ? others_ : Recorder().store();
}

std::string Trecorddlg::readNote() const
{
    return others_ ? ReadTroubleNote(others_->takeReadTrouble()) : Recorder().readNote();
}

void Trecorddlg::showRecords(int level, int mode, const QDate& today)
{
    others_ = nullptr;
    setWindowTitle(QStringLiteral("きろく"));
    {
        const QSignalBlocker levels(levelBox);
        const QSignalBlocker modes(modeBox);
        levelBox->setCurrentIndex(level - 1);
        fillModes();
        modeBox->setCurrentIndex(mode - 1);
    }
    fill(today);
}

void Trecorddlg::showOthers(RecordStore* store, const QString& whose, const QDate& today)
{
    others_ = store;
    setWindowTitle(QStringLiteral("きろく（%1）").arg(whose));
    fill(today);
}

void Trecorddlg::fill(const QDate& today)
{
    course_ = LoadCourse();
    lessonTitles_ = {{WeakLessonName, QString::fromUtf8(WeakLessonName)}};
    for (const Lesson& lesson : course_.lessons)
        lessonTitles_[lesson.file] = lesson.title;
    {
        const QSignalBlocker modes(modeBox);
        fillModes();
    }
    showWeek(today);
    showProgress();
    showRecent(today);
    // As wide as what it shows; only the height scrolls.
    scroll_->setMinimumWidth(scroll_->widget()->minimumSizeHint().width()
                             + scroll_->verticalScrollBar()->sizeHint().width());
    // Records that cannot be read just now are said so, not shown as none.
    if (const std::string note = readNote(); !note.empty())
        summary->setText(summary->text() + QLatin1Char('\n') + QString::fromStdString(note));
}

bool Trecorddlg::showsCourse() const
{
    return levelBox->currentIndex() == LevelCount;
}

void Trecorddlg::fillModes()
{
    // The modes of a level, or the lessons of the course.
    const QString chosen = modeBox->currentText();
    modeBox->clear();
    if (!showsCourse()) {
        modeBox->addItems(ModeNames());
        return;
    }
    for (const Lesson& lesson : course_.lessons)
        modeBox->addItem(lesson.title, QString::fromStdString(lesson.file));
    modeBox->addItem(QString::fromUtf8(WeakLessonName), QString::fromUtf8(WeakLessonName));
    modeBox->setCurrentIndex(std::max(0, modeBox->findText(chosen)));
}

void Trecorddlg::showProgress()
{
    RecordStore* store = this->store();
    const bool course = showsCourse();
    std::vector<DrillSummary> drills;
    if (store && course) {
        const std::string lesson = modeBox->currentData().toString().toStdString();
        for (DrillSummary& d : store->lessonDrills())
            if (d.lesson == lesson)
                drills.push_back(std::move(d));
        std::stable_sort(drills.begin(), drills.end(),
                         [](const DrillSummary& a, const DrillSummary& b) { return a.finishedAt < b.finishedAt; });
    } else if (store) {
        drills = store->drills(levelBox->currentIndex() + 1, modeBox->currentIndex() + 1);
    }
    Chart::Series speed {QString::fromUtf8(KeysPerMinuteCaption), SpeedColour, false, false, {}};
    Chart::Series accuracy {QString::fromUtf8(AccuracyCaption) + QStringLiteral("（%）"), AccuracyColour, false, true, {}};
    // A lesson's stars over time, on the right, where a level shows its
    // accuracy: they say the accuracy and the speed together.
    Chart::Series stars {QStringLiteral("ほし"), StarsColour, false, true, {}};
    double fastest = 0;
    std::size_t best = 0;
    Chart::XAxis x;
    for (const DrillSummary& d : drills) {
        const double day = QDateTime::fromString(QString::fromStdString(d.finishedAt), Qt::ISODate).toSecsSinceEpoch() / 86400.0;
        const double kpm = KeysPerMinute(d.hits, d.elapsedMs);
        if (kpm > fastest || speed.points.empty()) {
            fastest = kpm;
            best = speed.points.size();
        }
        speed.points.push_back({day, kpm});
        accuracy.points.push_back({day, AccuracyPercent(d.hits, d.misses)});
        stars.points.push_back({day, double(d.stars.value_or(0))});
    }
    if (!speed.points.empty()) {
        // The drills fill the width, with a little room at both ends; a
        // first day's drills are told apart by their time.
        const double first = speed.points.front().x();
        const double span = std::max(speed.points.back().x() - first, 1.0 / 1440);
        x.min = first - span * 0.04;
        x.max = first + span * 1.04;
        for (int i = 0; i <= 4; ++i)
            x.ticks.push_back(first + span * i / 4);
        const QString format = span > 365 ? QStringLiteral("yyyy/M") : span >= 4 ? QStringLiteral("M/d")
                                                                                 : QStringLiteral("M/d H:mm");
        x.label = [format](double day) { return QDateTime::fromSecsSinceEpoch(qint64(day * 86400)).toString(format); };
    }
    progressChart->setEmptyText(course ? QStringLiteral("この レッスンの きろくは、まだ ありません")
                                       : QStringLiteral("この レベルと モードの きろくは、まだ ありません"));
    if (course)
        progressChart->setData({speed, stars}, RoundAxis(fastest, QStringLiteral("文字")),
                               ChartAxis {double(MostStars), 1, QStringLiteral("ほし")}, x);
    else
        progressChart->setData({speed, accuracy}, RoundAxis(fastest, QStringLiteral("文字")),
                               ChartAxis {100, 20, QStringLiteral("%")}, x);
    if (!speed.points.empty())
        progressChart->setMark(0, best, QStringLiteral("さいこう %1").arg(std::lround(fastest)));
}

void Trecorddlg::showWeek(const QDate& today)
{
    RecordStore* store = this->store();
    const QDate start = WeekStart(today);
    const std::string weekBefore = RecordTime(QDateTime(start.addDays(-7), QTime(0, 0)));
    // The two weeks' drills, and the lessons' drills before them for what
    // the lessons held at the week's start.
    std::vector<DrillSummary> drills = store ? store->drillsSince(weekBefore) : std::vector<DrillSummary>();
    if (store)
        for (DrillSummary& d : store->lessonDrills())
            if (d.finishedAt < weekBefore)
                drills.push_back(std::move(d));
    const std::string since = RecordTime(QDateTime(start, QTime(0, 0)));
    std::vector<WeakUnit> units;
    if (store) {
        for (UnitCount& key : store->keysSince(since))
            units.push_back({std::move(key), false});
        for (UnitCount& kana : store->kanaSince(since))
            units.push_back({std::move(kana), true});
    }
    QStringList weakest;
    for (const WeakUnit& unit : WeakestUnits(units, WeekWeakestShown))
        weakest << WeakUnitName(unit);
    weekHeading->setText(QStringLiteral("こんしゅう（%1から）").arg(start.toString(QStringLiteral("M月d日"))));
    week1->setText(WeekText(FiguresOfWeek(drills, start), FiguresOfWeek(drills, start.addDays(-7)), weakest)
                       .join(QLatin1Char('\n')));
}

void Trecorddlg::showRecent(const QDate& today)
{
    RecordStore* store = this->store();
    const std::string since = RecentSince(today);
    const std::vector<UnitCount> keys = store ? store->keysSince(since) : std::vector<UnitCount>();
    keyboard->setCounts(keys);

    const std::vector<UnitCount> weakest =
        Weakest(store ? store->kanaSince(since) : std::vector<UnitCount>(), WeakKanaShown, WeakMinimumKeys);
    QStringList lines;
    for (std::size_t i = 0; i < weakest.size(); ++i)
        lines << QStringLiteral("%1. %2　%3").arg(i + 1).arg(QString::fromStdString(weakest[i].name), TimesMissed(weakest[i]));
    weakKana->setText(lines.isEmpty() ? QStringLiteral("まちがいの 多い かなは、まだ ありません")
                                      : lines.join(QLatin1Char('\n')));

    const std::vector<DayTotal> days = store ? store->daysSince(since) : std::vector<DayTotal>();
    Chart::Series typed {QStringLiteral("うった 文字"), KeysColour, true, false, {}};
    Chart::Series minutes {QStringLiteral("れんしゅうした 時間（分）"), MinutesColour, false, true, {}};
    std::uint64_t mostKeys = 0, allKeys = 0, allMs = 0;
    double mostMinutes = 0;
    const QDate first = today.addDays(1 - RecentDays);
    for (int i = 0; i < RecentDays; ++i) {
        const QString day = first.addDays(i).toString(Qt::ISODate);
        std::uint64_t hits = 0, ms = 0;
        for (const DayTotal& d : days)
            if (QString::fromStdString(d.day) == day) {
                hits = d.hits;
                ms = d.elapsedMs;
            }
        typed.points.push_back({double(i), double(hits)});
        minutes.points.push_back({double(i), ms / 60000.0});
        mostKeys = std::max(mostKeys, hits);
        mostMinutes = std::max(mostMinutes, ms / 60000.0);
        allKeys += hits;
        allMs += ms;
    }
    Chart::XAxis x {0, RecentDays - 1, {0, 7, 14, 21, 29}, [first](double i) {
                        return first.addDays(qint64(i)).toString(QStringLiteral("M/d"));
                    }};
    daysChart->setData({typed, minutes}, RoundAxis(double(mostKeys), QStringLiteral("文字")),
                       RoundAxis(mostMinutes, QStringLiteral("分")), x);

    const int run = store ? DaysInARow(store->practiceDays(), today) : 0;
    summary->setText(QStringLiteral("この 30日：れんしゅう %1、うった 文字 %2")
                         .arg(Duration(allMs))
                         .arg(QLocale(QLocale::Japanese).toString(qulonglong(allKeys)))
                     + (run >= 2 ? QStringLiteral("　%1日 つづけて れんしゅう").arg(run) : QString()));
}

bool Trecorddlg::exportCsv(const QString& path)
{
    RecordStore* records = store();
    const std::vector<DrillSummary> drills = records ? records->drills(0, 0) : std::vector<DrillSummary>();
    if (const std::string note = readNote(); !note.empty()) {
        CurrentPlatform().showError(note, "きろく");
        return false;
    }
    return SaveCsv(path, RecordsCsv(drills, lessonTitles_), "きろく");
}

void Trecorddlg::csvButtonClick()
{
    const QString path = AskCsvPath(this, QStringLiteral("CSV に書き出す"), QStringLiteral("kidrill-records.csv"));
    if (!path.isEmpty())
        exportCsv(path);
}
