#include "ui.h"

#include "cp932.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>

QFont DrillFont(int pixelHeight, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QFont DrillFontForCell(int cellHeight)
{
    QFont font = DrillFont(cellHeight);
    const int cell = QFontMetrics(font).height();
    if (cell > cellHeight)
        font.setPixelSize(std::max(1, cellHeight * cellHeight / cell));
    return font;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, const QFont& font)
{
    auto* label = new QLabel(parent);
    // Texts come from data files: never read them as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->move(left, top);
    SetSizedText(label, text);
    return label;
}

void SetTextColour(QLabel* label, Colour colour)
{
    if (label->palette().color(QPalette::WindowText) == ToQColor(colour))
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(colour));
    label->setPalette(palette);
}

void SetBackground(QLabel* label, const QColor& colour)
{
    // The guide sets every cell on every key: only a change repaints.
    if (label->autoFillBackground() && label->palette().color(QPalette::Window) == colour)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

void SetColours(QLabel* label, const QColor& background, const QColor& text)
{
    const QPalette& now = label->palette();
    if (label->autoFillBackground() && now.color(QPalette::Window) == background && now.color(QPalette::WindowText) == text)
        return;
    QPalette palette = now;
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

QColor BackgroundOf(const QLabel* label)
{
    return label->palette().color(QPalette::Window);
}

namespace {

const char* const SizeOnShow = "sizeOnShow";

void SizeToText(QLabel* label)
{
    // Sizing loads the font; a window that is not shown yet (most of them
    // at start-up) waits for its show.
    if (label->window()->isVisible())
        label->adjustSize();
    else
        label->setProperty(SizeOnShow, true);
}

} // namespace

void SetSizedText(QLabel* label, const QString& text)
{
    if (label->text() == text && !text.isEmpty())
        return;
    label->setText(text);
    SizeToText(label);
}

void SizeLabelsOnShow(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->property(SizeOnShow).toBool()) {
            label->setProperty(SizeOnShow, false);
            label->adjustSize();
        }
    }
}

QString LabelText(std::string_view cp932)
{
    QString text = DecodeCp932(cp932);
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

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

int TextWidth(const QFont& font, const QString& text)
{
    // Rounded up, as a label sizes itself.
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (const QString& line : text.split(QChar('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return int(std::ceil(widest));
}

int LabelTextWidth(const QLabel* label)
{
    return label->property(SizeOnShow).toBool() ? TextWidth(label->font(), label->text()) : label->width();
}

QFont LargestFittingFont(const QFont& partFont, int room, const std::function<int(const QFont&)>& widthAt,
                         int smallest)
{
    const int drawnWidth = widthAt(partFont);
    if (drawnWidth <= room || partFont.pixelSize() <= smallest)
        return partFont;
    // Widths grow about as the size: start from the size in proportion and
    // step from there, so that few sizes are measured.
    const int drawn = partFont.pixelSize();
    QFont font = partFont;
    const auto fitsAt = [&](int pixels) {
        font.setPixelSize(pixels);
        return widthAt(font) <= room;
    };
    int pixels = std::clamp(drawn * room / std::max(1, drawnWidth), smallest, drawn - 1);
    while (pixels > smallest && !fitsAt(pixels))
        --pixels;
    while (pixels + 1 < drawn && fitsAt(pixels + 1))
        ++pixels;
    font.setPixelSize(pixels);
    return font;
}

void SetLabelFont(QLabel* label, const QFont& font)
{
    if (label->font() == font)
        return;
    label->setFont(font);
    SizeToText(label);
}

void FitLabelToRoom(QLabel* label, const QFont& drawn, int room)
{
    if (label->wordWrap()) {
        label->setWordWrap(false);
        SizeToText(label);
    }
    SetLabelFont(label, drawn);
    if (LabelTextWidth(label) <= room)
        return;
    const QString text = label->text();
    const auto widthAt = [&](const QFont& font) { return TextWidth(font, text); };
    const QFont font = LargestFittingFont(drawn, room, widthAt, SmallestReadablePixels);
    SetLabelFont(label, font);
    if (widthAt(font) > room) {
        label->setWordWrap(true);
        label->resize(room, label->heightForWidth(room));
    }
}

void DeliverKeyPresses(const QWidget* window, const QKeyEvent& event, const std::function<void(char)>& press)
{
    for (const char key : KeyPressBytes(event.key(), event.modifiers(), event.text())) {
        if (!window->isVisible())
            break;
        press(key);
    }
}
