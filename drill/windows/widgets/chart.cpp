#include "widgets/chart.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int Gap = 6;
constexpr int LegendSwatch = 14;
const QColor GridColour(0xDD, 0xDD, 0xDD);

// The line through the points as drawn: where several fall in one pixel
// column, the lowest and the highest of them in their order, so that years
// of drills draw as fast as a week's and look the same.
template <class Place>
QPolygonF OnePointPerPixel(const std::vector<QPointF>& points, Place place)
{
    QPolygonF line;
    line.reserve(qsizetype(std::min<std::size_t>(points.size(), 4096)));
    std::optional<int> column;
    QPointF low, high;
    const auto flush = [&] {
        if (!column)
            return;
        line << low;
        if (high != low)
            line << high;
    };
    for (const QPointF& value : points) {
        const QPointF at = place(value);
        const int x = int(std::floor(at.x()));
        if (column != x) {
            flush();
            column = x;
            low = high = at;
            continue;
        }
        // Screen y grows downward: the lowest value has the largest y.
        if (at.y() > low.y())
            low = at;
        if (at.y() < high.y())
            high = at;
    }
    flush();
    return line;
}

} // namespace

ChartAxis RoundAxis(double largest, const QString& unit)
{
    ChartAxis axis;
    axis.unit = unit;
    if (!(largest > 0)) {
        axis.top = 1;
        axis.step = 1;
        return axis;
    }
    // Four or five ticks: the step is the round number just above a fifth.
    const double rough = largest / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= rough) {
            step = factor * power;
            break;
        }
    axis.step = step;
    axis.top = std::ceil(largest / step) * step;
    return axis;
}

Chart::Chart(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(320, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize Chart::sizeHint() const
{
    return {640, 220};
}

void Chart::setData(std::vector<Series> series, ChartAxis left, std::optional<ChartAxis> right, XAxis x)
{
    series_ = std::move(series);
    left_ = std::move(left);
    right_ = std::move(right);
    x_ = std::move(x);
    if (!(x_.max > x_.min))
        x_.max = x_.min + 1;
    mark_.reset();
    update();
}

void Chart::setMark(std::size_t series, std::size_t point, const QString& text)
{
    if (series < series_.size() && point < series_[series].points.size())
        mark_ = Mark {series, point, text};
    update();
}

void Chart::setEmptyText(const QString& text)
{
    emptyText_ = text;
    update();
}

QRectF Chart::plotArea() const
{
    const QFontMetrics metrics(font());
    const auto axisWidth = [&](const ChartAxis& axis) {
        int widest = 0;
        for (double v = 0; v <= axis.top + axis.step / 2; v += axis.step)
            widest = std::max(widest, metrics.horizontalAdvance(QString::number(v)));
        return widest + 2 * Gap;
    };
    const double left = std::max(axisWidth(left_), metrics.horizontalAdvance(left_.unit) / 2 + Gap);
    const double right = right_ ? std::max(axisWidth(*right_), metrics.horizontalAdvance(right_->unit) / 2 + Gap)
                                : metrics.horizontalAdvance(QStringLiteral("00/00")) / 2.0 + Gap;
    const double top = metrics.height() * 2 + Gap;        // the legend, then the units
    const double bottom = metrics.height() + Gap;         // the x labels
    return QRectF(left, top, width() - left - right, height() - top - bottom);
}

QPointF Chart::place(const QPointF& value, bool rightAxis, const QRectF& area) const
{
    const ChartAxis& axis = rightAxis && right_ ? *right_ : left_;
    const double x = area.left() + (value.x() - x_.min) / (x_.max - x_.min) * area.width();
    const double y = area.bottom() - std::clamp(value.y() / axis.top, 0.0, 1.0) * area.height();
    return {x, y};
}

void Chart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRectF area = plotArea();
    drawLegend(painter, area);
    const bool empty = std::all_of(series_.begin(), series_.end(), [](const Series& s) { return s.points.empty(); });
    if (empty) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(area, Qt::AlignCenter, emptyText_);
        return;
    }
    drawAxes(painter, area);
    drawSeries(painter, area);
    drawMark(painter, area);
}

void Chart::drawLegend(QPainter& painter, const QRectF& area) const
{
    // Along the top.
    const QFontMetrics metrics(font());
    double x = area.left();
    for (const Series& s : series_) {
        painter.fillRect(QRectF(x, Gap / 2.0 + 2, LegendSwatch, LegendSwatch - 4), s.colour);
        x += LegendSwatch + Gap / 2.0;
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QPointF(x, Gap / 2.0 + metrics.ascent()), s.name);
        x += metrics.horizontalAdvance(s.name) + 2 * Gap;
    }
}

