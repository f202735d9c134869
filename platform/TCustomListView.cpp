#include "platform/TCustomListView.h"

#include "platform/THeaderControl.h"
#include "platform/TImageList.h"
#include "platform/private/TListViewAccessible.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <unordered_set>

namespace {

constexpr int kCheckZone = 16; // pixels reserved for the check box at the left of the caption
constexpr int kCheckBox = 13; // side of the drawn box, pixels
constexpr int kCaptionPadding = 2; // text inset in the caption label, pixels
constexpr int kCellPadding = 6; // text inset in a sub-item cell, pixels

Qt::Alignment ToQtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

TCustomListView::TCustomListView(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_items(this)
    , m_columns(this)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_brush.SetColor(clWindow);
    m_brush.OnChange = [this] { viewport()->update(); };
    m_font.OnChange = [this] { ListFontChanged(); };
    setFont(m_font.ToQFont()); // rows, header and editor all measure with the list's font
    m_header = new THeaderControl(this);
    m_header->hide();
    horizontalScrollBar()->setSingleStep(10);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::sliderPressed, this, [this] { m_thumbTracking = true; });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [this] {
        m_thumbTracking = false;
        VerticalScrolled(true, false, verticalScrollBar()->value());
    });
    m_rowHeight = DefaultRowHeight();
    TListViewAccessible::Install();
}

TCustomListView::~TCustomListView()
{
    // The editor would otherwise report its focus loss to a half-destroyed list.
    if (m_editor) {
        m_editor->removeEventFilter(this);
        delete m_editor;
        m_editor = nullptr;
    }
    if (m_smallImages)
        m_smallImages->UnregisterChangeLink(m_smallImagesLink);
    m_items.SetObserver(nullptr);
    m_columns.SetObserver(nullptr);
}

// ---- window lifetime -------------------------------------------------------------------------

void TCustomListView::CreateWnd()
{
    if (m_handleAllocated)
        return;
    m_handleAllocated = true;
    m_header->SyncSections();
    RemeasureRows();
    m_header->setVisible(m_showColumnHeaders);
    UpdateLayout();
    viewport()->update();
}

void TCustomListView::DestroyWnd()
{
    if (!m_handleAllocated)
        return;
    if (IsEditing())
        FinishEdit(false);
    if (m_hoverTimer) {
        killTimer(m_hoverTimer);
        m_hoverTimer = 0;
    }
    if (m_editTimer) {
        killTimer(m_editTimer);
        m_editTimer = 0;
    }
    m_hotItem = -1;
    m_header->hide();
    m_handleAllocated = false;
    m_header->SyncSections(); // hides the filter fields
}

void TCustomListView::RecreateWnd()
{
    DestroyWnd();
    CreateWnd();
}

void TCustomListView::showEvent(QShowEvent* event)
{
    if (!m_handleAllocated)
        CreateWnd();
    QAbstractScrollArea::showEvent(event);
}

// ---- columns and display order ---------------------------------------------------------------

std::vector<int> TCustomListView::ColumnOrder() const
{
    std::vector<int> order;
    order.reserve(m_order.size());
    for (const TListColumn* column : m_order)
        order.push_back(column->Index());
    return order;
}

void TCustomListView::SetColumnOrder(const std::vector<int>& order)
{
    const int count = m_columns.Count();
    if (int(order.size()) != count)
        return;
    std::vector<bool> seen(size_t(count), false);
    for (int column : order) {
        if (column < 0 || column >= count || seen[size_t(column)])
            return;
        seen[size_t(column)] = true;
    }
    for (int p = 0; p < count; ++p)
        m_order[size_t(p)] = &m_columns[order[size_t(p)]];
    m_header->SyncSections();
    viewport()->update();
}

int TCustomListView::ColumnAtPosition(int position) const
{
    if (position < 0 || position >= int(m_order.size()))
        return -1;
    return m_order[size_t(position)]->Index();
}

int TCustomListView::PositionOfColumn(int column) const
{
    for (size_t p = 0; p < m_order.size(); ++p)
        if (m_order[p]->Index() == column)
            return int(p);
    return -1;
}

