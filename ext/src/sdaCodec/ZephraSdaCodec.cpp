#include "sdaCodec/ZephraSdaCodec.h"

#include <algorithm>
#include <cstring>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/statusCode.h"
#include "common/timeSource.h"
#include "common/valueEncoding.h"
#include "deviceSupport/DeviceSupport.h"
#include "extCommon/extStatusCode.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"

namespace {

/// A widened counter that disagrees with the time since the previous report
/// by this much or more is replaced by the count the time gives.
constexpr uint64_t kTimeMismatchNs = 500'000'001ull;
/// Fixed period of the sensor entries of a KinemoraOutput of format 2.
constexpr uint64_t kFormat2PeriodNs = 8'000'000ull;
constexpr uint8_t kQ26 = 26;

/// Up to `N` Output records with their Formats, handed to the store at once.
template <unsigned N> struct Batch
{
    const vnx_StructOutput_s* outputs[N] = {};
    const vnx_StructFormat_s* formats[N] = {};
    unsigned count = 0;

    void add(const vnx_StructOutput_s* output, const vnx_StructFormat_s* format)
    {
        outputs[count] = output;
        formats[count] = format;
        ++count;
    }
    void storeIn(vnx::InputStore& store) { store.store(count, outputs, formats); }
};

/// One bit per flag byte: the byte at `flags[0]` is bit 0.
uint32_t maskOf(const uint8_t* flags, unsigned count)
{
    uint32_t mask = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (flags[i] != 0) {
            mask |= 1u << i;
        }
    }
    return mask;
}

vnx_DeviceSupport_Output_s triple(uint8_t sensor, const int16_t* values)
{
    vnx_DeviceSupport_Output_s output;
    vnx_DeviceSupport_initOutput(&output);
    output.sensor = sensor;
    output.x = values[0];
    output.y = values[1];
    output.z = values[2];
    return output;
}

vnx_DeviceSupport_Output_s triple(uint8_t sensor, const uint16_t* values)
{
    const int16_t signedValues[3] = {static_cast<int16_t>(values[0]), static_cast<int16_t>(values[1]),
                                     static_cast<int16_t>(values[2])};
    return triple(sensor, signedValues);
}

vnx_DeviceSupport_Format_s supportFormat(uint32_t sampleNumber, uint8_t flags, int16_t value)
{
    vnx_DeviceSupport_Format_s format;
    vnx_DeviceSupport_initFormat(&format);
    format.sampleNumber = sampleNumber;
    format.flags = flags;
    format.temperature = value;
    return format;
}

vnx_ButtonActivity_Output_s buttons(uint32_t activity, uint32_t mask, int32_t wheel)
{
    vnx_ButtonActivity_Output_s output;
    vnx_ButtonActivity_initOutput(&output);
    output.activity = activity;
    output.buttons = mask;
    output.wheel = wheel;
    return output;
}

/// Stores three sensor triples and a button record, all with one Format.
void storeTriples(vnx::InputStore& store, const vnx_DeviceSupport_Output_s* triples, unsigned count,
                  const vnx_DeviceSupport_Format_s& format, const vnx_ButtonActivity_Output_s& button)
{
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    Batch<4> batch;
    for (unsigned i = 0; i < count; ++i) {
        batch.add(&triples[i].output, &format.format);
    }
    batch.add(&button.output, &buttonFormat);
    batch.storeIn(store);
}

/// A 16-bit value divided by `divisor` into the word, `q` fraction bits.
void setScaled(int16_t value, int16_t divisor, int8_t q, vnx_Number32_u& word)
{
    vnx_setInt16(value, divisor, q, &word);
}

/// The same into a field that the record declares as float.
void setScaled(int16_t value, int16_t divisor, int8_t q, float& field)
{
    vnx_Number32_u word;
    word.bits = 0;
    vnx_setInt16(value, divisor, q, &word);
    std::memcpy(&field, &word, sizeof field);
}

int16_t readInt16(const uint8_t* bytes)
{
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)));
}

} // namespace

ZephraSdaCodec::ZephraSdaCodec() : dftLog_(this) {}

