// Draws the tray icon: the presenter seen from above, tilted, sending its
// beam to a dot. One dark ink on transparency, so it reads on light and dark
// panels; drawn large, the tray scales it down.
//
//   pelvaro_draw_status_item_image <folder>

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kInk(48, 48, 50);
constexpr int kSize = 64;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    QGuiApplication application(argc, argv);
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // The body: a long rounded bar from the lower left towards the
        // middle, with two button holes cut out.
        p.save();
        p.translate(24.0, 40.0);
        p.rotate(-45.0);
        QPainterPath body;
        body.addRoundedRect(QRectF(-22.0, -8.0, 40.0, 16.0), 8.0, 8.0);
        QPainterPath holes;
        holes.addEllipse(QPointF(-10.0, 0.0), 3.2, 3.2);
        holes.addEllipse(QPointF(2.0, 0.0), 3.2, 3.2);
        p.fillPath(body.subtracted(holes), kInk);
        p.restore();
        // The beam and the dot it lands on, in the upper right.
        p.setPen(QPen(kInk, 3.0, Qt::DashLine, Qt::RoundCap));
        p.drawLine(QPointF(39.0, 25.0), QPointF(50.0, 14.0));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(54.0, 10.0), 6.0, 6.0);
    }
    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("quorrin.png"));
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
