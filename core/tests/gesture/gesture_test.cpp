#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "gesture/Gesture.h"
#include "gesture/GestureUpdate.h"

namespace {

struct CodeTextCase
{
    const char* text;
    std::vector<float> code;
};

void PrintTo(const CodeTextCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class CodeText : public ::testing::TestWithParam<CodeTextCase>
{
};

// Every non-blank position starts a number, read the way atoi reads it.
TEST_P(CodeText, GivesOneValuePerNonBlankPosition)
{
    const Gesture gesture("g", GetParam().text, "");
    EXPECT_EQ(gesture.getCode(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CodeText,
    ::testing::Values(CodeTextCase{"1 3 5 7", {1, 3, 5, 7}}, CodeTextCase{"13", {13, 3}},
                      CodeTextCase{"", {}}, CodeTextCase{"  5  ", {5}}, CodeTextCase{"-2", {-2, 2}},
                      CodeTextCase{"x4", {0, 4}}, CodeTextCase{"\t 6", {6, 6}},
                      CodeTextCase{"99999999999",
                                   {2147483647.0f, 2147483647.0f, 999999999.0f, 99999999.0f, 9999999, 999999,
                                    99999, 9999, 999, 99, 9}}));

TEST(GestureCode, SetAndTextAppendWhileAVectorReplaces)
{
    Gesture gesture("first", "1 2", "first.png");
    gesture.set("second", "3", "second.png");
    EXPECT_EQ(gesture.getName(), "second");
    EXPECT_EQ(gesture.getImageName(), "second.png");
    EXPECT_EQ(gesture.getCode(), (std::vector<float>{1, 2, 3}));

    gesture.setCode("4");
    EXPECT_EQ(gesture.getCode(), (std::vector<float>{1, 2, 3, 4}));
    gesture.setCode(std::vector<float>{8, 7});
    EXPECT_EQ(gesture.getCode(), (std::vector<float>{8, 7}));
}

TEST(GestureUpdate, CopiesAllFieldsFromTwoConsecutivePositionVectors)
{
    const std::vector<int32_t> positions[2] = {{1, 2, 3}, {-4, -5, -6}};
    GestureUpdate update("circle", "circle.png", 42, positions);
    EXPECT_EQ(update.name(), "circle");
    EXPECT_EQ(update.imageName(), "circle.png");
    EXPECT_EQ(update.value(), 42);
    EXPECT_EQ(update.positionsX(), positions[0]);
    EXPECT_EQ(update.positionsY(), positions[1]);

    update.setValues("line", "", -1, nullptr);
    EXPECT_EQ(update.name(), "line");
    EXPECT_EQ(update.value(), -1);
    EXPECT_TRUE(update.positionsX().empty());
    EXPECT_TRUE(update.positionsY().empty());
}

} // namespace
