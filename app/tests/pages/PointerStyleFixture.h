#pragma once

// The settings window on its pointer style tab, over the real model on a
// fresh settings folder, with a file chooser the test answers and a count
// of the style and size notifications.

#include "SettingsWindowFixture.h"
#include "platform/PVOpenPanel.h"
#include "settings/PVFilePathManager.h"
#include "settings/PVPointStyleItem.h"
#include "settings/PVPointerStyleList.h"
#include "ui/pages/PVPointerStyleViewController.h"

#include <QObject>
#include <optional>

/// Remembers every chooser it is asked to show; the test answers the last.
class ScriptedOpenPanel final : public PVOpenPanel
{
  public:
    void beginWithCompletion(QWidget* parent, const Options& options, Completion completion) override
    {
        ++shown;
        lastParent = parent;
        lastOptions = options;
        pending = std::move(completion);
    }
    /// Closes the chooser with OK and `paths`, or cancels it without.
    void answer(std::optional<QStringList> paths)
    {
        Completion completion = std::move(pending);
        pending = nullptr;
        ASSERT_TRUE(completion) << "no chooser is open";
        completion(paths.has_value(), paths.value_or(QStringList()));
    }

    int shown = 0;
    QWidget* lastParent = nullptr;
    Options lastOptions;
    Completion pending;
};

class PointerStylePage : public SettingsWindow
{
  protected:
    void SetUp() override
    {
        SettingsWindow::SetUp();
        page = qobject_cast<PVPointerStyleViewController*>(main->viewControllers()[1]);
        ASSERT_NE(page, nullptr);
        page->setOpenPanel(&panel);
        PVNotificationCenter& center = PVNotificationCenter::defaultCenter();
        center.addObserver(&listener, kPVUINotificationNameChangeStyle, [this](const PVNotification&) {
            ++styleChanges;
        });
        center.addObserver(&listener, kPVUINotificationNameChangeSize, [this](const PVNotification&) {
            ++sizeChanges;
        });
    }
    void TearDown() override { PVNotificationCenter::defaultCenter().removeObserver(&listener); }

    /// Opens the window on the pointer style tab; the counts start at zero.
    void openOnPage()
    {
        open();
        clickTab(1);
        runMainQueue();
        styleChanges = 0;
        sizeChanges = 0;
    }

    /// Replaces the stored style records: (id, tag, image name).
    void setStyleRecords(const std::vector<std::tuple<quint64, quint64, QString>>& records)
    {
        QVariantList styles;
        for (const auto& [id, tag, name] : records) {
            styles.append(QVariantMap{{"_id", id}, {"tag", tag}, {"image_name", name}});
        }
        app.store.updateToWholeData(styles, "Pointer_Style");
        app.styles.updatePointerStyleArray();
        app.settingDevice().resetPointerStylePageByDeviceDict();
    }

    QList<PVPointStyleItem*> tiles() const { return page->pointerStyleList()->items(); }
    PVPointStyleItem* tileOf(quint64 id) const
    {
        for (PVPointStyleItem* tile : tiles()) {
            if (!tile->isHidden() && tile->tagInteger() == id) {
                return tile;
            }
        }
        return nullptr;
    }
    std::vector<quint64> styleIds() const
    {
        std::vector<quint64> ids;
        for (const PVPointerStyle& style : app.styles.allPointerStyles()) {
            ids.push_back(style._id());
        }
        return ids;
    }
    quint64 chosenId() const
    {
        const auto& style = app.settingDevice().pointerStyle();
        return style.has_value() ? style->_id() : 0;
    }
    /// The ids of the tiles marked selected.
    std::vector<quint64> selectedTiles() const
    {
        std::vector<quint64> ids;
        for (PVPointStyleItem* tile : tiles()) {
            if (!tile->isHidden() && tile->selected()) {
                ids.push_back(tile->tagInteger());
            }
        }
        return ids;
    }

    PVPointerStyleViewController* page = nullptr;
    ScriptedOpenPanel panel;
    QObject listener;
    int styleChanges = 0;
    int sizeChanges = 0;
};