void TCustomListView::ColumnsChanged()
{
    // Keep the display order by column identity: deleted columns leave it, new ones join at the end.
    std::unordered_set<const TListColumn*> present;
    for (int c = 0; c < m_columns.Count(); ++c)
        present.insert(&m_columns[c]);
    std::erase_if(m_order, [&](const TListColumn* column) { return !present.count(column); });
    std::unordered_set<const TListColumn*> ordered(m_order.begin(), m_order.end());
    for (int c = 0; c < m_columns.Count(); ++c)
        if (!ordered.count(&m_columns[c]))
            m_order.push_back(&m_columns[c]);
    if (m_header)
        m_header->SyncSections();
    UpdateScrollBars();
    viewport()->update();
    TListViewAccessible::ColumnsChanged(*this);
}

int TCustomListView::ContentWidth() const
{
    int width = 0;
    for (int c = 0; c < m_columns.Count(); ++c)
        width += m_columns[c].Width();
    return width;
}

// ---- styles -----------------------------------------------------------------------------------

void TCustomListView::SetExtendedStyle(unsigned style)
{
    if (style == m_exStyle)
        return;
    const bool checkChanged = (style ^ m_exStyle) & LVS_EX_CHECKBOXES;
    m_exStyle = style;
    if (checkChanged)
        RemeasureRows();
    viewport()->update();
}

void TCustomListView::SetOwnerDrawFixed(bool ownerDraw)
{
    if (ownerDraw == m_ownerDrawFixed)
        return;
    m_ownerDrawFixed = ownerDraw;
    RemeasureRows();
    viewport()->update();
}

void TCustomListView::SetHoverTime(int ms)
{
    m_hoverTimeMs = std::max(0, ms);
}

void TCustomListView::SetTextBkColor(TColor color)
{
    m_textBkColor = color;
    viewport()->update();
}

void TCustomListView::SetRowSelect(bool rowSelect)
{
    m_rowSelect = rowSelect;
    viewport()->update();
}

void TCustomListView::SetMultiSelect(bool multiSelect)
{
    if (multiSelect == m_multiSelect)
        return;
    m_multiSelect = multiSelect;
    if (!multiSelect && m_items.SelectedCount() > 1) {
        TListItem* keep = m_items.Focused();
        if (!keep || !keep->Selected())
            keep = m_items.Selected();
        for (int i = 0; i < m_items.Count() && m_items.SelectedCount() > 1; ++i)
            if (&m_items[i] != keep)
                m_items[i].SetSelected(false);
    }
}

void TCustomListView::SetHotTrack(bool hotTrack)
{
    m_hotTrack = hotTrack;
    if (!hotTrack)
        SetHot(-1);
}

void TCustomListView::SetCheckboxes(bool checkboxes)
{
    SetExtendedStyle(
        checkboxes ? (m_exStyle | LVS_EX_CHECKBOXES) : (m_exStyle & ~unsigned(LVS_EX_CHECKBOXES)));
}

void TCustomListView::SetGridLines(bool gridLines)
{
    m_gridLines = gridLines;
    viewport()->update();
}

void TCustomListView::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
}

void TCustomListView::SetShowColumnHeaders(bool show)
{
    if (show == m_showColumnHeaders)
        return;
    m_showColumnHeaders = show;
    m_header->setVisible(show && m_handleAllocated);
    UpdateLayout();
}

void TCustomListView::SetSmallImages(TImageList* images)
{
    if (images == m_smallImages)
        return;
    if (m_smallImages)
        m_smallImages->UnregisterChangeLink(m_smallImagesLink);
    m_smallImages = images;
    m_smallImagesLink = 0;
    if (images) {
        m_smallImagesLink = images->RegisterChangeLink([this] { viewport()->update(); },
            [this] {
                m_smallImages = nullptr;
                m_smallImagesLink = 0;
                RemeasureRows();
            });
    }
    RemeasureRows();
}

void TCustomListView::SetFont(const TFont& font)
{
    m_font.Assign(font);
}

void TCustomListView::ListFontChanged()
{
    setFont(m_font.ToQFont());
    if (m_header)
        m_header->SyncSections();
    RemeasureRows();
    UpdateLayout();
}

void TCustomListView::SetColor(TColor color)
{
    m_brush.SetColor(color);
}

void TCustomListView::SetToolTipsEnabled(bool enabled)
{
    m_toolTips = enabled;
    if (!enabled)
        QToolTip::hideText();
}

// ---- geometry ---------------------------------------------------------------------------------

int TCustomListView::DefaultRowHeight() const
{
    int height = QFontMetrics(m_font.ToQFont()).height() + 3;
    if (m_smallImages)
        height = std::max(height, m_smallImages->Height() + 1);
    if (Checkboxes())
        height = std::max(height, kCheckZone);
    return height;
}

