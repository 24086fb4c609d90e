#pragma once

#include "settings/options.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// "せってい": every option with a line on what it does, and the finger
// colours as the drill's finger row shows them, each cell its own colour
// picker. OK keeps the choice and saves it; Cancel and Esc change nothing.
class Tsettingsdlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tsettingsdlg)

public:
    explicit Tsettingsdlg(QWidget* parent = nullptr);

    // Shows the values in force; on OK they take the chosen ones, which are
    // saved with the scores. False when nothing was chosen.
    bool edit();

    void setChoice(const SettingsChoice& choice);
    SettingsChoice choice() const;
    void setColour(std::size_t finger, Colour colour);

    std::array<QCheckBox*, OptionCount> options {};
    std::array<QLabel*, OptionCount> explanations {};
    std::array<QPushButton*, FingerCount> colours {}; // the finger row
    QComboBox* goalPace; // GoalPercent, beside the lessons' rows
    QPushButton* recommend;
    QPushButton* reset;
    QPushButton* ok;
    QPushButton* cancel;

private:
    void pickColour(std::size_t finger);

    std::array<Colour, FingerCount> chosenColours_ {};
    std::int32_t chosenKeyboardWidth_ = 0; // "おすすめ" widens it
};
