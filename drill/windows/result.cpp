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
// A lesson's three buttons in the row of "わかった".
constexpr QRect AgainButton {16, 336, 96, 33};
constexpr QRect NextButton {120, 336, 136, 33};
constexpr QRect LessonDoneButton {264, 336, 77, 33};

void ShowChange(QLabel* label, double now, std::optional<double> before, bool known, int decimals)
{
    if (!known) {
        SetSizedText(label, QStringLiteral("まえは ？"));
        SetTextColour(label, Black);
        return;
    }
    if (!before) {
        SetSizedText(label, QStringLiteral("はじめて"));
        SetTextColour(label, Black);
        return;
    }
    SetSizedText(label, Change(now, *before, decimals));
    const double step = decimals == 0 ? 0.5 : 0.05;
    SetTextColour(label, now - *before >= step ? Green : *before - now >= step ? Red : Black);
}
} // namespace

Tresultdlg::Tresultdlg(QWidget* parent)
    : QDialog(parent, DialogFrame)
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
    againButton = new QPushButton(QStringLiteral("もういちど"), this);
    nextButton = new QPushButton(QStringLiteral("つぎの レッスン"), this);
    for (QPushButton* button : {againButton, nextButton}) {
        button->setAutoDefault(false);
        button->hide();
    }
    connect(againButton, &QPushButton::clicked, this, [this] {
        afterLesson_ = AfterLesson::Again;
        accept();
    });
    connect(nextButton, &QPushButton::clicked, this, [this] {
        afterLesson_ = AfterLesson::Next;
        accept();
    });
    hideProgress();
}

void Tresultdlg::placeRows()
{
    const int below = (progressShown_ ? ProgressRows : 0) + verdictLines_ * VerdictRow;
    verdict1->setGeometry(VerdictPlace.adjusted(0, 0, 0, (verdictLines_ - 1) * VerdictRow));
    verdict1->setVisible(verdictLines_ > 0);
    againButton->setVisible(lessonButtons_);
    againButton->setGeometry(AgainButton.translated(0, below));
    nextButton->setGeometry(NextButton.translated(0, below));
    Button1->setGeometry((lessonButtons_ ? LessonDoneButton : ResultButton).translated(0, below));
    setFixedSize(ResultSize.width(), ResultSize.height() + below);
}

void Tresultdlg::showProgress(const DrillSummary& drill, const std::optional<DrillSummary>& previous,
                              bool previousKnown)
{
    const double speed = KeysPerMinute(drill.hits, drill.elapsedMs);
    const double accuracy = AccuracyPercent(drill.hits, drill.misses);
    SetSizedText(speed1, QString::number(std::lround(speed)));
    // Whole numbers: a child meets decimals later than percentages.
    SetSizedText(accuracy1, QStringLiteral("%1%").arg(std::floor(accuracy)));
    ShowChange(speedChange, std::round(speed),
               previous ? std::optional(std::round(KeysPerMinute(previous->hits, previous->elapsedMs))) : std::nullopt,
               previousKnown, 0);
    ShowChange(accuracyChange, std::floor(accuracy),
               previous ? std::optional(std::floor(AccuracyPercent(previous->hits, previous->misses))) : std::nullopt,
               previousKnown, 0);
    for (QLabel* label : {speedCaption, speed1, speedChange, accuracyCaption, accuracy1, accuracyChange})
        label->show();
    progressShown_ = true;
    placeRows();
}

void Tresultdlg::showVerdict(const QStringList& lines, bool passed)
{
    verdict1->setText(lines.join(QLatin1Char('\n')));
    SetTextColour(verdict1, passed ? Green : Red);
    // Across the dialog, centred, in the largest font that fits it.
    verdict1->setFont(LargestFittingFont(DrillFont(16, true), VerdictPlace.width(),
                                         [&](const QFont& font) { return TextWidth(font, verdict1->text()); }));
    verdictLines_ = int(lines.size());
    placeRows();
}

void Tresultdlg::showNotKept(bool passed)
{
    showVerdict({passed ? QStringLiteral("ごうかくでしたが、きろく できませんでした")
                        : QStringLiteral("この れんしゅうは きろく できませんでした")},
                false);
}

void Tresultdlg::offerLessons(bool next)
{
    lessonButtons_ = true;
    nextButton->setVisible(next);
    placeRows();
}

void Tresultdlg::hideProgress()
{
    for (QLabel* label : {speedCaption, speed1, speedChange, accuracyCaption, accuracy1, accuracyChange})
        label->hide();
    progressShown_ = false;
    verdictLines_ = 0;
    lessonButtons_ = false;
    nextButton->hide();
    afterLesson_ = AfterLesson::Course;
    placeRows();
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
