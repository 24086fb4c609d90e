#include "heatkeyboard.h"

#include "drawing.h"
#include "records/recordstats.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

// The keys are drawn at twice the keyboard window's size.
constexpr int Scale = 2;
constexpr int LegendHeight = 40;

} // namespace

HeatKeyboard::HeatKeyboard(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize HeatKeyboard::sizeHint() const
{
    // The keyboard window's five rows of keys, without its finger row.
    return {KeyboardDrawnWidth * Scale, KeyRowsHeight * Scale + LegendHeight};
}

QRect HeatKeyboard::cellRect(std::size_t cell) const
{
    const KeyCell& k = KeyCells[cell];
    return {k.left * Scale, k.top * Scale, k.width * Scale, KeyCellSize * Scale};
}

void HeatKeyboard::setCounts(const std::vector<UnitCount>& keys)
{
    cells_ = CountsPerCell(keys);
    update();
}

QString HeatKeyboard::figuresAt(const QPoint& point) const
{
    for (std::size_t i = 0; i < std::size(KeyCells); ++i) {
        if (!cellRect(i).contains(point))
            continue;
        const UnitCount& c = cells_[std::size_t(KeyCells[i].index)];
        QString name = QString::fromUtf8(KeyCells[i].caption).trimmed();
        if (KeyCells[i].index == SpaceBarCell)
            name = QStringLiteral("スペース");
        if (c.hits + c.misses == 0)
            return QStringLiteral("%1　まだ うって いません").arg(name);
        return QStringLiteral("%1　%2").arg(name, TimesMissed(c));
    }
    return {};
}

bool HeatKeyboard::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString figures = figuresAt(help->pos());
        if (figures.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), figures, this);
        return true;
    }
    return QWidget::event(event);
}

void HeatKeyboard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(DrillFont(KeyCellSize * Scale - 4));
    const QColor untyped = palette().color(QPalette::Window);
    for (std::size_t i = 0; i < std::size(KeyCells); ++i) {
        const QRect r = cellRect(i).adjusted(1, 1, -1, -1);
        const UnitCount& c = cells_[std::size_t(KeyCells[i].index)];
        const bool typed = c.hits + c.misses > 0;
        const Colour fill = HeatColour(MissRate(c));
        painter.fillRect(r, typed ? ToQColor(fill) : untyped);
        painter.setPen(typed ? ToQColor(fill).darker(130) : palette().color(QPalette::Mid));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.setPen(typed ? ToQColor(CaptionColourOn(fill)) : palette().color(QPalette::Mid));
        painter.drawText(r, Qt::AlignCenter, QString::fromUtf8(KeyCells[i].caption));
    }

    // The legend: the scale's steps, and a key not typed yet.
    painter.setFont(DrillFont(12));
    const QFontMetrics metrics(painter.font());
    int x = 0;
    const int top = KeyRowsHeight * Scale + 6;
    const auto swatch = [&](const QColor& colour, const QString& text) {
        painter.fillRect(QRect(x, top, 24, 16), colour);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(QRect(x, top, 23, 15));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QPoint(x + 28, top + 13), text);
        x += 28 + metrics.horizontalAdvance(text) + 12;
    };
    for (const HeatStep& step : HeatScale) {
        const QString text = &step == &HeatScale[std::size(HeatScale) - 1]
            ? QStringLiteral("%1% いじょう").arg(step.rate * 100)
            : QStringLiteral("%1%").arg(step.rate * 100);
        swatch(ToQColor(step.colour), text);
    }
    swatch(untyped, QStringLiteral("うって いない"));
}
