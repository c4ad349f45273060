#pragma once

// The tutorial's page, built once: a header with the page title, one link
// per button mode (each with its small icon) and a legend of the double-
// and single-click icons, then one section per mode. A link asks the
// delegate to scroll its section to the top of the visible area. The page
// lays itself out from the top down: its height follows its width, as the
// step pictures keep their ratios.

#include <QList>
#include <QPointer>
#include <QWidget>

class QLabel;
class PVButton;
class PVHyperlinkButton;
class PVImageView;
class PVTutorialSectionView;
class PVTutorialViewDelegete;

class PVTutorialView : public QWidget
{
    Q_OBJECT

  public:
    static constexpr int kModeCount = 5;
    static constexpr int kLinkHeight = 22;

    explicit PVTutorialView(QWidget* parent = nullptr);

    /// A new text field of the page: transparent, no border, not selectable,
    /// left-aligned, in the theme's text colour and font.
    static QLabel* textFieldFactory();

    /// Not owned. A delegate that is also a QObject is forgotten when it is
    /// destroyed; any other must outlive the page or be unset first.
    PVTutorialViewDelegete* delegate() const;
    void setDelegate(PVTutorialViewDelegete* delegate);

    /// The header first, then the five sections.
    const QList<QWidget*>& sections() const { return sections_; }
    void setSections(const QList<QWidget*>& sections);
    /// The five sections, in page order.
    QList<PVTutorialSectionView*> sectionViews() const;

    QWidget* header() const { return header_; }
    QLabel* pageTitle() const { return pageTitle_; }
    /// The links in page order, tags 1 to 5, and their icons.
    const QList<PVHyperlinkButton*>& links() const { return links_; }
    const QList<PVImageView*>& linkIcons() const { return linkIcons_; }
    PVImageView* doubleClickIcon() const { return doubleClickIcon_; }
    QLabel* doubleClickCaption() const { return doubleClickCaption_; }
    PVImageView* singleClickIcon() const { return singleClickIcon_; }
    QLabel* singleClickCaption() const { return singleClickCaption_; }

    /// A link's action: asks the delegate to scroll to the entry of
    /// `sections` named by the sender's tag (0 the header, 1 to 5 the
    /// sections); a tag naming no entry asks nothing.
    void sectionButtonAction(PVButton* sender);
    /// Distance from the page's top to `target`'s top.
    double offsetFromTop(const QWidget* target) const;

    /// Lays the page out for its current width now (also while the page is
    /// not shown, when no resize event comes).
    void layoutSubtreeIfNeeded() { layoutSubviews(); }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void setupUIIfNeeded();
    void buildHeader();
    void buildSections();
    int headerHeight() const;
    void layoutHeader();
    void layoutSubviews();

    PVTutorialViewDelegete* delegate_ = nullptr;
    QPointer<QObject> delegateObject_;
    bool delegateIsObject_ = false;
    QList<QWidget*> sections_;
    QWidget* header_ = nullptr;
    QLabel* pageTitle_ = nullptr;
    QList<PVHyperlinkButton*> links_;
    QList<PVImageView*> linkIcons_;
    PVImageView* doubleClickIcon_ = nullptr;
    QLabel* doubleClickCaption_ = nullptr;
    PVImageView* singleClickIcon_ = nullptr;
    QLabel* singleClickCaption_ = nullptr;
};
