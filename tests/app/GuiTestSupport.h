#pragma once

// Helpers for driving real widgets in tests: modal dialogs are answered from a
// zero-delay timer, never by waiting.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace gui_test {

// Runs `action` on the next modal widget of type T once it is active. Fails the test
// when none appears within a few seconds of event processing.
template <typename T>
void WhenModal(std::function<void(T*)> action) {
    auto* const timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, clock, action] {
        if (auto* const modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (clock->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the expected modal dialog did not appear";
        }
    });
    timer->start();
}

// Runs `body`, rejecting every modal dialog that opens meanwhile; returns how many did.
inline int RejectingModals(const std::function<void()>& body) {
    int rejected = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&rejected] {
        if (QWidget* const modal = QApplication::activeModalWidget()) {
            ++rejected;
            modal->close();
        }
    });
    timer.start();
    body();
    return rejected;
}

inline QSettings Store() {
    return QSettings(QStringLiteral("Korvell"), QStringLiteral("Brellow"));
}

inline void ClearSettings() {
    QSettings store = Store();
    store.clear();
    store.sync();
}

}  // namespace gui_test
