#pragma once

// The pictures the screenshot driver makes, by file name (without ".png"),
// and where the overlay pictures are cut from the screen: shared by the
// driver and the test that checks its pictures.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>

namespace pelvaroScreenshots {

/// The settings window while no receiver is there.
inline constexpr const char* kNoReceiver = "no-receiver";
/// The settings window on each tab, in tab order, with the simulated
/// presenter paired.
inline constexpr std::array<const char*, 4> kTabs = {"tab-button-setting", "tab-pointer-style",
                                                    "tab-tool-manager", "tab-help"};
/// The pointer style page's reset question over the settings window.
inline constexpr const char* kResetQuestion = "reset-question";
inline constexpr const char* kTutorial = "tutorial";
/// The overlays over the test pattern, by overlay kind (1, 2, 3).
inline constexpr std::array<const char*, 3> kOverlays = {"pointer-overlay", "magnifier-glass", "magnified-capture"};

/// The screen the driver runs on (the script's Xvfb), and the part of it
/// each overlay picture shows: a rectangle around the overlays' centre, the
/// middle of the screen.
inline constexpr QSize kScreenSize(1920, 1080);
inline constexpr QSize kOverlayCropSize(640, 400);
inline constexpr QRect kOverlayCrop(QPoint((1920 - 640) / 2, (1080 - 400) / 2), kOverlayCropSize);

} // namespace pelvaroScreenshots
