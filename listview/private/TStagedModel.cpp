#include "listview/private/TStagedModel.h"

namespace {

void CopyColumn(const TListColumn& from, TListColumn& to)
{
    to.SetCaption(from.Caption());
    to.SetWidth(from.Width());
    to.SetAlignment(from.Alignment());
    to.SetImageIndex(from.ImageIndex());
}

} // namespace

TStagedModel::TStagedModel(const TListColumns& columns)
{
    for (int i = 0; i < columns.Count(); ++i)
        CopyColumn(columns[i], m_columns.Add());
}

void TStagedModel::CommitTo(
    TListColumns& columns, TListItems& items, TColumnsMode columnsMode, TRowsMode rowsMode)
{
    columns.BeginUpdate();
    items.BeginUpdate();
    if (columnsMode == cmReplace)
        columns.Clear();
    for (int i = 0; i < m_columns.Count(); ++i)
        CopyColumn(m_columns[i], i < columns.Count() ? columns[i] : columns.Add());
    m_columns.Clear();
    if (rowsMode == rmReplace)
        items.Clear();
    items.AppendTaken(m_items.TakeAll());
    items.EndUpdate();
    columns.EndUpdate();
}
