// Draws the tutorial's pictures into a folder: the five mode icons, the two
// click icons of the legend, the back-to-top arrow and one step picture per
// mode. The pictures hold no words (the page's texts are localised); each
// step picture has the aspect ratio its section gives it, and the three that
// carry the "hold and move" caption leave a quiet band where it lands.
//
//   pelvaro_draw_tutorial_images <folder>

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kInk(64, 64, 65);
const QColor kBlue(0, 120, 174);
const QColor kLightBlue(143, 229, 255);
const QColor kPaper(255, 255, 255);
const QColor kPanel(230, 231, 232);
const QColor kYellow(255, 214, 10, 170);

using Drawing = std::function<void(QPainter&, const QSizeF&)>;

bool write(const QString& folder, const QString& name, QSize size, const Drawing& draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, QSizeF(size));
    }
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QPen pen(const QColor& color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A screen: a rounded frame with a stand, its inside returned.
QRectF drawScreen(QPainter& p, const QRectF& r, const QColor& inside)
{
    const double w = r.width();
    const QRectF body(r.left(), r.top(), w, r.height() * 0.82);
    p.setPen(pen(kInk, w * 0.025));
    p.setBrush(kPaper);
    p.drawRoundedRect(body, w * 0.04, w * 0.04);
    const QRectF glass = body.adjusted(w * 0.05, w * 0.05, -w * 0.05, -w * 0.05);
    p.setPen(Qt::NoPen);
    p.setBrush(inside);
    p.drawRect(glass);
    p.setPen(pen(kInk, w * 0.025));
    const double cx = r.center().x();
    p.drawLine(QPointF(cx, body.bottom()), QPointF(cx, r.bottom() - w * 0.02));
    p.drawLine(QPointF(cx - w * 0.18, r.bottom() - w * 0.02), QPointF(cx + w * 0.18, r.bottom() - w * 0.02));
    return glass;
}

// The presenter seen from above: a long rounded body with its two buttons;
// the hot button (the upper one) is `hotColor`.
void drawPresenter(QPainter& p, const QRectF& r, const QColor& hotColor)
{
    const double w = r.width();
    p.setPen(pen(kInk, w * 0.08));
    p.setBrush(kPanel);
    p.drawRoundedRect(r, w * 0.45, w * 0.45);
    p.setPen(pen(kInk, w * 0.05));
    p.setBrush(hotColor);
    const double d = w * 0.52;
    p.drawEllipse(QPointF(r.center().x(), r.top() + r.height() * 0.22), d / 2, d / 2);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(r.center().x(), r.top() + r.height() * 0.42), d / 2.6, d / 2.6);
}

// Click marks: `rings` arcs around a point, one per click.
void drawClicks(QPainter& p, const QPointF& at, double size, int rings)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kBlue, size * 0.09));
    for (int i = 0; i < rings; ++i) {
        const double r = size * (0.22 + 0.2 * i);
        p.drawArc(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r), 20 * 16, 140 * 16);
    }
}

// An arrow from `a` to `b` with a filled head.
void drawArrow(QPainter& p, const QPointF& a, const QPointF& b, double width)
{
    p.setPen(pen(kBlue, width));
    const QPointF d = b - a;
    const double length = std::sqrt(d.x() * d.x() + d.y() * d.y());
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const QPointF base = b - u * width * 3.0;
    p.drawLine(a, base);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({b, base + n * width * 1.8, base - n * width * 1.8}));
}

void drawPlay(QPainter& p, const QRectF& r, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({r.topLeft(), QPointF(r.right(), r.center().y()), r.bottomLeft()}));
}

void drawPointerArrow(QPainter& p, const QPointF& tip, double size, const QColor& fill)
{
    const double s = size;
    QPolygonF arrow({tip, tip + QPointF(0, s), tip + QPointF(0.28 * s, 0.74 * s), tip + QPointF(0.46 * s, 1.08 * s),
                     tip + QPointF(0.6 * s, 1.0 * s), tip + QPointF(0.42 * s, 0.68 * s),
                     tip + QPointF(0.74 * s, 0.68 * s)});
    p.setPen(pen(kInk, s * 0.07));
    p.setBrush(fill);
    p.drawPolygon(arrow);
}

