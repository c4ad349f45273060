#include "ui/controls/PVHyperlinkButton.h"

#include "log/DXLog.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVThemeLabel.h"

#include <QEvent>
#include <QLabel>
#include <algorithm>

namespace {

// The label ends this far above the button's bottom, so an underline has
// room.
constexpr int kBottomInset = 2;

} // namespace

PVHyperlinkButton::PVHyperlinkButton(QWidget* parent)
    : PVButton(parent), label_(createThemeLabel(themeTextBlackColor(), Qt::AlignLeft | Qt::AlignTop, this))
{
    setCursor(Qt::PointingHandCursor);
}

QSize PVHyperlinkButton::sizeHint() const
{
    const QSize text = label_->sizeHint();
    return {text.width(), text.height() + kBottomInset};
}

void PVHyperlinkButton::enterEvent(QEnterEvent* event)
{
    // The cursor shape itself comes from the widget's cursor.
    DXLogDebug("cursorUpdate");
    PVButton::enterEvent(event);
    DXLogDebug("mouseEntered");
}

void PVHyperlinkButton::leaveEvent(QEvent* event)
{
    PVButton::leaveEvent(event);
    DXLogDebug("mouseExited");
}

void PVHyperlinkButton::resizeEvent(QResizeEvent* event)
{
    PVButton::resizeEvent(event);
    layoutSubviews();
}

bool PVHyperlinkButton::event(QEvent* event)
{
    // The owner sets the label's text at any time; the label then asks its
    // parent for a new layout.
    if (event->type() == QEvent::LayoutRequest) {
        layoutSubviews();
        updateGeometry();
    }
    return PVButton::event(event);
}

void PVHyperlinkButton::layoutSubviews()
{
    const QSize text = label_->sizeHint();
    label_->setGeometry(0, 0, std::max(0, std::min(text.width(), width())),
                        std::max(0, height() - kBottomInset));
}
