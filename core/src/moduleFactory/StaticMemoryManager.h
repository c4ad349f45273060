#pragma once

// Instance pool: creates objects of one type, remembers every live one and
// frees only what it created. Factories keep their modules in one, the flat
// API its handles, the registry its entries; a pointer the pool does not hold
// is never freed through it, which turns a double or foreign destroy into an
// error code instead of heap corruption.
//
// Creation, destruction and the membership checks take the core lock
// (common/coreLock.h): pools are shared by every thread that creates modules.
// Iteration does not; it is for single-threaded inspection.

#include <cstddef>
#include <memory>
#include <set>

#include "common/coreLock.h"

namespace vnx {

/// Pool of T objects ordered by address. `Capacity` -1 means no fixed limit
/// (objects come from the heap); otherwise `create` refuses once that many
/// objects are live.
template <class T, int Capacity = -1> class StaticMemoryManager
{
  public:
    StaticMemoryManager() = default;
    StaticMemoryManager(const StaticMemoryManager&) = delete;
    StaticMemoryManager& operator=(const StaticMemoryManager&) = delete;
    /// Frees the bookkeeping only: objects still live are not destroyed.
    ~StaticMemoryManager() = default;

    /// A new T in its default state, or null when the fixed capacity is used
    /// up. Throws what T's constructor or the allocation throws (std::bad_alloc).
    T* create()
    {
        CoreLock lock;
        if (Capacity >= 0 && live_.size() >= static_cast<size_t>(Capacity)) {
            return nullptr;
        }
        auto object = std::make_unique<T>();
        live_.insert(object.get());
        return object.release();
    }

    /// Null: true, nothing happens. An object this pool does not hold: false,
    /// it is not freed. Otherwise the object leaves the pool and is deleted.
    bool destroy(T* object)
    {
        if (object == nullptr) {
            return true;
        }
        CoreLock lock;
        auto it = live_.find(object);
        if (it == live_.end()) {
            return false;
        }
        live_.erase(it);
        delete object;
        return true;
    }

    /// Whether `object` is a live object of this pool.
    bool contains(const T* object) const
    {
        CoreLock lock;
        return live_.count(const_cast<T*>(object)) != 0;
    }

    size_t size() const
    {
        CoreLock lock;
        return live_.size();
    }

    /// The live objects in address order.
    auto begin() const { return live_.begin(); }
    auto end() const { return live_.end(); }

  private:
    std::set<T*> live_;
};

} // namespace vnx
