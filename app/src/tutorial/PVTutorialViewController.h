#pragma once

// The tutorial window's content: its own title bar (close only: minimise and
// zoom stay off), the scrolling page below, and a back-to-top button over
// the page's lower right corner that shows once the page is scrolled by
// more than half a point.

#include "ui/window/PVViewController.h"

class PVButton;
class PVImageButton;
class PVTutorialScrollView;
class PVWindowTitleView;

class PVTutorialViewController : public PVViewController
{
    Q_OBJECT

  public:
    /// Size of the tutorial window.
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 640;
    static constexpr int kTitleHeight = 28;
    static constexpr int kTopButtonSide = 36;
    static constexpr int kTopButtonMargin = 20;
    /// Offsets up to this many points count as the top of the page.
    static constexpr double kTopThreshold = 0.5;

    explicit PVTutorialViewController(QWidget* parent = nullptr);

    PVWindowTitleView* titleView() const { return titleView_; }
    PVTutorialScrollView* scrollView() const { return scrollView_; }
    PVImageButton* topButton() const { return topButton_; }

    /// The back-to-top button's action: back to the page's top.
    void sectionButtonAction(PVButton* sender);
    /// The page moved: follows `scrollView`'s offset (0 without one).
    void scrollViewDidScroll(const PVTutorialScrollView* scrollView);
    /// The back-to-top button shows only below the top of the page.
    void updateAppearence(double offset);
    /// The minimise button's action: the tutorial is not minimised.
    void miniatureButtonAction() {}

  private:
    void setupUIIfNeeded();

    PVWindowTitleView* titleView_;
    PVTutorialScrollView* scrollView_;
    PVImageButton* topButton_;
};
