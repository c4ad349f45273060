#pragma once

// What the presentation control asks of a presentation program, one backend
// per role. Every operation answers synchronously, on the caller's thread,
// with a value or with no answer and an error text. A backend bounds its own
// waiting: no operation waits longer than kLongestWaitMs, and a helper
// process that overruns is killed and the operation answers no result.

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

/// The two programs the presenter can drive: the first (Keynote's scripts)
/// and the second (PowerPoint's scripts).
enum class PVPresentationRole
{
    Keynote = 1,
    PowerPoint = 2,
};

enum class PVPresentationOperation
{
    Installed,
    Open,
    Playing,
    Frontmost,
    Version,
    Play,
    Stop,
    Black,
    Pen,
    AutomaticPointer,
    WindowBounds,
};

/// A value (a boolean, a text, a list of four integers, or a null QVariant
/// for an action), or no answer with the reason.
struct PVBackendAnswer
{
    std::optional<QVariant> value;
    QString error;

    static PVBackendAnswer of(QVariant answer) { return PVBackendAnswer{std::move(answer), {}}; }
    static PVBackendAnswer done() { return PVBackendAnswer{QVariant(), {}}; }
    static PVBackendAnswer none(QString reason) { return PVBackendAnswer{std::nullopt, std::move(reason)}; }
};

class PVPresentationBackend
{
  public:
    static constexpr int kLongestWaitMs = 3000;

    virtual ~PVPresentationBackend() = default;

    // Queries: booleans, except the version (text) and the bounds of the
    // running show's window (left, top, right, bottom; all -99 while no
    // show runs). Playing covers a running, black, white or paused show.
    virtual PVBackendAnswer installed() = 0;
    virtual PVBackendAnswer open() = 0;
    virtual PVBackendAnswer playing() = 0;
    virtual PVBackendAnswer frontmost() = 0;
    virtual PVBackendAnswer version() = 0;
    virtual PVBackendAnswer windowBounds() = 0;

    // Actions: start the show of the front document; stop a running, black,
    // white or paused show (a paused one after activating the program and
    // waiting 0.5 s); blank a playing show (after activating and waiting
    // 0.1 s); switch the show's pointer to the pen or back to automatic.
    virtual PVBackendAnswer play() = 0;
    virtual PVBackendAnswer stop() = 0;
    virtual PVBackendAnswer black() = 0;
    virtual PVBackendAnswer pen() = 0;
    virtual PVBackendAnswer automaticPointer() = 0;

    /// Runs `operation` on this backend.
    PVBackendAnswer perform(PVPresentationOperation operation);
};

/// A program that is not there: every boolean query answers NO, everything
/// else answers no result with `reason`.
class PVNotInstalledBackend final : public PVPresentationBackend
{
  public:
    explicit PVNotInstalledBackend(QString reason) : reason_(std::move(reason)) {}

    PVBackendAnswer installed() override { return PVBackendAnswer::of(false); }
    PVBackendAnswer open() override { return PVBackendAnswer::of(false); }
    PVBackendAnswer playing() override { return PVBackendAnswer::of(false); }
    PVBackendAnswer frontmost() override { return PVBackendAnswer::of(false); }
    PVBackendAnswer version() override { return PVBackendAnswer::none(reason_); }
    PVBackendAnswer windowBounds() override { return PVBackendAnswer::none(reason_); }
    PVBackendAnswer play() override { return PVBackendAnswer::none(reason_); }
    PVBackendAnswer stop() override { return PVBackendAnswer::none(reason_); }
    PVBackendAnswer black() override { return PVBackendAnswer::none(reason_); }
    PVBackendAnswer pen() override { return PVBackendAnswer::none(reason_); }
    PVBackendAnswer automaticPointer() override { return PVBackendAnswer::none(reason_); }

  private:
    QString reason_;
};

/// The backend of each role. Main thread only.
namespace PVPresentationBackends {

/// The role's backend: the one set last, or a not-installed backend. The
/// caller's copy keeps it alive through a call that replaces it.
std::shared_ptr<PVPresentationBackend> backend(PVPresentationRole role);

/// Serves `role` with `backend` from now on (null: the not-installed
/// backend again); answers the one it replaces.
std::shared_ptr<PVPresentationBackend> setBackend(PVPresentationRole role,
                                                  std::shared_ptr<PVPresentationBackend> backend);

} // namespace PVPresentationBackends
