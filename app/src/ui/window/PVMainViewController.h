#pragma once

// The settings window's content: the title bar, the tab row over four page
// containers, the page shown while no receiver is present, the presenter
// icon, and OK and Cancel. Tabs change only through
// checkDirtyAndShowAlertWhenNeedChangeTab; the window's closing stores the
// settings, and Cancel first puts back the page edits. While the empty page
// shows it keeps saying whether a plugged-in receiver is refused.

#include "platform/PVNotFound.h"
#include "ui/window/PVViewController.h"

#include <QList>
#include <QRect>
#include <cstdint>

class QLabel;
class PVEmptyViewController;
class PVMainViewModel;
class PVPresenterIcon;
class PVRoundButton;
class PVTabStackView;
class PVWindowTitleView;

class PVMainViewController : public PVViewController
{
    Q_OBJECT

  public:
    /// The index that names no tab.
    static constexpr quint64 kNotFound = PVNotFound;
    static constexpr int kTabCount = 4;
    /// Size of the settings window.
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 520;
    /// Where the tab row and the pages (or the empty page) lie in it.
    static constexpr int kMargin = 20;
    static constexpr QRect kTabRowRect{kMargin, 40, kWidth - 2 * kMargin, 36};
    static constexpr QRect kPagesRect{kMargin, 76, kWidth - 2 * kMargin, 364};
    /// How often the empty page asks, while shown, whether a plugged-in
    /// receiver is refused: as often as the reader looks for the receiver.
    static constexpr int64_t kReceiverAccessCheckMs = 500;

    explicit PVMainViewController(PVMainViewModel& model, QWidget* parent = nullptr);

    void setupSelection(quint64 index);
    void checkDirtyAndShowAlertWhenNeedChangeTab(quint64 from, quint64 to);
    void dongleInset(bool inserted);
    void okButtonAction();
    void cancelButtonAction();

    PVWindowTitleView* titleView() const { return titleView_; }
    QLabel* titleTextField() const { return titleTextField_; }
    PVTabStackView* tabStackView() const { return tabStackView_; }
    QWidget* tabPageViewContainer() const { return tabPageViewContainer_; }
    /// The page containers in tab order: button setting, pointer style, tool
    /// manager, help.
    const QList<QWidget*>& pageContainers() const { return pageContainers_; }
    QWidget* emptyViewContainer() const { return emptyViewContainer_; }
    const QList<PVViewController*>& viewControllers() const { return viewControllers_; }
    PVEmptyViewController* emptyViewController() const { return emptyViewController_; }
    PVPresenterIcon* presenterIcon() const { return presenterIcon_; }
    PVRoundButton* okButton() const { return okButton_; }
    PVRoundButton* cancelButton() const { return cancelButton_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void setupUIIfNeeded();
    void observeNotifications();
    void watchReceiverAccess();
    void checkReceiverAccess();

    PVMainViewModel& model_;
    bool observing_ = false;
    bool watchingAccess_ = false;
    PVWindowTitleView* titleView_;
    QLabel* titleTextField_;
    PVTabStackView* tabStackView_;
    QWidget* tabPageViewContainer_;
    QList<QWidget*> pageContainers_;
    QWidget* emptyViewContainer_;
    QList<PVViewController*> viewControllers_;
    PVEmptyViewController* emptyViewController_ = nullptr;
    PVPresenterIcon* presenterIcon_;
    PVRoundButton* okButton_;
    PVRoundButton* cancelButton_;
};
