#include "platform/TColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor SystemColor(TColor color)
{
    const QPalette pal = QGuiApplication::palette();
    switch (color & 0xFF) {
    case 0x00: return pal.color(QPalette::Button);             // scroll bar
    case 0x01: return pal.color(QPalette::Window);             // desktop background
    case 0x02: return pal.color(QPalette::Active, QPalette::Highlight);
    case 0x03: return pal.color(QPalette::Inactive, QPalette::Highlight);
    case 0x04: return pal.color(QPalette::Window);             // menu
    case 0x05: return pal.color(QPalette::Base);               // window
    case 0x06: return pal.color(QPalette::Shadow);             // window frame
    case 0x07: return pal.color(QPalette::WindowText);         // menu text
    case 0x08: return pal.color(QPalette::Text);               // window text
    case 0x09: return pal.color(QPalette::Active, QPalette::HighlightedText);
    case 0x0A: return pal.color(QPalette::Mid);                // active border
    case 0x0B: return pal.color(QPalette::Midlight);           // inactive border
    case 0x0C: return pal.color(QPalette::Dark);               // application workspace
    case 0x0D: return pal.color(QPalette::Active, QPalette::Highlight);
    case 0x0E: return pal.color(QPalette::Active, QPalette::HighlightedText);
    case 0x0F: return pal.color(QPalette::Button);             // button face
    case 0x10: return pal.color(QPalette::Dark);               // button shadow
    case 0x11: return pal.color(QPalette::Disabled, QPalette::Text);
    case 0x12: return pal.color(QPalette::ButtonText);
    case 0x13: return pal.color(QPalette::Inactive, QPalette::HighlightedText);
    case 0x14: return pal.color(QPalette::Light);              // button highlight
    case 0x15: return pal.color(QPalette::Shadow);             // 3-D dark shadow
    case 0x16: return pal.color(QPalette::Midlight);           // 3-D light
    case 0x17: return pal.color(QPalette::ToolTipText);
    case 0x18: return pal.color(QPalette::ToolTipBase);
    default: return QColor(Qt::black);
    }
}

} // namespace

QColor ToQColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    if (IsSystemColor(color))
        return SystemColor(color);
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor FromQColor(const QColor& color)
{
    return RGBColor(color.red(), color.green(), color.blue());
}

TColor ColorToRGB(TColor color)
{
    if (color == clNone)
        return clWhite;
    if (IsSystemColor(color))
        return FromQColor(SystemColor(color));
    return color & 0xFFFFFF;
}
