#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace cdk {

// The program's pictures by key ("PLUS", "URGENTP", "CHECK", "SORTUP", ...).
// Drawn from SVG in the palette's text colour, so they are crisp at any
// scale and readable on dark themes. A key without a picture of its own gets
// a neutral one, never a blank. Where the picture sits on a background of
// its own (a coloured row), textColor is the text drawn there, and the
// picture is drawn to read beside it instead of in the palette's colour.
QIcon iconForKey(const QString &key, const QColor &textColor = {});
bool hasIconForKey(const QString &key);

// The resource path of the SVG drawn for a key (the neutral picture for an
// unknown key).
QString iconFileForKey(const QString &key);

// Whether a key is drawn at a size in device pixels from a mask rendered at
// build time, rather than from its SVG. Both look the same; the mask is far
// cheaper, which matters at start-up.
bool hasIconMask(const QString &key, const QSize &device);

// The colour a key is drawn in against a palette whose text colour is given:
// the text colour itself for plain pictures, a fixed tint for priorities and
// check marks (lightened on dark themes), grey for the greyed variants.
QColor iconColorForKey(const QString &key, const QColor &textColor);

} // namespace cdk
