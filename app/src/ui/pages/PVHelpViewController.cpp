#include "ui/pages/PVHelpViewController.h"

#include "application/PVAppDelegate.h"
#include "localisation/PVLocalizedStringManager.h"
#include "log/DXLog.h"
#include "platform/PVMainQueue.h"
#include "platform/PVPackageOpener.h"
#include "ui/alert/PVAlertViewController.h"
#include "ui/controls/PVBorderView.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVHyperlinkButton.h"
#include "ui/controls/PVLineView.h"
#include "ui/controls/PVProgressIndicator.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/controls/PVThemeLabel.h"
#include "ui/window/PVWindow.h"
#include "update/DXZippingHelper.h"
#include "update/PVNetworkAPI.h"
#include "update/PVProgressWindow.h"
#include "update/PVProgressWindowController.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QUrl>
#include <algorithm>

#ifndef PELVARO_PRODUCT_HOST
#error "PELVARO_PRODUCT_HOST must name the host of the product's web page"
#endif

namespace {

// Layout of the page (points).
constexpr QRect kFirstRect(0, 0, 600, 170);
constexpr QRect kProductNameRect(30, 24, 540, 24);
constexpr QPoint kHyperlinkOrigin(30, 62);
constexpr QRect kUpgradeAvailableRect(30, 104, 540, 48);
constexpr QRectF kPartingLine(30, 170, 540, 1);
constexpr QRect kUpgradeButtonRect(30, 196, 140, 30);
constexpr QRect kIndicatorRect(184, 201, 20, 20);

constexpr double kProductNameSize = 16.0;
constexpr double kUpgradeAvailableSize = 15.0;
// The upgrade button's label while a check runs.
constexpr double kDisabledTextAlpha = 0.5;

// Stands for the online version in the text of PV049.
const QString kVersionPlaceholder = QStringLiteral("xx.xx.xx");

QString localized(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QString::fromLatin1(key));
}

void showOKAlert(const QString& message, PVAlertViewController::Action block = {})
{
    PVAlertViewController::showWithOKButtonAlertTitle(localized("PV022"), message, std::move(block));
}

void showYesNoAlert(const QString& message, PVAlertViewController::Action block)
{
    PVAlertViewController::showWithYesNoButtonAlertTitle(localized("PV022"), message, std::move(block));
}

// Draws a label at the given opacity; 1 draws it plainly.
void setTextAlpha(QLabel* label, double alpha)
{
    if (alpha >= 1.0) {
        label->setGraphicsEffect(nullptr);
        return;
    }
    auto* effect = new QGraphicsOpacityEffect(label);
    effect->setOpacity(alpha);
    label->setGraphicsEffect(effect);
}

// The path without its last extension ("/d/setup.zip" gives "/d/setup");
// empty when the name is nothing but the extension, which would name the
// archive's own folder.
QString withoutExtension(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) {
        return {};
    }
    return QDir(info.path()).filePath(name.left(dot));
}

} // namespace

PVHelpViewController::PVHelpViewController(QWidget* parent)
    : PVViewController(parent), frame_(new PVBorderView(this)), firstContainer_(new QWidget(frame_)),
      pruductNameTextField_(
          createThemeLabel(themeTextBlackColor(), Qt::AlignLeft | Qt::AlignVCenter, firstContainer_)),
      hyperlinkButton_(new PVHyperlinkButton(firstContainer_)),
      upgradeAvailableTextField_(
          createThemeLabel(themeBlueColor(), Qt::AlignLeft | Qt::AlignTop, firstContainer_)),
      upgradeButton_(new PVRoundButton(frame_)), indicator_(new PVProgressIndicator(frame_)),
      opener_(&PVPackageOpener::shared())
{
    setupUIIfNeeded();
}

PVHelpViewController::~PVHelpViewController() = default;

QString PVHelpViewController::productPageText()
{
    return QStringLiteral(PELVARO_PRODUCT_HOST) + QString::fromLatin1(kProductPagePath);
}

QString PVHelpViewController::productPageAddress()
{
    return QStringLiteral("http://") + productPageText();
}

