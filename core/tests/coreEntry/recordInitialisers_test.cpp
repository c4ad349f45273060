// Every record initialiser of the core against its layout: which bytes it
// leaves as they were (padding and reserved bytes the layout says are not
// written) and that it writes every other byte, whatever the record held.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "deviceMotion/DeviceMotionFloatRecords.h"
#include "deviceMotion/DeviceMotionRecords.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorFusionPerDevice/SensorFusionPerDeviceRecords.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "testModule/TestModuleRecords.h"

namespace {

/// Byte ranges [first, last] that the initialiser leaves as they were.
using Kept = std::vector<std::pair<int, int>>;

struct Initialiser
{
    std::string name;
    std::size_t size;
    int (*init)(void*);
    Kept kept;
};

#define KIND(Module, Kind, ...)                                                                                          \
    Initialiser                                                                                                          \
    {                                                                                                                    \
#Module "_init" #Kind, sizeof(vnx_##Module##_##Kind##_s),                                                        \
            [](void*                                                                                                     \
                   r) { return vnx_##Module##_init##Kind(static_cast<vnx_##Module##_##Kind##_s*>(r)); },                 \
                                                                                                      Kept{              \
                                                                                                          __VA_ARGS__ }, \
    }

// Header padding (5-7) and, in Config, Command and Status, the padding
// after `result` (20-23) are never written. A byte of which only some bits
// are fields (a flag word whose other bits belong to the record's user)
// counts as kept. Embedded records keep their own padding at their offset.
#define HEADER                                                                                               \
    {                                                                                                        \
        5, 7                                                                                                 \
    }
#define RESULT                                                                                               \
    HEADER,                                                                                                  \
    {                                                                                                        \
        20, 23                                                                                               \
    }

std::vector<Initialiser> initialisers()
{
    return {
        KIND(ButtonActivity, Config, RESULT),
        KIND(ButtonActivity, Command, RESULT),
        KIND(ButtonActivity, Status, RESULT),
        KIND(ButtonActivity, Format, HEADER),
        KIND(ButtonActivity, Output, HEADER, {28, 31}),
        KIND(TestModule, Config, RESULT, {36, 39}),
        KIND(TestModule, Command, RESULT, {36, 39}),
        KIND(TestModule, Status, RESULT, {36, 39}),
        KIND(TestModule, Format, HEADER),
        KIND(TestModule, Output, HEADER),
        KIND(DeviceSupport, Config, RESULT),
        KIND(DeviceSupport, Command, RESULT),
        KIND(DeviceSupport, Status, RESULT),
        KIND(DeviceSupport, Format, HEADER, {26, 31}),
        KIND(DeviceSupport, Output, HEADER, {17, 17}),
        KIND(DeviceSupport6AG, Config, RESULT),
        KIND(DeviceSupport6AG, Command, RESULT),
        KIND(DeviceSupport6AG, Status, RESULT),
        KIND(DeviceSupport6AG, Format, HEADER),
        KIND(DeviceSupport6AG, Output, HEADER, {35, 39}),
        KIND(DeviceSupport9AGM, Config, RESULT),
        KIND(DeviceSupport9AGM, Command, RESULT),
        KIND(DeviceSupport9AGM, Status, RESULT),
        KIND(DeviceSupport9AGM, Format, HEADER),
        KIND(DeviceSupport9AGM, Output, HEADER, {22, 23}, {47, 47}),
        KIND(DeviceMotion, Config, RESULT),
        KIND(DeviceMotion, Command, RESULT, {36, 39}),
        KIND(DeviceMotion, Status, RESULT),
        KIND(DeviceMotion, Format, HEADER),
        KIND(DeviceMotion, Output, HEADER),
        KIND(DeviceMotionFloat, Config, RESULT),
        KIND(DeviceMotionFloat, Command, RESULT),
        KIND(DeviceMotionFloat, Status, RESULT),
        KIND(DeviceMotionFloat, Format, HEADER),
        KIND(DeviceMotionFloat, Output, HEADER, {100, 103}),
        KIND(SensorInterpretation, Config, RESULT),
        KIND(SensorInterpretation, Command, RESULT),
        KIND(SensorInterpretation, Status, RESULT),
        KIND(SensorInterpretation, Format),
        KIND(SensorInterpretation, Output, HEADER, {24, 27}, {52, 55}),
        KIND(SensorInterpretation9Axis, Config, RESULT),
        KIND(SensorInterpretation9Axis, Command, RESULT),
        KIND(SensorInterpretation9Axis, Status, RESULT),
        KIND(SensorInterpretation9Axis, Format, HEADER, {73, 75}, {81, 83}, {89, 91}, {97, 99}, {108, 111}),
        KIND(SensorInterpretation9Axis, Output, HEADER, {21, 23}, {40, 43}, {68, 71}, {84, 87}),
        KIND(SensorFusion, Config, RESULT, {45, 47}, {52, 55}),
        KIND(SensorFusion, Command, RESULT, {36, 39}),
        KIND(SensorFusion, Status, RESULT, {36, 39}),
        KIND(SensorFusion, Format, HEADER, {23, 23}, {39, 39}),
        KIND(SensorFusion, Output, HEADER),
        KIND(SensorFusionPerDevice, Config, RESULT, {37, 39}, {52, 55}, {77, 79}, {84, 87}),
        KIND(SensorFusionPerDevice, Command, RESULT, {37, 39}),
        KIND(SensorFusionPerDevice, Status, RESULT),
        KIND(SensorFusionPerDevice, Format, HEADER),
        KIND(SensorFusionPerDevice, Output, HEADER),
        KIND(ActivityClassification, Config, RESULT, {35, 35}, {38, 39}, {45, 47}),
        KIND(ActivityClassification, Command, RESULT, {36, 39}),
        KIND(ActivityClassification, Status, RESULT),
        KIND(ActivityClassification, Format, HEADER),
        KIND(ActivityClassification, Output, HEADER, {16, 23}),
    };
}

/// The record after init over a buffer filled with `fill`.
std::vector<std::uint8_t> initialised(const Initialiser& initialiser, std::uint8_t fill)
{
    // 8-byte aligned storage, as a record variable would have.
    alignas(8) std::uint8_t record[512];
    std::memset(record, fill, sizeof record);
    EXPECT_EQ(initialiser.init(record), 0) << initialiser.name;
    return std::vector<std::uint8_t>(record, record + initialiser.size);
}

std::string ranges(const std::vector<bool>& kept)
{
    std::ostringstream text;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i] && (i == 0 || !kept[i - 1])) {
            std::size_t last = i;
            while (last + 1 < kept.size() && kept[last + 1])
                ++last;
            text << "{" << i << ", " << last << "} ";
        }
    }
    return text.str();
}

