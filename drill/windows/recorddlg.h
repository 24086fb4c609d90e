#pragma once


#include <QDialog>
#include "course/course.h"

#include <QDate>

#include <map>
#include <string>


class Chart;
class HeatKeyboard;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class RecordStore;

// The learner's records: speed and accuracy drill by drill, the keys and
// kana that go wrong, and the practice of the last 30 days.
class Trecorddlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Trecorddlg)

public:
    explicit Trecorddlg(QWidget* parent = nullptr);

    // Shows the learner's own records, the chart at a level and mode
    // (1-based).
    void showRecords(int level, int mode, const QDate& today = QDate::currentDate());
    // Shows the records of another file, read only, as `whose` (a teacher's
    // look at a pupil's records); the store stays the caller's.
    void showOthers(RecordStore* store, const QString& whose, const QDate& today = QDate::currentDate());
    // Writes every drill to a CSV file; false, having said why, when it
    // cannot be written.
    bool exportCsv(const QString& path);
    void csvButtonClick();

    QLabel* weekHeading;
    QLabel* week1; // this week at a glance
    QComboBox* levelBox; // the levels, then the course
    QComboBox* modeBox;  // a level's modes, or the course's lessons
    Chart* progressChart;
    HeatKeyboard* keyboard;
    QLabel* weakKana;
    Chart* daysChart;
    QLabel* summary;
    QPushButton* csvButton;
    QPushButton* closeButton;

signals:
    // "クラス": the class window, which opens records windows in turn.
    void classRequested();

private:
    // What the window shows: the keeper's store, or another file's.
    RecordStore* store() const;
    // The note of the reads' trouble, for the store shown.
    std::string readNote() const;
    void fill(const QDate& today);

    QScrollArea* scroll_;
    RecordStore* others_ = nullptr;
    Course course_; // whose lessons the chart and the CSV name
    std::map<std::string, QString> lessonTitles_;
    bool showsCourse() const;
    void fillModes();
    void showWeek(const QDate& today);
    void showProgress();
    void showRecent(const QDate& today);
};
