#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/logCapture.h"
#include "support/steppedClock.h"
#include "tlinkFrs/TlinkFrsManager.h"

namespace {

using vnx::testsupport::LogCapture;
using vnx::testsupport::SteppedClock;
using Calls = std::vector<std::string>;

constexpr uint64_t kSecondNs = 1'000'000'000ull;
constexpr auto kScd = TlinkFrs::RECORD_SCD;
constexpr auto kUnit = TlinkFrs::TARGET_UNIT;

// Records every message the manager sends and every end it reports, in order.
class RecordingListener : public TlinkFrsManager::Listener
{
  public:
    void frsReadDone(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target,
                     TlinkFrsManager::ResponseStatus_e status, uint32_t count, const uint32_t* words) override
    {
        std::string call = "readDone " + std::to_string(type) + " " + std::to_string(target) + " status " +
                           std::to_string(status) + " count " + std::to_string(count);
        calls.push_back(call);
        lastWords.assign(words, words + count);
        if (onDone) {
            onDone();
        }
    }
    void frsWriteDone(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target,
                      TlinkFrsManager::ResponseStatus_e status) override
    {
        calls.push_back("writeDone " + std::to_string(type) + " " + std::to_string(target) + " status " +
                        std::to_string(status));
        if (onDone) {
            onDone();
        }
    }
    int sendMessage(const zephra_message& message) override
    {
        std::string call;
        switch (message.messageType) {
        case zephra_typeFRSReadRequest:
            call = "read from " + std::to_string(message.body.FRSReadRequest.wordOffset) + " type " +
                   std::to_string(message.body.FRSReadRequest.recordType) + " count " +
                   std::to_string(message.body.FRSReadRequest.wordCount);
            break;
        case zephra_typeFRSWriteRequest:
            call = "write " + std::to_string(message.body.FRSWriteRequest.recordLength) + " words type " +
                   std::to_string(message.body.FRSWriteRequest.recordType);
            break;
        case zephra_typeFRSWriteData:
            call = "data " + std::to_string(message.body.FRSWriteData.wordOffset) + " = " +
                   std::to_string(message.body.FRSWriteData.data);
            break;
        default:
            call = "message " + std::to_string(message.messageType);
        }
        if (message.protocolVersion != 2 || message.destination != kUnit) {
            call += " (wrong version or destination)";
        }
        calls.push_back(call);
        return failSends ? -1 : 0;
    }

    Calls take()
    {
        Calls taken;
        taken.swap(calls);
        return taken;
    }

    Calls calls;
    std::vector<uint32_t> lastWords;
    bool failSends = false;
    std::function<void()> onDone;
};

zephra_message readResponse(uint32_t status, uint16_t offset, std::vector<uint32_t> words)
{
    zephra_message message = {};
    message.messageType = zephra_typeFRSReadResponse;
    message.protocolVersion = 2;
    message.body.FRSReadResponse.status = status;
    message.body.FRSReadResponse.wordCount = static_cast<uint32_t>(words.size());
    message.body.FRSReadResponse.wordOffset = offset;
    for (size_t i = 0; i < words.size() && i < 3; ++i) {
        message.body.FRSReadResponse.data[i] = words[i];
    }
    return message;
}

zephra_message writeResponse(uint8_t status, uint16_t offset = 0)
{
    zephra_message message = {};
    message.messageType = zephra_typeFRSWriteResponse;
    message.protocolVersion = 2;
    message.body.FRSWriteResponse.status = status;
    message.body.FRSWriteResponse.wordOffset = offset;
    return message;
}

class TlinkFrsManagerTest : public ::testing::Test
{
  protected:
    TlinkFrsManagerTest() { manager_.setListener(&listener_); }

