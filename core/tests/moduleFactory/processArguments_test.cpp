#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/statusCode.h"
#include "fakeWidget.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"

namespace {

struct Arrangement
{
    std::string name;
    std::function<void(size_t& count, const vnx_StructOutput_s**& array, const vnx_StructOutput_s** slots)>
        spoil;
    bool accepted;
};

TEST(ProcessRecord, AcceptsOnlyACoveredPresentRecordOfTheExpectedShape)
{
    vnx_Widget_Output_s widget;
    vnx_Widget_initOutput(&widget);
    vnx_Sprocket_Output_s sprocket;
    vnx_Sprocket_initOutput(&sprocket);
    vnx_Widget_Output_s oldWidget = widget;
    oldWidget.output.header.version = 1;

    const Arrangement cases[] = {
        {"widget in slot 1", [](auto&, auto&, auto) {}, true},
        {"count short of the slot", [](auto& count, auto&, auto) { count = 1; }, false},
        {"no array", [](auto&, auto& array, auto) { array = nullptr; }, false},
        {"empty slot", [](auto&, auto&, auto slots) { slots[1] = nullptr; }, false},
        {"another type's record", [&](auto&, auto&, auto slots) { slots[1] = &sprocket; }, false},
        {"another version", [&](auto&, auto&, auto slots) { slots[1] = &oldWidget.output; }, false},
    };
    for (const Arrangement& c : cases) {
        SCOPED_TRACE(c.name);
        const vnx_StructOutput_s* slots[2] = {&sprocket, &widget.output};
        const vnx_StructOutput_s** array = slots;
        size_t count = 2;
        c.spoil(count, array, slots);
        const vnx_Widget_Output_s* found =
            vnx::processRecord(count, array, 1, vnx_Widget_dynamicDownCastConstOutput);
        EXPECT_EQ(found != nullptr, c.accepted);
        if (c.accepted) {
            EXPECT_EQ(found, &widget);
        }
    }
}

TEST(ProcessRecord, WritableRecordsKeepTheirWritableType)
{
    vnx_Widget_Output_s widget;
    vnx_Widget_initOutput(&widget);
    vnx_StructOutput_s* slots[1] = {&widget.output};
    vnx_Widget_Output_s* found = vnx::processRecord(size_t{1}, slots, 0, vnx_Widget_dynamicDownCastOutput);
    ASSERT_EQ(found, &widget);
}

TEST(DescribeInterface, SetsTheCountAndWritesIdsOnlyWhenTheyFit)
{
    const uint8_t types[] = {22, 5};
    uint8_t ids[3] = {0, 0, 0};
    size_t count = 0;
    EXPECT_EQ(vnx::describeInterface(types, 1, ids, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(ids[0], 0);

    EXPECT_EQ(vnx::describeInterface(types, 3, nullptr, count), VNX_STATUS_INVALID_PARAMETER);

    EXPECT_EQ(vnx::describeInterface(types, 3, ids, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(ids[0], 22);
    EXPECT_EQ(ids[1], 5);
    EXPECT_EQ(ids[2], 0);

    // An interface without records needs no list to be described.
    count = 7;
    EXPECT_EQ(vnx::describeInterface({}, 0, nullptr, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(count, 0u);
}

} // namespace
