#include "ui/pages/PVPointerStyleViewController.h"

#include "localisation/PVLocalizedKey.h"
#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVOpenPanel.h"
#include "settings/PVDevice.h"
#include "settings/PVPointerStyleManager.h"
#include "ui/alert/PVAlertViewController.h"
#include "ui/controls/PVBorderView.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVPresentDesktopItem.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/controls/PVThemeLabel.h"
#include "ui/pages/PVPresentDesktopImages.h"
#include "ui/window/PVMainViewModel.h"
#include "ui/window/PVWindow.h"

#include <QLabel>
#include <QPointer>

namespace {

// Layout of the page (points). On the left the style grid, which holds two
// full rows (as many styles as are ever listed), and the screen choice
// under it; on the right, past a separator, the two sliders and the reset.
constexpr QRect kStyleListRect(12, 8, 400, 128);
constexpr int kMaskHeight = 4;
constexpr QPoint kPresentTitleOrigin(24, 148);
constexpr QRect kPresentContainerRect(12, 172, 400, 112);
constexpr QSize kPresentItemSize(120, 108);
constexpr int kPresentItemSpacing = 10;
constexpr QRect kSeparatorRect(426, 16, 1, 332);
constexpr int kRightColumn = 442;
constexpr int kRightWidth = 146;
constexpr QPoint kSizeTitleOrigin(kRightColumn, 16);
constexpr QRect kSizeSliderRect(kRightColumn, 38, kRightWidth, 30);
constexpr int kSizeLabelsTop = 68;
constexpr QRect kSpeedContainerRect(kRightColumn, 110, kRightWidth, 76);
constexpr QRect kSpeedSliderRect(0, 22, kRightWidth, 30);
constexpr int kSpeedLabelsTop = 52;
constexpr QRect kResetButtonRect(450, 318, 130, 30);

constexpr double kKnobRadius = 7.0;
constexpr double kTickMarkPadding = 10.0;

// The screen choice items by tag: picture and caption.
struct PresentDesktopLook
{
    const char* image;
    const char* key;
};
constexpr PresentDesktopLook kPresentDesktopLooks[] = {
    {"primary_screen", "PV006"},
    {"screen_extend", "PV007"},
    {"auto_detect", "PV008"},
};

QString localized(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QString::fromUtf8(key));
}

// A label of `key` at `origin`, or right-aligned to end at `origin`'s x.
QLabel* addLabel(QWidget* parent, const char* key, const QPoint& origin, bool alignRight = false)
{
    QLabel* label = createThemeLabel(themeTextGrayColor(), Qt::AlignLeft | Qt::AlignVCenter, parent);
    setLocalizedKey(label, QString::fromUtf8(key));
    label->adjustSize();
    label->move(alignRight ? QPoint(origin.x() - label->width(), origin.y()) : origin);
    return label;
}

void fillWhite(QWidget* view)
{
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, Qt::white);
    view->setPalette(palette);
    view->setAutoFillBackground(true);
}

} // namespace

PVPointerStyleViewController::PVPointerStyleViewController(PVMainViewModel& model, QWidget* parent)
    : PVViewController(parent), model_(model), openPanel_(&PVOpenPanel::shared()),
      frame_(new PVBorderView(this)), pointerStyleList_(new PVPointerStyleList(model.pointerStyleManager(), frame_)),
      topWhiteFakeMask_(new QWidget(frame_)), bottomWhiteFakeMask_(new QWidget(frame_)),
      sliderSeperator_(new QWidget(frame_)), sizeTitleTextField_(nullptr), sizeSlider_(new DXSlider(frame_)),
      speedContainer_(new QWidget(frame_)), speedSlider_(new DXSlider(speedContainer_)),
      presentTitleTextField_(createThemeLabel(themeTextGrayColor(), Qt::AlignLeft | Qt::AlignVCenter, frame_)),
      presentContainer_(new QWidget(frame_)), resetButton_(new PVRoundButton(frame_))
{
    for (quint64 tag = 0; tag < std::size(kPresentDesktopLooks); ++tag) {
        auto* item = new PVPresentDesktopItem(presentContainer_);
        item->setTagInteger(tag);
        item->setGeometry(static_cast<int>(tag) * (kPresentItemSize.width() + kPresentItemSpacing) + 10, 0,
                          kPresentItemSize.width(), kPresentItemSize.height());
        presentDesktopItems_.append(item);
    }
    setupUIIfNeeded();
}

