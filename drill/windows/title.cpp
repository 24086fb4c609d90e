#include "title.h"

#include "captions.h"
#include "classdlg.h"
#include "counters.h"
#include "course/course.h"
#include "coursedlg.h"
#include "drillkind.h"
#include "fingerguide.h"
#include "keyboard.h"
#include "learnerdlg.h"
#include "learners/household.h"
#include "main.h"
#include "platform.h"
#include "random.h"
#include "rank.h"
#include "recorddlg.h"
#include "result.h"
#include "records/recordkeeper.h"
#include "romajitable.h"
#include "session.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "settingsdlg.h"
#include "userfiles.h"
#include "widgets/drawing.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

Ttitle1* title1 = nullptr;

namespace {

constexpr QSize TitleSize {502, 292};
// The row of the options' buttons, below the menu.
constexpr int OptionRowHeight = 41;
constexpr QRect RecordsButtonPlace {288, 292, 89, 33};
constexpr QRect CourseButtonPlace {184, 292, 89, 33};
// Between the level group and おわり, which stand as drawn.
constexpr QRect SettingsButtonPlace {392, 221, 97, 24};
// The learner's row, below the options' row when that shows.
constexpr QRect LearnerPlace {26, 0, 358, 33};
constexpr QRect LearnerButtonPlace {392, 0, 97, 33};

// A captioned box of radio items spread evenly down its height, the first
// one selected.
QGroupBox* MakeRadioGroup(QWidget* parent, const QString& caption, const QStringList& items, QRect place,
                          QButtonGroup*& group)
{
    auto* box = new QGroupBox(caption, parent);
    box->setGeometry(place);
    group = new QButtonGroup(box);
    constexpr int captionHeight = 20;
    const int step = (place.height() - captionHeight - 8) / int(items.size());
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], box);
        item->setGeometry(10, captionHeight + i * step + (step - 20) / 2, place.width() - 16, 20);
        group->addButton(item, i);
    }
    group->button(0)->setChecked(true);
    // One tab stop per group: only the selected item takes Tab, so Tab
    // enters the group on the choice and the arrows move the choice.
    const auto keepTabStop = [group] {
        for (QAbstractButton* item : group->buttons())
            item->setFocusPolicy(item->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    QObject::connect(group, &QButtonGroup::buttonToggled, box, keepTabStop);
    keepTabStop();
    return box;
}

} // namespace

Ttitle1::Ttitle1(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("ポプリカ　ぷるるん"));
    setFixedSize(TitleSize);
    setFont(DrillFont(16));

    mode1 = MakeRadioGroup(this, QStringLiteral("モード"), ModeNames(),
                           QRect(26, 16, 225, 201), modeItems_);
    level1 = MakeRadioGroup(this, QStringLiteral("レベル"), LevelNames(),
                            QRect(266, 16, 217, 201), levelItems_);
    Button1 = new QPushButton(QStringLiteral("すたーと"), this);
    Button1->setGeometry(39, 240, 234, 41);
    Button1->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("ランキング"), this);
    Button3->setGeometry(288, 248, 89, 33);
    Button2 = new QPushButton(QStringLiteral("おわり"), this);
    Button2->setGeometry(392, 248, 97, 33);
    recordsButton = new QPushButton(QStringLiteral("きろく"), this);
    recordsButton->setGeometry(RecordsButtonPlace);
    recordsButton->setAutoDefault(false);
    recordsButton->hide();
    courseButton = new QPushButton(QStringLiteral("コース"), this);
    courseButton->setGeometry(CourseButtonPlace);
    courseButton->setAutoDefault(false);
    courseButton->hide();
    // The way to the settings a parent sees. Off the Tab chain, which stays
    // as drawn; Ctrl+, reaches it from the keyboard.
    settingsButton = new QPushButton(QStringLiteral("せってい"), this);
    settingsButton->setGeometry(SettingsButtonPlace);
    settingsButton->setFont(DrillFont(14));
    settingsButton->setAutoDefault(false);
    settingsButton->setFocusPolicy(Qt::NoFocus);
    settingsButton->setToolTip(QStringLiteral("せってい（Ctrl+,）"));
    learner1 = new QLabel(this);
    learner1->setTextFormat(Qt::PlainText);
    learner1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    learner1->hide();
    learnerButton = new QPushButton(QStringLiteral("かわる"), this);
    learnerButton->setAutoDefault(false);
    learnerButton->hide();
    // Enter starts a drill wherever the focus is; Space presses the
    // focused button.
    Button3->setAutoDefault(false);
    Button2->setAutoDefault(false);
    // すたーと, ランキング, おわり, then every item of both groups in order,
    // of which only the selected ones take Tab.
    QList<QWidget*> chain {Button1, Button3, Button2, courseButton, recordsButton, learnerButton};
    for (QButtonGroup* group : {modeItems_, levelItems_})
        for (QAbstractButton* item : group->buttons())
            chain << item;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, &Ttitle1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Ttitle1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Ttitle1::Button3Click);
    connect(recordsButton, &QPushButton::clicked, this, &Ttitle1::recordsButtonClick);
    auto* records = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(records, &QShortcut::activated, this, &Ttitle1::recordsButtonClick);
    connect(courseButton, &QPushButton::clicked, this, &Ttitle1::courseButtonClick);
    auto* course = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(course, &QShortcut::activated, this, &Ttitle1::courseButtonClick);
    settingsAction = new QAction(QStringLiteral("せってい…"), this);
    settingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    addAction(settingsAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(settingsAction, &QAction::triggered, this, &Ttitle1::OpenSettings);
    connect(settingsButton, &QPushButton::clicked, this, &Ttitle1::OpenSettings);
    learnersAction = new QAction(QStringLiteral("だれが れんしゅうする？…"), this);
    addAction(learnersAction);
    connect(learnersAction, &QAction::triggered, this, &Ttitle1::learnerButtonClick);
    connect(learnerButton, &QPushButton::clicked, this, &Ttitle1::learnerButtonClick);

    FormCreate();
    CentreOnScreen(*this);
}