void drawGlass(QPainter& p, const QPointF& centre, double radius, const QColor& lens)
{
    p.setPen(pen(kInk, radius * 0.3));
    const QPointF handle = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(handle, handle + QPointF(radius * 0.75, radius * 0.75));
    p.setPen(pen(kInk, radius * 0.18));
    p.setBrush(lens);
    p.drawEllipse(centre, radius, radius);
}

void drawMarker(QPainter& p, const QRectF& r)
{
    p.save();
    p.translate(r.center());
    p.rotate(45);
    const double w = r.width() * 0.3, h = r.height() * 0.95;
    p.setPen(pen(kInk, r.width() * 0.06));
    p.setBrush(QColor(255, 214, 10));
    p.drawRect(QRectF(-w / 2, -h / 2, w, h * 0.7));
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({QPointF(-w / 2, h * 0.2), QPointF(w / 2, h * 0.2), QPointF(w * 0.2, h / 2),
                             QPointF(-w * 0.2, h / 2)}));
    p.restore();
}

// The three panels of a step picture laid side by side with arrows between.
QList<QRectF> panels(const QSizeF& size, int count, double inset)
{
    QList<QRectF> list;
    const double w = size.width() / count;
    for (int i = 0; i < count; ++i) {
        list.append(QRectF(i * w, 0, w, size.height()).adjusted(inset, inset, -inset, -inset));
    }
    return list;
}

// A presenter beside a screen in one panel: the presenter on the left third.
void presenterBeside(QPainter& p, const QRectF& panel, int clicks, const QColor& screenInside,
                     const std::function<void(const QRectF&)>& onScreen)
{
    const double pw = panel.width() * 0.16;
    const QRectF body(panel.left(), panel.center().y() - panel.height() * 0.36, pw, panel.height() * 0.72);
    drawPresenter(p, body, clicks > 0 ? kLightBlue : kPanel);
    if (clicks > 0) {
        drawClicks(p, QPointF(body.center().x(), body.top() + body.height() * 0.22), pw * 1.3, clicks);
    }
    const QRectF screen(panel.left() + pw * 1.6, panel.top() + panel.height() * 0.12,
                        panel.width() - pw * 1.6, panel.height() * 0.76);
    const QRectF glass = drawScreen(p, screen, screenInside);
    if (onScreen) {
        onScreen(glass);
    }
}

