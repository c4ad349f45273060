#include "settings/PVPointerStyleGridLayout.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

PVPointerStyleGridLayout::PVPointerStyleGridLayout(QWidget* parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    // The scroll view sizes the document; the layout only answers its height.
    setSizeConstraint(QLayout::SetNoConstraint);
}

PVPointerStyleGridLayout::~PVPointerStyleGridLayout()
{
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void PVPointerStyleGridLayout::setStyleCount(int count)
{
    styleCount_ = std::max(0, count);
    invalidate();
}

double PVPointerStyleGridLayout::tileSide(int width)
{
    return std::max(0.0, (width - 2.0 * kSideMargin - (kColumns - 1.0) * kColumnSpacing) / kColumns);
}

QRect PVPointerStyleGridLayout::tileRect(int index, int width)
{
    // Edges are rounded from exact positions, so the columns stay equal
    // within a pixel and the last one ends 18 points from the side.
    const double side = tileSide(width);
    const int column = index % kColumns;
    const int row = index / kColumns;
    const double left = kSideMargin + column * (side + kColumnSpacing);
    const double top = kTopMargin + row * (side + kRowSpacing);
    const int x = static_cast<int>(std::lround(left));
    const int y = static_cast<int>(std::lround(top));
    const int sideRounded = static_cast<int>(std::lround(side));
    return QRect(x, y, sideRounded, sideRounded);
}

void PVPointerStyleGridLayout::addItem(QLayoutItem* item)
{
    items_.append(item);
}

QLayoutItem* PVPointerStyleGridLayout::itemAt(int index) const
{
    return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

QLayoutItem* PVPointerStyleGridLayout::takeAt(int index)
{
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int PVPointerStyleGridLayout::count() const
{
    return static_cast<int>(items_.size());
}

int PVPointerStyleGridLayout::heightForWidth(int width) const
{
    // Without styles nothing pins the bottom: the document keeps the room
    // of one row.
    const int last = std::max(styleCount_, 1) - 1;
    return tileRect(last, width).bottom() + 1 + kBottomMargin;
}

QSize PVPointerStyleGridLayout::sizeHint() const
{
    const int width = geometry().width();
    return {width, heightForWidth(width)};
}

QSize PVPointerStyleGridLayout::minimumSize() const
{
    return {0, 0};
}

void PVPointerStyleGridLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    // Hidden tiles are placed too (a layout item leaves a hidden widget
    // where it is): they keep the row's shape once shown.
    for (int i = 0; i < items_.size(); ++i) {
        const QRect tile = tileRect(i, rect.width()).translated(rect.topLeft());
        if (QWidget* widget = items_[i]->widget()) {
            widget->setGeometry(tile);
        } else {
            items_[i]->setGeometry(tile);
        }
    }
}
