#pragma once

// The page shown over the tab pages while no receiver can be used: either
// none is plugged in, or one is plugged in but this user may not open it, in
// which case the page names the udev rule that grants the access.

#include "ui/window/PVViewController.h"

class QLabel;

class PVEmptyViewController : public PVViewController
{
    Q_OBJECT

  public:
    /// Key of the text shown while no receiver is plugged in.
    static inline const char* const kMessageKey = "PV043";
    /// Key of the text shown while a receiver is plugged in but refused.
    static inline const char* const kAccessDeniedKey = "Receiver not accessible";

    explicit PVEmptyViewController(QWidget* parent = nullptr);

    /// Shows the refused receiver's text (true) or the missing one's.
    void setReceiverAccessDenied(bool denied);
    bool receiverAccessDenied() const { return accessDenied_; }

    QLabel* messageLabel() const { return messageLabel_; }

  private:
    QLabel* messageLabel_;
    bool accessDenied_ = false;
};
