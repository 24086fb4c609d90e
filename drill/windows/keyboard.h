#pragma once

#include "colour.h"
#include "fingerguide.h"
#include "fingers.h"
#include "keyboardlayout.h"

#include <QWidget>

#include <array>
#include <optional>

class QLabel;

// The on-screen keyboard: lights the key of the next character and shows
// the finger row; its key events go to the drill window, which judges them
// as its own.
class Tkb1 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tkb1)

    // The finger row, indexed like FingerColours; first, so that their
    // names below can refer to them.
    std::array<QLabel*, FingerCount> fingerLabels_ {};

public:
    // A tool window of the drill window, so that it takes keys while the
    // drill window runs modally.
    explicit Tkb1(QWidget* drillWindow);

    void FormCreate();
    void kbd(char ch);
    // Lights the guide's cells, the Shift key among them when it names one.
    void lightKeys(const FingerGuide& guide);

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
    // The finger cells by their names.
    QLabel*& l_ko = fingerLabels_[LeftLittle];
    QLabel*& l_ku = fingerLabels_[LeftRing];
    QLabel*& l_na = fingerLabels_[LeftMiddle];
    QLabel*& l_hi = fingerLabels_[LeftIndex];
    QLabel*& oya = fingerLabels_[Thumbs];
    QLabel*& r_hi = fingerLabels_[RightIndex];
    QLabel*& r_na = fingerLabels_[RightMiddle];
    QLabel*& r_ku = fingerLabels_[RightRing];
    QLabel*& r_ko = fingerLabels_[RightLittle];

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeCells(double scale);
    void light(std::optional<std::uint8_t> key, Colour keyColour, std::optional<std::uint8_t> shift, Colour shiftColour);

    QWidget* drillWindow_;
    std::optional<std::uint8_t> litCell_;
    std::optional<std::uint8_t> litShift_;
    Colour faceText_ = Black;
    // Every cell's place at the drawn size, to scale from.
    std::array<std::pair<QLabel*, QRect>, KeyLabelCount + FingerCount> drawnPlaces_ {};
    double scale_ = 1.0;
    bool resizable_ = false;
};

extern Tkb1* kb1;
