#include "tutorial/PVTutorialView.h"

#include "localisation/PVLocalizedKey.h"
#include "localisation/PVLocalizedStringManager.h"
#include "settings/PVPointerStyle.h"
#include "tutorial/PVTutorialSectionView.h"
#include "tutorial/PVTutorialViewDelegete.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVHyperlinkButton.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVThemeLabel.h"

#include <QLabel>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// One button mode on the page: the link (and section title) key, the icon
// before both, the step picture with its height over width, and where the
// "hold and move" caption lies over it (0: no caption).
struct ModeEntry
{
    const char* titleKey;
    const char* icon;
    const char* step;
    double stepRatio;
    double captionCentreYFactor;
};

// The step pictures' names do not follow the titles; each picture shows the
// mode of the section it belongs to.
constexpr std::array<ModeEntry, PVTutorialView::kModeCount> kModes{{
    {"PV003", "Start Stop", "Pelvaro_Blackout", 0.256038635969162, 0.0},
    {"PV002", "BlackOut", "Pelvaro_StartEnd", 0.5579710006713867, 0.0},
    {"PV045", "Magnify", "Pelvaro_MouseClick", 1.2881356477737427, 1.43},
    {"PV052", "Cursor", "Pelvaro_Magnifier", 1.2874395847320557, 1.43},
    {"PV046", "Highlighter ", "Pelvaro_Pen", 1.3389830589294434, 1.45},
}};

const QString kHoldAndMoveKey = QStringLiteral("PV058");

// Header geometry (points).
constexpr int kTitleTop = 20;
constexpr int kTitleLeading = 10;
constexpr int kLinksGap = 20;
constexpr int kLinkLeading = 53;
constexpr int kIconGap = 8;
constexpr int kIconSide = 16;
constexpr int kLegendGap = 30;
constexpr int kLegendIconSide = 30;
constexpr int kLegendLeading = 55;
constexpr int kLegendCaptionGap = 10;
constexpr int kLegendSpacing = 35;
constexpr int kHeaderBottom = 10;
constexpr int kPageBottom = 20;

QImage image(const char* name)
{
    return PVPointerStyle::resourceImage(QString::fromLatin1(name));
}

QLabel* legendCaption(const char* key, QWidget* parent)
{
    QLabel* caption = PVTutorialView::textFieldFactory();
    caption->setParent(parent);
    caption->setFont(themeFontSize(12));
    setLocalizedKey(caption, QString::fromLatin1(key));
    return caption;
}

// A label's own size, placed with its leading edge at `x` and its centre at
// `centreY`.
void placeCentred(QLabel* label, int x, int centreY)
{
    const QSize size = label->sizeHint();
    label->setGeometry(x, centreY - size.height() / 2, size.width(), size.height());
}

} // namespace

PVTutorialView::PVTutorialView(QWidget* parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setupUIIfNeeded();
}

QLabel* PVTutorialView::textFieldFactory()
{
    return createThemeLabel(themeTextBlackColor(), Qt::AlignLeft | Qt::AlignVCenter, nullptr);
}

PVTutorialViewDelegete* PVTutorialView::delegate() const
{
    if (delegateIsObject_ && delegateObject_ == nullptr) {
        return nullptr;
    }
    return delegate_;
}

void PVTutorialView::setDelegate(PVTutorialViewDelegete* delegate)
{
    delegate_ = delegate;
    delegateObject_ = dynamic_cast<QObject*>(delegate);
    delegateIsObject_ = delegateObject_ != nullptr;
}

void PVTutorialView::setSections(const QList<QWidget*>& sections)
{
    sections_ = sections;
    updateGeometry();
}

QList<PVTutorialSectionView*> PVTutorialView::sectionViews() const
{
    QList<PVTutorialSectionView*> views;
    for (QWidget* entry : sections_) {
        if (auto* section = qobject_cast<PVTutorialSectionView*>(entry)) {
            views.append(section);
        }
    }
    return views;
}

void PVTutorialView::setupUIIfNeeded()
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        delete child;
    }
    sections_.clear();
    links_.clear();
    linkIcons_.clear();
    buildHeader();
    buildSections();
    updateGeometry();
    layoutSubviews();
}

