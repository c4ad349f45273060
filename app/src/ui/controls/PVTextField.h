#pragma once

// A label for longer texts: when it wraps, it asks for a fixed width of 196
// and the height its text needs at that width.

#include <QLabel>

class PVTextField : public QLabel
{
    Q_OBJECT

  public:
    static constexpr int kWrappingWidth = 196;

    explicit PVTextField(QWidget* parent = nullptr);

    QSize sizeHint() const override;
};