void ZephraSdaCodec::reset()
{
    for (SampleTracker& tracker : trackers_) {
        tracker = SampleTracker{};
    }
    store_.clear();
    sampleBase_ = 0;
    lastButtons_ = 0;
    heldValue_ = 0;
    heldValueValid_ = false;
    nibbleAccumulator_ = 0;
    nibbleExpected_ = 0;
    halfPending_ = false;
    pendingButtons_ = 0;
    pendingFlags_ = 0;
    pendingWheel_ = 0;
    std::fill(std::begin(pendingFirst_), std::end(pendingFirst_), int16_t{0});
    std::fill(std::begin(pendingSecond_), std::end(pendingSecond_), int16_t{0});
}

uint32_t ZephraSdaCodec::extend(SampleTracker& t, uint32_t c, unsigned bits, uint64_t periodNs)
{
    if (periodNs == 0) {
        return c;
    }
    const uint64_t now = vnx_time_ns();
    if (t.first) {
        t.sampleNumber = c;
        t.first = false;
    } else {
        const uint32_t wrap = 1u << bits;
        const uint32_t forward = c - t.lastCounter;
        // An equal counter counts as one whole turn of the counter.
        uint64_t delta = (c != t.lastCounter && forward < (wrap >> 1) + 1u)
                             ? forward
                             : static_cast<uint64_t>(c) + wrap - t.lastCounter;
        // A clock that went back counts as no time at all.
        const uint64_t elapsed = now > t.lastTime ? now - t.lastTime : 0;
        const uint64_t expected = delta * periodNs;
        const uint64_t mismatch = elapsed > expected ? elapsed - expected : expected - elapsed;
        if (mismatch >= kTimeMismatchNs) {
            delta = std::min<uint64_t>(elapsed / periodNs, 0xFFFFFFFEull);
        }
        t.sampleNumber += static_cast<uint32_t>(delta);
    }
    t.lastCounter = c;
    t.lastTime = now;
    return t.sampleNumber;
}

uint32_t ZephraSdaCodec::extendWithPeriod(uint32_t c, unsigned bits)
{
    return extend(trackers_[0], c, bits, static_cast<uint64_t>(samplingPeriod_) * 1000u);
}

uint32_t ZephraSdaCodec::buttonActivity(uint32_t mask, int32_t wheel)
{
    uint32_t activity = 0;
    if ((mask & ~lastButtons_) != 0) {
        activity |= VNX_BUTTON_ACTIVITY_PRESS;
    }
    if ((lastButtons_ & ~mask) != 0) {
        activity |= VNX_BUTTON_ACTIVITY_RELEASE;
    }
    if (wheel > 0) {
        activity |= VNX_BUTTON_ACTIVITY_WHEEL_POSITIVE;
    }
    if (wheel < 0) {
        activity |= VNX_BUTTON_ACTIVITY_WHEEL_NEGATIVE;
    }
    lastButtons_ = mask;
    return activity;
}

