#pragma once

#include "guide.h"
#include "scores.h"
#include "roma.h"
#include "tally.h"

#include <QDialog>
#include <QFont>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class QKeyEvent;
class QLabel;
class QTimer;

// The drill window: shows one problem at a time, judges every key, guides
// the fingers and runs the drill clock.
class Tmain1 final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tmain1)

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
    QLabel* yubi0;
    QLabel* yubi1;
    QLabel* yubi2;
    QLabel* yubi3;
    QLabel* yubi4;
    QLabel* yubi5;
    QLabel* yubi6;
    QLabel* yubi7;
    QLabel* yubi8;
    QTimer* Timer1;

    // Wide enough for 300 problems and a 255-character romaji.
    std::uint16_t ProblemIndex = 1;
    std::uint16_t CursorPos = 1;

    // Keeps the Caps Lock warning up to date with what a key event tells;
    // the keyboard window hands its key events here too.
    void noteCapsLock(const QKeyEvent& event);

public slots:
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refreshDrillDisplay();
    void fitProblemFonts();
    void showFlexibleLine();
    void measureTypedWidths(const QString& romaji, const QFont& font);
    QFont nextKeyFont(const QFont& romaji) const;

    std::array<QLabel*, FingerCount> fingerLabels_ {};
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
    void recordDrill(const DrillResult& result);
    std::optional<bool> capsLock_; // unknown until a key tells
};

extern Tmain1* main1;
