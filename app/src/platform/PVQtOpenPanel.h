#pragma once

// The application's file chooser: a QFileDialog opened with open(), so it is
// modal to its parent's window only and the caller goes on at once; existing
// files only, filtered by the allowed extensions. The dialog deletes itself
// once closed.

#include "platform/PVOpenPanel.h"

class QFileDialog;

class PVQtOpenPanel final : public PVOpenPanel
{
  public:
    void beginWithCompletion(QWidget* parent, const Options& options, Completion completion) override;

    /// The name filter of `types`: "*.jpg *.jpeg *.png" for jpg, jpeg, png.
    static QString nameFilter(const QStringList& types);
};
