#pragma once

// The presentation programs the program drives on Linux: LibreOffice Impress
// in the second program's role, typing its keys through the program's one X11
// input layer; the first program's role stays not installed.

namespace PVPresentationPrograms {

/// Installs the Impress backend for the second program's role. Call on the
/// main thread before the launch asks that program for its version.
void install();

} // namespace PVPresentationPrograms
