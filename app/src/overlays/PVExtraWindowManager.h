#pragma once

// Every overlay the presenter draws over the screens: the pointer image, the
// magnifier glass and the magnified capture. Each kind that is shown has one
// window controller per screen; all of them share one centre in global
// screen coordinates (bottom-left origin, y up), which the manager moves and
// keeps on a screen at its edges. Main thread only.

#include "overlays/PVMagnifierWindowController.h"
#include "overlays/PVOverlayControl.h"
#include "overlays/PVPointerWindowController.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <functional>
#include <memory>
#include <optional>

class PVDevice;
class PVGlobalObjectManager;
class PVNotificationCenter;

class PVExtraWindowManager : public QObject
{
    Q_OBJECT

  public:
    using PointerControllers = std::optional<QList<std::shared_ptr<PVPointerWindowController>>>;
    using MagnifierControllers = std::optional<QList<std::shared_ptr<PVMagnifierWindowController>>>;
    /// The settings device whose pointer style and size the pointer shows.
    using SettingDevice = std::function<const PVDevice&()>;

    /// The application's manager: the screens of the global object manager,
    /// the settings device of the model manager, the default notification
    /// centre.
    static PVExtraWindowManager& sharedInstance();

    /// Follows the style and size notifications of `center` from now on.
    PVExtraWindowManager(const PVGlobalObjectManager& globals, SettingDevice settingDevice,
                         PVNotificationCenter& center, QObject* parent = nullptr);
    ~PVExtraWindowManager() override;

    /// Shows an overlay of the kind on every screen, centred at the point.
    /// Kinds other than 1, 2 and 3 change nothing.
    void startShowingAtPoint(QPointF point, quint64 control);
    /// Removes every overlay of the kind and clears the edge state.
    void dismissControl(quint64 control);
    /// Hides, or shows again, the image of every pointer overlay of the kind
    /// (1 or 2), keeping its windows.
    void hide(bool hide, quint64 control);
    /// Moves the centre of every overlay to the point. A centre leaving all
    /// screens from inside one is first held on that screen's edge; with
    /// `bounded` it is always held inside its screen and passes on to a
    /// neighbour only from the edge.
    void setCenter(QPointF point, bool bounded);
    /// Moves the centre by the displacement.
    void setCenterDiffer(QPointF displacement, bool bounded);

    QPointF currentCenter() const { return currentCenter_; }
    /// The screen the centre was last placed on, while it is still connected.
    std::optional<PVScreen> currentScreen() const;
    bool isInterior() const { return isInterior_; }
    bool isOnEdge() const { return isOnEdge_; }

    const PointerControllers& pwcs() const { return pwcs_; }
    void setPwcs(PointerControllers controllers) { pwcs_ = std::move(controllers); }
    const MagnifierControllers& mwcs() const { return mwcs_; }
    void setMwcs(MagnifierControllers controllers) { mwcs_ = std::move(controllers); }

    /// Gives every pointer overlay the settings device's current pointer
    /// style image and size.
    void updatePointerNotification();

  private:
    std::optional<PVScreen> screenContaining(QPointF point) const;

    const PVGlobalObjectManager& globals_;
    SettingDevice settingDevice_;
    PVNotificationCenter& center_;
    PointerControllers pwcs_;
    MagnifierControllers mwcs_;
    QPointF currentCenter_;
    std::optional<PVScreen> currentScreen_;
    bool isInterior_ = false;
    bool isOnEdge_ = false;
};
