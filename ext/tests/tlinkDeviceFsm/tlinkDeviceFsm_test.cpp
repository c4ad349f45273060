#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/logCapture.h"
#include "support/steppedClock.h"
#include "tlinkDeviceFsm/TlinkDeviceFsm.h"
#include "tlinkDeviceFsm/TlinkDeviceFsmHostInterface.h"

namespace {

using vnx::TlinkDeviceFsm;
using vnx::testsupport::LogCapture;
using vnx::testsupport::SteppedClock;
using Timeline = std::vector<std::string>;

constexpr uint64_t kSecondNs = 1'000'000'000ull;

// Records every request and status the machine asks for, in one timeline
// with the machine's transition lines.
class RecordingHost : public vnx::TlinkDeviceFsmHostInterface
{
  public:
    void sendStatus(int code, vnx_TlinkDevice_StatusType_e type) override
    {
        note("status " + std::to_string(code) + " " + std::to_string(type));
    }
    int requestProductId() override { return note("requestProductId"); }
    int requestScd() override { return note("requestScd"); }
    int requestDataOn() override { return note("requestDataOn"); }
    int requestDataOff() override { return note("requestDataOff"); }
    int requestDataMode() override { return note("requestDataMode"); }
    bool saveScd() override
    {
        note("saveScd");
        return acceptScd;
    }

    /// What happened since the last call, and forget it.
    Timeline take()
    {
        flushLog();
        Timeline taken;
        taken.swap(timeline_);
        return taken;
    }

    LogCapture* log = nullptr;
    bool acceptScd = true;

  private:
    int note(const std::string& call)
    {
        flushLog();
        timeline_.push_back(call);
        return 0;
    }
    void flushLog()
    {
        if (log == nullptr) {
            return;
        }
        for (const std::string& text : log->texts()) {
            timeline_.push_back(text);
        }
        log->clear();
    }
    Timeline timeline_;
};

class TlinkDeviceFsmTest : public ::testing::Test
{
  protected:
    TlinkDeviceFsmTest()
    {
        fsm_.setListener(&host_);
        host_.log = &log_;
    }

    /// Drives a fresh machine into `state` by the ordinary road, then forgets
    /// what that took.
    void driveTo(TlinkDeviceFsm::State_e state)
    {
        if (state == TlinkDeviceFsm::CLOSED) {
            return;
        }
        fsm_.open();
        if (state == TlinkDeviceFsm::GET_INFO) {
            fsm_.getInfo();
        } else if (state != TlinkDeviceFsm::WAIT) {
            fsm_.start();
            if (state != TlinkDeviceFsm::GET_PRODUCT_ID) {
                fsm_.receivedProductId();
                if (state != TlinkDeviceFsm::GET_SCD) {
                    fsm_.frsSuccess(TlinkFrsManager::RESPONSE_SUCCESS);
                    if (state != TlinkDeviceFsm::OPEN) {
                        fsm_.setModeOn();
                        if (state == TlinkDeviceFsm::PROCESSING) {
                            fsm_.receivedMotionData();
                        }
                    }
                }
            }
        }
        ASSERT_EQ(fsm_.getState(), state);
        host_.take();
    }

