#include "localisation/PVCSVParser.h"

#include <QFile>

namespace {

// A line with no double quote: every comma separates, so a comma at the end
// gives an empty last text.
QStringList splitPlain(const QString& line)
{
    return line.split(QLatin1Char(','));
}

// A line with a double quote, read field by field. A quoted field runs to the
// next quote (there is no escape); one without its closing quote runs to the
// end of the line. A comma at the end adds nothing.
QStringList splitQuoted(const QString& line)
{
    QStringList fields;
    qsizetype at = 0;
    const qsizetype length = line.size();
    while (at < length) {
        if (line[at] == QLatin1Char('"')) {
            const qsizetype close = line.indexOf(QLatin1Char('"'), at + 1);
            const qsizetype end = close < 0 ? length : close;
            fields.append(line.mid(at + 1, end - at - 1));
            at = close < 0 ? length : close + 1;
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), at);
            const qsizetype end = comma < 0 ? length : comma;
            fields.append(line.mid(at, end - at));
            at = end;
        }
        // One comma after a field is skipped; a second one starts an empty
        // field of its own.
        if (at < length && line[at] == QLatin1Char(',')) {
            ++at;
        }
    }
    return fields;
}

} // namespace

QStringList PVCSVParser::splitLine(const QString& line)
{
    return line.contains(QLatin1Char('"')) ? splitQuoted(line) : splitPlain(line);
}

PVLocalizedTable PVCSVParser::parseCSVData(const QByteArray& bytes)
{
    PVLocalizedTable table;
    const QString text = QString::fromUtf8(bytes);
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QStringList fields = splitLine(line);
        if (fields.isEmpty()) {
            continue;
        }
        const QString key = fields.takeFirst();
        table.insert(key, fields);
    }
    return table;
}

PVLocalizedTable PVCSVParser::parseCSVFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return parseCSVData(file.readAll());
}

PVLocalizedTable PVCSVParser::parseCSV()
{
    return parseCSVFile(QStringLiteral(":/localisation/LocalizedString.csv"));
}
