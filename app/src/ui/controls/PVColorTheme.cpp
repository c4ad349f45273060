#include "ui/controls/PVColorTheme.h"

QColor colorWithRed255(int red, int green, int blue, int alpha)
{
    return QColor::fromRgbF(static_cast<float>(red / 255.0), static_cast<float>(green / 255.0),
                            static_cast<float>(blue / 255.0), static_cast<float>(alpha / 255.0));
}

QColor colorWithRed255(int red, int green, int blue)
{
    return colorWithRed255(red, green, blue, 255);
}

QColor darkerColor(const QColor& color)
{
    const QColor hsv = color.toHsv();
    return QColor::fromHsvF(hsv.hsvHueF(), hsv.hsvSaturationF(), hsv.valueF() * 0.75f, hsv.alphaF());
}

QColor themeBackgroundColor()
{
    return colorWithRed255(241, 241, 242);
}

QColor themeBackgroundGrayColor()
{
    return colorWithRed255(230, 231, 232);
}

QColor themeTextBlackColor()
{
    return colorWithRed255(64, 64, 65);
}

QColor themeTextGrayColor()
{
    return colorWithRed255(113, 112, 115);
}

QColor themeWindowBorderColor()
{
    return colorWithRed255(64, 64, 65);
}

QColor themeBorderColor()
{
    return colorWithRed255(208, 210, 211);
}

QColor themeBorderCircleColor()
{
    return colorWithRed255(166, 168, 171);
}

QColor themeBorderBlueColor()
{
    return colorWithRed255(143, 229, 255);
}

QColor themePartingLineColor()
{
    return colorWithRed255(166, 168, 171);
}

QColor themeBorderButtonColor()
{
    return colorWithRed255(208, 210, 211);
}

QColor themeBlueColor()
{
    return colorWithRed255(0, 120, 174);
}

QColor themeBlueDarkColor()
{
    return colorWithRed255(0, 100, 135);
}

QColor themeBlueHighlightedColor()
{
    return colorWithRed255(143, 229, 255);
}

QColor platformGrayColor()
{
    return QColor::fromRgbF(0.5f, 0.5f, 0.5f);
}
