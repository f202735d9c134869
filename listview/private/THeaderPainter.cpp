#include "listview/private/THeaderPainter.h"

#include "listview/CellContent.h"
#include "listview/TOrvListView.h"
#include "markup/DrawMarkup.h"
#include "platform/ListCells.h"
#include "platform/TCanvas.h"
#include "platform/THeaderControl.h"
#include "platform/TImageList.h"

#include <QPainter>

THeaderPainter::THeaderPainter(TOrvListView& list)
    : m_list(list)
{ }

void THeaderPainter::DrawSection(QPainter& painter, int section, const TRect& rect)
{
    TCanvas canvas;
    canvas.Attach(&painter);
    DrawSection(canvas, section, rect);
    canvas.Detach();
}

void THeaderPainter::DrawSection(TCanvas& canvas, int section, const TRect& rect)
{
    if (section < 0 || section >= m_list.Columns().Count())
        return;
    const TListColumn& column = m_list.Columns()[section];
    const QString caption = column.Caption();
    const unsigned align = ListCells::TextFlags(column.Alignment());

    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetPattern(QImage());
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(rect);
    // The section edges the platform would give a button or flat header; they sit outside the
    // content rectangle, so they never cover indicator or caption.
    if (!m_list.HeaderFlatStyle()) {
        canvas.Pen().SetColor(clBtnHighlight);
        canvas.MoveTo(rect.left, rect.bottom - 1);
        canvas.LineTo(rect.left, rect.top);
        canvas.LineTo(rect.right - 1, rect.top);
        canvas.Pen().SetColor(clBtnShadow);
        canvas.MoveTo(rect.left, rect.bottom - 1);
        canvas.LineTo(rect.right - 1, rect.bottom - 1);
        canvas.LineTo(rect.right - 1, rect.top - 1);
    } else {
        canvas.Pen().SetColor(clBtnShadow);
        canvas.MoveTo(rect.right - 1, rect.top + 2);
        canvas.LineTo(rect.right - 1, rect.bottom - 2);
    }
    TRect content = rect.Inflated(-kInsetX, -kInsetY);

    const int sorted = m_list.SortIndicatorColumn();
    if (section == sorted && sorted != -2 && m_list.SortShow()) {
        const TBitmap& down = m_list.SortDownGlyph();
        const TBitmap& up = m_list.SortUpGlyph();
        const int headerHeight = m_list.HeaderHeight();
        const bool ascending = m_list.SortDirection() == sdAscending;
        if (!down.Empty() && !up.Empty()) {
            const int offset = down.Height() < headerHeight ? (headerHeight - down.Height()) / 2 : 0;
            // Ascending shows the downward glyph: the reverse of the platform header's bitmap.
            canvas.Draw(content.left, content.top + offset, ascending ? down : up);
            content.left += down.Width() + kIndicatorGap;
        } else if (TImageList* images = m_list.HeaderImages()) {
            const int offset = images->Height() < headerHeight ? (headerHeight - images->Height()) / 2 : 0;
            images->Draw(canvas, content.left, content.top + offset, ascending ? 0 : 1);
            content.left += images->Width() + kIndicatorGap;
        }
    }

    canvas.SetFont(m_list.HeaderFont());
    canvas.SetBkMode(bkTransparent);
    if (CellContent::IsMarkup(caption)) {
        QString anchor, plain;
        int width = 0, height = 0;
        DrawMarkupSimple(canvas, caption, content, m_list.SmallImages(), 0, 0, false, false, false, true,
            true, 0.0, m_list.URLColor(), anchor, plain, width, height);
    } else if (!caption.contains(QLatin1Char('\r'))) {
        canvas.DrawText(caption, content, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    } else {
        // Each carriage return (alone or with its line feed) starts a line.
        canvas.DrawText(caption, content, align | DT_TOP | DT_NOPREFIX);
    }
}
