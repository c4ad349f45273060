#include "update/PVProgressView.h"

#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVRoundedFrame.h"

#include <QPainter>

namespace {

// The platform's light grey: two thirds white.
QColor lightGrayColor()
{
    return QColor::fromRgbF(2.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f);
}

} // namespace

PVProgressView::PVProgressView(QWidget* parent) : QWidget(parent) {}

void PVProgressView::setProgress(double progress)
{
    progress_ = progress;
    update();
}

QRectF PVProgressView::barRect() const
{
    if (!(progress_ > 0.0)) {
        return {};
    }
    return {kBarInset, kBarInset, (width() - 2 * kBarInset) * progress_, height() - 2 * kBarInset};
}

void PVProgressView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintRoundedFrame(painter, rect(), kCornerRadius, 0.0, QColor(), lightGrayColor());
    const QRectF bar = barRect();
    if (!bar.isEmpty()) {
        painter.fillRect(bar, themeBlueColor());
    }
    // The border lies over the content, as a layer's border does.
    paintRoundedFrame(painter, rect(), kCornerRadius, kBorderWidth, themeBorderColor(), QColor());
}
