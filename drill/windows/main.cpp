#include "main.h"

#include "captions.h"
#include "clock.h"
#include "course/course.h"
#include "course/lessonrun.h"
#include "course/weaklesson.h"
#include "fingerguide.h"
#include "kanagroups.h"
#include "keyboard.h"
#include "keyboardlayout.h"
#include "keyinput.h"
#include "keystroke.h"
#include "platform.h"
#include "problems.h"
#include "records/recordkeeper.h"
#include "records/recordstats.h"
#include "result.h"
#include "romajitable.h"
#include "rowscroll.h"
#include "session.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "stop.h"
#include "widgets/drawing.h"
#include "widgets/kanashades.h"
#include "widgets/readingrow.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QShowEvent>
#include <QTextLayout>
#include <QTimer>

#include <cmath>

Tmain1* main1 = nullptr;

namespace {

// Large tables, made once per problem: kept out of the window.
RomajiMatcher FlexibleMatch;
KanaGroups Groups;

constexpr int TimerInterval = 50;
constexpr std::uint8_t BooTicks = 5;
constexpr int NextCharTop = 134;
constexpr int RowLeft = 96; // of every problem row
constexpr int RomajiTop = 104;
constexpr int ReadingTop = 84;
constexpr int ReadingHeight = 18;
constexpr int MeaningGap = 4; // between the meaning and the reading row
constexpr int FingerRowTop = 184;

constexpr int NextKeyPixels = 37;
constexpr int RomajiPixels = 24;
constexpr int CaptionPixels = 16;
constexpr int ClockCaptionPixels = 21;
constexpr int CaptionGap = 4; // between a caption and what it captions

// A caption where it was drawn, in its drawn font or the largest smaller
// one, down to the smallest readable, in which it fits `room`; a smaller
// font keeps the middle of the drawn one's line.
void FitCaption(QLabel* label, const QString& text, QPoint place, int pixels, int room)
{
    const QFont font = LargestFittingFont(DrillFont(pixels), room, [&](const QFont& f) { return TextWidth(f, text); },
                                          SmallestReadablePixels);
    SetLabelFont(label, font);
    SetSizedText(label, text);
    label->move(place.x(), place.y() + (pixels - font.pixelSize()) / 2);
}

// The next key keeps its size in proportion to the romaji row it follows.
int NextKeyPixelsFor(const QFont& romaji)
{
    return NextKeyPixels * romaji.pixelSize() / RomajiPixels;
}

} // namespace

