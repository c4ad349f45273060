#pragma once

// A push button with rounded corners and a centred localised label (OK,
// Cancel, reset, upgrade, the alert's buttons). Its border shows the state:
// blue when selected or pressed with the pointer inside, light blue when
// only hovered or pressed, grey otherwise.

#include "ui/controls/PVButton.h"

#include <QColor>

class QLabel;

class PVRoundButton : public PVButton
{
    Q_OBJECT

  public:
    static constexpr double kBorderWidth = 2.0;
    static constexpr double kCornerRadius = 5.0;

    explicit PVRoundButton(QWidget* parent = nullptr);

    /// Fill inside the border; an invalid colour (the default) fills white.
    QColor backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const QColor& color);

    /// The border colour of the current state.
    QColor borderColor() const;

    void updateLayout() override;
    QSize sizeHint() const override;

    QLabel* label() const { return label_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutSubviews();

    QColor backgroundColor_;
    QLabel* label_;
};
