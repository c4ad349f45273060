#pragma once

// The run-time facts that are no settings: whether the receiver is plugged
// in, whether a presenter is paired, the screens (refreshed whenever the
// screen provider reports a change) and the installed version text of the
// second presentation program. Main thread only.

#include "platform/PVScreen.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <optional>

class PVScreenProvider;

/// The last presenter event as one record.
struct PVPresenterInfo
{
    char dongleInsert = 0;
    qint16 pairState = 0;
    double dx = 0;
    double dy = 0;
    qint16 customizedPressed = 0;
    char cursorPressed = 0;
    quint64 battery = 0;
    char firmwarever[10] = {};
};

class PVGlobalObjectManager : public QObject
{
    Q_OBJECT

  public:
    /// The application's manager, over the screens of the Qt application.
    static PVGlobalObjectManager& sharedInstance();

    explicit PVGlobalObjectManager(PVScreenProvider& screens, QObject* parent = nullptr);

    bool dongleInsert() const { return dongleInsert_; }
    void setDongleInsert(bool inserted) { dongleInsert_ = inserted; }
    bool pairedState() const { return pairedState_; }
    void setPairedState(bool paired) { pairedState_ = paired; }

    const std::optional<PVScreen>& primaryScreen() const { return primaryScreen_; }
    const QList<PVScreen>& allScreens() const { return allScreens_; }
    /// Every screen but the primary one (empty without screens).
    const QList<PVScreen>& extendedScreens() const { return extendedScreens_; }

    /// The empty string until start-up writes what the program answered.
    const QString& pptVersion() const { return pptVersion_; }
    void setPptVersion(const QString& version) { pptVersion_ = version; }

    PVPresenterInfo presenterInfo() const { return presenterInfo_; }
    void setPresenterInfo(const PVPresenterInfo& info) { presenterInfo_ = info; }

    /// Reads the screens and the primary and extended ones anew.
    void updateScreenProperties();
    void didChangeScreenParameterNotificationAction() { updateScreenProperties(); }

  private:
    PVScreenProvider& screens_;
    bool dongleInsert_ = false;
    bool pairedState_ = false;
    std::optional<PVScreen> primaryScreen_;
    QList<PVScreen> allScreens_;
    QList<PVScreen> extendedScreens_;
    QString pptVersion_ = QStringLiteral("");
    PVPresenterInfo presenterInfo_;
};

/// (x, height of the primary screen's frame − y): between bottom-left screen
/// coordinates and top-left display coordinates; the height is 0 without a
/// primary screen.
QPointF PVFlipPointOnPrimaryScreen(double x, double y);
QPointF PVFlipPointOnPrimaryScreen(double x, double y, const PVGlobalObjectManager& manager);
