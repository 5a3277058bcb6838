#include "controls/Contrast.h"

#include <QtMath>

namespace cdk {

namespace {

constexpr qreal kReadable = 4.5;
// Dark schemes use muted accents: a deep shade at a pastel's full saturation
// glows like a warning.
constexpr float kDarkShadeSaturation = 0.5f;
// The lightness of a dark shade: the colour's own mirrored into a band just
// above a dark window's, so a very light pastel does not turn into near
// black, and shades of different colours still differ.
constexpr float kDarkShadeFloor = 0.15f;
constexpr float kDarkShadeRange = 0.45f;

} // namespace

qreal relativeLuminance(const QColor &colour)
{
    auto linear = [](qreal c) { return c <= 0.04045 ? c / 12.92 : qPow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

qreal contrastRatio(const QColor &a, const QColor &b)
{
    const qreal la = relativeLuminance(a);
    const qreal lb = relativeLuminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor readableTextOn(const QColor &background, const QColor &preferred)
{
    if (preferred.isValid() && contrastRatio(background, preferred) >= kReadable)
        return preferred;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

QColor readableTintOn(const QColor &background, const QColor &colour)
{
    return readableTintOn(background, background, colour);
}

QColor readableTintOn(const QColor &from, const QColor &to, const QColor &colour)
{
    auto worst
        = [&](const QColor &c) { return qMin(contrastRatio(from, c), contrastRatio(to, c)); };
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor target = worst(black) >= worst(white) ? black : white;
    // Mixing with black or white keeps the hue; small steps keep as much of
    // the colour as the background allows.
    QColor tint = colour;
    for (int step = 1; step <= 20 && worst(tint) < kReadable; ++step) {
        auto mix = [step](int a, int b) { return a + (b - a) * step / 20; };
        tint = QColor(mix(colour.red(), target.red()), mix(colour.green(), target.green()),
                      mix(colour.blue(), target.blue()));
    }
    return tint;
}

bool isDarkPalette(const QPalette &palette)
{
    return relativeLuminance(palette.color(QPalette::Window))
        < relativeLuminance(palette.color(QPalette::WindowText));
}

QColor darkShadeOf(const QColor &colour, const QColor &text)
{
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
    colour.toHsl().getHslF(&hue, &saturation, &lightness);
    saturation = qMin(saturation, kDarkShadeSaturation);
    lightness = kDarkShadeFloor + kDarkShadeRange * (1.0f - lightness);
    auto shade = [&] { return QColor(QColor::fromHslF(hue, saturation, lightness).rgb()); };
    QColor shown = shade();
    while (lightness > 0.0f && contrastRatio(shown, text) < kReadable) {
        lightness = qMax(0.0f, lightness - 0.02f);
        shown = shade();
    }
    return shown;
}

ShownColours categoryColoursIn(const QPalette &palette, const QColor &storedBack,
                               const QColor &storedFore)
{
    const bool dark = isDarkPalette(palette);
    const QColor text = palette.color(QPalette::Text);
    ShownColours shown;
    if (storedBack.isValid())
        shown.back = dark ? darkShadeOf(storedBack, text) : storedBack;
    if (storedFore.isValid()) {
        shown.fore = dark ? readableTintOn(shown.back.isValid() ? shown.back
                                                                : palette.color(QPalette::Base),
                                           storedFore)
                          : storedFore;
    } else if (shown.back.isValid()) {
        shown.fore = readableTextOn(shown.back, text);
    }
    return shown;
}

} // namespace cdk
