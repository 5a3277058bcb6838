#include "controls/Icons.h"

#include "base/Log.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QResource>

// Resources compiled into a static library are only registered when something
// refers to them; this must be called from the global namespace.
static void registerIconResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        Q_INIT_RESOURCE(icon_masks);
        return true;
    }();
    Q_UNUSED(done);
}

namespace cdk {

namespace {

enum class Tint { Text, Red, Orange, Amber, Blue, Green, Accent, Grey };

struct IconEntry
{
    const char *file;
    Tint tint;
};

const QString &neutralFile()
{
    static const QString file = QStringLiteral(":/icons/point.svg");
    return file;
}

const QHash<QString, IconEntry> &iconTable()
{
    static const QHash<QString, IconEntry> table = [] {
        QHash<QString, IconEntry> t;
        auto add = [&t](const char *key, const char *file, Tint tint = Tint::Text) {
            t.insert(QString::fromLatin1(key), IconEntry{file, tint});
        };
        // Menus
        add("SAVE", "device-floppy");
        add("RESTORE", "restore");
        add("WRENCH", "tool");
        add("TRAY", "arrow-bar-to-down");
        add("EXIT", "logout");
        add("PLUS", "plus");
        add("EDITTASK", "pencil");
        add("DELETE", "trash");
        add("MANAGE", "category");
        add("RECURRENT", "repeat");
        add("DONE", "circle-check", Tint::Green);
        add("UNDONE", "circle-dashed");
        add("FLAG", "flag");
        add("PRIORITY", "arrows-up-down");
        add("FOLDERFLAT", "folder");
        add("CLOCK", "clock");
        add("RESET", "refresh");
        add("SYNC", "refresh", Tint::Accent);
        add("UNDO", "arrow-back-up");
        add("REDO", "arrow-forward-up");
        add("MOVERIGHT", "arrow-right");
        add("MOVELEFT", "arrow-left");
        add("MOVEX", "calendar-event");
        add("PLAY", "player-play", Tint::Green);
        add("STOP", "player-stop", Tint::Red);
        add("HELP", "help");
        add("INFO", "info-circle");
        // Priorities, ordinary and greyed (finished tasks)
        add("URGENTP", "alert-triangle", Tint::Red);
        add("HIGHESTP", "chevrons-up", Tint::Orange);
        add("HIGHP", "chevron-up", Tint::Amber);
        add("NORMALP", "equal");
        add("LOWP", "chevron-down", Tint::Blue);
        add("LOWESTP", "chevrons-down", Tint::Blue);
        add("URGENTGP", "alert-triangle", Tint::Grey);
        add("HIGHESTGP", "chevrons-up", Tint::Grey);
        add("HIGHGP", "chevron-up", Tint::Grey);
        add("NORMALGP", "equal", Tint::Grey);
        add("LOWGP", "chevron-down", Tint::Grey);
        add("LOWESTGP", "chevrons-down", Tint::Grey);
        // Grid
        add("CHECK", "square-check", Tint::Green);
        add("UNCHECK", "square");
        add("CHECKBOX", "checkbox");
        add("SORTUP", "caret-up");
        add("SORTDOWN", "caret-down");
        // Toolbar
        add("ADDTASK", "circle-plus");
        add("DELETETASK", "trash");
        add("STARTTIME", "player-play", Tint::Green);
        add("MANAGEPROJECTS", "folders");
        add("MANAGECATEGORIES", "category");
        add("SETTINGS", "settings");
        add("PREVIOUSDAY", "chevron-left");
        add("STOPTIMER", "player-stop", Tint::Red);
        add("FINISHIT", "circle-check");
        add("CHECKHIGH", "circle-check", Tint::Green);
        add("NEXTDAY", "chevron-right");
        add("TODAY", "calendar-due");
        // Tray and window
        add("TRAYNORMAL", "clock-hour-4");
        add("TRAYPLAY", "clock-play", Tint::Green);
        add("TRAYDONE", "clock-check", Tint::Orange);
        add("APP", "calendar-time", Tint::Accent);
        // Message boxes
        add("MSGQUESTION", "help", Tint::Accent);
        add("MSGINFORMATION", "info-circle", Tint::Accent);
        add("MSGWARNING", "alert-triangle", Tint::Amber);
        add("MSGCRITICAL", "circle-x", Tint::Red);
        return t;
    }();
    return table;
}

QString fileOf(const IconEntry &entry)
{
    return QStringLiteral(":/icons/") + QString::fromLatin1(entry.file) + QStringLiteral(".svg");
}

// The coverage of a picture rendered at build time for a square size (see
// src/resources/render-icon-masks.cpp), or nothing for a size not rendered.
QByteArrayView maskOf(const QString &svgFile, const QSize &device)
{
    if (device.width() != device.height())
        return {};
    QString name = svgFile;
    name.replace(QStringLiteral(":/icons/"), QStringLiteral(":/icon-masks/"));
    name.chop(4); // ".svg"
    const QResource mask(name + u'-' + QString::number(device.width()) + QStringLiteral(".a8"));
    // Stored uncompressed, so the bytes are those of the mapped binary.
    if (!mask.isValid() || mask.compressionAlgorithm() != QResource::NoCompression
        || mask.size() != qint64(device.width()) * device.height())
        return {};
    return QByteArrayView(mask.data(), mask.size());
}

// The picture in one colour: its coverage times the colour, premultiplied.
QImage tint(QByteArrayView mask, const QSize &device, const QColor &colour)
{
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    const QRgb rgb = colour.rgb() & 0xffffff;
    const auto *alpha = reinterpret_cast<const uchar *>(mask.data());
    for (int y = 0; y < device.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < device.width(); ++x)
            line[x] = qPremultiply(rgb | (QRgb(*alpha++) << 24));
    }
    return image;
}

bool isDark(const QColor &textColor)
{
    // Light text means a dark background.
    return textColor.lightness() > 140;
}

QColor tintColor(Tint tint, const QColor &text)
{
    const bool dark = isDark(text);
    auto pick = [dark](QRgb onLight, QRgb onDark) { return QColor::fromRgb(dark ? onDark : onLight); };
    switch (tint) {
    case Tint::Text:
        return text;
    case Tint::Red:
        return pick(0xd32f2f, 0xff6b6b);
    case Tint::Orange:
        return pick(0xe8590c, 0xffa94d);
    case Tint::Amber:
        return pick(0xb7791f, 0xffd43b);
    case Tint::Blue:
        return pick(0x1c64c8, 0x74b9ff);
    case Tint::Green:
        return pick(0x2b8a3e, 0x69db7c);
    case Tint::Accent:
        return pick(0x1971c2, 0x74c0fc);
    case Tint::Grey:
        return pick(0x767676, 0x8a8a8a);
    }
    return text;
}

QByteArray svgSource(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        qCWarning(lcView) << "icon file missing:" << file;
        return {};
    }
    return f.readAll();
}

