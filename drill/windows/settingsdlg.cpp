#include "settingsdlg.h"

#include "captions.h"
#include "keyboardlayout.h"
#include "session.h"
#include "widgets/drawing.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int WindowWidth = 560;
constexpr int OptionTop = 12;
// Fourteen options and the finger row fit a screen 800 pixels high.
constexpr int OptionStep = 40;
constexpr int ExplanationPixels = 13;

constexpr int FingerHeight = 24;
// Each finger's whole name, in the order of the colours, for its picker.
constexpr const char* FingerNames[FingerCount] = {
    "ひだりの こゆび", "ひだりの くすりゆび", "ひだりの なかゆび", "ひだりの ひとさしゆび", "おやゆび",
    "みぎの ひとさしゆび", "みぎの なかゆび", "みぎの くすりゆび", "みぎの こゆび",
};

QString StyleFor(Colour colour)
{
    return QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid #606060; }")
        .arg(ToQColor(colour).name(), ToQColor(CaptionColourOn(colour)).name());
}

} // namespace

Tsettingsdlg::Tsettingsdlg(QWidget* parent)
    : QDialog(parent, DialogFrame)
{
    setWindowTitle(QStringLiteral("せってい"));
    setFont(DrillFont(16));

    int top = OptionTop;
    for (std::size_t i = 0; i < OptionCount; ++i, top += OptionStep) {
        options[i] = new QCheckBox(QString::fromUtf8(OptionRows[i].caption), this);
        options[i]->setGeometry(16, top, WindowWidth - 32, 22);
        explanations[i] = MakeLabel(this, QString::fromUtf8(OptionRows[i].explanation), 40, top + 22,
                                    DrillFont(ExplanationPixels));
    }

    // GoalPercent at the right of the row that opens every lesson: the
    // course's other choice for a parent or teacher.
    const QRect allOpen = options[OptionIndex("AllLessonsOpen")]->geometry();
    options[OptionIndex("AllLessonsOpen")]->setFixedWidth(250);
    MakeLabel(this, QStringLiteral("もくひょうの はやさ"), 268, allOpen.top() + 3, DrillFont(13));
    goalPace = new QComboBox(this);
    goalPace->setGeometry(WindowWidth - 16 - 136, allOpen.top() - 2, 136, 26);

    MakeLabel(this, QStringLiteral("ゆびの いろ（おすと いろを えらべます）"), 16, top + 4, DrillFont(16));
    const int fingerTop = top + 28;
    const QFont fingerFont = DrillFont(13);
    for (std::size_t f = 0; f < colours.size(); ++f) {
        // In a child's words, a cell too narrow for them widened about its
        // middle.
        const DrillFingerCell& cell = DrillFingerCells[f]; // in the order of the colours
        const QString caption = QString::fromUtf8(CaptionText(cell.caption, true));
        const int width = std::max(cell.width, TextWidth(fingerFont, caption) + 6);
        colours[f] = new QPushButton(caption, this);
        colours[f]->setGeometry(cell.left - (width - cell.width) / 2, fingerTop, width, FingerHeight);
        colours[f]->setToolTip(QString::fromUtf8(FingerNames[f]));
        colours[f]->setFont(fingerFont);
        colours[f]->setAutoDefault(false);
        connect(colours[f], &QPushButton::clicked, this, [this, f] { pickColour(f); });
    }

    const int buttonTop = fingerTop + FingerHeight + 24;
    recommend = new QPushButton(QStringLiteral("おすすめ"), this);
    recommend->setGeometry(16, buttonTop, 104, 32);
    reset = new QPushButton(QStringLiteral("はじめにもどす"), this);
    reset->setGeometry(128, buttonTop, 136, 32);
    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(WindowWidth - 208, buttonTop, 88, 32);
    cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setGeometry(WindowWidth - 112, buttonTop, 96, 32);
    for (QPushButton* button : {recommend, reset, cancel})
        button->setAutoDefault(false);
    ok->setDefault(true);
    setFixedSize(WindowWidth, buttonTop + 32 + 16);

    connect(recommend, &QPushButton::clicked, this, [this] { setChoice(RecommendedChoice(choice())); });
    connect(reset, &QPushButton::clicked, this, [this] { setChoice(DefaultChoice()); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool Tsettingsdlg::edit()
{
    setChoice(CurrentChoice());
    options.front()->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    const SettingsChoice chosen = choice();
    ApplyChoice(chosen);
    SaveSettings(&chosen);
    return true;
}

void Tsettingsdlg::setChoice(const SettingsChoice& choice)
{
    for (std::size_t i = 0; i < OptionCount; ++i)
        options[i]->setChecked(choice.options[i]);
    for (std::size_t f = 0; f < colours.size(); ++f)
        setColour(f, choice.colours[f]);
    chosenKeyboardWidth_ = choice.keyboardWidth;
    // The named paces, and a value a hand wrote in the file as it is.
    goalPace->clear();
    for (const GoalPace& pace : GoalPaces)
        goalPace->addItem(QStringLiteral("%1 %2%").arg(QString::fromUtf8(pace.name)).arg(pace.percent), pace.percent);
    if (goalPace->findData(choice.goalPercent) < 0)
        goalPace->addItem(QStringLiteral("%1%").arg(choice.goalPercent), choice.goalPercent);
    goalPace->setCurrentIndex(goalPace->findData(choice.goalPercent));
}

SettingsChoice Tsettingsdlg::choice() const
{
    SettingsChoice choice;
    for (std::size_t i = 0; i < OptionCount; ++i)
        choice.options[i] = options[i]->isChecked();
    choice.colours = chosenColours_;
    choice.keyboardWidth = chosenKeyboardWidth_;
    choice.goalPercent = goalPace->currentData().toInt();
    return choice;
}

void Tsettingsdlg::setColour(std::size_t finger, Colour colour)
{
    chosenColours_[finger] = colour;
    colours[finger]->setStyleSheet(StyleFor(colour));
}

void Tsettingsdlg::pickColour(std::size_t finger)
{
    const QColor picked = QColorDialog::getColor(ToQColor(chosenColours_[finger]), this, QStringLiteral("ゆびの いろ"));
    if (picked.isValid())
        setColour(finger, FromQColor(picked));
}
