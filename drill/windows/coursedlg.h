#pragma once

#include "course/course.h"
#include "course/weaklesson.h"

#include <QDialog>

#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// The course: every lesson with its goal, its stars and whether it is open,
// and the weak lesson; the learner picks one to play.
class Tcoursedlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tcoursedlg)

public:
    explicit Tcoursedlg(QWidget* parent = nullptr);

    // Reads the course and the records afresh and waits for a choice: the
    // lesson to play, or none.
    std::optional<LessonChoice> choose();
    void startButtonClick();
    // The lesson at that place of the course as the last choice found it,
    // if it may be played.
    std::optional<LessonChoice> choiceFor(std::size_t index) const;

    QTreeWidget* List1;
    QLabel* note1;     // the rule of passing
    QPlainTextEdit* problems1; // what is wrong with the course's files
    QPushButton* startButton;
    QPushButton* closeButton;

private:
    void fill();
    void selectionChanged();

    Course course_; // its goals as played
    std::vector<LessonState> states_;
    std::vector<LessonCheck> checks_;
    std::vector<std::string> newKeys_;
    std::vector<WeakUnit> weak_;
    std::optional<LessonChoice> chosen_;
};
