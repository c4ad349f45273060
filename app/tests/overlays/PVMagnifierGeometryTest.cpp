#include "overlays/PVMagnifierGeometry.h"

#include <gtest/gtest.h>

namespace {

struct CutCase
{
    const char* name;
    QRectF bounds; ///< the display, top-left points
    double factor;
    QPointF center; ///< top-left points
    QRect cut;      ///< snapshot pixels
    QSizeF view;    ///< points
};

TEST(MagnifierGeometry, CutsTheHundredPointSquareAroundTheCentreAtEveryPixelRatio)
{
    const CutCase cases[] = {
        {"factor 1 inside", {0, 0, 1920, 1080}, 1.0, {600, 400}, {750, 550, 100, 100}, {200, 200}},
        {"factor 2 inside", {0, 0, 1440, 900}, 2.0, {600, 400}, {1300, 900, 200, 200}, {200, 200}},
        {"factor 1 left edge", {0, 0, 1920, 1080}, 1.0, {0, 400}, {150, 550, 100, 100}, {200, 200}},
        {"factor 2 bottom right corner", {0, 0, 1440, 900}, 2.0, {1440, 900}, {2980, 1900, 200, 200}, {200, 200}},
        // A second display right of the first: its own pixels start at the
        // border, whatever its place in the desktop.
        {"factor 1 second display", {1920, 0, 1280, 1024}, 1.0, {1920 + 10, 500}, {160, 650, 100, 100}, {200, 200}},
        {"factor 2 display above", {0, -900, 1440, 900}, 2.0, {720, -450}, {1540, 1000, 200, 200}, {200, 200}},
        // Between pixels: the origin rounds, the square stays whole.
        {"factor 1 half point", {0, 0, 1920, 1080}, 1.0, {600.4, 400.6}, {750, 551, 100, 100}, {200, 200}},
    };
    for (const CutCase& c : cases) {
        const QPointF origin = PVMagnifierGeometry::snapshotOrigin(c.bounds, c.factor);
        const QRect cut = PVMagnifierGeometry::cutRect(c.center, origin, c.factor);
        EXPECT_EQ(cut, c.cut) << c.name;
        EXPECT_EQ(PVMagnifierGeometry::viewSize(cut.size(), c.factor), c.view) << c.name;
        // The cut lies inside the snapshot, border included, for every centre
        // on the display.
        EXPECT_TRUE(PVMagnifierGeometry::snapshotRect(c.bounds, c.factor).contains(cut)) << c.name;
    }
}

TEST(MagnifierGeometry, SnapshotIsTheDisplayInPixelsWithTheBorderAround)
{
    EXPECT_EQ(PVMagnifierGeometry::snapshotRect({0, 0, 1920, 1080}, 1.0), QRect(0, 0, 2320, 1480));
    EXPECT_EQ(PVMagnifierGeometry::snapshotRect({1920, 0, 1440, 900}, 2.0), QRect(0, 0, 3280, 2200));
    EXPECT_EQ(PVMagnifierGeometry::snapshotOrigin({1920, -100, 1440, 900}, 2.0), QPointF(200 - 3840, 400));
}

} // namespace
