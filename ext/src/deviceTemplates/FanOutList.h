#pragma once

// A list that is walked to call out (listeners, callbacks, devices) and that
// the called code may change during the walk, itself included. A walk visits
// the entries present when it began, in order, and skips those removed since;
// entries added during a walk wait for the next one. Removal during a walk
// only marks the entry, and the list is compacted when the last walk ends,
// so walking never allocates.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

namespace vnx {

/// `Sorted`: entries are kept in ascending order of value (a set of
/// listeners visited by address); otherwise in order of addition.
template <class T, bool Sorted = false> class FanOutList
{
  public:
    bool contains(const T& value) const { return findLive(value) != entries_.size(); }
    bool empty() const { return liveCount_ == 0; }
    size_t size() const { return liveCount_; }

    /// Adds `value` unless it is there already: true when added.
    bool insert(const T& value)
    {
        if (contains(value)) {
            return false;
        }
        add(value);
        return true;
    }

    /// Adds `value` at its place (sorted) or at the end, even when an equal
    /// value is there.
    void add(const T& value)
    {
        if constexpr (Sorted) {
            if (walks_ == 0) {
                auto at = std::upper_bound(
                    entries_.begin(), entries_.end(), value,
                    [](const T& v, const Entry& entry) { return std::less<T>()(v, entry.value); });
                entries_.insert(at, Entry{value, true});
                ++liveCount_;
                return;
            }
            // Inserting in the middle would move entries under a running
            // walk: sorted when the walk ends.
            unordered_ = true;
        }
        entries_.push_back(Entry{value, true});
        ++liveCount_;
    }

    /// Removes the first entry equal to `value`: true when there was one.
    bool erase(const T& value)
    {
        return eraseFirstIf([&](const T& entry) { return entry == value; });
    }

    /// Removes the first entry for which `match` holds.
    template <class Match> bool eraseFirstIf(Match&& match)
    {
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].live && match(entries_[i].value)) {
                drop(i);
                return true;
            }
        }
        return false;
    }

    /// Removes every entry.
    void clear()
    {
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].live) {
                drop(i);
            }
        }
    }

    /// The first entry, or `fallback` when the list is empty.
    T front(const T& fallback) const
    {
        for (const Entry& entry : entries_) {
            if (entry.live) {
                return entry.value;
            }
        }
        return fallback;
    }

    /// Calls `visit` with each entry present now that is still there when
    /// its turn comes.
    template <class Visit> void forEach(Visit&& visit)
    {
        const size_t count = entries_.size();
        ++walks_;
        struct EndWalk
        {
            FanOutList& list;
            ~EndWalk() { list.endWalk(); }
        } end{*this};
        for (size_t i = 0; i < count; ++i) {
            if (entries_[i].live) {
                // A copy: the visit may add entries and move the storage.
                const T value = entries_[i].value;
                visit(value);
            }
        }
    }

  private:
    struct Entry
    {
        T value;
        bool live;
    };

    size_t findLive(const T& value) const
    {
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].live && entries_[i].value == value) {
                return i;
            }
        }
        return entries_.size();
    }

    void drop(size_t index)
    {
        --liveCount_;
        if (walks_ > 0) {
            entries_[index].live = false;
            stale_ = true;
        } else {
            entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
        }
    }

    void endWalk()
    {
        if (--walks_ > 0) {
            return;
        }
        if (stale_) {
            entries_.erase(
                std::remove_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.live; }),
                entries_.end());
            stale_ = false;
        }
        if constexpr (Sorted) {
            if (!unordered_) {
                return;
            }
            // Values of a sorted list are unique: a plain sort keeps the set.
            std::sort(entries_.begin(), entries_.end(),
                      [](const Entry& a, const Entry& b) { return std::less<T>()(a.value, b.value); });
            unordered_ = false;
        }
    }

    std::vector<Entry> entries_;
    size_t liveCount_ = 0;
    int walks_ = 0;
    bool stale_ = false;
    bool unordered_ = false;
};

} // namespace vnx
