#pragma once

// The file chooser the application opens to pick files to import: shown
// without blocking, its answer handed to a block once the user closes it.
// The application's chooser is a Qt file dialog; tests put their own in its
// place to answer with chosen paths or a cancel.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

class PVOpenPanel
{
  public:
    /// (closed with OK, the chosen files' paths; empty when cancelled).
    using Completion = std::function<void(bool accepted, const QStringList& paths)>;

    struct Options
    {
        /// Extensions of the files that may be chosen, without the dot.
        QStringList allowedFileTypes;
        bool allowsMultipleSelection = false;
    };

    /// The application's chooser.
    static PVOpenPanel& shared();

    virtual ~PVOpenPanel() = default;

    /// Shows a chooser of existing files (never folders) over `parent`'s
    /// window and returns at once; `completion` hears once, on the main
    /// thread, when the chooser closes.
    virtual void beginWithCompletion(QWidget* parent, const Options& options, Completion completion) = 0;
};
