#pragma once

// Reads the table of localised texts: one line per key, CR LF line ends,
// the key first, then one text per language column.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

using PVLocalizedTable = QMap<QString, QStringList>;

class PVCSVParser
{
  public:
    /// The application's table, from its resources.
    static PVLocalizedTable parseCSV();
    /// The table in the file at `path`; empty when it cannot be read.
    static PVLocalizedTable parseCSVFile(const QString& path);
    /// The table in `bytes` (UTF-8; invalid sequences read as U+FFFD).
    static PVLocalizedTable parseCSVData(const QByteArray& bytes);
    /// The fields of one line: the key, then its texts.
    static QStringList splitLine(const QString& line);
};
