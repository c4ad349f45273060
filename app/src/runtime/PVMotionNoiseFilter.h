#pragma once

// The motion noise filter of the presenter events: decides, on the main
// thread, which engine movements reach the pointer. Every event without
// movement (a button, a status, the receiver) re-arms it: the next six motion
// events are dropped, so the cursor does not jump while the engine settles
// after a press. Movements below 2 in both axes are always dropped (hand
// tremor), and a movement far from the mean of the last eight is taken as a
// glitch and replaced by the movement handed on before it.

#include <QPointF>
#include <array>
#include <cstdint>
#include <optional>

class PVMotionNoiseFilter
{
  public:
    /// How many recent movements the mean is taken over.
    static constexpr size_t kRecentCount = 8;
    /// Motion events dropped after an event without movement.
    static constexpr uint64_t kSettleEvents = 6;
    /// A movement is handed on once one axis moves at least this far.
    static constexpr int kSmallestMove = 2;
    /// Squared distance from the recent mean beyond which a movement is noise
    /// (400 pixels).
    static constexpr double kNoiseDistanceSquared = 160000.0;
    /// Log tag of the filter's and the routing's lines.
    static constexpr unsigned kLogTag = 2;

    using RecentMoves = std::array<QPointF, kRecentCount>;

    /// The movement to hand on for an event's (dx, dy), or nothing. Logs
    /// "Noise!" (Debug) when the movement is replaced. Events whose dx and dy
    /// are both 0 reset the count of dropped events.
    std::optional<QPointF> filter(int dx, int dy);

    /// Every recent movement back to (0, 0).
    void clearRecentDiffer() { recentDiffer_.fill(QPointF(0, 0)); }

    // Plain accessors of the state.
    const RecentMoves& recentDiffer() const { return recentDiffer_; }
    void setRecentDiffer(const RecentMoves& moves) { recentDiffer_ = moves; }
    uint64_t preventCount() const { return preventCount_; }
    void setPreventCount(uint64_t count) { preventCount_ = count; }
    QPointF lastUsed() const { return lastUsed_; }
    void setLastUsed(QPointF used) { lastUsed_ = used; }

  private:
    /// The last eight movements taken as they came (noise included), oldest first.
    RecentMoves recentDiffer_{};
    uint64_t preventCount_ = 0;
    QPointF lastUsed_{0, 0};
};
