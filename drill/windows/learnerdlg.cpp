#include "learnerdlg.h"

#include "learners/household.h"
#include "platform.h"
#include "session.h"
#include "widgets/drawing.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

namespace {

constexpr int ChooserWidth = 400;
// Small enough for a screen of 1280 × 800 at a scale factor of 2.
constexpr int ButtonRowTop = 304;
constexpr int NoteTop = 344;
constexpr qsizetype ProblemsShown = 3;
// Names as typed are checked when taken; this only stops a paste of pages.
constexpr int LongestTyping = 64;

constexpr const char* Caption = "だれが れんしゅうする？";

} // namespace

Tlearnerdlg::Tlearnerdlg(QWidget* parent)
    : QDialog(parent, DialogFrame)
{
    setWindowTitle(QString::fromUtf8(Caption));
    setFont(DrillFont(16));

    heading1 = MakeLabel(this, QString::fromUtf8(Caption), 16, 12, DrillFont(24));
    List1 = new QListWidget(this);
    List1->setGeometry(16, 48, 368, 196);
    List1->setFont(DrillFont(20));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setSpacing(2);
    startButton = new QPushButton(QStringLiteral("はじめる"), this);
    startButton->setGeometry(16, 256, 368, 40);
    startButton->setFont(DrillFont(20));
    startButton->setDefault(true);
    addButton = new QPushButton(QStringLiteral("ふやす"), this);
    addButton->setGeometry(16, ButtonRowTop, 104, 32);
    renameButton = new QPushButton(QStringLiteral("名前を かえる"), this);
    renameButton->setGeometry(128, ButtonRowTop, 144, 32);
    removeButton = new QPushButton(QStringLiteral("けす"), this);
    removeButton->setGeometry(280, ButtonRowTop, 104, 32);

    nameCaption = MakeLabel(this, QStringLiteral("名前："), 16, ButtonRowTop + 8, DrillFont(16));
    nameEdit = new QLineEdit(this);
    nameEdit->setGeometry(84, ButtonRowTop, 140, 32);
    nameEdit->setMaxLength(LongestTyping);
    nameOk = new QPushButton(QStringLiteral("きめる"), this);
    nameOk->setGeometry(232, ButtonRowTop, 72, 32);
    nameBack = new QPushButton(QStringLiteral("やめる"), this);
    nameBack->setGeometry(312, ButtonRowTop, 72, 32);

    note1 = new QLabel(this);
    note1->setTextFormat(Qt::PlainText);
    note1->setWordWrap(true);
    note1->setFont(DrillFont(13));
    SetTextColour(note1, Red);
    note1->move(16, NoteTop);

    setTabOrder(List1, startButton);
    setTabOrder(startButton, addButton);
    setTabOrder(addButton, renameButton);
    setTabOrder(renameButton, removeButton);
    setTabOrder(removeButton, nameEdit);
    setTabOrder(nameEdit, nameOk);
    setTabOrder(nameOk, nameBack);

    connect(startButton, &QPushButton::clicked, this, &Tlearnerdlg::startButtonClick);
    connect(List1, &QListWidget::itemDoubleClicked, this, &Tlearnerdlg::startButtonClick);
    connect(addButton, &QPushButton::clicked, this, &Tlearnerdlg::addButtonClick);
    connect(renameButton, &QPushButton::clicked, this, &Tlearnerdlg::renameButtonClick);
    connect(removeButton, &QPushButton::clicked, this, &Tlearnerdlg::removeButtonClick);
    // Enter in the name box presses "きめる", the default button while a
    // name is typed.
    connect(nameOk, &QPushButton::clicked, this, &Tlearnerdlg::nameDone);
    connect(nameBack, &QPushButton::clicked, this, &Tlearnerdlg::nameCancel);
    // The keys file managers have for the same, from the list.
    const auto key = [this](QKeySequence sequence, void (Tlearnerdlg::*action)()) {
        auto* shortcut = new QShortcut(sequence, List1);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(QKeySequence(Qt::Key_Insert), &Tlearnerdlg::addButtonClick);
    key(QKeySequence(Qt::Key_F2), &Tlearnerdlg::renameButtonClick);
    key(QKeySequence(Qt::Key_Delete), &Tlearnerdlg::removeButtonClick);

    showNameRow(false);
    setNote(QString());
}

std::optional<int> Tlearnerdlg::choose(Household& household, int current)
{
    household_ = &household;
    chosen_.reset();
    showNameRow(false);
    fill(current);
    // For a parent: what was wrong with the list, the first few.
    QStringList problems = household.problems().mid(0, ProblemsShown);
    if (household.problems().size() > ProblemsShown)
        problems << QStringLiteral("ほかに %1こ あります").arg(household.problems().size() - ProblemsShown);
    setNote(problems.join(u'\n'));
    CentreOnScreen(*this);
    List1->setFocus();
    exec();
    household_ = nullptr;
    return chosen_;
}

void Tlearnerdlg::fill(int selected)
{
    List1->clear();
    for (const Learner& learner : household_->learners()) {
        auto* item = new QListWidgetItem(learner.name, List1);
        item->setData(Qt::UserRole, learner.number);
        if (learner.number == selected)
            List1->setCurrentItem(item);
    }
    if (!List1->currentItem() && List1->count() > 0)
        List1->setCurrentRow(0);
    removeButton->setEnabled(List1->count() > 1);
}

int Tlearnerdlg::selectedNumber() const
{
    const QListWidgetItem* item = List1->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void Tlearnerdlg::showNameRow(bool shown)
{
    for (QWidget* w : {static_cast<QWidget*>(addButton), static_cast<QWidget*>(renameButton),
                       static_cast<QWidget*>(removeButton)})
        w->setVisible(!shown);
    for (QWidget* w : {static_cast<QWidget*>(nameCaption), static_cast<QWidget*>(nameEdit),
                       static_cast<QWidget*>(nameOk), static_cast<QWidget*>(nameBack)})
        w->setVisible(shown);
    // While a name is typed, the list waits and Enter takes the name.
    List1->setEnabled(!shown);
    startButton->setEnabled(!shown);
    (shown ? nameOk : startButton)->setDefault(true);
    (shown ? startButton : nameOk)->setDefault(false);
}

void Tlearnerdlg::setNote(const QString& text)
{
    constexpr int noteWidth = ChooserWidth - 32;
    note1->setText(text);
    const int height = text.isEmpty() ? 0 : note1->heightForWidth(noteWidth);
    note1->setFixedSize(noteWidth, height);
    note1->setVisible(!text.isEmpty());
    setFixedSize(ChooserWidth, text.isEmpty() ? ButtonRowTop + 32 + 16 : NoteTop + height + 12);
}

void Tlearnerdlg::startButtonClick()
{
    if (const int number = selectedNumber()) {
        chosen_ = number;
        accept();
    }
}

void Tlearnerdlg::addButtonClick()
{
    renaming_ = 0;
    nameEdit->clear();
    showNameRow(true);
    nameEdit->setFocus();
}

void Tlearnerdlg::renameButtonClick()
{
    renaming_ = selectedNumber();
    const Learner* learner = household_ ? household_->find(renaming_) : nullptr;
    if (!learner)
        return;
    nameEdit->setText(learner->name);
    nameEdit->selectAll();
    showNameRow(true);
    nameEdit->setFocus();
}

void Tlearnerdlg::nameDone()
{
    if (!household_)
        return;
    const Household::Change change = renaming_ ? household_->rename(renaming_, nameEdit->text())
                                               : household_->add(nameEdit->text());
    if (!change.done) {
        setNote(change.message);
        nameEdit->setFocus();
        return;
    }
    showNameRow(false);
    fill(change.number);
    setNote(QString());
    List1->setFocus();
}

void Tlearnerdlg::nameCancel()
{
    showNameRow(false);
    setNote(QString());
    List1->setFocus();
}

void Tlearnerdlg::reject()
{
    // Esc while a name is typed leaves the name, not the window.
    if (nameEdit->isVisible()) {
        nameCancel();
        return;
    }
    QDialog::reject();
}

bool Tlearnerdlg::confirm(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("けす"), text, QMessageBox::NoButton, this);
    box.setFont(font()); // a window of its own takes no font from this one
    QPushButton* yes = box.addButton(QStringLiteral("けす"), QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(QStringLiteral("やめる"), QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void Tlearnerdlg::removeButtonClick()
{
    const Learner* learner = household_ ? household_->find(selectedNumber()) : nullptr;
    if (!learner || household_->learners().size() < 2)
        return;
    const QString name = learner->name;
    const int number = learner->number;
    if (!confirm(QStringLiteral("「%1」を けしますか？").arg(name)))
        return;
    if (!confirm(QStringLiteral("本当に「%1」を けしますか？\n"
                                "せっていと きろくは すてずに、べつの フォルダに うつして のこします。")
                     .arg(name)))
        return;
    const Household::Change removed = household_->remove(number);
    if (!removed.done) {
        setNote(removed.message);
        return;
    }
    fill(household_->last());
    setNote(QString());
    List1->setFocus();
    const QString where = removed.setAside.empty()
        ? QStringLiteral("「%1」は まだ れんしゅうして いなかったので、のこす ファイルは ありません。").arg(name)
        : QStringLiteral("「%1」を けしました。\nせっていと きろくは つぎの フォルダに あります：\n%2")
              .arg(name, QString::fromStdString(removed.setAside));
    QMessageBox told(QMessageBox::Information, QStringLiteral("けす"), where, QMessageBox::Ok, this);
    told.setFont(font());
    told.exec();
}

bool ChooseLearnerAtStart(const std::string& dataDirectory, const QString& named)
{
    Household household(dataDirectory);
    household.load();
    int number = 0;
    if (!named.isEmpty()) {
        const Household::Change found = household.named(named);
        if (!found.done) {
            CurrentPlatform().showError(named.toStdString() + ": " + found.message.toStdString(), Caption);
            return false;
        }
        number = found.number;
    } else if (household.learners().size() == 1) {
        number = household.learners().front().number;
    } else {
        Tlearnerdlg chooser;
        const std::optional<int> chosen = chooser.choose(household, household.last());
        if (!chosen || EndRequested())
            return false;
        number = *chosen;
    }
    household.choose(number);
    LearnerNumber = number;
    return true;
}
