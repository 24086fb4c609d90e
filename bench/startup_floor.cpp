// The floor of start-up: a bare Qt Widgets program that shows one window
// holding as many labels as the drill program creates, and ends at its
// first event-loop turn.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

// usage: startup_floor LABELS
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int LabelCount = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100;
    QWidget window;
    window.resize(502, 292);
    for (int i = 0; i < LabelCount; ++i) {
        auto* label = new QLabel(QStringLiteral("ラベル"), &window);
        label->move(i % 20 * 24, i / 20 * 16);
    }
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