int ZephraSdaCodec::decode(const zephra_message& message, int protocolMode, vnx::InputStore*& store)
{
    protocolMode_ = static_cast<uint32_t>(protocolMode);
    store = &store_;
    switch (message.messageType) {
    case zephra_typeSDA:
        return decodeSda(message);
    case zephra_typeBodyFrame:
        return decodeBodyFrame(message);
    case zephra_typeUserFrame:
        store_.clear();
        return VNX_STATUS_SUCCESS;
    case zephra_typeBodyUserFrame:
        return decodeBodyUserFrame(message);
    case zephra_typeSuperSDA:
        return decodeSuperSda(message);
    case zephra_typeDceOutput:
        return decodeDceOutput(message);
    case zephra_typeDceOutV2:
        return decodeDceOutV2(message);
    case zephra_typeDceOutV3:
        return decodeDceOutV3(message);
    case zephra_typeDceOutV4T0:
    case zephra_typeDceOutV4T1:
        return decodeDceOutV4(message);
    case zephra_typeKinemoraOutput:
        switch (message.body.KinemoraOutput.formatSelect) {
        case 0:
            return decodeKinemoraFormat0(message);
        case 2:
            return decodeKinemoraFormat2(message);
        default:
            return VNX_STATUS_INVALID_MESSAGE;
        }
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
}

int ZephraSdaCodec::decodeSda(const zephra_message& message)
{
    const zephra_SDA& sda = message.body.SDA;
    uint32_t sampleNumber = 0;
    if (protocolMode_ == 2) {
        sampleNumber = extendWithPeriod(sda.sampleCounterV2, 16);
    } else if (protocolMode_ == 1) {
        sampleNumber = sda.sampleCounterV1;
    } else {
        return VNX_STATUS_INVALID_VERSION;
    }
    sampleBase_ = sampleNumber;
    const vnx_DeviceSupport_Output_s triples[2] = {triple(1, &sda.sensorWords[0]),
                                                   triple(2, &sda.sensorWords[3])};
    const vnx_DeviceSupport_Format_s format = supportFormat(sampleNumber, 0, sda.sensorWord6);
    const int32_t wheel = static_cast<int8_t>(sda.statusBytes[1]);
    const uint32_t mask = sda.statusBytes[0];
    storeTriples(store_, triples, 2, format, buttons(buttonActivity(mask, wheel), mask, wheel));
    return VNX_STATUS_SUCCESS;
}

int ZephraSdaCodec::decodeBodyFrame(const zephra_message& message)
{
    const zephra_BodyFrame& frame = message.body.BodyFrame;
    const uint32_t sampleNumber = extendWithPeriod(frame.sequenceNumber, 16);
    sampleBase_ = frame.sequenceNumber;

    vnx_SensorInterpretation_Output_s output;
    vnx_SensorInterpretation_initOutput(&output);
    output.sampleNumber = sampleNumber;
    vnx_SensorInterpretation_Format_s format;
    vnx_SensorInterpretation_initFormat(&format);
    format.accValueFormat = kQ26;
    format.rateValueFormat = kQ26;
    for (int i = 0; i < 3; ++i) {
        format.accNoise[i] = 0.01f;
        format.rateVariance[i] = 0.01f;
        setScaled(frame.linearAcceleration[i], 1000, kQ26, output.acceleration[i]);
        setScaled(frame.angularVelocity[i], 1000, kQ26, output.angularVelocity[i]);
    }
    // A fast turn about y and z while the pointer stands still is the hand
    // turning the device over, not pointing: no rotation for this sample.
    const int32_t rateY = frame.angularVelocity[1];
    const int32_t rateZ = frame.angularVelocity[2];
    if (rateY * rateY + rateZ * rateZ >= 57601 && frame.deltaX == 0 && frame.deltaY == 0) {
        for (float& rate : output.angularVelocity) {
            rate = 0.0f;
        }
    }

    const uint32_t mask = maskOf(frame.buttons, 8);
    const vnx_ButtonActivity_Output_s button =
        buttons(buttonActivity(mask, frame.deltaWheel), mask, frame.deltaWheel);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    Batch<2> batch;
    batch.add(&output.output, &format.format);
    batch.add(&button.output, &buttonFormat);
    batch.storeIn(store_);
    return VNX_STATUS_SUCCESS;
}

int ZephraSdaCodec::decodeBodyUserFrame(const zephra_message& message)
{
    const zephra_BodyUserFrame& frame = message.body.BodyUserFrame;
    const uint32_t sampleNumber = extendWithPeriod(frame.sequenceNumber, 16);
    sampleBase_ = frame.sequenceNumber;

    vnx_SensorFusion_Output_s output;
    vnx_SensorFusion_initOutput(&output);
    output.sampleNumber = sampleNumber;
    vnx_SensorFusion_Format_s format;
    vnx_SensorFusion_initFormat(&format);
    format.accelerationQ = kQ26;
    format.angularVelocityQ = kQ26;
    format.magneticFieldQ = 14;
    format.quaternionQ = 30;
    for (int i = 0; i < 3; ++i) {
        setScaled(frame.linearAcceleration[i], 256, kQ26, output.acceleration[i]);
        setScaled(frame.angularVelocity[i], 1024, kQ26, output.angularVelocity[i]);
        setScaled(frame.thirdTriple[i], 100, 14, output.magneticField[i]);
    }
    // The report sends x, y, z, w; the record holds w first.
    const int16_t quaternion[4] = {frame.orientation[3], frame.orientation[0], frame.orientation[1],
                                   frame.orientation[2]};
    for (int i = 0; i < 4; ++i) {
        setScaled(quaternion[i], 16384, 30, output.quaternion[i]);
    }

    const uint32_t mask = maskOf(frame.buttons, 8);
    const vnx_ButtonActivity_Output_s button =
        buttons(buttonActivity(mask, frame.deltaWheel), mask, frame.deltaWheel);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    Batch<2> batch;
    batch.add(&output.output, &format.format);
    batch.add(&button.output, &buttonFormat);
    batch.storeIn(store_);
    return VNX_STATUS_SUCCESS;
}

int ZephraSdaCodec::decodeSuperSda(const zephra_message& message)
{
    const zephra_SuperSDA& sda = message.body.SuperSDA;
    const uint32_t sampleNumber = extendWithPeriod(sda.sequenceNumber, 16);
    sampleBase_ = sampleNumber;
    const vnx_DeviceSupport_Output_s triples[3] = {
        triple(1, &sda.sensorWords[0]), triple(2, &sda.sensorWords[3]), triple(3, &sda.sensorWords[8])};
    const vnx_DeviceSupport_Format_s format = supportFormat(sampleNumber, 0, sda.sensorWords[6]);
    const uint32_t mask = maskOf(sda.buttons, 8);
    storeTriples(store_, triples, 3, format,
                 buttons(buttonActivity(mask, sda.deltaWheel), mask, sda.deltaWheel));
    return VNX_STATUS_SUCCESS;
}

void ZephraSdaCodec::assembleNibble(uint32_t sampleNumber, uint32_t counter, uint8_t nibble)
{
    // A gap in the samples or a part out of turn drops what was collected;
    // a part 0 then starts the next value at once.
    const uint8_t part = static_cast<uint8_t>(counter & 3u);
    if (sampleNumber != sampleBase_ + 1u || part != nibbleExpected_) {
        nibbleAccumulator_ = 0;
        nibbleExpected_ = 0;
    }
    // Part 0 starts a value; a later part extends it only in its turn.
    if (part == 0) {
        nibbleAccumulator_ = nibble;
        nibbleExpected_ = 1;
    } else if (part == nibbleExpected_) {
        nibbleAccumulator_ = static_cast<uint16_t>(nibbleAccumulator_ | (nibble << (4 * part)));
        if (part == 3) {
            heldValue_ = nibbleAccumulator_;
            heldValueValid_ = true;
            nibbleExpected_ = 0;
        } else {
            nibbleExpected_ = static_cast<uint8_t>(part + 1);
        }
    }
}

int ZephraSdaCodec::decodeDceOutput(const zephra_message& message)
{
    const zephra_DceOutput& dce = message.body.DceOutput;
    const uint32_t sampleNumber = extendWithPeriod(dce.sampleCounter, 8);
    assembleNibble(sampleNumber, dce.sampleCounter, static_cast<uint8_t>(dce.status & 0x0F));
    sampleBase_ = sampleNumber;
    if (!heldValueValid_) {
        return VNX_STATUS_WARNING_DECODE_INCOMPLETE;
    }
    const uint8_t flags = static_cast<uint8_t>((dce.flags[0] != 0 ? 1 : 0) | (dce.flags[1] != 0 ? 2 : 0));
    const vnx_DeviceSupport_Output_s triples[3] = {triple(1, &dce.sensorWords[0]),
                                                   triple(2, &dce.sensorWords[3]), triple(3, dce.extraWords)};
    const vnx_DeviceSupport_Format_s format =
        supportFormat(sampleNumber, flags, static_cast<int16_t>(heldValue_));
    storeTriples(store_, triples, 3, format, buttons(flags, static_cast<uint32_t>(dce.status >> 4), 0));
    return VNX_STATUS_SUCCESS;
}

int ZephraSdaCodec::decodeDceOutV2(const zephra_message& message)
{
    const zephra_DceOutV2& dce = message.body.DceOutV2;
    const uint32_t sampleNumber = dce.sampleCounter;
    sampleBase_ = sampleNumber;
    const vnx_DeviceSupport_Output_s triples[3] = {
        triple(1, &dce.sensorWords[0]), triple(2, &dce.sensorWords[3]), triple(3, &dce.sensorWords[6])};
    const vnx_DeviceSupport_Format_s format = supportFormat(sampleNumber, dce.status, dce.sensorWords[9]);
    storeTriples(store_, triples, 3, format,
                 buttons(dce.status, maskOf(dce.flags, 8), static_cast<int8_t>(dce.trailingByte)));
    return VNX_STATUS_SUCCESS;
}

int ZephraSdaCodec::decodeDceOutV3(const zephra_message& message)
{
    const zephra_DceOutV3& dce = message.body.DceOutV3;
    // The counter is the one byte before the flags: a wider read would take
    // the button flags into the sample number.
    const uint32_t sampleNumber = dce.sampleCounter;
    sampleBase_ = sampleNumber;
    const uint8_t flags = static_cast<uint8_t>(maskOf(&dce.flags[4], 4));
    const vnx_DeviceSupport_Output_s triples[2] = {triple(1, &dce.sensorWords[0]),
                                                   triple(2, &dce.sensorWords[3])};
    const vnx_DeviceSupport_Format_s format = supportFormat(sampleNumber, flags, dce.sensorWords[6]);
    storeTriples(store_, triples, 2, format, buttons(flags, maskOf(&dce.flags[0], 4), 0));
    return VNX_STATUS_SUCCESS;
}

int ZephraSdaCodec::decodeDceOutV4(const zephra_message& message)
{
    const bool first = message.messageType == zephra_typeDceOutV4T0;
    const uint8_t counter =
        first ? message.body.DceOutV4T0.sampleCounter : message.body.DceOutV4T1.sampleCounter;
    const bool completes = halfPending_ && counter == sampleBase_;
    // Each half leaves its part of the sample; the second half of a pair
    // then reads both parts from there.
    if (first) {
        const zephra_DceOutV4T0& half = message.body.DceOutV4T0;
        std::copy(half.sensorWords, half.sensorWords + 6, pendingFirst_);
        heldValue_ = static_cast<uint16_t>(half.sensorWords[6]);
    } else {
        const zephra_DceOutV4T1& half = message.body.DceOutV4T1;
        std::copy(half.sensorWords, half.sensorWords + 3, pendingSecond_);
        pendingFlags_ = static_cast<uint8_t>(maskOf(&half.flags[0], 4));
        pendingButtons_ = static_cast<uint8_t>(maskOf(&half.flags[8], 4));
        pendingWheel_ = static_cast<int8_t>(half.trailingByte);
    }
    if (!completes) {
        sampleBase_ = counter;
        halfPending_ = true;
        return VNX_STATUS_WARNING_DECODE_INCOMPLETE;
    }
    const uint32_t sampleNumber = extendWithPeriod(counter, 8);
    const vnx_DeviceSupport_Output_s triples[3] = {triple(1, &pendingFirst_[0]), triple(2, &pendingFirst_[3]),
                                                   triple(3, pendingSecond_)};
    const vnx_DeviceSupport_Format_s format =
        supportFormat(sampleNumber, pendingFlags_, static_cast<int16_t>(heldValue_));
    storeTriples(store_, triples, 3, format, buttons(pendingFlags_, pendingButtons_, pendingWheel_));
    halfPending_ = false;
    return VNX_STATUS_SUCCESS;
}

int ZephraSdaCodec::decodeKinemoraFormat0(const zephra_message& message)
{
    const zephra_KinemoraOutput& report = message.body.KinemoraOutput;
    vnx_SensorFusion_Output_s output;
    vnx_SensorFusion_initOutput(&output);
    vnx_SensorFusion_Format_s format;
    vnx_SensorFusion_initFormat(&format);
    output.sampleNumber = report.sampleCounter;
    sampleBase_ = report.sampleCounter;

    // Optional blocks follow each other in the order of their flags (message
    // bytes 9-15); together they fill the payload at most.
    const uint8_t* at = report.payload;
    auto rawTriple = [&](vnx_Number32_u* group, int32_t scale) {
        for (int i = 0; i < 3; ++i) {
            group[i].fixed = readInt16(at + 2 * i) * scale;
        }
        at += 6;
    };
    if (report.contentFlags[0] != 0) {
        at += 6;
    }
    if (report.contentFlags[1] != 0) {
        rawTriple(output.acceleration, 1);
        format.accelerationQ = 10;
    }
    if (report.contentFlags[2] != 0) {
        rawTriple(output.linearAcceleration, 1);
        format.linearAccelerationQ = 10;
    }
    if (report.contentFlags[3] != 0) {
        rawTriple(output.angularVelocity, 1);
        format.angularVelocityQ = kQ26;
    }
    if (report.contentFlags[4] != 0) {
        rawTriple(output.magneticField, 25600);
        format.magneticFieldQ = 20;
    }
    if (report.contentFlags[5] != 0) {
        at += 6;
    }
    if (report.contentFlags[6] != 0) {
        for (int i = 0; i < 4; ++i) {
            output.quaternion[i].fixed = readInt16(at + 2 * i);
        }
        format.quaternionQ = 14;
    }

    vnx_ButtonActivity_Output_s button;
    vnx_ButtonActivity_initOutput(&button);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    Batch<2> batch;
    batch.add(&output.output, &format.format);
    batch.add(&button.output, &buttonFormat);
    batch.storeIn(store_);
    return VNX_STATUS_SUCCESS;
}

int ZephraSdaCodec::decodeKinemoraFormat2(const zephra_message& message)
{
    const zephra_KinemoraOutput& report = message.body.KinemoraOutput;
    const uint32_t dropped = report.sampleCounter - sampleBase_;
    sampleBase_ = report.sampleCounter;
    if (dropped >= 2) {
        VNX_LOGF(dftLog_, vnx::log::INFO, "Format2 Dropped samples: %d", static_cast<int>(dropped - 1));
    }

    vnx_DeviceSupport_Output_s outputs[kFormat2Entries];
    vnx_DeviceSupport_Format_s formats[kFormat2Entries];
    for (unsigned e = 0; e < kFormat2Entries; ++e) {
        vnx_DeviceSupport_initOutput(&outputs[e]);
        vnx_DeviceSupport_initFormat(&formats[e]);
    }
    const uint8_t* payload = report.payload;
    const unsigned payloadSize = sizeof report.payload;
    unsigned p = 0;
    unsigned e = 0;
    while (p < payloadSize && e < kFormat2Entries) {
        const uint8_t id = payload[p];
        if (id > 6) {
            break;
        }
        // Ids 0-2 carry a triple, 3-6 a single value; an entry that does not
        // fit the payload any more ends the list.
        const unsigned size = id <= 2 ? 8u : 4u;
        if (p + size > payloadSize) {
            break;
        }
        const uint32_t counter = payload[p + 1];
        formats[e].sampleNumber = extend(trackers_[id], counter, 8, kFormat2PeriodNs);
        static constexpr uint8_t kKinds[7] = {1, 2, 3, 0, 0, 0, 4};
        outputs[e].sensor = kKinds[id];
        outputs[e].x = readInt16(payload + p + 2);
        if (id <= 2) {
            outputs[e].y = readInt16(payload + p + 4);
            outputs[e].z = readInt16(payload + p + 6);
        }
        p += size;
        ++e;
    }
    Batch<kFormat2Entries> batch;
    for (unsigned i = 0; i < kFormat2Entries; ++i) {
        batch.add(&outputs[i].output, &formats[i].format);
    }
    batch.storeIn(store_);
    return VNX_STATUS_SUCCESS;
}