void PVHelpViewController::setupUIIfNeeded()
{
    fillWithTabFrame(*frame_);

    firstContainer_->setGeometry(kFirstRect);
    for (QLabel* field : firstContainer_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (field == pruductNameTextField_) {
            continue;
        }
        setTextColor(field, themeTextBlackColor());
        field->setFont(themeFont());
        field->setWordWrap(true);
    }

    pruductNameTextField_->setGeometry(kProductNameRect);
    pruductNameTextField_->setFont(themeBoldFontSize(kProductNameSize));
    pruductNameTextField_->setText(
        QStringLiteral("%1 %2").arg(QStringLiteral("Pelvaro"), PVAppDelegate::shareInstance().localVersion));

    // The link reads like an address without scheme and opens the page in
    // the default browser.
    QLabel* link = hyperlinkButton_->label();
    link->setTextFormat(Qt::RichText);
    link->setFont(themeFont());
    link->setText(QStringLiteral("<a href=\"%1\" style=\"color: #0000ff; text-decoration: underline;\">%2</a>")
                      .arg(productPageAddress().toHtmlEscaped(), productPageText().toHtmlEscaped()));
    hyperlinkButton_->move(kHyperlinkOrigin);
    hyperlinkButton_->resize(hyperlinkButton_->sizeHint());
    hyperlinkButton_->setAction([](PVButton*) { QDesktopServices::openUrl(QUrl(productPageAddress())); });

    upgradeAvailableTextField_->setGeometry(kUpgradeAvailableRect);
    (new PVLineView(themePartingLineColor(), frame_))->setLineRect(kPartingLine);

    upgradeButton_->setGeometry(kUpgradeButtonRect);
    upgradeButton_->setBackgroundColor(themeBackgroundColor());
    upgradeButton_->setLocalizedKey(QStringLiteral("PV022"));
    upgradeButton_->setAction([self = QPointer<PVHelpViewController>(this)](PVButton* button) {
        if (self != nullptr) {
            self->upgradeButtonAction(button);
        }
    });
    indicator_->setGeometry(kIndicatorRect);
    indicator_->setColor(themeTextGrayColor());
    loadInitialState();
}

void PVHelpViewController::viewWillAppear()
{
    loadInitialState();
}

QString PVHelpViewController::upgradeAvailableText(QString format, const QString& version)
{
    return format.replace(kVersionPlaceholder, version);
}

void PVHelpViewController::loadInitialState()
{
    upgradeAvailableTextField_->setFont(themeBoldFontSize(kUpgradeAvailableSize));
    setTextColor(upgradeAvailableTextField_, themeBlueColor());
    const PVAppDelegate& delegate = PVAppDelegate::shareInstance();
    if (delegate.onlineVersion.has_value()) {
        upgradeAvailableTextField_->setText(upgradeAvailableText(localized("PV049"), *delegate.onlineVersion));
    }
    upgradeAvailableTextField_->setHidden(!delegate.upgradeAvailable());
}

void PVHelpViewController::upgradeButtonAction(PVButton* button)
{
    if (!PVNetworkAPI::sharedInstance().connected()) {
        showOKAlert(localized("PV047"));
        return;
    }
    QPointer<PVHelpViewController> self(this);
    if (PVAppDelegate::shareInstance().upgradeAvailable()) {
        showYesNoAlert(localized("PV042"), [self](PVAlertViewController*, bool yes) {
            if (yes && self != nullptr) {
                self->tryUpgradeAtPath(PVAppDelegate::shareInstance().downloadPath);
            }
        });
        return;
    }

    auto* roundButton = qobject_cast<PVRoundButton*>(button);
    button->setUserInteractiveEnabled(false);
    if (roundButton != nullptr) {
        setTextAlpha(roundButton->label(), kDisabledTextAlpha);
    }
    indicator_->startAnimation();
    QPointer<PVButton> checked(button);
    PVNetworkAPI::sharedInstance().checkVersionCompleteBlock(
        [self, checked](const QString& version, const QString& downloadPath, const QString& errorText) {
            if (self == nullptr) {
                return;
            }
            self->indicator_->stopAnimation();
            if (checked != nullptr) {
                if (auto* round = qobject_cast<PVRoundButton*>(checked.data())) {
                    setTextAlpha(round->label(), 1.0);
                }
                checked->setUserInteractiveEnabled(true);
            }
            if (!errorText.isNull()) {
                showOKAlert(errorText);
                return;
            }
            PVAppDelegate& delegate = PVAppDelegate::shareInstance();
            delegate.onlineVersion = version;
            delegate.downloadPath = downloadPath;
            if (delegate.upgradeAvailable()) {
                showYesNoAlert(localized("PV042"), [self, downloadPath](PVAlertViewController*, bool yes) {
                    if (self == nullptr) {
                        return;
                    }
                    if (yes) {
                        self->tryUpgradeAtPath(downloadPath);
                    }
                    self->loadInitialState();
                });
                return;
            }
            showOKAlert(localized("PV040"), [self](PVAlertViewController*, bool) {
                if (self != nullptr) {
                    self->loadInitialState();
                }
            });
        });
}

