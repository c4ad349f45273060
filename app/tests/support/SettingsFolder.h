#pragma once

// Points the document folder at a fresh temporary folder for one test.

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

class SettingsFolder
{
  public:
    SettingsFolder() : saved_(qgetenv("XDG_DATA_HOME")), hadValue_(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
    }
    ~SettingsFolder()
    {
        if (hadValue_) {
            qputenv("XDG_DATA_HOME", saved_);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    }
    SettingsFolder(const SettingsFolder&) = delete;
    SettingsFolder& operator=(const SettingsFolder&) = delete;

    QString home() const { return home_.path(); }
    /// The document folder the application uses under this home.
    QString document() const { return home_.path() + "/Pelvaro"; }
    QString settingsFile() const { return document() + "/DeviceSetting.plist"; }

  private:
    QTemporaryDir home_;
    QByteArray saved_;
    bool hadValue_;
};
