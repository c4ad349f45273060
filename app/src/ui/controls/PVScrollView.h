#pragma once

// A vertical list area: the document view is as wide as the visible area and
// as tall as its content, so it scrolls once the content outgrows the view.
// Subclasses rebuild their items after reloadData from the array their
// delegate gives.

#include <QPointer>
#include <QScrollArea>
#include <QVariantList>

class PVFlippedView;
class PVScrollView;

class PVScrollViewDelegate
{
  public:
    virtual ~PVScrollViewDelegate() = default;
    /// The items `scrollView` shows, in order.
    virtual QVariantList dataArrayScrollView(PVScrollView* scrollView) = 0;
};

class PVScrollView : public QScrollArea
{
    Q_OBJECT

  public:
    explicit PVScrollView(QWidget* parent = nullptr);

    PVFlippedView* flippedView() const { return flippedView_; }

    /// Not owned. A delegate that is also a QObject is forgotten when it is
    /// destroyed; any other must outlive the scroll view or be unset first.
    PVScrollViewDelegate* delegate() const;
    void setDelegate(PVScrollViewDelegate* delegate);

    /// Removes every item of the document view (deleted once control
    /// returns to the event loop, so an item may call this from its own
    /// action).
    virtual void reloadData();

    /// Fits the document to the visible width and its content's height;
    /// runs by itself when the view resizes or the content's layout changes.
    void updateDocumentSize();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int contentHeight(int width) const;

    PVFlippedView* flippedView_;
    PVScrollViewDelegate* delegate_ = nullptr;
    QPointer<QObject> delegateObject_;
    bool delegateIsObject_ = false;
};