    SteppedClock clock_;
    TlinkFrsManager manager_;
    RecordingListener listener_;
    LogCapture log_{LogCapture::defaultLoggerOf(&manager_), vnx::log::INFO};
};

TEST_F(TlinkFrsManagerTest, WholeRecordReadBlockByBlock)
{
    manager_.frsRead(kScd, kUnit, 0, 0);
    EXPECT_EQ(listener_.take(), Calls{"read from 0 type 60577 count 0"});
    EXPECT_TRUE(manager_.receiveMessage(readResponse(0, 0, {10, 11, 12})));
    EXPECT_TRUE(manager_.receiveMessage(readResponse(6, 3, {13, 14, 15})));
    // The block ended: the next one is asked for from where it stopped.
    EXPECT_EQ(listener_.take(), Calls{"read from 6 type 60577 count 0"});
    EXPECT_TRUE(manager_.receiveMessage(readResponse(6, 6, {16})));
    EXPECT_EQ(listener_.take(), Calls{"read from 7 type 60577 count 0"});
    EXPECT_TRUE(manager_.receiveMessage(readResponse(0, 7, {17, 18, 19})));
    EXPECT_TRUE(manager_.receiveMessage(readResponse(7, 10, {20, 21})));
    EXPECT_EQ(listener_.take(), Calls{"readDone 60577 4 status 0 count 12"});
    EXPECT_EQ(listener_.lastWords, (std::vector<uint32_t>{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    EXPECT_FALSE(manager_.receiveMessage(readResponse(3, 12, {1}))) << "no read runs";
}

TEST_F(TlinkFrsManagerTest, CountedReadEndsWithItsBlock)
{
    manager_.frsRead(kScd, kUnit, 4, 8);
    EXPECT_EQ(listener_.take(), Calls{"read from 8 type 60577 count 4"});
    manager_.receiveMessage(readResponse(0, 8, {1, 2, 3}));
    manager_.receiveMessage(readResponse(6, 11, {4}));
    EXPECT_EQ(listener_.take(), Calls{"readDone 60577 4 status 0 count 4"});
}

TEST_F(TlinkFrsManagerTest, OffsetErrorsAreRequestedAgainThenGivenUp)
{
    manager_.frsRead(kScd, kUnit, 0, 0);
    listener_.take();
    manager_.receiveMessage(readResponse(0, 0, {1, 2, 3}));
    for (int rtx = 1; rtx <= 3; ++rtx) {
        // Words from the wrong place are dropped; the end asks again from 3.
        manager_.receiveMessage(readResponse(0, 5, {9, 9, 9}));
        manager_.receiveMessage(readResponse(3, 8, {9}));
        EXPECT_EQ(listener_.take(), Calls{"read from 3 type 60577 count 0"}) << rtx;
        EXPECT_TRUE(log_.contains("Read offset error, rtx = " + std::to_string(rtx)));
    }
    manager_.receiveMessage(readResponse(3, 9, {9}));
    EXPECT_EQ(listener_.take(), Calls{"readDone 60577 4 status 11 count 0"});
    EXPECT_EQ(log_.lines().back().level, vnx::log::ERROR);
}

TEST_F(TlinkFrsManagerTest, GoodWordsResetTheRetransmitCount)
{
    manager_.frsRead(kScd, kUnit, 0, 0);
    listener_.take();
    for (int round = 0; round < 5; ++round) {
        const auto at = static_cast<uint16_t>(round);
        manager_.receiveMessage(readResponse(6, static_cast<uint16_t>(at + 1), {9}));
        EXPECT_EQ(listener_.take(), Calls{"read from " + std::to_string(at) + " type 60577 count 0"});
        manager_.receiveMessage(readResponse(0, at, {static_cast<uint32_t>(at)}));
    }
    manager_.receiveMessage(readResponse(3, 5, {}));
    EXPECT_EQ(listener_.take(), Calls{"readDone 60577 4 status 0 count 5"});
}

TEST_F(TlinkFrsManagerTest, UnansweredReadIsRequestedEverySecondThenTimesOut)
{
    manager_.frsRead(kScd, kUnit, 0, 0);
    listener_.take();
    clock_.advanceNs(kSecondNs - 1);
    manager_.process();
    EXPECT_EQ(listener_.take(), Calls{});
    for (int rtx = 1; rtx <= 3; ++rtx) {
        clock_.advanceNs(kSecondNs); // at exactly one second after the last request
        manager_.process();
        EXPECT_EQ(listener_.take(), Calls{"read from 0 type 60577 count 0"}) << rtx;
        EXPECT_TRUE(log_.contains("Read request timeout, rtx = " + std::to_string(rtx)));
        clock_.advanceNs(1);
    }
    clock_.advanceNs(kSecondNs);
    manager_.process();
    EXPECT_EQ(listener_.take(), Calls{"readDone 60577 4 status 2 count 0"});
}

TEST_F(TlinkFrsManagerTest, DeviceReadErrorsEndTheRead)
{
    const struct
    {
        uint32_t deviceStatus;
        int reported;
    } cases[] = {{1, 3}, {2, 4}, {4, 12}, {5, 8}, {8, 15}, {9, 15}, {255, 15}};
    for (const auto& c : cases) {
        manager_.frsRead(kScd, kUnit, 0, 0);
        listener_.take();
        manager_.receiveMessage(readResponse(0, 0, {1, 2}));
        EXPECT_TRUE(manager_.receiveMessage(readResponse(c.deviceStatus, 2, {})));
        EXPECT_EQ(listener_.take(),
                  Calls{"readDone 60577 4 status " + std::to_string(c.reported) + " count 0"})
            << c.deviceStatus;
    }
}

TEST_F(TlinkFrsManagerTest, ReadThatWouldPassItsOffsetRangeEnds)
{
    manager_.frsRead(kScd, kUnit, 0, 0);
    listener_.take();
    // A device that never ends its record: three words at a time, status 0.
    uint16_t offset = 0;
    int responses = 0;
    while (listener_.calls.empty() && responses < 30000) {
        manager_.receiveMessage(readResponse(0, offset, {7, 7, 7}));
        offset = static_cast<uint16_t>(offset + 3);
        ++responses;
    }
    EXPECT_EQ(responses, 65536 / 3 + 1);
    EXPECT_EQ(listener_.take(), Calls{"readDone 60577 4 status 15 count 0"});
    // Idle again: a new read starts from nothing.
    manager_.frsRead(kScd, kUnit, 1, 0);
    manager_.receiveMessage(readResponse(3, 0, {5}));
    EXPECT_EQ(listener_.take().back(), "readDone 60577 4 status 0 count 1");
    EXPECT_EQ(listener_.lastWords, std::vector<uint32_t>{5});
}

TEST_F(TlinkFrsManagerTest, MessagesThatAreNotTheReadsAreNotTaken)
{
    manager_.frsRead(kScd, kUnit, 0, 0);
    listener_.take();
    zephra_message tooMany = readResponse(0, 0, {1, 2, 3});
    tooMany.body.FRSReadResponse.wordCount = 4;
    EXPECT_FALSE(manager_.receiveMessage(tooMany));
    zephra_message ble = {};
    ble.messageType = zephra_typeFRSReadResponseBLE;
    ble.body.FRSReadResponseBLE.wordCount = 3;
    EXPECT_FALSE(manager_.receiveMessage(ble));
    ble.body.FRSReadResponseBLE.wordCount = 2;
    ble.body.FRSReadResponseBLE.data[0] = 41;
    ble.body.FRSReadResponseBLE.data[1] = 42;
    ble.body.FRSReadResponseBLE.status = 3;
    EXPECT_TRUE(manager_.receiveMessage(ble));
    EXPECT_EQ(listener_.lastWords, (std::vector<uint32_t>{41, 42}));
    zephra_message other = {};
    other.messageType = zephra_typeFRSWriteRequest;
    EXPECT_FALSE(manager_.receiveMessage(other));
    EXPECT_FALSE(manager_.receiveMessage(writeResponse(4))) << "no write runs";
}

TEST_F(TlinkFrsManagerTest, WriteWithAWindowOfTwo)
{
    const uint32_t words[] = {100, 101, 102, 103};
    manager_.frsWrite(kScd, kUnit, 4, words);
    EXPECT_EQ(listener_.take(), Calls{"write 4 words type 60577"});
    manager_.receiveMessage(writeResponse(4));
    EXPECT_EQ(listener_.take(), Calls{"data 0 = 100"});
    manager_.receiveMessage(writeResponse(0, 0));
    EXPECT_EQ(listener_.take(), (Calls{"data 1 = 101", "data 2 = 102"}));
    manager_.receiveMessage(writeResponse(0, 1));
    EXPECT_EQ(listener_.take(), Calls{"data 3 = 103"});
    manager_.receiveMessage(writeResponse(0, 2));
    manager_.receiveMessage(writeResponse(0, 3));
    EXPECT_EQ(listener_.take(), Calls{});
    EXPECT_TRUE(manager_.receiveMessage(writeResponse(8)));
    EXPECT_EQ(listener_.take(), Calls{});
    EXPECT_TRUE(manager_.receiveMessage(writeResponse(3)));
    EXPECT_EQ(listener_.take(), Calls{"writeDone 60577 4 status 0"});
}

TEST_F(TlinkFrsManagerTest, WideWindowRecordAndSkippedAcknowledgements)
{
    std::vector<uint32_t> words(10);
    for (uint32_t i = 0; i < words.size(); ++i) {
        words[i] = 500 + i;
    }
    manager_.frsWrite(TlinkFrs::RECORD_WIDE_WINDOW, kUnit, 10, words.data());
    listener_.take();
    manager_.receiveMessage(writeResponse(4));
    manager_.receiveMessage(writeResponse(0, 0));
    EXPECT_EQ(listener_.take(), (Calls{"data 0 = 500", "data 1 = 501", "data 2 = 502", "data 3 = 503",
                                       "data 4 = 504", "data 5 = 505", "data 6 = 506", "data 7 = 507"}));
    // An acknowledgement past the next offset moves on, with a note.
    manager_.receiveMessage(writeResponse(0, 3));
    EXPECT_TRUE(log_.contains("Write offset skipped.  Expected: 1, Received 3."));
    EXPECT_EQ(listener_.take(), (Calls{"data 8 = 508", "data 9 = 509"}));
    // One below the next offset or past the last sent is ignored.
    log_.clear();
    manager_.receiveMessage(writeResponse(0, 2));
    manager_.receiveMessage(writeResponse(0, 12));
    EXPECT_EQ(log_.texts(), (std::vector<std::string>{"Write offset error.", "Write offset error."}));
    EXPECT_EQ(listener_.take(), Calls{});
    // A non-zero status while sending is taken and ignored.
    EXPECT_TRUE(manager_.receiveMessage(writeResponse(7, 4)));
    manager_.receiveMessage(writeResponse(0, 9));
    manager_.receiveMessage(writeResponse(8));
    manager_.receiveMessage(writeResponse(3));
    EXPECT_EQ(listener_.take(), Calls{"writeDone 41377 4 status 0"});
}

TEST_F(TlinkFrsManagerTest, FinalWriteStatusesAreMapped)
{
    const struct
    {
        uint8_t device;
        int reported;
    } cases[] = {{1, 3}, {2, 4}, {3, 0}, {4, 9},   {5, 5},  {6, 5},
                 {7, 6}, {8, 9}, {9, 7}, {10, 15}, {11, 9}, {0, 9}};
    const uint32_t word = 1;
    for (const auto& c : cases) {
        manager_.frsWrite(kScd, kUnit, 1, &word);
        manager_.receiveMessage(writeResponse(4));
        manager_.receiveMessage(writeResponse(0, 0));
        manager_.receiveMessage(writeResponse(8));
        listener_.take();
        manager_.receiveMessage(writeResponse(c.device));
        EXPECT_EQ(listener_.take(), Calls{"writeDone 60577 4 status " + std::to_string(c.reported)})
            << int(c.device);
    }
    // Unexpected statuses before the data are mapped the same way.
    manager_.frsWrite(kScd, kUnit, 1, &word);
    manager_.receiveMessage(writeResponse(2));
    EXPECT_EQ(listener_.take().back(), "writeDone 60577 4 status 4");
}

TEST_F(TlinkFrsManagerTest, WriteTimeOuts)
{
    const uint32_t words[] = {1, 2, 3};
    // Data words are sent again from the oldest unacknowledged one, three
    // times, then the write gives up.
    manager_.frsWrite(kScd, kUnit, 3, words);
    manager_.receiveMessage(writeResponse(4));
    manager_.receiveMessage(writeResponse(0, 0));
    listener_.take();
    for (int rtx = 0; rtx < 3; ++rtx) {
        clock_.advanceNs(5 * kSecondNs);
        manager_.process();
        EXPECT_EQ(listener_.take(), Calls{"data 1 = 2"}) << rtx;
    }
    clock_.advanceNs(5 * kSecondNs);
    manager_.process();
    EXPECT_EQ(listener_.take(), Calls{"writeDone 60577 4 status 10"});

    // After a retransmission the window starts again behind the acknowledged word.
    manager_.frsWrite(kScd, kUnit, 3, words);
    manager_.receiveMessage(writeResponse(4));
    clock_.advanceNs(5 * kSecondNs);
    manager_.process();
    listener_.take();
    manager_.receiveMessage(writeResponse(0, 0));
    EXPECT_EQ(listener_.take(), (Calls{"data 1 = 2", "data 2 = 3"}));

    // No answer to the request or after the data: time-out.
    for (int acknowledged : {-1, 2}) {
        manager_.receiveMessage(writeResponse(0, 1));
        manager_.receiveMessage(writeResponse(0, 2));
        listener_.take();
        manager_.frsWrite(kScd, kUnit, 3, words);
        if (acknowledged >= 0) {
            manager_.receiveMessage(writeResponse(4));
            for (uint16_t i = 0; i < 3; ++i) {
                manager_.receiveMessage(writeResponse(0, i));
            }
        }
        listener_.take();
        clock_.advanceNs(5 * kSecondNs - 1);
        manager_.process();
        EXPECT_EQ(listener_.take(), Calls{});
        clock_.advanceNs(1);
        manager_.process();
        EXPECT_EQ(listener_.take(), Calls{"writeDone 60577 4 status 2"}) << acknowledged;
    }
}

TEST_F(TlinkFrsManagerTest, EmptyWriteAndMissingWords)
{
    manager_.frsWrite(kScd, kUnit, 0, nullptr);
    EXPECT_EQ(listener_.take(), Calls{"write 0 words type 60577"});
    manager_.receiveMessage(writeResponse(4));
    manager_.receiveMessage(writeResponse(3));
    EXPECT_EQ(listener_.take(), Calls{"writeDone 60577 4 status 0"});

    manager_.frsWrite(kScd, kUnit, 2, nullptr);
    EXPECT_EQ(listener_.take(), Calls{"writeDone 60577 4 status 6"});
}

TEST_F(TlinkFrsManagerTest, OneTransactionAtATime)
{
    const uint32_t words[] = {1, 2};
    manager_.frsWrite(kScd, kUnit, 2, words);
    listener_.take();
    EXPECT_FALSE(manager_.setTimeouts(1, 1));
    EXPECT_FALSE(manager_.setRetransmits(1, 1, 1));
    manager_.frsRead(kScd, kUnit, 0, 0);
    manager_.frsWrite(kScd, kUnit, 2, words);
    EXPECT_EQ(listener_.take(), (Calls{"readDone 60577 4 status 1 count 0", "writeDone 60577 4 status 1"}));
    // The write goes on.
    manager_.receiveMessage(writeResponse(4));
    EXPECT_EQ(listener_.take(), Calls{"data 0 = 1"});
}

TEST_F(TlinkFrsManagerTest, NextTransactionCanStartFromTheEndOfThePrevious)
{
    listener_.onDone = [this] {
        listener_.onDone = nullptr;
        manager_.frsRead(kScd, kUnit, 2, 10);
    };
    manager_.frsRead(kScd, kUnit, 1, 0);
    manager_.receiveMessage(readResponse(3, 0, {77}));
    EXPECT_EQ(listener_.take(), (Calls{"read from 0 type 60577 count 1", "readDone 60577 4 status 0 count 1",
                                       "read from 10 type 60577 count 2"}));
    EXPECT_EQ(listener_.lastWords, std::vector<uint32_t>{77});
}

TEST_F(TlinkFrsManagerTest, FailedSendsEndTheTransaction)
{
    listener_.failSends = true;
    manager_.frsRead(kScd, kUnit, 0, 0);
    EXPECT_EQ(listener_.take(),
              (Calls{"read from 0 type 60577 count 0", "readDone 60577 4 status 16 count 0"}));
    const uint32_t word = 5;
    manager_.frsWrite(kScd, kUnit, 1, &word);
    EXPECT_EQ(listener_.take(), (Calls{"write 1 words type 60577", "writeDone 60577 4 status 16"}));
    listener_.failSends = false;
    manager_.frsWrite(kScd, kUnit, 1, &word);
    listener_.failSends = true;
    manager_.receiveMessage(writeResponse(4));
    EXPECT_EQ(listener_.take(),
              (Calls{"write 1 words type 60577", "data 0 = 5", "writeDone 60577 4 status 16"}));
}

TEST_F(TlinkFrsManagerTest, SettingsAndAbsentListener)
{
    EXPECT_TRUE(manager_.setTimeouts(0, 0));
    manager_.frsRead(kScd, kUnit, 0, 0);
    listener_.take();
    clock_.advanceNs(kSecondNs);
    manager_.process();
    EXPECT_EQ(listener_.take().size(), 1u) << "(0, 0) kept the one-second read time-out";
    manager_.receiveMessage(readResponse(3, 0, {}));
    listener_.take();

    EXPECT_TRUE(manager_.setTimeouts(3 * kSecondNs, 0));
    EXPECT_TRUE(manager_.setRetransmits(3, 1, 66));
    manager_.frsRead(kScd, kUnit, 0, 0);
    listener_.take();
    clock_.advanceNs(2 * kSecondNs);
    manager_.process();
    EXPECT_EQ(listener_.take(), Calls{});
    clock_.advanceNs(kSecondNs);
    manager_.process();
    clock_.advanceNs(3 * kSecondNs);
    manager_.process();
    EXPECT_EQ(listener_.take(),
              (Calls{"read from 0 type 60577 count 0", "readDone 60577 4 status 2 count 0"}));

    TlinkFrsManager alone;
    alone.frsRead(kScd, kUnit, 0, 0);
    EXPECT_FALSE(alone.receiveMessage(readResponse(3, 0, {1})));
    EXPECT_TRUE(alone.setListener(&listener_));
    EXPECT_EQ(listener_.take(), Calls{}) << "the read without listener never started";
}

} // namespace
