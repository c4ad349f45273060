#pragma once

// The second tab: the pointer styles as a grid of tiles. A click on a tile
// makes its style the settings device's at once and tells the overlays; the
// import tile opens a file chooser and turns the chosen image into a new
// custom style; a custom style's tile can delete it. The page holds no
// settings of its own: each appearance reads them from the settings device.

#include "settings/PVPointerStyle.h"
#include "settings/PVPointerStyleList.h"
#include "ui/window/PVViewController.h"

#include <QList>
#include <functional>
#include <optional>

class PVBorderView;
class PVMainViewModel;
class PVOpenPanel;

class PVPointerStyleViewController : public PVViewController, public PVPointerStyleListDelegate
{
    Q_OBJECT

  public:
    using OpenFileCompletion = std::function<void(bool success, const std::optional<PVPointerStyle>& style)>;
    /// (removed the image file, nothing: there is no second result).
    using DeleteCompletion = std::function<void(bool success, std::nullptr_t)>;

    explicit PVPointerStyleViewController(PVMainViewModel& model, QWidget* parent = nullptr);

    /// Fills the page from the settings device.
    void loadInitialState();

    const QList<PVPointerStyle>& pointerStyles() const { return pointerStyles_; }
    /// Keeps `styles` and rebuilds the grid from them.
    void setPointerStyles(const QList<PVPointerStyle>& styles);

    /// Chooses `style` (none, or one not on the page, stands for the
    /// page's first): the import tile opens the file chooser when
    /// `consideringAdditionTag`, any other style becomes the settings
    /// device's and the overlays hear of it.
    void performSelectPointerStyleItem(const std::optional<PVPointerStyle>& style, bool consideringAdditionTag);
    /// Marks the settings device's style in the grid.
    void updatePointerStyleAppearence();
    /// Lets the user choose an image file and copies it into the document
    /// folder as a new custom style; `completion` hears the outcome.
    void openFile(OpenFileCompletion completion);
    /// Deletes a custom style's image file and record; `complete` hears
    /// whether the file was removed (the record goes all the same).
    void deletePointer(const PVPointerStyle& style, DeleteCompletion complete);

    QVariantList dataArrayScrollView(PVScrollView* scrollView) override;
    void changeSelectionAtPointerStyleList(PVPointerStyleList* list) override;
    void pointerStyleListDeletePointerStyle(PVPointerStyleList* list, const PVPointerStyle& style) override;

    PVPointerStyleList* pointerStyleList() const { return pointerStyleList_; }

    /// The chooser the import opens (the application's by default); not
    /// owned, it must outlive the page.
    void setOpenPanel(PVOpenPanel* panel) { openPanel_ = panel; }

  protected:
    void viewWillAppear() override;

  private:
    void setupUIIfNeeded();
    /// Where `style` lies among the page's styles, by "_id"; -1 when absent.
    qsizetype indexOfStyle(const PVPointerStyle& style) const;

    PVMainViewModel& model_;
    PVOpenPanel* openPanel_;
    QList<PVPointerStyle> pointerStyles_;
    PVBorderView* frame_;
    PVPointerStyleList* pointerStyleList_;
};
