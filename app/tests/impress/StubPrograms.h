#pragma once

// A scratch folder of stand-in programs (shell scripts) for tests that look
// programs up on a search path and run them.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class StubPrograms
{
  public:
    /// Writes `folder`/`name` (folders are made as needed) with `body`
    /// after a shell line; answers its path.
    QString write(const QString& folder, const QString& name, const QString& body, bool executable = true)
    {
        const QString dir = root_.filePath(folder);
        QDir().mkpath(dir);
        const QString path = QDir(dir).filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(("#!/bin/sh\n" + body + "\n").toUtf8());
            file.close();
        }
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable) {
            permissions |= QFile::ExeOwner;
        }
        file.setPermissions(permissions);
        return path;
    }

    /// A path inside the scratch folder.
    QString path(const QString& relative) const { return root_.filePath(relative); }

  private:
    QTemporaryDir root_;
};
