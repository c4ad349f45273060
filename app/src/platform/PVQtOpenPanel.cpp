#include "platform/PVQtOpenPanel.h"

#include <QFileDialog>

PVOpenPanel& PVOpenPanel::shared()
{
    static PVQtOpenPanel panel;
    return panel;
}

QString PVQtOpenPanel::nameFilter(const QStringList& types)
{
    QStringList patterns;
    for (const QString& type : types) {
        patterns.append(QStringLiteral("*.") + type);
    }
    return patterns.join(QLatin1Char(' '));
}

void PVQtOpenPanel::beginWithCompletion(QWidget* parent, const Options& options, Completion completion)
{
    auto* dialog = new QFileDialog(parent != nullptr ? parent->window() : nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(options.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!options.allowedFileTypes.isEmpty()) {
        dialog->setNameFilter(nameFilter(options.allowedFileTypes));
    }
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, completion](int result) {
        const bool accepted = result == QDialog::Accepted;
        const QStringList paths = accepted ? dialog->selectedFiles() : QStringList();
        if (completion) {
            completion(accepted, paths);
        }
    });
    dialog->open();
}
