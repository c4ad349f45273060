#pragma once

// Turns one decoded motion report of a link device into the input records of
// the engine's modules (raw sensor triples, interpreted or fused motion, and
// button activity) and keeps them in its own input store. It widens the
// device's short wrapping sample counters into one continuous sample number,
// checking them against the time between reports, derives button activity
// from button masks, and puts together values the device spreads over
// several reports. Single-threaded.

#include <cstdint>

#include "inputStore/InputStore.h"
#include "linkCodec/zephraMessage.h"
#include "log/DefaultLogger.h"

class ZephraSdaCodec
{
    VNX_LOG_DEFAULT_BLOCK("vnxLogOrphan");

  public:
    /// Sensor entries of one KinemoraOutput report of format 2.
    static constexpr unsigned kFormat2Entries = 11;

    ZephraSdaCodec();
    ZephraSdaCodec(const ZephraSdaCodec&) = delete;
    ZephraSdaCodec& operator=(const ZephraSdaCodec&) = delete;

    /// Decodes one report; `store` always points at the codec's store. 0: the
    /// store holds a new complete sample; 980: the report was kept and more
    /// are needed (the store keeps its previous content); -2 a type that is
    /// not a motion report; -1030 a KinemoraOutput of an unknown format; -18
    /// an SDA report in a protocol mode other than 1 or 2.
    int decode(const zephra_message& message, int protocolMode, vnx::InputStore*& store);

    /// Microseconds per sample count; 0 takes counters as they are.
    void setSamplingPeriod(uint32_t periodUs) { samplingPeriod_ = periodUs; }
    /// The counter of the last report decoded (per report kind: the raw or
    /// the widened one).
    uint32_t getSampleBase() const { return sampleBase_; }
    /// Back to the state after construction.
    void reset();

  private:
    struct SampleTracker
    {
        uint64_t lastTime = 0;
        uint32_t lastCounter = 0;
        uint32_t sampleNumber = 0;
        bool first = true;
    };

    /// Widens counter `c` of `bits` bits with tracker `t` at `periodNs` per
    /// count; a period of 0 gives `c` itself.
    uint32_t extend(SampleTracker& t, uint32_t c, unsigned bits, uint64_t periodNs);
    uint32_t extendWithPeriod(uint32_t c, unsigned bits);
    /// Activity bits of a new button mask and wheel; remembers the mask.
    uint32_t buttonActivity(uint32_t mask, int32_t wheel);

    int decodeSda(const zephra_message& message);
    int decodeBodyFrame(const zephra_message& message);
    int decodeBodyUserFrame(const zephra_message& message);
    int decodeSuperSda(const zephra_message& message);
    int decodeDceOutput(const zephra_message& message);
    int decodeDceOutV2(const zephra_message& message);
    int decodeDceOutV3(const zephra_message& message);
    int decodeDceOutV4(const zephra_message& message);
    int decodeKinemoraFormat0(const zephra_message& message);
    int decodeKinemoraFormat2(const zephra_message& message);
    /// Follows the DceOutput value that travels a nibble per report.
    void assembleNibble(uint32_t sampleNumber, uint32_t counter, uint8_t nibble);

    SampleTracker trackers_[7];
    uint32_t samplingPeriod_ = 0;
    uint32_t sampleBase_ = 0;
    vnx::InputStore store_;
    uint32_t lastButtons_ = 0;
    uint32_t protocolMode_ = 1;
    uint16_t heldValue_ = 0;
    bool heldValueValid_ = false;
    uint16_t nibbleAccumulator_ = 0;
    uint8_t nibbleExpected_ = 0;
    bool halfPending_ = false;
    uint8_t pendingButtons_ = 0;
    uint8_t pendingFlags_ = 0;
    int8_t pendingWheel_ = 0;
    int16_t pendingFirst_[6] = {};
    int16_t pendingSecond_[3] = {};
};