Tmain1::Tmain1(QWidget* parent)
    : QDialog(parent, DialogFrame | Qt::WindowMinimizeButtonHint),
      drawn_ {DrillFont(21, true), DrillFont(16), DrillFont(RomajiPixels), DrillFont(NextKeyPixels)}
{
    setWindowTitle(QStringLiteral("ポプリカ　ぷるるん"));
    setFixedSize(631, 293);
    setFont(DrillFont(16));
    // Romaji keys must arrive as keys, whatever input method is on.
    setAttribute(Qt::WA_InputMethodEnabled, false);

    // Created first, so it stands behind every other label.
    bu1 = MakeLabel(this, QStringLiteral("ぶ～"), 72, 40, DrillFontForCell(200));
    bu1->setFixedSize(400, 200);
    bu1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColour(bu1, Olive);
    bu1->hide();

    Label4 = MakeLabel(this, QStringLiteral("文章"), 24, 16, DrillFont(16));
    tpg = MakeLabel(this, QStringLiteral("テスト"), 96, 16, drawn_.sentence);
    Label3 = MakeLabel(this, QStringLiteral("練習"), 24, 48, DrillFont(16));
    tpy = MakeLabel(this, QStringLiteral("問題です"), 96, 48, drawn_.meaning);
    Label5 = MakeLabel(this, QStringLiteral("入力文字"), 16, 112, DrillFont(16));
    tpr = MakeLabel(this, QStringLiteral("tesuto"), 96, 104, drawn_.romaji);
    tpr2 = MakeLabel(this, QStringLiteral("fjtesuto"), 96, 140, drawn_.romaji);
    SetTextColour(tpr2, Red);
    tpr3 = MakeLabel(this, QStringLiteral("t"), 96, NextCharTop, drawn_.nextKey);
    SetTextColour(tpr3, Teal);
    Label6 = MakeLabel(this, QStringLiteral("全文字数"), 32, 216, DrillFont(16));
    total1 = MakeLabel(this, QStringLiteral("0"), 112, 216, DrillFont(16));
    Label7 = MakeLabel(this, QStringLiteral("正解数"), 32, 240, DrillFont(16));
    hit1 = MakeLabel(this, QStringLiteral("0"), 112, 240, DrillFont(19, true));
    SetTextColour(hit1, Teal);
    Label8 = MakeLabel(this, QStringLiteral("間違い"), 32, 264, DrillFont(16));
    miss1 = MakeLabel(this, QStringLiteral("0"), 112, 264, DrillFont(16));
    Label11 = MakeLabel(this, QStringLiteral("残り時間"), 328, 216, DrillFont(21));
    time1 = MakeLabel(this, QStringLiteral(" 60.000"), 424, 216, DrillFont(27, true));
    SetTextColour(time1, Red);
    caps1 = MakeLabel(this, QStringLiteral("CapsLock がオンです"), 328, 256, DrillFont(21, true));
    SetTextColour(caps1, Red);
    caps1->hide();

    for (const DrillFingerCell& f : DrillFingerCells) {
        QLabel* label = MakeLabel(this, QString::fromUtf8(CaptionText(f.caption, false)), f.left, FingerRowTop,
                                  DrillFont(16));
        label->setAlignment(Qt::AlignCenter);
        label->setFixedSize(f.width, 16);
        SetTextColour(label, Silver);
        SetBackground(label, Qt::black);
        fingerLabels_[f.finger] = label;
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(TimerInterval);
    connect(Timer1, &QTimer::timeout, this, &Tmain1::Timer1Timer);

    FormCreate();
}

void Tmain1::FormCreate()
{
    PlaceDrillWindow(*this);
    // Drills that waited for the records' file when the program last ran
    // are written soon after the start.
    if (RecordsKept())
        Recorder().resumeWaiting();
}

void Tmain1::showEvent(QShowEvent* event)
{
    SizeLabelsOnShow(this);
    QDialog::showEvent(event);
    // A window restored from the task bar is no new drill.
    if (!event->spontaneous())
        FormShow();
}

void Tmain1::FormShow()
{
    Counters.MissByChar.fill(0);
    if (RecordsKept())
        tally_.clear();
    prepareAids();
    PrepareProblems(Counters.Level);
    if (Problems.Count == 0)
        return;
    refreshDrillDisplay();
    if (kb1)
        kb1->followSizeOption();
    if (ShowKeyboard && kb1) {
        kb1->show();
        kb1->raise();
    }
}

void Tmain1::refreshDrillDisplay()
{
    const bool timeTrial = IsTimeTrial(Counters.Mode);
    const auto limit = static_cast<std::uint32_t>(std::max<std::int32_t>(0, Counters.TimeLimit)) * 1000u;
    SetSizedText(time1, QString::fromLatin1(ClockText(timeTrial ? std::min(limit, 999999u) : 0).c_str()));
    showCounts();
    bu1->hide();
    Counters.BooCountdown = 0;
}

void Tmain1::showCounts()
{
    SetSizedText(hit1, QString::number(Counters.Hits));
    SetSizedText(miss1, QString::number(Counters.Misses));
    if (progressShown_)
        SetSizedText(progress1, QString::fromStdString(ProgressText(Counters.Hits, TargetHits(Counters))));
}

void Tmain1::prepareAids()
{
    // Made at the first drill that needs them, so that they cost nothing
    // while their options are off.
    if (ShowReading && !reading1) {
        yomi1 = MakeLabel(this, QStringLiteral("よみ"), 24, ReadingTop, DrillFont(16));
        reading1 = new ReadingRow(this, QRect(RowLeft, ReadingTop, width() - RowLeft, ReadingHeight));
        shades1 = new KanaShades(this);
        shades1->lower();
    }
    readingShown_ = ShowReading;
    if (reading1)
        for (QWidget* aid : std::initializer_list<QWidget*> {yomi1, reading1, shades1})
            aid->setVisible(readingShown_);
    // A lesson's run shows how far it has come, whatever the option.
    const bool showProgress = ShowProgress || Counters.Mode == LessonMode;
    if (showProgress && !progress1) {
        progress1 = MakeLabel(this, QString(), 536, 221, DrillFont(19, true));
        SetTextColour(progress1, Teal);
    }
    progressShown_ = showProgress;
    if (progress1)
        progress1->setVisible(progressShown_);
    showCaptions();
}

void Tmain1::showCaptions()
{
    // Each caption in the words KanaLabels asks for, in the room before
    // what it captions; drawn as they were, they keep their fonts.
    const struct {
        QLabel* label;
        CaptionId caption;
        QPoint place;
        int pixels;
        int room;
    } captions[] = {
        {Label4, CaptionId::Sentence, {24, 16}, CaptionPixels, RowLeft - 24},
        {Label5, CaptionId::Romaji, {16, 112}, CaptionPixels, RowLeft - 16},
        {Label6, CaptionId::Total, {32, 216}, CaptionPixels, 112 - 32},
        {Label7, CaptionId::Hits, {32, 240}, CaptionPixels, 112 - 32},
        {Label8, CaptionId::Misses, {32, 264}, CaptionPixels, 112 - 32},
        {Label11, progressShown_ && !IsTimeTrial(Counters.Mode) ? CaptionId::Time : CaptionId::TimeLeft, {328, 216},
         ClockCaptionPixels, 424 - 328},
    };
    for (const auto& c : captions)
        FitCaption(c.label, QString::fromUtf8(ShownCaption(c.caption)), c.place, c.pixels, c.room - CaptionGap);
    // Its text is the title window's, set as the drill starts.
    FitCaption(Label3, Label3->text(), {24, 48}, CaptionPixels, RowLeft - 24 - CaptionGap);

    // The finger row in one font, the largest in which every caption fits
    // its cell; a cell too narrow even at the smallest widens about its
    // middle, into the room between the cells.
    const auto text = [](const DrillFingerCell& f) { return QString::fromUtf8(ShownCaption(f.caption)); };
    const QFont row = LargestFittingFont(DrillFont(CaptionPixels), 0, [&](const QFont& font) {
        int over = 0;
        for (const DrillFingerCell& f : DrillFingerCells)
            over = std::max(over, TextWidth(font, text(f)) - f.width);
        return over;
    }, SmallestReadablePixels);
    for (const DrillFingerCell& f : DrillFingerCells) {
        QLabel* label = fingerLabels_[f.finger];
        const int textWidth = TextWidth(row, text(f));
        const int width = textWidth > f.width ? textWidth + CaptionGap : f.width;
        label->setFont(row);
        label->setText(text(f));
        label->setFixedSize(width, 16);
        label->move(f.left - (width - f.width) / 2, FingerRowTop);
    }
}

void Tmain1::PrepareProblems(std::uint8_t level)
{
    Preparation prepared;
    if (!ChosenLesson)
        prepared = PrepareProblemSet(level, Problems, Counters, DrillRandom);
    else if (ChosenLesson->name == WeakLessonName)
        prepared = PrepareGivenSet(WeakLessonSet, Problems, Counters, DrillRandom);
    else
        prepared = PrepareLessonRun(CourseFilePath(ChosenLesson->name), ChosenLesson->newKeys,
                                    ChosenLesson->runLength, Problems, Counters, DrillRandom);
    switch (prepared) {
    case Preparation::Ready:
        ProblemIndex = 1;
        ShowProblem(1);
        return;
    case Preparation::Terminated:
        // The program ends as soon as its event loop runs.
        return;
    case Preparation::Empty:
        // Nothing to type: back to the title window. Closing must wait for
        // the modal loop, which has not started inside the show event.
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
}

void Tmain1::ShowProblem(std::uint16_t index)
{
    const Problem& p = Problems.problem(index);
    SetSizedText(tpy, LabelText(p.Meaning));
    SetSizedText(tpg, LabelText(p.Sentence));
    if (JudgesSpellings()) {
        // The row the matcher follows, which a very long reading may carry
        // past the 255 keys the romaji text keeps.
        FlexibleMatch.start(p.Reading, ShownTable(), SokuonRomaji, JudgedSpellings());
        shownLine_.assign(FlexibleMatch.line());
    }
    if (RecordsKept() && !JudgesSpellings())
        MapKeysToKana(p.Reading, RomajiTable, SokuonRomaji, keyKana_);
    SetSizedText(tpr, LabelText(JudgesSpellings() ? std::string_view(shownLine_) : p.Romaji.view()));
    fitProblemFonts();
    CursorPos = 1;
    tpr2->setText(QString());
    tpr2->resize(0, tpr2->height());
    scrollRomaji(0);
    if (readingShown_) {
        showKanaGroups();
        reading1->setReading(p.Reading, Groups);
    }
    Counters.TotalChars = static_cast<std::uint16_t>(Counters.TotalChars + p.Romaji.size());
    SetSizedText(total1, QString::number(Counters.TotalChars));
    ShowFingerGuide(p.Romaji.at(1));
}

void Tmain1::fitProblemFonts()
{
    // Every row starts at the romaji's left edge and must end inside the
    // window, in a size a learner can read. Rows that fit keep their fonts
    // as drawn, which sizing a label to its text has measured already.
    const int room = width() - RowLeft;
    FitLabelToRoom(tpg, drawn_.sentence, room);
    FitLabelToRoom(tpy, drawn_.meaning, room);
    // A meaning of two lines keeps clear of the reading row under it.
    if (readingShown_)
        FitLabelToHeight(tpy, ReadingTop - MeaningGap - tpy->y());

    // The romaji row, with the large next key where the last character
    // will stand; the widths of the typed text come with it.
    const QString romaji = tpr->text();
    const QString last = romaji.right(1);
    measureTypedWidths(romaji, drawn_.romaji);
    const qsizetype length = std::min<qsizetype>(romaji.size(), qsizetype(typedWidths_.size()) - 1);
    const auto measuredWidth = [&](const QFont& nextKey) {
        return std::max(typedWidths_[length], typedWidths_[std::max<qsizetype>(0, length - 1)] + TextWidth(nextKey, last));
    };
    QFont romajiFont = drawn_.romaji;
    romajiWidth_ = measuredWidth(drawn_.nextKey);
    if (romajiWidth_ > room) {
        romajiFont = LargestFittingFont(drawn_.romaji, room, [&](const QFont& font) {
            return std::max(TextWidth(font, romaji), TextWidth(font, romaji.chopped(1)) + TextWidth(nextKeyFont(font), last));
        }, SmallestReadablePixels);
        measureTypedWidths(romaji, romajiFont);
        romajiWidth_ = measuredWidth(nextKeyFont(romajiFont));
        // Too wide even so, the row scrolls: the large next key and a few
        // keys after it stay in view.
        romajiAhead_ = TextWidth(nextKeyFont(romajiFont), QStringLiteral("W")) + 4 * TextWidth(romajiFont, QStringLiteral("w"));
    }
    followsTyping_ = readingShown_ || romajiWidth_ > room;
    SetLabelFont(tpr, romajiFont);
    SetLabelFont(tpr2, romajiFont);
    SetLabelFont(tpr3, nextKeyFont(romajiFont));
}

QFont Tmain1::nextKeyFont(const QFont& romaji) const
{
    return romaji == drawn_.romaji ? drawn_.nextKey : DrillFont(NextKeyPixelsFor(romaji));
}

void Tmain1::showKanaGroups()
{
    const Problem& p = Problems.problem(ProblemIndex);
    if (JudgesSpellings())
        GroupByMatcher(FlexibleMatch, Groups);
    else
        GroupByConversion(p.Reading, RomajiTable, SokuonRomaji, p.Romaji.size(), Groups);
    const std::size_t keys = std::min<std::size_t>(tpr->text().size(), typedWidths_.size() - 1);
    shades1->setBands(Groups, typedWidths_.data(), keys + 1);
    shades1->setGeometry(tpr->x(), RomajiTop, romajiWidth_, tpr->height());
}

void Tmain1::followTyping(std::size_t typed)
{
    scrollRomaji(RowScroll(romajiScroll_, romajiWidth_, width() - RowLeft,
                           typedWidths_[std::min(typed, typedWidths_.size() - 1)], romajiAhead_));
    if (readingShown_)
        reading1->mark(JudgesSpellings() ? FlexibleMatch.currentUnit() : GroupOfKey(Groups, typed));
}

void Tmain1::scrollRomaji(int scroll)
{
    if (scroll == romajiScroll_)
        return;
    romajiScroll_ = scroll;
    // Scrolled, the rows keep out of the captions at their left.
    const QRegion view(scroll, 0, width() - RowLeft, height());
    for (QWidget* row : std::initializer_list<QWidget*> {tpr, tpr2, shades1}) {
        if (!row)
            continue;
        row->move(RowLeft - scroll, row->y());
        if (scroll)
            row->setMask(view);
        else
            row->clearMask();
    }
}

void Tmain1::measureTypedWidths(const QString& romaji, const QFont& font)
{
    QTextLayout layout(romaji, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QTextLine line = layout.lineAt(0);
    const qsizetype count = std::min<qsizetype>(romaji.size(), qsizetype(typedWidths_.size()) - 1);
    for (qsizetype n = 0; n <= count; ++n)
        typedWidths_[std::size_t(n)] = static_cast<int>(std::ceil(line.cursorToX(static_cast<int>(n))));
}

void Tmain1::ShowFingerGuide(char ch)
{
    const FingerGuide guide = ShowShift ? GuideWithShift(ch, FingerTable, FingerColours, KeyColour)
                                        : GuideFor(ch, FingerTable, FingerColours, KeyColour);
    KeyColour = guide.keyColour;
    for (std::size_t f = 0; f < FingerCount; ++f) {
        const auto finger = static_cast<Finger>(f);
        if (guide.lit[f])
            SetColours(fingerLabels_[f], ToQColor(FingerColours[f]), ToQColor(CaptionColourOn(FingerColours[f])));
        else
            SetColours(fingerLabels_[f], Qt::black, ToQColor(Silver));
        if (kb1)
            kb1->lightFinger(finger, guide.lit[f] ? std::optional<Colour>(FingerColours[f]) : std::nullopt);
    }
    if (kb1 && ShowShift)
        kb1->lightKeys(guide);
    else if (kb1)
        kb1->kbd(ch);
    SetSizedText(tpr3, LabelText(std::string_view(&ch, 1)));
    tpr3->move(tpr2->x() + tpr2->width(), NextCharTop);
}

void Tmain1::FormKeyPress(QObject* /*Sender*/, char Key)
{
    if (EscapeEnds && Key == '\x1b') {
        close();
        return;
    }
    // Keys before the set is ready, or after it proved empty, judge nothing.
    if (Problems.Count == 0)
        return;
    if (!Timer1->isActive()) {
        Counters.StartTime = CurrentPlatform().milliseconds();
        Timer1->start();
    }
    const RomajiText& romaji = Problems.problem(ProblemIndex).Romaji;
    const bool spellings = JudgesSpellings();
    RomajiMatcher::Press flexible;
    if (spellings)
        flexible = FlexibleMatch.press(Key);
    const bool hit = spellings ? flexible.hit : KeyHits(romaji, CursorPos, Key);
    if (RecordsKept())
        tallyKey(Key, hit, flexible);
    if (hit) {
        if (spellings) {
            showFlexibleLine();
        } else {
            tpr2->setText(LabelText(romaji.view().substr(0, CursorPos)));
            tpr2->resize(typedWidths_[CursorPos], tpr2->height());
            ++CursorPos;
        }
        if (followsTyping_)
            followTyping(CursorPos - 1u);
        ++Counters.Hits;
        bu1->hide();
        if (KeySound)
            CurrentPlatform().playSound(Platform::Sound::Hit);
        if (spellings ? !flexible.done : romaji.size() >= CursorPos) {
            ShowFingerGuide(spellings ? FlexibleMatch.nextKey() : romaji.at(CursorPos));
        } else {
            ++ProblemIndex;
            if (ProblemIndex > Problems.Count)
                ProblemIndex = 1;
            ShowProblem(ProblemIndex);
        }
    } else {
        // The miss is charged to the key the romaji row shows next.
        const char expected = spellings ? flexible.expected : ExpectedChar(romaji, CursorPos);
        ++Counters.Misses;
        ++Counters.MissByChar[static_cast<unsigned char>(expected)];
        Counters.BooCountdown = BooTicks;
        bu1->show();
        if (KeySound)
            CurrentPlatform().playSound(Platform::Sound::Miss);
    }
    showCounts();
    if (TargetHits(Counters) != 0 && Counters.Hits == TargetHits(Counters))
        FinishDrill();
}

void Tmain1::tallyKey(char key, bool hit, const RomajiMatcher::Press& flexible)
{
    // A miss counts against the key that was due, as the drill charges it.
    if (JudgesSpellings()) {
        tally_.count(hit ? key : flexible.expected, flexible.smallTsu ? SmallTsuSlot : flexible.line, hit);
        return;
    }
    const std::uint16_t kana = CursorPos >= 1 && CursorPos <= keyKana_.count ? keyKana_.slot[CursorPos - 1u] : KanaSlotCount;
    tally_.count(hit ? key : ExpectedChar(Problems.problem(ProblemIndex).Romaji, CursorPos), kana, hit);
}

void Tmain1::showFlexibleLine()
{
    // The romaji row follows the spelling the learner takes; it is laid out
    // again only when it changed.
    const std::string_view line = FlexibleMatch.line();
    if (line != shownLine_) {
        shownLine_.assign(line);
        SetSizedText(tpr, LabelText(line));
        fitProblemFonts();
        if (readingShown_)
            showKanaGroups();
    }
    const std::size_t typed = FlexibleMatch.typedCount();
    tpr2->setText(tpr->text().left(qsizetype(typed)));
    tpr2->resize(typedWidths_[std::min(typed, typedWidths_.size() - 1)], tpr2->height());
    CursorPos = static_cast<std::uint16_t>(typed + 1);
}

void Tmain1::Timer1Timer()
{
    const ClockReading clock =
        ReadClock(Counters.Mode, Counters.TimeLimit, Counters.StartTime, CurrentPlatform().milliseconds());
    SetSizedText(time1, QString::fromLatin1(ClockText(clock.shown).c_str()));
    if (clock.timeUp)
        FinishDrill();
    if (Counters.BooCountdown > 0) {
        --Counters.BooCountdown;
        if (Counters.BooCountdown == 0)
            bu1->hide();
    }
}

void Tmain1::FinishDrill()
{
    Timer1->stop();
    // Scored before the banner, so that a session that ends during it
    // keeps a new best.
    const DrillResult result = ScoreDrill(Counters, time1->text().toStdString());
    // A lesson's drill has no level, and no place in the high scores.
    const bool newBest = !ChosenLesson && RecordScore(HighScoreTable, Counters.Level, Counters.Mode, result.score);
    // The records' file is opened while the banner shows, so that the
    // result dialog waits only for the drill's own row.
    if (RecordsKept())
        QTimer::singleShot(0, stopdlg, [] { Recorder().store(); });
    stopdlg->exec();
    if (EndRequested())
        return;
    resultdlg->showMostMissed(LabelText(MostMissedKeys(Counters)));
    SetSizedText(resultdlg->missc1, QString::number(Counters.Misses));
    SetSizedText(resultdlg->time1, QString::fromStdString(result.timeText));
    SetSizedText(resultdlg->key1, hit1->text());
    SetSizedText(resultdlg->score1, QString::number(result.score));
    resultdlg->hiscore1->setVisible(newBest);
    // A new best goes to disk as it is shown, not only at the end.
    if (newBest)
        SaveSettings();
    resultdlg->hideProgress();
    if (RecordsKept())
        recordDrill(result);
    resultdlg->exec();
    close();
}

void Tmain1::recordDrill(const DrillResult& result)
{
    DrillSummary drill;
    drill.finishedAt = RecordTime(QDateTime::currentDateTimeUtc());
    drill.level = Counters.Level;
    drill.mode = Counters.Mode;
    drill.hits = Counters.Hits;
    drill.misses = Counters.Misses;
    drill.elapsedMs = result.elapsedMs;
    drill.score = result.score;
    if (ChosenLesson)
        drill.lesson = ChosenLesson->name;
    // A lesson's stars are kept as earned, against the goal it was played at.
    if (ChosenLesson && ChosenLesson->goal > 0) {
        drill.goal = ChosenLesson->goal;
        drill.stars = StarsFor(drill, drill.goal);
    }
    const RecordKeeper::Recorded recorded = Recorder().record(MakeDrillRecord(drill, tally_, RomajiTable));
    resultdlg->showProgress(drill, recorded.previous, recorded.previousKnown);
    if (!ChosenLesson)
        return;
    const int stars = drill.stars.value_or(0);
    // A pass counts only where it is kept, now or once the file is free.
    const bool kept = recorded.kept != RecordKeeper::Kept::Not;
    if (!kept)
        resultdlg->showNotKept(stars > 0);
    else if (drill.stars)
        resultdlg->showVerdict(LessonVerdictText(stars, AccuracyPercent(drill.hits, drill.misses),
                                                 KeysPerMinute(drill.hits, drill.elapsedMs), drill.goal,
                                                 ChosenLesson->next),
                               stars > 0);
    resultdlg->offerLessons(kept && stars > 0 && !ChosenLesson->next.isEmpty());
}

void Tmain1::FormClose()
{
    Timer1->stop();
    if (kb1)
        kb1->close();
}

void Tmain1::done(int result)
{
    FormClose();
    QDialog::done(result);
}

bool Tmain1::event(QEvent* event)
{
    // The drill sees every key first: Tab, Enter and Escape are keys to
    // judge, never focus moves, default buttons or a way to close.
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<QKeyEvent&>(*event);
        noteCapsLock(key);
        DeliverKeyPresses(this, key, [this](char k) { FormKeyPress(this, k); });
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QDialog::event(event);
}

void Tmain1::noteCapsLock(const QKeyEvent& event)
{
    // Keys are judged as they come; the warning only says why they miss.
    capsLock_ = CapsLockAfter(event, capsLock_);
    caps1->setVisible(capsLock_.value_or(false));
}
