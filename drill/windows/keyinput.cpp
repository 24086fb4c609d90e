#include "keyinput.h"

#include "keystroke.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

std::optional<bool> CapsLockAfter(const QKeyEvent& event, std::optional<bool> before)
{
    if (event.key() == Qt::Key_CapsLock)
        return before ? std::optional<bool>(!*before) : std::nullopt;
    const QString text = event.text();
    if (text.size() == 1 && text[0].isLetter() && text[0].unicode() < 0x80
        && !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return text[0].isUpper() != bool(event.modifiers() & Qt::ShiftModifier);
    // Under X11 the event carries the server's modifier state, whose lock
    // bit is Caps Lock; other platforms' native bits mean other things.
    constexpr quint32 XLockMask = 0x02;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && event.nativeScanCode() != 0)
        return bool(event.nativeModifiers() & XLockMask);
    return before;
}

void DeliverKeyPresses(const QWidget* window, const QKeyEvent& event, const std::function<void(char)>& press)
{
    for (const char key : KeyPressBytes(event.key(), event.modifiers(), event.text())) {
        if (!window->isVisible())
            break;
        press(key);
    }
}
