// Geometry of the report list view: rows, cells, labels and check boxes, and the hit tests.
#include "platform/TCustomListView.h"

#include "platform/ListCells.h"
#include "platform/THeaderControl.h"
#include "platform/TImageList.h"
#include "platform/private/ListViewMetrics.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <algorithm>

using namespace ListViewMetrics;

TRect TCustomListView::ItemRect(int item) const
{
    if (!m_handleAllocated || !ValidItem(item))
        return {};
    // Far-off rows of a long list with tall rows lie beyond the int range; they are pinned
    // well outside any viewport instead of wrapping around onto it.
    constexpr long long limit = 1 << 29;
    const int top = int(std::clamp((long long)(item - TopIndex()) * m_rowHeight, -limit, limit));
    const int left = -HorizontalOffset();
    return TRect { left, top, left + ContentWidth(), top + m_rowHeight };
}

TRect TCustomListView::CellRect(int item, int column) const
{
    TRect row = ItemRect(item);
    if (row.Height() == 0)
        return {};
    if (column < 0 || column >= m_columns.Count())
        return {};
    int left = row.left;
    for (const TListColumn* c : m_order) {
        if (c->Index() == column)
            return TRect { left, row.top, left + c->Width(), row.bottom };
        left += c->Width();
    }
    return {};
}

int TCustomListView::CaptionColumnLeftInset(int item) const
{
    const TListItem* it = m_items.Item(item);
    int inset = 0;
    if (m_smallImages && it)
        inset += it->Indent() * m_smallImages->Width();
    if (Checkboxes())
        inset += kCheckZone;
    if (m_smallImages)
        inset += m_smallImages->Width() + 2;
    return inset;
}

TRect TCustomListView::SubItemRect(int item, int column) const
{
    TRect cell = CellRect(item, column);
    if (cell.Height() == 0)
        return {};
    if (column == 0) {
        cell.left = std::min(cell.right, cell.left + CaptionColumnLeftInset(item));
    } else if ((m_exStyle & LVS_EX_SUBITEMIMAGES) && m_smallImages
        && m_items[item].SubItemImage(column) >= 0) {
        cell.left = std::min(cell.right, cell.left + m_smallImages->Width() + 2);
    }
    return cell;
}

TRect TCustomListView::CheckBoxRect(int item) const
{
    if (!Checkboxes())
        return {};
    TRect cell = CellRect(item, 0);
    if (cell.Height() == 0)
        return {};
    int left = cell.left + 2;
    if (m_smallImages)
        left += m_items[item].Indent() * m_smallImages->Width();
    const int top = cell.top + (cell.Height() - kCheckBox) / 2;
    return TRect { left, top, left + kCheckBox, top + kCheckBox };
}

bool TCustomListView::SubItemHitTest(TPoint client, int& item, int& column) const
{
    item = -1;
    column = -1;
    if (!m_handleAllocated || client.y < 0 || client.x < 0 || m_rowHeight <= 0)
        return false;
    const long long row = (long long)TopIndex() + client.y / m_rowHeight;
    if (row >= m_items.Count())
        return false;
    const int x = client.x + HorizontalOffset();
    int left = 0;
    for (const TListColumn* c : m_order) {
        if (x >= left && x < left + c->Width()) {
            item = int(row);
            column = c->Index();
            return true;
        }
        left += c->Width();
    }
    return false;
}

QString TCustomListView::CellText(int item, int column) const
{
    const TListItem* it = m_items.Item(item);
    return it ? ListCells::Text(*it, column) : QString();
}

void TCustomListView::EnsureCellVisible(int item, int column)
{
    const TRect cell = CellRect(item, column);
    if (cell.IsEmpty())
        return;
    const int width = viewport()->width();
    // Cell edges in content pixels (independent of the current scroll).
    const int offset = HorizontalOffset();
    const int left = cell.left + offset;
    const int right = cell.right + offset;
    int target = offset;
    if (right > offset + width)
        target = right - width;
    if (left < target)
        target = left;
    if (target != offset)
        horizontalScrollBar()->setValue(target);
}

void TCustomListView::AutoSizeColumn(int column)
{
    TListColumn* col = m_columns.Column(column);
    if (!col)
        return;
    const QFontMetrics metrics(m_font.ToQFont());
    const QFontMetrics headerMetrics(m_header->HeaderFont());
    const int padding = column == 0 ? kCaptionPadding : kCellPadding;
    int width = headerMetrics.horizontalAdvance(col->Caption()) + 12;
    const bool subImages = column > 0 && (m_exStyle & LVS_EX_SUBITEMIMAGES) && m_smallImages;
    for (int i = 0; i < m_items.Count(); ++i) {
        const TListItem& item = m_items[i];
        const QString text = ListCells::Text(item, column);
        int needed = metrics.horizontalAdvance(text) + 2 * padding;
        if (column == 0)
            needed += CaptionColumnLeftInset(i);
        else if (subImages && item.SubItemImage(column) >= 0)
            needed += m_smallImages->Width() + 2;
        width = std::max(width, needed);
    }
    col->SetWidth(width);
}
