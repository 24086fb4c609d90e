#include "stop.h"

#include "session.h"
#include "widgets/drawing.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QTimer>

Tstopdlg* stopdlg = nullptr;

namespace {
constexpr std::uint8_t BannerTicks = 5;
}

Tstopdlg::Tstopdlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("stopdlg"));
    setFixedSize(360, 134);
    setFont(DrillFont(16));
    Label1 = MakeLabel(this, QStringLiteral("そこまでっ"), 16, 32, DrillFont(64));
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Tstopdlg::Timer1Timer);
    CentreOnScreen(*this);
}

void Tstopdlg::showEvent(QShowEvent* event)
{
    SizeLabelsOnShow(this);
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tstopdlg::FormShow()
{
    Timer1->start();
    StopTicks = 0;
}

void Tstopdlg::Timer1Timer()
{
    ++StopTicks;
    if (StopTicks == BannerTicks) {
        Timer1->stop();
        closingByTimer_ = true;
        accept();
        closingByTimer_ = false;
    }
}

void Tstopdlg::keyPressEvent(QKeyEvent* event)
{
    // No key ends the banner early: Escape would otherwise reject it.
    event->accept();
}

void Tstopdlg::closeEvent(QCloseEvent* event)
{
    if (closingByTimer_)
        event->accept();
    else
        event->ignore();
}