void PVPointerStyleViewController::setupSlider(DXSlider* slider, quint64 levels)
{
    slider->setNumberOnTickMarks(levels);
    slider->setAllowsTickMarkValuesOnly(true);
    slider->setKnobRadius(kKnobRadius);
    slider->setKnobBorderColor(themeBlueDarkColor());
    slider->setKnobFillColor(themeBlueColor());
    slider->setEmptyLineColor(themePartingLineColor());
    slider->setFullLineColor(themePartingLineColor());
    slider->setTickMarkColor(themePartingLineColor());
    slider->setTickMarkPadding(kTickMarkPadding);
    slider->setDelegate(this);
}

void PVPointerStyleViewController::setupUIIfNeeded()
{
    fillWithTabFrame(*frame_);

    pointerStyleList_->setGeometry(kStyleListRect);
    pointerStyleList_->setDelegate(this);
    // White strips over the grid's top and bottom edges: tiles scrolled
    // part way out end under a clean line.
    topWhiteFakeMask_->setGeometry(kStyleListRect.left(), kStyleListRect.top(), kStyleListRect.width(),
                                   kMaskHeight);
    bottomWhiteFakeMask_->setGeometry(kStyleListRect.left(), kStyleListRect.bottom() + 1 - kMaskHeight,
                                      kStyleListRect.width(), kMaskHeight);
    for (QWidget* mask : {topWhiteFakeMask_, bottomWhiteFakeMask_}) {
        fillWhite(mask);
        mask->raise();
    }

    // Labels: titles in the theme's font (createThemeLabel's), the range
    // ends under the sliders' first and last marks.
    setLocalizedKey(presentTitleTextField_, QStringLiteral("Present the pointer on"));
    presentTitleTextField_->adjustSize();
    presentTitleTextField_->move(kPresentTitleOrigin);
    sizeTitleTextField_ = addLabel(frame_, "Pointer size", kSizeTitleOrigin);
    addLabel(frame_, "Small", QPoint(kRightColumn + 4, kSizeLabelsTop));
    addLabel(frame_, "Large", QPoint(kRightColumn + kRightWidth - 4, kSizeLabelsTop), true);
    speedContainer_->setGeometry(kSpeedContainerRect);
    addLabel(speedContainer_, "Pointer speed", QPoint(0, 0));
    addLabel(speedContainer_, "Slow", QPoint(4, kSpeedLabelsTop));
    addLabel(speedContainer_, "Fast", QPoint(kRightWidth - 4, kSpeedLabelsTop), true);
    presentTitleTextField_->setFont(themeFont());
    for (QLabel* label : speedContainer_->findChildren<QLabel*>()) {
        label->setFont(themeFont());
    }

    setupSlider(sizeSlider_, kSizeLevels);
    setupSlider(speedSlider_, kSpeedLevels);
    sizeSlider_->setGeometry(kSizeSliderRect);
    speedSlider_->setGeometry(kSpeedSliderRect);
    QPointer<PVPointerStyleViewController> self(this);
    sizeSlider_->setMouseEventDetect([self](DXSlider* slider) {
        if (self != nullptr) {
            self->sizeSliderAction(slider);
        }
    });
    speedSlider_->setMouseEventDetect([self](DXSlider* slider) {
        if (self != nullptr) {
            self->speedSliderAction(slider);
        }
    });

    sliderSeperator_->setGeometry(kSeparatorRect);
    QPalette palette = sliderSeperator_->palette();
    palette.setColor(QPalette::Window, themePartingLineColor());
    sliderSeperator_->setPalette(palette);
    sliderSeperator_->setAutoFillBackground(true);

    presentContainer_->setGeometry(kPresentContainerRect);
    for (PVPresentDesktopItem* item : presentContainer_->findChildren<PVPresentDesktopItem*>()) {
        item->setAction([self](PVButton* sender) {
            if (self != nullptr) {
                self->presentDesktopButtonAction(sender);
            }
        });
        if (item->tagInteger() < std::size(kPresentDesktopLooks)) {
            const PresentDesktopLook& look = kPresentDesktopLooks[item->tagInteger()];
            item->imageView()->setImage(presentDesktopImage(QString::fromLatin1(look.image)));
            item->setLocalizedKey(QString::fromLatin1(look.key));
        }
    }

    resetButton_->setLocalizedKey(QStringLiteral("PV012"));
    resetButton_->setGeometry(kResetButtonRect);
    resetButton_->setAction([self](PVButton*) {
        if (self != nullptr) {
            self->resetButtonAction();
        }
    });
}