void Chart::drawAxes(QPainter& painter, const QRectF& area) const
{
    // The grid and the axes' figures and units.
    const QFontMetrics metrics(font());
    const QColor text = palette().color(QPalette::Text);
    const double unitBaseline = metrics.height() + Gap / 2.0 + metrics.ascent();
    painter.setPen(text);
    painter.drawText(QPointF(area.left() - metrics.horizontalAdvance(left_.unit) / 2.0, unitBaseline), left_.unit);
    if (right_)
        painter.drawText(QPointF(area.right() - metrics.horizontalAdvance(right_->unit) / 2.0, unitBaseline),
                         right_->unit);
    for (double v = 0; v <= left_.top + left_.step / 2; v += left_.step) {
        const double y = area.bottom() - v / left_.top * area.height();
        painter.setPen(GridColour);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(text);
        const QString figure = QString::number(v);
        painter.drawText(QPointF(area.left() - Gap - metrics.horizontalAdvance(figure), y + metrics.ascent() / 2.0 - 1),
                         figure);
    }
    // The right axis at its own round steps, with short ticks, not a
    // second grid.
    for (double v = 0; right_ && v <= right_->top + right_->step / 2; v += right_->step) {
        const double y = area.bottom() - v / right_->top * area.height();
        painter.drawLine(QPointF(area.right(), y), QPointF(area.right() + 3, y));
        painter.drawText(QPointF(area.right() + Gap, y + metrics.ascent() / 2.0 - 1), QString::number(v));
    }
    painter.setPen(text);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    QString lastLabel;
    for (const double tick : x_.ticks) {
        const QString label = x_.label ? x_.label(tick) : QString::number(tick);
        // A short span would repeat a day.
        if (label == lastLabel)
            continue;
        lastLabel = label;
        const double x = place({tick, 0}, false, area).x();
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 3));
        const double w = metrics.horizontalAdvance(label);
        const double left = std::clamp(x - w / 2, 0.0, width() - w);
        painter.drawText(QPointF(left, area.bottom() + Gap / 2.0 + metrics.ascent()), label);
    }
}

void Chart::drawSeries(QPainter& painter, const QRectF& area) const
{
    painter.save();
    painter.setClipRect(area.adjusted(-4, -4, 4, 4));
    for (const Series& s : series_) {
        if (s.bars) {
            const double slot = area.width() / std::max(1.0, x_.max - x_.min + 1);
            const double barWidth = std::max(2.0, slot * 0.6);
            for (const QPointF& p : s.points) {
                const QPointF top = place(p, s.rightAxis, area);
                painter.fillRect(QRectF(top.x() - barWidth / 2, top.y(), barWidth, area.bottom() - top.y()), s.colour);
            }
            continue;
        }
        painter.setPen(QPen(s.colour, 2));
        painter.setBrush(Qt::NoBrush);
        const QPolygonF line = OnePointPerPixel(s.points, [&](const QPointF& p) { return place(p, s.rightAxis, area); });
        // Segment by segment: a long zig-zag stroked as one path is filled
        // as one shape, which takes the rasterizer seconds.
        QList<QLineF> segments;
        segments.reserve(line.size());
        for (qsizetype i = 1; i < line.size(); ++i)
            segments << QLineF(line[i - 1], line[i]);
        painter.drawLines(segments);
        // Dots while there is room to tell the drills apart.
        if (double(s.points.size()) * 6 < area.width()) {
            painter.setBrush(s.colour);
            for (const QPointF& p : s.points)
                painter.drawEllipse(place(p, s.rightAxis, area), 2.5, 2.5);
        }
    }
    painter.restore();
}

void Chart::drawMark(QPainter& painter, const QRectF& area) const
{
    if (!mark_)
        return;
    const QFontMetrics metrics(font());
    const Series& s = series_[mark_->series];
    const QPointF at = place(s.points[mark_->point], s.rightAxis, area);
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(at, 6, 6);
    // On a plate of its own, below the point when it stands high, so that
    // the other line cannot cross the text.
    const double w = metrics.horizontalAdvance(mark_->text) + 6;
    const double h = metrics.height() + 2;
    const double left = std::clamp(at.x() - w / 2, area.left(), std::max(area.left(), area.right() - w));
    const double top = at.y() - area.top() < area.height() / 3 ? at.y() + 9 : at.y() - 9 - h;
    const QRectF plate(left, top, w, h);
    painter.setBrush(palette().color(QPalette::Base));
    painter.setPen(QPen(Qt::red, 1));
    painter.drawRect(plate);
    painter.drawText(plate, Qt::AlignCenter, mark_->text);
}
