#pragma once

// Places the tiles of the pointer style grid: five equal square columns 28
// points apart with 18 points at either side, rows 5 points apart, the first
// 14 points below the top. The document ends 7 points below the last tile
// that shows a style, so tiles kept only to fill a row take no room below
// it. Items are placed in the order they were added.

#include <QLayout>
#include <QList>

class PVPointerStyleGridLayout : public QLayout
{
    Q_OBJECT

  public:
    static constexpr int kColumns = 5;
    static constexpr int kSideMargin = 18;
    static constexpr int kColumnSpacing = 28;
    static constexpr int kRowSpacing = 5;
    static constexpr int kTopMargin = 14;
    static constexpr int kBottomMargin = 7;

    explicit PVPointerStyleGridLayout(QWidget* parent = nullptr);
    ~PVPointerStyleGridLayout() override;

    /// How many of the items show a style: the last of them pins the height.
    int styleCount() const { return styleCount_; }
    void setStyleCount(int count);

    /// A tile's side for a document `width` wide.
    static double tileSide(int width);
    /// Where item `index` lies in a document `width` wide.
    static QRect tileRect(int index, int width);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;

  private:
    QList<QLayoutItem*> items_;
    int styleCount_ = 0;
};
