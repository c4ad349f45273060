#pragma once

// The presenter's picture in a rounded blue frame. It does not react to the
// pointer unless its owner enables it, and it swallows right clicks.

#include "ui/controls/PVButton.h"

#include <QPointer>

class PVImageView;

class PVPresenterIcon : public PVButton
{
    Q_OBJECT

  public:
    static constexpr double kCornerRadius = 10.0;
    static constexpr double kBorderWidth = 2.0;
    /// Name of the application image the icon shows.
    static inline const char* const kImageName = "presenter01";

    explicit PVPresenterIcon(QWidget* parent = nullptr);
    PVPresenterIcon(quint64 style, QWidget* parent = nullptr);

    quint64 style() const { return style_; }

    /// A button the owner may attach; the icon never fills it.
    PVButton* button() const { return button_; }
    void setButton(PVButton* button) { button_ = button; }

    PVImageView* imageView() const { return imageView_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    quint64 style_ = 0;
    QPointer<PVButton> button_;
    PVImageView* imageView_;
};
