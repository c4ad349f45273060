#include "settings/PVFilePathManager.h"

#include "log/DXLog.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

QString dataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        return xdg;
    }
    return QDir::homePath() + QStringLiteral("/.local/share");
}

// The folder at `path`, made with its parents when missing (or when a file
// stands in its place); null when it cannot be made.
QString ensureFolder(const QString& path)
{
    if (QFileInfo(path).isDir()) {
        return path;
    }
    DXLogDebug("Need to create a document");
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) {
        DXLogWarn("Create fail.");
        return {};
    }
    return path;
}

} // namespace

QString PVFilePathManager::documentPath()
{
    return ensureFolder(dataHome() + QStringLiteral("/Pelvaro"));
}

QString PVFilePathManager::dcdDocumentPath()
{
    const QString document = documentPath();
    return document.isNull() ? QString() : ensureFolder(document + QStringLiteral("/dcd"));
}

QString PVFilePathManager::filePath(const QString& name)
{
    const QString document = documentPath();
    if (name.isEmpty()) {
        DXLogAlert("Not a valid file name");
        return document;
    }
    return document.isNull() ? QString() : document + QLatin1Char('/') + name;
}

QString PVFilePathManager::filePath(const QString& name, const QString& extension)
{
    return filePath(name + QLatin1Char('.') + extension);
}

QString PVFilePathManager::imageName(const QDateTime& time, int random)
{
    return time.toString(QStringLiteral("yyyyMMddHHmmsszzz")) + QLatin1Char('_') +
           QStringLiteral("%1").arg(random, 4, 10, QLatin1Char(' '));
}

QString PVFilePathManager::createImageName()
{
    return imageName(QDateTime::currentDateTime(),
                     static_cast<int>(QRandomGenerator::global()->bounded(9999)));
}

QString PVFilePathManager::createImagePathWithExtension(const QString& extension)
{
    return filePath(createImageName(), extension);
}
