#pragma once

// A white container framed by four thin lines in the border colour. The top
// line can be hidden; it shows until setShowTopBorder is first called.

#include <QPainterPath>
#include <QWidget>

class PVLineView;

class PVBorderView : public QWidget
{
    Q_OBJECT

  public:
    static constexpr double kLineWidth = 1.6;

    explicit PVBorderView(QWidget* parent = nullptr);

    bool showTopBorder() const { return showTopBorder_; }
    void setShowTopBorder(bool show);

    /// A path the owner may keep with the view; nothing draws it.
    const QPainterPath& borderPath() const { return borderPath_; }
    void setBorderPath(const QPainterPath& path) { borderPath_ = path; }

    PVLineView* leftLine() const { return leftLine_; }
    PVLineView* rightLine() const { return rightLine_; }
    PVLineView* topLine() const { return topLine_; }
    PVLineView* bottomLine() const { return bottomLine_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    /// Called after the view has painted its background, with the area
    /// painted; subclasses draw extra borders here.
    virtual void redrawBorder(const QRect& dirtyRect);

  private:
    PVLineView* leftLine_;
    PVLineView* rightLine_;
    PVLineView* topLine_;
    PVLineView* bottomLine_;
    bool showTopBorder_ = false;
    QPainterPath borderPath_;
};
