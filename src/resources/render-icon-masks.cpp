// Renders the program's SVG pictures once, at build time, as alpha masks for
// the sizes the program draws, so a start draws its toolbar, menus and grid
// without parsing or rasterising SVG: a picture in one colour is its coverage
// tinted with that colour.
//
//   render-icon-masks OUTDIR SIZE[,SIZE...] FILE.svg...
// writes OUTDIR/NAME-SIZE.a8 (SIZE*SIZE bytes of alpha, rows top to bottom)
// for every picture drawn in currentColor alone, and OUTDIR/icon_masks.qrc
// listing them under the prefix /icon-masks. A picture with colours of its
// own gets no masks and is still drawn from its SVG.

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <optional>

namespace {

// Drawn exactly as the program's icon engine draws an SVG.
QImage render(const QByteArray &source, const char *colour, int side)
{
    QByteArray svg = source;
    svg.replace("currentColor", colour);
    QSvgRenderer renderer(svg);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!renderer.isValid())
        return {};
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(0, 0, side, side));
    return image;
}

// The coverage of a picture, or nothing when drawing it in black and in white
// shows a colour other than currentColor somewhere.
std::optional<QByteArray> maskOf(const QByteArray &source, int side)
{
    const QImage black = render(source, "#000000", side);
    const QImage white = render(source, "#ffffff", side);
    if (black.isNull() || white.isNull())
        return std::nullopt;
    QByteArray mask;
    mask.reserve(side * side);
    for (int y = 0; y < side; ++y) {
        const auto *b = reinterpret_cast<const QRgb *>(black.constScanLine(y));
        const auto *w = reinterpret_cast<const QRgb *>(white.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            const int a = qAlpha(b[x]);
            // Premultiplied: black is (0, 0, 0, a), white is (a, a, a, a).
            if ((b[x] & 0xffffff) != 0 || w[x] != qRgba(a, a, a, a))
                return std::nullopt;
            mask.append(char(a));
        }
    }
    return mask;
}

bool writeFile(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTDIR SIZE[,SIZE...] FILE.svg...\n", argv[0]);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QList<int> sizes;
    for (const QByteArray &s : QByteArray(argv[2]).split(',')) {
        const int side = s.toInt();
        if (side <= 0 || side > 1024) {
            std::fprintf(stderr, "bad size %s\n", s.constData());
            return 2;
        }
        sizes.append(side);
    }

    QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/icon-masks\">\n";
    for (int i = 3; i < argc; ++i) {
        const QString file = QString::fromLocal8Bit(argv[i]);
        QFile source(file);
        if (!source.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const QByteArray svg = source.readAll();
        const QString stem = QFileInfo(file).completeBaseName();
        QList<QByteArray> masks;
        for (const int side : sizes) {
            std::optional<QByteArray> mask = maskOf(svg, side);
            if (!mask) {
                std::fprintf(stderr, "%s: not drawn in currentColor alone, kept as SVG only\n",
                             argv[i]);
                masks.clear();
                break;
            }
            masks.append(std::move(*mask));
        }
        for (qsizetype k = 0; k < masks.size(); ++k) {
            const QString name = stem + u'-' + QString::number(sizes[k]) + QStringLiteral(".a8");
            if (!writeFile(outDir + u'/' + name, masks[k]))
                return 1;
            qrc += "  <file>" + name.toUtf8() + "</file>\n";
        }
    }
    qrc += "</qresource>\n</RCC>\n";
    // Written last: the build takes a complete list as the sign that every
    // mask it names is in place.
    return writeFile(outDir + QStringLiteral("/icon_masks.qrc"), qrc) ? 0 : 1;
}
