#pragma once

#include "records/recordstore.h"

#include <QDialog>

#include <optional>

class QLabel;
class QPushButton;

// The results of a finished drill.
class Tresultdlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tresultdlg)

public:
    explicit Tresultdlg(QWidget* parent = nullptr);

    void Button1Click();
    // The most-missed keys, in the largest font in which they fit.
    void showMostMissed(const QString& keys);
    // With records: the drill's keys per minute and accuracy, each against
    // the drill before it of the same level and mode (which the records may
    // not tell just now). Without, the dialog as it always was.
    void showProgress(const DrillSummary& drill, const std::optional<DrillSummary>& previous,
                      bool previousKnown = true);
    void hideProgress();
    // After a lesson that was kept: passed with its stars, and the lesson it
    // opens; or what passing takes.
    void showVerdict(int stars, int goal, const QString& next);
    // After a drill that could not be kept: no pass is announced, for none
    // would open the next lesson.
    void showNotKept(bool passed);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* key1;
    QLabel* Label3;
    QLabel* time1;
    QLabel* Label4;
    QLabel* missc1;
    QLabel* Label6;
    QLabel* score1;
    QLabel* hiscore1;
    QLabel* Label5;
    QLabel* miss1;
    QPushButton* Button1;
    QLabel* speedCaption;
    QLabel* speed1;
    QLabel* speedChange;
    QLabel* accuracyCaption;
    QLabel* accuracy1;
    QLabel* accuracyChange;
    QLabel* verdict1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showVerdictRow(const QString& text, bool good);
};

extern Tresultdlg* resultdlg;
