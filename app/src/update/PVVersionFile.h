#pragma once

// The update server's version file: only its last line counts, the text after
// the last line feed. That line holds the version text, a ";" and the address
// of the installer archive, decorated with quotes, spaces and a closing brace,
// e.g.  2.4.0;"https://host/pel varo.zip"}

#include <QString>

struct PVVersionInfo
{
    QString version; ///< dotted numbers, as the application's own version
    QString path;    ///< the installer's address
};

/// Every "}" of the last line is dropped and the rest split at ";": the first
/// piece is the version, the last piece without spaces and double quotes the
/// address. A line without ";" gives the same text to both; a file ending in
/// a line feed gives two empty texts.
PVVersionInfo PVParseVersionFile(const QString& content);
