#pragma once

// The first tab: what the presenter's hot button does, one of the five button
// modes, and two shortcuts (to the pointer style tab and to the tutorial). A
// choice is written at once into the settings device, which the runtime
// observes, and into buttonOnlyMode, which the receiver's mode report
// carries; the window stores it when it closes and Cancel puts it back.

#include "ui/window/PVViewController.h"

#include <QList>

class PVBorderView;
class PVButton;
class PVMainViewModel;
class PVOptionButton;
class PVRoundButton;
class QLabel;

class PVButtonSettingViewController : public PVViewController
{
    Q_OBJECT

  public:
    static constexpr int kModeCount = 5;
    /// Label keys of the options, by mode: blackout, start/stop, cursor,
    /// highlighter, magnifier.
    static const char* const kModeKeys[kModeCount];

    explicit PVButtonSettingViewController(PVMainViewModel& model, QWidget* parent = nullptr);

    /// Shows the settings device's mode.
    void loadInitialState();
    /// Marks the option of `mode` and sets buttonOnlyMode for it; the
    /// settings device is not written.
    void setButtonMode(quint64 mode);
    void setupButtonModeAppearence(quint64 mode);

    /// The option's mode becomes the settings device's.
    void buttonModeButtonAction(PVButton* sender);
    /// Switches the window to the pointer style tab.
    void pointerStylesButtonAction();
    /// Asks for the tutorial.
    void tutorialButtonAction();

    quint64 buttonMode() const { return buttonMode_; }
    PVBorderView* firstContainer() const { return firstContainer_; }
    QWidget* settingButtonContainer() const { return settingButtonContainer_; }
    /// The option buttons in mode order.
    const QList<PVOptionButton*>& optionButtons() const { return optionButtons_; }
    PVRoundButton* pointerStyleButton() const { return pointerStyleButton_; }
    PVRoundButton* tutorialButton() const { return tutorialButton_; }

  protected:
    void viewWillAppear() override;

  private:
    void setupUIIfNeeded();

    PVMainViewModel& model_;
    quint64 buttonMode_ = 0;
    PVBorderView* firstContainer_;
    QLabel* titleTextField_;
    QWidget* settingButtonContainer_;
    QList<PVOptionButton*> optionButtons_;
    PVRoundButton* pointerStyleButton_;
    PVRoundButton* tutorialButton_;
};
