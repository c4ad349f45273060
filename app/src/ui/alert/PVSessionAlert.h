#pragma once

// What the user is told at launch about the desktop session: in a Wayland
// session other programs may not move the pointer or send keys, so the Alert
// line the pointer control logs there is also shown as the application's
// alert, once, when the program starts.

struct PVSessionEnvironment;

/// Title key of the alert.
inline constexpr const char* kPVSessionAlertTitleKey = "Pointer control unavailable";

/// In a Wayland session, queues the alert on the main queue (so it never
/// holds up the launch) and answers true; in any other session does nothing
/// and answers false. Call once, at launch.
bool PVSessionAlertAtLaunch(const PVSessionEnvironment& session);
