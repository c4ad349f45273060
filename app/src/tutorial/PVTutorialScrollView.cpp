#include "tutorial/PVTutorialScrollView.h"

#include "tutorial/PVTutorialView.h"
#include "ui/controls/PVFlippedView.h"

#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

PVTutorialScrollView::PVTutorialScrollView(QWidget* parent) : PVScrollView(parent)
{
    setupUIIfNeeded();
}

void PVTutorialScrollView::setupUIIfNeeded()
{
    // The page is always taller than the window: a bar that never comes and
    // goes keeps the page's width, and so its height, steady.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    tutorialView_ = new PVTutorialView;
    tutorialView_->setDelegate(this);
    auto* layout = new QVBoxLayout(flippedView());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tutorialView_);
    updateDocumentSize();
}

void PVTutorialScrollView::scrollToOffset(double y)
{
    if (!std::isfinite(y)) {
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(static_cast<int>(std::lround(std::clamp<double>(y, bar->minimum(), bar->maximum()))));
}

double PVTutorialScrollView::contentOffset() const
{
    return verticalScrollBar()->value();
}

void PVTutorialScrollView::tutorialViewRequestToScrollOffset(PVTutorialView*, double offset)
{
    scrollToOffset(offset);
}
