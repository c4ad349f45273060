#include "update/PVVersionFile.h"

#include <QStringList>

PVVersionInfo PVParseVersionFile(const QString& content)
{
    QString lastLine = content.mid(content.lastIndexOf(QLatin1Char('\n')) + 1);
    lastLine.remove(QLatin1Char('}'));
    const QStringList pieces = lastLine.split(QLatin1Char(';'));
    QString path = pieces.last();
    path.remove(QLatin1Char(' '));
    path.remove(QLatin1Char('"'));
    return {pieces.first(), path};
}
