#pragma once

// Posts kPVWindowWillCloseNotification, with the window as object, whenever a
// top-level window of the application closes (settings, alert, tutorial,
// progress), whoever closes it. Installed once on the application.

#include <QObject>
#include <QPointer>
#include <QWidget>

class PVWindowCloseWatcher : public QObject
{
    Q_OBJECT

  public:
    /// Installs the application's watcher (once; later calls do nothing).
    static void install();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit PVWindowCloseWatcher(QObject* parent) : QObject(parent) {}

    QPointer<QWidget> closing_;
};