// A tall step picture: the screen above, the presenter held below it, and a
// quiet band near the bottom for the caption.
void tallPicture(QPainter& p, const QSizeF& s, const std::function<void(const QRectF&)>& onScreen,
                 const std::function<void(const QRectF&)>& motion)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(QPointF(0, 0), s), s.width() * 0.03, s.width() * 0.03);
    const QRectF screen(s.width() * 0.08, s.height() * 0.04, s.width() * 0.84, s.height() * 0.5);
    onScreen(drawScreen(p, screen, kPanel));
    // The presenter stays left of where the caption starts.
    const QRectF body(s.width() * 0.02, s.height() * 0.58, s.width() * 0.1, s.height() * 0.3);
    drawPresenter(p, body, kLightBlue);
    // Held: a filled dot on the hot button.
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(body.center().x(), body.top() + body.height() * 0.22), body.width() * 0.12,
                  body.width() * 0.12);
    motion(QRectF(s.width() * 0.2, s.height() * 0.58, s.width() * 0.7, s.height() * 0.1));
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    bool ok = true;
    const QSize icon(64, 64);

    // Mode icons.
    ok &= write(folder, "Start Stop", icon, [](QPainter& p, const QSizeF& s) {
        drawPlay(p, QRectF(s.width() * 0.1, s.height() * 0.18, s.width() * 0.38, s.height() * 0.64), kInk);
        p.setBrush(kInk);
        p.drawRect(QRectF(s.width() * 0.56, s.height() * 0.22, s.width() * 0.34, s.height() * 0.56));
    });
    ok &= write(folder, "BlackOut", icon, [](QPainter& p, const QSizeF& s) {
        drawScreen(p, QRectF(s.width() * 0.06, s.height() * 0.1, s.width() * 0.88, s.height() * 0.8), Qt::black);
    });
    ok &= write(folder, "Magnify", icon, [](QPainter& p, const QSizeF& s) {
        drawGlass(p, QPointF(s.width() * 0.4, s.height() * 0.4), s.width() * 0.3, kPaper);
    });
    ok &= write(folder, "Cursor", icon, [](QPainter& p, const QSizeF& s) {
        drawPointerArrow(p, QPointF(s.width() * 0.26, s.height() * 0.08), s.height() * 0.78, kPaper);
    });
    ok &= write(folder, "Highlighter ", icon, [](QPainter& p, const QSizeF& s) {
        drawMarker(p, QRectF(QPointF(0, 0), s).adjusted(4, 4, -4, -4));
    });

    // The legend's click icons: the hot button with one or two rings.
    for (int rings = 1; rings <= 2; ++rings) {
        const char* name = rings == 2 ? "Pelvaro_DoubleClick_icon" : "Pelvaro_SingleClick_icon";
        ok &= write(folder, name, icon, [rings](QPainter& p, const QSizeF& s) {
            p.setPen(pen(kInk, 3));
            p.setBrush(kLightBlue);
            const QPointF button(s.width() / 2, s.height() * 0.62);
            p.drawEllipse(button, s.width() * 0.18, s.width() * 0.18);
            drawClicks(p, button, s.width() * (rings == 2 ? 1.05 : 1.5), rings);
        });
    }

    // Back to top: an arrow up over a bar, in a blue disc.
    ok &= write(folder, "Pelvaro_Top", QSize(72, 72), [](QPainter& p, const QSizeF& s) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(QPointF(0, 0), s).adjusted(2, 2, -2, -2));
        p.setPen(pen(kPaper, s.width() * 0.08));
        const double cx = s.width() / 2;
        p.drawLine(QPointF(cx - s.width() * 0.2, s.height() * 0.28), QPointF(cx + s.width() * 0.2, s.height() * 0.28));
        p.drawLine(QPointF(cx, s.height() * 0.4), QPointF(cx, s.height() * 0.76));
        p.drawLine(QPointF(cx, s.height() * 0.4), QPointF(cx - s.width() * 0.16, s.height() * 0.56));
        p.drawLine(QPointF(cx, s.height() * 0.4), QPointF(cx + s.width() * 0.16, s.height() * 0.56));
    });

    // Slide show start and stop (the section pairs this name with it): a
    // double click starts the show, a single click ends it. 207 : 53.
    ok &= write(folder, "Pelvaro_Blackout", QSize(828, 212), [](QPainter& p, const QSizeF& s) {
        const QList<QRectF> cells = panels(s, 2, 14);
        presenterBeside(p, cells[0], 2, kPaper, [&p](const QRectF& glass) {
            drawPlay(p, QRectF(glass.center() - QPointF(glass.height() * 0.22, glass.height() * 0.3),
                               QSizeF(glass.height() * 0.5, glass.height() * 0.6)),
                     kBlue);
        });
        presenterBeside(p, cells[1], 1, kPanel, [&p](const QRectF& glass) {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            const double side = glass.height() * 0.5;
            p.drawRect(QRectF(glass.center() - QPointF(side / 2, side / 2), QSizeF(side, side)));
        });
    });

    // Black screen (paired with this name): a single click blacks the
    // screen out, the next brings the slide back. 138 : 77.
    ok &= write(folder, "Pelvaro_StartEnd", QSize(552, 308), [](QPainter& p, const QSizeF& s) {
        const QList<QRectF> rows{QRectF(0, 0, s.width(), s.height() / 2).adjusted(12, 8, -12, -8),
                                 QRectF(0, s.height() / 2, s.width(), s.height() / 2).adjusted(12, 8, -12, -8)};
        const double left = s.width() * 0.22, width = s.width() * 0.56;
        presenterBeside(p, QRectF(left, rows[0].top(), width, rows[0].height()), 1, Qt::black, {});
        presenterBeside(p, QRectF(left, rows[1].top(), width, rows[1].height()), 1,
                        kPaper, [&p](const QRectF& glass) {
                            p.setPen(Qt::NoPen);
                            p.setBrush(kLightBlue);
                            p.drawRect(glass.adjusted(glass.width() * 0.15, glass.height() * 0.2,
                                                      -glass.width() * 0.15, -glass.height() * 0.45));
                        });
    });

    // Magnifier (paired with this name): hold the hot button and move the
    // presenter; the glass follows over the screen. 59 : 76.
    ok &= write(folder, "Pelvaro_MouseClick", QSize(472, 608), [](QPainter& p, const QSizeF& s) {
        tallPicture(
            p, s,
            [&p](const QRectF& glass) {
                p.setPen(pen(kInk, 3));
                for (int i = 1; i <= 4; ++i) {
                    const double y = glass.top() + glass.height() * 0.18 * i;
                    p.drawLine(QPointF(glass.left() + 16, y), QPointF(glass.right() - 16, y));
                }
                drawGlass(p, glass.center() + QPointF(glass.width() * 0.1, 0), glass.height() * 0.28,
                          QColor(255, 255, 255, 210));
            },
            [&p](const QRectF& band) {
                drawArrow(p, band.topLeft() + QPointF(0, band.height() / 2), band.topRight(), 6);
            });
    });

    // Cursor (paired with this name): hold the hot button and move the
    // presenter; the pointer follows on the screen. 414 : 533.
    ok &= write(folder, "Pelvaro_Magnifier", QSize(414, 533), [](QPainter& p, const QSizeF& s) {
        tallPicture(
            p, s,
            [&p](const QRectF& glass) {
                QPainterPath path(glass.bottomLeft() + QPointF(20, -20));
                path.cubicTo(glass.center() + QPointF(-40, 40), glass.center() + QPointF(0, -40),
                             glass.center() + QPointF(30, -10));
                p.setPen(QPen(kBlue, 3, Qt::DashLine, Qt::RoundCap));
                p.setBrush(Qt::NoBrush);
                p.drawPath(path);
                drawPointerArrow(p, glass.center() + QPointF(30, -10), glass.height() * 0.3, kPaper);
            },
            [&p](const QRectF& band) {
                drawArrow(p, band.bottomLeft(), band.topRight(), 5);
            });
    });

    // Highlighter (paired with this name): hold the hot button and move the
    // presenter; a yellow stroke marks the slide. 59 : 79.
    ok &= write(folder, "Pelvaro_Pen", QSize(472, 632), [](QPainter& p, const QSizeF& s) {
        tallPicture(
            p, s,
            [&p](const QRectF& glass) {
                p.setPen(pen(kInk, 3));
                for (int i = 1; i <= 4; ++i) {
                    const double y = glass.top() + glass.height() * 0.18 * i;
                    p.drawLine(QPointF(glass.left() + 16, y), QPointF(glass.right() - 16, y));
                }
                const double y = glass.top() + glass.height() * 0.36;
                p.setPen(QPen(kYellow, glass.height() * 0.1, Qt::SolidLine, Qt::FlatCap));
                p.drawLine(QPointF(glass.left() + 16, y), QPointF(glass.center().x() + 30, y));
                drawMarker(p, QRectF(QPointF(glass.center().x() + 20, y - 60), QSizeF(60, 60)));
            },
            [&p](const QRectF& band) {
                drawArrow(p, band.topLeft() + QPointF(0, band.height() / 2), band.topRight(), 6);
            });
    });
    return ok ? 0 : 1;
}
