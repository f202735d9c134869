// TTextMeasure: single-line texts measured in one font the way the canvas's DrawText measures
// them with DT_SINGLELINE | DT_CALCRECT, without a canvas call per text.
//
// Markup layout measures many short runs of text in the same font; a measure taken from the
// canvas once per run of one font answers each of them from the font's own width cache.
#pragma once

#include "platform/TTypes.h"

#include <QString>
#include <memory>

struct TCanvasFont;

class TTextMeasure {
public:
    TTextMeasure();
    ~TTextMeasure();
    TTextMeasure(const TTextMeasure&);
    TTextMeasure& operator=(const TTextMeasure&);

    bool IsValid() const { return bool(m_font); }
    // Width and height of `text` in logical units, exactly as DrawText(text, rect, flags |
    // DT_CALCRECT) reports them for the flags the measure was made with.
    TPoint Extent(const QString& text) const;

private:
    friend class TCanvas;
    std::shared_ptr<const TCanvasFont> m_font;
    bool m_prefix = true; // "&" marks the next character
    bool m_expandTabs = false;
    int m_tabChars = 0;
    int m_lineHeight = 0; // device pixels
    double m_unitsToPixelsX = 1.0;
    double m_unitsToPixelsY = 1.0;
};
