#pragma once

// Answers the application's alert from the event loop it runs: a timer polls
// until the alert is on screen and active, then presses one of its buttons.

#include "ui/alert/PVAlertButton.h"
#include "ui/alert/PVAlertViewController.h"
#include "ui/window/PVWindow.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

/// Waits until an alert `depth` deep is shown and active, lets `inspect`
/// look at it, then presses its button 1 or 2.
inline void pressWhenShown(size_t depth, int button, std::function<void(PVAlertViewController*)> inspect = {})
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, depth, button, inspect] {
        PVAlertViewController* alert = PVAlertViewController::currentAlert();
        if (alert == nullptr || alert->alertWindow() == nullptr || !alert->alertWindow()->isActiveWindow()) {
            return;
        }
        // Count the alerts by nesting: the innermost running one is ours
        // once as many are running as asked.
        size_t running = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            running += qobject_cast<PVWindow*>(widget) != nullptr && widget->isVisible() ? 1 : 0;
        }
        if (running != depth) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (inspect) {
            inspect(alert);
        }
        QWidget* target = button == 1 ? static_cast<QWidget*>(alert->button1()) : alert->button2();
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(10, 10));
    });
    poll->start();
}
