#pragma once

#include <QString>
#include <QValidator>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The CP932 bytes that a box's text is stored as: the look-alike twins
// mapped first. Nothing when the text would not come back from the file as
// it was typed: a character CP932 lacks, a control character (a CR or the
// end byte 0x1A would break the file's lines), or more than `limit` bytes.
std::optional<std::string> BoxBytes(const QString& text, std::size_t limit);

// A field's bytes as a list line or a box shows them. Bytes that hold no
// CP932 character, and control bytes, show as U+FFFD: the text can be seen
// for what it is, and a box holding it counts as not storable until the mark
// is removed.
QString ShownText(std::string_view bytes);

// Keeps a box to what BoxBytes accepts: a key, an input method's text or a
// paste that would break it is refused whole, and twins are mapped as typed.
class Cp932Validator final : public QValidator {
public:
    Cp932Validator(std::size_t limit, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    std::size_t limit_;
};
