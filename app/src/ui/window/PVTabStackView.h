#pragma once

// The row of the settings window's four tabs, of equal width, framed by a
// top line and five vertical lines. A click on a tab asks the selection
// block; the row changes its selection only when told to.

#include <QList>
#include <QWidget>
#include <functional>

class PVButton;
class PVLineView;
class PVTabButton;

class PVTabStackView : public QWidget
{
    Q_OBJECT

  public:
    /// (current selection, requested index).
    using SelectionBlock = std::function<void(quint64, quint64)>;

    static constexpr int kTabCount = 4;
    static constexpr double kLineWidth = 1.6;
    /// Title keys of the tabs, in order.
    static const char* const kTitleKeys[kTabCount];

    explicit PVTabStackView(QWidget* parent = nullptr);

    quint64 selection() const { return selection_; }
    /// Stores the index and selects the tab of that index.
    void setSelection(quint64 index);
    /// Marks the tab whose tagInteger is `index` selected and the others not.
    void setupSelection(quint64 index);

    const SelectionBlock& selectionBlock() const { return selectionBlock_; }
    void setSelectionBlock(SelectionBlock block) { selectionBlock_ = std::move(block); }

    void tabButtonAction(PVButton* sender);

    const QList<PVTabButton*>& tabButtons() const { return tabButtons_; }
    const QList<PVLineView*>& verticalLines() const { return verticalLines_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    quint64 selection_ = 0;
    SelectionBlock selectionBlock_;
    QList<PVTabButton*> tabButtons_;
    PVLineView* topLine_;
    QList<PVLineView*> verticalLines_;
};
