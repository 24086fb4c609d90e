#pragma once

#include "records/recordstore.h"

#include <QDialog>

#include <QStringList>

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
    // After a lesson: what the drill earned or lacked, a line or two.
    void showVerdict(const QStringList& lines, bool passed);
    // After a lesson, the way on: the same lesson again and, after a pass,
    // the next one; "わかった" leads back to the course.
    enum class AfterLesson { Course, Again, Next };
    void offerLessons(bool next);
    AfterLesson afterLesson() const { return afterLesson_; }
    // The captions in the words KanaLabels asks for; done as it shows.
    void showCaptions();
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
    QPushButton* againButton; // "もういちど"
    QPushButton* nextButton;  // "つぎの レッスン"

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Lays out what shows below the most-missed keys: the records' two
    // rows, the verdict's lines, the buttons.
    void placeRows();

    int verdictLines_ = 0;
    bool progressShown_ = false;
    bool lessonButtons_ = false;
    AfterLesson afterLesson_ = AfterLesson::Course;
};

extern Tresultdlg* resultdlg;
