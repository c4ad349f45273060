#pragma once

// Test helper: a CursorMover platform that records every operation it is
// asked for, and a scope that makes every CursorMover created meanwhile use
// one (for modules that create their CursorMover by type id).

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cursorMover/CursorMover.h"
#include "cursorMover/CursorMoverPlatform.h"

namespace vnx::testsupport {

class RecordingCursorPlatform : public CursorMoverPlatform
{
  public:
    struct Call
    {
        std::string operation;
        int x = 0; ///< moveTo: position; moveDelta: counts
        int y = 0;
        bool withButtons = false; ///< a button record came with the call
        vnx_ButtonMapper_Output_s buttons{};
    };

    explicit RecordingCursorPlatform(CursorMover& owner) : CursorMoverPlatform(owner) { live().push_back(this); }
    ~RecordingCursorPlatform() override { std::erase(live(), this); }

    /// Recording platforms alive, oldest first.
    static std::vector<RecordingCursorPlatform*>& live()
    {
        static std::vector<RecordingCursorPlatform*> platforms;
        return platforms;
    }
    static std::unique_ptr<CursorMoverPlatform> make(CursorMover& owner)
    {
        return std::make_unique<RecordingCursorPlatform>(owner);
    }

    int init() override { return note("init"); }
    int term() override { return note("term"); }
    int setConfig(const vnx_CursorMover_Config_s& config) override
    {
        note("setConfig");
        return CursorMoverPlatform::setConfig(config);
    }
    int setConfig(const vnx_ButtonMapper_Config_s& config) override
    {
        note("setButtonMapperConfig");
        return CursorMoverPlatform::setConfig(config);
    }
    int setBounds(const vnx_CursorMover_Bounds_s& bounds) override
    {
        note("setBounds");
        return CursorMoverPlatform::setBounds(bounds);
    }
    bool moveTo(int x, int y, const vnx_ButtonMapper_Output_s* buttons) override
    {
        calls.push_back(call("moveTo", x, y, buttons));
        return true;
    }
    bool moveDelta(int dx, int dy, const vnx_ButtonMapper_Output_s* buttons) override
    {
        calls.push_back(call("moveDelta", dx, dy, buttons));
        return true;
    }
    bool hideCursor() override
    {
        calls.push_back(call("hideCursor", 0, 0, nullptr));
        return true;
    }
    bool sendButtons(const vnx_ButtonMapper_Output_s* buttons) override
    {
        calls.push_back(call("sendButtons", 0, 0, buttons));
        return true;
    }

    /// The operation names in call order.
    std::vector<std::string> operations() const
    {
        std::vector<std::string> names;
        for (const Call& c : calls) {
            names.push_back(c.operation);
        }
        return names;
    }
    /// How many calls of one operation.
    size_t count(const std::string& operation) const
    {
        return static_cast<size_t>(
            std::count_if(calls.begin(), calls.end(), [&](const Call& c) { return c.operation == operation; }));
    }

    std::vector<Call> calls;

  private:
    int note(const char* operation)
    {
        calls.push_back(call(operation, 0, 0, nullptr));
        return 0;
    }
    static Call call(const char* operation, int x, int y, const vnx_ButtonMapper_Output_s* buttons)
    {
        Call c{operation, x, y, buttons != nullptr, {}};
        if (buttons != nullptr) {
            c.buttons = *buttons;
        }
        return c;
    }
};

/// While it lives, every CursorMover made gets a recording platform.
class RecordingCursorPlatforms
{
  public:
    RecordingCursorPlatforms() : previous_(CursorMover::setPlatformMaker(&RecordingCursorPlatform::make)) {}
    ~RecordingCursorPlatforms() { CursorMover::setPlatformMaker(previous_); }
    RecordingCursorPlatforms(const RecordingCursorPlatforms&) = delete;
    RecordingCursorPlatforms& operator=(const RecordingCursorPlatforms&) = delete;

    /// The newest recording platform alive (null: none).
    RecordingCursorPlatform* newest() const
    {
        return RecordingCursorPlatform::live().empty() ? nullptr : RecordingCursorPlatform::live().back();
    }

  private:
    CursorMover::PlatformMaker previous_;
};

} // namespace vnx::testsupport
