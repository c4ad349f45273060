#include "platform/PVXdgOpener.h"

#include <QProcess>

PVPackageOpener& PVPackageOpener::shared()
{
    static PVXdgOpener opener;
    return opener;
}

bool PVXdgOpener::open(const QString& path, QString* error)
{
    QProcess process;
    process.setProgram(QString::fromLatin1(kProgram));
    process.setArguments({path});
    // The program's own output would only mix into the application's log.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (process.startDetached()) {
        return true;
    }
    if (error != nullptr) {
        *error = process.errorString();
    }
    return false;
}
