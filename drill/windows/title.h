#pragma once

#include <QDialog>

class QAction;
class QButtonGroup;
class Tcoursedlg;
class Trecorddlg;
class QGroupBox;
class QLabel;
class QPushButton;
class Household;
class Tlearnerdlg;
class Tsettingsdlg;

// The title window: the program's main window and its menu. Its creation
// loads everything that lasts for the run.
class Ttitle1 final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Ttitle1)

public:
    explicit Ttitle1(QWidget* parent = nullptr);

    void FormCreate();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void FormClose();
    // "せってい…": the settings window, made when it is first opened.
    void OpenSettings();
    Tsettingsdlg* settingsWindow() const { return settings_; }

    // The buttons of options that are on show below the menu, the window
    // growing to hold them; with none on it is as it always was.
    void showOptionButtons();
    void recordsButtonClick();
    void courseButtonClick();
    // Made when first opened, never at start-up.
    Trecorddlg* recordsWindow() const { return records_; }
    // "だれが れんしゅうする？" to change who practises: what "おわり"
    // saves is saved for the learner who leaves first.
    void learnerButtonClick();
    Tlearnerdlg* learnersWindow() const { return learners_; }
    int modeIndex() const;  // 0-based, as the radio group counts
    int levelIndex() const;
    void selectMode(int index);
    void selectLevel(int index);

    QGroupBox* mode1;
    QGroupBox* level1;
    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* Button2;
    QPushButton* recordsButton; // "きろく", with records on
    QPushButton* courseButton;  // "コース", with the course on
    QPushButton* settingsButton; // "せってい", always
    QAction* settingsAction; // Ctrl+, and the context menu
    // Who practises, below everything else, with two learners or more.
    QLabel* learner1;
    QPushButton* learnerButton; // "かわる"
    QAction* learnersAction;    // the context menu, with one learner too

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QButtonGroup* modeItems_;
    QButtonGroup* levelItems_;
    Tsettingsdlg* settings_ = nullptr;
    Trecorddlg* records_ = nullptr;
    Tcoursedlg* course_ = nullptr;
    Tlearnerdlg* learners_ = nullptr;
    QString learnerName_;
    bool severalLearners_ = false;
    void showLearner(const Household& household);
    // Reads the settings of learner `number` as start-up does, and puts the
    // windows at that learner's places.
    void takeLearner(int number);
    // Runs a drill of the chosen level or lesson in the chosen mode.
    void runDrill();
};

extern Ttitle1* title1;