// Every pixel becomes the grey of its luminance; alpha stays.
void makeGrey(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 0)
                continue;
            // Premultiplied components keep their ratio, so the weighted sum
            // stays premultiplied as well.
            const int g = qRound(0.3 * qRed(p) + 0.59 * qGreen(p) + 0.11 * qBlue(p));
            line[x] = qRgba(g, g, g, a);
        }
    }
}

class SvgIconEngine final : public QIconEngine
{
public:
    // An invalid text colour follows the palette.
    SvgIconEngine(QString key, QString file, Tint tint, QColor text = {})
        : m_key(std::move(key)), m_file(std::move(file)), m_tint(tint), m_text(text)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = renderCached((QSizeF(rect.size()) * dpr).toSize(), mode);
        pm.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect, pm);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        return renderCached(size, mode);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        Q_UNUSED(state);
        // Before 6.8 QIcon passes the size in device pixels already; later
        // versions pass the logical size and leave the scaling to the engine.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        const QSize device = (QSizeF(size) * scale).toSize();
#else
        const QSize device = size;
#endif
        QPixmap pm = renderCached(device, mode);
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        // The sizes a desktop asks of a window icon; any other size is still
        // drawn on demand. Every size listed here is rendered when a window
        // takes the icon.
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }

    QString key() const override { return QStringLiteral("cdk-svg"); }
    QString iconName() override { return m_key; }
    QIconEngine *clone() const override
    {
        return new SvgIconEngine(m_key, m_file, m_tint, m_text);
    }

