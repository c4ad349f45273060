#pragma once

// The page shown over the tab pages while no receiver is plugged in.

#include "ui/window/PVViewController.h"

class QLabel;

class PVEmptyViewController : public PVViewController
{
    Q_OBJECT

  public:
    /// Key of the text the page shows.
    static inline const char* const kMessageKey = "PV043";

    explicit PVEmptyViewController(QWidget* parent = nullptr);

    QLabel* messageLabel() const { return messageLabel_; }

  private:
    QLabel* messageLabel_;
};
