#include "tutorial/PVTutorialViewController.h"

#include "settings/PVPointerStyle.h"
#include "tutorial/PVTutorialScrollView.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageButton.h"
#include "ui/controls/PVImageView.h"
#include "ui/window/PVWindowButtonContainer.h"
#include "ui/window/PVWindowStandardButton.h"
#include "ui/window/PVWindowTitleView.h"

#include <QPointer>
#include <QScrollBar>

PVTutorialViewController::PVTutorialViewController(QWidget* parent)
    : PVViewController(parent), titleView_(new PVWindowTitleView(this)),
      scrollView_(new PVTutorialScrollView(this)), topButton_(new PVImageButton(this))
{
    setupUIIfNeeded();
}

void PVTutorialViewController::setupUIIfNeeded()
{
    setBackgroundColor(themeBackgroundColor());
    resize(kWidth, kHeight);
    titleView_->setGeometry(0, 0, kWidth, kTitleHeight);
    scrollView_->setGeometry(0, kTitleHeight, kWidth, kHeight - kTitleHeight);

    PVWindowButtonContainer* buttons = titleView_->buttonContainer();
    buttons->minimizeButton()->setEnabled(false);
    connect(buttons->minimizeButton(), &QAbstractButton::clicked, this,
            &PVTutorialViewController::miniatureButtonAction);
    connect(buttons->closeButton(), &QAbstractButton::clicked, this, [this] { window()->close(); });

    // The back-to-top button floats over the page, clear of the scroll bar.
    topButton_->setImage(PVPointerStyle::resourceImage(QStringLiteral("Pelvaro_Top")));
    topButton_->imageView()->setScaling(PVImageView::Scaling::ProportionallyUpOrDown);
    const int barWidth = scrollView_->verticalScrollBar()->sizeHint().width();
    topButton_->setGeometry(kWidth - barWidth - kTopButtonMargin - kTopButtonSide,
                            kHeight - kTopButtonMargin - kTopButtonSide, kTopButtonSide, kTopButtonSide);
    topButton_->setTagInteger(0);
    topButton_->setAction([controller = QPointer<PVTutorialViewController>(this)](PVButton* sender) {
        if (controller != nullptr) {
            controller->sectionButtonAction(sender);
        }
    });
    topButton_->raise();

    connect(scrollView_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { scrollViewDidScroll(scrollView_); });
    updateAppearence(0.0);
}

void PVTutorialViewController::sectionButtonAction(PVButton*)
{
    scrollView_->scrollToOffset(0.0);
}

void PVTutorialViewController::scrollViewDidScroll(const PVTutorialScrollView* scrollView)
{
    updateAppearence(scrollView != nullptr ? scrollView->contentOffset() : 0.0);
}

void PVTutorialViewController::updateAppearence(double offset)
{
    // A value that is no number is not below the top either.
    topButton_->setHidden(!(offset > kTopThreshold));
}
