#include "ui/controls/PVFontTheme.h"

#include <algorithm>
#include <cmath>

QFont themeFont()
{
    return themeFontSize(14.0);
}

QFont themeFontSize(double size)
{
    QFont font(QStringLiteral("Arial"));
    // A font has at least one pixel; a size that is no number gets that too.
    const double pixels = std::isfinite(size) ? std::clamp(std::round(size), 1.0, 4096.0) : 1.0;
    font.setPixelSize(static_cast<int>(pixels));
    return font;
}

QFont themeBoldFontSize(double size)
{
    return themeFontTrait(PVBoldFontMask, size);
}

QFont themeFontTrait(unsigned traitMask, double size)
{
    QFont font = themeFontSize(size);
    font.setBold((traitMask & PVBoldFontMask) != 0);
    font.setItalic((traitMask & PVItalicFontMask) != 0);
    return font;
}
