#pragma once

// The second tab: the pointer styles as a grid of tiles, the pointer size
// (three steps) and speed (five steps) as sliders, the screen to present on
// (primary, first extended, automatic) and a reset of every pointer setting
// after a yes/no question. A click on a tile makes its style the settings
// device's at once and tells the overlays; the import tile opens a file
// chooser and turns the chosen image into a new custom style; a custom
// style's tile can delete it. Every change goes into the settings device at
// once; the page holds no settings of its own and reads them anew on each
// appearance, so a Cancel or a reset shows the next time.

#include "settings/PVPointerStyle.h"
#include "settings/PVPointerStyleList.h"
#include "ui/controls/DXSlider.h"
#include "ui/window/PVViewController.h"

#include <QList>
#include <functional>
#include <optional>

class PVBorderView;
class PVButton;
class PVMainViewModel;
class PVOpenPanel;
class PVPresentDesktopItem;
class PVRoundButton;
class QLabel;

class PVPointerStyleViewController : public PVViewController,
                                     public PVPointerStyleListDelegate,
                                     public DXSliderDelegate
{
    Q_OBJECT

  public:
    using OpenFileCompletion = std::function<void(bool success, const std::optional<PVPointerStyle>& style)>;
    /// (removed the image file, nothing: there is no second result).
    using DeleteCompletion = std::function<void(bool success, std::nullptr_t)>;

    static constexpr quint64 kSizeLevels = 3;
    static constexpr quint64 kSpeedLevels = 5;
    /// Length of a tick mark across the sliders' track.
    static constexpr double kTickLength = 15.0;

    explicit PVPointerStyleViewController(PVMainViewModel& model, QWidget* parent = nullptr);

    /// Fills the page from the settings device: size, styles and the chosen
    /// one, screen choice, speed.
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

    /// A new size step becomes the settings device's, the grid's and the
    /// overlays'; the same step again does nothing.
    void sizeSliderAction(DXSlider* slider);
    /// A new speed step becomes the settings device's.
    void speedSliderAction(DXSlider* slider);
    /// The item's screen choice becomes the page's and the settings device's.
    void presentDesktopButtonAction(PVButton* item);
    /// Asks whether to reset every pointer setting; yes resets and reloads.
    void resetButtonAction();

    quint64 presentDesktop() const { return presentDesktop_; }
    /// Marks the item of `value` (no item for a value outside 0-2).
    void setPresentDesktop(quint64 value);
    void updatePresentDesktopAppearence(quint64 value);

    /// A line of kTickLength across the track through the mark's centre.
    std::optional<QPainterPath> tickMarkStyleAtIndex(DXSlider* slider, quint64 index) override;

    PVPointerStyleList* pointerStyleList() const { return pointerStyleList_; }
    DXSlider* sizeSlider() const { return sizeSlider_; }
    DXSlider* speedSlider() const { return speedSlider_; }
    QWidget* sliderSeperator() const { return sliderSeperator_; }
    QWidget* topWhiteFakeMask() const { return topWhiteFakeMask_; }
    QWidget* bottomWhiteFakeMask() const { return bottomWhiteFakeMask_; }
    QLabel* presentTitleTextField() const { return presentTitleTextField_; }
    QWidget* presentContainer() const { return presentContainer_; }
    QWidget* speedContainer() const { return speedContainer_; }
    PVRoundButton* resetButton() const { return resetButton_; }
    /// The screen choice items in tag order.
    const QList<PVPresentDesktopItem*>& presentDesktopItems() const { return presentDesktopItems_; }

    /// The chooser the import opens (the application's by default); not
    /// owned, it must outlive the page.
    void setOpenPanel(PVOpenPanel* panel) { openPanel_ = panel; }

  protected:
    void viewWillAppear() override;

  private:
    void setupUIIfNeeded();
    void setupSlider(DXSlider* slider, quint64 levels);
    /// Where `style` lies among the page's styles, by "_id"; -1 when absent.
    qsizetype indexOfStyle(const PVPointerStyle& style) const;

    PVMainViewModel& model_;
    PVOpenPanel* openPanel_;
    QList<PVPointerStyle> pointerStyles_;
    quint64 presentDesktop_ = 0;
    PVBorderView* frame_;
    PVPointerStyleList* pointerStyleList_;
    QWidget* topWhiteFakeMask_;
    QWidget* bottomWhiteFakeMask_;
    QWidget* sliderSeperator_;
    QLabel* sizeTitleTextField_;
    DXSlider* sizeSlider_;
    QWidget* speedContainer_;
    DXSlider* speedSlider_;
    QLabel* presentTitleTextField_;
    QWidget* presentContainer_;
    QList<PVPresentDesktopItem*> presentDesktopItems_;
    PVRoundButton* resetButton_;
};
