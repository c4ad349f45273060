#pragma once

// The scroll view of the tutorial: its document holds the page, as wide as
// the visible area. It scrolls without animation wherever the page asks.

#include "tutorial/PVTutorialViewDelegete.h"
#include "ui/controls/PVScrollView.h"

class PVTutorialView;

class PVTutorialScrollView : public PVScrollView, public PVTutorialViewDelegete
{
    Q_OBJECT

  public:
    explicit PVTutorialScrollView(QWidget* parent = nullptr);

    PVTutorialView* tutorialView() const { return tutorialView_; }

    /// Shows the page from `y` points below its top (as far as the page
    /// reaches; a value that is no number moves nothing).
    void scrollToOffset(double y);
    /// How far below the page's top the visible area starts.
    double contentOffset() const;

    void tutorialViewRequestToScrollOffset(PVTutorialView* tutorialView, double offset) override;

  private:
    void setupUIIfNeeded();

    PVTutorialView* tutorialView_ = nullptr;
};
