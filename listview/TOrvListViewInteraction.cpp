// Mouse and keyboard interaction of TOrvListView: the current cell, URLs and anchors under the
// mouse, check box clicks, row dragging with auto-scroll, in-place cell editing, cell and scroll
// hints, and the clipboard keys.
//
// Sections:
//   1. Geometry shared with the row painter
//   2. Anchors and URLs
//   3. Mouse
//   4. Row dragging
//   5. Keyboard
//   6. Cell editing
//   7. Hints
#include "listview/TOrvListView.h"

#include "listview/CellContent.h"
#include "listview/private/TCellLayout.h"
#include "markup/DrawMarkup.h"
#include "pictures/THTMLPictureCache.h"
#include "platform/ListCells.h"
#include "platform/THintWindow.h"
#include "platform/TImageList.h"
#include "platform/TShell.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

// ============================================================================================
// 1. Geometry shared with the row painter
// ============================================================================================

TRect TOrvListView::SubItemRect(int item, int column) const
{
    if (!m_ownerDraw)
        return TCustomListView::SubItemRect(item, column);
    const TRect row = ItemRect(item);
    TCellPieces pieces;
    if (row.Height() == 0 || !TCellLayout(*this).LayoutColumn(item, row, column, pieces))
        return {};
    // The label spans the row's full height, as the platform's label rectangles do.
    return TRect { std::min(pieces.label.left, pieces.cell.right), row.top, pieces.cell.right, row.bottom };
}

TRect TOrvListView::CheckBoxRect(int item) const
{
    if (!m_ownerDraw)
        return TCustomListView::CheckBoxRect(item);
    const TRect row = ItemRect(item);
    const int first = ColumnAtPosition(0);
    if (!Checkboxes() || row.Height() == 0 || first < 0)
        return {};
    return TCellLayout(*this).Layout(item, row, 0, first, row.left).checkBox;
}

int TOrvListView::RowAtY(int Y) const
{
    const TRect first = ItemRect(TopIndex());
    if (Y < 0 || first.Height() <= 0)
        return -1;
    const long long row = (long long)TopIndex() + Y / first.Height();
    return row < Items().Count() ? int(row) : -1;
}

void TOrvListView::PrepareCellCanvas(
    TCanvas& canvas, int row, int column, const QString& text, TOwnerDrawState state)
{
    // The font the cell is drawn with, so that measuring and hit tests agree with the picture.
    canvas.SetFont(Font());
    canvas.Brush().SetColor(Color());
    DoDrawItemProp(row, column - 1, state, canvas.Brush(), canvas.Font(), text);
}

// ============================================================================================
// 2. Anchors and URLs
// ============================================================================================

QString TOrvListView::AnchorHitTest(int X, int Y, double ResFactor)
{
    int column = 0;
    int row = 0;
    if (!CellAtPoint(X, Y, column, row))
        return QString();
    const QString text = Cells(column, row);
    if (!CellContent::IsMarkup(text))
        return QString();
    TRect rect = CellRect(row, column);
    rect.left += kAnchorOffset;
    TCanvas canvas;
    TOwnerDrawState state = 0;
    if (Items()[row].Selected())
        state |= odSelected;
    if (Items()[row].Focused())
        state |= odFocused;
    PrepareCellCanvas(canvas, row, column, text, state);
    QString anchor, plain, focusHref;
    int width = 0, height = 0, anchors = 0, hoverAnchor = -1;
    TRect hoverRect;
    const bool hit = DrawMarkup(canvas, text, rect, SmallImages(), X, Y, -1, -1, 1, true, false, false, true,
        true, false, true, ResFactor, m_urlColor, clNone, clNone, clGray, anchor, plain, focusHref, width,
        height, anchors, hoverAnchor, hoverRect, m_pictureCache.get(), m_pictureContainer);
    return hit ? anchor : QString();
}

