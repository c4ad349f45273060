#pragma once

// Drawing helpers for gesture tests: paths of pointer deltas and their replay
// through a GestureRecognitionProcessor, one cursor sample per delta.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "gesture/GestureRecognitionProcessor.h"

namespace gesturetest {

struct Delta
{
    int32_t dx;
    int32_t dy;
};

using Path = std::vector<Delta>;

/// `samples` equal deltas of (dx, dy).
inline Path straight(int32_t dx, int32_t dy, int samples)
{
    return Path(static_cast<std::size_t>(samples), Delta{dx, dy});
}

inline Path joined(std::initializer_list<Path> parts)
{
    Path path;
    for (const Path& part : parts) {
        path.insert(path.end(), part.begin(), part.end());
    }
    return path;
}

/// A square drawn counter-clockwise in screen terms: +x, +y, -x, -y, each side
/// `samplesPerSide` deltas of `unit`.
inline Path square(int samplesPerSide, int32_t unit)
{
    return joined({straight(unit, 0, samplesPerSide), straight(0, unit, samplesPerSide),
                   straight(-unit, 0, samplesPerSide), straight(0, -unit, samplesPerSide)});
}

/// `path` with every component moved by up to `amount` units, as a hand
/// shakes; the same seed gives the same path.
inline Path perturbed(const Path& path, int32_t amount, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int32_t> shake(-amount, amount);
    Path out = path;
    for (Delta& delta : out) {
        delta.dx += shake(random);
        delta.dy += shake(random);
    }
    return out;
}

struct Drawn
{
    GestureRecognitionProcessor::Output_t result;
    GestureRecognitionProcessor::AdditionalOutput_t additional;
};

/// Rising capture flag (its delta unused), one captured sample per delta,
/// then the falling flag that evaluates the gesture.
inline Drawn draw(GestureRecognitionProcessor& processor, const Path& path, uint32_t periodUs = 8000)
{
    Drawn drawn;
    processor.processCursorFrame(0, 0, true, drawn.result, &drawn.additional, periodUs);
    for (const Delta& delta : path) {
        processor.processCursorFrame(delta.dx, delta.dy, true, drawn.result, &drawn.additional, periodUs);
    }
    processor.processCursorFrame(0, 0, false, drawn.result, &drawn.additional, periodUs);
    return drawn;
}

/// The same path as one training gesture while learning.
inline void train(GestureRecognitionProcessor& processor, const Path& path, uint32_t periodUs = 8000)
{
    processor.gestureLearning(0, 0, true, periodUs);
    for (const Delta& delta : path) {
        processor.gestureLearning(delta.dx, delta.dy, true, periodUs);
    }
    processor.gestureLearning(0, 0, false, periodUs);
}

/// A library whose one gesture has `length` values: sets the code length.
inline void setCodeLength(GestureRecognitionProcessor& processor, int length, float value = 5.0f)
{
    Gesture line;
    line.setName("line");
    line.setCode(std::vector<float>(static_cast<std::size_t>(length), value));
    processor.clearGestures();
    ASSERT_TRUE(processor.addGesture(line));
}

} // namespace gesturetest
