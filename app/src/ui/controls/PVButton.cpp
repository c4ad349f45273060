#include "ui/controls/PVButton.h"

#include "platform/PVMainQueue.h"

#include <QMouseEvent>
#include <QPointer>

PVButton::PVButton(QWidget* parent) : QWidget(parent) {}

PVButton::~PVButton() = default;

void PVButton::setSelected(bool selected)
{
    selected_ = selected;
    update();
}

void PVButton::setHighlighted(bool highlighted)
{
    highlighted_ = highlighted;
    update();
}

void PVButton::setMouseIn(bool mouseIn)
{
    mouseIn_ = mouseIn;
    update();
}

void PVButton::setMouseDown(bool mouseDown)
{
    mouseDown_ = mouseDown;
}

void PVButton::setLocalizedKey(const QString& key)
{
    localizedKey_ = key;
    updateLayout();
}

void PVButton::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    updateLayout();
}

void PVButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!userInteractiveEnabled_) {
        return;
    }
    setMouseDown(true);
    setHighlighted(true);
}

void PVButton::mouseMoveEvent(QMouseEvent* event)
{
    // Without mouse tracking moves arrive only while a button is held: a drag.
    if (!userInteractiveEnabled_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    setHighlighted(rect().contains(event->position().toPoint()));
}

void PVButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (!userInteractiveEnabled_) {
        return;
    }
    setMouseDown(false);
    setHighlighted(false);
    const bool inside = rect().contains(event->position().toPoint());
    setMouseIn(inside);
    if (!isActiveWindow() || !inside || !action_ || actionTooSoon_) {
        return;
    }
    // The flag and its reset are in place before the action runs: the
    // action may close the window and so delete this button, and it may
    // replace the action itself, so it runs from a copy.
    actionTooSoon_ = true;
    PVMainQueue::after(kActionInterval, [button = QPointer<PVButton>(this)] {
        if (button != nullptr) {
            button->actionTooSoon_ = false;
        }
    });
    const Action action = action_;
    action(this);
}

void PVButton::enterEvent(QEnterEvent*)
{
    if (userInteractiveEnabled_) {
        setMouseIn(true);
    }
}

void PVButton::leaveEvent(QEvent*)
{
    if (userInteractiveEnabled_) {
        setMouseIn(false);
    }
}

void PVButton::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    setMouseIn(false);
    setHighlighted(false);
}
