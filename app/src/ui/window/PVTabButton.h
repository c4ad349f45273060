#pragma once

// One tab of the settings window's tab row: a centred title that shrinks
// until it fits, white when selected, grey otherwise with a rule along its
// bottom. Its index is its tagInteger.

#include "ui/controls/PVButton.h"

class QLabel;

class PVTabButton : public PVButton
{
    Q_OBJECT

  public:
    /// The title keeps this much room inside its tab, together.
    static constexpr double kTitleMargin = 10.0;
    /// The title never gets smaller than this.
    static constexpr int kSmallestFontSize = 6;
    static constexpr double kRuleWidth = 1.6;

    explicit PVTabButton(QWidget* parent = nullptr);

    void setLocalizedKey(const QString& key) override;
    QLabel* textField() const { return textField_; }

    /// Background in the current state.
    QColor backgroundColor() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void shrinkTitleToFit(double width);
    void layoutTitle();

    QLabel* textField_;
};
