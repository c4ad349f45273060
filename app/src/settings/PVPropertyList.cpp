#include "settings/PVPropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QTimeZone>
#include <cmath>
#include <limits>
#include <plist/plist.h>

namespace {

// Property list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime plistEpoch(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);

struct PlistFree
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree>;

QVariant fromNode(plist_t node);

QVariant fromDict(plist_t node)
{
    QVariantMap map;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    if (iter == nullptr) {
        return map;
    }
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (value == nullptr) {
            std::free(key);
            break;
        }
        map.insert(QString::fromUtf8(key), fromNode(value));
        std::free(key);
    }
    std::free(iter);
    return map;
}

QVariant fromNode(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return fromDict(node);
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t size = plist_array_get_size(node);
        for (uint32_t i = 0; i < size; ++i) {
            list.append(fromNode(plist_array_get_item(node, i)));
        }
        return list;
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        char* text = nullptr;
        plist_get_string_val(node, &text);
        const QString value = QString::fromUtf8(text);
        std::free(text);
        return value;
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return static_cast<qlonglong>(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value != 0;
    }
    case PLIST_DATA: {
        char* data = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &data, &length);
        const QByteArray value(data, static_cast<qsizetype>(length));
        std::free(data);
        return value;
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return plistEpoch.addMSecs(qint64{seconds} * 1000 + microseconds / 1000);
    }
    default:
        return {};
    }
}

bool textCanBeXml(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF) {
            return false;
        }
    }
    return true;
}

PlistPtr toNode(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        PlistPtr dict(plist_new_dict());
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            PlistPtr item = toNode(it.value());
            if (!item) {
                return nullptr;
            }
            plist_dict_set_item(dict.get(), it.key().toUtf8().constData(), item.release());
        }
        return dict;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        PlistPtr array(plist_new_array());
        for (const QVariant& element : value.toList()) {
            PlistPtr item = toNode(element);
            if (!item) {
                return nullptr;
            }
            plist_array_append_item(array.get(), item.release());
        }
        return array;
    }
    case QMetaType::QString:
        return PlistPtr(plist_new_string(value.toString().toUtf8().constData()));
    case QMetaType::Bool:
        return PlistPtr(plist_new_bool(value.toBool() ? 1 : 0));
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return PlistPtr(plist_new_uint(static_cast<uint64_t>(value.toLongLong())));
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
        if (value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qlonglong>::max())) {
            return nullptr;
        }
        return PlistPtr(plist_new_uint(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return std::isfinite(value.toDouble()) ? PlistPtr(plist_new_real(value.toDouble())) : nullptr;
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return PlistPtr(plist_new_data(data.constData(), static_cast<uint64_t>(data.size())));
    }
    case QMetaType::QDateTime: {
        const qint64 ms = plistEpoch.msecsTo(value.toDateTime());
        const qint64 seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
        if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max()) {
            return nullptr;
        }
        return PlistPtr(plist_new_date(static_cast<int32_t>(seconds),
                                       static_cast<int32_t>((ms - seconds * 1000) * 1000)));
    }
    default:
        return nullptr;
    }
}

} // namespace

namespace PVPropertyList {

bool canHold(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            if (!textCanBeXml(it.key()) || !canHold(it.value())) {
                return false;
            }
        }
        return true;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        for (const QVariant& element : value.toList()) {
            if (!canHold(element)) {
                return false;
            }
        }
        return true;
    case QMetaType::QString:
        return textCanBeXml(value.toString());
    default:
        return static_cast<bool>(toNode(value));
    }
}

QVariant parse(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<int32_t>::max()) {
        return {};
    }
    plist_t root = nullptr;
    const auto length = static_cast<uint32_t>(bytes.size());
    if (plist_is_binary(bytes.constData(), length)) {
        plist_from_bin(bytes.constData(), length, &root);
    } else {
        plist_from_xml(bytes.constData(), length, &root);
    }
    if (root == nullptr) {
        return {};
    }
    PlistPtr owner(root);
    return fromNode(root);
}

QByteArray toXml(const QVariant& value)
{
    if (!canHold(value)) {
        return {};
    }
    PlistPtr node = toNode(value);
    if (!node) {
        return {};
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node.get(), &xml, &length);
    const QByteArray result(xml, static_cast<qsizetype>(length));
    plist_to_xml_free(xml);
    return result;
}

QVariant readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return parse(file.readAll());
}

bool writeFile(const QString& path, const QVariant& value, QString* error)
{
    const QByteArray xml = toXml(value);
    if (xml.isEmpty()) {
        if (error != nullptr) {
            *error = QStringLiteral("the value has no property list form");
        }
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

} // namespace PVPropertyList
