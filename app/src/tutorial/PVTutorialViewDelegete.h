#pragma once

// What the tutorial page asks of its owner: scrolling the page so that a
// part of it starts at the top of the visible area.

class PVTutorialView;

class PVTutorialViewDelegete
{
  public:
    virtual ~PVTutorialViewDelegete() = default;
    /// Scroll so that the point `offset` below the page's top shows at the
    /// top of the visible area.
    virtual void tutorialViewRequestToScrollOffset(PVTutorialView* tutorialView, double offset) = 0;
};
