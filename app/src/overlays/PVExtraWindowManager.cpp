#include "overlays/PVExtraWindowManager.h"

#include "log/DXLog.h"
#include "overlays/PVOverlayGeometry.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "settings/PVDevice.h"
#include "settings/PVGlobalObjectManager.h"
#include "settings/PVModelManager.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

// Tag of the manager's movement lines.
constexpr unsigned kMovementTag = 2;

QImage pointerStyleImage(const PVDevice& device)
{
    return device.pointerStyle().has_value() ? device.pointerStyle()->image() : QImage();
}

bool isPointerKind(quint64 control)
{
    return control == PVOverlayControlPointer || control == PVOverlayControlMagnifierGlass;
}

} // namespace

PVExtraWindowManager& PVExtraWindowManager::sharedInstance()
{
    // Lives for the whole run, like the windows it shows.
    static PVExtraWindowManager* const manager = new PVExtraWindowManager(
        PVGlobalObjectManager::sharedInstance(),
        []() -> const PVDevice& { return PVModelManager::sharedInstance().settingDevice(); },
        PVNotificationCenter::defaultCenter(), qApp);
    return *manager;
}

PVExtraWindowManager::PVExtraWindowManager(const PVGlobalObjectManager& globals, SettingDevice settingDevice,
                                           PVNotificationCenter& center, QObject* parent)
    : QObject(parent), globals_(globals), settingDevice_(std::move(settingDevice)), center_(center)
{
    for (const QString& name : {kPVUINotificationNameChangeStyle, kPVUINotificationNameChangeSize}) {
        center_.addObserver(this, name, [this](const PVNotification&) { updatePointerNotification(); });
    }
}

PVExtraWindowManager::~PVExtraWindowManager()
{
    center_.removeObserver(this);
}

void PVExtraWindowManager::startShowingAtPoint(QPointF point, quint64 control)
{
    if (isPointerKind(control)) {
        QList<std::shared_ptr<PVPointerWindowController>> created;
        for (const PVScreen& screen : globals_.allScreens()) {
            auto controller = std::make_shared<PVPointerWindowController>(globals_);
            controller->setControl(control);
            if (control == PVOverlayControlPointer) {
                const PVDevice& device = settingDevice_();
                controller->setPointerImage(pointerStyleImage(device));
                controller->setPointerSizeLevel(device.pointerSize());
            } else {
                controller->setPointerImage(PVPointerStyle::resourceImage(QStringLiteral("magnifier")));
                controller->setPointerSizeLevel(0);
            }
            controller->showOnScreen(screen);
            created.append(controller);
        }
        if (pwcs_.has_value() && !pwcs_->isEmpty()) {
            pwcs_->append(created);
        } else {
            pwcs_ = created;
        }
    } else if (control == PVOverlayControlMagnifiedCapture) {
        QList<std::shared_ptr<PVMagnifierWindowController>> created;
        for (const PVScreen& screen : globals_.allScreens()) {
            auto controller = std::make_shared<PVMagnifierWindowController>(globals_);
            controller->showOnScreen(screen);
            created.append(controller);
        }
        // Controllers of an earlier capture left undismissed go with their
        // windows rather than staying on screen.
        mwcs_ = created;
    } else {
        return;
    }
    currentCenter_ = point;
    setCenter(point, false);
}

void PVExtraWindowManager::dismissControl(quint64 control)
{
    if (isPointerKind(control)) {
        if (pwcs_.has_value()) {
            QList<std::shared_ptr<PVPointerWindowController>> kept;
            for (const auto& controller : *pwcs_) {
                if (controller->control() == control) {
                    controller->dismissOnScreen();
                } else {
                    kept.append(controller);
                }
            }
            pwcs_ = kept.isEmpty() ? PointerControllers() : PointerControllers(kept);
        }
    } else if (control == PVOverlayControlMagnifiedCapture) {
        if (mwcs_.has_value()) {
            for (const auto& controller : *mwcs_) {
                controller->dismiss();
            }
        }
        mwcs_.reset();
    } else {
        return;
    }
    isOnEdge_ = false;
    isInterior_ = false;
}

void PVExtraWindowManager::hide(bool hide, quint64 control)
{
    if (!isPointerKind(control) || !pwcs_.has_value()) {
        return;
    }
    for (const auto& controller : *pwcs_) {
        if (controller->control() == control) {
            controller->setShouldHide(hide);
            if (controller->window() != nullptr) {
                controller->window()->update();
            }
        }
    }
}

void PVExtraWindowManager::updatePointerNotification()
{
    if (!pwcs_.has_value()) {
        return;
    }
    const PVDevice& device = settingDevice_();
    const QImage image = pointerStyleImage(device);
    for (const auto& controller : *pwcs_) {
        controller->setPointerImage(image);
        controller->setPointerSizeLevel(device.pointerSize());
    }
}

void PVExtraWindowManager::setCenterDiffer(QPointF displacement, bool bounded)
{
    DXLogTaggedDebug(kMovementTag, "differ (%.0f, %.0f)", displacement.x(), displacement.y());
    setCenter(currentCenter_ + displacement, bounded);
}

void PVExtraWindowManager::setCenter(QPointF point, bool bounded)
{
    const bool wasInterior = isInterior_;
    std::optional<PVScreen> screen = currentScreen_;
    if (!bounded || !wasInterior) {
        if (std::optional<PVScreen> containing = screenContaining(point)) {
            screen = containing;
        }
    }

    if (!screen.has_value()) {
        currentCenter_ = point;
        isOnEdge_ = false;
        isInterior_ = false;
    } else {
        const QRectF& frame = screen->frame;
        const double right = frame.x() + frame.width();
        const double top = frame.y() + frame.height();
        if (bounded || wasInterior) {
            currentCenter_ = QPointF(std::max(frame.x(), std::min(point.x(), right)),
                                     std::max(frame.y(), std::min(point.y(), top)));
        } else {
            currentCenter_ = point;
        }
        const QPointF center = currentCenter_;
        if (!PVFrameContainsWithEdges(frame, center)) {
            isOnEdge_ = false;
            isInterior_ = false;
        } else {
            isOnEdge_ = center.x() == frame.x() || center.x() == right || center.y() == frame.y() || center.y() == top;
            isInterior_ = !isOnEdge_;
        }
        if (isOnEdge_) {
            DXLogDebug("on the edge!");
        }
    }
    currentScreen_ = screen;
    DXLogTaggedDebug(kMovementTag, "currentCenter (%.0f, %.0f)", currentCenter_.x(), currentCenter_.y());

    if (pwcs_.has_value()) {
        for (const auto& controller : *pwcs_) {
            controller->setPointerCenter(currentCenter_);
        }
    }
    if (mwcs_.has_value()) {
        for (const auto& controller : *mwcs_) {
            controller->showImageCenter(currentCenter_);
        }
    }
}

std::optional<PVScreen> PVExtraWindowManager::currentScreen() const
{
    if (!currentScreen_.has_value()) {
        return std::nullopt;
    }
    // The same display, by its number, even when its geometry changed since.
    for (const PVScreen& screen : globals_.allScreens()) {
        if (screen.displayID == currentScreen_->displayID) {
            return currentScreen_;
        }
    }
    return std::nullopt;
}

std::optional<PVScreen> PVExtraWindowManager::screenContaining(QPointF point) const
{
    for (const PVScreen& screen : globals_.allScreens()) {
        if (PVFrameContainsWithEdges(screen.frame, point)) {
            return screen;
        }
    }
    return std::nullopt;
}
