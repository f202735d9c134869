#include "listview/private/TCellLayout.h"

#include "listview/TOrvListView.h"
#include "platform/TImageList.h"

TCellLayout::TCellLayout(const TOrvListView& list)
    : m_list(list)
{ }

int TCellLayout::CellBottom(const TRect& row) const
{
    const TDetails& details = m_list.DetailView();
    return details.Visible() ? row.top + m_list.ItemHeight() - details.Height() : row.bottom;
}

bool TCellLayout::LayoutColumn(int item, const TRect& row, int column, TCellPieces& pieces) const
{
    if (item < 0 || item >= m_list.Items().Count() || column < 0 || column >= m_list.Columns().Count())
        return false;
    int left = row.left;
    const std::vector<int> order = m_list.ColumnOrder();
    for (int p = 0; p < int(order.size()); ++p) {
        const int c = order[size_t(p)];
        if (c == column) {
            pieces = Layout(item, row, p, c, left);
            return true;
        }
        left += m_list.Columns()[c].Width();
    }
    return false;
}

TCellPieces TCellLayout::Layout(int item, const TRect& row, int position, int column, int left) const
{
    TCellPieces pieces;
    const int bottom = CellBottom(row);
    pieces.cell = TRect { left, row.top, left + m_list.Columns()[column].Width(), bottom };
    pieces.text = pieces.cell;
    const TListItem& it = m_list.Items()[item];

    // The check box belongs to the first display position, placed by the vertical alignment.
    if (position == 0 && m_list.Checkboxes()) {
        const TBitmap& trueGlyph = m_list.CheckTrueGlyph();
        const TBitmap& falseGlyph = m_list.CheckFalseGlyph();
        pieces.checkGlyph = !trueGlyph.Empty() && !falseGlyph.Empty();
        const int h = pieces.checkGlyph ? trueGlyph.Height() : kCheckBoxSize;
        const int w = pieces.checkGlyph ? trueGlyph.Width() : kCheckBoxSize;
        const TRect& c = pieces.cell;
        int top = c.top;
        switch (m_list.VAlignment()) {
        case vtaCenter:
            if (c.Height() > h)
                top += (c.Height() - h) / 2;
            break;
        case vtaBottom:
            top = c.bottom - h;
            break;
        case vtaTop:
            break;
        }
        pieces.checkBox = TRect { c.left + kCheckBoxOffset, top, c.left + kCheckBoxOffset + w, top + h };
        pieces.text.left += pieces.checkGlyph ? w + kGlyphGap : kTextAfterCheckBox;
    }

    // The image: the row's own in the caption, a sub-item's only while sub-item images show.
    const int s = column - 1;
    TImageList* images = m_list.SmallImages();
    if (images && s < it.SubItems().size()) {
        int index = -1;
        if (s < 0)
            index = it.ImageIndex();
        else if (m_list.SubImages())
            index = it.SubItemImage(s + 1); // the platform counts sub-items from 1
        if (index >= 0 && index <= kMaxImageIndex) {
            const int imageHeight = images->Height();
            int y = row.top;
            switch (m_list.VAlignment()) {
            case vtaCenter:
                y = bottom - row.top < imageHeight ? row.top : row.top + (bottom - row.top - imageHeight) / 2;
                break;
            case vtaTop:
                y = row.top;
                break;
            case vtaBottom:
                y = bottom - imageHeight;
                break;
            }
            // The image stays inside its own row even when the cell area is lower than the picture.
            if (y < row.top)
                y = row.top;
            const int x = (m_list.Checkboxes() && position == 0) ? pieces.cell.left + kTextAfterCheckBox
                                                                 : pieces.cell.left + kImageOffset;
            pieces.imageIndex = index;
            pieces.imageAt = TPoint { x, y };
            pieces.text.left += images->Width() + kImageGap;
        }
    }

    pieces.label = pieces.text;
    if (position == 0)
        pieces.label.left += kIndentStep * it.Indent();
    return pieces;
}
