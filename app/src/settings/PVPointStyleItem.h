#pragma once

// One tile of the pointer style grid: a rounded square showing the style's
// image, centred, at half, three quarters or the whole of the tile's width
// by the pointer size level. Its border shows the state: thick blue when
// selected or pressed with the pointer inside, thin light blue when only
// hovered or pressed. A custom image's tile offers a context menu whose one
// item asks to delete it. The tile's tagInteger carries the style's "_id".

#include "ui/controls/PVButton.h"

#include <functional>

class PVImageView;
class QMenu;

class PVPointStyleItem : public PVButton
{
    Q_OBJECT

  public:
    using RequestDeleteAction = std::function<void(PVPointStyleItem*)>;

    static constexpr double kCornerRadius = 10.0;

    explicit PVPointStyleItem(QWidget* parent = nullptr);

    /// The image's share of the tile's width for a size level: 0.5, 0.75 and
    /// 1.0 for levels 0, 1 and 2, the whole width for any other level.
    static double imageWidthFactor(quint64 level);

    quint64 imageSize() const { return imageSize_; }
    void setImageSize(quint64 level);
    quint64 pointerTag() const { return pointerTag_; }
    void setPointerTag(quint64 tag) { pointerTag_ = tag; }
    const RequestDeleteAction& requestDeleteAction() const { return requestDeleteAction_; }
    void setRequestDeleteAction(RequestDeleteAction action) { requestDeleteAction_ = std::move(action); }

    PVImageView* imageView() const { return imageView_; }
    /// The border's current look, drawn over the image.
    PVImageView* borderView() const { return borderView_; }
    /// The context menu while it is open.
    QMenu* contextMenu() const;

    void updateLayout() override;
    /// A right click: on a custom image's tile, opens the context menu at
    /// `globalPosition` without waiting for it to close.
    void rightMouseDown(const QPoint& globalPosition);
    /// The menu's delete item: asks for the tile's deletion.
    void menuItemAction();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void setupUIIfNeeded();
    void layoutImage();

    PVImageView* imageView_;
    PVImageView* borderView_;
    quint64 imageSize_ = 1;
    quint64 pointerTag_ = 0;
    RequestDeleteAction requestDeleteAction_;
};
