#pragma once

// The custom-drawn slider of the pointer style page: a track, optional tick
// marks and a round knob. Mouse input maps to a value in [0, 1], or, with
// tick marks, snaps to the nearest mark. Changes are reported to an
// optional delegate and to a block.
//
// Geometry follows the slider's axis: along x for a horizontal slider, along
// y for a vertical one, whose value 0 lies at the bottom. Points and paths
// of this interface are in the widget's own (top-down) coordinates.

#include <QColor>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class DXSlider;

/// Every operation is optional: the defaults do nothing.
class DXSliderDelegate
{
  public:
    virtual ~DXSliderDelegate() = default;
    /// A path stroked as mark `index` instead of the default mark; none keeps
    /// the default.
    virtual std::optional<QPainterPath> tickMarkStyleAtIndex(DXSlider*, quint64) { return std::nullopt; }
    virtual void valueDidChanged(DXSlider*, double) {}
    virtual void tickMarkDidChanged(DXSlider*, quint64) {}
};

class DXSlider : public QWidget
{
    Q_OBJECT

  public:
    using MouseEventDetect = std::function<void(DXSlider*)>;

    static constexpr double kTickMarkLength = 20.0;
    static constexpr double kLineWidth = 0.6;
    static constexpr double kTrackThickness = 3.0;
    static constexpr double kKnobLineWidth = 2.0;

    explicit DXSlider(QWidget* parent = nullptr);

    // Plain properties: setting them does not repaint.
    bool vertical() const { return vertical_; }
    void setVertical(bool vertical) { vertical_ = vertical; }
    bool highlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted) { highlighted_ = highlighted; }
    QColor emptyLineColor() const { return emptyLineColor_; }
    void setEmptyLineColor(const QColor& color) { emptyLineColor_ = color; }
    QColor fullLineColor() const { return fullLineColor_; }
    void setFullLineColor(const QColor& color) { fullLineColor_ = color; }
    double knobRadius() const { return knobRadius_; }
    void setKnobRadius(double radius) { knobRadius_ = radius; }
    QColor knobBorderColor() const { return knobBorderColor_; }
    void setKnobBorderColor(const QColor& color) { knobBorderColor_ = color; }
    QColor knobFillColor() const { return knobFillColor_; }
    void setKnobFillColor(const QColor& color) { knobFillColor_ = color; }
    /// The stored colour, or the border or fill colour darkened when none is
    /// stored (an invalid colour clears it).
    QColor knobHighlightBorderColor() const;
    void setKnobHighlightBorderColor(const QColor& color) { knobHighlightBorderColor_ = color; }
    QColor knobHighlightFillColor() const;
    void setKnobHighlightFillColor(const QColor& color) { knobHighlightFillColor_ = color; }
    quint64 numberOnTickMarks() const { return numberOnTickMarks_; }
    void setNumberOnTickMarks(quint64 count) { numberOnTickMarks_ = count; }
    bool allowsTickMarkValuesOnly() const { return allowsTickMarkValuesOnly_; }
    void setAllowsTickMarkValuesOnly(bool only) { allowsTickMarkValuesOnly_ = only; }
    double tickMarkPadding() const { return tickMarkPadding_; }
    void setTickMarkPadding(double padding) { tickMarkPadding_ = padding; }
    QColor tickMarkColor() const { return tickMarkColor_; }
    void setTickMarkColor(const QColor& color) { tickMarkColor_ = color; }
    const MouseEventDetect& mouseEventDetect() const { return mouseEventDetect_; }
    void setMouseEventDetect(MouseEventDetect block) { mouseEventDetect_ = std::move(block); }

    /// Not owned. A delegate that is also a QObject is forgotten when it is
    /// destroyed; any other must outlive the slider or be unset first.
    DXSliderDelegate* delegate() const;
    void setDelegate(DXSliderDelegate* delegate);

    double value() const { return value_; }
    /// Clamps to [0, 1]; with tick marks the current mark follows (nearest,
    /// halves away from zero). Repaints.
    void setValue(double value);
    quint64 currentTickMark() const { return currentTickMark_; }
    /// Moves to mark `index` (at most the last one); the value becomes its
    /// share of the marks, 0 with fewer than two marks. Repaints.
    void setCurrentTickMark(quint64 index);

    QPointF centerPointAtTickMarkIndex(quint64 index, const QRectF& rect) const;
    QPointF centerPointAtTickMarkIndex(quint64 index) const;
    QRectF tickmarkFrameByRect(const QRectF& rect) const;
    /// The default mark: a line of 20 across the track through `center`.
    QPainterPath drawTickMarkCenter(const QPointF& center) const;
    /// Where the knob is drawn in `rect`.
    QPointF knobCenterInRect(const QRectF& rect) const;

    void updateDrawingInRect(QPainter& painter, const QRectF& rect);
    /// Maps a point of the slider's window to a value or mark, as a click
    /// there would.
    void detectMouseEventAtPointInWindow(const QPointF& point);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void setInitialProperty();
    /// Converts between the axis coordinate (from the track's origin: left,
    /// or bottom for a vertical slider) and the widget's y.
    double flipY(double y, const QRectF& rect) const { return rect.top() + rect.bottom() - y; }

    bool vertical_ = false;
    bool highlighted_ = false;
    double value_ = 0.0;
    DXSliderDelegate* delegate_ = nullptr;
    QPointer<QObject> delegateObject_;
    bool delegateIsObject_ = false;
    QColor emptyLineColor_;
    QColor fullLineColor_;
    double knobRadius_ = 0.0;
    QColor knobBorderColor_;
    QColor knobFillColor_;
    QColor knobHighlightBorderColor_;
    QColor knobHighlightFillColor_;
    quint64 numberOnTickMarks_ = 0;
    quint64 currentTickMark_ = 0;
    bool allowsTickMarkValuesOnly_ = false;
    double tickMarkPadding_ = 0.0;
    QColor tickMarkColor_;
    MouseEventDetect mouseEventDetect_;
};
