#include "coursedlg.h"

#include "course/weaklesson.h"
#include "random.h"
#include "records/recordkeeper.h"
#include "records/recordstats.h"
#include "settings/options.h"
#include "widgets/drawing.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr std::size_t WeakUnitsChosen = 8;
// The row of the weak lesson, which stands before the lessons.
constexpr int WeakRow = -1;

} // namespace

Tcoursedlg::Tcoursedlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("コース"));
    setFont(DrillFont(16));
    auto* layout = new QVBoxLayout(this);
    note1 = new QLabel(this);
    note1->setWordWrap(true);
    layout->addWidget(note1);
    List1 = new QTreeWidget(this);
    List1->setColumnCount(4);
    List1->setHeaderLabels({QStringLiteral("レッスン"), QStringLiteral("もくひょう"), QStringLiteral("ほし"),
                            QString()});
    List1->setRootIsDecorated(false);
    List1->setUniformRowHeights(true);
    List1->header()->setStretchLastSection(true);
    layout->addWidget(List1, 1);
    problems1 = new QLabel(this);
    problems1->setWordWrap(true);
    SetTextColour(problems1, Red);
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
    resize(620, 640);
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
    RecordStore* store = Recorder().store();
    states_ = LessonStates(course_, store ? store->lessonDrills() : std::vector<DrillSummary>(), AllLessonsOpen);
    weak_ = WeakUnits(store ? store->unitsSince(RecentSince(QDate::currentDate())) : std::vector<UnitDrillRow>(), WeakUnitsChosen);
    // Records that cannot be read just now are said so, not shown as none.
    if (const std::string note = Recorder().readNote(); !note.empty())
        course_.problems.prepend(QString::fromStdString(note));

    note1->setText(QStringLiteral("正確さ %1% 以上で、もくひょうの はやさ（1分に 打つ 数）に とどけば ごうかく。"
                                  "つぎの レッスンが ひらきます。モードは はじめの がめんで えらんだ ものです。")
                       .arg(PassAccuracy));
    List1->clear();
    // The weak lesson first, where it is seen.
    QStringList weakNames;
    for (const WeakUnit& w : weak_)
        weakNames << QString::fromStdString(w.unit.name);
    auto* weak = new QTreeWidgetItem(List1, {QString::fromUtf8(WeakLessonName), QString(), QString(),
                                             weak_.empty() ? QStringLiteral("にがては まだ ありません")
                                                           : weakNames.join(QLatin1Char(' '))});
    weak->setData(0, Qt::UserRole, WeakRow);
    if (weak_.empty())
        weak->setFlags(weak->flags() & ~Qt::ItemIsEnabled);
    int current = -1;
    for (std::size_t i = 0; i < course_.lessons.size(); ++i) {
        const Lesson& lesson = course_.lessons[i];
        const LessonState& state = states_[i];
        auto* item = new QTreeWidgetItem(List1, {QStringLiteral("%1. %2").arg(i + 1).arg(lesson.title),
                                                 QStringLiteral("%1 打/分").arg(lesson.goal), StarsText(state.stars),
                                                 state.open ? QString() : QStringLiteral("まだ ひらいて いません")});
        item->setData(0, Qt::UserRole, int(i));
        if (!state.open)
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        // The first open lesson not passed yet is the one to go on with.
        if (current < 0 && state.open && state.stars == 0)
            current = int(i);
    }
    for (int c = 0; c < 3; ++c)
        List1->resizeColumnToContents(c);
    if (current >= 0)
        List1->setCurrentItem(List1->topLevelItem(current + 1));
    problems1->setText(course_.problems.join(QLatin1Char('\n')));
    problems1->setVisible(!course_.problems.isEmpty());
    selectionChanged();
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
            problems1->setText(QStringLiteral("にがてを ふくむ もんだいが ありません"));
            problems1->show();
            return;
        }
        chosen_ = LessonChoice {WeakLessonName, QString::fromUtf8(WeakLessonName), 0, QString()};
    } else {
        const auto at = std::size_t(row);
        const Lesson& lesson = course_.lessons[at];
        QString next;
        if (at + 1 < course_.lessons.size())
            next = course_.lessons[at + 1].title;
        chosen_ = LessonChoice {lesson.file, lesson.title, lesson.goal, next};
    }
    accept();
}
