#include "activity/WindowBank.h"

#include <cmath>

#include "common/NodeManager.h"

namespace vnx::activity {

WindowBank::WindowBank(const char* blockName, const void* owner, const char* const (&names)[kWindows])
    : windows_{Stats(blockName), Stats(blockName), Stats(blockName), Stats(blockName)}
{
    for (int k = 0; k < kWindows; ++k)
        NodeManager::getInstance().addNode(owner, &windows_[k], NodeInterface::NODE_SUBNODE, names[k]);
}

void WindowBank::restartAll()
{
    for (Stats& window : windows_)
        window.reset();
}

void WindowBank::add(float x)
{
    sample_ = FloatingPoint<float>(x);
    for (Stats& window : windows_)
        window.addSample(&sample_);
}

void WindowBank::stagger(std::int32_t hop)
{
    const auto w = static_cast<std::uint32_t>(hop > 0 ? hop : 0);
    if (windows_[0].count == w)
        windows_[1].reset();
    if (windows_[1].count == w)
        windows_[2].reset();
    if (windows_[2].count == w)
        windows_[3].reset();
    if (windows_[0].count == 4 * w)
        windows_[0].reset();
}

int WindowBank::fullest() const
{
    int best = 0;
    for (int k = 1; k < kWindows; ++k)
        if (windows_[k].count > windows_[best].count)
            best = k;
    return best;
}

float WindowBank::deviation(int k) const
{
    const Stats& window = windows_[k];
    return window.count >= 2 ? std::sqrt(window.variance(0).value()) : 0.0f;
}

} // namespace vnx::activity
