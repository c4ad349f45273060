#pragma once

// Named notifications between the application's parts. A post calls, on the
// posting thread, every observer of that name in the order they registered.
// An observer added during a post is not called by it; one removed during a
// post is not called again. Observers are QObjects and leave the centre when
// they are destroyed.

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <mutex>
#include <vector>

struct PVNotification
{
    QString name;
    QObject* object = nullptr;
    QVariantMap userInfo;
};

class PVNotificationCenter
{
  public:
    using Handler = std::function<void(const PVNotification&)>;

    static PVNotificationCenter& defaultCenter();

    PVNotificationCenter() = default;
    PVNotificationCenter(const PVNotificationCenter&) = delete;
    PVNotificationCenter& operator=(const PVNotificationCenter&) = delete;

    /// Calls `handler` for every later post of `name`, until removed or until
    /// `observer` is destroyed.
    void addObserver(QObject* observer, const QString& name, Handler handler);
    /// Removes every registration of `observer`, or only those for `name`.
    void removeObserver(QObject* observer);
    void removeObserver(QObject* observer, const QString& name);

    void post(const QString& name, QObject* object = nullptr, const QVariantMap& userInfo = {});

    /// Registrations alive now.
    size_t observerCount() const;

  private:
    struct Registration
    {
        unsigned long long id;
        QObject* observer;
        QString name;
        Handler handler;
        QMetaObject::Connection destroyedConnection;
    };

    bool isRegistered(unsigned long long id) const;
    void removeWhere(const std::function<bool(const Registration&)>& matches);

    mutable std::recursive_mutex mutex_;
    std::vector<Registration> registrations_;
    unsigned long long nextId_ = 1;
};
