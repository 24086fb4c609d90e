#pragma once

#include "guide.h"

#include <QWidget>

#include <array>
#include <optional>

class QLabel;

// The on-screen keyboard: lights the key of the next character and shows
// the finger row; keys typed in it drive the drill.
class Tkb1 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tkb1)

public:
    // A tool window of the drill window, so that it takes keys while the
    // drill window runs modally.
    explicit Tkb1(QWidget* drillWindow);

    void FormCreate();
    void kbd(char ch);
    void FormKeyPress(QObject* Sender, char Key);

    // The finger row, indexed like FingerColours.
    QLabel* fingerLabel(Finger finger) const { return fingerLabels_[finger]; }
    QColor faceColour() const;
    // Lights a finger cell in its colour, with a caption that reads on it,
    // or gives it back the window's colours.
    void lightFinger(Finger finger, std::optional<Colour> colour);
    // Fixed at its drawn size, or resizable in its shape at KeyboardWidth,
    // as ResizableKeyboard says now.
    void followSizeOption();

    std::array<QLabel*, KeyLabelCount> KeyLabels {};
    QLabel* l_ko;
    QLabel* l_ku;
    QLabel* l_na;
    QLabel* l_hi;
    QLabel* oya;
    QLabel* r_hi;
    QLabel* r_na;
    QLabel* r_ku;
    QLabel* r_ko;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeCells(double scale);

    std::array<QLabel*, FingerCount> fingerLabels_ {};
    std::optional<std::uint8_t> litCell_;
    Colour faceText_ = Black;
    // Every cell's place at the drawn size, to scale from.
    std::array<std::pair<QLabel*, QRect>, KeyLabelCount + FingerCount> drawnPlaces_ {};
    double scale_ = 1.0;
    bool resizable_ = false;
};

extern Tkb1* kb1;
