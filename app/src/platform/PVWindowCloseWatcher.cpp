#include "platform/PVWindowCloseWatcher.h"

#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

void PVWindowCloseWatcher::install()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr ||
        application->findChild<PVWindowCloseWatcher*>(QString(), Qt::FindDirectChildrenOnly)) {
        return;
    }
    application->installEventFilter(new PVWindowCloseWatcher(application));
}

// A close request may be refused by the window. When it is granted, Qt hides
// the window before the close call returns; so the notification goes out at
// that hide, and a refused close is forgotten once the event loop turns.
bool PVWindowCloseWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (!widget->isWindow()) {
        return false;
    }
    if (event->type() == QEvent::Close) {
        closing_ = widget;
        QTimer::singleShot(0, this, [this, widget] {
            if (closing_ == widget) {
                closing_.clear();
            }
        });
    } else if (event->type() == QEvent::Hide && closing_ == widget) {
        closing_.clear();
        PVNotificationCenter::defaultCenter().post(kPVWindowWillCloseNotification, widget);
    }
    return false;
}
