#pragma once

#include <QColor>

namespace cdk {

// Contrast of two colours as the accessibility guidelines measure it, from
// 1 (the same) to 21 (black on white).
qreal contrastRatio(const QColor &a, const QColor &b);

// The text colour for a fixed background: the preferred colour (usually the
// palette's) while it reads at a ratio of at least 4.5, otherwise black or
// white, whichever reads better.
QColor readableTextOn(const QColor &background, const QColor &preferred);

// A colour that carries meaning (a link) kept in its hue: moved towards white
// or black, whichever the background needs, until it reads at 4.5.
QColor readableTintOn(const QColor &background, const QColor &colour);

} // namespace cdk
