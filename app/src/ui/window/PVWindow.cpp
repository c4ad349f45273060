#include "ui/window/PVWindow.h"

#include "log/DXLog.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVRoundedFrame.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// The frame is drawn over the content and lets every click through.
class FrameOverlay : public QWidget
{
  public:
    explicit FrameOverlay(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        paintRoundedFrame(painter, rect(), PVWindow::kCornerRadius, PVWindow::kBorderWidth,
                          themeWindowBorderColor(), QColor());
    }
};

} // namespace

PVWindow::PVWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), frame_(new FrameOverlay(this))
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

PVWindow::~PVWindow()
{
    DXLogAlert("%s dealloc", className_);
}

bool PVWindow::event(QEvent* event)
{
    className_ = metaObject()->className();
    return QWidget::event(event);
}

void PVWindow::centerOnMainScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect visible = screen != nullptr ? screen->availableGeometry() : QRect();
    move(visible.x() + visible.width() / 2 - width() / 2, visible.y() + visible.height() / 2 - height() / 2);
}

void PVWindow::setContentView(QWidget* content)
{
    if (content_ != nullptr) {
        layout()->removeWidget(content_);
        content_->deleteLater();
    }
    content_ = content;
    layout()->addWidget(content);
    frame_->raise();
}

void PVWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    frame_->setGeometry(rect());
    frame_->raise();
    setMask(QRegion(roundedShape(rect(), kCornerRadius).toFillPolygon().toPolygon()));
}

void PVWindow::mousePressEvent(QMouseEvent* event)
{
    if (!movableByWindowBackground_ || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window manager moves the window when there is one; without one it
    // moves by hand.
    draggingByHand_ = windowHandle() == nullptr || !windowHandle()->startSystemMove();
    grabOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void PVWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (draggingByHand_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - grabOffset_);
    }
}

void PVWindow::mouseReleaseEvent(QMouseEvent* event)
{
    draggingByHand_ = false;
    QWidget::mouseReleaseEvent(event);
}
