#include "settings/PVPointStyleItem.h"

#include "localisation/PVLocalizedStringManager.h"
#include "settings/PVPointerStyle.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVRoundedFrame.h"
#include "ui/controls/PVStateBorder.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <cmath>

PVPointStyleItem::PVPointStyleItem(QWidget* parent)
    : PVButton(parent), imageView_(new PVImageView(this)), borderView_(new PVImageView(this))
{
    setupUIIfNeeded();
}

void PVPointStyleItem::setupUIIfNeeded()
{
    // Clear background: the tile shows its image and its border only.
    setAttribute(Qt::WA_TranslucentBackground);
    imageView_->setScaling(PVImageView::Scaling::ProportionallyUpOrDown);
    // The border lies over the image, as a layer's border lies over its
    // content, and lets the pointer through to the tile.
    borderView_->setCornerRadius(kCornerRadius);
    borderView_->setAttribute(Qt::WA_TransparentForMouseEvents);
    borderView_->raise();
    layoutImage();
}

double PVPointStyleItem::imageWidthFactor(quint64 level)
{
    switch (level) {
    case 0:
        return 0.5;
    case 1:
        return 0.75;
    default:
        return 1.0;
    }
}

void PVPointStyleItem::setImageSize(quint64 level)
{
    imageSize_ = level;
    layoutImage();
}

void PVPointStyleItem::resizeEvent(QResizeEvent* event)
{
    PVButton::resizeEvent(event);
    // Clipped to the rounded bounds: a picture as wide as the tile keeps
    // the tile's round corners.
    setMask(QRegion(roundedShape(QRectF(rect()), kCornerRadius).toFillPolygon().toPolygon()));
    layoutImage();
}

void PVPointStyleItem::layoutImage()
{
    // A square as wide as the level's share of the tile, in its centre.
    const int side = static_cast<int>(std::lround(width() * imageWidthFactor(imageSize_)));
    imageView_->setGeometry((width() - side) / 2, (height() - side) / 2, side, side);
    borderView_->setGeometry(rect());
}

void PVPointStyleItem::updateLayout()
{
    showStateBorder(*this, *borderView_);
}

void PVPointStyleItem::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        rightMouseDown(event->globalPosition().toPoint());
        return;
    }
    PVButton::mousePressEvent(event);
}

QMenu* PVPointStyleItem::contextMenu() const
{
    return findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
}

void PVPointStyleItem::rightMouseDown(const QPoint& globalPosition)
{
    // Only a custom image can be deleted; built-in styles and the import
    // tile have no menu.
    if (pointerTag_ != PVPointerTagCustom) {
        return;
    }
    auto* menu = new QMenu(QStringLiteral("Menu"), this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* item =
        menu->addAction(PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QStringLiteral("PV033")));
    connect(item, &QAction::triggered, this, [tile = QPointer<PVPointStyleItem>(this)] {
        if (tile != nullptr) {
            tile->menuItemAction();
        }
    });
    menu->popup(globalPosition);
}

void PVPointStyleItem::menuItemAction()
{
    if (requestDeleteAction_) {
        const RequestDeleteAction action = requestDeleteAction_;
        action(this);
    }
}
