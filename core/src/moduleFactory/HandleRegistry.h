#pragma once

// Handle registry: turns objects that the library hands to clients into
// opaque handle values, and handle values back into objects.
//
// A handle value is not an address: it is a slot number (low 32 bits) and the
// slot's generation (high 32 bits). Removing a handle moves its slot to the
// next generation, so a destroyed handle never names another object, not even
// one that the allocator placed at the old object's address; a slot whose
// generation would wrap is never used again. 0 is never a handle value.
//
// `find` is a few loads (no lock, no allocation) and may run on any thread
// while other threads add or remove other handles. `add` and `remove` take the
// registry's own lock; `add` allocates when it opens a new block of slots.
// The registry does not own the objects: whoever adds one destroys it after
// removing it.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace vnx {

/// An opaque handle value as a 64-bit number; 0 is no handle.
using HandleValue = std::uint64_t;

/// The handle value that a client's opaque pointer carries.
inline HandleValue handleValueOf(const void* handle) noexcept
{
    return static_cast<HandleValue>(reinterpret_cast<std::uintptr_t>(handle));
}

/// The opaque pointer that carries a handle value to a client.
template <class Opaque> Opaque* opaqueHandle(HandleValue value) noexcept
{
    return reinterpret_cast<Opaque*>(static_cast<std::uintptr_t>(value));
}

template <class T> class HandleRegistry
{
  public:
    /// Slots per block and blocks at most: about a million live handles.
    static constexpr std::uint32_t kBlockSlots = 256;
    static constexpr std::uint32_t kBlockCount = 4096;
    static constexpr std::uint32_t kCapacity = kBlockSlots * kBlockCount;

    HandleRegistry() = default;
    HandleRegistry(const HandleRegistry&) = delete;
    HandleRegistry& operator=(const HandleRegistry&) = delete;
    /// Frees the slots; objects still registered are not destroyed.
    ~HandleRegistry()
    {
        for (auto& block : blocks_) {
            delete[] block.load(std::memory_order_relaxed);
        }
    }

    /// Registers `object` (not null) and returns its new handle value; 0 when
    /// every slot is taken. Throws std::bad_alloc when a block cannot be made.
    HandleValue add(T* object)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::uint32_t index = 0;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            if (opened_ == kCapacity) {
                return 0;
            }
            index = opened_;
            std::atomic<Slot*>& block = blocks_[index / kBlockSlots];
            if (block.load(std::memory_order_relaxed) == nullptr) {
                block.store(new Slot[kBlockSlots], std::memory_order_release);
            }
            // Room for every opened slot in the free list, made before the
            // slot is used, so that `remove` never has to allocate.
            if (free_.capacity() < opened_ + 1u) {
                free_.reserve(std::max<std::size_t>(64, 2 * free_.capacity()));
            }
            ++opened_;
        }
        Slot& slot = slotAt(index);
        slot.object.store(object, std::memory_order_release);
        ++live_;
        return static_cast<HandleValue>(slot.generation.load(std::memory_order_relaxed)) << 32 | index;
    }

    /// The object of a live handle value; null for 0, a removed handle or any
    /// value this registry never handed out.
    T* find(HandleValue value) const noexcept
    {
        const Slot* slot = liveSlot(value);
        return slot != nullptr ? slot->object.load(std::memory_order_acquire) : nullptr;
    }

    /// Unregisters a live handle and returns its object (not destroyed); null,
    /// and nothing changes, when the value is not live.
    T* remove(HandleValue value) noexcept
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Slot* slot = const_cast<Slot*>(liveSlot(value));
        if (slot == nullptr || slot->object.load(std::memory_order_relaxed) == nullptr) {
            return nullptr;
        }
        T* object = slot->object.exchange(nullptr, std::memory_order_acq_rel);
        const std::uint32_t next = slot->generation.load(std::memory_order_relaxed) + 1u;
        slot->generation.store(next, std::memory_order_release);
        --live_;
        if (next != 0) {
            // Capacity was reserved when the slot was opened.
            free_.push_back(static_cast<std::uint32_t>(value & 0xFFFFFFFFu));
        }
        return object;
    }

    /// How many handles are live.
    std::size_t size() const noexcept
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return live_;
    }

  private:
    struct Slot
    {
        std::atomic<std::uint32_t> generation{1};
        std::atomic<T*> object{nullptr};
    };

    Slot& slotAt(std::uint32_t index) const noexcept
    {
        return blocks_[index / kBlockSlots].load(std::memory_order_acquire)[index % kBlockSlots];
    }

    const Slot* liveSlot(HandleValue value) const noexcept
    {
        const auto index = static_cast<std::uint32_t>(value & 0xFFFFFFFFu);
        const auto generation = static_cast<std::uint32_t>(value >> 32);
        if (generation == 0 || index >= kCapacity) {
            return nullptr;
        }
        const Slot* block = blocks_[index / kBlockSlots].load(std::memory_order_acquire);
        if (block == nullptr) {
            return nullptr;
        }
        const Slot& slot = block[index % kBlockSlots];
        if (slot.generation.load(std::memory_order_acquire) != generation) {
            return nullptr;
        }
        return &slot;
    }

    mutable std::mutex mutex_;
    std::array<std::atomic<Slot*>, kBlockCount> blocks_{};
    std::uint32_t opened_ = 0;        ///< slots handed out at least once
    std::vector<std::uint32_t> free_; ///< removed slots that may be used again
    std::size_t live_ = 0;
};

} // namespace vnx
