#pragma once

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>

// Acts on each modal window as it comes up, without blocking: each action
// is queued, so that a modal loop it starts can run this driver again.
class ModalDriver {
public:
    std::map<QWidget*, std::function<void()>> actions;
    QStringList seen;

    ModalDriver()
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_)
            return;
        last_ = modal;
        seen << modal->windowTitle();
        // Each action runs once, and not after the driver is gone.
        if (const auto action = actions.find(modal); action != actions.end()) {
            QTimer::singleShot(0, &timer_, action->second);
            actions.erase(action);
        }
    }

    QTimer timer_;
    QWidget* last_ = nullptr;
};
