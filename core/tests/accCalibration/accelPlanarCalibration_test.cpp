// Planar zero-g calibration: quiet windows, the ring of orientations, half
// turn pairs, the weighted mean and its DCD part.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "accCalibration/AccelPlanarCalibration.h"
#include "accTestSupport.h"
#include "planarRig.h"

namespace vnx {
namespace {

using namespace accTest;
using Scene = PlanarRig::Scene;
using Vector2 = AccelPlanarCalibration::Vector2;

const FixedPointCal::Output kNoScd{};
const Vector3 kOffset = vec(0.12, -0.21, 0.17);

// Two seconds still, a two-second turn, two seconds still.
void restTurnRest(PlanarRig& rig, double fromDeg, double toDeg)
{
    rig.rest(fromDeg, 200);
    rig.turn(fromDeg, toDeg, 200);
    rig.rest(toDeg, 200);
}

// The estimate of the newest record paired with the one k places back.
Vector3 candidateOf(const AccelPlanarCalibration& cal, std::uint32_t k)
{
    const auto& newest = cal.record(0);
    const auto& older = cal.record(k);
    Vector3 axis = (newest.q.conj() * older.q).vec();
    axis /= axis.norm();
    return AccelPlanarCalibration::calculateZgo(older.mean, newest.mean, axis);
}

// --- windows --------------------------------------------------------------

TEST(AccelPlanarCalibration, WindowOfExactlyRateSamplesCompletes)
{
    struct Case
    {
        double periodS;
        std::uint16_t rate;
        float coefficient;
    };
    for (const Case& c :
         {Case{0.01, 100, -0.9090909f}, Case{0.02, 50, -0.8333333f}, Case{0.005, 200, -0.952381f}}) {
        SCOPED_TRACE(c.periodS);
        AccelPlanarCalibration cal;
        cal.init(kNoScd, nullptr);
        PlanarRig rig(cal, Scene{.offset = kOffset, .periodS = c.periodS});
        rig.rest(0, c.rate - 1);
        EXPECT_EQ(cal.rate(), c.rate);
        EXPECT_NEAR(cal.filterCoefficient().value(), c.coefficient, 1e-6f);
        EXPECT_EQ(cal.recordCount(), 0u);
        rig.rest(0, 1);
        ASSERT_EQ(cal.recordCount(), 1u);
        EXPECT_EQ(cal.record(0).time, rig.timeUs());
        // Flat and still: the mean is what the accelerometer reads.
        EXPECT_LT(distance(cal.record(0).mean, restingAcceleration(rig.orientation(0)) + kOffset), 1e-4);
        EXPECT_EQ(cal.accStats().count, 0u); // the next sample starts a new window
    }
}

TEST(AccelPlanarCalibration, MotionAndShakingKeepTheWindowOpen)
{
    struct Case
    {
        const char* name;
        double yawRateDegPerS;
        double vibration; // m/s^2 at 5 Hz
        bool completes;
    };
    const Case cases[] = {
        {"still", 0.0, 0.0, true},           {"slight shake", 0.0, 0.3, true},
        {"turning 2 deg/s", 2.0, 0.0, true}, {"turning 5 deg/s", 5.0, 0.0, false},
        {"strong shake", 0.0, 3.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccelPlanarCalibration cal;
        cal.init(kNoScd, nullptr);
        PlanarRig rig(cal, Scene{.offset = kOffset});
        for (int k = 0; k < 300; ++k)
            rig.rest(c.yawRateDegPerS * k * 0.01, 1, c.vibration);
        EXPECT_EQ(cal.recordCount() > 0, c.completes);
    }
}

TEST(AccelPlanarCalibration, OnlyFlatWindowsAreKept)
{
    AccelPlanarCalibration cal;
    cal.init(kNoScd, nullptr);
    PlanarRig rig(cal, Scene{.offset = kOffset});
    // On its side: x points up, z lies in the surface.
    const Quaternion side = axisAngle(0, 1, 0, -M_PI / 2);
    std::uint32_t t = 0;
    for (int k = 0; k < 300; ++k)
        cal.process(t += 10000, Fp32(0.01f), side, restingAcceleration(side) + kOffset);
    EXPECT_EQ(cal.recordCount(), 0u);
}

TEST(AccelPlanarCalibration, SameOrientationKeepsTheQuieterWindow)
{
    struct Case
    {
        const char* name;
        double firstShake;
        double secondShake;
        bool replaced;
    };
    const Case cases[] = {
        {"second quieter", 0.3, 0.0, true},
        {"second noisier", 0.0, 0.3, false},
        {"equally quiet", 0.0, 0.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccelPlanarCalibration cal;
        cal.init(kNoScd, nullptr);
        PlanarRig rig(cal, Scene{.offset = kOffset});
        rig.rest(0, 100, c.firstShake);
        ASSERT_EQ(cal.recordCount(), 1u);
        const std::uint32_t firstTime = cal.record(0).time;
        // A 5 degree nudge restarts the window; the next one is within 10
        // degrees of the first and counts as the same orientation.
        rig.rest(5, 100, c.secondShake);
        ASSERT_EQ(cal.recordCount(), 1u);
        EXPECT_EQ(cal.record(0).time != firstTime, c.replaced);
    }
}

TEST(AccelPlanarCalibration, PeriodChangeMidWindowStartsANewWindow)
{
    AccelPlanarCalibration cal;
    cal.init(kNoScd, nullptr);
    PlanarRig rig(cal, Scene{.offset = kOffset});
    rig.rest(0, 60);
    rig.setPeriod(0.02);
    rig.rest(0, 49);
    EXPECT_EQ(cal.recordCount(), 0u);
    rig.rest(0, 1); // 50 samples at the new rate, not 110 at any rate
    EXPECT_EQ(cal.recordCount(), 1u);
}

TEST(AccelPlanarCalibration, UnusablePeriodIsIgnored)
{
    for (const float period : {0.0f, -0.01f, -0.1f}) {
        SCOPED_TRACE(period);
        AccelPlanarCalibration cal;
        cal.init(kNoScd, nullptr);
        const Quaternion q = Quaternion::identity();
        const Vector3 a = restingAcceleration(q) + kOffset;
        for (std::uint32_t k = 1; k <= 100; ++k)
            cal.process(k * 10000u, Fp32(period), q, a);
        EXPECT_EQ(cal.rate(), 100);
        EXPECT_FLOAT_EQ(cal.filterCoefficient().value(), -0.9090909f);
        ASSERT_EQ(cal.recordCount(), 1u);
        EXPECT_LT(distance(cal.record(0).mean, a), 1e-4);
    }
}

// --- pairs ----------------------------------------------------------------

TEST(AccelPlanarCalibration, FirstPairSetsTheOffsetToItsCandidate)
{
    AccelPlanarCalibration cal;
    const dcdAccOffsetCal_s zeros{}; // a device that never calibrated
    cal.init(kNoScd, &zeros);
    EXPECT_EQ(cal.totalWeight(), Fp32(0.0f));
    PlanarRig rig(cal, Scene{.offset = kOffset});

    rig.rest(0, 200);
    ASSERT_EQ(cal.recordCount(), 1u);
    EXPECT_EQ(cal.zgo(), Vector3::zeros()); // the first window has no partner

    rig.turn(0, 180, 200);
    rig.rest(180, 200);
    ASSERT_EQ(cal.recordCount(), 2u);
    EXPECT_EQ(cal.zgo(), candidateOf(cal, 1));
    EXPECT_LT(distance(cal.zgo(), kOffset), 1e-4);
    EXPECT_GT(cal.totalWeight(), Fp32(0.5f));
}

TEST(AccelPlanarCalibration, OnlyANearHalfTurnPairs)
{
    struct Case
    {
        double turnDeg;
        bool paired;
    };
    // Within 7.5 degrees of a half turn, either way round.
    for (const Case& c : {Case{90, false}, Case{170, false}, Case{174, true}, Case{180, true},
                          Case{-175, true}, Case{187, true}, Case{190, false}, Case{360, false}}) {
        SCOPED_TRACE(c.turnDeg);
        AccelPlanarCalibration cal;
        cal.init(kNoScd, nullptr);
        PlanarRig rig(cal, Scene{.offset = kOffset});
        restTurnRest(rig, 0, c.turnDeg);
        if (c.paired) {
            // Off a half turn the estimate still sees most of the offset.
            EXPECT_LT(distance(cal.zgo(), kOffset), 0.1);
        } else {
            EXPECT_EQ(cal.zgo(), Vector3::zeros());
            EXPECT_EQ(cal.totalWeight(), Fp32(0.0f));
        }
    }
}

TEST(AccelPlanarCalibration, TurningOverDoesNotPair)
{
    AccelPlanarCalibration cal;
    cal.init(kNoScd, nullptr);
    PlanarRig rig(cal, Scene{.offset = kOffset});
    rig.rest(0, 200);
    // Face down by a half turn about the device x axis: both windows are
    // flat and a half turn apart, but about an axis in the surface.
    const Quaternion down = axisAngle(1, 0, 0, M_PI);
    std::uint32_t t = rig.timeUs();
    for (int k = 0; k < 200; ++k)
        cal.process(t += 10000, Fp32(0.01f), down, restingAcceleration(down) + kOffset);
    EXPECT_EQ(cal.recordCount(), 2u);
    EXPECT_EQ(cal.zgo(), Vector3::zeros());
}

TEST(AccelPlanarCalibration, WindowsTenMinutesApartDoNotPair)
{
    struct Case
    {
        std::uint32_t pauseS;
        bool paired;
    };
    for (const Case& c : {Case{590, true}, Case{610, false}}) {
        SCOPED_TRACE(c.pauseS);
        AccelPlanarCalibration cal;
        cal.init(kNoScd, nullptr);
        PlanarRig rig(cal, Scene{.offset = kOffset});
        rig.rest(0, 100);
        rig.pause(c.pauseS * 1000000u);
        rig.turn(0, 180, 100);
        rig.rest(180, 150);
        ASSERT_EQ(cal.recordCount(), 2u);
        EXPECT_EQ(cal.zgo() != Vector3::zeros(), c.paired);
    }
}

TEST(AccelPlanarCalibration, ConvergesOnATiltedSurface)
{
    struct Case
    {
        const char* name;
        bool faceDown;
    };
    for (const Case& c : {Case{"face up", false}, Case{"face down", true}}) {
        SCOPED_TRACE(c.name);
        AccelPlanarCalibration cal;
        cal.init(kNoScd, nullptr);
        const double tiltDeg = 2.0;
        PlanarRig rig(
            cal, Scene{.offset = kOffset, .tiltDeg = tiltDeg, .faceDown = c.faceDown, .noiseSigma = 0.02});
        const double yaws[] = {0, 180, 30, 210, 100, 280, 0, 180};
        double from = -90;
        for (const double yaw : yaws) {
            rig.turn(from, yaw, 150);
            rig.rest(yaw, 250);
            from = yaw;
        }
        // The half turn cancels the tilt across the surface but leaves
        // g (1 - cos tilt) = 0.006 m/s^2 along the normal. The noise of
        // 0.02 m/s^2 per sample is low-passed and averaged over 100 samples
        // per window, a few mm/s^2 at most. 0.02 m/s^2 (2 mg) bounds both.
        EXPECT_LT(distance(cal.zgo(), kOffset), 0.02);
        EXPECT_GT(cal.totalWeight(), Fp32(5.0f));
    }
}

TEST(AccelPlanarCalibration, TotalWeightIsCapped)
{
    AccelPlanarCalibration cal;
    cal.init(kNoScd, nullptr);
    PlanarRig rig(cal, Scene{.offset = kOffset});
    double from = 0;
    rig.rest(from, 150);
    for (int k = 0; k < 12; ++k) {
        const double to = from + 180;
        rig.turn(from, to, 100);
        rig.rest(to, 150);
        from = to;
    }
    EXPECT_EQ(cal.totalWeight(), Fp32(15.9f));
    EXPECT_LT(distance(cal.zgo(), kOffset), 1e-4);
}

// --- DCD ------------------------------------------------------------------

TEST(AccelPlanarCalibration, StoredOffsetEntersWithASmallWeight)
{
    const dcdAccOffsetCal_s stored{{0.4f, 0.1f, -0.3f}};
    AccelPlanarCalibration cal;
    cal.init(kNoScd, &stored);
    EXPECT_EQ(cal.zgo(), vec(0.4, 0.1, -0.3));
    EXPECT_EQ(cal.totalWeight(), Fp32(0.1f));

    // Applying it at once, before anything is learned.
    Vector3 v = vec(1, 1, 1);
    cal.applyCal(v, &v);
    EXPECT_EQ(v, vec(1, 1, 1) - vec(0.4, 0.1, -0.3));
    cal.undoCal(v, &v);
    EXPECT_LT(distance(v, vec(1, 1, 1)), 1e-7);

    // The first pair of this run moves it by w / (0.1 + w) of the way.
    PlanarRig rig(cal, Scene{.offset = kOffset});
    restTurnRest(rig, 0, 180);
    const auto& newest = cal.record(0);
    const auto& older = cal.record(1);
    const Fp32 w =
        AccelPlanarCalibration::computeWeight(Vector2{older.noise, newest.noise}, dot(newest.q, older.q));
    const double share = w.value() / (0.1 + w.value());
    const Vector3 candidate = candidateOf(cal, 1);
    for (int i = 0; i < 3; ++i) {
        const double expected = stored.offset[i] + (candidate[i].value() - stored.offset[i]) * share;
        EXPECT_NEAR(cal.zgo()[i].value(), expected, 1e-6);
    }
    EXPECT_FLOAT_EQ(cal.totalWeight().value(), 0.1f + w.value());
}

TEST(AccelPlanarCalibration, DcdRoundTrips)
{
    AccelPlanarCalibration learner;
    learner.init(kNoScd, nullptr);
    PlanarRig rig(learner, Scene{.offset = kOffset, .tiltDeg = 1.0, .noiseSigma = 0.01});
    restTurnRest(rig, 0, 180);
    ASSERT_NE(learner.zgo(), Vector3::zeros());
    dcdAccOffsetCal_s dcd{};
    learner.getDcd(&dcd);

    AccelPlanarCalibration next;
    next.init(kNoScd, &dcd);
    EXPECT_EQ(next.zgo(), learner.zgo());
    dcdAccOffsetCal_s again{};
    next.getDcd(&again);
    EXPECT_EQ(std::memcmp(&again, &dcd, sizeof dcd), 0);
    next.getDcd(nullptr); // nothing to write to

    // init without a DCD forgets everything learned.
    next.init(kNoScd, nullptr);
    EXPECT_EQ(next.zgo(), Vector3::zeros());
    EXPECT_EQ(next.totalWeight(), Fp32(0.0f));
    EXPECT_EQ(next.recordCount(), 0u);
}

// --- stand-alone computations -------------------------------------------

TEST(AccelPlanarCalibration, WeightFollowsTheNormalTail)
{
    // With a zero dot product the weight is Q((|r|/2 - 0.05) / 0.05), Q the
    // upper tail of the standard normal distribution.
    for (const double t : {-1.0, -0.5, 0.0, 0.5, 1.0, 1.3, 1.4, 2.0, 3.0}) {
        SCOPED_TRACE(t);
        const double rho = 0.05 * (1.0 + t);
        const Fp32 w =
            AccelPlanarCalibration::computeWeight(Vector2{Fp32(float(2.0 * rho)), Fp32(0.0f)}, Fp32(0.0f));
        EXPECT_NEAR(w.value(), 0.5 * std::erfc(t / std::sqrt(2.0)), 2e-3);
    }
    // Far beyond the knee the weight is zero.
    EXPECT_EQ(AccelPlanarCalibration::computeWeight(Vector2{Fp32(1.0f), Fp32(0.0f)}, Fp32(0.0f)), Fp32(0.0f));
    // Departure from a half turn counts like noise.
    const Fp32 exact = AccelPlanarCalibration::computeWeight(Vector2{Fp32(0.0f), Fp32(0.0f)}, Fp32(0.0f));
    const Fp32 off = AccelPlanarCalibration::computeWeight(Vector2{Fp32(0.0f), Fp32(0.0f)}, Fp32(0.06f));
    EXPECT_LT(off, exact);
    EXPECT_EQ(off, AccelPlanarCalibration::computeWeight(Vector2{Fp32(0.0f), Fp32(0.0f)}, Fp32(-0.06f)));
}

TEST(AccelPlanarCalibration, UnwrapYaw)
{
    struct Case
    {
        float y;
        float ref;
        float expected;
    };
    const Case cases[] = {
        {0.5f, 0.4f, 0.5f},
        {3.0f, -3.0f, 3.0f - 6.2831855f},
        {-3.0f, 3.0f, -3.0f + 6.2831855f},
        {20.0f, 0.0f, 20.0f - 3 * 6.2831855f},
        {-3.2f, 0.0f, -3.2f + 6.2831855f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        EXPECT_NEAR(AccelPlanarCalibration::unwrapYaw(Fp32(c.y), Fp32(c.ref)).value(), c.expected, 2e-6f);
    }
    // Far-off values come back within half a turn without spinning.
    const float far = AccelPlanarCalibration::unwrapYaw(Fp32(1e9f), Fp32(1.0f)).value();
    EXPECT_LE(std::fabs(far - 1.0f), 3.1415927f);
    EXPECT_TRUE(std::isnan(AccelPlanarCalibration::unwrapYaw(Fp32::raw(INFINITY), Fp32(0.0f)).value()));
}

TEST(AccelPlanarCalibration, MisalignmentIsARotation)
{
    struct Case
    {
        Vector3 n;
        bool identity;
    };
    const double s = std::sin(20 * kDeg), c = std::cos(20 * kDeg);
    const Case cases[] = {
        {vec(0, 0, 1), true},
        {vec(0, 0, -1), true},
        {vec(s * 0.6, s * 0.8, c), false},
        {vec(-s * 0.6, s * 0.8, -c), false},
    };
    for (const Case& cs : cases) {
        Vector3 n = cs.n;
        qdVectorFixed::Matrix3 M{};
        AccelPlanarCalibration::calculateMisalignment(&n, &M);
        EXPECT_GE(n[2], Fp32(0.0f)); // flipped into the upper half
        EXPECT_EQ(std::fabs(n[2].value()), std::fabs(cs.n[2].value()));
        if (cs.identity) {
            EXPECT_EQ(M, qdVectorFixed::Matrix3::identity());
            continue;
        }
        const qdVectorFixed::Matrix3 MtM = M.transpose() * M;
        for (int i = 0; i < 9; ++i)
            EXPECT_NEAR(MtM[i].value(), qdVectorFixed::Matrix3::identity()[i].value(), 1e-6f) << i;
        const auto e = [&](int r, int c) { return double(M(r, c).value()); };
        const double det = e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
                           e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
                           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
        EXPECT_NEAR(det, 1.0, 1e-6);                       // a rotation, not a reflection
        EXPECT_NEAR(M(2, 2).value(), n[2].value(), 1e-7f); // tilted by the angle of n from z
    }
}

TEST(AccelPlanarCalibration, NamesItsStatisticsAndLoggersUnderItsNode)
{
    NodeManager& nodes = NodeManager::getInstance();
    char engine = 0;
    ASSERT_NE(nodes.addNode(nullptr, &engine, NodeInterface::NODE_MODULE, "planarTest"), nullptr);
    {
        AccelPlanarCalibration cal;
        ASSERT_NE(nodes.addNode(&engine, &cal, NodeInterface::NODE_SUBNODE, "accPlanarCal"), nullptr);
        for (const char* name :
             {"planarTest.accPlanarCal.AccRunningStats", "planarTest.accPlanarCal.YawRunningStats"}) {
            NodeInterface* node = nodes.getNode(name);
            ASSERT_NE(node, nullptr) << name;
            EXPECT_EQ(node->getNodeType(), NodeInterface::NODE_SUBNODE);
        }
        for (const char* log :
             {"planarTest.accPlanarCal.dftLog", "planarTest.accPlanarCal.AccRunningStats.dftLog",
              "planarTest.accPlanarCal.YawRunningStats.dftLog"})
            EXPECT_EQ(blockOfLogger(log), "vnx_core_AccelPlanarCalibration") << log;
    }
    EXPECT_EQ(nodes.getNode("planarTest.accPlanarCal.AccRunningStats"), nullptr);
    EXPECT_EQ(nodes.getNode("planarTest.accPlanarCal.dftLog"), nullptr);
    nodes.removeNode(static_cast<const void*>(&engine));
}

} // namespace
} // namespace vnx