void Ttitle1::FormCreate()
{
    AppDir = CurrentPlatform().executableDirectory();
    UserDir = UserDataDirectory(AppDir);
    if (!LoadRomajiTable())
        return;
    switch (LoadFingerTable()) {
    case FingerTableLoad::Ok:
        break;
    case FingerTableLoad::CannotOpen:
        RequestEnd();
        return;
    case FingerTableLoad::TooShort:
        // The settings are never read, so they must never be saved.
        CurrentPlatform().showError("ファイルの末尾以降を読み込みました", "エラー");
        RequestEnd();
        return;
    case FingerTableLoad::ReadError:
        ShowIoError(AppDir + "code.dat");
        RequestEnd();
        return;
    }
    const Platform::ScreenSize screen = CurrentPlatform().screenSize();
    LoadSettings(screen.width, screen.height);
    DrillRandom.seed(CurrentPlatform().timeOfDayUtc());
    Counters.Mode = 0;
    if (RememberChoice) {
        selectMode(RememberedMode - 1);
        selectLevel(RememberedLevel - 1);
    }
    Household household(UserDir);
    household.load();
    showLearner(household);
}

void Ttitle1::showLearner(const Household& household)
{
    const Learner* learner = household.find(LearnerNumber);
    learnerName_ = learner ? learner->name : QString();
    severalLearners_ = household.learners().size() > 1;
    learner1->setText(QStringLiteral("%1の ばん").arg(learnerName_));
}

void Ttitle1::showOptionButtons()
{
    recordsButton->setVisible(RecordsKept());
    courseButton->setVisible(Lessons);
    const int learnerTop = TitleSize.height() + (RecordsKept() ? OptionRowHeight : 0);
    learner1->setGeometry(LearnerPlace.translated(0, learnerTop));
    learnerButton->setGeometry(LearnerButtonPlace.translated(0, learnerTop));
    learner1->setVisible(severalLearners_);
    learnerButton->setVisible(severalLearners_);
    setFixedSize(TitleSize.width(), learnerTop + (severalLearners_ ? OptionRowHeight : 0));
    // Grown below the menu, it stays in full view on a small screen.
    KeepOnScreen(*this);
}

void Ttitle1::showEvent(QShowEvent* event)
{
    showOptionButtons();
    QDialog::showEvent(event);
}

void Ttitle1::recordsButtonClick()
{
    if (!RecordsKept())
        return;
    if (!records_) {
        records_ = new Trecorddlg(this);
        connect(records_, &Trecorddlg::classRequested, records_, [this] { ShowClass(records_); });
    }
    records_->showRecords(levelIndex() + 1, modeIndex() + 1);
    records_->exec();
}

int Ttitle1::modeIndex() const { return modeItems_->checkedId(); }
int Ttitle1::levelIndex() const { return levelItems_->checkedId(); }
void Ttitle1::selectMode(int index) { modeItems_->button(index)->setChecked(true); }
void Ttitle1::selectLevel(int index) { levelItems_->button(index)->setChecked(true); }

