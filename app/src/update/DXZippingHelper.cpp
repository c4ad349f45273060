#include "update/DXZippingHelper.h"

#include "update/DXZipEntryName.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <minizip/unzip.h>
#include <vector>
#include <zlib.h>

namespace {

constexpr qsizetype kChunk = 64 * 1024;
// Deflate's default memory level (zlib's DEF_MEM_LEVEL is not public).
constexpr int kMemoryLevel = 8;
constexpr uLong kMadeByUnix = (3u << 8) | 20u;
constexpr uLong kUtf8NameFlag = 1u << 11;

struct Entry
{
    QString name;
    bool directory;
    uint32_t mode;
};

class Archive
{
  public:
    explicit Archive(const QString& path) : file_(unzOpen64(QFile::encodeName(path).constData())) {}
    ~Archive()
    {
        if (file_ != nullptr) {
            unzClose(file_);
        }
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    unzFile handle() const { return file_; }
    bool close()
    {
        const bool ok = unzClose(file_) == UNZ_OK;
        file_ = nullptr;
        return ok;
    }

  private:
    unzFile file_;
};

// The current entry's description, or nothing when it may not be unpacked.
bool describeCurrent(unzFile archive, Entry& entry)
{
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        return false;
    }
    QByteArray name(static_cast<qsizetype>(info.size_filename) + 1, '\0');
    if (unzGetCurrentFileInfo64(archive, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0,
                                nullptr, 0) != UNZ_OK) {
        return false;
    }
    name.truncate(static_cast<qsizetype>(info.size_filename));
    if (name.contains('\0')) {
        return false;
    }
    const auto madeBy = static_cast<uint32_t>(info.version);
    const auto attributes = static_cast<uint32_t>(info.external_fa);
    entry.name = DXZipEntryNameText(name, static_cast<uint32_t>(info.flag));
    if (!DXZipEntryNameIsSafe(entry.name) || DXZipEntryIsSymbolicLink(madeBy, attributes)) {
        return false;
    }
    entry.directory = entry.name.endsWith(QLatin1Char('/'));
    entry.mode = DXZipEntryUnixMode(madeBy, attributes);
    return true;
}

// Every entry of the archive, or NO when one of them is unsafe or unreadable.
bool listEntries(unzFile archive, std::vector<Entry>& entries)
{
    int status = unzGoToFirstFile(archive);
    while (status == UNZ_OK) {
        Entry entry;
        if (!describeCurrent(archive, entry)) {
            return false;
        }
        entries.push_back(entry);
        status = unzGoToNextFile(archive);
    }
    return status == UNZ_END_OF_LIST_OF_FILE;
}

bool extractCurrent(unzFile archive, const Entry& entry, const QString& target)
{
    const QString path = target + QLatin1Char('/') + entry.name;
    if (entry.directory) {
        return QDir().mkpath(path);
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || unzOpenCurrentFile(archive) != UNZ_OK) {
        return false;
    }
    std::vector<char> buffer(kChunk);
    bool ok = true;
    for (;;) {
        const int read = unzReadCurrentFile(archive, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (read < 0) {
            ok = false;
            break;
        }
        if (read == 0) {
            break;
        }
        if (file.write(buffer.data(), read) != read) {
            ok = false;
            break;
        }
    }
    // Closing checks the entry's CRC once it has been read whole.
    ok = unzCloseCurrentFile(archive) == UNZ_OK && ok;
    if (ok && entry.mode != 0) {
        // Owner bits as stored, never set-id bits or write access for others.
        const uint32_t owner = (entry.mode >> 6) & 7;
        const uint32_t group = (entry.mode >> 3) & 5;
        const uint32_t other = entry.mode & 5;
        file.setPermissions(
            QFileDevice::Permissions::fromInt(static_cast<int>((owner << 12) | (owner << 8) | (group << 4) | other)));
    }
    return ok;
}

bool removePath(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile()) {
        return QFile::remove(path);
    }
    return !info.exists() || QDir(path).removeRecursively();
}

zip_fileinfo zipInfoOf(const QFileInfo& file)
{
    zip_fileinfo info{};
    const QDateTime modified = file.lastModified();
    info.tmz_date.tm_sec = static_cast<uInt>(modified.time().second());
    info.tmz_date.tm_min = static_cast<uInt>(modified.time().minute());
    info.tmz_date.tm_hour = static_cast<uInt>(modified.time().hour());
    info.tmz_date.tm_mday = static_cast<uInt>(modified.date().day());
    info.tmz_date.tm_mon = static_cast<uInt>(modified.date().month() - 1);
    info.tmz_date.tm_year = static_cast<uInt>(modified.date().year());
    const auto permissions = static_cast<uLong>(file.permissions().toInt());
    const uLong mode = 0100000u | (((permissions >> 12) & 7u) << 6) | (((permissions >> 4) & 7u) << 3) |
                       (permissions & 7u);
    info.external_fa = mode << 16;
    return info;
}

bool addFile(zipFile archive, const QFileInfo& file, const QString& name)
{
    QFile input(file.filePath());
    if (!input.open(QIODevice::ReadOnly)) {
        return false;
    }
    const zip_fileinfo info = zipInfoOf(file);
    const int zip64 = file.size() >= 0xFFFFFFFFLL ? 1 : 0;
    if (zipOpenNewFileInZip4_64(archive, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, kMemoryLevel,
                                Z_DEFAULT_STRATEGY, nullptr, 0, kMadeByUnix, kUtf8NameFlag, zip64) != ZIP_OK) {
        return false;
    }
    bool ok = true;
    while (ok && !input.atEnd()) {
        const QByteArray chunk = input.read(kChunk);
        ok = !chunk.isEmpty() && zipWriteInFileInZip(archive, chunk.constData(),
                                                     static_cast<unsigned>(chunk.size())) == ZIP_OK;
    }
    return zipCloseFileInZip(archive) == ZIP_OK && ok;
}

} // namespace