bool TOrvListView::OpenURL(int row, const QString& url)
{
    bool handled = false;
    if (OnURLClick)
        OnURLClick(*this, row, url, handled);
    // Only links of the web, mail and file kinds open, and never through a command shell.
    return handled || TShell::Open(url);
}

void TOrvListView::AnchorEntered(const QString& anchor)
{
    if (m_hoverAnchorEntered && anchor == m_hoverAnchor)
        return;
    // Straight from one anchor onto the next: the first is left before the second is entered.
    if (m_hoverAnchorEntered && !m_hoverAnchor.isEmpty())
        AnchorLeft();
    m_hoverAnchor = anchor;
    m_hoverAnchorEntered = true;
    if (OnAnchorEnter)
        OnAnchorEnter(*this, anchor);
}

void TOrvListView::AnchorLeft()
{
    if (!m_hoverAnchorEntered)
        return;
    const QString anchor = m_hoverAnchor;
    m_hoverAnchor.clear();
    m_hoverAnchorEntered = false;
    if (OnAnchorExit)
        OnAnchorExit(*this, anchor);
}

void TOrvListView::SetOverCursor(const QCursor& cursor)
{
    if (RowsCursor().shape() != cursor.shape())
        SetRowsCursor(cursor);
}

QCursor TOrvListView::DragCursor()
{
    return QCursor(Qt::DragMoveCursor);
}

// ============================================================================================
// 3. Mouse
// ============================================================================================

void TOrvListView::SetCurrentCell(int row, int column)
{
    const bool changed = row != m_focusRow || column != m_selectedColumn;
    m_focusRow = row;
    m_selectedColumn = column;
    if (!changed)
        return;
    // Other selected rows show the current column too; they must not keep a stale highlight.
    if (m_subItemEdit || m_subItemSelect)
        viewport()->update();
    CurrentCellChanged();
}