void TCustomListView::RemeasureRows()
{
    int height = DefaultRowHeight();
    if (m_handleAllocated && m_ownerDrawFixed)
        MeasureItem(height);
    m_rowHeight = std::clamp(height, 1, 0xFFFF);
    UpdateScrollBars();
    viewport()->update();
}

void TCustomListView::UpdateLayout()
{
    const int headerHeight = m_handleAllocated && m_showColumnHeaders ? m_header->Height() : 0;
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = contentsRect();
    m_header->setGeometry(area.left(), area.top(), viewport()->width(), headerHeight);
    UpdateScrollBars();
    m_header->SyncSections();
    viewport()->update();
}

void TCustomListView::UpdateScrollBars()
{
    const int visible = VisibleRowCount();
    QScrollBar* v = verticalScrollBar();
    v->setPageStep(std::max(1, visible));
    v->setRange(0, std::max(0, m_items.Count() - visible));
    QScrollBar* h = horizontalScrollBar();
    h->setPageStep(std::max(1, viewport()->width()));
    h->setRange(0, std::max(0, ContentWidth() - viewport()->width()));
}

void TCustomListView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateLayout();
}

int TCustomListView::TopIndex() const
{
    return m_handleAllocated ? verticalScrollBar()->value() : 0;
}

int TCustomListView::VisibleRowCount() const
{
    return std::max(1, viewport()->height() / std::max(1, m_rowHeight));
}

int TCustomListView::HorizontalOffset() const
{
    return m_handleAllocated ? horizontalScrollBar()->value() : 0;
}

void TCustomListView::ScrollBy(int dx, int dy)
{
    if (!m_handleAllocated)
        return;
    if (dx)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    if (dy) {
        // Report view scrolls in whole rows; a move of less than one row still moves one.
        int rows = dy / m_rowHeight;
        if (rows == 0)
            rows = dy > 0 ? 1 : -1;
        ScrollLines(rows);
    }
}

void TCustomListView::ScrollLines(int lines)
{
    if (!m_handleAllocated || lines == 0)
        return;
    QScrollBar* v = verticalScrollBar();
    const long long target = std::clamp<long long>((long long)v->value() + lines, v->minimum(), v->maximum());
    v->setValue(int(target));
}

void TCustomListView::EnsureVisible(int item)
{
    if (!m_handleAllocated || !ValidItem(item))
        return;
    const int top = TopIndex();
    const int visible = VisibleRowCount();
    if (item < top)
        verticalScrollBar()->setValue(item);
    else if (item >= top + visible)
        verticalScrollBar()->setValue(item - visible + 1);
}

void TCustomListView::scrollContentsBy(int dx, int dy)
{
    if (dx) {
        m_header->SyncSections();
        m_header->update();
    }
    viewport()->update();
    if (dy && IsEditing())
        FinishEdit(true);
    if (dy)
        VerticalScrolled(!m_thumbTracking, m_thumbTracking, verticalScrollBar()->value());
}

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
    if (!it || column < 0)
        return {};
    return column == 0 ? it->Caption() : it->SubItems().value(column - 1);
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
        const QString& text = column == 0 ? item.Caption() : item.SubItems().value(column - 1);
        int needed = metrics.horizontalAdvance(text) + 2 * padding;
        if (column == 0)
            needed += CaptionColumnLeftInset(i);
        else if (subImages && item.SubItemImage(column) >= 0)
            needed += m_smallImages->Width() + 2;
        width = std::max(width, needed);
    }
    col->SetWidth(width);
}