bool DXZippingHelper::unzip(const QString& zipPath, const QString& target)
{
    if (!QFileInfo(zipPath).isFile()) {
        qWarning("Zip file is not exists at %s", qUtf8Printable(zipPath));
        return false;
    }
    Archive archive(zipPath);
    if (archive.handle() == nullptr) {
        return false;
    }
    std::vector<Entry> entries;
    if (!listEntries(archive.handle(), entries)) {
        return false;
    }

    removePath(target);
    bool ok = QDir().mkpath(target);
    int status = unzGoToFirstFile(archive.handle());
    for (const Entry& entry : entries) {
        if (!ok || status != UNZ_OK) {
            ok = false;
            break;
        }
        ok = extractCurrent(archive.handle(), entry, target);
        status = unzGoToNextFile(archive.handle());
    }
    ok = archive.close() && ok;
    if (!ok) {
        removePath(target);
        return false;
    }
    QFile::remove(zipPath);
    return true;
}

bool DXZippingHelper::addFolder(const QString& folder, const QString& criticalDir, const QString& zipPath)
{
    zipFile archive = zipOpen64(QFile::encodeName(zipPath).constData(), APPEND_STATUS_CREATE);
    if (archive == nullptr) {
        return false;
    }
    const bool added = addZipArchive(archive, folder, criticalDir);
    const bool closed = zipClose(archive, nullptr) == ZIP_OK;
    return added && closed;
}

bool DXZippingHelper::addZipArchive(zipFile archive, const QString& folderPath, const QString& superFolderPath)
{
    const QDir folder(folderPath);
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    bool ok = folder.exists();
    for (const QFileInfo& entry : entries) {
        // A link could lead back up the tree and make the walk endless.
        if (entry.fileName() == QLatin1String(".DS_Store") || entry.isSymLink()) {
            continue;
        }
        const QString name = superFolderPath.isEmpty() ? entry.fileName()
                                                       : superFolderPath + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            ok = addZipArchive(archive, entry.filePath(), name) && ok;
        } else {
            ok = addFile(archive, entry, name) && ok;
        }
    }
    return ok;
}
