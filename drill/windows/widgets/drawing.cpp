#include "drawing.h"

#include "cp932.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QFontMetricsF>
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

int LabelTextHeight(const QLabel* label)
{
    if (label->wordWrap())
        return label->heightForWidth(label->width());
    const auto lines = label->text().count(QLatin1Char('\n')) + 1;
    return int(lines) * QFontMetrics(label->font()).lineSpacing();
}

void FitLabelToHeight(QLabel* label, int height)
{
    QFont font = label->font();
    while (LabelTextHeight(label) > height && font.pixelSize() > SmallestReadablePixels) {
        font.setPixelSize(font.pixelSize() - 1);
        SetLabelFont(label, font);
        if (label->wordWrap())
            label->resize(label->width(), label->heightForWidth(label->width()));
    }
}
