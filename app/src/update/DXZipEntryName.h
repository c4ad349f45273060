#pragma once

// Which archive entries may be unpacked: an entry's name comes from whoever
// made the archive, so a name that climbs out of the target folder ("../x"),
// starts at the root ("/x", "C:x") or an entry that is a symbolic link (which
// later entries could write through) must never reach the file system.

#include <QByteArray>
#include <QString>
#include <cstdint>

/// The entry's name as text: UTF-8 when the archive says so (general-purpose
/// flag bit 11) or the bytes are valid UTF-8, else Latin-1.
QString DXZipEntryNameText(const QByteArray& name, uint32_t generalPurposeFlag);

/// YES when the name stays inside the target: not empty, no NUL, not
/// absolute, no drive letter and no ".." component ("/" and "\" both count
/// as separators here, as archives made elsewhere use either).
bool DXZipEntryNameIsSafe(const QString& name);

/// YES when the entry's external attributes, as written by a Unix archiver
/// (made-by host 3), mark a symbolic link.
bool DXZipEntryIsSymbolicLink(uint32_t versionMadeBy, uint32_t externalAttributes);

/// Unix permission bits the entry carries (made-by host 3), 0 when none.
uint32_t DXZipEntryUnixMode(uint32_t versionMadeBy, uint32_t externalAttributes);
