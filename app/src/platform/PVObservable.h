#pragma once

// A property whose observers hear every set, as (old value, new value), also
// when the value stays the same. Observers are QObjects and stop hearing when
// they are destroyed. Main thread only.

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

template <typename T> class PVObservable
{
  public:
    using Handler = std::function<void(const T& oldValue, const T& newValue)>;

    PVObservable() = default;
    explicit PVObservable(T value) : value_(std::move(value)) {}
    PVObservable(const PVObservable&) = delete;
    PVObservable& operator=(const PVObservable&) = delete;

    const T& value() const { return value_; }

    void set(T value)
    {
        T old = std::move(value_);
        value_ = std::move(value);
        notify(old);
    }

    /// `handler` hears every later set. With `initial`, it first hears once
    /// at once, with the old value read as zero (a value-initialised T).
    void startObserving(QObject* observer, Handler handler, bool initial = true)
    {
        if (observer == nullptr || !handler) {
            return;
        }
        observers_.push_back(Observer{QPointer<QObject>(observer), handler});
        if (initial) {
            handler(T{}, value_);
        }
    }

    void stopObserving(QObject* observer)
    {
        std::erase_if(observers_,
                      [observer](const Observer& o) { return o.object.isNull() || o.object == observer; });
    }

    size_t observerCount() const
    {
        size_t alive = 0;
        for (const Observer& o : observers_) {
            alive += o.object.isNull() ? 0 : 1;
        }
        return alive;
    }

  private:
    struct Observer
    {
        QPointer<QObject> object;
        Handler handler;
    };

    void notify(const T& old)
    {
        std::erase_if(observers_, [](const Observer& o) { return o.object.isNull(); });
        // A handler may start or stop observers: call those of this set from a copy.
        const std::vector<Observer> current = observers_;
        for (const Observer& o : current) {
            if (!o.object.isNull()) {
                o.handler(old, value_);
            }
        }
    }

    T value_{};
    std::vector<Observer> observers_;
};
