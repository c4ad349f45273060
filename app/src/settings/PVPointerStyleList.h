#pragma once

// The grid of pointer styles: one tile per style its delegate lists, and at
// least five, so that a short list keeps the shape of a full row (tiles
// beyond the styles are hidden). A click selects a tile and tells the
// delegate; a tile's delete request reaches the delegate with the style of
// that tile. The grid is rebuilt whole on every reloadData.

#include "settings/PVPointerStyle.h"
#include "ui/controls/PVScrollView.h"

#include <QList>

class PVPointStyleItem;
class PVPointerStyleGridLayout;
class PVPointerStyleList;
class PVPointerStyleManager;

/// What the grid asks of its delegate beyond the styles it shows
/// (`dataArrayScrollView`, a list of PVPointerStyle values). A delegate that
/// is only a PVScrollViewDelegate is not told of selections or deletions.
class PVPointerStyleListDelegate : public PVScrollViewDelegate
{
  public:
    /// The user clicked a tile: the list's selectedID is its style's.
    virtual void changeSelectionAtPointerStyleList(PVPointerStyleList* list) = 0;
    /// The user asked to delete `style`.
    virtual void pointerStyleListDeletePointerStyle(PVPointerStyleList* list, const PVPointerStyle& style) = 0;
};

class PVPointerStyleList : public PVScrollView
{
    Q_OBJECT

  public:
    static constexpr int kLeastTiles = 5;

    /// `styles` answers which style a tile stands for; not owned.
    explicit PVPointerStyleList(PVPointerStyleManager& styles, QWidget* parent = nullptr);

    void reloadData() override;

    /// A tile was clicked: it becomes the selection and the delegate hears.
    void itemAction(PVPointStyleItem* item);
    /// A tile asked for its style's deletion.
    void deleteAction(PVPointStyleItem* item);

    quint64 selectedID() const { return selectedID_; }
    /// Selects the tiles of `id` and no other.
    void setSelectedID(quint64 id);
    void setupSelection(quint64 id);

    quint64 imageSize() const { return imageSize_; }
    /// The pointer size level every tile shows its image at.
    void setImageSize(quint64 level);

    /// The tiles in grid order (empty before the first reload).
    QList<PVPointStyleItem*> items() const;

  private:
    PVPointerStyleManager& styles_;
    PVPointerStyleGridLayout* grid_;
    quint64 selectedID_ = 0;
    quint64 imageSize_ = 1;
};
