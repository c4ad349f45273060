#pragma once

// Where the update server lives: the base address is a build setting
// (PELVARO_UPDATE_BASE) that the environment variable of the same name
// overrides, so packagers and tests can point the application elsewhere.
// Only https addresses are accepted: the installer fetched from there is run
// with the user's consent, so the server must prove who it is.

#include <QString>
#include <QUrl>

namespace PVUpdateServer {

/// The environment variable that overrides the built-in base address.
inline constexpr const char* kBaseEnvironment = "PELVARO_UPDATE_BASE";
/// The folder of the version files on the server.
inline constexpr const char* kVersionFolder = "software/version/orvanta";
/// This build's version file; its address points at the Linux installer.
inline constexpr const char* kVersionFileName = "orvntaverLinux.txt";

/// The base address in force: the environment's when set and not empty,
/// else the built-in one.
QString baseAddress();

/// The version file's address: base, folder and file name joined by single
/// slashes. An empty URL when the base is not an https address with a host;
/// `error` then receives the reason.
QUrl versionFileUrl(QString* error);

} // namespace PVUpdateServer
