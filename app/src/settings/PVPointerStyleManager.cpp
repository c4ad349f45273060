#include "settings/PVPointerStyleManager.h"

#include "log/DXLog.h"
#include "settings/PVPlistManager.h"

PVPointerStyleManager& PVPointerStyleManager::defaultManager()
{
    static PVPointerStyleManager manager(PVPlistManager::sharedInstance());
    return manager;
}

PVPointerStyleManager::PVPointerStyleManager(PVPlistManager& store) : store_(store)
{
    updatePointerStyleArray();
}

void PVPointerStyleManager::updatePointerStyleArray()
{
    QList<PVPointerStyle> styles;
    int custom = 0;
    for (const QVariant& record : store_.queryAllPointerStyle()) {
        styles.append(PVPointerStyle(record.toMap()));
        if (styles.last().pointerTag() == PVPointerTagCustom && ++custom == kMostCustomStyles) {
            // Whatever sorts after the sixth custom image, the import tile
            // included, is not offered.
            break;
        }
    }
    allPointerStyles_ = styles;
}

const PVPointerStyle* PVPointerStyleManager::pointerStyleAtPKID(quint64 id) const
{
    const PVPointerStyle* first = nullptr;
    int matches = 0;
    for (const PVPointerStyle& style : allPointerStyles_) {
        if (style._id() == id) {
            first = first != nullptr ? first : &style;
            ++matches;
        }
    }
    if (matches == 0) {
        DXLogWarn("No pointer style with id %llu", static_cast<unsigned long long>(id));
    } else if (matches > 1) {
        DXLogWarn("%d pointer styles with id %llu; the first is used", matches,
                  static_cast<unsigned long long>(id));
    }
    return first;
}
