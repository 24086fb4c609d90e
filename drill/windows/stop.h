#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QTimer;

// The time-up banner: stays for five one-second ticks, whatever is typed.
class Tstopdlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tstopdlg)

public:
    explicit Tstopdlg(QWidget* parent = nullptr);

    void FormShow();
    void Timer1Timer();

    QLabel* Label1;
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::uint8_t StopTicks = 0;
    bool closingByTimer_ = false;
};

extern Tstopdlg* stopdlg;
