#include "runtime/PVMotionNoiseFilter.h"

#include "log/DXLog.h"

#include <algorithm>
#include <cstdlib>

std::optional<QPointF> PVMotionNoiseFilter::filter(int dx, int dy)
{
    std::optional<QPointF> handedOn;
    // Compared as 64-bit values: the absolute value of the smallest int
    // does not fit an int.
    const bool small = std::llabs(dx) < kSmallestMove && std::llabs(dy) < kSmallestMove;
    if (preventCount_ < kSettleEvents || small) {
        ++preventCount_;
    } else {
        QPointF sum(0, 0);
        for (const QPointF& move : recentDiffer_) {
            sum += move;
        }
        const QPointF mean = sum * 0.125;
        const QPointF move(dx, dy);
        const double ex = mean.x() - move.x();
        const double ey = mean.y() - move.y();
        QPointF used = move;
        if (ex * ex + ey * ey > kNoiseDistanceSquared) {
            used = lastUsed_;
            DXLogTaggedDebug(kLogTag, "Noise!");
        }
        std::rotate(recentDiffer_.begin(), recentDiffer_.begin() + 1, recentDiffer_.end());
        recentDiffer_.back() = move;
        lastUsed_ = used;
        handedOn = used;
    }
    if (dx == 0 && dy == 0) {
        preventCount_ = 0;
    }
    return handedOn;
}
