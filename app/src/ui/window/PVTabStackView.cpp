#include "ui/window/PVTabStackView.h"

#include "log/DXLog.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVLineView.h"
#include "ui/window/PVTabButton.h"

#include <QPointer>
#include <cmath>

const char* const PVTabStackView::kTitleKeys[kTabCount] = {"PV001", "PV004", "PV054", "PV023"};

PVTabStackView::PVTabStackView(QWidget* parent) : QWidget(parent)
{
    for (int i = 0; i < kTabCount; ++i) {
        auto* button = new PVTabButton(this);
        button->setLocalizedKey(QString::fromLatin1(kTitleKeys[i]));
        button->setTagInteger(static_cast<quint64>(i));
        button->setAction([row = QPointer<PVTabStackView>(this)](PVButton* sender) {
            if (row != nullptr) {
                row->tabButtonAction(sender);
            }
        });
        tabButtons_.append(button);
    }
    topLine_ = new PVLineView(themeBorderColor(), this);
    for (int i = 0; i <= kTabCount; ++i) {
        verticalLines_.append(new PVLineView(themeBorderColor(), this));
    }
    setupSelection(selection_);
}

void PVTabStackView::setSelection(quint64 index)
{
    selection_ = index;
    setupSelection(index);
}

void PVTabStackView::setupSelection(quint64 index)
{
    for (PVTabButton* button : tabButtons_) {
        button->setSelected(button->tagInteger() == index);
    }
    update();
}

void PVTabStackView::tabButtonAction(PVButton* sender)
{
    auto* tab = qobject_cast<PVTabButton*>(sender);
    if (tab == nullptr || !selectionBlock_) {
        return;
    }
    const SelectionBlock block = selectionBlock_;
    block(selection_, tab->tagInteger());
    DXLogDebug("Tab index %llu", static_cast<unsigned long long>(tab->tagInteger()));
}

void PVTabStackView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const double w = width();
    const double h = height();
    // Equal tabs: each edge at i/4 of the width, rounded, so they tile.
    for (int i = 0; i < kTabCount; ++i) {
        const int left = static_cast<int>(std::lround(w * i / kTabCount));
        const int right = static_cast<int>(std::lround(w * (i + 1) / kTabCount));
        tabButtons_[i]->setGeometry(left, 0, right - left, height());
    }
    topLine_->setLineRect(QRectF(0, 0, w, kLineWidth));
    verticalLines_.first()->setLineRect(QRectF(0, 0, kLineWidth, h));
    verticalLines_.last()->setLineRect(QRectF(w - kLineWidth, 0, kLineWidth, h));
    for (int i = 1; i < kTabCount; ++i) {
        const double centre = w * i / kTabCount;
        verticalLines_[i]->setLineRect(QRectF(centre - kLineWidth / 2, 0, kLineWidth, h));
    }
    for (PVLineView* line : verticalLines_) {
        line->raise();
    }
    topLine_->raise();
}
