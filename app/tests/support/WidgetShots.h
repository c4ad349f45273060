#pragma once

// Helpers of the widget tests: a shown and active top-level window to put
// controls in, and screenshots of widgets and of the screen. A screenshot is
// also written as <name>.png into the folder named by
// PELVARO_TEST_SCREENSHOTS, when set, so a person can look at what the tests
// saw.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <string>

/// Writes a screenshot as <name>.png into the PELVARO_TEST_SCREENSHOTS folder,
/// when that is set.
inline void keepShot(const QImage& image, const QString& name)
{
    const QByteArray folder = qgetenv("PELVARO_TEST_SCREENSHOTS");
    if (!name.isEmpty() && !folder.isEmpty()) {
        QDir().mkpath(QString::fromLocal8Bit(folder));
        image.save(QDir(QString::fromLocal8Bit(folder)).filePath(name + QStringLiteral(".png")));
    }
}

/// A widget's current look, painted now.
inline QImage grabWidget(QWidget* widget, const QString& name = {})
{
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    keepShot(image, name);
    return image;
}

/// A widget's look once it stops changing (two grabs 25 ms apart agree, or
/// two seconds have passed): hover changes of a pointer move and late
/// repaints reach it a moment later, later still on a busy machine.
inline QImage settledShot(QWidget* widget, const QString& name = {})
{
    QImage last = grabWidget(widget);
    for (int tries = 0; tries < 80; ++tries) {
        QTest::qWait(25);
        QImage next = grabWidget(widget);
        if (next == last) {
            break;
        }
        last = std::move(next);
    }
    keepShot(last, name);
    return last;
}

/// The primary screen as the X server shows it now, every window included:
/// what a user sees, in device pixels.
inline QImage grabScreen(const QString& name = {})
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QImage image =
        screen != nullptr ? screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32) : QImage();
    keepShot(image, name);
    return image;
}

/// Colours equal within `tolerance` in each channel.
inline bool sameColor(const QColor& a, const QColor& b, int tolerance = 0)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

inline std::string describe(const QColor& color)
{
    return QStringLiteral("(%1, %2, %3)").arg(color.red()).arg(color.green()).arg(color.blue()).toStdString();
}

/// A top-level window of the given size, shown and made the active window.
inline std::unique_ptr<QWidget> activeWindow(const QSize& size)
{
    auto window = std::make_unique<QWidget>();
    window->resize(size);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        return nullptr;
    }
    return window;
}