void TOrvListView::mouseMoveEvent(QMouseEvent* event)
{
    if (!HandleAllocated()) {
        TCustomListView::mouseMoveEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int X = pos.x();
    const int Y = pos.y();
    // The pressed button keeps the mouse, so leaving the rows shows only here; and a drag whose
    // button went up elsewhere (a message box opened by the press) is over too.
    if (m_dragRow >= 0
        && (!viewport()->rect().contains(pos) || !(QGuiApplication::mouseButtons() & Qt::LeftButton)))
        EndRowDrag(-2);

    const QString text = CellTextAtPoint(X, Y);
    bool over = false;
    if (m_urlShow && m_dragRow < 0 && ContentKind(text) == ckURL
        && (!Checkboxes() || RowX(X) > kURLCursorLeft)) {
        over = true;
        SetOverCursor(URLHandCursor());
    }
    QString anchor;
    if (CellContent::IsMarkup(text))
        anchor = AnchorHitTest(X, Y, 1.0);
    if (!anchor.isEmpty()) {
        over = true;
        SetOverCursor(URLHandCursor());
        AnchorEntered(anchor);
    } else {
        // The entered flag starts set: the first move over no anchor reports leaving "".
        AnchorLeft();
    }
    if (m_dragRow >= 0) {
        SetOverCursor(DragCursor());
        over = true;
    }
    if (!over)
        SetOverCursor(m_normalCursor);

    if (m_hintCol >= 0 && m_hintRow >= 0) {
        int column = -1;
        int row = -1;
        if (!CellAtPoint(X, Y, column, row) || column != m_hintCol || row != m_hintRow) {
            CancelHint();
            m_hintCol = -1;
            m_hintRow = -1;
        }
    }
    TCustomListView::mouseMoveEvent(event);
}

void TOrvListView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !HandleAllocated()) {
        TCustomListView::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int X = pos.x();
    const int Y = pos.y();
    const bool cellMode = m_subItemEdit || m_subItemSelect;
    int column = 0;
    int row = 0;
    const bool hit = CellAtPoint(X, Y, column, row);
    // While a cell is edited the current cell stays; the click ends the edit first.
    if (!m_editing) {
        if (!hit) {
            TCustomListView::mousePressEvent(event);
            return;
        }
        SetCurrentCell(row, column);
    }
    const bool wasChecked = m_focusRow < Items().Count() && Items()[m_focusRow].Checked();

    // Anchors act on the press; a link with "://" is a URL, anything else the application's.
    // The second press of a double click does not act on them again.
    const QString text = CellTextAtPoint(X, Y);
    const bool markup = CellContent::IsMarkup(text);
    if (markup && !m_secondClick) {
        const QString anchor = AnchorHitTest(X, Y, 0.0);
        if (anchor.contains(QLatin1String("://")))
            OpenURL(hit ? row : m_focusRow, anchor);
        else if (!anchor.isEmpty() && OnAnchorClick)
            OnAnchorClick(*this, anchor);
    }

    if (m_reArrangeItems)
        m_dragRow = m_focusRow;
    if (!cellMode)
        SetCurrentCell(m_focusRow, 0);

    // A URL cell opens its full text, not the shortened one it shows.
    if (m_urlShow && (!Checkboxes() || RowX(X) > kCheckClickRight) && !markup && !m_secondClick) {
        const QString url = CellTextAtPoint(X, Y);
        if (ContentKind(url) == ckURL)
            OpenURL(m_focusRow, url);
    }

    // The drawn check box toggles by itself: the row is neither selected nor dragged.
    if (Checkboxes() && RowX(X) <= kCheckClickRight && m_ownerDraw && m_focusRow < Items().Count()) {
        m_dragRow = -1;
        const int toggled = m_focusRow;
        TListItem& item = Items()[toggled];
        item.SetChecked(!item.Checked());
        if (OnCheckboxClick)
            OnCheckboxClick(*this, toggled, item.Checked());
        event->accept();
        return;
    }

    const int pressed = m_focusRow;
    TCustomListView::mousePressEvent(event);
    if (pressed < Items().Count() && Items()[pressed].Checked() != wasChecked && OnCheckboxClick)
        OnCheckboxClick(*this, pressed, Items()[pressed].Checked());
    // Exactly one cell is current: the clicked one in cell modes, else the row's caption.
    if (CellAtPoint(X, Y, column, row))
        SetCurrentCell(row, cellMode ? column : 0);
    if (cellMode)
        RefreshFocusedRow();
}

void TOrvListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a pair selects and toggles like any click, but a link opened by the
    // first one is not opened twice.
    m_secondClick = true;
    TCustomListView::mouseDoubleClickEvent(event);
    m_secondClick = false;
}

void TOrvListView::mouseReleaseEvent(QMouseEvent* event)
{
    TCustomListView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || m_dragRow < 0)
        return;
    const QPoint pos = event->position().toPoint();
    // Beside the columns still counts as the row; below the last row is the end of the list.
    EndRowDrag(viewport()->rect().contains(pos) ? RowAtY(pos.y()) : -2);
}

void TOrvListView::MouseLeave()
{
    TCustomListView::MouseLeave();
    EndRowDrag(-2);
    // The pointer is no longer over any anchor, whichever way it left.
    if (!m_hoverAnchor.isEmpty())
        AnchorLeft();
    SetOverCursor(m_normalCursor);
}

void TOrvListView::ItemsChanged()
{
    TCustomListView::ItemsChanged();
    // Rows went away under the current cell: it moves to the focused row, or the last one.
    if (m_focusRow >= Items().Count()) {
        const int focused = FocusedIndex();
        m_focusRow = focused >= 0 ? focused : std::max(0, Items().Count() - 1);
    }
    if (m_dragRow >= Items().Count())
        m_dragRow = -1;
}

