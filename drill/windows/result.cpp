#include "result.h"

#include "course/course.h"
#include "records/recordstats.h"
#include "widgets/drawing.h"

#include <QPushButton>
#include <QShowEvent>

#include <cmath>

Tresultdlg* resultdlg = nullptr;

namespace {
QFont MostMissedFont() { return DrillFont(48); }

constexpr QSize ResultSize {357, 385};
constexpr QRect ResultButton {128, 336, 81, 33};
// With records the dialog grows by two rows above its button.
constexpr int ProgressRows = 36;
constexpr int SpeedTop = 320;
constexpr int AccuracyTop = 344;
constexpr QRect VerdictPlace {8, 368, 341, 22};
constexpr int VerdictRow = 26;

void ShowChange(QLabel* label, double now, std::optional<double> before, bool known, int decimals)
{
    if (!known) {
        SetSizedText(label, QStringLiteral("前回 ？"));
        SetTextColour(label, Black);
        return;
    }
    if (!before) {
        SetSizedText(label, QStringLiteral("はじめて"));
        SetTextColour(label, Black);
        return;
    }
    SetSizedText(label, QStringLiteral("前回 ") + Change(now, *before, decimals));
    const double step = decimals == 0 ? 0.5 : 0.05;
    SetTextColour(label, now - *before >= step ? Green : *before - now >= step ? Red : Black);
}
} // namespace

Tresultdlg::Tresultdlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("けっか"));
    setFont(DrillFont(16));
    move(192, 107);

    Label1 = MakeLabel(this, QStringLiteral("結果発表"), 104, 16, DrillFont(35));
    Label2 = MakeLabel(this, QStringLiteral("文字数"), 88, 64, DrillFont(24));
    key1 = MakeLabel(this, QStringLiteral("0"), 184, 64, DrillFont(24));
    Label3 = MakeLabel(this, QStringLiteral("時間"), 96, 96, DrillFont(24));
    time1 = MakeLabel(this, QStringLiteral("0"), 184, 96, DrillFont(24));
    Label4 = MakeLabel(this, QStringLiteral("ミス回数"), 72, 128, DrillFont(24));
    missc1 = MakeLabel(this, QStringLiteral("0"), 184, 128, DrillFont(24));
    Label6 = MakeLabel(this, QStringLiteral("総合得点"), 72, 172, DrillFont(24));
    score1 = MakeLabel(this, QStringLiteral("0"), 184, 157, DrillFont(48));
    SetTextColour(score1, Red);
    hiscore1 = MakeLabel(this, QStringLiteral("はいすこあ～だよ"), 176, 202, DrillFont(16, true));
    SetTextColour(hiscore1, Green);
    hiscore1->hide();
    Label5 = MakeLabel(this, QStringLiteral("ミス多発地帯"), 120, 224, DrillFont(16));
    miss1 = MakeLabel(this, QStringLiteral("特に無し"), 24, 256, MostMissedFont());
    miss1->setFixedSize(313, 57);
    miss1->setAlignment(Qt::AlignCenter);

    speedCaption = MakeLabel(this, QStringLiteral("はやさ"), 56, SpeedTop, DrillFont(16));
    speed1 = MakeLabel(this, QString(), 136, SpeedTop, DrillFont(16, true));
    speedChange = MakeLabel(this, QString(), 240, SpeedTop, DrillFont(16));
    accuracyCaption = MakeLabel(this, QStringLiteral("せいかく"), 56, AccuracyTop, DrillFont(16));
    accuracy1 = MakeLabel(this, QString(), 136, AccuracyTop, DrillFont(16, true));
    accuracyChange = MakeLabel(this, QString(), 240, AccuracyTop, DrillFont(16));
    // Of a fixed width, its text centred: not a label that sizes itself.
    verdict1 = new QLabel(this);
    verdict1->setTextFormat(Qt::PlainText);
    verdict1->setGeometry(VerdictPlace);
    verdict1->setAlignment(Qt::AlignCenter);

    Button1 = new QPushButton(QStringLiteral("わかった"), this);
    Button1->setGeometry(ResultButton);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &Tresultdlg::Button1Click);
    hideProgress();
}

void Tresultdlg::showProgress(const DrillSummary& drill, const std::optional<DrillSummary>& previous,
                              bool previousKnown)
{
    const double speed = KeysPerMinute(drill.hits, drill.elapsedMs);
    const double accuracy = AccuracyPercent(drill.hits, drill.misses);
    SetSizedText(speed1, QStringLiteral("%1 打/分").arg(std::lround(speed)));
    SetSizedText(accuracy1, QStringLiteral("%1 %").arg(accuracy, 0, 'f', 1));
    ShowChange(speedChange, std::round(speed),
               previous ? std::optional(std::round(KeysPerMinute(previous->hits, previous->elapsedMs))) : std::nullopt,
               previousKnown, 0);
    ShowChange(accuracyChange, accuracy,
               previous ? std::optional(AccuracyPercent(previous->hits, previous->misses)) : std::nullopt,
               previousKnown, 1);
    for (QLabel* label : {speedCaption, speed1, speedChange, accuracyCaption, accuracy1, accuracyChange})
        label->show();
    verdict1->hide();
    setFixedSize(ResultSize.width(), ResultSize.height() + ProgressRows);
    Button1->setGeometry(ResultButton.translated(0, ProgressRows));
}

void Tresultdlg::showVerdict(int stars, int goal, const QString& next)
{
    if (stars > 0)
        showVerdictRow(QStringLiteral("ごうかく！ %1").arg(StarsText(stars))
                           + (next.isEmpty() ? QString() : QStringLiteral("　つぎ：%1").arg(next)),
                       true);
    else
        showVerdictRow(QStringLiteral("ごうかくは 正確さ %1% と %2 打/分").arg(PassAccuracy).arg(goal), false);
}

void Tresultdlg::showNotKept(bool passed)
{
    showVerdictRow(passed ? QStringLiteral("ごうかくの できでしたが、きろく できませんでした")
                          : QStringLiteral("この れんしゅうは きろく できませんでした"),
                   false);
}

void Tresultdlg::showVerdictRow(const QString& text, bool good)
{
    verdict1->setText(text);
    SetTextColour(verdict1, good ? Green : Red);
    // Across the dialog, centred, in the largest font that fits it.
    verdict1->setFont(LargestFittingFont(DrillFont(16, true), VerdictPlace.width(),
                                         [&](const QFont& font) { return TextWidth(font, text); }));
    verdict1->setGeometry(VerdictPlace);
    verdict1->show();
    setFixedSize(ResultSize.width(), ResultSize.height() + ProgressRows + VerdictRow);
    Button1->setGeometry(ResultButton.translated(0, ProgressRows + VerdictRow));
}

void Tresultdlg::hideProgress()
{
    for (QLabel* label : {speedCaption, speed1, speedChange, accuracyCaption, accuracy1, accuracyChange, verdict1})
        label->hide();
    setFixedSize(ResultSize);
    Button1->setGeometry(ResultButton);
}

void Tresultdlg::showEvent(QShowEvent* event)
{
    SizeLabelsOnShow(this);
    QDialog::showEvent(event);
}

void Tresultdlg::Button1Click()
{
    accept();
}

void Tresultdlg::showMostMissed(const QString& keys)
{
    miss1->setText(keys);
    // "スペース" among other keys may be wider than the label.
    SetLabelFont(miss1, LargestFittingFont(MostMissedFont(), miss1->width(),
                                           [&](const QFont& font) { return TextWidth(font, keys); }));
}
