#include "pointerBallistics/PointerBallisticsCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

namespace vnx {
namespace {

using Curve = PointerBallisticsCurve;

struct BuiltIn
{
    Curve::Curve_t selector;
    const char* name;
    float minimumVelocity;
    std::size_t points;
    // A point inside the curve and the last one, as listed for the curve.
    float midSpeed, midGain, lastSpeed, lastGain;
};

TEST(PointerBallisticsCurve, BuiltInCurves)
{
    const BuiltIn curves[] = {
        {Curve::Approved, "Approved", 0.02f, 29, 0.4f, 2202.2761f, 6.0f, 6128.855f},
        {Curve::Experimental, "Experimental", 0.0f, 9, 0.88f, 3000.0f, 6.0f, 6129.0f},
        {Curve::PointerResponse, "PointerResponse", 0.02f, 29, 0.12f, 1679.6678f, 6.0f, 1987.4825f},
        {Curve::Linear, "Linear", 0.0f, 2, 0.0f, 1994.1073f, 6.0f, 1994.1073f},
        {Curve::BriskoExperimental, "Brisko Experimental", 0.02f, 16, 0.3272f, 1994.1073f, 0.4f, 1994.1073f},
        {static_cast<Curve::Curve_t>(5), "Approved", 0.02f, 29, 1.0f, 3334.8147f, 6.0f, 6128.855f},
    };
    for (const BuiltIn& b : curves) {
        Curve curve;
        curve.setCurveToLinear();
        curve.setToCurve(b.selector);
        EXPECT_STREQ(curve.getName(), b.name);
        EXPECT_EQ(curve.getMinimumVelocity(), b.minimumVelocity) << b.name;
        ASSERT_EQ(curve.pointCount(), b.points) << b.name;
        float speed = -1.0f, gain = -1.0f, previousSpeed = -1.0f;
        bool foundMid = false;
        for (unsigned i = 0; i < b.points; ++i) {
            ASSERT_TRUE(curve.pointGet(i, speed, gain));
            EXPECT_GT(speed, previousSpeed) << b.name << " point " << i; // ascending
            previousSpeed = speed;
            foundMid = foundMid || (speed == b.midSpeed && gain == b.midGain);
        }
        EXPECT_TRUE(foundMid) << b.name;
        EXPECT_EQ(speed, b.lastSpeed) << b.name;
        EXPECT_EQ(gain, b.lastGain) << b.name;
        // Every curve starts at speed 0 with gain 0, except the constant one.
        ASSERT_TRUE(curve.pointGet(0, speed, gain));
        EXPECT_EQ(speed, 0.0f);
        EXPECT_EQ(gain, b.selector == Curve::Linear ? 1994.1073f : 0.0f);
    }
}

TEST(PointerBallisticsCurve, BriskoFollowsApprovedUpToItsLinearPart)
{
    Curve approved, brisko;
    brisko.setCurveToBriskoExperimental();
    for (unsigned i = 0; i < 14; ++i) {
        float s1, g1, s2, g2;
        ASSERT_TRUE(approved.pointGet(i, s1, g1));
        ASSERT_TRUE(brisko.pointGet(i, s2, g2));
        EXPECT_EQ(s1, s2);
        EXPECT_EQ(g1, g2);
    }
    EXPECT_EQ(brisko.evaluate(1.0f, 0.15f), approved.evaluate(1.0f, 0.15f));
    EXPECT_NEAR(brisko.evaluate(1.0f, 0.5f), 1994.1073f, 1e-3f);
}

TEST(PointerBallisticsCurve, NewCurveStartsOnApproved)
{
    Curve curve;
    EXPECT_STREQ(curve.getName(), "Approved");
    EXPECT_EQ(curve.pointCount(), 29u);
}

TEST(PointerBallisticsCurve, EvaluateInterpolatesBetweenPoints)
{
    Curve curve;
    // Speed 0.09 is 0.07 past the dead zone: halfway between 0.06 and 0.08.
    EXPECT_NEAR(curve.evaluate(0.008f, 0.09f), 738.5054f * 0.008f, 1e-4f);
    EXPECT_NEAR(curve.evaluate(1.0f, 0.09f), 738.5054f, 1e-2f);
    // Below the minimum velocity nothing moves; at it the first gain (0).
    EXPECT_EQ(curve.evaluate(1.0f, 0.019f), 0.0f);
    EXPECT_EQ(curve.evaluate(1.0f, 0.02f), 0.0f);
    EXPECT_EQ(curve.evaluate(1.0f, -3.0f), 0.0f);
    // At and beyond the last point, the last gain.
    EXPECT_FLOAT_EQ(curve.evaluate(0.5f, 6.02f), 0.5f * 6128.855f);
    EXPECT_FLOAT_EQ(curve.evaluate(0.5f, 100.0f), 0.5f * 6128.855f);
    EXPECT_EQ(curve.evaluate(1.0f, std::numeric_limits<float>::quiet_NaN()), 0.0f);
    // Exactly on a point gives that point's gain.
    EXPECT_NEAR(curve.evaluate(1.0f, 1.02f), 3334.8147f, 1e-2f);
}

TEST(PointerBallisticsCurve, EmptyCurveAppliesTheLinearGainPastTheDeadZone)
{
    Curve curve;
    curve.pointClear();
    curve.setMinimumVelocity(0.05f);
    EXPECT_EQ(curve.pointCount(), 0u);
    EXPECT_EQ(curve.evaluate(0.01f, 0.3f), (0.3f - 0.05f) * 1.435f * 1389.6218f * 0.01f);
    EXPECT_EQ(curve.evaluate(0.01f, 0.04f), 0.0f);
}

TEST(PointerBallisticsCurve, PointEditing)
{
    Curve curve;
    float speed, gain;
    EXPECT_FALSE(curve.pointGet(29, speed, gain));
    EXPECT_FALSE(curve.pointSet(29, 1.0f, 1.0f));
    EXPECT_TRUE(curve.pointSet(28, 7.0f, 7000.0f));
    ASSERT_TRUE(curve.pointGet(28, speed, gain));
    EXPECT_EQ(speed, 7.0f);
    EXPECT_EQ(gain, 7000.0f);
    // Inserting and deleting are not supported: false, and nothing changes.
    EXPECT_FALSE(curve.pointInsert(3, 0.035f, 500.0f));
    EXPECT_FALSE(curve.pointDelete(3));
    EXPECT_FALSE(curve.pointInsert(100, 0.035f, 500.0f));
    EXPECT_EQ(curve.pointCount(), 29u);
    ASSERT_TRUE(curve.pointGet(3, speed, gain));
    EXPECT_EQ(speed, 0.03f);
    EXPECT_TRUE(curve.pointClear());
    EXPECT_EQ(curve.pointCount(), 0u);
    EXPECT_FALSE(curve.pointGet(0, speed, gain));
}

TEST(PointerBallisticsCurve, UnorderedSpeedsTakeTheFirstPointNotBelowTheSpeed)
{
    Curve curve;
    curve.setCurveToExperimental(); // no dead zone
    // Point 2 (0.55) moved below point 1 (0.2): 0.4 now interpolates between
    // points 1 and 3, the first one whose speed is not below 0.4.
    ASSERT_TRUE(curve.pointSet(2, 0.1f, 2300.0f));
    const float t = (0.4f - 0.1f) / (0.88f - 0.1f);
    EXPECT_NEAR(curve.evaluate(1.0f, 0.4f), (3000.0f - 2300.0f) * t + 2300.0f, 1e-2f);
}

class CurveFile : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = (std::filesystem::temp_directory_path() / (std::string("curve_") + info->name() + ".txt"))
                    .string();
    }
    void TearDown() override { std::filesystem::remove(path_); }
    void write(const std::string& text)
    {
        std::ofstream out(path_, std::ios::binary);
        out << text;
    }
    const char* path() const { return path_.c_str(); }

