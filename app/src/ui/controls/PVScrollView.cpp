#include "ui/controls/PVScrollView.h"

#include "ui/controls/PVFlippedView.h"

#include <QEvent>
#include <QLayout>
#include <algorithm>

PVScrollView::PVScrollView(QWidget* parent) : QScrollArea(parent), flippedView_(new PVFlippedView)
{
    setObjectName(QStringLiteral("ScrollView"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    flippedView_->setObjectName(QStringLiteral("Content container"));
    // The document's size is ours to set: full width, content height.
    setWidgetResizable(false);
    setWidget(flippedView_);
    flippedView_->installEventFilter(this);
    updateDocumentSize();
}

PVScrollViewDelegate* PVScrollView::delegate() const
{
    if (delegateIsObject_ && delegateObject_ == nullptr) {
        return nullptr;
    }
    return delegate_;
}

void PVScrollView::setDelegate(PVScrollViewDelegate* delegate)
{
    delegate_ = delegate;
    delegateObject_ = dynamic_cast<QObject*>(delegate);
    delegateIsObject_ = delegateObject_ != nullptr;
}

void PVScrollView::reloadData()
{
    const QList<QWidget*> items = flippedView_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* item : items) {
        item->hide();
        item->setParent(nullptr);
        item->deleteLater();
    }
    updateDocumentSize();
}

int PVScrollView::contentHeight(int width) const
{
    if (QLayout* layout = flippedView_->layout()) {
        return layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                           : layout->totalSizeHint().height();
    }
    int bottom = 0;
    for (const QWidget* item : flippedView_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!item->isHidden()) {
            bottom = std::max(bottom, item->geometry().bottom() + 1);
        }
    }
    return bottom;
}

void PVScrollView::updateDocumentSize()
{
    const int width = viewport()->width();
    const QSize size(width, contentHeight(width));
    if (flippedView_->size() != size) {
        flippedView_->resize(size);
    }
}

void PVScrollView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    updateDocumentSize();
}

bool PVScrollView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == flippedView_ &&
        (event->type() == QEvent::LayoutRequest || event->type() == QEvent::ChildRemoved)) {
        updateDocumentSize();
    }
    return QScrollArea::eventFilter(watched, event);
}
