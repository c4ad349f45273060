#pragma once

// The seam between the CursorMover and the system's cursor and mouse-button
// services. The CursorMover decides which operation a sample becomes; the
// platform carries it out. This one keeps what it is given and makes no
// system call: the desktop client moves the pointer itself from the cursor
// output of its device. A backend that does move the system pointer derives
// from it and is installed with CursorMover::setPlatformMaker.

#include <memory>

#include "buttonMapper/ButtonMapperRecords.h"
#include "cursorMover/CursorMoverRecords.h"
#include "log/DefaultLogger.h"

class CursorMover;

class CursorMoverPlatform
{
    VNX_LOG_DEFAULT_BLOCK("vnx_ext_CursorMover");

  public:
    /// Where a backend keeps its system resources, beside the settings it
    /// works with.
    class Impl
    {
        VNX_LOG_DEFAULT_BLOCK("vnx_ext_CursorMover");

      public:
        explicit Impl(const vnx_CursorMover_Config_s& config) : config_(config) {}
        /// The platform's copy of the CursorMover Config.
        const vnx_CursorMover_Config_s& config() const { return config_; }

      private:
        const vnx_CursorMover_Config_s& config_;
    };

    /// Builds the Impl and names it "Impl" under this platform's node.
    explicit CursorMoverPlatform(CursorMover& owner);
    virtual ~CursorMoverPlatform();
    CursorMoverPlatform(const CursorMoverPlatform&) = delete;
    CursorMoverPlatform& operator=(const CursorMoverPlatform&) = delete;

    virtual int init();
    virtual int term();
    /// Keeps a copy of the settings.
    virtual int setConfig(const vnx_CursorMover_Config_s& config);
    virtual int setConfig(const vnx_ButtonMapper_Config_s& config);
    virtual int setBounds(const vnx_CursorMover_Bounds_s& bounds);

    /// Puts the pointer at (x, y), pixels of the pointer area, with the
    /// buttons of `buttons`.
    virtual bool moveTo(int x, int y, const vnx_ButtonMapper_Output_s* buttons);
    /// Moves the pointer by (dx, dy) counts, with the buttons of `buttons`.
    virtual bool moveDelta(int dx, int dy, const vnx_ButtonMapper_Output_s* buttons);
    virtual bool hideCursor();
    /// Presses and releases mouse buttons and keys without moving.
    virtual bool sendButtons(const vnx_ButtonMapper_Output_s* buttons);

    CursorMover& owner() const { return owner_; }
    const vnx_CursorMover_Config_s& config() const { return config_; }
    const vnx_ButtonMapper_Config_s& buttonMapperConfig() const { return buttonMapperConfig_; }
    const vnx_CursorMover_Bounds_s& bounds() const { return bounds_; }

  private:
    CursorMover& owner_;
    vnx_CursorMover_Config_s config_;
    vnx_ButtonMapper_Config_s buttonMapperConfig_{};
    vnx_CursorMover_Bounds_s bounds_{};
    std::unique_ptr<Impl> impl_;
};
