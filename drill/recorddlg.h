#pragma once

#include "guide.h"
#include "records.h"

#include <QDialog>
#include <QDate>

#include <array>
#include <vector>

class Chart;
class QComboBox;
class QLabel;
class QPushButton;

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

// The learner's records: speed and accuracy drill by drill, the keys and
// kana that go wrong, and the practice of the last 30 days.
class Trecorddlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Trecorddlg)

public:
    explicit Trecorddlg(QWidget* parent = nullptr);

    // Shows the records, the chart at a level and mode (1-based).
    void showRecords(int level, int mode, const QDate& today = QDate::currentDate());
    // Writes every drill to a CSV file; false, having said why, when it
    // cannot be written.
    bool exportCsv(const QString& path);
    void csvButtonClick();

    QComboBox* levelBox;
    QComboBox* modeBox;
    Chart* progressChart;
    HeatKeyboard* keyboard;
    QLabel* weakKana;
    Chart* daysChart;
    QLabel* summary;
    QPushButton* csvButton;
    QPushButton* closeButton;

private:
    void showProgress();
    void showRecent(const QDate& today);
};
