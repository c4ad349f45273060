#pragma once

// The document view of a scroll view: its content runs from the top down,
// so it grows downwards as items are added.

#include <QWidget>

class PVFlippedView : public QWidget
{
    Q_OBJECT

  public:
    explicit PVFlippedView(QWidget* parent = nullptr) : QWidget(parent) {}

    /// Its origin is the top-left corner.
    bool isFlipped() const { return true; }
};
