#pragma once

#include <QColor>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QPainter;

// An axis that reads well: from 0 to a round top at or above `largest`,
// with ticks at a round step (1, 2 or 5 times a power of ten).
struct ChartAxis {
    double top = 1;
    double step = 1;
    QString unit;
};
ChartAxis RoundAxis(double largest, const QString& unit);

// The program's one chart: lines and bars against one x axis, each series
// read on the left or the right axis. Drawn with QPainter alone.
class Chart final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Chart)

public:
    struct Series {
        QString name; // in the legend
        QColor colour;
        bool bars = false;
        bool rightAxis = false;
        std::vector<QPointF> points; // x ascending
    };
    struct XAxis {
        double min = 0;
        double max = 1;
        std::vector<double> ticks;
        std::function<QString(double)> label;
    };

    explicit Chart(QWidget* parent = nullptr);

    void setData(std::vector<Series> series, ChartAxis left, std::optional<ChartAxis> right, XAxis x);
    // A point to single out (the best), with its text.
    void setMark(std::size_t series, std::size_t point, const QString& text);
    // What the chart says while it has nothing to draw.
    void setEmptyText(const QString& text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF plotArea() const;
    QPointF place(const QPointF& value, bool rightAxis, const QRectF& area) const;
    void drawLegend(QPainter& painter, const QRectF& area) const;
    void drawAxes(QPainter& painter, const QRectF& area) const;
    void drawSeries(QPainter& painter, const QRectF& area) const;
    // The point singled out, ringed, with its text.
    void drawMark(QPainter& painter, const QRectF& area) const;

    std::vector<Series> series_;
    ChartAxis left_;
    std::optional<ChartAxis> right_;
    XAxis x_;
    struct Mark {
        std::size_t series, point;
        QString text;
    };
    std::optional<Mark> mark_;
    QString emptyText_;
};
