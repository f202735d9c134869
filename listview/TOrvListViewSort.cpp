// Column sort of TOrvListView: the header click, SortByColumn, ApplySort and the sort indicator
// formats of platform-drawn header sections.
#include "listview/TOrvListView.h"

#include "listview/ops/SortEngine.h"
#include "platform/THeaderControl.h"
#include "platform/TImageList.h"

void TOrvListView::ColumnClick(int column)
{
    if (m_sortShow) {
        if (column == m_sortColumn)
            SetSortDirection(m_sortDirection == sdAscending ? sdDescending : sdAscending);
        bool enable = true;
        if (OnSortStart)
            OnSortStart(*this, column, enable);
        if (enable) {
            ApplySort(column);
            if (OnSortDone)
                OnSortDone(*this, column);
        }
    }
    TCustomListView::ColumnClick(column);
}

void TOrvListView::SortByColumn(int Column)
{
    ApplySort(Column);
    if (m_sortShow)
        SetHeaderBitmapIndicator(Column);
}

void TOrvListView::RemoveHeaderIndicator(int Column)
{
    if (Column < 0 || Column >= Columns().Count())
        return;
    Header().SetFormat(Column, THeaderControl::AlignmentFormat(Columns()[Column].Alignment()));
    if (m_headerImages)
        Header().SetImageIndex(Column, -1);
}

void TOrvListView::SetHeaderImageIndicator(int Column, int Image)
{
    if (Column < 0 || Column >= Columns().Count())
        return;
    unsigned format = THeaderControl::AlignmentFormat(Columns()[Column].Alignment()) | HDF_IMAGE;
    if (m_sortIndicator == siRight)
        format |= HDF_BITMAP_ON_RIGHT;
    Header().SetFormat(Column, format);
    Header().SetImageList(m_headerImages);
    Header().SetImageIndex(Column, Image);
}

void TOrvListView::SetHeaderBitmapIndicator(int Column)
{
    if (Column < 0 || Column >= Columns().Count() || !m_sortShow || m_sortUpGlyph.Empty()
        || m_sortDownGlyph.Empty())
        return;
    if (m_headerOwnerDraw) {
        // The owner-drawn section paints the indicator itself.
        Header().SetFormat(Column, HDF_OWNERDRAW);
        return;
    }
    unsigned format
        = HDF_BITMAP | HDF_STRING | THeaderControl::AlignmentFormat(Columns()[Column].Alignment());
    if (m_sortIndicator == siRight)
        format |= HDF_BITMAP_ON_RIGHT;
    Header().SetFormat(Column, format);
    Header().SetBitmap(
        Column, (m_sortDirection == sdAscending ? m_sortUpGlyph : m_sortDownGlyph).DrawImage());
}

void TOrvListView::ApplySort(int Column)
{
    if (Column != m_sortColumn && m_sortColumn >= 0 && m_sortShow)
        RemoveHeaderIndicator(m_sortColumn);

    if (Column >= 0 && Column < Columns().Count()) {
        m_sortColumn = Column;
        m_compareColumn = Column - 1;
        if (m_sortShow) {
            if ((m_sortUpGlyph.Empty() || m_sortDownGlyph.Empty()) && m_headerImages)
                SetHeaderImageIndicator(Column, m_sortDirection == sdAscending ? 0 : 1);
            else if (!m_sortUpGlyph.Empty() && !m_sortDownGlyph.Empty())
                SetHeaderBitmapIndicator(Column);
        }
        // The rows are plain data, so they sort with or without a window.
        orvsort::TSortHandlers handlers = SortHandlers();
        orvsort::TSortRun run(m_compareColumn, m_sortDirection == sdAscending ? 1 : -1, handlers);
        Items().BeginUpdate();
        run.Sort(Items());
        Items().EndUpdate();
        // Format changes above may have turned owner-drawn sections back into plain ones.
        SetHeaderOwnerDraw(m_headerOwnerDraw);
    }
    m_sortIndicatorColumn = m_sortColumn;
    viewport()->update();
    Header().update();
}

orvsort::TSortHandlers TOrvListView::SortHandlers()
{
    orvsort::TSortHandlers handlers;
    if (OnGetFormat)
        handlers.getFormat = [this](int col, TSortStyle& style, QString& prefix, QString& suffix) {
            OnGetFormat(*this, col, style, prefix, suffix);
        };
    if (OnCustomCompare)
        handlers.customCompare = [this](int col, const QString& s1, const QString& s2, int& res) {
            OnCustomCompare(*this, col, s1, s2, res);
        };
    if (OnRawCompare)
        handlers.rawCompare
            = [this](int col, int row1, int row2, int& res) { OnRawCompare(*this, col, row1, row2, res); };
    return handlers;
}

int TOrvListView::CompareItems(const TListItem* Item1, const TListItem* Item2)
{
    const orvsort::TSortHandlers handlers = SortHandlers();
    orvsort::TSortRun run(m_compareColumn, m_sortDirection == sdAscending ? 1 : -1, handlers);
    return run.Compare(Item1, Item2);
}
