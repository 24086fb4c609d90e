#pragma once


#include <QDialog>
#include <QDate>


class Chart;
class HeatKeyboard;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

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
    QScrollArea* scroll_;
    void showProgress();
    void showRecent(const QDate& today);
};