    std::string path_;
};

TEST_F(CurveFile, LoadKeepsAtMostOneHundredPoints)
{
    std::string text = "0.01\n";
    for (int i = 0; i < 120; ++i)
        text += std::to_string(i * 0.05) + "," + std::to_string(100 + i) + "\n";
    write(text);
    Curve curve;
    ASSERT_TRUE(curve.load(path()));
    EXPECT_EQ(curve.pointCount(), 100u);
    EXPECT_FLOAT_EQ(curve.getMinimumVelocity(), 0.01f);
    EXPECT_STREQ(curve.getName(), "Approved"); // the name is not changed
    float speed, gain;
    ASSERT_TRUE(curve.pointGet(99, speed, gain));
    EXPECT_FLOAT_EQ(speed, 99 * 0.05f);
    EXPECT_EQ(gain, 199.0f);
}

TEST_F(CurveFile, LoadStopsAtTheFirstLineThatIsNotAPoint)
{
    for (const char* bad : {"oops\n", "1.0;2.0\n", "3.5\n", "\n,\n"}) {
        std::string text = "  0.02\n";
        for (int i = 0; i < 8; ++i)
            text += std::to_string(0.1 * i) + "," + std::to_string(10 * i) + "\n";
        text += bad; // line 10
        text += "9.0,9.0\n";
        write(text);
        Curve curve;
        ASSERT_TRUE(curve.load(path())) << bad;
        EXPECT_EQ(curve.pointCount(), 8u) << bad;
    }
}

