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

} // namespace cdk
