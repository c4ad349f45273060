#pragma once

// The answer of a script that ran, read the way the callers read it: as a
// boolean, a text, or a list whose items are 32-bit integers. A value of
// another type reads as a missing one: NO, no text, 0.

#include <QString>
#include <QVariant>
#include <optional>

class PVScriptResult
{
  public:
    PVScriptResult() = default;
    explicit PVScriptResult(QVariant value) : value_(std::move(value)) {}

    const QVariant& value() const { return value_; }

    bool booleanValue() const;
    std::optional<QString> stringValue() const;
    /// Item `index` (counted from 1) of a list answer; 0 when the answer is
    /// no list, the item is absent or it is no integer of 32 bits.
    qint32 int32ItemAt(int index) const;

  private:
    QVariant value_;
};
