#include "keystroke.h"

#include "cp932.h"

std::string KeyPressBytes(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    // Qt attaches the letter to Alt+a and a control character to Ctrl+a;
    // none of them is typed text, nor is Delete.
    constexpr Qt::KeyboardModifiers NotTyping = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (text.isEmpty() || key == Qt::Key_Delete || (modifiers & NotTyping))
        return {};
    // A character CP932 cannot hold is no key of this keyboard.
    std::string bytes;
    for (const QChar c : text) {
        if (c == QChar(0x00A5))
            bytes += '\\';
        else if (const auto encoded = EncodeCp932(QString(c)))
            bytes += *encoded;
    }
    return bytes;
}