private:
    // Rendered pixmaps are kept per file, device size, mode and colour, so a
    // palette change simply misses the cache.
    QPixmap renderCached(const QSize &device, QIcon::Mode mode) const
    {
        if (device.isEmpty())
            return {};
        const QPalette palette = QGuiApplication::palette();
        const QColor text = mode == QIcon::Selected ? palette.color(QPalette::HighlightedText)
                            : m_text.isValid()      ? m_text
                                                    : palette.color(QPalette::Text);
        const QColor colour = tintColor(m_tint, text);
        const QString cacheKey = QStringLiteral("cdk-icon|%1|%2x%3|%4|%5")
                                     .arg(m_file)
                                     .arg(device.width())
                                     .arg(device.height())
                                     .arg(int(mode))
                                     .arg(colour.rgba(), 0, 16);
        QPixmap pm;
        if (!QPixmapCache::find(cacheKey, &pm)) {
            pm = render(device, colour, mode == QIcon::Disabled);
            QPixmapCache::insert(cacheKey, pm);
        }
        return pm;
    }

    QPixmap render(const QSize &device, const QColor &colour, bool greyed) const
    {
        QImage image;
        if (const QByteArrayView mask = maskOf(m_file, device); !mask.isEmpty())
            image = tint(mask, device, colour);
        else
            image = drawn(device, colour);
        if (greyed)
            makeGrey(image);
        return QPixmap::fromImage(std::move(image));
    }

    // A size without a picture rendered at build time (an unusual scale) is
    // drawn from the SVG through Qt's image plugin for it. The plugin, and
    // the SVG library behind it, are loaded on the first such drawing rather
    // than with the program: most runs never need them.
    QImage drawn(const QSize &device, const QColor &colour) const
    {
        QByteArray svg = svgSource(m_file);
        svg.replace("currentColor", colour.name(QColor::HexRgb).toLatin1());
        QBuffer buffer(&svg);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "svg");
        reader.setScaledSize(device);
        QImage image = reader.read();
        if (image.isNull()) {
            qCWarning(lcView) << "cannot draw" << m_file << "at" << device << ":"
                              << reader.errorString();
            image = QImage(device, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            return image;
        }
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    QString m_key;
    QString m_file;
    Tint m_tint;
    QColor m_text;
};

} // namespace

bool hasIconForKey(const QString &key)
{
    return iconTable().contains(key);
}

QString iconFileForKey(const QString &key)
{
    const auto it = iconTable().constFind(key);
    return it == iconTable().cend() ? neutralFile() : fileOf(*it);
}

QColor iconColorForKey(const QString &key, const QColor &textColor)
{
    const auto it = iconTable().constFind(key);
    return tintColor(it == iconTable().cend() ? Tint::Text : it->tint, textColor);
}

bool hasIconMask(const QString &key, const QSize &device)
{
    registerIconResources();
    return !maskOf(iconFileForKey(key), device).isEmpty();
}

QIcon iconForKey(const QString &key, const QColor &textColor)
{
    registerIconResources();
    // One engine per key and colour for the whole run: the model asks for
    // the same few icons on every repaint of every row.
    static QHash<std::pair<QString, QRgb>, QIcon> icons;
    const std::pair<QString, QRgb> id {key, textColor.isValid() ? textColor.rgba() : 0};
    auto it = icons.find(id);
    if (it != icons.end())
        return *it;
    const auto entry = iconTable().constFind(key);
    const Tint tint = entry == iconTable().cend() ? Tint::Text : entry->tint;
    QIcon icon(new SvgIconEngine(key, iconFileForKey(key), tint, textColor));
    icons.insert(id, icon);
    return icon;
}

} // namespace cdk
