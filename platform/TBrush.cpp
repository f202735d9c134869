#include "platform/TBrush.h"

void TBrush::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    Changed();
}

void TBrush::SetPattern(const QImage& pattern)
{
    if (pattern.isNull() && m_pattern.isNull())
        return;
    m_pattern = pattern;
    Changed();
}

void TBrush::Assign(const TBrush& other)
{
    if (this != &other) {
        m_color = other.m_color;
        m_style = other.m_style;
        m_pattern = other.m_pattern;
    }
    Changed();
}

void TBrush::Changed()
{
    if (OnChange)
        OnChange();
}
