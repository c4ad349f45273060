#include "ui/window/PVTabButton.h"

#include "localisation/PVLocalizedKey.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVThemeLabel.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

PVTabButton::PVTabButton(QWidget* parent)
    : PVButton(parent), textField_(createThemeLabel(themeTextGrayColor(), Qt::AlignCenter, this))
{
}

void PVTabButton::setLocalizedKey(const QString& key)
{
    ::setLocalizedKey(textField_, key);
    layoutTitle();
    update();
}

QColor PVTabButton::backgroundColor() const
{
    if (selected()) {
        return Qt::white;
    }
    // The platform's light grey: two thirds of white.
    return mouseIn() ? QColor::fromRgbF(2.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f) : themeBackgroundGrayColor();
}

void PVTabButton::shrinkTitleToFit(double width)
{
    QFont font = textField_->font();
    const auto measured = [&] { return QFontMetricsF(font).horizontalAdvance(textField_->text()); };
    // One point at a time, down to a floor: a tab narrower than the margin
    // could never fit any title.
    while (measured() + kTitleMargin > width && font.pixelSize() > kSmallestFontSize) {
        font = themeFontSize(font.pixelSize() - 1);
    }
    if (font != textField_->font()) {
        textField_->setFont(font);
        layoutTitle();
    }
}

void PVTabButton::paintEvent(QPaintEvent* event)
{
    if (!event->rect().isEmpty()) {
        shrinkTitleToFit(width());
    }
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColor());
    if (!selected()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRectF(0, height() - kRuleWidth, width(), kRuleWidth), themeBorderColor());
    }
    painter.end();
    PVButton::paintEvent(event);
}

void PVTabButton::resizeEvent(QResizeEvent* event)
{
    PVButton::resizeEvent(event);
    layoutTitle();
}

void PVTabButton::layoutTitle()
{
    const QSize text = textField_->sizeHint();
    const int w = std::min(text.width(), width());
    textField_->setGeometry((width() - w) / 2, (height() - text.height()) / 2, w, text.height());
}
