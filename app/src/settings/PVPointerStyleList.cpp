#include "settings/PVPointerStyleList.h"

#include "settings/PVPointStyleItem.h"
#include "settings/PVPointerStyleGridLayout.h"
#include "settings/PVPointerStyleManager.h"
#include "ui/controls/PVFlippedView.h"
#include "ui/controls/PVImageView.h"

#include <QPointer>
#include <algorithm>

PVPointerStyleList::PVPointerStyleList(PVPointerStyleManager& styles, QWidget* parent)
    : PVScrollView(parent), styles_(styles), grid_(new PVPointerStyleGridLayout(flippedView()))
{
}

QList<PVPointStyleItem*> PVPointerStyleList::items() const
{
    QList<PVPointStyleItem*> items;
    for (int i = 0; i < grid_->count(); ++i) {
        if (auto* item = qobject_cast<PVPointStyleItem*>(grid_->itemAt(i)->widget())) {
            items.append(item);
        }
    }
    return items;
}

void PVPointerStyleList::reloadData()
{
    PVScrollView::reloadData();
    QList<PVPointerStyle> data;
    if (PVScrollViewDelegate* source = delegate()) {
        for (const QVariant& value : source->dataArrayScrollView(this)) {
            if (value.canConvert<PVPointerStyle>()) {
                data.append(value.value<PVPointerStyle>());
            }
        }
    }
    const int count = static_cast<int>(data.size());
    grid_->setStyleCount(count);
    QPointer<PVPointerStyleList> self(this);
    for (int i = 0; i < std::max<int>(count, kLeastTiles); ++i) {
        auto* item = new PVPointStyleItem;
        if (i < count) {
            const PVPointerStyle& style = data[i];
            item->setTagInteger(style._id());
            item->setSelected(style._id() == selectedID_);
            item->setAction([self](PVButton* sender) {
                if (self != nullptr) {
                    self->itemAction(static_cast<PVPointStyleItem*>(sender));
                }
            });
            item->setRequestDeleteAction([self](PVPointStyleItem* sender) {
                if (self != nullptr) {
                    self->deleteAction(sender);
                }
            });
            item->setPointerTag(style.pointerTag());
            item->setImageSize(imageSize_);
            // An image that could not be loaded leaves the tile empty.
            item->imageView()->setImage(style.image());
        }
        grid_->addWidget(item);
        // Tiles past the styles keep the row's shape without showing.
        item->setVisible(i < count);
    }
    // Place the tiles now, hidden ones included, rather than on the next
    // pass of the event loop.
    grid_->activate();
    updateDocumentSize();
}

void PVPointerStyleList::itemAction(PVPointStyleItem* item)
{
    setSelectedID(item->tagInteger());
    if (auto* listener = dynamic_cast<PVPointerStyleListDelegate*>(delegate())) {
        listener->changeSelectionAtPointerStyleList(this);
    }
}

void PVPointerStyleList::deleteAction(PVPointStyleItem* item)
{
    auto* listener = dynamic_cast<PVPointerStyleListDelegate*>(delegate());
    if (listener == nullptr) {
        return;
    }
    // A copy: the delegate's deletion rebuilds the manager's list.
    if (const PVPointerStyle* style = styles_.pointerStyleAtPKID(item->tagInteger())) {
        const PVPointerStyle chosen = *style;
        listener->pointerStyleListDeletePointerStyle(this, chosen);
    }
}

void PVPointerStyleList::setSelectedID(quint64 id)
{
    selectedID_ = id;
    setupSelection(id);
}

void PVPointerStyleList::setupSelection(quint64 id)
{
    for (PVPointStyleItem* item : items()) {
        item->setSelected(item->tagInteger() == id);
    }
}

void PVPointerStyleList::setImageSize(quint64 level)
{
    imageSize_ = level;
    for (PVPointStyleItem* item : items()) {
        item->setImageSize(level);
    }
}
