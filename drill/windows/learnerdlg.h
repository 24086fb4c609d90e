#pragma once

#include <QDialog>

#include <optional>
#include <string>

class Household;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "だれが れんしゅうする？": the learners of the household, to choose who
// practises, and to add, rename and remove one. Keyboard first: the arrows
// choose, Enter starts, Tab reaches the other buttons (also Insert, F2 and
// Delete). Removing asks twice, and says where the learner's files went.
class Tlearnerdlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tlearnerdlg)

public:
    explicit Tlearnerdlg(QWidget* parent = nullptr);

    // Shows the learners, `current` chosen, until one is started; none when
    // the window was closed. The household is changed as the buttons ask.
    std::optional<int> choose(Household& household, int current);

    void startButtonClick();
    void addButtonClick();
    void renameButtonClick();
    void removeButtonClick();
    // The name typed for an added or renamed learner: taken, or refused
    // with the reason under it.
    void nameDone();
    void nameCancel();

    QLabel* heading1;
    QListWidget* List1;
    QPushButton* startButton;  // "はじめる"
    QPushButton* addButton;    // "ふやす"
    QPushButton* renameButton; // "なまえを かえる"
    QPushButton* removeButton; // "けす"
    QLabel* nameCaption;
    QLineEdit* nameEdit;
    QPushButton* nameOk;       // "きめる"
    QPushButton* nameBack;     // "やめる"
    QLabel* note1;             // what went wrong, and the index's problems

public slots:
    void reject() override;

private:
    void fill(int selected);
    int selectedNumber() const;
    // The row of buttons, or the name being typed in its place.
    void showNameRow(bool shown);
    void setNote(const QString& text);
    bool confirm(const QString& text);

    Household* household_ = nullptr;
    std::optional<int> chosen_;
    int renaming_ = 0; // the learner being renamed; 0 while adding
};

// Who practises from the start, in the data directory `dataDirectory`: the
// learner named on the command line (made when the name is new), else the
// only one, else the one chosen in "だれが れんしゅうする？", the last one
// first. Sets LearnerNumber. False when the program is to end: the chooser
// was closed, or the named learner could not be made (and the learner has
// been told why).
bool ChooseLearnerAtStart(const std::string& dataDirectory, const QString& named);
