#pragma once

// Property lists as Qt values, on libplist: dictionaries are QVariantMap,
// arrays QVariantList, strings QString, integers qlonglong (written as
// integers; unsigned values up to 2^63-1 round-trip), reals double, booleans
// bool, data QByteArray and dates QDateTime (UTC).

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace PVPropertyList {

/// The value in `bytes` (XML or binary form); an invalid QVariant when they
/// hold no property list.
QVariant parse(const QByteArray& bytes);

/// The XML form of `value`; empty when some part of it has no property list
/// type or cannot be written to XML (see canHold).
QByteArray toXml(const QVariant& value);

/// False when `value` holds something XML cannot carry back: a type with no
/// property list form, or a string or key with control characters other than
/// tab, line feed and carriage return.
bool canHold(const QVariant& value);

/// Reads the file at `path`; invalid when it is missing or unreadable.
QVariant readFile(const QString& path);

/// Writes `value` as XML to `path` atomically (a temporary file in the same
/// folder, then a rename). On failure `error` says why.
bool writeFile(const QString& path, const QVariant& value, QString* error = nullptr);

} // namespace PVPropertyList
