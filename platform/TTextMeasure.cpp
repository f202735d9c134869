#include "platform/TTextMeasure.h"

#include "platform/private/CanvasFont.h"

#include <cmath>

TTextMeasure::TTextMeasure() = default;
TTextMeasure::~TTextMeasure() = default;
TTextMeasure::TTextMeasure(const TTextMeasure&) = default;
TTextMeasure& TTextMeasure::operator=(const TTextMeasure&) = default;

TPoint TTextMeasure::Extent(const QString& text) const
{
    if (!m_font)
        return TPoint { 0, 0 };
    const int width = m_font->Measurer(m_expandTabs, m_tabChars)
                          .Width(textlayout::SingleLineText(text, m_prefix, m_expandTabs, nullptr));
    return TPoint { int(std::lround(width / m_unitsToPixelsX)),
        int(std::lround(m_lineHeight / m_unitsToPixelsY)) };
}
