#pragma once

// The battery icons of the tool manager page, drawn by the application: a
// battery outline filled by a quarter per step, "ba0" (empty, red outline)
// to "ba100" (full).

#include <QImage>
#include <QString>

/// The icon of that name, 44 by 22 points; a null image for any other name.
QImage batteryImage(const QString& name);

/// The icon name of a battery level (percent): 12.5 % steps around the
/// quarters, anything from 87.5 % up full.
QString batteryImageName(quint64 level);
