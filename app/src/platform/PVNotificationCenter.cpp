#include "platform/PVNotificationCenter.h"

PVNotificationCenter& PVNotificationCenter::defaultCenter()
{
    static PVNotificationCenter center;
    return center;
}

void PVNotificationCenter::addObserver(QObject* observer, const QString& name, Handler handler)
{
    if (observer == nullptr || !handler) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Registration registration{nextId_++, observer, name, std::move(handler), {}};
    registration.destroyedConnection =
        QObject::connect(observer, &QObject::destroyed, [this, observer] { removeObserver(observer); });
    registrations_.push_back(std::move(registration));
}

void PVNotificationCenter::removeWhere(const std::function<bool(const Registration&)>& matches)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    for (auto it = registrations_.begin(); it != registrations_.end();) {
        if (matches(*it)) {
            QObject::disconnect(it->destroyedConnection);
            it = registrations_.erase(it);
        } else {
            ++it;
        }
    }
}

void PVNotificationCenter::removeObserver(QObject* observer)
{
    removeWhere([observer](const Registration& r) { return r.observer == observer; });
}

void PVNotificationCenter::removeObserver(QObject* observer, const QString& name)
{
    removeWhere(
        [observer, &name](const Registration& r) { return r.observer == observer && r.name == name; });
}

bool PVNotificationCenter::isRegistered(unsigned long long id) const
{
    for (const Registration& r : registrations_) {
        if (r.id == id) {
            return true;
        }
    }
    return false;
}

size_t PVNotificationCenter::observerCount() const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return registrations_.size();
}

void PVNotificationCenter::post(const QString& name, QObject* object, const QVariantMap& userInfo)
{
    const PVNotification notification{name, object, userInfo};
    // The observers of this post are those registered when it starts.
    std::vector<std::pair<unsigned long long, Handler>> called;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        for (const Registration& r : registrations_) {
            if (r.name == name) {
                called.emplace_back(r.id, r.handler);
            }
        }
    }
    for (const auto& [id, handler] : called) {
        {
            std::lock_guard<std::recursive_mutex> lock(mutex_);
            if (!isRegistered(id)) {
                continue;
            }
        }
        handler(notification);
    }
}