TEST_F(CurveFile, LoadSkipsBlankSpaceBetweenLines)
{
    write("\n 0.5 \n\n  1.0,2.0\n\t3.0,4.0");
    Curve curve;
    ASSERT_TRUE(curve.load(path()));
    EXPECT_EQ(curve.getMinimumVelocity(), 0.5f);
    ASSERT_EQ(curve.pointCount(), 2u);
    float speed, gain;
    ASSERT_TRUE(curve.pointGet(1, speed, gain));
    EXPECT_EQ(speed, 3.0f);
    EXPECT_EQ(gain, 4.0f);
}

TEST_F(CurveFile, ABadFirstLineFailsAndLeavesAnEmptyCurve)
{
    write("fast\n0.1,100\n");
    Curve curve;
    curve.setMinimumVelocity(0.25f);
    EXPECT_FALSE(curve.load(path()));
    EXPECT_EQ(curve.pointCount(), 0u);
    EXPECT_EQ(curve.getMinimumVelocity(), 0.25f);

    write("");
    Curve empty;
    EXPECT_FALSE(empty.load(path()));
    EXPECT_EQ(empty.pointCount(), 0u);
}

TEST_F(CurveFile, ASinglePointGivesItsGainAtEverySpeed)
{
    write("0\n1.0,500\n");
    Curve curve;
    ASSERT_TRUE(curve.load(path()));
    EXPECT_EQ(curve.evaluate(1.0f, 0.5f), 500.0f);
    EXPECT_EQ(curve.evaluate(1.0f, 3.0f), 500.0f);
}

TEST_F(CurveFile, AMissingFileFailsAndChangesNothing)
{
    Curve curve;
    EXPECT_FALSE(curve.load((path_ + ".missing").c_str()));
    EXPECT_FALSE(curve.load(nullptr));
    EXPECT_EQ(curve.pointCount(), 29u);
    EXPECT_EQ(curve.getMinimumVelocity(), 0.02f);
}

TEST_F(CurveFile, SaveWritesWhatLoadReadsBack)
{
    for (auto selector : {Curve::Approved, Curve::PointerResponse, Curve::BriskoExperimental}) {
        Curve original;
        original.setToCurve(selector);
        ASSERT_TRUE(original.save(path()));
        Curve copy;
        copy.setCurveToLinear();
        ASSERT_TRUE(copy.load(path()));
        ASSERT_EQ(copy.pointCount(), original.pointCount());
        EXPECT_NEAR(copy.getMinimumVelocity(), original.getMinimumVelocity(), 1e-6f);
        for (unsigned i = 0; i < copy.pointCount(); ++i) {
            float s1, g1, s2, g2;
            original.pointGet(i, s1, g1);
            copy.pointGet(i, s2, g2);
            EXPECT_NEAR(s1, s2, 1e-6f);
            EXPECT_NEAR(g1, g2, 5e-4f);
        }
    }
    std::ifstream in(path_);
    std::string first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(first, "0.020000");
    EXPECT_EQ(second, "0.000000,0.000000");
}

TEST_F(CurveFile, SaveFailsWhereNoFileCanBeWritten)
{
    Curve curve;
    const std::string inMissingDirectory = path_ + ".d/none/curve.txt";
    EXPECT_FALSE(curve.save(inMissingDirectory.c_str()));
    EXPECT_FALSE(curve.save(nullptr));
#ifdef __linux__
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(curve.save("/dev/full")); // the disk is full
    }
#endif
}

} // namespace
} // namespace vnx
