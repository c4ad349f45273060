#pragma once

// The part of a window manager the backend talks to: it announces itself on
// the root window (_NET_SUPPORTING_WM_CHECK, _NET_SUPPORTED with
// _NET_ACTIVE_WINDOW) and carries out active-window requests on a thread of
// its own: it gives the window the input focus and records it as the root's
// _NET_ACTIVE_WINDOW. It does not place or map windows.

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

struct _XDisplay;

class FakeWindowManager
{
  public:
    FakeWindowManager();
    /// Stops and takes its announcement off the root window.
    ~FakeWindowManager();
    FakeWindowManager(const FakeWindowManager&) = delete;
    FakeWindowManager& operator=(const FakeWindowManager&) = delete;

    /// The windows asked for, in order.
    std::vector<unsigned long> requests() const;
    /// Refuses (records, does nothing) the requests from now on.
    void refuse() { refusing_ = true; }

  private:
    void run();

    _XDisplay* display_;
    unsigned long checkWindow_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> refusing_{false};
    mutable std::mutex mutex_;
    std::vector<unsigned long> requests_;
    std::thread thread_;
};
