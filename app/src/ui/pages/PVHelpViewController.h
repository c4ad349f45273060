#pragma once

// The fourth tab: the program's name and version, a link to the product's
// web page, a line announcing a newer version, and the upgrade button. The
// button asks the update server for the newest version (unless a newer one
// is known already), asks the user, downloads the installer with a progress
// dialog, unpacks it when it is a zip archive and hands every installer
// package (".deb") it finds to the desktop's installer through the package
// opener. Every message is an alert titled with PV022.
//
// Only files inside the folder the download landed in are ever handed over:
// a package found anywhere else (through a link, or a path given from
// outside) is refused.

#include "ui/window/PVViewController.h"

#include <QPointer>
#include <QString>
#include <memory>

class PVBorderView;
class PVButton;
class PVHyperlinkButton;
class PVPackageOpener;
class PVProgressIndicator;
class PVProgressWindowController;
class PVRoundButton;
class QLabel;

class PVHelpViewController : public PVViewController
{
    Q_OBJECT

  public:
    /// The product page's path on the maker's web site.
    static constexpr const char* kProductPagePath = "/pelvaro";
    /// Tag of the upgrade flow's log lines.
    static constexpr unsigned kUpgradeLogTag = 8;
    static constexpr const char* kZipSuffix = ".zip";
    /// The installer package of this platform.
    static constexpr const char* kPackageSuffix = ".deb";

    explicit PVHelpViewController(QWidget* parent = nullptr);
    ~PVHelpViewController() override;

    /// The product page without scheme: host (a build setting) and path.
    static QString productPageText();
    /// The address the link opens: the same with the web scheme in front.
    static QString productPageAddress();

    /// The upgrade line's text: `format` (the text of PV049) with every
    /// "xx.xx.xx" replaced by `version`.
    static QString upgradeAvailableText(QString format, const QString& version);

    /// Shows the newest known version in the upgrade line, which shows only
    /// while an upgrade is available.
    void loadInitialState();
    /// The upgrade button's action.
    void upgradeButtonAction(PVButton* button);
    /// Downloads the installer at `address` with the progress dialog, then
    /// unpacks and opens it.
    void tryUpgradeAtPath(const QString& address);
    /// Unpacks the zip archive at `path` (nothing for any other file) into a
    /// folder beside it named like it without the extension, and opens every
    /// package found in there, sub-folders included.
    void unzipAndThenLaunchTheZipAtPath(const QString& path, QString* error);
    /// Hands the package at `path` (nothing for any other file) to the
    /// package opener, as long as it is a file inside the last download's
    /// folder. `error` (when given) receives the reason of a failure.
    void launchThePKGAtPath(const QString& path, QString* error);

    /// The opener packages go to (the application's unless a test sets
    /// another; not owned).
    void setPackageOpener(PVPackageOpener* opener) { opener_ = opener; }

    /// The folder the last completed download landed in; empty before one.
    const QString& downloadFolder() const { return downloadFolder_; }

    QWidget* firstContainer() const { return firstContainer_; }
    QLabel* pruductNameTextField() const { return pruductNameTextField_; }
    PVHyperlinkButton* hyperlinkButton() const { return hyperlinkButton_; }
    QLabel* upgradeAvailableTextField() const { return upgradeAvailableTextField_; }
    PVRoundButton* upgradeButton() const { return upgradeButton_; }
    PVProgressIndicator* indicator() const { return indicator_; }
    /// The progress dialog; null unless a download runs.
    PVProgressWindowController* progressWC() const { return progressWC_.get(); }

  protected:
    void viewWillAppear() override;

  private:
    void setupUIIfNeeded();
    void finishDownload(const QString& filePath);
    void endProgress(PVProgressWindowController* dialog);
    bool isInsideDownloadFolder(const QString& path) const;

    PVBorderView* frame_;
    QWidget* firstContainer_;
    QLabel* pruductNameTextField_;
    PVHyperlinkButton* hyperlinkButton_;
    QLabel* upgradeAvailableTextField_;
    PVRoundButton* upgradeButton_;
    PVProgressIndicator* indicator_;
    std::unique_ptr<PVProgressWindowController> progressWC_;
    PVPackageOpener* opener_;
    QString downloadFolder_;
};
