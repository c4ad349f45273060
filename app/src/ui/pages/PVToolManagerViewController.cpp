#include "ui/pages/PVToolManagerViewController.h"

#include "localisation/PVLocalizedKey.h"
#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVNotFound.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "ui/controls/PVBorderView.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVLineView.h"
#include "ui/controls/PVThemeLabel.h"
#include "ui/pages/PVBatteryImages.h"
#include "ui/pages/PVPresenterList.h"
#include "ui/window/PVMainViewModel.h"

#include <QLabel>

namespace {

// Layout of the page (points).
constexpr QRect kFirstRect(0, 0, 600, 150);
constexpr QPoint kPresenterTitleOrigin(30, 24);
// Five 60-point icons with 20 points between them.
constexpr QRect kPresenterListRect(30, 60, 5 * 60 + 4 * 20, 60);
constexpr QRectF kPartingLine(30, 150, 540, 1);
// Inside the frame's side and bottom lines, which the message's white would cover.
constexpr QRect kSecondRect(2, 151, 596, 210);
constexpr QRect kFirmwareRect(30, 24, 540, 24);
constexpr QRect kBatteryImageRect(30, 64, 44, 22);
constexpr QRect kBatteryTextRect(86, 63, 484, 24);
constexpr QRect kMessageRect(30, 24, 540, 60);

const QString kNames[] = {kPVDongleNotificationNameBattery, kPVDongleNotificationNameFirmwareVersion,
                          kPVDongleNotificationNameHasWaked};

QString localized(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QString::fromLatin1(key));
}

// A white area of the page.
QWidget* whiteContainer(QWidget* parent)
{
    auto* container = new QWidget(parent);
    container->setAutoFillBackground(true);
    QPalette palette = container->palette();
    palette.setColor(QPalette::Window, Qt::white);
    container->setPalette(palette);
    return container;
}

} // namespace

PVToolManagerViewController::PVToolManagerViewController(PVMainViewModel& model, QWidget* parent)
    : PVViewController(parent), model_(model), frame_(new PVBorderView(this)),
      firstContainer_(new QWidget(frame_)),
      presenterTitleTextField_(
          createThemeLabel(themeTextGrayColor(), Qt::AlignLeft | Qt::AlignVCenter, firstContainer_)),
      presenterList_(new PVPresenterList(firstContainer_)), secondContainer_(new QWidget(frame_)),
      fwVersionTextField_(
          createThemeLabel(themeTextBlackColor(), Qt::AlignLeft | Qt::AlignVCenter, secondContainer_)),
      batteryTextField_(
          createThemeLabel(themeTextBlackColor(), Qt::AlignLeft | Qt::AlignVCenter, secondContainer_)),
      batteryImageView_(new PVImageView(secondContainer_)), seconde2Container_(whiteContainer(frame_)),
      containerMessageLabel_(
          createThemeLabel(themeTextGrayColor(), Qt::AlignLeft | Qt::AlignTop, seconde2Container_))
{
    setupUIIfNeeded();
}

void PVToolManagerViewController::setupUIIfNeeded()
{
    fillWithTabFrame(*frame_);

    firstContainer_->setGeometry(kFirstRect);
    setLocalizedKey(presenterTitleTextField_, QStringLiteral("PV050"));
    presenterTitleTextField_->move(kPresenterTitleOrigin);
    presenterTitleTextField_->adjustSize();
    presenterList_->setGeometry(kPresenterListRect);
    presenterList_->setDelegate(this);
    (new PVLineView(themePartingLineColor(), frame_))->setLineRect(kPartingLine);

    secondContainer_->setGeometry(kSecondRect);
    fwVersionTextField_->setGeometry(kFirmwareRect);
    batteryImageView_->setGeometry(kBatteryImageRect);
    batteryTextField_->setGeometry(kBatteryTextRect);
    seconde2Container_->setGeometry(kSecondRect);
    containerMessageLabel_->setGeometry(kMessageRect);

    for (QLabel* field : firstContainer_->findChildren<QLabel*>()) {
        field->setFont(themeFont());
    }
    for (QLabel* field : secondContainer_->findChildren<QLabel*>()) {
        field->setFont(themeFont());
    }
    for (QLabel* field : seconde2Container_->findChildren<QLabel*>()) {
        field->setFont(themeFont());
        field->setWordWrap(true);
    }
    loadState();
}

void PVToolManagerViewController::viewWillAppear()
{
    loadState();
    stopObserving();
    PVNotificationCenter& center = PVNotificationCenter::defaultCenter();
    for (const QString& name : kNames) {
        center.addObserver(this, name, [this](const PVNotification&) { loadState(); });
    }
}

void PVToolManagerViewController::viewDidDisappear()
{
    stopObserving();
}

void PVToolManagerViewController::stopObserving()
{
    for (const QString& name : kNames) {
        PVNotificationCenter::defaultCenter().removeObserver(this, name);
    }
}

QVariantList PVToolManagerViewController::dataArrayScrollView(PVScrollView*)
{
    return {};
}

void PVToolManagerViewController::loadState()
{
    const bool paired = model_.pairedState();
    const quint64 level = model_.battery();
    const std::optional<QString> version = model_.firmwareVersion();
    presenterList_->setShowOne(paired);
    presenterList_->reloadData();
    if (paired && level != PVNotFound) {
        setFirmwareVersion(version);
        setBattery(level);
        seconde2Container_->hide();
        return;
    }
    // The details keep what they showed last, under the message.
    seconde2Container_->show();
    seconde2Container_->raise();
    setLocalizedKey(containerMessageLabel_, QStringLiteral("PV044"));
}

void PVToolManagerViewController::setFirmwareVersion(const std::optional<QString>& version)
{
    if (!version.has_value() || version->isEmpty()) {
        return;
    }
    fmverstr_ = *version;
    fwVersionTextField_->setText(QStringLiteral("%1: %2").arg(localized("PV020"), fmverstr_));
}

void PVToolManagerViewController::setBattery(quint64 level)
{
    if (level == PVNotFound) {
        batteryImageView_->hide();
        batteryTextField_->hide();
        return;
    }
    batteryImageView_->show();
    batteryTextField_->show();
    batteryTextField_->setText(QStringLiteral("%1: %2%").arg(localized("PV021"), QString::number(level)));
    batteryImageName_ = ::batteryImageName(level);
    batteryImageView_->setImage(batteryImage(batteryImageName_));
}
