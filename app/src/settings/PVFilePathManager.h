#pragma once

// Where the application keeps its files: one document folder,
// $XDG_DATA_HOME/Pelvaro (~/.local/share/Pelvaro when XDG_DATA_HOME is unset
// or not absolute), holding the settings, the custom pointer images and the
// engine's "dcd" calibration folder. Paths are answered as strings; a null
// string when the folder cannot be made.

#include <QDateTime>
#include <QString>

class PVFilePathManager
{
  public:
    static QString documentPath();
    static QString dcdDocumentPath();
    /// The document folder joined with `name`; an empty name logs an Alert
    /// and answers the folder itself.
    static QString filePath(const QString& name);
    static QString filePath(const QString& name, const QString& extension);
    /// A fresh image path: "yyyyMMddHHmmssSSS_rrrr.<extension>".
    static QString createImagePathWithExtension(const QString& extension);

    /// The name of an imported image made at `time` with the random part
    /// `random` (0 to 9998), printed as "%4d".
    static QString imageName(const QDateTime& time, int random);
    /// A fresh image name for now.
    static QString createImageName();
};
