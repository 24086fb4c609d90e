#include "coursedlg.h"

#include "captions.h"
#include "course/lessonrun.h"
#include "course/weaklesson.h"
#include "random.h"
#include "records/recordkeeper.h"
#include "records/recordstats.h"
#include "session.h"
#include "settings/options.h"
#include "widgets/drawing.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr std::size_t WeakUnitsChosen = 8;
// The row of the weak lesson, which stands before the lessons.
constexpr int WeakRow = -1;
// A lesson's title, goal, run, stars, and whether it is open.
constexpr int Columns = 5;
constexpr int StatusColumn = 4;

} // namespace

Tcoursedlg::Tcoursedlg(QWidget* parent)
    : QDialog(parent, DialogFrame)
{
    setWindowTitle(QStringLiteral("コース"));
    setFont(DrillFont(16));
    auto* layout = new QVBoxLayout(this);
    // Its lines are broken where a child reads a pause, not inside a word.
    note1 = new QLabel(this);
    note1->setTextFormat(Qt::PlainText);
    layout->addWidget(note1);
    List1 = new QTreeWidget(this);
    List1->setColumnCount(Columns);
    List1->setHeaderLabels({QStringLiteral("レッスン"), QStringLiteral("もくひょう"), QStringLiteral("ながさ"),
                            QStringLiteral("ほし"), QString()});
    List1->setRootIsDecorated(false);
    List1->setUniformRowHeights(true);
    // A long title is cut short with "…" in its own column, never drawn
    // over the goal.
    List1->header()->setStretchLastSection(false);
    List1->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < Columns; ++c)
        List1->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    layout->addWidget(List1, 1);
    // What is wrong with the course's files: plain text, whatever they
    // hold, in a box of a few lines that scrolls.
    problems1 = new QPlainTextEdit(this);
    problems1->setReadOnly(true);
    problems1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    problems1->setMaximumHeight(6 * problems1->fontMetrics().lineSpacing());
    QPalette red = problems1->palette();
    red.setColor(QPalette::Text, ToQColor(Red));
    problems1->setPalette(red);
    layout->addWidget(problems1);
    auto* buttons = new QHBoxLayout;
    startButton = new QPushButton(QStringLiteral("はじめる"), this);
    startButton->setDefault(true);
    closeButton = new QPushButton(QStringLiteral("とじる"), this);
    buttons->addStretch();
    buttons->addWidget(startButton);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(startButton, &QPushButton::clicked, this, &Tcoursedlg::startButtonClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(List1, &QTreeWidget::itemDoubleClicked, this, &Tcoursedlg::startButtonClick);
    connect(List1, &QTreeWidget::itemSelectionChanged, this, &Tcoursedlg::selectionChanged);
    FitOnScreen(*this, QSize(760, 640));
}

std::optional<LessonChoice> Tcoursedlg::choose()
{
    chosen_.reset();
    fill();
    exec();
    return chosen_;
}

