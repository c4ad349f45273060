#include "ui/pages/PVPointerStyleViewController.h"

#include "log/DXLog.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVOpenPanel.h"
#include "settings/PVDevice.h"
#include "settings/PVPointerStyleManager.h"
#include "ui/controls/PVBorderView.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/window/PVMainViewModel.h"

#include <QPointer>
#include <QVBoxLayout>

namespace {

// Layout of the page (points): the style grid holds two full rows, which is
// as many styles as are ever listed.
constexpr QRect kStyleListRect(12, 8, 400, 128);

} // namespace

PVPointerStyleViewController::PVPointerStyleViewController(PVMainViewModel& model, QWidget* parent)
    : PVViewController(parent), model_(model), openPanel_(&PVOpenPanel::shared()),
      frame_(new PVBorderView(this)), pointerStyleList_(new PVPointerStyleList(model.pointerStyleManager(), frame_))
{
    setupUIIfNeeded();
}

void PVPointerStyleViewController::setupUIIfNeeded()
{
    setBackgroundColor(Qt::white);
    // The page continues the selected tab: white, framed but for the top.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);
    frame_->setShowTopBorder(false);
    pointerStyleList_->setGeometry(kStyleListRect);
    pointerStyleList_->setDelegate(this);
}

void PVPointerStyleViewController::viewWillAppear()
{
    loadInitialState();
}

void PVPointerStyleViewController::loadInitialState()
{
    PVDevice& device = model_.settingDevice();
    pointerStyleList_->setImageSize(device.pointerSize());
    setPointerStyles(model_.pointerStyleManager().allPointerStyles());
    performSelectPointerStyleItem(device.pointerStyle(), false);
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