TEST(RecordInitialisers, WriteEveryByteButTheOnesTheLayoutKeeps)
{
    for (const Initialiser& initialiser : initialisers()) {
        const std::vector<std::uint8_t> overAA = initialised(initialiser, 0xAA);
        const std::vector<std::uint8_t> over55 = initialised(initialiser, 0x55);
        std::vector<bool> keptSeen(initialiser.size);
        for (std::size_t i = 0; i < initialiser.size; ++i)
            keptSeen[i] = overAA[i] != over55[i];
        std::vector<bool> keptExpected(initialiser.size);
        for (const auto& [first, last] : initialiser.kept)
            for (int i = first; i <= last; ++i)
                keptExpected[static_cast<std::size_t>(i)] = true;
        EXPECT_EQ(ranges(keptSeen), ranges(keptExpected)) << initialiser.name;
    }
}

} // namespace

namespace {

TEST(RecordInitialisers, InterpretationFormatIsHeaderCodesAndZeros)
{
    vnx_SensorInterpretation_Format_s format;
    std::memset(&format, 0xAA, sizeof format);
    ASSERT_EQ(vnx_SensorInterpretation_initFormat(&format), 0);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&format);
    const std::uint8_t header[] = {56, 0, 2, 4, 1};
    EXPECT_EQ(std::memcmp(bytes, header, sizeof header), 0);
    EXPECT_EQ(bytes[20], 127);
    EXPECT_EQ(bytes[21], 127);
    for (std::size_t i = 5; i < sizeof format; ++i) {
        if (i != 20 && i != 21) {
            EXPECT_EQ(bytes[i], 0) << "byte " << i;
        }
    }
}

} // namespace
