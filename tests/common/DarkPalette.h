#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace cdk::test {

// The colours a desktop's dark scheme gives: light text on near-black.
inline QPalette darkPalette(QPalette palette = QPalette())
{
    palette.setColor(QPalette::Window, QColor(37, 37, 38));
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    palette.setColor(QPalette::Base, QColor(28, 28, 30));
    palette.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    palette.setColor(QPalette::Text, QColor(230, 230, 230));
    palette.setColor(QPalette::Button, QColor(50, 50, 52));
    palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(50, 50, 52));
    palette.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    return palette;
}

// The whole program in the dark palette while this lives.
class DarkPaletteScope
{
public:
    DarkPaletteScope() : m_original(QApplication::palette())
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
