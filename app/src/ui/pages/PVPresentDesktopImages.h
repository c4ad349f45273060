#pragma once

// The pictures of the screen choice on the pointer style page, drawn by the
// application: "primary_screen" (one screen showing the pointer),
// "screen_extend" (the pointer on the second of two screens) and
// "auto_detect" (two screens under a circling arrow: the application picks).

#include <QImage>
#include <QString>

/// The picture of that name, 132 by 76 points at two pixels per point (the
/// aspect of the screen choice's picture); a null image for any other name.
QImage presentDesktopImage(const QString& name);