void PVPointerStyleViewController::viewWillAppear()
{
    loadInitialState();
}

void PVPointerStyleViewController::loadInitialState()
{
    PVDevice& device = model_.settingDevice();
    // A stored level past the last mark shows at the last; it is written
    // only when the user moves the slider.
    sizeSlider_->setCurrentTickMark(device.pointerSize());
    pointerStyleList_->setImageSize(device.pointerSize());
    setPointerStyles(model_.pointerStyleManager().allPointerStyles());
    performSelectPointerStyleItem(device.pointerStyle(), false);
    setPresentDesktop(device.presentDesktop());
    speedSlider_->setCurrentTickMark(device.pointerSpeed());
}

void PVPointerStyleViewController::setPointerStyles(const QList<PVPointerStyle>& styles)
{
    pointerStyles_ = styles;
    pointerStyleList_->reloadData();
}

QVariantList PVPointerStyleViewController::dataArrayScrollView(PVScrollView*)
{
    QVariantList data;
    for (const PVPointerStyle& style : pointerStyles_) {
        data.append(QVariant::fromValue(style));
    }
    return data;
}

qsizetype PVPointerStyleViewController::indexOfStyle(const PVPointerStyle& style) const
{
    for (qsizetype i = 0; i < pointerStyles_.size(); ++i) {
        if (pointerStyles_[i]._id() == style._id()) {
            return i;
        }
    }
    return -1;
}

void PVPointerStyleViewController::sizeSliderAction(DXSlider* slider)
{
    PVDevice& device = model_.settingDevice();
    const quint64 level = slider->currentTickMark();
    if (level == device.pointerSize()) {
        return;
    }
    device.setPointerSize(level);
    pointerStyleList_->setImageSize(level);
    PVNotificationCenter::defaultCenter().post(kPVUINotificationNameChangeSize);
}

void PVPointerStyleViewController::speedSliderAction(DXSlider* slider)
{
    // The runtime reads the speed on every motion event: nothing to tell.
    PVDevice& device = model_.settingDevice();
    if (slider->currentTickMark() != device.pointerSpeed()) {
        device.setPointerSpeed(slider->currentTickMark());
    }
}

void PVPointerStyleViewController::presentDesktopButtonAction(PVButton* item)
{
    setPresentDesktop(item->tagInteger());
    model_.settingDevice().setPresentDesktop(presentDesktop_);
}

void PVPointerStyleViewController::setPresentDesktop(quint64 value)
{
    presentDesktop_ = value;
    updatePresentDesktopAppearence(value);
}

void PVPointerStyleViewController::updatePresentDesktopAppearence(quint64 value)
{
    for (PVPresentDesktopItem* item : presentContainer_->findChildren<PVPresentDesktopItem*>()) {
        item->setSelected(item->tagInteger() == value);
    }
}

void PVPointerStyleViewController::resetButtonAction()
{
    QPointer<PVPointerStyleViewController> self(this);
    PVAlertViewController::showWithYesNoButtonAlertTitle(
        localized("PV012"), localized("Do you want to reset all pointer settings?"),
        [self](PVAlertViewController*, bool yes) {
            if (!yes || self == nullptr) {
                return;
            }
            self->model_.settingDevice().resetPointerStyleToDefault();
            self->loadInitialState();
        });
}

std::optional<QPainterPath> PVPointerStyleViewController::tickMarkStyleAtIndex(DXSlider* slider, quint64 index)
{
    const QPointF centre = slider->centerPointAtTickMarkIndex(index);
    const double half = kTickLength / 2.0;
    QPainterPath path;
    if (!slider->vertical()) {
        path.moveTo(centre.x(), centre.y() - half);
        path.lineTo(centre.x(), centre.y() + half);
    } else {
        path.moveTo(centre.x() - half, centre.y());
        path.lineTo(centre.x() + half, centre.y());
    }
    return path;
}
