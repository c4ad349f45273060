#pragma once

// Turns every presenter event, split into one message per value, into model
// state (receiver present, pairing, battery, firmware), notifications for the
// settings window, actions of the presentation programs, the pointer overlay
// and pointer or overlay movement. Its three observable properties tell the
// button-mode actions when the presenter takes control and what the buttons
// do. Main thread only; each message ignores calls that arrive while it is
// still being handled (through an observer, for example).

#include "platform/PVObservable.h"
#include "platform/PVScreen.h"

#include <QDateTime>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class PVCursorManager;
class PVExtraWindowManager;
class PVGlobalObjectManager;
class PVModelManager;
class PVNotificationCenter;

/// The parts of the runtime the handler reads and drives.
struct PVHIDEventHandlerParts
{
    PVGlobalObjectManager& globals;
    PVModelManager& models;
    PVExtraWindowManager& overlays;
    PVCursorManager& cursor;
    PVNotificationCenter& center;
};

class PVHIDEventHandler
{
  public:
    /// The application's handler over the shared managers and the default
    /// notification centre. Created on first use, on the main thread.
    static PVHIDEventHandler& sharedInstance();

    /// How long control lasts after it was taken.
    static constexpr int64_t kActivateTimeoutMs = 100'000;
    /// A click shows as hot-button state 1 this long, then as 0.
    static constexpr int64_t kClickResetMs = 200;
    /// Between starting a show and blanking it.
    static constexpr int64_t kBlackAfterPlayMs = 50;
    /// Every movement is multiplied by the speed scale and by this.
    static constexpr double kMovementFactor = 0.4;
    /// The device name standing for a paired presenter whose own record is unknown.
    static inline const QString kDevelopmentDevice = QStringLiteral("Development");

    explicit PVHIDEventHandler(PVHIDEventHandlerParts parts);
    PVHIDEventHandler(const PVHIDEventHandler&) = delete;
    PVHIDEventHandler& operator=(const PVHIDEventHandler&) = delete;

    // The values of one presenter event, in the order they are handed in.
    int receiveDongleInsertChanged(char dongleInsert);
    int receivePairStateChanged(short pairState);
    /// Info words below 256 are battery levels (0: unknown).
    int receiveBattery(uint64_t info);
    /// Info words of 256 and more are the firmware version's bytes, lowest first.
    int receiveFirmwareVersion(uint64_t info);
    /// 0 released, 1 click, 2 held.
    int didPressHotButton(unsigned char state);
    int didPressPointerButton(unsigned char pressed);

    /// Movement while the pointer button is held: moves the overlays.
    void receivePointerPosition(double dx, double dy);
    /// Movement otherwise: by the button mode, stops control, moves the
    /// cursor or moves the overlays.
    void receiveMousePosition(double dx, double dy);

    /// The screen to present on, by the settings device's choice; the
    /// primary screen when the choice gives none.
    std::optional<PVScreen> pickScreen() const;
    /// The centre of pickScreen's frame; (0, 0) without a screen.
    QPointF pickCenter() const;
    /// The motion scale of a pointer speed level: 0.5 to 1.5 for levels 0-4,
    /// 1.0 for any other.
    static double speedScale(uint64_t speed);

    /// Takes or gives up control. Taking it while not yet held starts the
    /// 100-s timer that gives it up again; giving it up stops the timer.
    /// Every call notifies the observers of `activate`.
    void setActivate(bool flag);
    /// What the 100-s timer does: gives control up.
    void activateTimerAction();

    /// Whether the presenter controls the pointer; set through setActivate.
    PVObservable<bool> activate;
    PVObservable<bool> pointerButtonPressed;
    /// 0 released, 1 click, 2 held.
    PVObservable<unsigned char> hotButtonPressed;

    /// When control was last taken.
    const std::optional<QDateTime>& activateDate() const { return activateDate_; }
    /// Whether the 100-s timer is running.
    bool hasActivateTimer() const { return activateTimer_.has_value(); }

  private:
    /// Sets a re-entry flag for one scope; false when it was already set.
    class Guard;

    void blackout(unsigned char previous, unsigned char state);
    void startStop(unsigned char previous, unsigned char state);
    /// (dx, dy) times the speed scale and the movement factor.
    QPointF scaled(double dx, double dy) const;
    /// Runs `work` after `delayMs` on the main queue unless the handler is gone.
    void later(int64_t delayMs, std::function<void()> work);

    PVHIDEventHandlerParts parts_;
    /// The generation of the running 100-s timer; a timer whose generation
    /// is no longer current has been invalidated.
    std::optional<uint64_t> activateTimer_;
    uint64_t timerGeneration_ = 0;
    std::optional<QDateTime> activateDate_;

    bool dongleLock_ = false;
    bool pairedStateLock_ = false;
    bool batteryLock_ = false;
    bool fmverLock_ = false;
    bool pointerButtonLock_ = false;
    bool hotButtonLock_ = false;

    /// Delayed work holds it weakly: it does nothing once the handler is gone.
    std::shared_ptr<char> life_ = std::make_shared<char>();
};

/// The firmware version text of an info word: its eight bytes, lowest first,
/// up to the first NUL, without control characters.
QString PVFirmwareVersionOfInfo(uint64_t info);