    SteppedClock clock_;
    TlinkDeviceFsm fsm_;
    RecordingHost host_;
    LogCapture log_{LogCapture::defaultLoggerOf(&fsm_), vnx::log::INFO};
};

TEST_F(TlinkDeviceFsmTest, BringUpToMotion)
{
    ASSERT_TRUE(log_.attached());
    EXPECT_EQ(fsm_.getState(), TlinkDeviceFsm::CLOSED);
    fsm_.open();
    EXPECT_EQ(host_.take(), Timeline{"Transition: CLOSED -> WAIT"});
    EXPECT_EQ(fsm_.start(), 0);
    EXPECT_EQ(host_.take(), (Timeline{"Transition: WAIT -> GET_PRODUCT_ID", "requestProductId"}));
    fsm_.receivedProductId();
    EXPECT_EQ(host_.take(), (Timeline{"Transition: GET_PRODUCT_ID -> GET_SCD", "requestScd", "status 0 2"}));
    fsm_.frsSuccess(TlinkFrsManager::RESPONSE_SUCCESS);
    EXPECT_EQ(host_.take(), (Timeline{"saveScd", "Transition: GET_SCD -> OPEN"}));
    EXPECT_EQ(fsm_.setModeOn(), 0);
    EXPECT_EQ(host_.take(), (Timeline{"requestDataOn", "Transition: OPEN -> ASLEEP"}));
    EXPECT_EQ(fsm_.receivedMotionData(), 0);
    EXPECT_EQ(host_.take(), Timeline{"Transition: ASLEEP -> PROCESSING"});
    EXPECT_TRUE(fsm_.isModeOn());
}

TEST_F(TlinkDeviceFsmTest, TimeOutsFireOnlyFromProcessAndStrictlyAfterTheirLength)
{
    driveTo(TlinkDeviceFsm::GET_PRODUCT_ID);
    clock_.advanceNs(5 * kSecondNs);
    EXPECT_EQ(host_.take(), Timeline{}) << "no process, no repeat";
    fsm_.process();
    EXPECT_EQ(host_.take(), Timeline{"requestProductId"});

    // Re-entered now: exactly one second later is not a time-out yet.
    clock_.advanceNs(kSecondNs);
    EXPECT_EQ(fsm_.process(), 0);
    EXPECT_EQ(host_.take(), Timeline{});
    clock_.advanceNs(1);
    fsm_.process();
    EXPECT_EQ(host_.take(), Timeline{"requestProductId"});

    // The product identity is asked for again every second, without limit
    // and without a transition line.
    for (int i = 0; i < 10; ++i) {
        clock_.advanceNs(kSecondNs + 1);
        fsm_.process();
    }
    EXPECT_EQ(host_.take(), Timeline(10, "requestProductId"));
    EXPECT_EQ(fsm_.getState(), TlinkDeviceFsm::GET_PRODUCT_ID);
}

TEST_F(TlinkDeviceFsmTest, GetInfoAsksFourTimesThenGivesUp)
{
    fsm_.open();
    host_.take();
    EXPECT_EQ(fsm_.getInfo(), 3);
    EXPECT_EQ(host_.take(), (Timeline{"Transition: WAIT -> GET_INFO", "requestProductId"}));
    for (int retry = 0; retry < 3; ++retry) {
        clock_.advanceNs(kSecondNs + 1);
        fsm_.process();
        EXPECT_EQ(host_.take(), Timeline{"requestProductId"}) << retry;
    }
    clock_.advanceNs(kSecondNs + 1);
    fsm_.process();
    EXPECT_EQ(host_.take(), (Timeline{"Transition: GET_INFO -> WAIT", "status -969 2"}));
}

TEST_F(TlinkDeviceFsmTest, GetInfoEndsInWaitWithTheIdentity)
{
    driveTo(TlinkDeviceFsm::GET_INFO);
    fsm_.receivedProductId();
    EXPECT_EQ(host_.take(), (Timeline{"Transition: GET_INFO -> WAIT", "status 0 2"}));
}

TEST_F(TlinkDeviceFsmTest, ScdRetriesShareOneCountThatStartsAgainOnReturn)
{
    driveTo(TlinkDeviceFsm::GET_SCD);
    // A rejected SCD and time-outs draw on the same three retries.
    host_.acceptScd = false;
    fsm_.frsSuccess(TlinkFrsManager::RESPONSE_SUCCESS);
    EXPECT_EQ(host_.take(), (Timeline{"saveScd", "requestScd"}));
    clock_.advanceNs(kSecondNs + 1);
    fsm_.process();
    EXPECT_EQ(host_.take(), Timeline{"requestScd"});
    fsm_.frsSuccess(TlinkFrsManager::RESPONSE_SUCCESS);
    EXPECT_EQ(host_.take(), (Timeline{"saveScd", "requestScd"}));
    fsm_.frsSuccess(TlinkFrsManager::RESPONSE_SUCCESS);
    EXPECT_EQ(host_.take(), (Timeline{"saveScd", "Transition: GET_SCD -> WAIT", "status -962 0"}));

    // Back in GET_SCD later, the count starts from 0.
    fsm_.start();
    fsm_.receivedProductId();
    host_.take();
    for (int retry = 0; retry < 3; ++retry) {
        clock_.advanceNs(kSecondNs + 1);
        fsm_.process();
        EXPECT_EQ(host_.take(), Timeline{"requestScd"}) << retry;
    }
    clock_.advanceNs(kSecondNs + 1);
    fsm_.process();
    EXPECT_EQ(host_.take(), (Timeline{"Transition: GET_SCD -> WAIT", "status -962 0"}));
}

TEST_F(TlinkDeviceFsmTest, FlashReadFailures)
{
    driveTo(TlinkDeviceFsm::GET_SCD);
    fsm_.frsFail(TlinkFrsManager::ResponseStatus_e(4));
    EXPECT_EQ(host_.take(), Timeline{}) << "status 4 is left to the time-out";
    EXPECT_EQ(fsm_.getState(), TlinkDeviceFsm::GET_SCD);
    fsm_.frsFail(TlinkFrsManager::RESPONSE_TIMEOUT);
    EXPECT_EQ(host_.take(), (Timeline{"Failed getting SCD from device (FRS error=2)",
                                      "Transition: GET_SCD -> WAIT", "status -962 0"}));
    // Outside GET_SCD flash-read ends change nothing.
    fsm_.frsFail(TlinkFrsManager::RESPONSE_TIMEOUT);
    fsm_.frsSuccess(TlinkFrsManager::RESPONSE_SUCCESS);
    EXPECT_EQ(host_.take(), Timeline{});
}

TEST_F(TlinkDeviceFsmTest, ModeOnDuringBringUpOpensStraightIntoAsleep)
{
    driveTo(TlinkDeviceFsm::GET_SCD);
    EXPECT_EQ(fsm_.setModeOn(), 0);
    EXPECT_EQ(host_.take(), Timeline{});
    EXPECT_EQ(fsm_.getState(), TlinkDeviceFsm::GET_SCD);
    fsm_.frsSuccess(TlinkFrsManager::RESPONSE_SUCCESS);
    EXPECT_EQ(host_.take(), (Timeline{"saveScd", "Transition: GET_SCD -> OPEN", "requestDataOn",
                                      "Transition: OPEN -> ASLEEP"}));
}

TEST_F(TlinkDeviceFsmTest, MotionKeepsProcessingAwakeForTenSeconds)
{
    driveTo(TlinkDeviceFsm::PROCESSING);
    clock_.advanceNs(9 * kSecondNs);
    EXPECT_EQ(fsm_.receivedMotionData(), 0);
    EXPECT_EQ(host_.take(), Timeline{}) << "nothing logged while motion flows";
    clock_.advanceNs(10 * kSecondNs);
    fsm_.process();
    EXPECT_EQ(fsm_.getState(), TlinkDeviceFsm::PROCESSING) << "the time-out started again with the motion";
    clock_.advanceNs(1);
    fsm_.process();
    EXPECT_EQ(host_.take(), Timeline{"Transition: PROCESSING -> ASLEEP"});
    // Asleep, a report that is not motion makes it ask for the data mode.
    fsm_.receivedOtherMessage();
    EXPECT_EQ(host_.take(), Timeline{"requestDataMode"});
    EXPECT_EQ(fsm_.setModeOff(), 0);
    EXPECT_EQ(host_.take(), (Timeline{"requestDataOff", "Transition: ASLEEP -> OPEN"}));
    // Open without motion wanted, a motion report asks for data off again.
    EXPECT_EQ(fsm_.receivedMotionData(), 960);
    EXPECT_EQ(host_.take(), Timeline{"requestDataOff"});
}

TEST_F(TlinkDeviceFsmTest, ResetFromEveryStateClosesAndAsksForDataOff)
{
    const TlinkDeviceFsm::State_e states[] = {
        TlinkDeviceFsm::CLOSED,         TlinkDeviceFsm::WAIT,       TlinkDeviceFsm::GET_INFO,
        TlinkDeviceFsm::GET_PRODUCT_ID, TlinkDeviceFsm::GET_SCD,    TlinkDeviceFsm::OPEN,
        TlinkDeviceFsm::ASLEEP,         TlinkDeviceFsm::PROCESSING,
    };
    for (TlinkDeviceFsm::State_e state : states) {
        fsm_.reset();
        host_.take();
        driveTo(state);
        fsm_.reset();
        EXPECT_EQ(host_.take(),
                  (Timeline{std::string("Transition: ") + TlinkDeviceFsm::_stateNames[state] + " -> CLOSED",
                            "requestDataOff"}))
            << TlinkDeviceFsm::_stateNames[state];
        EXPECT_FALSE(fsm_.isModeOn());
        EXPECT_EQ(fsm_.getState(), TlinkDeviceFsm::CLOSED);
    }
}

// What each command and report answers in each state, and where it leaves
// the machine.
TEST_F(TlinkDeviceFsmTest, AnswersByState)
{
    using S = TlinkDeviceFsm;
    enum Event
    {
        START,
        GET_INFO,
        SET_LEDS,
        MODE_ON,
        MODE_OFF,
        MOTION,
        OPEN_AGAIN,
    };
    const struct
    {
        S::State_e state;
        Event event;
        int answer; // for open: ignored
        S::State_e after;
    } cases[] = {
        {S::CLOSED, START, -968, S::CLOSED},
        {S::WAIT, START, 0, S::GET_PRODUCT_ID},
        {S::GET_INFO, START, -967, S::GET_INFO},
        {S::GET_PRODUCT_ID, START, 0, S::GET_PRODUCT_ID},
        {S::GET_SCD, START, 0, S::GET_SCD},
        {S::OPEN, START, 0, S::OPEN},
        {S::ASLEEP, START, 0, S::ASLEEP},
        {S::PROCESSING, START, 0, S::PROCESSING},
        {S::CLOSED, GET_INFO, -968, S::CLOSED},
        {S::WAIT, GET_INFO, 3, S::GET_INFO},
        {S::GET_INFO, GET_INFO, 3, S::GET_INFO},
        {S::GET_PRODUCT_ID, GET_INFO, 3, S::GET_PRODUCT_ID},
        {S::GET_SCD, GET_INFO, 0, S::GET_SCD},
        {S::OPEN, GET_INFO, 0, S::OPEN},
        {S::PROCESSING, GET_INFO, 0, S::PROCESSING},
        {S::CLOSED, SET_LEDS, -968, S::CLOSED},
        {S::WAIT, SET_LEDS, 0, S::WAIT},
        {S::PROCESSING, SET_LEDS, 0, S::PROCESSING},
        {S::CLOSED, MODE_ON, -968, S::CLOSED},
        {S::WAIT, MODE_ON, 0, S::WAIT},
        {S::OPEN, MODE_ON, 0, S::ASLEEP},
        {S::PROCESSING, MODE_ON, 0, S::PROCESSING},
        {S::CLOSED, MODE_OFF, -968, S::CLOSED},
        {S::GET_SCD, MODE_OFF, 0, S::GET_SCD},
        {S::OPEN, MODE_OFF, 0, S::OPEN},
        {S::ASLEEP, MODE_OFF, 0, S::OPEN},
        {S::PROCESSING, MODE_OFF, 0, S::OPEN},
        {S::CLOSED, MOTION, -968, S::CLOSED},
        {S::WAIT, MOTION, 960, S::WAIT},
        {S::GET_INFO, MOTION, 960, S::GET_INFO},
        {S::GET_PRODUCT_ID, MOTION, 960, S::GET_PRODUCT_ID},
        {S::GET_SCD, MOTION, 960, S::GET_SCD},
        {S::OPEN, MOTION, 960, S::OPEN},
        {S::ASLEEP, MOTION, 0, S::PROCESSING},
        {S::PROCESSING, MOTION, 0, S::PROCESSING},
        {S::CLOSED, OPEN_AGAIN, 0, S::WAIT},
        {S::GET_SCD, OPEN_AGAIN, 0, S::GET_SCD},
        {S::ASLEEP, OPEN_AGAIN, 0, S::ASLEEP},
    };
    for (const auto& c : cases) {
        fsm_.reset();
        host_.take();
        driveTo(c.state);
        int answer = 0;
        switch (c.event) {
        case START:
            answer = fsm_.start();
            break;
        case GET_INFO:
            answer = fsm_.getInfo();
            break;
        case SET_LEDS:
            answer = fsm_.setLeds();
            break;
        case MODE_ON:
            answer = fsm_.setModeOn();
            break;
        case MODE_OFF:
            answer = fsm_.setModeOff();
            break;
        case MOTION:
            answer = fsm_.receivedMotionData();
            break;
        case OPEN_AGAIN:
            fsm_.open();
            break;
        }
        EXPECT_EQ(answer, c.answer) << S::_stateNames[c.state] << " event " << c.event;
        EXPECT_EQ(fsm_.getState(), c.after) << S::_stateNames[c.state] << " event " << c.event;
    }
}

} // namespace
