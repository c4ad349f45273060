// The demo presenter of `pelvaro --simulate` on the real engine: its status
// reports, its buttons and the figure of eight the pointer traces.

#include "engineFixture.h"

#include "simulation/DemoScenario.h"

#include <algorithm>
#include <QPointF>
#include <cmath>
#include <vector>

namespace {

class DemoPresenter : public EngineBridgeTest
{
};

TEST_F(DemoPresenter, ReportsItselfThenTracesAFigureOfEightWithClicksAndHolds)
{
    constexpr int kLaps = 2;
    PresenterScenario demo = DemoScenario::make(kLaps);
    serveAll(demo);

    // Battery and firmware reach the events' info word, the presenter is paired.
    const auto infoSeen = [&](uint64_t info) {
        return std::any_of(events.begin(), events.end(), [&](const PresenterEvent& e) { return e.info == info; });
    };
    EXPECT_TRUE(infoSeen(DemoScenario::kBatteryLevel));
    EXPECT_TRUE(infoSeen(0x332E302E31ull)) << "\"1.0.3\", lowest byte first";
    EXPECT_TRUE(std::all_of(events.begin() + 1, events.end(), [](const PresenterEvent& e) { return e.pairState == 1; }));

    // Per lap one click, one hold of the hot button and one of the pointer button.
    int clicks = 0, hotHolds = 0, pointerHolds = 0;
    for (size_t i = 1; i < events.size(); ++i) {
        const PresenterEvent& before = events[i - 1];
        const PresenterEvent& e = events[i];
        clicks += e.hotState == 1;
        hotHolds += e.hotState == 2 && before.hotState != 2;
        pointerHolds += e.pointerPressed == 1 && before.pointerPressed != 1;
    }
    EXPECT_EQ(clicks, kLaps);
    EXPECT_EQ(hotHolds, kLaps);
    EXPECT_EQ(pointerHolds, kLaps);

    // The path of the first lap's first half, before any button recentres
    // the engine's cursor: x = A sin(wt), y = A/2 sin(2wt). Up to its widest
    // point (the first quarter) the pointer goes right and up and comes back
    // to about the middle height; then it goes back left and below. The
    // engine's ballistics (gain grows with speed) bend the figure, so the
    // bounds are loose.
    const auto isClick = [](const PresenterEvent& e) { return e.hotState == 1; };
    const auto firstClick = std::find_if(events.begin(), events.end(), isClick);
    const auto firstHold = std::find_if(firstClick, events.end(), [](const PresenterEvent& e) { return e.hotState == 2; });
    ASSERT_NE(firstHold, events.end());
    std::vector<QPointF> path{{0, 0}};
    for (auto e = firstClick; e != firstHold; ++e) {
        path.push_back(path.back() + QPointF(e->dx, e->dy));
    }
    const auto widest = std::max_element(path.begin(), path.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    const auto byY = [](QPointF a, QPointF b) { return a.y() < b.y(); };
    const double width = widest->x();
    const double highest = std::max_element(path.begin(), widest, byY)->y();
    const double lowest = std::min_element(widest, path.end(), byY)->y();
    const double leftmost = std::min_element(path.begin(), path.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); })->x();
    SCOPED_TRACE(::testing::Message() << "width " << width << ", highest " << highest << ", widest at y "
                                      << widest->y() << ", lowest " << lowest << ", end " << path.back().x()
                                      << ", " << path.back().y());
    EXPECT_GT(width, 500) << "a wide figure";
    EXPECT_GT(highest, 0.3 * width) << "up in the first quarter (dy counts upwards)";
    EXPECT_LT(lowest - widest->y(), -0.3 * width) << "down in the second";
    EXPECT_LT(std::abs(widest->y()), 0.25 * width) << "the widest point near the middle height";
    EXPECT_LT(std::abs(path.back().x()), 0.25 * width) << "back near the crossing after half a lap";
    EXPECT_GT(leftmost, -0.1 * width) << "the first half stays right of the crossing";
}

} // namespace
