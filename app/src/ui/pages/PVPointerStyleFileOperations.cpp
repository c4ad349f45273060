// The pointer style page's choice of a style and its file operations: import
// an image as a new custom style, delete a custom style with its image.

#include "log/DXLog.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVOpenPanel.h"
#include "settings/PVDevice.h"
#include "settings/PVFilePathManager.h"
#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"
#include "ui/pages/PVPointerStyleViewController.h"
#include "ui/window/PVMainViewModel.h"

#include <QFile>
#include <QPointer>
#include <algorithm>

namespace {

// A record's image name names a file of the document folder only when it is
// a plain file name: a hand-edited settings file could hold a path that
// leads out of the folder, and deleting it would delete a stranger's file.
bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

} // namespace

void PVPointerStyleViewController::performSelectPointerStyleItem(const std::optional<PVPointerStyle>& requested,
                                                                 bool consideringAdditionTag)
{
    if (pointerStyles_.isEmpty()) {
        DXLogAlert("Empty style selection!");
        return;
    }
    const qsizetype index = requested.has_value() ? indexOfStyle(*requested) : -1;
    if (index < 0) {
        DXLogWarn("Out of range.");
    }
    const PVPointerStyle style = pointerStyles_[std::max<qsizetype>(index, 0)];
    PVDevice& device = model_.settingDevice();
    if (style.pointerTag() != PVPointerTagImport) {
        device.setPointerStyle(style);
        PVNotificationCenter::defaultCenter().post(kPVUINotificationNameChangeStyle);
        updatePointerStyleAppearence();
        return;
    }
    if (consideringAdditionTag) {
        DXLogDebug("Open a window to select customized image.");
        QPointer<PVPointerStyleViewController> self(this);
        openFile([self](bool success, const std::optional<PVPointerStyle>& added) {
            if (self == nullptr) {
                return;
            }
            if (!success) {
                // The import tile took the mark when clicked: the chosen
                // style, unchanged, takes it back.
                self->updatePointerStyleAppearence();
                return;
            }
            self->setPointerStyles(self->model_.pointerStyleManager().allPointerStyles());
            self->performSelectPointerStyleItem(added, false);
        });
        return;
    }
    // The import tile is no style to point with.
    DXLogWarn("Out of range.");
    device.setPointerStyle(pointerStyles_.first());
    updatePointerStyleAppearence();
}

void PVPointerStyleViewController::updatePointerStyleAppearence()
{
    const std::optional<PVPointerStyle>& style = model_.settingDevice().pointerStyle();
    pointerStyleList_->setSelectedID(style.has_value() ? style->_id() : 0);
}

void PVPointerStyleViewController::changeSelectionAtPointerStyleList(PVPointerStyleList* list)
{
    if (pointerStyles_.isEmpty()) {
        return;
    }
    const PVPointerStyle* style = model_.pointerStyleManager().pointerStyleAtPKID(list->selectedID());
    performSelectPointerStyleItem(style != nullptr ? std::optional(*style) : std::nullopt, true);
}

void PVPointerStyleViewController::openFile(OpenFileCompletion completion)
{
    if (!completion) {
        completion = [](bool, const std::optional<PVPointerStyle>&) {};
    }
    PVOpenPanel::Options options;
    options.allowedFileTypes = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png")};
    options.allowsMultipleSelection = true;
    QPointer<PVPointerStyleViewController> self(this);
    openPanel_->beginWithCompletion(this, options, [self, completion](bool accepted, const QStringList& paths) {
        if (self == nullptr || !accepted || paths.isEmpty()) {
            completion(false, std::nullopt);
            return;
        }
        if (paths.size() >= 2) {
            DXLogWarn("You choosed too many files! Only the first file will be used.");
        }
        const QString name = PVFilePathManager::createImageName();
        const QString target = PVFilePathManager::filePath(name);
        const QString& source = paths.first();
        // The record follows the copy: a failed copy leaves no style that
        // names a missing file.
        if (target.isNull() || !QFile::copy(source, target)) {
            completion(false, std::nullopt);
            return;
        }
        self->model_.plistManager().addPointerStyle(name);
        PVPointerStyleManager& styles = self->model_.pointerStyleManager();
        styles.updatePointerStyleArray();
        // The new record has the largest "_id"; it is found by its file's
        // name, so a store that could not write it answers no style rather
        // than an older one.
        std::optional<PVPointerStyle> added;
        for (const PVPointerStyle& style : styles.allPointerStyles()) {
            if (style.pointerTag() == PVPointerTagCustom && style.imageName() == name &&
                (!added.has_value() || style._id() > added->_id())) {
                added = style;
            }
        }
        if (!added.has_value()) {
            QFile::remove(target);
            completion(false, std::nullopt);
            return;
        }
        DXLogDebug("Choose a file at url %s,\n copy to url %s", qUtf8Printable(source), qUtf8Printable(target));
        completion(true, added);
    });
}

void PVPointerStyleViewController::deletePointer(const PVPointerStyle& chosen, DeleteCompletion complete)
{
    // A copy: `chosen` may be one of the styles the deletion rebuilds.
    const PVPointerStyle style = chosen;
    const QString& name = style.imageName();
    bool removed = false;
    if (isPlainFileName(name)) {
        const QString path = PVFilePathManager::filePath(name);
        removed = !path.isNull() && QFile::remove(path);
    } else {
        DXLogWarn("The image \"%s\" is no file of the document folder; it is left alone", qUtf8Printable(name));
    }
    // The record goes whatever became of the file.
    model_.plistManager().removePointerStyle(style._id());
    model_.pointerStyleManager().updatePointerStyleArray();
    if (complete) {
        complete(removed, nullptr);
    }
}

void PVPointerStyleViewController::pointerStyleListDeletePointerStyle(PVPointerStyleList*,
                                                                      const PVPointerStyle& chosen)
{
    const PVPointerStyle style = chosen;
    const qsizetype position = indexOfStyle(style);
    QPointer<PVPointerStyleViewController> self(this);
    deletePointer(style, [self, position](bool, std::nullptr_t) {
        if (self == nullptr) {
            return;
        }
        self->setPointerStyles(self->model_.pointerStyleManager().allPointerStyles());
        // The style that took the deleted one's place, unless that is the
        // import tile; else the one before it.
        const QList<PVPointerStyle>& styles = self->pointerStyles_;
        std::optional<PVPointerStyle> next;
        if (position >= 0 && position < styles.size() && styles[position].pointerTag() != PVPointerTagImport) {
            next = styles[position];
        } else if (position >= 1 && position - 1 < styles.size()) {
            next = styles[position - 1];
        }
        self->performSelectPointerStyleItem(next, false);
    });
}