int TOrvListView::RefreshFocusedRow()
{
    const int focused = FocusedIndex();
    // The whole view: every selected row shows the current column.
    viewport()->update();
    return focused >= 0 ? focused : 0;
}

// ============================================================================================
// 4. Row dragging
// ============================================================================================

void TOrvListView::EndRowDrag(int target)
{
    if (m_dragRow < 0)
        return;
    const int from = m_dragRow;
    m_dragRow = -1;
    SetOverCursor(m_normalCursor);
    if (target >= -1)
        MoveRow(from, target);
}

void TOrvListView::WindowTimer()
{
    if (m_dragRow < 0)
        return;
    // Near the top or the bottom of the rows the list scrolls a line at a time, so that a row
    // can be dragged to a place off screen.
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    if (p.y() < m_itemHeight)
        ScrollLines(-1);
    if (p.y() > viewport()->height() - m_itemHeight)
        ScrollLines(1);
}

// ============================================================================================
// 5. Keyboard
// ============================================================================================

void TOrvListView::MoveCurrentColumn(int step)
{
    // Left and Right follow the columns as they are shown, also after they were reordered.
    const int position = PositionOfColumn(m_selectedColumn) + step;
    const int column = ColumnAtPosition(position);
    if (column >= 0)
        SetCurrentCell(m_focusRow, column);
}

void TOrvListView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (m_subItemEdit || m_subItemSelect) {
        const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
        if (horizontal)
            MoveCurrentColumn(key == Qt::Key_Left ? -1 : 1);
        if (horizontal || key == Qt::Key_Space || key == Qt::Key_F2) {
            const int row = RefreshFocusedRow();
            if (horizontal) {
                // The view moves only as far as the current cell needs, never by itself.
                EnsureCellVisible(m_focusRow, m_selectedColumn);
                event->accept();
                return;
            }
            if (m_subItemEdit && (key == Qt::Key_F2 || !ReadOnly())) {
                m_focusRow = row;
                EnsureCellVisible(row, m_selectedColumn);
                EditCaption(row);
                event->accept();
                return;
            }
        }
    }

    if (m_clipboardEnable) {
        const bool ctrl = mods & Qt::ControlModifier;
        const bool shift = mods & Qt::ShiftModifier;
        // Tested in this order; the first match wins (Ctrl+Shift+Insert copies).
        bool done = true;
        if (ctrl && key == Qt::Key_X)
            CutToClipboard();
        else if (ctrl && key == Qt::Key_V)
            PasteFromClipboard();
        else if (ctrl && key == Qt::Key_C)
            CopySelectionToClipboard();
        else if (ctrl && key == Qt::Key_Insert)
            CopySelectionToClipboard();
        else if (shift && key == Qt::Key_Insert)
            PasteFromClipboard();
        else if (shift && key == Qt::Key_Delete)
            CutToClipboard();
        else
            done = false;
        if (done) {
            event->accept();
            return;
        }
    }

    // Space toggles the focused row's check box in the platform; the event reports the toggle
    // that really happened, on the row it happened to.
    const int focused = FocusedIndex();
    const bool wasChecked = focused >= 0 && Items()[focused].Checked();
    TCustomListView::keyPressEvent(event);
    if (key == Qt::Key_Space && Checkboxes() && focused >= 0 && focused < Items().Count()
        && Items()[focused].Checked() != wasChecked && OnCheckboxClick)
        OnCheckboxClick(*this, focused, Items()[focused].Checked());
}

// ============================================================================================
// 6. Cell editing
// ============================================================================================

