// Painting of the report list view: owner-drawn rows through the hook, or the default painter.
#include "platform/TCustomListView.h"

#include "platform/ListCells.h"
#include "platform/THeaderControl.h"
#include "platform/TImageList.h"
#include "platform/private/ListViewMetrics.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

using namespace ListViewMetrics;

namespace {

Qt::Alignment HorizontalAlignment(TAlignment alignment)
{
    const unsigned flags = ListCells::TextFlags(alignment);
    return (flags & DT_RIGHT) ? Qt::AlignRight : (flags & DT_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
}

} // namespace

void TCustomListView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    PaintRows(painter, TRect::FromQRect(event->rect()));
}

void TCustomListView::PaintRows(QPainter& painter, const TRect& clip)
{
    if (m_brush.HasPattern()) {
        if (m_patternKey != m_brush.Pattern().cacheKey()) {
            m_patternKey = m_brush.Pattern().cacheKey();
            m_pattern = QPixmap::fromImage(m_brush.Pattern());
        }
        // The offset keeps the tiles anchored at the viewport origin, so partial repaints match.
        painter.drawTiledPixmap(clip.ToQRect(), m_pattern, QPoint(clip.left, clip.top));
    } else
        painter.fillRect(clip.ToQRect(), ToQColor(Color()));
    if (!m_handleAllocated || m_items.Count() == 0 || clip.IsEmpty())
        return;
    const int top = TopIndex();
    const int first = top + std::max(0, clip.top) / m_rowHeight;
    const int last = std::min(m_items.Count() - 1, top + std::max(0, clip.bottom - 1) / m_rowHeight);
    for (int i = first; i <= last; ++i) {
        const TListItem& item = m_items[i];
        TOwnerDrawState state = 0;
        if (item.Selected())
            state |= odSelected;
        if (item.Focused())
            state |= odFocused;
        if (item.Checked())
            state |= odChecked;
        const TRect rect = ItemRect(i);
        painter.save();
        if (m_ownerDrawFixed)
            OwnerDrawItem(painter, i, rect, state);
        else
            DefaultDrawItem(painter, i, rect, state);
        painter.restore();
    }
    if (m_gridLines) {
        painter.setPen(ToQColor(clBtnFace));
        const int bottom = std::min(clip.bottom, (last - top + 1) * m_rowHeight);
        for (int y = (first - top + 1) * m_rowHeight - 1; y < clip.bottom; y += m_rowHeight)
            painter.drawLine(clip.left, y, clip.right - 1, y);
        int x = -HorizontalOffset();
        for (const TListColumn* c : m_order) {
            x += c->Width();
            if (x - 1 >= clip.left && x - 1 < clip.right)
                painter.drawLine(x - 1, clip.top, x - 1, std::max(bottom, clip.bottom) - 1);
        }
    }
}

void TCustomListView::DefaultDrawItem(
    QPainter& painter, int item, const TRect& rowRect, TOwnerDrawState state)
{
    const TListItem& it = m_items[item];
    const bool selected = state & odSelected;
    const QColor highlight = ToQColor(clHighlight);
    const QColor highlightText = ToQColor(clHighlightText);
    const QColor text = ToQColor(m_font.Color());
    const QFont font = m_font.ToQFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);

    if (item == m_hotItem && m_hotTrack && !selected) {
        QColor hot = highlight;
        hot.setAlpha(40);
        painter.fillRect(rowRect.ToQRect(), hot);
    }
    if (selected && m_rowSelect)
        painter.fillRect(rowRect.ToQRect(), highlight);

    for (const TListColumn* c : m_order) {
        const int column = c->Index();
        const TRect cell = CellRect(item, column);
        if (cell.right <= 0 || cell.left >= viewport()->width() || cell.Width() == 0)
            continue;
        painter.save();
        painter.setClipRect(cell.ToQRect());
        const TRect label = SubItemRect(item, column);
        if (column == 0) {
            const TRect box = CheckBoxRect(item);
            if (!box.IsEmpty()) {
                const QRect r = box.ToQRect().adjusted(0, 0, -1, -1);
                painter.fillRect(r, Qt::white);
                painter.setPen(ToQColor(clBtnShadow));
                painter.drawRect(r);
                if (it.Checked()) {
                    painter.setPen(QPen(Qt::black, 2));
                    painter.drawLine(r.left() + 3, r.center().y(), r.center().x() - 1, r.bottom() - 3);
                    painter.drawLine(r.center().x() - 1, r.bottom() - 3, r.right() - 2, r.top() + 3);
                }
            }
            if (m_smallImages && it.ImageIndex() >= 0) {
                const QImage image = m_smallImages->Image(it.ImageIndex());
                painter.drawImage(label.left - m_smallImages->Width() - 1,
                    cell.top + (cell.Height() - m_smallImages->Height()) / 2, image);
            }
        } else if (label.left != cell.left) {
            const QImage image = m_smallImages->Image(it.SubItemImage(column));
            painter.drawImage(cell.left + 1, cell.top + (cell.Height() - m_smallImages->Height()) / 2, image);
        }
        const QString caption = CellText(item, column);
        const int padding = column == 0 ? kCaptionPadding : kCellPadding;
        QRect textRect = label.ToQRect().adjusted(padding, 0, -padding, 0);
        const QString shown = metrics.elidedText(caption, Qt::ElideRight, std::max(0, textRect.width()));
        const bool labelSelected = selected && !m_rowSelect && column == 0;
        if (labelSelected) {
            QRect back = label.ToQRect();
            back.setWidth(std::min(back.width(), metrics.horizontalAdvance(shown) + 2 * padding));
            painter.fillRect(back, highlight);
        } else if (!selected && m_textBkColor != clNone) {
            painter.fillRect(label.ToQRect(), ToQColor(m_textBkColor));
        }
        painter.setPen(selected && (m_rowSelect || column == 0) ? highlightText : text);
        painter.drawText(textRect,
            int(HorizontalAlignment(c->Alignment()) | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
        painter.restore();
    }
    if ((state & odFocused) && hasFocus()) {
        TRect focus = m_rowSelect ? rowRect : SubItemRect(item, 0);
        QPen pen(Qt::DotLine);
        pen.setColor(selected ? highlightText : text);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focus.ToQRect().adjusted(0, 0, -1, -1));
    }
}

void TCustomListView::RefreshRow(int item)
{
    if (!m_handleAllocated || !ValidItem(item))
        return;
    const long long top = (long long)(item - TopIndex()) * m_rowHeight;
    if (top + m_rowHeight < 0 || top > viewport()->height())
        return;
    viewport()->update(QRect(0, int(top), viewport()->width(), m_rowHeight));
}

void TCustomListView::BeginPaintSuspend()
{
    if (m_paintSuspend++ == 0)
        setUpdatesEnabled(false);
}

void TCustomListView::EndPaintSuspend()
{
    if (m_paintSuspend == 0)
        return;
    if (--m_paintSuspend == 0) {
        setUpdatesEnabled(true);
        viewport()->update();
        m_header->update();
    }
}
