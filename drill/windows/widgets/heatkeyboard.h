#pragma once

#include "keyboardlayout.h"
#include "records/recordstore.h"

#include <QWidget>

#include <array>
#include <vector>

// The JIS keyboard of the keyboard window, larger, each key in the colour
// of its miss rate; the figures show on hover.
class HeatKeyboard final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HeatKeyboard)

public:
    explicit HeatKeyboard(QWidget* parent = nullptr);
    void setCounts(const std::vector<UnitCount>& keys);
    // The figures of the key under a point, as the hover shows them.
    QString figuresAt(const QPoint& point) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect cellRect(std::size_t cell) const;
    std::array<UnitCount, KeyLabelCount> cells_ {};
};