void PVHelpViewController::tryUpgradeAtPath(const QString& address)
{
    QPointer<PVHelpViewController> self(this);
    progressWC_ = std::make_unique<PVProgressWindowController>();
    QPointer<PVProgressWindowController> dialog(progressWC_.get());
    progressWC_->showWithComplete([self](PVProgressWindowController* controller, int code) {
        if (code == PVProgressWindowController::kResponseCancel) {
            PVNetworkAPI::sharedInstance().cancelDownload();
        }
        if (self != nullptr) {
            self->endProgress(controller);
        }
    });

    PVNetworkAPI::sharedInstance().downloadFromURL(
        address, QString(),
        [dialog](qint64 completed, qint64 total) {
            // An unknown total (-1) tells nothing about the share done.
            if (total <= 0) {
                return;
            }
            const double progress = static_cast<double>(completed) / static_cast<double>(total);
            PVMainQueue::async([dialog, progress] {
                if (dialog != nullptr) {
                    dialog->setProgress(progress);
                }
            });
        },
        [self, dialog](const PVDownloadResponse&, const QString& filePath, const std::optional<PVNetworkError>& error) {
            if (self == nullptr) {
                return;
            }
            // The dialog stays above every window; it goes before anything
            // else shows, so it can never cover an alert or the installer.
            self->endProgress(dialog);
            if (!error.has_value()) {
                self->finishDownload(filePath);
            } else if (error->code != kPVNetworkErrorCancelled) {
                showOKAlert(error->description);
            }
        });
}

void PVHelpViewController::endProgress(PVProgressWindowController* dialog)
{
    if (dialog == nullptr) {
        return;
    }
    dialog->dismiss();
    // A newer download may have put its own dialog in place meanwhile.
    if (progressWC_.get() == dialog) {
        progressWC_.reset();
    }
}

void PVHelpViewController::finishDownload(const QString& filePath)
{
    DXLogTaggedDebug(kUpgradeLogTag, "download path: %s", qUtf8Printable(filePath));
    downloadFolder_ = QFileInfo(filePath).absolutePath();
    // The callers of the unpack and open steps do not look at their error:
    // the steps log their failures.
    if (filePath.endsWith(QLatin1String(kZipSuffix))) {
        unzipAndThenLaunchTheZipAtPath(filePath, nullptr);
    } else if (filePath.endsWith(QLatin1String(kPackageSuffix))) {
        launchThePKGAtPath(filePath, nullptr);
    }
}

void PVHelpViewController::unzipAndThenLaunchTheZipAtPath(const QString& path, QString* error)
{
    if (!path.endsWith(QLatin1String(kZipSuffix))) {
        return;
    }
    const QString target = withoutExtension(path);
    if (target.isEmpty()) {
        DXLogAlert("Archive without a name, not unpacked: %s", qUtf8Printable(path));
        return;
    }
    if (!DXZippingHelper::unzip(path, target)) {
        DXLogAlert("Cannot unpack %s", qUtf8Printable(path));
    }
    const QFileInfo info(target);
    if (info.isDir()) {
        QStringList packages;
        QDirIterator entries(target, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString entry = entries.next();
            if (entry.endsWith(QLatin1String(kPackageSuffix))) {
                packages.append(entry);
            }
        }
        // The same order on every file system.
        std::sort(packages.begin(), packages.end());
        for (const QString& package : packages) {
            launchThePKGAtPath(package, error);
        }
    } else if (info.exists()) {
        launchThePKGAtPath(target, error);
    }
}

void PVHelpViewController::launchThePKGAtPath(const QString& path, QString* error)
{
    if (!path.endsWith(QLatin1String(kPackageSuffix))) {
        return;
    }
    QString reason;
    if (!isInsideDownloadFolder(path)) {
        reason = QStringLiteral("not a file inside the download's folder");
    } else if (opener_->open(QFileInfo(path).absoluteFilePath(), &reason)) {
        DXLogTaggedDebug(kUpgradeLogTag, "opened %s", qUtf8Printable(path));
        return;
    }
    DXLogAlert("Cannot open the package %s: %s", qUtf8Printable(path), qUtf8Printable(reason));
    if (error != nullptr) {
        *error = reason;
    }
}

bool PVHelpViewController::isInsideDownloadFolder(const QString& path) const
{
    if (downloadFolder_.isEmpty()) {
        return false;
    }
    // Compared after resolving links, so a link inside the folder that
    // points out of it counts as outside.
    const QFileInfo file(path);
    const QString folder = QFileInfo(downloadFolder_).canonicalFilePath();
    const QString resolved = file.canonicalFilePath();
    return file.isFile() && !folder.isEmpty() && !resolved.isEmpty() &&
           resolved.startsWith(folder + QLatin1Char('/'));
}
