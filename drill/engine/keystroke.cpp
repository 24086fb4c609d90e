#include "keystroke.h"

#include "cp932.h"

std::string KeyPressBytes(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    // Qt attaches the letter to Alt+a; the platform types nothing for it,
    // nor for Delete.
    if (text.isEmpty() || key == Qt::Key_Delete || (modifiers & (Qt::AltModifier | Qt::MetaModifier)))
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
