#pragma once

#include "fingers.h"
#include "records/drilltally.h"
#include "romajimatcher.h"
#include "scores.h"

#include <QDialog>
#include <QFont>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class KanaShades;
class QKeyEvent;
class QLabel;
class QTimer;
class ReadingRow;

// The drill window: shows one problem at a time, judges every key, guides
// the fingers and runs the drill clock.
class Tmain1 final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tmain1)

    // The finger labels, indexed like FingerColours; first, so that their
    // names below can refer to them.
    std::array<QLabel*, FingerCount> fingerLabels_ {};

public:
    explicit Tmain1(QWidget* parent = nullptr);

    void FormCreate();
    void FormShow();
    void FormKeyPress(QObject* Sender, char Key);
    void Timer1Timer();
    void FormClose();

    void PrepareProblems(std::uint8_t level);
    void ShowProblem(std::uint16_t index);
    void ShowFingerGuide(char ch);
    void FinishDrill();

    // The finger labels, indexed like FingerColours.
    QLabel* fingerLabel(Finger finger) const { return fingerLabels_[finger]; }

    QLabel* bu1;
    QLabel* Label4;
    QLabel* tpg;
    QLabel* Label3;
    QLabel* tpy;
    QLabel* Label5;
    QLabel* tpr;
    QLabel* tpr2;
    QLabel* tpr3;
    QLabel* Label6;
    QLabel* total1;
    QLabel* Label7;
    QLabel* hit1;
    QLabel* Label8;
    QLabel* miss1;
    QLabel* Label11;
    QLabel* time1;
    QLabel* caps1; // the Caps Lock warning
    // The teaching aids, made when their options are first on.
    QLabel* yomi1 = nullptr;     // caption of the reading row
    ReadingRow* reading1 = nullptr;
    KanaShades* shades1 = nullptr;
    QLabel* progress1 = nullptr; // the hits against the target
    // The finger labels by their names, left to right yubi1 to yubi4,
    // yubi0, yubi5 to yubi8.
    QLabel*& yubi0 = fingerLabels_[Thumbs];
    QLabel*& yubi1 = fingerLabels_[LeftLittle];
    QLabel*& yubi2 = fingerLabels_[LeftRing];
    QLabel*& yubi3 = fingerLabels_[LeftMiddle];
    QLabel*& yubi4 = fingerLabels_[LeftIndex];
    QLabel*& yubi5 = fingerLabels_[RightIndex];
    QLabel*& yubi6 = fingerLabels_[RightMiddle];
    QLabel*& yubi7 = fingerLabels_[RightRing];
    QLabel*& yubi8 = fingerLabels_[RightLittle];
    QTimer* Timer1;

    // Wide enough for 300 problems and a 255-character romaji.
    std::uint16_t ProblemIndex = 1;
    std::uint16_t CursorPos = 1;

public slots:
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refreshDrillDisplay();
    // The hits and misses, and the progress count when it shows.
    void showCounts();
    void prepareAids();
    // The captions and the finger row in the words KanaLabels asks for.
    void showCaptions();
    void fitProblemFonts();
    void showKanaGroups();
    void followTyping(std::size_t typed);
    void scrollRomaji(int scroll);
    void showFlexibleLine();
    void measureTypedWidths(const QString& romaji, const QFont& font);
    QFont nextKeyFont(const QFont& romaji) const;

    // The width of the red typed text after each number of characters,
    // laid out once per problem so that a key only resizes the label.
    // The fonts of the problem rows as drawn; a problem too wide for the
    // window takes smaller ones.
    struct DrawnFonts {
        QFont sentence, meaning, romaji, nextKey;
    };
    const DrawnFonts drawn_;
    std::array<int, RomajiMatcher::LineCapacity + 1> typedWidths_ {};
    std::string shownLine_; // the flexible romaji row as last shown
    // The learner's records: the kana of each key of the problem, and what
    // the drill's keys were so far.
    KeyKana keyKana_;
    DrillTally tally_;
    void tallyKey(char key, bool hit, const RomajiMatcher::Press& flexible);
    // Keeps the Caps Lock warning up to date with what a key event tells.
    void noteCapsLock(const QKeyEvent& event);
    void recordDrill(const DrillResult& result);
    // The romaji row, the large next key at its end: too wide at the
    // smallest readable size, it scrolls.
    int romajiWidth_ = 0;
    int romajiAhead_ = 0; // pixels kept in view after the next key
    int romajiScroll_ = 0;
    bool followsTyping_ = false; // the row scrolls or the reading shows
    // The aids of this drill, as their options were when it started.
    bool readingShown_ = false;
    bool progressShown_ = false;
    std::optional<bool> capsLock_; // unknown until a key tells
};

extern Tmain1* main1;
