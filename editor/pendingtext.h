#pragma once

#include <QObject>
#include <QString>

#include <vector>

class QLineEdit;
class QWidget;

// The text an input method holds underlined in the editor's boxes, not yet
// confirmed. It is confirmed into the box it was typed in before the focus
// leaves that box (a mouse press anywhere in the window, Tab, Enter) and
// whenever the window asks, before it stores the boxes: the input method is
// asked to confirm it, and where none does (no input method, or one that
// keeps it), it is confirmed here. IBus hands the text over at once and then
// sends it again, wherever the focus is by then: that copy is dropped.
class PendingText final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PendingText)

public:
    explicit PendingText(QObject* parent);

    // Follows what the input method holds in `box`.
    void watchBox(QLineEdit* box);
    // Confirms before every mouse press in `window`, before Qt moves the
    // focus for it: Qt asks the input method to confirm on the way out of
    // the box, and IBus's second copy would then land in the box clicked.
    void watchPresses(QWidget* window);
    void confirm();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Box {
        QLineEdit* box;
        QString preedit;
    };

    Box* find(const QObject* watched);

    QWidget* window_ = nullptr;
    std::vector<Box> boxes_;
    // Text confirmed on the way out of its box that the input method may
    // send again; empty when none is due.
    QString again_;
};