// ---- painting ---------------------------------------------------------------------------------

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
        painter.drawText(
            textRect, int(ToQtAlignment(c->Alignment()) | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
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

// ---- model notifications ----------------------------------------------------------------------

void TCustomListView::ItemsChanged()
{
    const int count = m_items.Count();
    if (m_hotItem >= count)
        m_hotItem = -1;
    if (m_anchor >= count)
        m_anchor = -1;
    if (IsEditing() && !ValidItem(m_editItem))
        FinishEdit(false);
    UpdateScrollBars();
    viewport()->update();
    TListViewAccessible::ItemsChanged(*this);
}

void TCustomListView::ItemStateChanged(int index, unsigned oldState, unsigned newState)
{
    RefreshRow(index);
    ItemChanged(index, oldState, newState);
    TListViewAccessible::SelectionOrCurrentChanged(*this);
}

// ---- selection ----------------------------------------------------------------------------------

void TCustomListView::ClearSelection()
{
    if (m_items.SelectedCount() == 0)
        return;
    // The focused and anchor rows usually hold the only selection; look there before scanning.
    if (TListItem* focused = m_items.Focused())
        focused->SetSelected(false);
    if (TListItem* anchor = m_items.Item(m_anchor))
        anchor->SetSelected(false);
    for (int i = 0; i < m_items.Count() && m_items.SelectedCount() > 0; ++i)
        m_items[i].SetSelected(false);
}

void TCustomListView::SelectRange(int from, int to)
{
    if (m_items.Count() == 0)
        return;
    if (from > to)
        std::swap(from, to);
    from = std::clamp(from, 0, m_items.Count() - 1);
    to = std::clamp(to, 0, m_items.Count() - 1);
    for (int i = from; i <= to; ++i)
        m_items[i].SetSelected(true);
}

int TCustomListView::FocusedIndex() const
{
    const TListItem* focused = m_items.Focused();
    return focused ? focused->Index() : -1;
}

void TCustomListView::DeselectOutside(int from, int to)
{
    int inside = 0;
    for (int i = from; i <= to; ++i)
        inside += m_items[i].Selected() ? 1 : 0;
    // Stop as soon as every selection left lies inside the range.
    for (int i = 0; i < m_items.Count() && m_items.SelectedCount() > inside; ++i) {
        if (i == from) {
            i = to;
            continue;
        }
        m_items[i].SetSelected(false);
    }
}

void TCustomListView::ClickSelect(int item, Qt::KeyboardModifiers modifiers)
{
    if (!ValidItem(item))
        return;
    TListItem& it = m_items[item];
    TListItem* old = m_items.Focused();
    if (old == &it)
        old = nullptr;
    // Each row changes once: the old focus row loses focus (and its selection when that goes
    // too) in one report, the clicked row gains selection and focus in one report.
    if (m_multiSelect && (modifiers & Qt::ControlModifier)) {
        if (old)
            old->SetFocused(false);
        it.SetState(!it.Selected(), true);
        m_anchor = item;
    } else if (m_multiSelect && (modifiers & Qt::ShiftModifier)) {
        const int anchor = ValidItem(m_anchor) ? m_anchor : std::max(0, FocusedIndex());
        const int from = std::min(anchor, item);
        const int to = std::max(anchor, item);
        if (old) {
            const int index = old->Index();
            old->SetState(index >= from && index <= to, false);
        }
        DeselectOutside(from, to);
        for (int i = from; i <= to; ++i)
            if (i != item)
                m_items[i].SetSelected(true);
        it.SetState(true, true);
        m_anchor = anchor;
    } else {
        if (old)
            old->SetState(false, false);
        DeselectOutside(item, item);
        it.SetState(true, true);
        m_anchor = item;
    }
}

void TCustomListView::MoveFocusTo(int item, Qt::KeyboardModifiers modifiers)
{
    if (!ValidItem(item))
        return;
    if (m_multiSelect && (modifiers & Qt::ControlModifier) && !(modifiers & Qt::ShiftModifier))
        m_items[item].SetFocused(true);
    else
        ClickSelect(item, modifiers & Qt::ShiftModifier);
    EnsureVisible(item);
}

void TCustomListView::SortItems(const std::function<int(const TListItem&, const TListItem&)>& compare)
{
    if (!compare)
        return;
    if (IsEditing())
        FinishEdit(false);
    m_items.Sort(compare);
    m_anchor = -1;
}

// ---- mouse and keyboard ---------------------------------------------------------------------------

void TCustomListView::mousePressEvent(QMouseEvent* event)
{
    if (!m_handleAllocated) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (IsEditing())
        FinishEdit(true);
    if (m_editTimer) {
        killTimer(m_editTimer);
        m_editTimer = 0;
    }
    const TPoint p = TPoint::FromQPoint(event->position().toPoint());
    int item = -1;
    int column = -1;
    const bool hit = SubItemHitTest(p, item, column);
    if (event->button() == Qt::LeftButton) {
        if (!hit) {
            if (!(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
                ClearSelection();
            ItemClick(-1, -1);
            return;
        }
        const TListItem& it = m_items[item];
        const bool wasCurrent = it.Selected() && it.Focused() && m_items.SelectedCount() == 1;
        if (CheckBoxRect(item).Inflated(1, 1).Contains(p))
            m_items[item].SetChecked(!it.Checked());
        ClickSelect(item, event->modifiers());
        EnsureVisible(item);
        // A second, slow click on the caption of the current row starts editing it.
        if (wasCurrent && !m_readOnly && column == 0 && event->modifiers() == Qt::NoModifier
            && SubItemRect(item, 0).Contains(p)) {
            m_pendingEditItem = item;
            m_editTimer = startTimer(QApplication::doubleClickInterval());
        }
        ItemClick(item, column);
    } else if (event->button() == Qt::RightButton) {
        if (hit && !m_items[item].Selected())
            ClickSelect(item, Qt::NoModifier);
        else if (hit)
            m_items[item].SetFocused(true);
        ItemRClick(hit ? item : -1, hit ? column : -1);
    }
}

void TCustomListView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void TCustomListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_editTimer) {
        killTimer(m_editTimer);
        m_editTimer = 0;
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void TCustomListView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_handleAllocated && m_hotTrack) {
        int item = -1;
        int column = -1;
        SubItemHitTest(TPoint::FromQPoint(event->position().toPoint()), item, column);
        SetHot(item);
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void TCustomListView::leaveEvent(QEvent* event)
{
    SetHot(-1);
    QAbstractScrollArea::leaveEvent(event);
}

void TCustomListView::SetHot(int item)
{
    if (item == m_hotItem)
        return;
    const int old = m_hotItem;
    m_hotItem = item;
    RefreshRow(old);
    RefreshRow(item);
    if (m_hoverTimer) {
        killTimer(m_hoverTimer);
        m_hoverTimer = 0;
    }
    if (item >= 0 && m_hotTrack)
        m_hoverTimer = startTimer(std::max(1, m_hoverTimeMs));
}

void TCustomListView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_hoverTimer && m_hoverTimer) {
        killTimer(m_hoverTimer);
        m_hoverTimer = 0;
        // Hot tracking selects the row the mouse rests on.
        if (m_hotTrack && ValidItem(m_hotItem) && !m_items[m_hotItem].Selected())
            ClickSelect(m_hotItem, Qt::NoModifier);
        return;
    }
    if (event->timerId() == m_editTimer && m_editTimer) {
        killTimer(m_editTimer);
        m_editTimer = 0;
        EditCaption(m_pendingEditItem);
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void TCustomListView::keyPressEvent(QKeyEvent* event)
{
    if (!m_handleAllocated || m_items.Count() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int count = m_items.Count();
    const int focused = FocusedIndex();
    const int current = focused >= 0 ? focused : 0;
    const int page = std::max(1, VisibleRowCount() - 1);
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        target = focused < 0 ? 0 : std::max(0, current - 1);
        break;
    case Qt::Key_Down:
        target = focused < 0 ? 0 : std::min(count - 1, current + 1);
        break;
    case Qt::Key_PageUp:
        target = std::max(0, current - page);
        break;
    case Qt::Key_PageDown:
        target = std::min(count - 1, current + page);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count - 1;
        break;
    case Qt::Key_Space:
        if (focused >= 0) {
            if (m_multiSelect && (event->modifiers() & Qt::ControlModifier))
                m_items[focused].SetSelected(!m_items[focused].Selected());
            else if (Checkboxes())
                m_items[focused].SetChecked(!m_items[focused].Checked());
            else
                ClickSelect(focused, Qt::NoModifier);
        }
        return;
    case Qt::Key_F2:
        EditCaption(focused);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: // report view has no column cursor: the arrows scroll sideways
        ScrollBy(event->key() == Qt::Key_Left ? -horizontalScrollBar()->singleStep()
                                              : horizontalScrollBar()->singleStep(),
            0);
        return;
    default:
        if (TypeAhead(event))
            return;
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    MoveFocusTo(target, event->modifiers());
}

bool TCustomListView::TypeAhead(QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint()
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (!m_typeAheadTimer.isValid() || m_typeAheadTimer.elapsed() > 1000)
        m_typeAhead.clear();
    m_typeAheadTimer.start();
    // Repeating one letter steps through the rows starting with it; more letters refine the match.
    const bool repeat = m_typeAhead.size() == 1 && text.compare(m_typeAhead, Qt::CaseInsensitive) == 0;
    if (!repeat)
        m_typeAhead += text;
    const int count = m_items.Count();
    const int focused = FocusedIndex();
    const int start = focused < 0 ? 0 : (repeat || m_typeAhead.size() == 1 ? focused + 1 : focused);
    for (int n = 0; n < count; ++n) {
        const int i = (start + n) % count;
        if (m_items[i].Caption().startsWith(m_typeAhead, Qt::CaseInsensitive)) {
            MoveFocusTo(i, Qt::NoModifier);
            break;
        }
    }
    return true;
}

bool TCustomListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && m_toolTips && m_handleAllocated) {
        auto* help = static_cast<QHelpEvent*>(event);
        int item = -1;
        int column = -1;
        if (SubItemHitTest(TPoint::FromQPoint(help->pos()), item, column)) {
            const QString text = CellText(item, column);
            const TRect label = SubItemRect(item, column);
            const int padding = column == 0 ? kCaptionPadding : kCellPadding;
            if (QFontMetrics(m_font.ToQFont()).horizontalAdvance(text) > label.Width() - 2 * padding) {
                QToolTip::showText(help->globalPos(), text, viewport(), label.ToQRect());
                return true;
            }
        }
        QToolTip::hideText();
    }
    // Cells that fit (and lists without their own tips) leave the request to the widget's tooltip.
    return QAbstractScrollArea::viewportEvent(event);
}

// ---- caption editing ------------------------------------------------------------------------------

void TCustomListView::EditCaption(int item)
{
    if (!m_handleAllocated || !ValidItem(item) || m_readOnly)
        return;
    if (IsEditing())
        FinishEdit(true);
    EnsureVisible(item);
    auto* editor = new QLineEdit(viewport());
    editor->setFrame(true);
    editor->setFont(m_font.ToQFont());
    editor->setText(m_items[item].Caption());
    QRect r = SubItemRect(item, 0).ToQRect();
    r.setHeight(std::max(r.height(), editor->sizeHint().height()));
    r.setWidth(std::max(r.width(), 40));
    editor->setGeometry(r);
    m_editor = editor;
    m_editItem = item;
    if (!BeginLabelEdit(item)) {
        if (m_editor == editor) {
            m_editor = nullptr;
            m_editItem = -1;
        }
        delete editor;
        return;
    }
    if (m_editor != editor)
        return;
    editor->installEventFilter(this);
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    editor->selectAll();
}

QWidget* TCustomListView::EditWindow() const
{
    return m_editor;
}

void TCustomListView::EndEditing(bool accept)
{
    if (IsEditing())
        FinishEdit(accept);
}

void TCustomListView::FinishEdit(bool accept)
{
    if (!m_editor || m_finishingEdit)
        return;
    m_finishingEdit = true;
    QLineEdit* editor = m_editor;
    const int item = m_editItem;
    const QString text = editor->text();
    const bool editorHadFocus = editor->hasFocus();
    editor->removeEventFilter(this);
    // The editor stays reachable through EditWindow() while the end notification runs.
    EndLabelEdit(item, text, accept);
    m_editor = nullptr;
    m_editItem = -1;
    editor->hide();
    editor->deleteLater();
    m_finishingEdit = false;
    if (editorHadFocus)
        setFocus(Qt::OtherFocusReason);
}

bool TCustomListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                FinishEdit(true);
                return true;
            }
            if (key == Qt::Key_Escape) {
                FinishEdit(false);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                FinishEdit(true);
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// ---- default notification handlers ------------------------------------------------------------

void TCustomListView::MeasureItem(int&) { }
void TCustomListView::OwnerDrawItem(QPainter&, int, const TRect&, TOwnerDrawState) { }
void TCustomListView::ItemChanged(int, unsigned, unsigned) { }
void TCustomListView::ItemClick(int, int) { }
void TCustomListView::ItemRClick(int, int) { }
void TCustomListView::ColumnClick(int) { }
bool TCustomListView::BeginLabelEdit(int)
{
    return true;
}
void TCustomListView::EndLabelEdit(int item, const QString& text, bool accepted)
{
    if (accepted && ValidItem(item))
        m_items[item].SetCaption(text);
}
void TCustomListView::HeaderDrawSection(QPainter&, int, const TRect&) { }
bool TCustomListView::HeaderBeginTrack(int)
{
    return true;
}
void TCustomListView::HeaderEndTrack(int) { }
void TCustomListView::HeaderItemChanged(int) { }
void TCustomListView::HeaderDividerDblClick(int section)
{
    AutoSizeColumn(section);
}
void TCustomListView::HeaderRClick(TPoint) { }
void TCustomListView::FilterChange(int) { }
void TCustomListView::FilterBtnClick(int) { }
void TCustomListView::VerticalScrolled(bool, bool, int) { }
