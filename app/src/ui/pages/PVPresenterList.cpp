#include "ui/pages/PVPresenterList.h"

#include "platform/PVMainQueue.h"
#include "ui/controls/PVFlippedView.h"
#include "ui/controls/PVPresenterIcon.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <algorithm>

namespace {

QGraphicsOpacityEffect* opacityOf(PVPresenterIcon* icon)
{
    return qobject_cast<QGraphicsOpacityEffect*>(icon->graphicsEffect());
}

} // namespace

PVPresenterList::PVPresenterList(QWidget* parent) : PVScrollView(parent)
{
    // One row: the list is as high as its icons.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QList<PVPresenterIcon*> PVPresenterList::icons() const
{
    QList<PVPresenterIcon*> icons = flippedView()->findChildren<PVPresenterIcon*>(Qt::FindDirectChildrenOnly);
    std::sort(icons.begin(), icons.end(), [](const PVPresenterIcon* a, const PVPresenterIcon* b) {
        return a->tagInteger() < b->tagInteger();
    });
    return icons;
}

double PVPresenterList::firstIconOpacity() const
{
    for (PVPresenterIcon* icon : icons()) {
        if (icon->tagInteger() == 0) {
            const QGraphicsOpacityEffect* effect = opacityOf(icon);
            return effect != nullptr ? effect->opacity() : 1.0;
        }
    }
    return 0.0;
}

void PVPresenterList::reloadData()
{
    QWidget* document = flippedView();
    if (document->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size() < kIconCount) {
        for (int i = 0; i < kIconCount; ++i) {
            auto* icon = new PVPresenterIcon(1, document);
            icon->setTagInteger(static_cast<quint64>(i));
            icon->setGraphicsEffect(new QGraphicsOpacityEffect(icon));
            icon->setHidden(i > 0);
        }
        layoutIcons();
    }
    const double opacity = showOne_ ? 1.0 : 0.0;
    for (PVPresenterIcon* icon : document->findChildren<PVPresenterIcon*>(Qt::FindDirectChildrenOnly)) {
        if (icon->tagInteger() != 0) {
            continue;
        }
        PVMainQueue::async([icon = QPointer<PVPresenterIcon>(icon), opacity] {
            if (icon != nullptr && opacityOf(icon) != nullptr) {
                opacityOf(icon)->setOpacity(opacity);
            }
        });
    }
}

bool PVPresenterList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == flippedView() && event->type() == QEvent::Resize) {
        layoutIcons();
    }
    return PVScrollView::eventFilter(watched, event);
}

void PVPresenterList::layoutIcons()
{
    // Five equal squares with 20 points between them across the width.
    const int width = flippedView()->width();
    const int side = std::max(0, (width - (kIconCount - 1) * kIconSpacing) / kIconCount);
    for (PVPresenterIcon* icon : icons()) {
        const int i = static_cast<int>(icon->tagInteger());
        icon->setGeometry(i * (side + kIconSpacing), 0, side, side);
    }
    updateDocumentSize();
}
