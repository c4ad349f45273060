#include "runtime/PVScriptResult.h"

#include <QVariantList>
#include <limits>

bool PVScriptResult::booleanValue() const
{
    return value_.typeId() == QMetaType::Bool && value_.toBool();
}

std::optional<QString> PVScriptResult::stringValue() const
{
    if (value_.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value_.toString();
}

qint32 PVScriptResult::int32ItemAt(int index) const
{
    if (value_.typeId() != QMetaType::QVariantList) {
        return 0;
    }
    const QVariantList items = value_.toList();
    if (index < 1 || index > items.size()) {
        return 0;
    }
    const QVariant& item = items[index - 1];
    switch (item.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qlonglong value = item.toLongLong();
        const bool fits =
            value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
        return fits ? static_cast<qint32>(value) : 0;
    }
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong value = item.toULongLong();
        return value <= static_cast<qulonglong>(std::numeric_limits<qint32>::max())
                   ? static_cast<qint32>(value)
                   : 0;
    }
    default:
        return 0;
    }
}
