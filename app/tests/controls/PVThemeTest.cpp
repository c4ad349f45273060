#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVImageTint.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

struct PaletteEntry
{
    const char* name;
    QColor (*color)();
    int red, green, blue;
};

TEST(Theme, PaletteColoursAreOpaqueAndExact)
{
    const PaletteEntry entries[] = {
        {"background", themeBackgroundColor, 241, 241, 242},
        {"background grey", themeBackgroundGrayColor, 230, 231, 232},
        {"text black", themeTextBlackColor, 64, 64, 65},
        {"text grey", themeTextGrayColor, 113, 112, 115},
        {"window border", themeWindowBorderColor, 64, 64, 65},
        {"border", themeBorderColor, 208, 210, 211},
        {"border circle", themeBorderCircleColor, 166, 168, 171},
        {"border blue", themeBorderBlueColor, 143, 229, 255},
        {"parting line", themePartingLineColor, 166, 168, 171},
        {"border button", themeBorderButtonColor, 208, 210, 211},
        {"blue", themeBlueColor, 0, 120, 174},
        {"blue dark", themeBlueDarkColor, 0, 100, 135},
        {"blue highlighted", themeBlueHighlightedColor, 143, 229, 255},
    };
    for (const PaletteEntry& entry : entries) {
        const QColor color = entry.color();
        EXPECT_EQ(color.red(), entry.red) << entry.name;
        EXPECT_EQ(color.green(), entry.green) << entry.name;
        EXPECT_EQ(color.blue(), entry.blue) << entry.name;
        EXPECT_EQ(color.alpha(), 255) << entry.name;
    }
}

TEST(Theme, ComponentsOf255BecomeFractions)
{
    const QColor white = colorWithRed255(255, 255, 255);
    EXPECT_EQ(white, QColor(255, 255, 255, 255));
    EXPECT_DOUBLE_EQ(white.alphaF(), 1.0);
    const QColor half = colorWithRed255(0, 51, 102, 153);
    EXPECT_FLOAT_EQ(half.greenF(), 0.2f);
    EXPECT_FLOAT_EQ(half.blueF(), 0.4f);
    EXPECT_FLOAT_EQ(half.alphaF(), 0.6f);
}

TEST(Theme, DarkerColourKeepsHueSaturationAndAlphaAtThreeQuartersBrightness)
{
    EXPECT_EQ(darkerColor(Qt::black).rgba(), QColor(Qt::black).rgba());
    const QColor white = darkerColor(Qt::white);
    EXPECT_NEAR(white.valueF(), 0.75, 1e-3);
    EXPECT_NEAR(white.hsvSaturationF(), 0.0, 1e-3);

    const QColor blue = themeBlueColor();
    const QColor darker = darkerColor(colorWithRed255(0, 120, 174, 128));
    EXPECT_EQ(darker.hsvHue(), blue.hsvHue());
    EXPECT_EQ(darker.hsvSaturation(), blue.hsvSaturation());
    EXPECT_NEAR(darker.valueF(), blue.valueF() * 0.75, 1e-3);
    EXPECT_EQ(darker.alpha(), 128);
    // Brightness 174 becomes 130.5: blue (0, 90, 130).
    EXPECT_NEAR(darker.blue(), 130.5, 0.6);
    EXPECT_NEAR(darker.green(), 90, 0.6);
}

TEST(Theme, FontsAreArialOrItsMetricTwinAtTheGivenSize)
{
    struct Case
    {
        QFont font;
        int pixelSize;
        bool bold;
        bool italic;
    };
    const Case cases[] = {
        {themeFont(), 14, false, false},
        {themeFontSize(16), 16, false, false},
        {themeBoldFontSize(18), 18, true, false},
        {themeFontTrait(PVBoldFontMask | PVItalicFontMask, 15), 15, true, true},
        {themeFontSize(0), 1, false, false},
    };
    for (const Case& c : cases) {
        const QFontInfo info(c.font);
        EXPECT_TRUE(info.family() == "Arial" || info.family() == "Liberation Sans")
            << info.family().toStdString();
        EXPECT_EQ(info.pixelSize(), c.pixelSize);
        EXPECT_EQ(info.bold(), c.bold);
        EXPECT_EQ(info.italic(), c.italic);
    }
    // Arial's advance widths add up to 12866 of 2048 units per em for
    // "Button Setting": 88 pixels at 14. A stand-in face with other metrics
    // would push the tab titles out of their tabs.
    EXPECT_NEAR(QFontMetricsF(themeFont()).horizontalAdvance("Button Setting"), 12866.0 * 14.0 / 2048.0, 1.5);
}

QImage filled(const QColor& color)
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

TEST(Theme, TintTakesDimmedLuminanceTimesTheColourAndKeepsAlpha)
{
    struct Case
    {
        const char* name;
        QColor pixel;
        QColor tint;
        int red, green, blue, alpha;
    };
    const Case cases[] = {
        // White: luminance 1, dimmed to 0.75, times 0.5: 0.375 of full scale.
        {"white in grey", Qt::white, platformGrayColor(), 96, 96, 96, 255},
        {"black in grey", Qt::black, platformGrayColor(), 0, 0, 0, 255},
        // Pure green weighs 0.7152: 0.7152 * 0.75 * 255 = 136.8.
        {"green in white", QColor(0, 255, 0), Qt::white, 137, 137, 137, 255},
        {"white in blue", Qt::white, themeBlueColor(), 0, 90, 131, 255},
        {"half-transparent red", QColor(255, 0, 0, 128), Qt::white, 41, 41, 41, 128},
        {"transparent", QColor(255, 255, 255, 0), platformGrayColor(), 96, 96, 96, 0},
    };
    for (const Case& c : cases) {
        const QImage tinted = imageTintedWithColor(filled(c.pixel), c.tint);
        ASSERT_EQ(tinted.size(), QSize(4, 3)) << c.name;
        const QRgb pixel = tinted.pixel(2, 1);
        EXPECT_NEAR(qRed(pixel), c.red, 1) << c.name;
        EXPECT_NEAR(qGreen(pixel), c.green, 1) << c.name;
        EXPECT_NEAR(qBlue(pixel), c.blue, 1) << c.name;
        EXPECT_EQ(qAlpha(pixel), c.alpha) << c.name;
    }
}

TEST(Theme, TintWithoutAColourCopiesAndANullImageStaysNull)
{
    QImage source = filled(QColor(10, 20, 30));
    const QImage copy = imageTintedWithColor(source, QColor());
    EXPECT_EQ(copy, source);
    source.fill(Qt::red);
    EXPECT_EQ(copy.pixelColor(0, 0), QColor(10, 20, 30)) << "the copy shares no pixels with the receiver";
    EXPECT_TRUE(imageTintedWithColor(QImage(), platformGrayColor()).isNull());
}

TEST(Theme, TintConvertsIndexedAndPremultipliedImages)
{
    QImage premultiplied(2, 2, QImage::Format_ARGB32_Premultiplied);
    premultiplied.fill(QColor(255, 255, 255, 64));
    const QRgb pixel = imageTintedWithColor(premultiplied, platformGrayColor()).pixel(0, 0);
    EXPECT_NEAR(qRed(pixel), 96, 1);
    EXPECT_EQ(qAlpha(pixel), 64);

    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 255, 255)});
    indexed.fill(0);
    EXPECT_NEAR(qGreen(imageTintedWithColor(indexed, platformGrayColor()).pixel(1, 1)), 96, 1);
}

} // namespace
