#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace cdk::test {

// The colours a desktop's dark scheme gives (those of a common one): light
// text on near-black, a dimmed grey for disabled text, a light blue link.
inline QPalette darkPalette(QPalette palette = QPalette())
{
    palette.setColor(QPalette::Window, QColor(0x20, 0x23, 0x26));
    palette.setColor(QPalette::WindowText, QColor(0xfc, 0xfc, 0xfc));
    palette.setColor(QPalette::Base, QColor(0x14, 0x16, 0x18));
    palette.setColor(QPalette::AlternateBase, QColor(0x1d, 0x1f, 0x22));
    palette.setColor(QPalette::Text, QColor(0xfc, 0xfc, 0xfc));
    palette.setColor(QPalette::Button, QColor(0x29, 0x2c, 0x30));
    palette.setColor(QPalette::ButtonText, QColor(0xfc, 0xfc, 0xfc));
    palette.setColor(QPalette::Light, QColor(0x40, 0x46, 0x4c));
    palette.setColor(QPalette::Midlight, QColor(0x33, 0x37, 0x3c));
    palette.setColor(QPalette::Mid, QColor(0x1e, 0x21, 0x24));
    palette.setColor(QPalette::Dark, QColor(0x0f, 0x10, 0x12));
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    palette.setColor(QPalette::HighlightedText, QColor(0xfc, 0xfc, 0xfc));
    palette.setColor(QPalette::Link, QColor(0x1d, 0x99, 0xf3));
    palette.setColor(QPalette::LinkVisited, QColor(0x9b, 0x59, 0xb6));
    palette.setColor(QPalette::ToolTipBase, QColor(0x29, 0x2c, 0x30));
    palette.setColor(QPalette::ToolTipText, QColor(0xfc, 0xfc, 0xfc));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(0x6e, 0x71, 0x75));
    return palette;
}

// The whole program in the dark palette while this lives.
class DarkPaletteScope
{
public:
    DarkPaletteScope()
        : m_original(QApplication::palette())
    {
        QApplication::setPalette(darkPalette(m_original));
    }
    ~DarkPaletteScope() { QApplication::setPalette(m_original); }
    DarkPaletteScope(const DarkPaletteScope &) = delete;
    DarkPaletteScope &operator=(const DarkPaletteScope &) = delete;

private:
    QPalette m_original;
};

} // namespace cdk::test
