#include "sensor/motionBridge.h"
#include "sensor/sampleNumbers.h"
#include "simulation/presenterReports.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

hidPacket motionPacket(uint16_t counter, int16_t temperature, std::array<int16_t, 3> gyro, std::array<int16_t, 3> acc)
{
    vnx_DeviceSupport6AG_Output_s sample{};
    sample.temperature = temperature;
    for (size_t i = 0; i < 3; ++i) {
        sample.gyroscope[i] = gyro[i];
        sample.accelerometer[i] = acc[i];
    }
    const PresenterReport report = motionReport(7, counter, sample);
    hidPacket packet{};
    hidPacketFill(packet, report.data(), report.size());
    return packet;
}

struct CounterRun
{
    const char* what;
    std::vector<uint16_t> counters;
    std::vector<int32_t> numbers;
};

TEST(RunningSampleNumber, GrowsWithTheCounterAcrossEveryWrap)
{
    const CounterRun runs[] = {
        {"signed wrap", {0x7FFE, 0x7FFF, 0x8000, 0x8001}, {32766, 32767, 32768, 32769}},
        {"unsigned wrap", {0xFFFF, 0x0000, 0x0001}, {-1, 0, 1}},
        {"first sample sign-extended", {0x8000, 0x8001}, {-32768, -32767}},
        {"lost samples count", {10, 13, 0x7FFE, 0x8001}, {10, 13, 0x7FFE, 0x8001}},
        {"jump of 3 over the signed wrap", {0x7FFE, 0x8001}, {32766, 32769}},
        {"a whole turn and more", {0x7FFF, 0xFFFF, 0x7FFF, 0x8000}, {32767, 65535, 98303, 98304}},
    };
    for (const CounterRun& run : runs) {
        RunningSampleNumber numbers;
        for (size_t i = 0; i < run.counters.size(); ++i) {
            const int32_t number = numbers.next(run.counters[i]);
            EXPECT_EQ(number, run.numbers[i]) << run.what << ", sample " << i;
            EXPECT_EQ(static_cast<uint16_t>(number), run.counters[i]) << run.what << ": low 16 bits are the counter";
        }
    }
}

TEST(RunningSampleNumber, WrapsIn32BitsAndRestartsFromTheCounter)
{
    // Steps of 0x7FFF, the largest that still count forward: after 65,538 of
    // them the number has passed the top of the signed 32-bit range.
    RunningSampleNumber numbers;
    uint16_t counter = 0x7FFF;
    int32_t number = numbers.next(counter);
    for (int step = 0; step < 65538; ++step) {
        counter = static_cast<uint16_t>(counter + 0x7FFF);
        number = numbers.next(counter);
    }
    EXPECT_EQ(number, static_cast<int32_t>(32767u * 65539u));
    EXPECT_LT(number, 0);
    EXPECT_EQ(static_cast<uint16_t>(number), counter);

    numbers.restart();
    EXPECT_EQ(numbers.next(0xFFFE), -2) << "a restarted run takes the counter as a first sample does";
}

TEST(SampleRecord, PacketBytesLandInTheirFields)
{
    const hidPacket packet = motionPacket(0xFFFF, -300, {100, -200, 300}, {-4096, 8192, -16384});
    vnx_DeviceSupport6AG_Output_s record;
    vnx_DeviceSupport6AG_initOutput(&record);
    record.gyroscopeGlitch = 9;
    unpackSample(&record, packet);
    EXPECT_EQ(record.sampleNumber, -1) << "FF FF";
    EXPECT_EQ(record.temperature, -300) << "packet bytes 6-7";
    EXPECT_EQ(record.accelerometer[0], -4096) << "packet bytes 14-15";
    EXPECT_EQ(record.accelerometer[1], 8192);
    EXPECT_EQ(record.accelerometer[2], -16384);
    EXPECT_EQ(record.gyroscope[0], 100) << "packet bytes 8-9";
    EXPECT_EQ(record.gyroscope[1], -200);
    EXPECT_EQ(record.gyroscope[2], 300);
    EXPECT_EQ(record.gyroscopeGlitch, 0) << "byte 34";
    EXPECT_EQ(record.output.header.type, 22) << "the header stays the record's";
    // No history: the plain mapping, even right after a wrap.
    unpackSample(&record, motionPacket(0x8000, 0, {}, {}));
    EXPECT_EQ(record.sampleNumber, -32768);
    unpackSample(nullptr, packet);
}

TEST(SampleRecord, SwapBytes16SignExtends)
{
    const std::pair<uint16_t, int32_t> cases[] = {{0x0102, 0x0201}, {0x0080, -32768}, {0xFFFF, -1}, {0x00FF, -256}, {0, 0}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(swapBytes16(value), expected) << std::hex << value;
    }
}

TEST(SampleRecord, InitSampleTimeMarksTheRecord)
{
    vnx_StructConfig_s record{};
    record.extra = -1;
    EXPECT_EQ(initSampleTime(&record), 1);
    uint8_t bytes[sizeof record];
    std::memcpy(bytes, &record, sizeof record);
    EXPECT_EQ(bytes[16] | bytes[17] << 8 | bytes[18] << 16 | static_cast<uint32_t>(bytes[19]) << 24, 0x80000000u);
    EXPECT_EQ(record.extra, 0);
    EXPECT_EQ(initSampleTime(nullptr), 0);
}

} // namespace
