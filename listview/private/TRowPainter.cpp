#include "listview/private/TRowPainter.h"

#include "listview/CellContent.h"
#include "listview/TOrvListView.h"
#include "listview/private/TCellLayout.h"
#include "markup/DrawMarkup.h"
#include "platform/ListCells.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"

#include <cmath>

TRowPainter::TRowPainter(TOrvListView& list)
    : m_list(list)
{ }

QString TRowPainter::ShortenURL(const QString& text)
{
    QString shown = text;
    const qsizetype scheme = shown.indexOf(QLatin1String("://"));
    if (scheme >= 0)
        shown.remove(0, scheme + 3);
    const qsizetype mail = shown.indexOf(QLatin1String("mailto:"));
    if (mail >= 0)
        shown.remove(0, mail + 7);
    return shown;
}

const TBitmap& TRowPainter::TransparentGlyph(const TBitmap& source, TBitmap& copy)
{
    if (copy.Image().cacheKey() != source.Image().cacheKey() || copy.Empty() != source.Empty()) {
        copy.SetImage(source.Image());
    }
    copy.SetTransparentMode(tmAuto);
    copy.SetTransparent(true);
    return copy;
}

namespace {

// The markup renderer's arguments for cells and detail lines: always word-wrapped, no focus
// or hover anchor, grey shadows one pixel off.
void DrawCellMarkup(TOrvListView& list, TCanvas& canvas, const QString& text, const TRect& rect)
{
    QString anchor, plain, focusHref;
    int contentWidth = 0, contentHeight = 0, anchorCount = 0, hoverAnchor = -1;
    TRect hoverRect;
    DrawMarkup(canvas, text, rect, list.SmallImages(), 0, 0, -1, -1, 1, false, false, false, false, true,
        false, true, 0.0, list.URLColor(), clNone, clNone, clGray, anchor, plain, focusHref, contentWidth,
        contentHeight, anchorCount, hoverAnchor, hoverRect, &list.PictureCache(), list.PictureContainer());
}

} // namespace

void TRowPainter::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    TCanvas& canvas = m_list.DrawingCanvas();
    if (Index < 0 || Index >= m_list.Items().Count() || !canvas.HasDevice())
        return;
    if (TImageList* images = m_list.SmallImages())
        images->SetDrawingStyle(dsTransparent);

    const std::vector<int> order = m_list.ColumnOrder();
    // The current cell is a column; the rows are walked by display position.
    const int current = m_list.PositionOfColumn(m_list.SelectedColumn());
    const TFont rowFont(canvas.Font());
    TBrush rowBrush;
    rowBrush.Assign(canvas.Brush());

    const TDetails& details = m_list.DetailView();
    const TCellLayout layout(m_list);
    const TListItem& item = m_list.Items()[Index];
    const bool selected = State & odSelected;
    const bool rowSelect = m_list.RowSelect();
    const bool cellSelect = m_list.SubItemSelect() || m_list.SubItemEdit();
    const bool wallpaper = !m_list.Wallpaper().Empty();

    TRect row = Rect;
    int left = Rect.left;
    int currentLeft = Rect.left;
    for (int p = 0; p < int(order.size()); ++p) {
        const int column = order[size_t(p)];
        const int s = column - 1;
        QString text = ListCells::Text(item, column);

        if ((State & (odFocused | odSelected)) && !rowSelect && p != current) {
            canvas.Brush().SetColor(m_list.Color());
            canvas.Font().SetColor(m_list.Font().Color());
        }
        m_list.DoDrawItemProp(Index, s, State, canvas.Brush(), canvas.Font(), text);

        bool highlighted = false;
        if (selected && ((cellSelect && p == current) || rowSelect || (p == 0 && !m_list.SubItemSelect()))) {
            canvas.Brush().SetColor(m_list.SelectionColor());
            canvas.Font().SetColor(m_list.SelectionTextColor());
            highlighted = true;
        }

        const bool markup = CellContent::IsMarkup(text);
        if (m_list.URLShow() && !markup) {
            if ((!selected || !rowSelect) && CellContent::LooksLikeURL(text)) {
                canvas.Font().SetStyle(canvas.Font().Style() | fsUnderline);
                canvas.Font().SetColor(m_list.URLColor());
            }
            if (!m_list.URLFull())
                text = ShortenURL(text);
        }

        if (p == current)
            currentLeft = left;
        const TCellPieces pieces = layout.Layout(Index, Rect, p, column, left);
        const TRect& cell = pieces.cell;
        left = cell.right;

        canvas.Pen().SetColor(canvas.Brush().Color());
        if (!wallpaper || highlighted) {
            canvas.SetBkMode(bkOpaque);
            // A wallpaper brush would fill its picture again; a highlight must show its colour.
            if (canvas.Brush().HasPattern())
                canvas.Brush().SetPattern(QImage());
            canvas.Rectangle(TRect { cell.left, Rect.top, cell.right, Rect.bottom });
        } else {
            canvas.SetBkMode(bkTransparent);
        }

        if (!pieces.checkBox.IsEmpty())
            DrawCheckBox(Index, pieces);
        if (pieces.imageIndex >= 0)
            m_list.SmallImages()->Draw(canvas, pieces.imageAt.x, pieces.imageAt.y, pieces.imageIndex);
        TRect indented = pieces.label;

        if (CellContent::IsRichText(text)) {
            DrawRichText(Index, s, pieces.text, canvas);
        } else if (!markup) {
            unsigned flags = DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL | m_list.VerticalTextFlag()
                | ListCells::TextFlags(m_list.Columns()[column].Alignment());
            if (!text.contains(QLatin1Char('\r')))
                flags |= DT_END_ELLIPSIS;
            flags |= m_list.WordWrap() ? DT_WORDBREAK : DT_SINGLELINE;
            canvas.DrawTextEx(text, indented, flags, kTextMargin, kTextMargin);
        } else {
            indented.left += kMarkupOffset;
            DrawCellMarkup(m_list, canvas, text, indented);
        }

        canvas.Font().Assign(rowFont);
        canvas.Brush().Assign(rowBrush);
    }

    if (details.Visible())
        DrawDetailLine(Index, row, left, State);

    if ((State & odFocused) && selected && m_list.hasFocus()) {
        if (!rowSelect && current >= 0) {
            const int width = m_list.Columns()[order[size_t(current)]].Width();
            row = TRect { currentLeft, Rect.top, currentLeft + width, Rect.bottom };
        }
        canvas.DrawFocusRect(row);
    }
    if (m_list.OnDrawItem)
        m_list.OnDrawItem(m_list, canvas, Index, row, State);
}