void Tcoursedlg::fill()
{
    course_ = LoadCourse();
    ScaleGoals(course_, GoalPercent);
    RecordStore* store = Recorder().store();
    states_ = LessonStates(course_, store ? store->lessonDrills() : std::vector<DrillSummary>(), AllLessonsOpen);
    weak_ = WeakUnits(store ? store->unitsSince(RecentSince(QDate::currentDate())) : std::vector<UnitDrillRow>(), WeakUnitsChosen);
    checks_.clear();
    std::vector<std::string> keysOfLessons;
    for (const Lesson& lesson : course_.lessons) {
        checks_.push_back(CheckLesson(lesson));
        keysOfLessons.push_back(checks_.back().keys);
    }
    newKeys_ = KeysBroughtIn(keysOfLessons);
    // Records that cannot be read just now are said so, not shown as none.
    if (const std::string note = Recorder().readNote(); !note.empty())
        course_.problems.prepend(QString::fromStdString(note));

    note1->setText(QStringLiteral("%1が %2% いじょうで、%3が もくひょうに とどけば ごうかく。\n"
                                  "つぎの レッスンが ひらきます。")
                       .arg(QString::fromUtf8(AccuracyCaption)).arg(PassAccuracy).arg(QString::fromUtf8(KeysPerMinuteCaption)));
    List1->clear();
    // The weak lesson first, where it is seen.
    QStringList weakNames;
    for (const WeakUnit& w : weak_)
        weakNames << WeakUnitName(w);
    auto* weak = new QTreeWidgetItem(List1, {QString::fromUtf8(WeakLessonName), QString(), QString(), QString(),
                                             weak_.empty() ? QStringLiteral("にがては まだ ありません")
                                                           : weakNames.join(QStringLiteral("、"))});
    weak->setData(0, Qt::UserRole, WeakRow);
    if (weak_.empty())
        weak->setFlags(weak->flags() & ~Qt::ItemIsEnabled);
    QStringList problems = course_.problems;
    int current = -1;
    for (std::size_t i = 0; i < course_.lessons.size(); ++i) {
        const Lesson& lesson = course_.lessons[i];
        const LessonState& state = states_[i];
        const LessonCheck& check = checks_[i];
        problems << check.problems;
        const QString status = !check.problems.isEmpty() ? QStringLiteral("なおして ください")
                             : state.open                 ? QString()
                                                          : QStringLiteral("まだ ひらいて いません");
        auto* item = new QTreeWidgetItem(List1, {QStringLiteral("%1. %2").arg(i + 1).arg(lesson.title),
                                                 QStringLiteral("1分に %1文字").arg(lesson.goal),
                                                 AboutMinutes(LessonRunLength(lesson.goal), lesson.goal),
                                                 StarsText(state.stars), status});
        item->setData(0, Qt::UserRole, int(i));
        item->setToolTip(0, item->text(0));
        if (!check.problems.isEmpty())
            item->setForeground(StatusColumn, ToQColor(Red));
        if (!state.open || !check.playable())
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        // The first open lesson not passed yet is the one to go on with.
        if (current < 0 && state.open && check.playable() && state.stars == 0)
            current = int(i);
    }
    if (current >= 0)
        List1->setCurrentItem(List1->topLevelItem(current + 1));
    problems1->setPlainText(problems.join(QLatin1Char('\n')));
    problems1->setVisible(!problems.isEmpty());
    selectionChanged();
}

std::optional<LessonChoice> Tcoursedlg::choiceFor(std::size_t index) const
{
    if (index >= course_.lessons.size() || !checks_[index].playable())
        return std::nullopt;
    const Lesson& lesson = course_.lessons[index];
    const QString next = index + 1 < course_.lessons.size() ? course_.lessons[index + 1].title : QString();
    return LessonChoice {lesson.file, lesson.title, lesson.goal, next, index, LessonRunLength(lesson.goal),
                         newKeys_[index]};
}

void Tcoursedlg::selectionChanged()
{
    const QTreeWidgetItem* item = List1->currentItem();
    startButton->setEnabled(item && (item->flags() & Qt::ItemIsEnabled));
}

void Tcoursedlg::startButtonClick()
{
    const QTreeWidgetItem* item = List1->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    const int row = item->data(0, Qt::UserRole).toInt();
    if (row == WeakRow) {
        // The items the learner can type: keys met in the last 30 days.
        std::array<bool, 256> typed {};
        if (RecordStore* store = Recorder().store())
            for (const UnitCount& key : store->keysSince(RecentSince(QDate::currentDate())))
                if (key.name.size() == 1)
                    typed[static_cast<unsigned char>(key.name.front())] = true;
        MakeWeakLesson(AllProblems(course_), weak_, typed, WeakLessonSet, DrillRandom);
        if (WeakLessonSet.Count == 0) {
            problems1->setPlainText(QStringLiteral("にがてな 字が 入った もんだいが ありません"));
            problems1->show();
            return;
        }
        chosen_ = LessonChoice {WeakLessonName, QString::fromUtf8(WeakLessonName), 0, QString(), 0, ShortestLessonRun, {}};
    } else {
        chosen_ = choiceFor(std::size_t(row));
    }
    accept();
}
