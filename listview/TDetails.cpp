#include "listview/TDetails.h"

#include "listview/TOrvListView.h"

TDetails::TDetails(TOrvListView* list)
    : m_list(list)
{
    m_font.SetColor(clBlue);
    m_font.OnChange = [this] { Changed(); };
}

void TDetails::Assign(const TDetails& other)
{
    if (&other == this)
        return;
    m_visible = other.m_visible;
    m_column = other.m_column;
    m_height = other.m_height;
    m_indent = other.m_indent;
    m_splitLine = other.m_splitLine;
    m_font.Assign(other.m_font); // notifies, which repaints
}

void TDetails::Changed()
{
    if (m_list)
        m_list->Invalidate();
}

void TDetails::SetVisible(bool v)
{
    if (v == m_visible)
        return;
    m_visible = v;
    Changed();
}

void TDetails::SetColumn(int v)
{
    if (v < 0 || v == m_column)
        return;
    m_column = v;
    Changed();
}

void TDetails::SetFont(const TFont& f)
{
    m_font.Assign(f);
}

void TDetails::SetHeight(int v)
{
    if (v < 0 || v == m_height)
        return;
    m_height = v;
    Changed();
}

void TDetails::SetIndent(int v)
{
    if (v == m_indent)
        return;
    m_indent = v;
    Changed();
}

void TDetails::SetSplitLine(bool v)
{
    if (v == m_splitLine)
        return;
    m_splitLine = v;
    Changed();
}
