#pragma once

// The value that stands for "no such index" or "no value known" wherever an
// unsigned number is expected (a tab index, a battery level): the largest
// signed 64-bit number, as the platform's own "not found" is.

#include <QtGlobal>
#include <limits>

inline constexpr quint64 PVNotFound = static_cast<quint64>(std::numeric_limits<qint64>::max());
