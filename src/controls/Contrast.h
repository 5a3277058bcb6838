#pragma once

#include <QColor>
#include <QPalette>

namespace cdk {

// Relative luminance as the accessibility guidelines define it: 0 for
// black, 1 for white.
qreal relativeLuminance(const QColor &colour);

// Contrast of two colours as the accessibility guidelines measure it, from
// 1 (the same) to 21 (black on white).
qreal contrastRatio(const QColor &a, const QColor &b);

// The text colour for a fixed background: the preferred colour (usually the
// palette's) while it reads at a ratio of at least 4.5, otherwise black or
// white, whichever reads better.
QColor readableTextOn(const QColor &background, const QColor &preferred);

// A colour that carries meaning (a link, the grey of a finished task) kept in
// its hue: moved towards white or black, whichever the background needs,
// until it reads at 4.5.
QColor readableTintOn(const QColor &background, const QColor &colour);
// The same for text that lies across a gradient: it reads on both ends.
QColor readableTintOn(const QColor &from, const QColor &to, const QColor &colour);

// A dark palette: its window darker than the text on it.
bool isDarkPalette(const QPalette &palette);

// How a colour that marks something (a category, the tracker's state) is
// shown behind light text: the same hue, muted, with its lightness mirrored
// into a dark band, so a pastel becomes a deep shade, and darkened further
// until the text reads on it at 4.5. The colour itself, where it is stored,
// stays as it is.
QColor darkShadeOf(const QColor &colour, const QColor &text);

// A category's colours as the task grid and the category manager show them
// in the palette: the stored ones (invalid for the grid's own) on a light
// palette; on a dark one the background becomes a deep shade of its hue and
// a picked text colour is lightened as far as reading needs. Without a text
// colour of its own, the palette's text is replaced by one that reads on the
// background. Invalid results mean the palette's own.
struct ShownColours
{
    QColor back;
    QColor fore;
};
ShownColours categoryColoursIn(const QPalette &palette, const QColor &storedBack,
                               const QColor &storedFore);

} // namespace cdk
