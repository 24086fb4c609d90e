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

    QTreeWidget* List1;
    QLabel* note1;     // the rule of passing
    QPlainTextEdit* problems1; // what is wrong with the course's files
    QPushButton* startButton;
    QPushButton* closeButton;

private:
    void fill();
    void selectionChanged();

    Course course_;
    std::vector<LessonState> states_;
    std::vector<WeakUnit> weak_;
    std::optional<LessonChoice> chosen_;
};
