#pragma once

// The file name a server suggests for a download: the Content-Disposition
// header's, else the last path component of the address the reply came from.
// The name comes from outside, so only its last path component is kept: a
// suggestion such as "../x" or "/x" cannot place the file outside its folder.

#include <QByteArray>
#include <QString>
#include <QUrl>

/// The file name of a Content-Disposition value ("filename*=" in RFC 5987
/// form before "filename="), empty when it names none.
QString PVContentDispositionFileName(const QByteArray& header);

/// The last path component of `name`; empty when that is empty, "." or "..".
QString PVSafeFileName(const QString& name);

/// The safe suggested name of a reply with this header and final address
/// (the address's name only when the header names none); empty when nothing
/// safe is suggested.
QString PVSuggestedFileName(const QByteArray& contentDisposition, const QUrl& url);
