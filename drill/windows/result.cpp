#include "result.h"

#include "captions.h"
#include "course/course.h"
#include "records/recordstats.h"
#include "settings/options.h"
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
// The columns of those rows: caption, figure, change.
constexpr int RecordCaptionLeft = 16;
constexpr int RecordFigureLeft = 176;
constexpr int RecordChangeLeft = 240;
// A child's captions of the figures end here, before the figures at 184.
constexpr int FigureCaptionsEnd = 168;
constexpr QRect VerdictPlace {8, 368, 341, 22};
constexpr int VerdictRow = 26;

void ShowChange(QLabel* label, double now, std::optional<double> before, int decimals)
{
    if (!before) {
        SetSizedText(label, QStringLiteral("はじめて"));
        SetTextColour(label, Black);
        return;
    }
    SetSizedText(label, QStringLiteral("まえより ") + Change(now, *before, decimals));
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

    // Rows of the records, in a child's words whatever KanaLabels says.
    speedCaption = MakeLabel(this, QString::fromUtf8(KeysPerMinuteCaption), RecordCaptionLeft, SpeedTop, DrillFont(16));
    speed1 = MakeLabel(this, QString(), RecordFigureLeft, SpeedTop, DrillFont(16, true));
    speedChange = MakeLabel(this, QString(), RecordChangeLeft, SpeedTop, DrillFont(16));
    accuracyCaption = MakeLabel(this, QString::fromUtf8(AccuracyCaption), RecordCaptionLeft, AccuracyTop, DrillFont(16));
    accuracy1 = MakeLabel(this, QString(), RecordFigureLeft, AccuracyTop, DrillFont(16, true));
    accuracyChange = MakeLabel(this, QString(), RecordChangeLeft, AccuracyTop, DrillFont(16));
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

void Tresultdlg::showProgress(const DrillSummary& drill, const std::optional<DrillSummary>& previous)
{
    const double speed = KeysPerMinute(drill.hits, drill.elapsedMs);
    const double accuracy = AccuracyPercent(drill.hits, drill.misses);
    SetSizedText(speed1, QString::number(std::lround(speed)));
    SetSizedText(accuracy1, QStringLiteral("%1 %").arg(accuracy, 0, 'f', 1));
    ShowChange(speedChange, std::round(speed),
               previous ? std::optional(std::round(KeysPerMinute(previous->hits, previous->elapsedMs))) : std::nullopt, 0);
    ShowChange(accuracyChange, accuracy,
               previous ? std::optional(AccuracyPercent(previous->hits, previous->misses)) : std::nullopt, 1);
    for (QLabel* label : {speedCaption, speed1, speedChange, accuracyCaption, accuracy1, accuracyChange})
        label->show();
    verdict1->hide();
    setFixedSize(ResultSize.width(), ResultSize.height() + ProgressRows);
    Button1->setGeometry(ResultButton.translated(0, ProgressRows));
}

void Tresultdlg::showVerdict(int stars, int goal, const QString& next)
{
    if (stars > 0) {
        verdict1->setText(QStringLiteral("ごうかく！ %1").arg(StarsText(stars))
                                   + (next.isEmpty() ? QString() : QStringLiteral("　つぎ：%1").arg(next)));
        SetTextColour(verdict1, Green);
    } else {
        verdict1->setText(QStringLiteral("ごうかくは 正確さ %1% と %2 打/分").arg(PassAccuracy).arg(goal));
        SetTextColour(verdict1, Red);
    }
    // Across the dialog, centred, in the largest font that fits it.
    const QString text = verdict1->text();
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

void Tresultdlg::showCaptions()
{
    // Drawn, each caption where it was; in a child's words the heading
    // stands in the middle, the figures' captions end before the figures and
    // the most-missed keys' caption stands over them.
    const bool child = KanaLabels;
    const auto caption = [](CaptionId c) { return QString::fromUtf8(ShownCaption(c)); };
    SetSizedText(Label1, caption(CaptionId::Results));
    Label1->move(child ? (ResultSize.width() - Label1->width()) / 2 : 104, 16);
    const struct {
        QLabel* label;
        CaptionId caption;
        QPoint drawn;
    } figures[] = {
        {Label2, CaptionId::ResultHits, {88, 64}},
        {Label3, CaptionId::ResultTime, {96, 96}},
        {Label4, CaptionId::ResultMisses, {72, 128}},
        {Label6, CaptionId::Score, {72, 172}},
    };
    for (const auto& f : figures) {
        SetSizedText(f.label, caption(f.caption));
        f.label->move(child ? FigureCaptionsEnd - f.label->width() : f.drawn.x(), f.drawn.y());
    }
    SetSizedText(hiscore1, caption(CaptionId::HighScore));
    SetSizedText(Label5, caption(CaptionId::MostMissed));
    Label5->move(child ? miss1->geometry().center().x() - Label5->width() / 2 : 120, 224);
}

void Tresultdlg::showEvent(QShowEvent* event)
{
    showCaptions();
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
