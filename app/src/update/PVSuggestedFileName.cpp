#include "update/PVSuggestedFileName.h"

#include <QList>

namespace {

QByteArray unquoted(QByteArray value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) {
        QByteArray plain;
        for (qsizetype i = 1; i + 1 < value.size(); ++i) {
            if (value[i] == '\\' && i + 2 < value.size()) {
                ++i;
            }
            plain.append(value[i]);
        }
        return plain;
    }
    return value;
}

} // namespace

QString PVContentDispositionFileName(const QByteArray& header)
{
    QString plainName;
    for (const QByteArray& parameter : header.split(';')) {
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0) {
            continue;
        }
        const QByteArray key = parameter.left(equals).trimmed().toLower();
        const QByteArray value = parameter.mid(equals + 1);
        if (key == "filename*") {
            // charset'language'percent-encoded-name
            const QList<QByteArray> parts = unquoted(value).split('\'');
            if (parts.size() == 3) {
                const QByteArray bytes = QByteArray::fromPercentEncoding(parts[2]);
                const QString name = parts[0].toLower() == "utf-8" ? QString::fromUtf8(bytes)
                                                                   : QString::fromLatin1(bytes);
                if (!name.isEmpty()) {
                    return name;
                }
            }
        } else if (key == "filename" && plainName.isEmpty()) {
            plainName = QString::fromUtf8(unquoted(value));
        }
    }
    return plainName;
}

QString PVSafeFileName(const QString& name)
{
    QString last = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    last.remove(QChar(u'\0'));
    if (last == QLatin1String(".") || last == QLatin1String("..")) {
        return {};
    }
    return last;
}

QString PVSuggestedFileName(const QByteArray& contentDisposition, const QUrl& url)
{
    // A name the header gives is the server's choice even when nothing safe
    // is left of it; the address's name stands in only for a missing one.
    const QString fromHeader = PVContentDispositionFileName(contentDisposition);
    return PVSafeFileName(fromHeader.isEmpty() ? url.fileName(QUrl::FullyDecoded) : fromHeader);
}