void PVTutorialView::buildHeader()
{
    header_ = new QWidget(this);
    sections_.append(header_);

    pageTitle_ = textFieldFactory();
    pageTitle_->setParent(header_);
    pageTitle_->setFont(themeBoldFontSize(18));
    setLocalizedKey(pageTitle_, QStringLiteral("PV055"));

    // The links show their text underlined in the page's text colour and
    // font: the attributes of the text win over the label's own font size.
    QFont linkFont = themeFont();
    linkFont.setUnderline(true);
    for (int i = 0; i < kModeCount; ++i) {
        auto* link = new PVHyperlinkButton(header_);
        link->label()->setFont(linkFont);
        link->label()->setText(PVLocalizedStringManager::sharedInstance().localizedStringAtKey(
            QString::fromLatin1(kModes[i].titleKey)));
        link->setTagInteger(static_cast<quint64>(i + 1));
        link->setAction([page = QPointer<PVTutorialView>(this)](PVButton* sender) {
            if (page != nullptr) {
                page->sectionButtonAction(sender);
            }
        });
        links_.append(link);

        auto* icon = new PVImageView(header_);
        icon->setScaling(PVImageView::Scaling::ProportionallyUpOrDown);
        icon->setImage(image(kModes[i].icon));
        linkIcons_.append(icon);
    }

    doubleClickIcon_ = new PVImageView(header_);
    doubleClickIcon_->setScaling(PVImageView::Scaling::ProportionallyUpOrDown);
    doubleClickIcon_->setImage(image("Pelvaro_DoubleClick_icon"));
    doubleClickCaption_ = legendCaption("PV056", header_);
    singleClickIcon_ = new PVImageView(header_);
    singleClickIcon_->setScaling(PVImageView::Scaling::ProportionallyDown);
    singleClickIcon_->setImage(image("Pelvaro_SingleClick_icon"));
    singleClickCaption_ = legendCaption("PV057", header_);
}

void PVTutorialView::buildSections()
{
    for (const ModeEntry& mode : kModes) {
        auto* section = new PVTutorialSectionView(this);
        section->icon()->setImage(image(mode.icon));
        setLocalizedKey(section->title(), QString::fromLatin1(mode.titleKey));
        section->step()->setImage(image(mode.step));
        section->setStepRatio(mode.stepRatio);
        if (mode.captionCentreYFactor > 0.0) {
            QLabel* caption = textFieldFactory();
            caption->setFont(themeFontSize(16));
            setLocalizedKey(caption, kHoldAndMoveKey);
            section->setCaption(caption, mode.captionCentreYFactor);
        }
        sections_.append(section);
    }
}

void PVTutorialView::sectionButtonAction(PVButton* sender)
{
    if (sender == nullptr) {
        return;
    }
    const quint64 index = sender->tagInteger();
    if (index >= static_cast<quint64>(sections_.size())) {
        return;
    }
    const double offset = offsetFromTop(sections_[static_cast<qsizetype>(index)]);
    if (PVTutorialViewDelegete* delegate = this->delegate()) {
        delegate->tutorialViewRequestToScrollOffset(this, offset);
    }
}

double PVTutorialView::offsetFromTop(const QWidget* target) const
{
    // The page runs from the top down, so a part's offset from the top is
    // its own top.
    return target != nullptr ? target->mapTo(this, QPoint(0, 0)).y() : 0.0;
}

int PVTutorialView::headerHeight() const
{
    int bottom = kTitleTop + pageTitle_->sizeHint().height() + kLinksGap;
    bottom += kModeCount * kLinkHeight;
    return bottom + kLegendGap + kLegendIconSide + kHeaderBottom;
}

int PVTutorialView::heightForWidth(int width) const
{
    int height = headerHeight();
    for (const PVTutorialSectionView* section : sectionViews()) {
        height += section->heightForWidth(width);
    }
    return height + kPageBottom;
}

QSize PVTutorialView::sizeHint() const
{
    const int width = std::max(this->width(), 1);
    return {width, heightForWidth(width)};
}

void PVTutorialView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void PVTutorialView::layoutHeader()
{
    header_->setGeometry(0, 0, width(), headerHeight());
    const QSize titleSize = pageTitle_->sizeHint();
    pageTitle_->setGeometry(kTitleLeading, kTitleTop, titleSize.width(), titleSize.height());

    int top = kTitleTop + titleSize.height() + kLinksGap;
    for (int i = 0; i < links_.size(); ++i) {
        PVHyperlinkButton* link = links_[i];
        link->setGeometry(kLinkLeading, top, link->sizeHint().width(), kLinkHeight);
        const int centreY = top + kLinkHeight / 2;
        linkIcons_[i]->setGeometry(kLinkLeading - kIconGap - kIconSide, centreY - kIconSide / 2, kIconSide,
                                   kIconSide);
        top += kLinkHeight;
    }

    const int legendTop = top + kLegendGap;
    const int legendCentreY = legendTop + kLegendIconSide / 2;
    doubleClickIcon_->setGeometry(kLegendLeading, legendTop, kLegendIconSide, kLegendIconSide);
    placeCentred(doubleClickCaption_, doubleClickIcon_->geometry().right() + 1 + kLegendCaptionGap, legendCentreY);
    singleClickIcon_->setGeometry(doubleClickCaption_->geometry().right() + 1 + kLegendSpacing, legendTop,
                                  kLegendIconSide, kLegendIconSide);
    placeCentred(singleClickCaption_, singleClickIcon_->geometry().right() + 1 + kLegendCaptionGap, legendCentreY);
}

void PVTutorialView::layoutSubviews()
{
    if (header_ == nullptr) {
        return;
    }
    layoutHeader();
    int top = header_->geometry().bottom() + 1;
    for (PVTutorialSectionView* section : sectionViews()) {
        const int height = section->heightForWidth(width());
        section->setGeometry(0, top, width(), height);
        section->layoutSubviews();
        top += height;
    }
}
