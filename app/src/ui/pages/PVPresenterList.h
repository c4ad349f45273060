#pragma once

// The row of paired presenters on the tool manager page: five presenter icons
// of equal size, 20 points apart, filling the list's width. Only the first is
// ever shown, opaque while a presenter is paired and transparent (keeping its
// place) otherwise. The list has no data source.

#include "ui/controls/PVScrollView.h"

#include <QList>

class PVPresenterIcon;

class PVPresenterList : public PVScrollView
{
    Q_OBJECT

  public:
    static constexpr int kIconCount = 5;
    static constexpr int kIconSpacing = 20;

    explicit PVPresenterList(QWidget* parent = nullptr);

    bool showOne() const { return showOne_; }
    void setShowOne(bool show) { showOne_ = show; }

    /// Makes the five icons once; then queues on the main queue the first
    /// icon's opacity for showOne.
    void reloadData() override;

    /// The icons in tag order (empty before the first reload).
    QList<PVPresenterIcon*> icons() const;
    /// The first icon's opacity now, 0 to 1.
    double firstIconOpacity() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void layoutIcons();

    bool showOne_ = false;
};
