#include "ui/pages/PVButtonSettingViewController.h"

#include "device/presenterState.h"
#include "localisation/PVLocalizedKey.h"
#include "log/DXLog.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "ui/controls/PVBorderView.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVOptionButton.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/controls/PVThemeLabel.h"
#include "ui/pages/PVOptionImages.h"
#include "ui/window/PVMainViewModel.h"

#include <QLabel>
#include <QPointer>

const char* const PVButtonSettingViewController::kModeKeys[kModeCount] = {"PV002", "PV003", "PV052", "PV046",
                                                                          "PV045"};

namespace {

// Layout of the page (points).
constexpr QPoint kTitleOrigin(30, 24);
constexpr QRect kOptionsRect(30, 64, 280, 5 * 30 + 4 * 16);
constexpr int kOptionHeight = 30;
constexpr int kOptionSpacing = 16;
constexpr QRect kPointerStyleButtonRect(400, 64, 170, 30);
constexpr QRect kTutorialButtonRect(400, 110, 170, 30);

} // namespace

PVButtonSettingViewController::PVButtonSettingViewController(PVMainViewModel& model, QWidget* parent)
    : PVViewController(parent), model_(model), firstContainer_(new PVBorderView(this)),
      titleTextField_(
          createThemeLabel(themeTextGrayColor(), Qt::AlignLeft | Qt::AlignVCenter, firstContainer_)),
      settingButtonContainer_(new QWidget(firstContainer_)),
      pointerStyleButton_(new PVRoundButton(firstContainer_)),
      tutorialButton_(new PVRoundButton(firstContainer_))
{
    for (int mode = 0; mode < kModeCount; ++mode) {
        auto* option = new PVOptionButton(settingButtonContainer_);
        option->setTagInteger(static_cast<quint64>(mode));
        option->setLocalizedKey(QString::fromLatin1(kModeKeys[mode]));
        option->setImage(optionImage(PVOptionImageState::Normal));
        option->setHighlightedImage(optionImage(PVOptionImageState::Highlighted));
        option->setSelectedImage(optionImage(PVOptionImageState::Selected));
        option->setGeometry(0, mode * (kOptionHeight + kOptionSpacing), kOptionsRect.width(), kOptionHeight);
        optionButtons_.append(option);
    }
    setupUIIfNeeded();
}

void PVButtonSettingViewController::setupUIIfNeeded()
{
    fillWithTabFrame(*firstContainer_);

    setLocalizedKey(titleTextField_, QStringLiteral("PV005"));
    titleTextField_->move(kTitleOrigin);
    titleTextField_->adjustSize();
    settingButtonContainer_->setGeometry(kOptionsRect);

    QPointer<PVButtonSettingViewController> self(this);
    for (PVOptionButton* option : settingButtonContainer_->findChildren<PVOptionButton*>()) {
        if (option->tagInteger() == 0) {
            option->setAutoFillBackground(true);
            QPalette palette = option->palette();
            palette.setColor(QPalette::Window, Qt::white);
            option->setPalette(palette);
        }
        option->setAction([self](PVButton* sender) {
            if (self != nullptr) {
                self->buttonModeButtonAction(sender);
            }
        });
    }

    pointerStyleButton_->setLocalizedKey(QStringLiteral("PV004"));
    pointerStyleButton_->setGeometry(kPointerStyleButtonRect);
    pointerStyleButton_->setAction([self](PVButton*) {
        if (self != nullptr) {
            self->pointerStylesButtonAction();
        }
    });
    tutorialButton_->setLocalizedKey(QStringLiteral("PV055"));
    tutorialButton_->setGeometry(kTutorialButtonRect);
    tutorialButton_->setAction([self](PVButton*) {
        if (self != nullptr) {
            self->tutorialButtonAction();
        }
    });
}

void PVButtonSettingViewController::viewWillAppear()
{
    loadInitialState();
}

void PVButtonSettingViewController::loadInitialState()
{
    setButtonMode(model_.buttonSetting());
}

void PVButtonSettingViewController::buttonModeButtonAction(PVButton* sender)
{
    setButtonMode(sender->tagInteger());
    model_.setButtonSetting(buttonMode_);
}

void PVButtonSettingViewController::setButtonMode(quint64 mode)
{
    buttonMode_ = mode;
    setupButtonModeAppearence(mode);
    // Blackout and slide show use no motion: the receiver sends buttons only.
    setButtonOnlyModeForButtonMode(mode);
}

void PVButtonSettingViewController::setupButtonModeAppearence(quint64 mode)
{
    for (PVOptionButton* option : settingButtonContainer_->findChildren<PVOptionButton*>()) {
        option->setSelected(option->tagInteger() == mode);
    }
}

void PVButtonSettingViewController::pointerStylesButtonAction()
{
    DXLogDebug("Pointer Styles");
    PVNotificationCenter::defaultCenter().post(kPVNotificationNameChangeTab, nullptr,
                                               {{kPVNotificationUserInfoChangeTabIndex, 1}});
}

void PVButtonSettingViewController::tutorialButtonAction()
{
    PVNotificationCenter::defaultCenter().post(kPVUINotificationNamePopTutorial);
}
