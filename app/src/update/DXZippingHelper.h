#pragma once

// Zip archives: unpacking an installer archive into a folder of its own, and
// packing a folder into a new archive.

#include <QString>
#include <minizip/zip.h>

class DXZippingHelper
{
  public:
    /// Unpacks `zipPath` into `target`. A missing archive is logged and
    /// answers NO. Every entry is checked first: an archive with an entry
    /// that would land outside the target (a "../" or absolute name, or a
    /// symbolic link) answers NO and touches nothing. Otherwise the target is
    /// emptied (removed) and the archive unpacked into it; on success the
    /// archive is deleted, on failure it is kept and the partly unpacked
    /// target removed.
    static bool unzip(const QString& zipPath, const QString& target);

    /// Packs every file under `folder` into a new archive at `zipPath`, each
    /// under `criticalDir` + "/" + its path inside the folder (just its path
    /// when `criticalDir` is empty). NO when the archive cannot be made, a
    /// file cannot be added or the archive cannot be closed.
    static bool addFolder(const QString& folder, const QString& criticalDir, const QString& zipPath);

    /// Adds the files under `folderPath` to the open `archive` with the
    /// prefix `superFolderPath`, descending into sub-folders (".DS_Store"
    /// files and symbolic links are skipped); NO when a file failed.
    static bool addZipArchive(zipFile archive, const QString& folderPath, const QString& superFolderPath);
};
