#pragma once

// Bring-up and data mode of one link device: when it asks for its product
// identity, reads its SCD from flash, counts as open, and whether its motion
// reports should flow. It sends nothing itself (its host does) and has no
// timer: time-outs are looked at when the host calls process, against the
// engine clock.

#include <cstdint>

#include "log/DefaultLogger.h"
#include "tlinkFrs/TlinkFrsManager.h"

namespace vnx {

class TlinkDeviceFsmHostInterface;

class TlinkDeviceFsm
{
    VNX_EXT_LOG_DEFAULT(TlinkDeviceFsm);

  public:
    enum State_e : int
    {
        CLOSED,
        WAIT,
        GET_INFO,
        GET_PRODUCT_ID,
        GET_SCD,
        OPEN,
        ASLEEP,
        PROCESSING,
    };
    /// The states' names, as the transition log prints them.
    static const char* const _stateNames[];

    TlinkDeviceFsm();
    virtual ~TlinkDeviceFsm();
    TlinkDeviceFsm(const TlinkDeviceFsm&) = delete;
    TlinkDeviceFsm& operator=(const TlinkDeviceFsm&) = delete;

    /// The host (not owned).
    void setListener(TlinkDeviceFsmHostInterface* host);

    /// CLOSED → WAIT; nothing in any other state.
    void open();
    /// To CLOSED from any state, mode off, and data off asked for.
    void reset();
    /// Runs the current state's time-out once strictly more than its length
    /// has passed since the state was entered. Always 0.
    int process();

    /// Command Start: 0 (WAIT goes on to ask for the product identity),
    /// -967 in GET_INFO, -968 when closed.
    int start();
    /// Command GetInfo: 3 while the identity is asked for (from WAIT it is
    /// asked now), 0 once known, -968 when closed.
    int getInfo();
    /// Command SetLeds: 0, -968 when closed.
    int setLeds();
    /// Motion reports wanted: 0 (from OPEN data on is asked for at once),
    /// -968 when closed.
    int setModeOn();
    /// Motion reports not wanted: 0 (while they flow data off is asked
    /// for), -968 when closed.
    int setModeOff();

    void receivedProductId();
    /// A motion report: 0 lets it through; 960 (skip it) before the device
    /// is open and while it is open without motion wanted; -968 when closed.
    int receivedMotionData();
    void receivedOtherMessage();
    /// The SCD read finished (`status` 0) or failed.
    void frsSuccess(TlinkFrsManager::ResponseStatus_e status);
    void frsFail(TlinkFrsManager::ResponseStatus_e status);

    bool isModeOn() const { return modeOn_; }
    State_e getState() const { return state_; }

  private:
    void transition(State_e next);
    void enter(State_e next);
    void arm(uint64_t timeoutNs);
    void timeout();
    /// Whether a retry is left in the current state (and takes it).
    bool retry();

    TlinkDeviceFsmHostInterface* host_ = nullptr;
    State_e state_ = CLOSED;
    bool timerActive_ = false;
    uint64_t entryTime_ = 0;
    uint64_t timeout_ = 0;
    uint32_t retryCount_ = 0;
    bool modeOn_ = false;
};

} // namespace vnx
