#include "ui/controls/DXSlider.h"

#include "ui/controls/PVColorTheme.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The platform's named greys: light two thirds, dark one third of white.
const QColor kLightGray = QColor::fromRgbF(2.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f);
const QColor kDarkGray = QColor::fromRgbF(1.0f / 3.0f, 1.0f / 3.0f, 1.0f / 3.0f);
const QColor kOrange = QColor::fromRgbF(1.0f, 0.5f, 0.0f);

/// Nearest whole number in single precision, halves away from zero.
quint64 roundToMark(double position)
{
    return static_cast<quint64>(std::max(0L, std::lround(static_cast<float>(position))));
}

} // namespace

DXSlider::DXSlider(QWidget* parent) : QWidget(parent)
{
    setInitialProperty();
}

void DXSlider::setInitialProperty()
{
    knobRadius_ = 10.0;
    knobFillColor_ = Qt::yellow;
    knobBorderColor_ = kOrange;
    emptyLineColor_ = kLightGray;
    fullLineColor_ = Qt::blue;
    tickMarkPadding_ = 20.0;
    tickMarkColor_ = Qt::black;
}

QColor DXSlider::knobHighlightBorderColor() const
{
    return knobHighlightBorderColor_.isValid() ? knobHighlightBorderColor_ : darkerColor(knobBorderColor_);
}

QColor DXSlider::knobHighlightFillColor() const
{
    return knobHighlightFillColor_.isValid() ? knobHighlightFillColor_ : darkerColor(knobFillColor_);
}

DXSliderDelegate* DXSlider::delegate() const
{
    return delegateIsObject_ && delegateObject_ == nullptr ? nullptr : delegate_;
}

void DXSlider::setDelegate(DXSliderDelegate* delegate)
{
    delegate_ = delegate;
    delegateObject_ = dynamic_cast<QObject*>(delegate);
    delegateIsObject_ = delegateObject_ != nullptr;
}

void DXSlider::setValue(double value)
{
    value_ = std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
    if (numberOnTickMarks_ != 0) {
        currentTickMark_ = roundToMark(value_ * static_cast<double>(numberOnTickMarks_ - 1));
    }
    update();
}

void DXSlider::setCurrentTickMark(quint64 index)
{
    // With fewer than two marks there is no share to take: the value is 0.
    const quint64 count = numberOnTickMarks_;
    currentTickMark_ = count == 0 ? 0 : std::min(index, count - 1);
    value_ = count <= 1 ? 0.0 : static_cast<double>(currentTickMark_) / static_cast<double>(count - 1);
    update();
}

QRectF DXSlider::tickmarkFrameByRect(const QRectF& rect) const
{
    const double inset = knobRadius_ + tickMarkPadding_;
    return rect.adjusted(inset, inset, -inset, -inset);
}

QPointF DXSlider::centerPointAtTickMarkIndex(quint64 index, const QRectF& rect) const
{
    const quint64 count = numberOnTickMarks_;
    if (count == 0) {
        return rect.topLeft();
    }
    if (count == 1) {
        return rect.center();
    }
    const QRectF frame = tickmarkFrameByRect(rect);
    const double offset = knobRadius_ + tickMarkPadding_;
    if (!vertical_) {
        const double step = frame.width() / static_cast<double>(count - 1);
        return {rect.left() + offset + static_cast<double>(index) * step, rect.center().y()};
    }
    const double step = frame.height() / static_cast<double>(count - 1);
    return {rect.center().x(), flipY(rect.top() + offset + static_cast<double>(index) * step, rect)};
}

QPointF DXSlider::centerPointAtTickMarkIndex(quint64 index) const
{
    return centerPointAtTickMarkIndex(index, rect());
}

QPainterPath DXSlider::drawTickMarkCenter(const QPointF& center) const
{
    const double half = kTickMarkLength / 2.0;
    QPainterPath path;
    if (!vertical_) {
        path.moveTo(center.x(), center.y() - half);
        path.lineTo(center.x(), center.y() + half);
    } else {
        path.moveTo(center.x() - half, center.y());
        path.lineTo(center.x() + half, center.y());
    }
    return path;
}