bool TOrvListView::BeginLabelEdit(int item)
{
    if (!TCustomListView::BeginLabelEdit(item))
        return false;
    if (!m_subItemEdit)
        return true;
    m_focusRow = item;
    if (m_selectedColumn < 0 || m_selectedColumn >= Columns().Count())
        return false;
    bool allow = true;
    if (OnCanEditCell)
        OnCanEditCell(*this, m_focusRow, m_selectedColumn, allow);
    if (!allow)
        return false;
    // Rows with room for two lines wrap the text as the cell does; lower ones scroll one line.
    TCanvas canvas;
    canvas.SetFont(Font());
    SetEditMultiLine(RowHeight() >= 2 * canvas.TextHeight(QStringLiteral("Ag")));
    SetEditVerticalAlignment(m_vertTextFlag);
    SetEditMaxLength(kMaxEditLength);
    PinEditWindow(CellRect(m_focusRow, m_selectedColumn));
    SetEditText(Cells(m_selectedColumn, m_focusRow));
    m_editColumn = m_selectedColumn;
    m_editing = true;
    return true;
}

void TOrvListView::EndLabelEdit(int item, const QString& text, bool accepted)
{
    if (!m_editing) {
        TCustomListView::EndLabelEdit(item, text, accepted);
        return;
    }
    m_editing = false;
    // Escape leaves the cell as it was. Only the edited cell is written: the caption of the row
    // keeps its text when another column was edited.
    if (accepted)
        SetCells(m_editColumn, item, text);
    RefreshFocusedRow();
}

// ============================================================================================
// 7. Hints
// ============================================================================================

bool TOrvListView::HintShow(THintRequest& request)
{
    bool canShow = TCustomListView::HintShow(request);
    if (!m_autoHint)
        return canShow;
    const int X = request.cursorPos.x;
    const int Y = request.cursorPos.y;
    QString text = CellTextAtPoint(X, Y);
    if (text.isEmpty())
        return canShow;
    int column = -1;
    int row = -1;
    if (!CellAtPoint(X, Y, column, row))
        return canShow;
    // The hint lies over the cell: the caption's from the cell's own left edge, before the
    // check box and image.
    const TRect place = column == 0 ? TCustomListView::CellRect(row, 0) : CellRect(row, column);
    const QPoint screen = viewport()->mapToGlobal(QPoint(place.left, place.top));
    request.hintPos = TPoint { screen.x(), screen.y() };
    m_hintCol = column;
    m_hintRow = row;

    TCanvas canvas;
    PrepareCellCanvas(canvas, row, column, text, 0);
    if (CellContent::IsRichText(text)) {
        CellToRich(row, column - 1, RichEdit());
        text = RichEdit().PlainText();
    }
    int width = 0;
    if (CellContent::IsMarkup(text)) {
        QString anchor, plain;
        int contentWidth = 0, contentHeight = 0;
        DrawMarkupSimple(canvas, text, TRect { 0, 0, 1000, 1000 }, SmallImages(), 0, 0, true, true, false,
            true, true, 0.0, m_urlColor, anchor, plain, contentWidth, contentHeight);
        if (m_htmlHint) {
            // The hint shows the markup as the cell draws it; what counts is the drawn width.
            width = contentWidth;
            request.contentWidth = contentWidth;
            request.contentHeight = contentHeight;
            const TFont font(canvas.Font());
            request.paint = [this, text, font](TCanvas& target, const TRect& content) {
                target.SetFont(font);
                QString a, p, f;
                int w = 0, h = 0, n = 0, hover = -1;
                TRect hoverRect;
                DrawMarkup(target, text, content, SmallImages(), 0, 0, -1, -1, 1, false, false, false, false,
                    true, false, true, 0.0, m_urlColor, clNone, clNone, clGray, a, p, f, w, h, n, hover,
                    hoverRect, m_pictureCache.get(), m_pictureContainer);
            };
        } else {
            text = plain;
            width = canvas.TextWidth(text);
        }
    } else {
        width = canvas.TextWidth(text);
    }
    // Only a text that does not fit its column (with 4 pixels to spare) needs a hint.
    if (column >= 0)
        canShow = Columns()[column].Width() < width + 4;
    request.text = text;
    request.font.Assign(canvas.Font());
    request.font.SetColor(clInfoText);
    return canShow;
}
