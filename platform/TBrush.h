// TBrush and TPen: fill and line attributes of a canvas.
#pragma once

#include "platform/TColor.h"

#include <QImage>
#include <functional>

enum TBrushStyle { bsSolid, bsClear };

class TBrush {
public:
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return m_style; }
    void SetStyle(TBrushStyle style);

    // A pattern picture tiled by fills instead of the colour (the list's wallpaper). Its
    // colour still serves as the text background in opaque mode.
    const QImage& Pattern() const { return m_pattern; }
    void SetPattern(const QImage& pattern);
    bool HasPattern() const { return !m_pattern.isNull(); }

    void Assign(const TBrush& other);
    std::function<void()> OnChange;

private:
    void Changed();
    TColor m_color = clWhite;
    TBrushStyle m_style = bsSolid;
    QImage m_pattern;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen {
public:
    TColor Color() const { return m_color; }
    void SetColor(TColor color) { m_color = color; }
    int Width() const { return m_width; } // logical units
    void SetWidth(int width) { m_width = width < 0 ? 0 : width; }
    TPenStyle Style() const { return m_style; }
    void SetStyle(TPenStyle style) { m_style = style; }
    void Assign(const TPen& other) { *this = other; }

private:
    TColor m_color = clBlack;
    int m_width = 1;
    TPenStyle m_style = psSolid;
};
