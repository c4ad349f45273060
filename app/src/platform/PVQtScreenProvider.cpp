#include "platform/PVQtScreenProvider.h"

#include <QGuiApplication>
#include <QScreen>

PVScreenProvider& PVScreenProvider::shared()
{
    static PVQtScreenProvider* provider = new PVQtScreenProvider(qApp);
    return *provider;
}

PVQtScreenProvider::PVQtScreenProvider(QObject* parent) : PVScreenProvider(parent)
{
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        emit changed();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, [this](QScreen*) { emit changed(); });
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen*) { emit changed(); });
    for (QScreen* screen : QGuiApplication::screens()) {
        watch(screen);
    }
}

void PVQtScreenProvider::watch(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, this, [this](const QRect&) { emit changed(); });
    connect(screen, &QScreen::availableGeometryChanged, this, [this](const QRect&) { emit changed(); });
}

QList<PVScreen> PVQtScreenProvider::screens() const
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect primaryGeometry = primary != nullptr ? primary->geometry() : QRect();
    QList<PVScreen> list;
    for (QScreen* screen : QGuiApplication::screens()) {
        list.append(convert(screen, primaryGeometry));
    }
    return list;
}

std::optional<PVScreen> PVQtScreenProvider::mainScreen() const
{
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr || QGuiApplication::screens().isEmpty()) {
        return std::nullopt;
    }
    return convert(primary, primary->geometry());
}

PVScreen PVQtScreenProvider::convert(QScreen* screen, const QRect& primaryGeometry) const
{
    // Qt's rectangles hold whole pixels and end one short of x + width;
    // mirror the bottom edge of each rectangle about the primary's bottom.
    const auto flipped = [&primaryGeometry](const QRect& r) {
        const double primaryBottom = primaryGeometry.y() + primaryGeometry.height();
        return QRectF(r.x() - primaryGeometry.x(), primaryBottom - (r.y() + r.height()), r.width(),
                      r.height());
    };
    PVScreen result;
    result.name = screen->name();
    result.displayID = numberOf(result.name);
    result.frame = flipped(screen->geometry());
    result.visibleFrame = flipped(screen->availableGeometry());
    result.scaleFactor = screen->devicePixelRatio();
    result.builtIn = PVScreen::isBuiltInConnector(result.name);
    return result;
}

quint32 PVQtScreenProvider::numberOf(const QString& name) const
{
    const auto found = numbers_.constFind(name);
    if (found != numbers_.constEnd()) {
        return *found;
    }
    const quint32 number = static_cast<quint32>(numbers_.size()) + 1;
    numbers_.insert(name, number);
    return number;
}
