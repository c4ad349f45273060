#pragma once

// An input layer for tests of the pointer decisions: records every call in
// order and answers a pointer position the test sets.

#include "platform/PVInputLayer.h"

#include <vector>

class RecordingInputLayer final : public PVInputLayer
{
  public:
    enum class Kind
    {
        Warp,
        Motion,
        LeftDown,
        LeftUp,
    };
    struct Call
    {
        Kind kind;
        QPointF point;
        bool leftHeld = false;   ///< motion calls
        uint64_t clickState = 0; ///< button calls

        bool operator==(const Call&) const = default;
    };

    bool available() const override { return isAvailable; }
    void warp(QPointF point) override { calls.push_back({Kind::Warp, point}); }
    void motion(QPointF point, bool leftHeld) override { calls.push_back({Kind::Motion, point, leftHeld}); }
    void leftButton(QPointF point, bool down, uint64_t clickState) override
    {
        calls.push_back({down ? Kind::LeftDown : Kind::LeftUp, point, false, clickState});
        pointer = point;
    }
    std::optional<QPointF> pointerPosition() override
    {
        return isAvailable ? std::optional<QPointF>(pointer) : std::nullopt;
    }

    bool isAvailable = true;
    QPointF pointer;
    std::vector<Call> calls;
};
