#pragma once

// A link: a left-aligned label whose text and attributes the owner sets,
// with the pointing-hand cursor over it.

#include "ui/controls/PVButton.h"

class QLabel;

class PVHyperlinkButton : public PVButton
{
    Q_OBJECT

  public:
    explicit PVHyperlinkButton(QWidget* parent = nullptr);

    QLabel* label() const { return label_; }
    QSize sizeHint() const override;

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void layoutSubviews();

    QLabel* label_;
};
