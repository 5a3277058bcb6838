#include "controls/Contrast.h"

#include <QtMath>

namespace cdk {

namespace {

constexpr qreal kReadable = 4.5;

qreal relativeLuminance(const QColor &colour)
{
    auto linear = [](qreal c) { return c <= 0.04045 ? c / 12.92 : qPow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

} // namespace

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
    const QColor target = readableTextOn(background, QColor());
    QColor tint = colour;
    for (int step = 1; step <= 10 && contrastRatio(background, tint) < kReadable; ++step) {
        auto mix = [step](int a, int b) { return a + (b - a) * step / 10; };
        tint = QColor(mix(colour.red(), target.red()), mix(colour.green(), target.green()),
                      mix(colour.blue(), target.blue()));
    }
    return tint;
}

} // namespace cdk
