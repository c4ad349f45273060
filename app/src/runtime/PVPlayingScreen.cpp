// Where the presentation programs play their shows: read from their
// preference files (property lists, XML or binary) or from the running
// show's window.

#include "runtime/PVScreenSelection.h"

#include "runtime/PVAppleScriptHelper.h"
#include "settings/PVPropertyList.h"

#include <QDir>
#include <QFileInfo>
#include <QVariantMap>

namespace {

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

bool numberEquals(const QVariant& number, quint32 displayID)
{
    if (number.typeId() == QMetaType::Double) {
        return number.toDouble() == static_cast<double>(displayID);
    }
    if (number.typeId() == QMetaType::ULongLong) {
        return number.toULongLong() == displayID;
    }
    return number.toLongLong() == static_cast<qlonglong>(displayID);
}

/// The first screen whose display number equals `number`.
std::optional<PVScreen> screenNumbered(const QVariant& number, const PVScreenProvider& provider)
{
    for (const PVScreen& screen : provider.screens()) {
        if (numberEquals(number, screen.displayID)) {
            return screen;
        }
    }
    return std::nullopt;
}

bool fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

} // namespace

QString PVScreenSelection::libraryFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    return (home.isEmpty() ? QDir::homePath() : home) + QStringLiteral("/Library");
}

std::optional<PVScreen> PVScreenSelection::keynotePlayingScreen(const PVScreenProvider& provider)
{
    const QString path = libraryFolder() + QStringLiteral("/Containers/com.apple.iWork.Keynote/Data/Library/"
                                                          "Preferences/com.apple.iWork.Keynote.plist");
    if (!fileExists(path)) {
        return std::nullopt;
    }
    const bool laterOrEqualsTo7 = isLaterOrEqualsTo7_0();
    const QVariantMap allocations =
        PVPropertyList::readFile(path).toMap().value("PlaybackDisplayAllocations").toMap();
    // Older versions kept the display of a recorded show apart and used it
    // for playback when it is set.
    QString key = QStringLiteral("ShowPlayback");
    if (!laterOrEqualsTo7 && allocations.contains(QStringLiteral("RecordShow"))) {
        key = QStringLiteral("RecordShow");
    }
    const QVariant list = allocations.value(key);
    if (list.typeId() != QMetaType::QVariantList || list.toList().isEmpty()) {
        return std::nullopt;
    }
    const QVariant first = list.toList().first();
    if (first.typeId() != QMetaType::QVariantMap) {
        return std::nullopt;
    }
    const QVariant playback = first.toMap().value(QStringLiteral("Playback"));
    if (!isNumber(playback)) {
        return std::nullopt;
    }
    return screenNumbered(playback, provider);
}

std::optional<PVScreen> PVScreenSelection::pptPlayingScreen(const QString& pptVersion,
                                                            double primaryScreenHeight,
                                                            const PVScreenProvider& provider)
{
    if (pptVersion.startsWith(QStringLiteral("15"))) {
        const QRectF window = PVAppleScriptHelper::pptWindowSize();
        if (window.width() == 0.0 || window.height() == 0.0) {
            return std::nullopt;
        }
        // The window's bottom-left corner, from the program's top-left
        // coordinates into the screens' bottom-left ones.
        const QRectF bounds = window.normalized();
        const QPointF corner(bounds.left(), primaryScreenHeight - bounds.bottom());
        for (const PVScreen& screen : provider.screens()) {
            if (screen.frame.x() == corner.x() && screen.frame.y() == corner.y()) {
                return screen;
            }
        }
        return std::nullopt;
    }
    if (pptVersion.startsWith(QStringLiteral("14"))) {
        const QString container =
            libraryFolder() + QStringLiteral("/Containers/com.microsoft.PowerPoint/Data/Library/"
                                             "Preferences/com.microsoft.PowerPoint.plist");
        // The plain file is spelled with a lower-case p.
        const QString plain = libraryFolder() + QStringLiteral("/Preferences/com.microsoft.Powerpoint.plist");
        const QString path = fileExists(container) ? container : plain;
        if (!fileExists(path)) {
            return std::nullopt;
        }
        const QVariant screenNumber = PVPropertyList::readFile(path).toMap().value(
            QStringLiteral("14\\Options\\Options\\Slideshow Screen"));
        if (!isNumber(screenNumber)) {
            return std::nullopt;
        }
        return screenNumbered(screenNumber, provider);
    }
    return std::nullopt;
}
