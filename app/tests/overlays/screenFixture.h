#pragma once

// The screen tests' setting: the application's one screen (the test's own
// Xvfb) covered by the pattern window, and conversions between Qt's pixels
// of that screen and the runtime's global points.

#include "PatternWindow.h"
#include "settings/PVGlobalObjectManager.h"
#include "support/WidgetShots.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>
#include <string>

class ScreenFixture : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        globals = &PVGlobalObjectManager::sharedInstance();
        ASSERT_EQ(globals->allScreens().size(), 1);
        screen = globals->allScreens().first();
        geometry = QGuiApplication::primaryScreen()->geometry();
        ASSERT_TRUE(pattern.showOverScreen(geometry));
    }

    /// The global point (bottom-left origin, y up) of a pixel of the screen.
    QPointF globalOf(QPoint pixel) const
    {
        return QPointF(screen.frame.x() + pixel.x() - geometry.x(),
                       screen.frame.y() + screen.frame.height() - (pixel.y() - geometry.y()));
    }

    /// Whether the screenshot shows the pattern itself at the pixel.
    static ::testing::AssertionResult showsPattern(const QImage& shot, QPoint pixel, bool shifted = false)
    {
        const QColor seen = shot.pixelColor(pixel);
        const QColor expected = PatternWindow::colorAt(pixel, shifted);
        if (seen == expected) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "at (" << pixel.x() << ", " << pixel.y() << ") "
                                             << describe(seen) << " instead of the pattern's "
                                             << describe(expected);
    }

    const PVGlobalObjectManager* globals = nullptr;
    PVScreen screen;
    QRect geometry;
    PatternWindow pattern;
};
