#pragma once

// LibreOffice Impress in the second presentation program's role, on X11. It
// finds Impress and its slide show by their windows (ImpressWindows), hands
// Impress the focus the way the program's scripts activate it, and types the
// show's keys through the X11 input layer: F5 starts the show of the active
// document, Escape ends it, "b" blanks it. Impress has no key for the pen or
// the automatic pointer, so those answer no result. Installed and the version
// come from LibreOffice's `soffice` executable. Main thread only.

#include "platform/X11Desktop.h"
#include "platform/X11InputLayer.h"
#include "runtime/ImpressWindows.h"
#include "runtime/PVPresentationBackend.h"
#include "runtime/SofficeProgram.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

/// Where the backend finds LibreOffice and the display.
struct ImpressBackendSettings
{
    SofficeProgram::Places places = SofficeProgram::defaultPlaces();
    /// Longest run of `soffice --version`.
    std::chrono::milliseconds versionLimit{PVPresentationBackend::kLongestWaitMs};
    /// The X display to read windows from (empty: $DISPLAY).
    std::string displayName;
};

class ImpressBackend final : public PVPresentationBackend
{
  public:
    /// How long Impress may take to hold the focus after the request.
    static constexpr std::chrono::milliseconds kActivationLimit{1000};
    /// The pause between activating the show and blanking it.
    static constexpr std::chrono::milliseconds kBlackDelay{100};
    /// How long an ended show may take to close its window before stop
    /// types Escape a second time.
    static constexpr std::chrono::milliseconds kStopWait{500};

    using Settings = ImpressBackendSettings;

    /// `keys`: the input layer that types the keys (shared with the cursor
    /// manager); null or unavailable makes every action answer no result.
    explicit ImpressBackend(std::shared_ptr<X11InputLayer> keys, Settings settings = Settings());

    /// An `soffice` executable on the search path or in LibreOffice's folder.
    PVBackendAnswer installed() override;
    /// An Impress document window exists.
    PVBackendAnswer open() override;
    /// Impress's show window is mapped.
    PVBackendAnswer playing() override;
    /// The window holding the focus is Impress's (document, show or a
    /// dialog over them).
    PVBackendAnswer frontmost() override;
    /// The first line of `soffice --version`, asked once (the first answer,
    /// a failure too, is kept); no result and no process without `soffice`.
    PVBackendAnswer version() override;
    /// {left, top, right, bottom} of the show window in root pixels;
    /// {-99, -99, -99, -99} while no show runs.
    PVBackendAnswer windowBounds() override;

    /// Activates the active (else the topmost) document window and types F5;
    /// nothing while a show already plays or without a document.
    PVBackendAnswer play() override;
    /// Activates the show window and types Escape, and once more when the
    /// window still stands 0.5 s later (a blanked or paused show comes back
    /// with the first key); nothing without a show.
    PVBackendAnswer stop() override;
    /// Activates the show window, waits 0.1 s and types "b"; nothing
    /// without a show.
    PVBackendAnswer black() override;
    PVBackendAnswer pen() override;
    PVBackendAnswer automaticPointer() override;

    /// Activates `window` and types `keysym` into it: done, or no result
    /// when the window is gone, does not take the focus, or the key cannot
    /// be typed. The actions above end here.
    PVBackendAnswer activateAndType(unsigned long window, unsigned long keysym,
                                    std::chrono::milliseconds pause = std::chrono::milliseconds(0));

  private:
    /// Impress's windows now; nothing when the display cannot be read.
    std::optional<ImpressWindows::Scene> scene();

    std::shared_ptr<X11InputLayer> keys_;
    Settings settings_;
    X11Desktop desktop_;
    std::optional<PVBackendAnswer> version_;
};
