#pragma once

// One of the title bar's three round window buttons (close, minimise, zoom),
// drawn by the application: a coloured disc, grey when disabled, with its
// symbol while the pointer is over the button group.

#include <QAbstractButton>

class PVWindowStandardButton : public QAbstractButton
{
    Q_OBJECT

  public:
    enum class Kind
    {
        Close = 0,
        Minimize = 1,
        Zoom = 2,
    };
    static constexpr int kDiameter = 12;

    PVWindowStandardButton(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    /// Whether the symbol shows; the group sets it.
    bool showsSymbol() const { return showsSymbol_; }
    void setShowsSymbol(bool shows);

    /// Fill of the disc in the current state.
    QColor discColor() const;

    QSize sizeHint() const override { return {kDiameter, kDiameter}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Kind kind_;
    bool showsSymbol_ = false;
};
