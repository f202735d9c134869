// The accessibility hooks of TCustomListView; the accessible table itself lives in
// private/TListViewAccessible.
#include "platform/TCustomListView.h"

#include "platform/private/TListViewAccessible.h"

QString TCustomListView::DisplayText(int item, int column) const
{
    if (item == -1)
        return column >= 0 && column < m_columns.Count() ? m_columns[column].Caption() : QString();
    return CellText(item, column);
}

void TCustomListView::CurrentCellChanged()
{
    TListViewAccessible::SelectionOrCurrentChanged(*this);
}
