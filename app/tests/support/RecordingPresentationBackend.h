#pragma once

// A presentation program for tests: each operation answers what the test
// scripted (no answer, "not scripted", until then), after the scripted
// delay, and every call is logged in order.

#include "runtime/PVPresentationBackend.h"

#include <chrono>
#include <map>
#include <memory>
#include <vector>

class RecordingPresentationBackend final : public PVPresentationBackend
{
  public:
    void setAnswer(PVPresentationOperation operation, PVBackendAnswer answer);
    /// The operation waits `delay` (blocking, as a real program's answer
    /// does) before it answers.
    void setDelay(PVPresentationOperation operation, std::chrono::milliseconds delay);

    const std::vector<PVPresentationOperation>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    PVBackendAnswer installed() override { return answer(PVPresentationOperation::Installed); }
    PVBackendAnswer open() override { return answer(PVPresentationOperation::Open); }
    PVBackendAnswer playing() override { return answer(PVPresentationOperation::Playing); }
    PVBackendAnswer frontmost() override { return answer(PVPresentationOperation::Frontmost); }
    PVBackendAnswer version() override { return answer(PVPresentationOperation::Version); }
    PVBackendAnswer windowBounds() override { return answer(PVPresentationOperation::WindowBounds); }
    PVBackendAnswer play() override { return answer(PVPresentationOperation::Play); }
    PVBackendAnswer stop() override { return answer(PVPresentationOperation::Stop); }
    PVBackendAnswer black() override { return answer(PVPresentationOperation::Black); }
    PVBackendAnswer pen() override { return answer(PVPresentationOperation::Pen); }
    PVBackendAnswer automaticPointer() override { return answer(PVPresentationOperation::AutomaticPointer); }

  private:
    PVBackendAnswer answer(PVPresentationOperation operation);

    std::map<PVPresentationOperation, PVBackendAnswer> answers_;
    std::map<PVPresentationOperation, std::chrono::milliseconds> delays_;
    std::vector<PVPresentationOperation> calls_;
};

/// Serves a role with a recording backend while it lives, then puts the
/// previous backend back.
class ScopedPresentationBackend
{
  public:
    explicit ScopedPresentationBackend(PVPresentationRole role)
        : role_(role), backend_(std::make_shared<RecordingPresentationBackend>()),
          previous_(PVPresentationBackends::setBackend(role, backend_))
    {
    }
    ~ScopedPresentationBackend() { PVPresentationBackends::setBackend(role_, previous_); }
    ScopedPresentationBackend(const ScopedPresentationBackend&) = delete;
    ScopedPresentationBackend& operator=(const ScopedPresentationBackend&) = delete;

    RecordingPresentationBackend& operator*() const { return *backend_; }
    RecordingPresentationBackend* operator->() const { return backend_.get(); }

  private:
    PVPresentationRole role_;
    std::shared_ptr<RecordingPresentationBackend> backend_;
    std::shared_ptr<PVPresentationBackend> previous_;
};
