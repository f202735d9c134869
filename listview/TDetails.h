// TDetails: the detail line drawn under every row (one of the row's texts in its own font).
#pragma once

#include "platform/TFont.h"

class TOrvListView;

class TDetails {
public:
    explicit TDetails(TOrvListView* list);
    TDetails(const TDetails&) = delete;
    TDetails& operator=(const TDetails&) = delete;

    void Assign(const TDetails& other);

    bool Visible() const { return m_visible; }
    void SetVisible(bool v);
    int Column() const { return m_column; } // column form: 0 = caption
    void SetColumn(int v);
    // The font is owned: assigning copies it, and editing it later repaints the list too.
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    void SetFont(const TFont& f);
    int Height() const { return m_height; } // pixels
    void SetHeight(int v);
    int Indent() const { return m_indent; } // pixels
    void SetIndent(int v);
    bool SplitLine() const { return m_splitLine; }
    void SetSplitLine(bool v);

    TOrvListView* List() const { return m_list; }

private:
    void Changed();

    TOrvListView* m_list;
    bool m_visible = false;
    int m_column = 0;
    TFont m_font;
    int m_height = 16;
    int m_indent = 0;
    bool m_splitLine = false;
};
