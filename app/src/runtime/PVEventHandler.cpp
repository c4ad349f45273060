#include "runtime/PVEventHandler.h"

#include "log/DXLog.h"
#include "overlays/PVExtraWindowManager.h"
#include "overlays/PVOverlayControl.h"
#include "platform/PVMainQueue.h"
#include "runtime/PVAppleScriptHelper.h"
#include "runtime/PVCursorManager.h"
#include "runtime/PVHIDEventHandler.h"
#include "settings/PVDevice.h"
#include "settings/PVModelManager.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

const QString kActivate = QStringLiteral("activate");
const QString kPointerButtonPressed = QStringLiteral("pointerButtonPressed");
const QString kHotButtonPressed = QStringLiteral("hotButtonPressed");
const QString kButtonSetting = QStringLiteral("buttonSetting");

// Tag of the long-press lines.
constexpr unsigned kLongPressTag = 2;

enum class Hot
{
    Other,
    Click,    ///< 0 → 1
    Hold,     ///< 0 → 2
    Released, ///< 2 → 0
};

Hot hotTransition(uint64_t oldValue, uint64_t newValue)
{
    if (oldValue == 0 && newValue == 1) {
        return Hot::Click;
    }
    if (oldValue == 0 && newValue == 2) {
        return Hot::Hold;
    }
    if (oldValue == 2 && newValue == 0) {
        return Hot::Released;
    }
    return Hot::Other;
}

void runScript(const QString& source)
{
    // What the program answers changes nothing here.
    PVAppleScriptHelper::runProcess(source, nullptr);
}

/// The second program has a show playing in front.
bool pptUsable()
{
    return PVAppleScriptHelper::isPPTOpen() && PVAppleScriptHelper::isPPTPlay() &&
           PVAppleScriptHelper::isPPTFrontmost();
}

} // namespace

PVEventHandler& PVEventHandler::sharedInstance()
{
    static PVEventHandler* const actions = new PVEventHandler(
        PVEventHandlerParts{PVHIDEventHandler::sharedInstance(), PVModelManager::sharedInstance(),
                            PVExtraWindowManager::sharedInstance(), PVCursorManager::sharedInstance()},
        qApp);
    return *actions;
}

PVEventHandler::PVEventHandler(PVEventHandlerParts parts, QObject* parent) : QObject(parent), parts_(parts) {}

void PVEventHandler::startObserving()
{
    PVHIDEventHandler* handler = &parts_.handler;
    handler->activate.startObserving(this, [this, handler](bool oldValue, bool newValue) {
        observeValueForKeyPath(kActivate, handler, oldValue, newValue);
    });
    handler->pointerButtonPressed.startObserving(this, [this, handler](bool oldValue, bool newValue) {
        observeValueForKeyPath(kPointerButtonPressed, handler, oldValue, newValue);
    });
    handler->hotButtonPressed.startObserving(
        this, [this, handler](unsigned char oldValue, unsigned char newValue) {
            observeValueForKeyPath(kHotButtonPressed, handler, oldValue, newValue);
        });
    PVDevice* device = &parts_.models.settingDevice();
    device->buttonSetting.startObserving(this, [this, device](quint64 oldValue, quint64 newValue) {
        observeValueForKeyPath(kButtonSetting, device, oldValue, newValue);
    });
}

void PVEventHandler::observeValueForKeyPath(const QString& keyPath, const void* object, uint64_t oldValue,
                                            uint64_t newValue)
{
    DXLogDebug("keyPath = %s, old = %llu, new = %llu", qPrintable(keyPath),
               static_cast<unsigned long long>(oldValue), static_cast<unsigned long long>(newValue));

    if ((object == &parts_.models.settingDevice() || keyPath == kButtonSetting) && oldValue != newValue) {
        // A new mode starts clean: no magnifier, no drag, no control.
        parts_.overlays.dismissControl(PVOverlayControlMagnifierGlass);
        parts_.overlays.dismissControl(PVOverlayControlMagnifiedCapture);
        releaseControl();
    }

    if (object != &parts_.handler || keyPath == kPointerButtonPressed) {
        return;
    }
    switch (parts_.models.settingDevice().buttonSetting.value()) {
    case PVButtonModeCursor:
        cursorMode(keyPath, oldValue, newValue);
        break;
    case PVButtonModeHighlighter:
        highlighterMode(keyPath, oldValue, newValue);
        break;
    case PVButtonModeMagnifier:
        magnifierMode(keyPath, oldValue, newValue);
        break;
    default:
        break;
    }
}

void PVEventHandler::takeControlAtPresentationScreen()
{
    parts_.cursor.startControlCursor();
    const std::optional<PVScreen> screen = parts_.handler.pickScreen();
    parts_.cursor.recenterAtScreen(screen.has_value() ? std::optional<QRectF>(screen->frame) : std::nullopt);
}

bool PVEventHandler::noCapture() const
{
    return parts_.overlays.mwcs()
        .value_or(PVExtraWindowManager::MagnifierControllers::value_type())
        .isEmpty();
}

