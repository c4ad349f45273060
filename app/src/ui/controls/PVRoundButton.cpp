#include "ui/controls/PVRoundButton.h"

#include "localisation/PVLocalizedKey.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVRoundedFrame.h"
#include "ui/controls/PVThemeLabel.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

namespace {

// The label keeps this much room from the button's sides, together.
constexpr int kLabelInset = 4;
// Room around the label in the size a layout asks for.
constexpr int kPaddingX = 16;
constexpr int kPaddingY = 8;

} // namespace

PVRoundButton::PVRoundButton(QWidget* parent)
    : PVButton(parent), label_(createThemeLabel(themeTextGrayColor(), Qt::AlignCenter, this))
{
}

void PVRoundButton::setBackgroundColor(const QColor& color)
{
    backgroundColor_ = color;
    update();
}

QColor PVRoundButton::borderColor() const
{
    if (selected() || (mouseDown() && mouseIn())) {
        return themeBlueColor();
    }
    if (mouseDown() || mouseIn()) {
        return themeBlueHighlightedColor();
    }
    return themeBorderColor();
}

void PVRoundButton::updateLayout()
{
    const QString text = label_->text();
    ::setLocalizedKey(label_, localizedKey());
    if (label_->text() != text) {
        layoutSubviews();
    }
}

QSize PVRoundButton::sizeHint() const
{
    const QSize text = label_->sizeHint();
    return {text.width() + kLabelInset + kPaddingX, text.height() + kPaddingY};
}

void PVRoundButton::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        paintRoundedFrame(painter, rect(), kCornerRadius, kBorderWidth, borderColor(),
                          backgroundColor_.isValid() ? backgroundColor_ : QColor(Qt::white));
    }
    PVButton::paintEvent(event);
}

void PVRoundButton::resizeEvent(QResizeEvent* event)
{
    PVButton::resizeEvent(event);
    layoutSubviews();
}

void PVRoundButton::layoutSubviews()
{
    const QSize text = label_->sizeHint();
    const int labelWidth = std::max(0, std::min(text.width(), width() - kLabelInset));
    const int labelHeight = std::min(text.height(), height());
    label_->setGeometry((width() - labelWidth) / 2, (height() - labelHeight) / 2, labelWidth, labelHeight);
}
