#include "ui.h"

#include "cp932.h"

#include <QFontMetrics>
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

QColor BackgroundOf(const QLabel* label)
{
    return label->palette().color(QPalette::Window);
}

namespace {
const char* const SizeOnShow = "sizeOnShow";
}

void SetSizedText(QLabel* label, const QString& text)
{
    if (label->text() == text && !text.isEmpty())
        return;
    label->setText(text);
    // Sizing loads the font; a window that is not shown yet (most of them
    // at start-up) waits for its show.
    if (label->window()->isVisible())
        label->adjustSize();
    else
        label->setProperty(SizeOnShow, true);
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

std::string KeyPressBytes(const QKeyEvent& event)
{
    const QString text = event.text();
    if (text.isEmpty())
        return {};
    // A character CP932 cannot hold is no key of this keyboard.
    std::string bytes;
    for (const QChar c : text) {
        if (const auto encoded = EncodeCp932(QString(c)))
            bytes += *encoded;
    }
    return bytes;
}

void DeliverKeyPresses(const QWidget* window, const QKeyEvent& event, const std::function<void(char)>& press)
{
    for (const char key : KeyPressBytes(event)) {
        if (!window->isVisible())
            break;
        press(key);
    }
}