void TRowPainter::DrawCheckBox(int Index, const TCellPieces& pieces)
{
    TCanvas& canvas = m_list.DrawingCanvas();
    const bool checked = m_list.Items()[Index].Checked();
    if (!pieces.checkGlyph) {
        canvas.DrawFlatCheckBox(pieces.checkBox, checked);
        return;
    }
    const TBitmap& glyph = checked ? TransparentGlyph(m_list.CheckTrueGlyph(), m_checkTrue)
                                   : TransparentGlyph(m_list.CheckFalseGlyph(), m_checkFalse);
    canvas.Draw(pieces.checkBox.left, pieces.checkBox.top, glyph);
}

void TRowPainter::DrawDetailLine(int Index, TRect& row, int cellsRight, TOwnerDrawState State)
{
    TCanvas& canvas = m_list.DrawingCanvas();
    const TDetails& details = m_list.DetailView();
    canvas.SetFont(details.Font());
    if (State & odSelected)
        canvas.Font().SetColor(m_list.SelectionTextColor());

    TRect d { row.left, row.top + m_list.ItemHeight() - details.Height(), cellsRight, row.bottom };
    row.right = cellsRight;
    if (details.SplitLine()) {
        canvas.Pen().SetColor(clBlack);
        canvas.MoveTo(d.left, d.top);
        canvas.LineTo(d.right, d.top);
        d.top += 1;
    }
    d.left += details.Indent();

    const QString text = ListCells::Text(m_list.Items()[Index], details.Column());

    if (!CellContent::IsMarkup(text)) {
        canvas.SetBkMode(bkTransparent);
        canvas.DrawText(text, d, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL);
    } else {
        DrawCellMarkup(m_list, canvas, text, d);
    }
}

void TRowPainter::DrawRichText(int ARow, int ASubItem, const TRect& Rect, TCanvas& Canvas)
{
    if (ARow < 0 || ARow >= m_list.Items().Count())
        return;
    TOrvRichEdit& rich = m_list.RichEdit();
    m_list.CellToRich(ARow, ASubItem, rich);

    TColor background = m_list.Color();
    if (m_list.Items()[ARow].Selected() && !m_list.SelectionRTFKeep() && &Canvas == &m_list.DrawingCanvas()) {
        rich.SetSelection(0, 255);
        rich.SetSelColor(m_list.SelectionTextColor());
        background = m_list.SelectionColor();
    }
    rich.SetBackgroundColor(background);

    const TRect device = Canvas.LPtoDP(Rect);
    const int dpiX = std::max(1, Canvas.PixelsPerInchX());
    const int dpiY = std::max(1, Canvas.PixelsPerInchY());
    // Two device pixels of breathing room at the top left, converted through the logical units so
    // the same inset holds on a printer.
    const int twoPixels = std::max(0, int(std::lround(2.0 / std::max(1e-9, Canvas.UnitsToPixelsX()))));
    const int gap = dpiX * twoPixels / 96;
    auto twips = [](double units, int dpi) { return int(std::lround(units * 1440.0 / dpi)); };
    TRect format;
    format.left = twips(device.left + gap, dpiX);
    format.top = twips(device.top + gap, dpiY);
    // The inset moves the text, not the cell's far edges: the rich text must not spill into the
    // next cell or row.
    format.right = std::max(format.left, twips(device.right, dpiX));
    format.bottom = std::max(format.top, twips(device.bottom, dpiY));

    const TMapMode previous = Canvas.MapMode();
    Canvas.SetMapMode(mmPixels);
    rich.Render(Canvas, format, format, 0, -1);
    Canvas.SetMapMode(previous);
}
