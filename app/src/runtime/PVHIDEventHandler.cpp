#include "runtime/PVHIDEventHandler.h"

#include "log/DXLog.h"
#include "overlays/PVExtraWindowManager.h"
#include "overlays/PVOverlayControl.h"
#include "platform/PVMainQueue.h"
#include "platform/PVNotFound.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "runtime/PVAppleScriptHelper.h"
#include "runtime/PVCursorManager.h"
#include "settings/PVDevice.h"
#include "settings/PVGlobalObjectManager.h"
#include "settings/PVModelManager.h"

#include <iterator>

namespace {

void runScript(const QString& source)
{
    // The programs report nothing back that would change what happens next.
    PVAppleScriptHelper::runProcess(source, nullptr);
}

QPointF centreOf(const std::optional<PVScreen>& screen)
{
    return screen.has_value() ? screen->frame.center() : QPointF(0, 0);
}

} // namespace

class PVHIDEventHandler::Guard
{
  public:
    explicit Guard(bool& flag) : flag_(flag), entered_(!flag) { flag_ = true; }
    ~Guard()
    {
        if (entered_) {
            flag_ = false;
        }
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

    bool entered() const { return entered_; }

  private:
    bool& flag_;
    bool entered_;
};

PVHIDEventHandler& PVHIDEventHandler::sharedInstance()
{
    // Lives for the whole run: delayed work may still reach it at exit.
    static PVHIDEventHandler* const handler = new PVHIDEventHandler(
        PVHIDEventHandlerParts{PVGlobalObjectManager::sharedInstance(), PVModelManager::sharedInstance(),
                               PVExtraWindowManager::sharedInstance(), PVCursorManager::sharedInstance(),
                               PVNotificationCenter::defaultCenter()});
    return *handler;
}

PVHIDEventHandler::PVHIDEventHandler(PVHIDEventHandlerParts parts) : parts_(parts) {}

int PVHIDEventHandler::receiveDongleInsertChanged(char dongleInsert)
{
    const Guard guard(dongleLock_);
    if (!guard.entered()) {
        return 0;
    }
    const bool inserted = dongleInsert != 0;
    if (parts_.globals.dongleInsert() != inserted) {
        parts_.globals.setDongleInsert(inserted);
        parts_.center.post(kPVDongleNotificationNameInsert);
    }
    if (!parts_.globals.dongleInsert()) {
        setActivate(false);
    }
    return 0;
}

int PVHIDEventHandler::receivePairStateChanged(short pairState)
{
    const Guard guard(pairedStateLock_);
    if (!guard.entered()) {
        return 0;
    }
    const bool paired = pairState != 0;
    if (parts_.globals.pairedState() != paired) {
        parts_.globals.setPairedState(paired);
        PVDongle& dongle = parts_.models.currentDongle();
        const bool anyPaired = !dongle.pairedDevices().empty();
        if (paired && !anyPaired) {
            dongle.addDevice(kDevelopmentDevice);
        } else if (!paired && anyPaired) {
            dongle.removeDevice(kDevelopmentDevice);
        }
        parts_.center.post(kPVDongleNotificationNameHasWaked);
    }
    if (!parts_.globals.pairedState()) {
        setActivate(false);
    }
    return 0;
}

int PVHIDEventHandler::receiveBattery(uint64_t info)
{
    if (info >= 256) {
        return 0;
    }
    const Guard guard(batteryLock_);
    if (!guard.entered()) {
        return 0;
    }
    const quint64 level = info != 0 ? info : PVNotFound;
    PVDevice& device = parts_.models.settingDevice();
    if (device.battery() != level) {
        device.setBattery(level);
        parts_.center.post(kPVDongleNotificationNameBattery);
    }
    return 0;
}

QString PVFirmwareVersionOfInfo(uint64_t info)
{
    // The settings file keeps the text as XML, which holds no NUL and no
    // control characters: the text ends at the first NUL, and control bytes
    // inside it are left out.
    QString version;
    for (int i = 0; i < 8; ++i) {
        const auto byte = static_cast<unsigned char>((info >> (8 * i)) & 0xFF);
        if (byte == 0) {
            break;
        }
        const QChar character = QChar::fromLatin1(static_cast<char>(byte));
        if (character.category() != QChar::Other_Control) {
            version.append(character);
        }
    }
    return version;
}

int PVHIDEventHandler::receiveFirmwareVersion(uint64_t info)
{
    if (info < 256) {
        return 0;
    }
    const Guard guard(fmverLock_);
    if (!guard.entered()) {
        return 0;
    }
    const QString version = PVFirmwareVersionOfInfo(info);
    PVDevice& device = parts_.models.settingDevice();
    if (device.firmwareVersion() != version) {
        device.setFirmwareVersion(version);
        parts_.center.post(kPVDongleNotificationNameFirmwareVersion);
    }
    return 0;
}

void PVHIDEventHandler::blackout(unsigned char previous, unsigned char state)
{
    if (state != 1 || previous != 0) {
        return;
    }
    hotButtonPressed.set(1);
    if (PVAppleScriptHelper::isKeynoteOpen()) {
        if (!PVAppleScriptHelper::isKeynotePlay()) {
            runScript(PVAppleScriptHelper::keynotePlay());
            later(kBlackAfterPlayMs, [] { runScript(PVAppleScriptHelper::keynoteBlack()); });
        } else {
            runScript(PVAppleScriptHelper::keynoteBlack());
        }
    } else if (PVAppleScriptHelper::isPPTOpen()) {
        if (!PVAppleScriptHelper::isPPTPlay()) {
            DXLogDebug("ppt not playing");
            runScript(PVAppleScriptHelper::pptPlay());
            later(kBlackAfterPlayMs, [] { runScript(PVAppleScriptHelper::pptBlack()); });
        } else {
            runScript(PVAppleScriptHelper::pptBlack());
        }
    } else {
        DXLogDebug("Neither keynote or PPT is open, directly show blackout screen.");
    }
}

void PVHIDEventHandler::startStop(unsigned char previous, unsigned char state)
{
    hotButtonPressed.set(state);
    if (state == 0 || previous != 0) {
        return;
    }
    if (PVAppleScriptHelper::isKeynoteOpen()) {
        runScript(PVAppleScriptHelper::isKeynotePlay() ? PVAppleScriptHelper::keynoteStop()
                                                       : PVAppleScriptHelper::keynotePlay());
    } else if (PVAppleScriptHelper::isPPTOpen()) {
        runScript(PVAppleScriptHelper::isPPTPlay() ? PVAppleScriptHelper::pptStop()
                                                   : PVAppleScriptHelper::pptPlay());
    } else {
        DXLogDebug("Neither keynote or PPT is open");
    }
}

int PVHIDEventHandler::didPressHotButton(unsigned char state)
{
    if (hotButtonPressed.value() == state || hotButtonLock_) {
        return 0;
    }
    const Guard guard(hotButtonLock_);
    const unsigned char previous = hotButtonPressed.value();
    const bool freshClick = state == 1 && previous == 0;
    switch (parts_.models.settingDevice().buttonSetting.value()) {
    case PVButtonModeBlackout:
        blackout(previous, state);
        break;
    case PVButtonModeSlideShow:
        startStop(previous, state);
        break;
    case PVButtonModeCursor:
        // The button-mode actions see the click before control is taken.
        hotButtonPressed.set(state);
        if (freshClick) {
            setActivate(true);
        }
        break;
    case PVButtonModeHighlighter:
    case PVButtonModeMagnifier:
        // Control is taken before the button-mode actions see the click.
        if (freshClick) {
            setActivate(true);
        }
        hotButtonPressed.set(state);
        break;
    default:
        return 0;
    }
    if (state == 1) {
        later(kClickResetMs, [this] { hotButtonPressed.set(0); });
    }
    return 0;
}

int PVHIDEventHandler::didPressPointerButton(unsigned char pressed)
{
    const Guard guard(pointerButtonLock_);
    if (!guard.entered()) {
        return 0;
    }
    if (pressed == 1 && !pointerButtonPressed.value()) {
        parts_.overlays.startShowingAtPoint(centreOf(pickScreen()), PVOverlayControlPointer);
        setActivate(false);
    } else if (pressed == 0 && pointerButtonPressed.value()) {
        parts_.overlays.dismissControl(PVOverlayControlPointer);
    }
    pointerButtonPressed.set(pressed != 0);
    return 0;
}

QPointF PVHIDEventHandler::scaled(double dx, double dy) const
{
    const double factor = speedScale(parts_.models.settingDevice().pointerSpeed()) * kMovementFactor;
    return QPointF(dx * factor, dy * factor);
}

void PVHIDEventHandler::receivePointerPosition(double dx, double dy)
{
    parts_.overlays.setCenterDiffer(scaled(dx, dy), false);
}

void PVHIDEventHandler::receiveMousePosition(double dx, double dy)
{
    switch (parts_.models.settingDevice().buttonSetting.value()) {
    case PVButtonModeBlackout:
    case PVButtonModeSlideShow:
        setActivate(false);
        break;
    case PVButtonModeCursor:
    case PVButtonModeHighlighter:
        parts_.cursor.moveCursorDiffer(scaled(dx, dy), hotButtonPressed.value() == 2);
        break;
    case PVButtonModeMagnifier:
        parts_.overlays.setCenterDiffer(scaled(dx, dy), false);
        break;
    default:
        break;
    }
}

std::optional<PVScreen> PVHIDEventHandler::pickScreen() const
{
    std::optional<PVScreen> screen;
    switch (parts_.models.settingDevice().presentDesktop()) {
    case PVPresentDesktopAutomatic:
        screen = parts_.overlays.currentScreen();
        break;
    case PVPresentDesktopExtended:
        if (!parts_.globals.extendedScreens().isEmpty()) {
            screen = parts_.globals.extendedScreens().first();
        }
        break;
    default:
        break;
    }
    return screen.has_value() ? screen : parts_.globals.primaryScreen();
}

QPointF PVHIDEventHandler::pickCenter() const
{
    return centreOf(pickScreen());
}

double PVHIDEventHandler::speedScale(uint64_t speed)
{
    static constexpr double kScales[] = {0.5, 0.75, 1.0, 1.25, 1.5};
    return speed < std::size(kScales) ? kScales[speed] : 1.0;
}

void PVHIDEventHandler::setActivate(bool flag)
{
    if (flag && !activate.value()) {
        const uint64_t generation = ++timerGeneration_;
        activateTimer_ = generation;
        activateDate_ = QDateTime::currentDateTimeUtc();
        later(kActivateTimeoutMs, [this, generation] {
            if (activateTimer_ == generation) {
                activateTimerAction();
            }
        });
    } else if (!flag) {
        activateTimer_.reset();
    }
    activate.set(flag);
}

void PVHIDEventHandler::activateTimerAction()
{
    setActivate(false);
}

void PVHIDEventHandler::later(int64_t delayMs, std::function<void()> work)
{
    PVMainQueue::afterMilliseconds(delayMs, [alive = std::weak_ptr<char>(life_), work = std::move(work)] {
        if (!alive.expired()) {
            work();
        }
    });
}
