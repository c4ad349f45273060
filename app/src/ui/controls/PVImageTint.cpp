#include "ui/controls/PVImageTint.h"

#include <QRgb>
#include <algorithm>
#include <cmath>

namespace {

// Rec. 709 luma weights.
constexpr double kRedWeight = 0.2126;
constexpr double kGreenWeight = 0.7152;
constexpr double kBlueWeight = 0.0722;
// The monochrome step maps white to a light grey, not to white.
constexpr double kMonochromeLevel = 0.75;

int channel(double value)
{
    return static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

} // namespace

QImage imageTintedWithColor(const QImage& image, const QColor& color)
{
    if (!color.isValid() || image.isNull()) {
        return image.copy();
    }
    QImage tinted = image.convertToFormat(QImage::Format_ARGB32);
    const double red = color.redF();
    const double green = color.greenF();
    const double blue = color.blueF();
    for (int y = 0; y < tinted.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(tinted.scanLine(y));
        for (int x = 0; x < tinted.width(); ++x) {
            const QRgb pixel = line[x];
            const double grey =
                kMonochromeLevel *
                (kRedWeight * qRed(pixel) + kGreenWeight * qGreen(pixel) + kBlueWeight * qBlue(pixel)) /
                255.0;
            line[x] = qRgba(channel(grey * red), channel(grey * green), channel(grey * blue), qAlpha(pixel));
        }
    }
    return tinted;
}