void Ttitle1::Button1Click()
{
    ChosenLesson.reset();
    Counters.Level = static_cast<std::uint8_t>(levelIndex() + 1);
    RememberedLevel = Counters.Level;
    SetSizedText(main1->Label3,
                 QString::fromUtf8(ShownCaption(Counters.Level == SentenceLevel ? CaptionId::Meaning : CaptionId::Practice)));
    runDrill();
}

void Ttitle1::runDrill()
{
    Counters.Mode = static_cast<std::uint8_t>(modeIndex() + 1);
    RememberedMode = Counters.Mode;
    if (IsTimeTrial(Counters.Mode))
        Counters.TimeLimit = TimeLimitOf(Counters.Mode);
    hide();
    main1->exec();
    if (!EndRequested())
        show();
}

void Ttitle1::courseButtonClick()
{
    if (!Lessons)
        return;
    if (!course_)
        course_ = new Tcoursedlg(this);
    // From lesson to lesson until the course window is closed: after a
    // lesson's results the child is back in the course window, or plays
    // the lesson again, or the next one.
    hide();
    for (ChosenLesson = course_->choose(); ChosenLesson && !EndRequested();) {
        // A lesson has no level: its drill counts for the course alone. The
        // weak lesson's items come from every list, most with a meaning.
        Counters.Level = 0;
        Counters.Mode = LessonMode;
        Counters.RunLength = ChosenLesson->runLength;
        SetSizedText(main1->Label3, QString::fromUtf8(ShownCaption(
                                        ChosenLesson->name == WeakLessonName ? CaptionId::Meaning : CaptionId::Practice)));
        resultdlg->hideProgress(); // a drill left before its results leads back to the course
        main1->exec();
        if (EndRequested())
            break;
        switch (resultdlg->afterLesson()) {
        case Tresultdlg::AfterLesson::Again:
            break;
        case Tresultdlg::AfterLesson::Next:
            ChosenLesson = course_->choiceFor(ChosenLesson->index + 1);
            if (ChosenLesson)
                break;
            [[fallthrough]];
        case Tresultdlg::AfterLesson::Course:
            ChosenLesson = course_->choose();
            break;
        }
    }
    ChosenLesson.reset();
    if (!EndRequested())
        show();
}

void Ttitle1::learnerButtonClick()
{
    // As "おわり" does, for the learner who leaves; their records close
    // with them.
    SaveSettings();
    Recorder().close();
    if (!learners_)
        learners_ = new Tlearnerdlg(this);
    Household household(UserDir);
    household.load();
    const std::optional<int> chosen = learners_->choose(household, LearnerNumber);
    if (EndRequested())
        return;
    const int next = LearnerAfterChoosing(household, chosen, LearnerNumber);
    household.choose(next);
    if (next != LearnerNumber)
        takeLearner(next);
    showLearner(household);
    showOptionButtons();
}

void Ttitle1::takeLearner(int number)
{
    LearnerNumber = number;
    const Platform::ScreenSize screen = CurrentPlatform().screenSize();
    LoadSettings(screen.width, screen.height);
    if (main1)
        PlaceDrillWindow(*main1);
    if (kb1)
        PlaceKeyboardWindow(*kb1);
    if (RememberChoice) {
        selectMode(RememberedMode - 1);
        selectLevel(RememberedLevel - 1);
    }
}

void Ttitle1::Button2Click()
{
    close();
}

void Ttitle1::Button3Click()
{
    if (RememberChoice)
        rankdlg->Combo1->setCurrentIndex(levelIndex());
    rankdlg->exec();
}

void Ttitle1::OpenSettings()
{
    if (!settings_)
        settings_ = new Tsettingsdlg(this);
    // Whose settings they are, where there is more than one learner.
    settings_->setWindowTitle(severalLearners_ ? QStringLiteral("せってい（%1）").arg(learnerName_)
                                               : QStringLiteral("せってい"));
    settings_->edit();
    // An option turned on or off there brings its button or takes it away.
    showOptionButtons();
}

void Ttitle1::FormClose()
{
    if (EndRequested())
        return;
    SaveSettings();
}

void Ttitle1::done(int result)
{
    FormClose();
    QDialog::done(result);
    // The main window: closing it ends the program, whatever else is open.
    RequestEnd();
}

void Ttitle1::keyPressEvent(QKeyEvent* event)
{
    // A main window does not close on Escape.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