bool PVEventHandler::glassShown() const
{
    for (const auto& controller :
         parts_.overlays.pwcs().value_or(PVExtraWindowManager::PointerControllers::value_type())) {
        if (controller->control() == PVOverlayControlMagnifierGlass) {
            return true;
        }
    }
    return false;
}

void PVEventHandler::showGlassIfNeeded()
{
    // Every click of this mode takes control anew: a glass already shown is
    // kept rather than stacked with another one on every screen.
    if (noCapture() && !glassShown()) {
        parts_.overlays.startShowingAtPoint(parts_.handler.pickCenter(), PVOverlayControlMagnifierGlass);
    }
}

void PVEventHandler::releaseControl()
{
    parts_.cursor.performDragEnd();
    parts_.cursor.stopControlCursor();
}

void PVEventHandler::startLongPressDrag()
{
    DXLogTaggedDebug(kLongPressTag, "long pressed start");
    parts_.cursor.performDragStart();
}

void PVEventHandler::endLongPressDrag()
{
    DXLogTaggedDebug(kLongPressTag, "long pressed end");
    parts_.cursor.performDragEnd();
}

bool PVEventHandler::controllingWhileActive() const
{
    return parts_.handler.activate.value() && parts_.cursor.controlling();
}

void PVEventHandler::cursorMode(const QString& keyPath, uint64_t oldValue, uint64_t newValue)
{
    PVCursorManager& cursor = parts_.cursor;
    if (keyPath == kActivate) {
        if (newValue != 0) {
            if (!cursor.controlling()) {
                cursor.startControlCursor();
            }
        } else if (oldValue != 0) {
            releaseControl();
        }
        return;
    }
    switch (hotTransition(oldValue, newValue)) {
    case Hot::Click:
        if (controllingWhileActive()) {
            cursor.performClick();
        } else {
            // The first click takes control and brings the pointer to the
            // presentation screen instead of clicking.
            takeControlAtPresentationScreen();
        }
        break;
    case Hot::Hold:
        startLongPressDrag();
        break;
    case Hot::Released:
        endLongPressDrag();
        break;
    case Hot::Other:
        break;
    }
}

void PVEventHandler::highlighterMode(const QString& keyPath, uint64_t oldValue, uint64_t newValue)
{
    PVCursorManager& cursor = parts_.cursor;
    if (keyPath == kActivate) {
        if (newValue != 0) {
            if (!cursor.controlling() &&
                (PVAppleScriptHelper::isPPTOpen() || PVAppleScriptHelper::isPPTPlay())) {
                takeControlAtPresentationScreen();
            }
        } else if (oldValue != 0) {
            releaseControl();
            runScript(PVAppleScriptHelper::pptPointerModeAuto());
        }
        return;
    }
    switch (hotTransition(oldValue, newValue)) {
    case Hot::Click:
        if (controllingWhileActive() && pptUsable()) {
            runScript(PVAppleScriptHelper::pptPointerModePaint());
        }
        break;
    case Hot::Hold:
        if (controllingWhileActive() && pptUsable()) {
            runScript(PVAppleScriptHelper::pptPointerModePaint());
            startLongPressDrag();
        }
        break;
    case Hot::Released:
        endLongPressDrag();
        break;
    case Hot::Other:
        break;
    }
}

void PVEventHandler::magnifierMode(const QString& keyPath, uint64_t oldValue, uint64_t newValue)
{
    PVExtraWindowManager& overlays = parts_.overlays;
    if (keyPath == kActivate) {
        if (newValue != 0) {
            showGlassIfNeeded();
        } else if (oldValue != 0) {
            overlays.dismissControl(PVOverlayControlMagnifierGlass);
            overlays.dismissControl(PVOverlayControlMagnifiedCapture);
        }
        return;
    }
    switch (hotTransition(oldValue, newValue)) {
    case Hot::Click:
        showGlassIfNeeded();
        overlays.setCenter(parts_.handler.pickCenter(), false);
        break;
    case Hot::Hold:
        if (parts_.handler.activate.value() && noCapture()) {
            DXLogTaggedDebug(kLongPressTag, "long pressed start");
            overlays.hide(true, PVOverlayControlMagnifierGlass);
            const QPointer<PVEventHandler> self(this);
            PVMainQueue::afterMilliseconds(kCaptureDelayMs, [self] {
                // A release or a mode change within the delay has already
                // ended the hold: a capture shown now would stay behind.
                if (self.isNull() || self->parts_.handler.hotButtonPressed.value() != 2 ||
                    self->parts_.models.settingDevice().buttonSetting.value() != PVButtonModeMagnifier) {
                    return;
                }
                self->parts_.overlays.startShowingAtPoint(self->parts_.overlays.currentCenter(),
                                                          PVOverlayControlMagnifiedCapture);
            });
        }
        break;
    case Hot::Released:
        DXLogTaggedDebug(kLongPressTag, "long pressed end");
        overlays.hide(false, PVOverlayControlMagnifierGlass);
        overlays.dismissControl(PVOverlayControlMagnifiedCapture);
        break;
    case Hot::Other:
        break;
    }
}
