#pragma once

// The pointer styles the user can pick, in the store's order (tag, then
// "_id"): built-in styles, at most six custom images, and the import tile
// while fewer than six custom images exist.

#include "settings/PVPointerStyle.h"

#include <QList>

class PVPlistManager;

class PVPointerStyleManager
{
  public:
    static PVPointerStyleManager& defaultManager();

    /// A manager over `store` (the shared store for the application).
    explicit PVPointerStyleManager(PVPlistManager& store);

    /// Rebuilds the list from the store.
    void updatePointerStyleArray();
    const QList<PVPointerStyle>& allPointerStyles() const { return allPointerStyles_; }
    /// The listed style of that "_id"; null (with a Warn line) when none is,
    /// the first (with a Warn line) when several are.
    const PVPointerStyle* pointerStyleAtPKID(quint64 id) const;

    static constexpr int kMostCustomStyles = 6;

  private:
    PVPlistManager& store_;
    QList<PVPointerStyle> allPointerStyles_;
};
