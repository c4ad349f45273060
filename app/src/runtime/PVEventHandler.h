#pragma once

// The button-mode actions: turns every change of the device event handler's
// `activate`, `pointerButtonPressed` and `hotButtonPressed` and of the
// settings device's button mode into cursor control, overlay control and the
// second presentation program's pen, by the current button mode. It keeps no
// state: each decision comes from the old and new value of one change and
// from the other parts as they are now. Main thread only; the changes arrive
// synchronously, inside the setters.

#include <QObject>
#include <QString>
#include <cstdint>

class PVCursorManager;
class PVExtraWindowManager;
class PVHIDEventHandler;
class PVModelManager;

/// The parts whose changes are observed and the parts that act.
struct PVEventHandlerParts
{
    PVHIDEventHandler& handler;
    PVModelManager& models;
    PVExtraWindowManager& overlays;
    PVCursorManager& cursor;
};

class PVEventHandler : public QObject
{
    Q_OBJECT

  public:
    /// The application's actions over the shared handler and managers.
    /// Created on first use, on the main thread.
    static PVEventHandler& sharedInstance();

    /// Between hiding the glass and showing the magnified capture of a hold.
    static constexpr int64_t kCaptureDelayMs = 50;

    explicit PVEventHandler(PVEventHandlerParts parts, QObject* parent = nullptr);

    /// Starts observing `activate`, `pointerButtonPressed` and
    /// `hotButtonPressed` of the handler and `buttonSetting` of the settings
    /// device as it is now. Each observation first reports the current value
    /// once, with the old value read as 0. Call once.
    void startObserving();

    /// One change of an observed property of `object` (the handler or the
    /// settings device).
    void observeValueForKeyPath(const QString& keyPath, const void* object, uint64_t oldValue,
                                uint64_t newValue);

  private:
    void cursorMode(const QString& keyPath, uint64_t oldValue, uint64_t newValue);
    void highlighterMode(const QString& keyPath, uint64_t oldValue, uint64_t newValue);
    void magnifierMode(const QString& keyPath, uint64_t oldValue, uint64_t newValue);
    /// Takes control of the pointer and moves it to the centre of the
    /// presentation screen.
    void takeControlAtPresentationScreen();
    /// No magnified capture is shown.
    bool noCapture() const;
    bool glassShown() const;
    /// Shows the glass at the presentation screen's centre unless a glass or
    /// a magnified capture is shown.
    void showGlassIfNeeded();
    bool controllingWhileActive() const;
    /// Ends any drag and gives up control of the pointer.
    void releaseControl();
    /// The button goes down (or up) for a drag, with the long-press line.
    void startLongPressDrag();
    void endLongPressDrag();

    PVEventHandlerParts parts_;
};
