#pragma once

// The third tab: the presenter paired with the receiver (the first icon of
// the presenter list), its firmware version and its battery level as text
// and icon. While no presenter is paired or no battery level is known, a
// message covers the details. The page reloads whenever it comes on screen
// and, while it is on screen, whenever the receiver reports pairing, battery
// or firmware.

#include "ui/controls/PVScrollView.h"
#include "ui/window/PVViewController.h"

#include <QString>
#include <optional>

class PVBorderView;
class PVImageView;
class PVMainViewModel;
class PVPresenterList;
class QLabel;

class PVToolManagerViewController : public PVViewController, public PVScrollViewDelegate
{
    Q_OBJECT

  public:
    explicit PVToolManagerViewController(PVMainViewModel& model, QWidget* parent = nullptr);

    /// Fills the page from the model.
    void loadState();
    /// Shows `version` with its label; an empty or missing one changes
    /// nothing.
    void setFirmwareVersion(const std::optional<QString>& version);
    /// Shows the level as text and icon; the "not found" level hides both.
    void setBattery(quint64 level);

    QVariantList dataArrayScrollView(PVScrollView* scrollView) override;

    /// The last firmware version shown (empty before the first).
    const QString& fmverstr() const { return fmverstr_; }
    /// Name of the battery icon shown (empty before the first level).
    const QString& batteryImageName() const { return batteryImageName_; }

    QWidget* firstContainer() const { return firstContainer_; }
    PVPresenterList* presenterList() const { return presenterList_; }
    QWidget* secondContainer() const { return secondContainer_; }
    QLabel* fwVersionTextField() const { return fwVersionTextField_; }
    QLabel* batteryTextField() const { return batteryTextField_; }
    PVImageView* batteryImageView() const { return batteryImageView_; }
    QWidget* seconde2Container() const { return seconde2Container_; }
    QLabel* containerMessageLabel() const { return containerMessageLabel_; }

  protected:
    void viewWillAppear() override;
    void viewDidDisappear() override;

  private:
    void setupUIIfNeeded();
    void stopObserving();

    PVMainViewModel& model_;
    QString fmverstr_;
    QString batteryImageName_;
    PVBorderView* frame_;
    QWidget* firstContainer_;
    QLabel* presenterTitleTextField_;
    PVPresenterList* presenterList_;
    QWidget* secondContainer_;
    QLabel* fwVersionTextField_;
    QLabel* batteryTextField_;
    PVImageView* batteryImageView_;
    QWidget* seconde2Container_;
    QLabel* containerMessageLabel_;
};
