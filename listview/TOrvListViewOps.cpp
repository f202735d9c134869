// Row and column operations, text marking, per-cell images and indents, and the clipboard
// exchange of TOrvListView.
#include "listview/TOrvListView.h"

#include "platform/OrvExceptions.h"
#include "listview/ops/ClipboardText.h"
#include "listview/ops/RowColumnOps.h"
#include "markup/MarkupText.h"
#include "platform/TClipboard.h"
#include "platform/THeaderControl.h"

#include <QScrollBar>

// ---------------------------------------------------------------------------------------------
// Rows and columns
// ---------------------------------------------------------------------------------------------

void TOrvListView::SwapRows(int Row1, int Row2)
{
    orvops::SwapRows(Items(), Row1, Row2);
    viewport()->update();
}

void TOrvListView::MoveRow(int FromRow, int ToRow)
{
    if (orvops::MoveRow(Items(), FromRow, ToRow) < 0)
        return;
    // The rows keep the height the application chose; they are only measured again.
    Remeasure();
    viewport()->update();
}

void TOrvListView::SwapColumns(int Pos1, int Pos2)
{
    std::vector<int> order = ColumnOrder();
    if (orvops::SwapPositions(order, Columns().Count(), Pos1, Pos2)) {
        SetColumnOrder(order);
        viewport()->update();
        Header().update();
    }
}

void TOrvListView::MoveColumn(int FromPos, int ToPos)
{
    std::vector<int> order = ColumnOrder();
    if (orvops::MovePosition(order, Columns().Count(), FromPos, ToPos)) {
        SetColumnOrder(order);
        viewport()->update();
        Header().update();
    }
}

// ---------------------------------------------------------------------------------------------
// Marking text in every cell
// ---------------------------------------------------------------------------------------------

namespace {

template <class Transform> void TransformAllCells(TListItems& items, Transform transform)
{
    items.BeginUpdate();
    for (int r = 0; r < items.Count(); ++r) {
        TListItem& item = items[r];
        item.SetCaption(transform(item.Caption()));
        for (QString& sub : item.SubItems())
            sub = transform(sub);
    }
    items.EndUpdate();
}

} // namespace

void TOrvListView::HilightInList(const QString& Text, bool CaseSensitive)
{
    TransformAllCells(Items(),
        [&](const QString& cell) { return MarkText(cell, Text, QStringLiteral("hi"), CaseSensitive); });
    viewport()->update();
}

void TOrvListView::UnHilightInList()
{
    TransformAllCells(Items(), [](const QString& cell) { return UnmarkText(cell, QStringLiteral("hi")); });
    viewport()->update();
}

void TOrvListView::MarkInList(const QString& Text, bool CaseSensitive)
{
    TransformAllCells(Items(),
        [&](const QString& cell) { return MarkText(cell, Text, QStringLiteral("e"), CaseSensitive); });
    viewport()->update();
}

void TOrvListView::UnMarkInList()
{
    TransformAllCells(Items(), [](const QString& cell) { return UnmarkText(cell, QStringLiteral("e")); });
    viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Per-cell images and row indents
// ---------------------------------------------------------------------------------------------

void TOrvListView::SetSubItemImage(int Row, int SubItem, int ImageIndex)
{
    if (TListItem* item = Items().Item(Row); item && SubItem >= 0) {
        item->SetSubItemImage(SubItem + 1, ImageIndex);
        viewport()->update();
    }
}

int TOrvListView::GetSubItemImage(int Row, int SubItem) const
{
    if (!m_subImages || SubItem < 0)
        return -1;
    const TListItem* item = Items().Item(Row);
    return item ? item->SubItemImage(SubItem + 1) : -1;
}

void TOrvListView::SetItemIndent(int Row, int SubItem, int Indent)
{
    // Indents belong to the row; only sub-item 0 addresses it.
    if (TListItem* item = Items().Item(Row); item && SubItem == 0) {
        item->SetIndent(Indent);
        viewport()->update();
    }
}

int TOrvListView::GetItemIndent(int Row, int SubItem) const
{
    const TListItem* item = Items().Item(Row);
    return item && SubItem == 0 ? item->Indent() : 0;
}

// ---------------------------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------------------------

namespace {

bool CellMode(const TOrvListView& list)
{
    return list.SubItemSelect() || list.SubItemEdit();
}

} // namespace

static void CopyRows(TOrvListView& list, bool selectedOnly)
{
    QString text;
    const TListItem* selected = list.Items().Selected();
    if (CellMode(list) && selected)
        text = list.Cells(std::max(0, list.SelectedColumn()), selected->Index());
    else
        text = orvops::RowsToText(list.Items(), selectedOnly);
    TClipboard::SetAsText(text);
}

void TOrvListView::CopyToClipboard()
{
    CopyRows(*this, false);
}

void TOrvListView::CopySelectionToClipboard()
{
    CopyRows(*this, true);
}

void TOrvListView::CutToClipboard()
{
    CopySelectionToClipboard();
    DeleteSelectedRows();
}

void TOrvListView::DeleteSelectedRows()
{
    orvops::DeleteSelectedRows(Items());
    viewport()->update();
}

void TOrvListView::PasteFromClipboard()
{
    if (!TClipboard::HasText())
        return;
    const QString text = TClipboard::AsText();
    if (CellMode(*this)) {
        TListItem* row = Items().Selected();
        if (!row)
            return;
        if (m_selectedColumn <= 0)
            row->SetCaption(text);
        else if (row->SubItems().size() >= m_selectedColumn)
            row->SubItems()[m_selectedColumn - 1] = text;
        viewport()->update();
        return;
    }
    if (const orvops::TOverlongLine overlong = orvops::FindOverlongLine(text); overlong.line > 0)
        throw EOrvListViewError(
            QStringLiteral("Line %1 of the pasted text has %2 fields; a list takes at most %3")
                .arg(overlong.line)
                .arg(overlong.fields)
                .arg(kMaxTextFields));
    const int last = orvops::AppendRowsFromText(Items(), Columns(), text);
    if (last >= 0) {
        ScrollBy(0, 65535);
        Items()[last].SetFocused(true);
        viewport()->update();
    }
}
