#include "ui/controls/PVPresenterIcon.h"

#include "settings/PVPointerStyle.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVRoundedFrame.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

PVPresenterIcon::PVPresenterIcon(QWidget* parent) : PVPresenterIcon(0, parent) {}

PVPresenterIcon::PVPresenterIcon(quint64 style, QWidget* parent)
    : PVButton(parent), style_(style), imageView_(new PVImageView(this))
{
    // An icon is a picture first: the owner decides whether it is clickable.
    setUserInteractiveEnabled(false);
    imageView_->setScaling(PVImageView::Scaling::ProportionallyUpOrDown);
    imageView_->setImage(PVPointerStyle::resourceImage(QString::fromLatin1(kImageName)));
}

void PVPresenterIcon::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        paintRoundedFrame(painter, rect(), kCornerRadius, kBorderWidth, themeBlueColor(), Qt::white);
    }
    PVButton::paintEvent(event);
}

void PVPresenterIcon::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    PVButton::mousePressEvent(event);
}

void PVPresenterIcon::contextMenuEvent(QContextMenuEvent* event)
{
    // The right click ends here: no menu of a parent opens.
    event->accept();
}

void PVPresenterIcon::resizeEvent(QResizeEvent* event)
{
    PVButton::resizeEvent(event);
    // The picture stays inside the frame, which is drawn under it.
    const int inset = static_cast<int>(kBorderWidth);
    imageView_->setGeometry(rect().adjusted(inset, inset, -inset, -inset));
}
