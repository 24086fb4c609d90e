#include "pendingtext.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWindow>

#include <algorithm>

PendingText::PendingText(QObject* parent) : QObject(parent) {}

void PendingText::watchBox(QLineEdit* box)
{
    boxes_.push_back({box, QString()});
    box->installEventFilter(this);
}

void PendingText::watchPresses(QWidget* window)
{
    // The press reaches the window system's window before any widget; that
    // window exists once the widget is shown.
    window_ = window;
    window->installEventFilter(this);
    if (QWindow* handle = window->windowHandle())
        handle->installEventFilter(this);
}

PendingText::Box* PendingText::find(const QObject* watched)
{
    for (Box& b : boxes_)
        if (b.box == watched)
            return &b;
    return nullptr;
}

void PendingText::confirm()
{
    // Every click comes here: the input method is asked only when a box
    // holds its text.
    if (std::all_of(boxes_.begin(), boxes_.end(), [](const Box& b) { return b.preedit.isEmpty(); }))
        return;
    const Box* focused = find(QGuiApplication::focusObject());
    if (focused && !focused->preedit.isEmpty())
        again_ = focused->preedit;
    // IBus and fcitx5 hand their text to the focused box before this returns.
    QGuiApplication::inputMethod()->commit();
    bool confirmedHere = false;
    for (Box& b : boxes_) {
        if (b.preedit.isEmpty())
            continue;
        QInputMethodEvent commit;
        commit.setCommitString(b.preedit);
        QCoreApplication::sendEvent(b.box, &commit);
        b.preedit.clear(); // also when the box refused the text
        confirmedHere = true;
    }
    // An input method that kept the text would confirm it again later.
    if (confirmedHere)
        QGuiApplication::inputMethod()->reset();
}

bool PendingText::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
        if (watched == window_ && window_->windowHandle())
            window_->windowHandle()->installEventFilter(this);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        confirm();
        break;
    case QEvent::FocusAboutToChange:
        if (const Box* b = find(watched); b && !b->preedit.isEmpty())
            confirm();
        break;
    case QEvent::KeyPress:
        if (find(watched)) {
            // Whatever IBus still had to send came before this key.
            again_.clear();
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter)
                confirm();
        }
        break;
    case QEvent::InputMethod:
        if (Box* b = find(watched)) {
            const auto* im = static_cast<QInputMethodEvent*>(event);
            const QString commit = im->commitString();
            // The second copy: the same text, into a box where nothing is
            // being typed.
            if (!again_.isEmpty() && commit == again_ && b->preedit.isEmpty() && im->preeditString().isEmpty()
                && im->replacementLength() == 0) {
                again_.clear();
                return true;
            }
            if (!im->preeditString().isEmpty() || (!commit.isEmpty() && commit != again_))
                again_.clear();
            b->preedit = im->preeditString();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