QPointF DXSlider::knobCenterInRect(const QRectF& rect) const
{
    if (numberOnTickMarks_ != 0 && allowsTickMarkValuesOnly_) {
        return centerPointAtTickMarkIndex(currentTickMark_, rect);
    }
    const double r = knobRadius_;
    if (!vertical_) {
        return {rect.left() + r + value_ * (rect.width() - 2 * r), rect.center().y()};
    }
    return {rect.center().x(), flipY(rect.top() + r + value_ * (rect.height() - 2 * r), rect)};
}

void DXSlider::updateDrawingInRect(QPainter& painter, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF knob = knobCenterInRect(rect);
    const double r = knobRadius_;
    const double half = kTrackThickness / 2.0;

    if (numberOnTickMarks_ != 0) {
        QPainterPath ticks;
        DXSliderDelegate* sliderDelegate = delegate();
        for (quint64 i = 0; i < numberOnTickMarks_; ++i) {
            std::optional<QPainterPath> custom;
            if (sliderDelegate != nullptr) {
                custom = sliderDelegate->tickMarkStyleAtIndex(this, i);
            }
            ticks.addPath(custom ? *custom : drawTickMarkCenter(centerPointAtTickMarkIndex(i, rect)));
        }
        painter.strokePath(ticks, QPen(tickMarkColor_, kLineWidth));
    }

    // The track: full from its start to the knob, empty from the knob on.
    // Along y the start is the bottom.
    QRectF full;
    QRectF empty;
    if (!vertical_) {
        full = QRectF(rect.left() + r, rect.center().y() - half, knob.x() - rect.left() - r, kTrackThickness);
        empty = QRectF(knob.x(), rect.center().y() - half, rect.right() - knob.x() - r, kTrackThickness);
    } else {
        full = QRectF(rect.center().x() - half, knob.y(), kTrackThickness, rect.bottom() - r - knob.y());
        empty = QRectF(rect.center().x() - half, rect.top() + r, kTrackThickness, knob.y() - rect.top() - r);
    }
    for (const auto& [part, color] : {std::pair{full, fullLineColor_}, std::pair{empty, emptyLineColor_}}) {
        QPainterPath path;
        path.addRoundedRect(part, half, half);
        painter.fillPath(path, color);
        painter.strokePath(path, QPen(kDarkGray, kLineWidth));
    }

    // The knob: the fill follows the stroke and covers the border's inner half.
    QPainterPath circle;
    circle.addEllipse(knob, r, r);
    painter.strokePath(circle, QPen(highlighted_ ? knobHighlightBorderColor() : knobBorderColor_,
                                    kKnobLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(circle, highlighted_ ? knobHighlightFillColor() : knobFillColor_);
    painter.restore();
}

void DXSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    updateDrawingInRect(painter, rect());
}

void DXSlider::detectMouseEventAtPointInWindow(const QPointF& point)
{
    const QPointF local = mapFrom(window(), point);
    const QRectF bounds = rect();
    const double c = vertical_ ? bounds.bottom() - local.y() : local.x();
    const double length = vertical_ ? bounds.height() : bounds.width();
    const double r = knobRadius_;
    DXSliderDelegate* sliderDelegate = delegate();
    if (numberOnTickMarks_ != 0) {
        // A track too short for its marks puts every click on the first.
        const double frame = length - 2 * r - 2 * tickMarkPadding_;
        const double ratio = frame > 0 ? std::clamp((c - r - tickMarkPadding_) / frame, 0.0, 1.0) : 0.0;
        setCurrentTickMark(roundToMark(ratio * static_cast<double>(numberOnTickMarks_ - 1)));
        if (sliderDelegate != nullptr) {
            sliderDelegate->tickMarkDidChanged(this, currentTickMark_);
        }
    } else {
        const double track = length - 2 * r;
        setValue(track > 0 ? (c - r) / track : 0.0);
        // The delegate hears the value the slider took, inside [0, 1].
        if (sliderDelegate != nullptr) {
            sliderDelegate->valueDidChanged(this, value_);
        }
    }
    if (mouseEventDetect_) {
        const MouseEventDetect block = mouseEventDetect_;
        block(this);
    }
}

void DXSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    highlighted_ = true;
    detectMouseEventAtPointInWindow(mapTo(window(), event->position()));
}

void DXSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        detectMouseEventAtPointInWindow(mapTo(window(), event->position()));
    }
}

void DXSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    highlighted_ = false;
    update();
}
