// Turns the program's window icon into the files of an icon theme: the SVG
// with its stroke colour fixed (themes cannot fill in currentColor) and PNG
// renderings for the sizes desktops look up.
//
//   render-icon SOURCE.svg COLOUR OUTDIR SIZE...
// writes OUTDIR/scalable.svg and OUTDIR/SIZE.png for each SIZE.

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s SOURCE.svg COLOUR OUTDIR SIZE...\n", argv[0]);
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    QByteArray svg = source.readAll();
    svg.replace("currentColor", QByteArray(argv[2]));
    const QString outDir = QString::fromLocal8Bit(argv[3]);

    QFile scalable(outDir + QStringLiteral("/scalable.svg"));
    if (!scalable.open(QIODevice::WriteOnly) || scalable.write(svg) != svg.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(scalable.fileName()));
        return 1;
    }
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s is not a valid SVG image\n", argv[1]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        const QString name = outDir + u'/' + QString::number(size) + QStringLiteral(".png");
        if (!image.save(name, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
