// One font as a canvas resolved it: the Qt font and metrics for a font description at a device
// scale, and the widths measured with it so far. Shared by the canvas and the text measures it
// hands out, which keep it alive after the canvas has moved on to other fonts.
#pragma once

#include "platform/TFont.h"
#include "platform/private/TextLayout.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <memory>

struct TCanvasFont {
    QString name;
    int height = 0;
    TFontStyles style = 0;
    double unitsToPixels = 1.0;
    int dpi = 0;
    QFont font;
    std::unique_ptr<QFontMetrics> metrics;
    std::unique_ptr<textlayout::WidthCache> widths = std::make_unique<textlayout::WidthCache>();
    int ascent = 0; // device pixels
    int descent = 0; // device pixels
    int leading = 0; // device pixels, never negative
    int averageCharWidth = 0; // device pixels; sets the tab stops
    int fixedCharWidth = 0; // device pixels; 0 = the font's own metrics (a test canvas sets it)

    textlayout::Measurer Measurer(bool expandTabs, int tabChars) const
    {
        textlayout::Measurer m(*metrics, expandTabs, widths.get(), tabChars, averageCharWidth);
        if (fixedCharWidth > 0)
            m.UseFixedWidth(fixedCharWidth, tabChars);
        return m;
    }
};
