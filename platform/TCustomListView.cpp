#include "platform/TCustomListView.h"

#include "platform/THeaderControl.h"
#include "platform/TImageList.h"
#include "platform/private/TListViewAccessible.h"

#include "platform/THintWindow.h"
#include "platform/TInPlaceEdit.h"
#include "platform/TPinnedEditor.h"
#include "platform/private/ListViewMetrics.h"

#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <iterator>
#include <limits>

using namespace ListViewMetrics;

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
    m_editPin = new TPinnedEditor(this);
    m_hintWindow = std::make_unique<THintWindow>();
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
    CancelHint();
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

void TCustomListView::ColumnInserted(int index)
{
    const size_t position = std::min(size_t(index), m_order.size());
    m_order.insert(m_order.begin() + qsizetype(position), &m_columns[index]);
    if (m_header)
        m_header->InsertSection(index);
    ColumnLayoutChanged();
}

void TCustomListView::ColumnRemoved(int index, const TListColumn& column)
{
    // Searched from the end, where columns added last usually stand.
    const auto found = std::find(m_order.rbegin(), m_order.rend(), &column);
    if (found != m_order.rend())
        m_order.erase(std::next(found).base());
    if (m_header)
        m_header->RemoveSection(index);
    ColumnLayoutChanged();
}

void TCustomListView::ColumnsCleared()
{
    m_order.clear();
    if (m_header)
        m_header->ClearSections();
    ColumnLayoutChanged();
}

void TCustomListView::ColumnChanged(int index)
{
    if (m_header)
        m_header->SectionChanged(index);
    ColumnLayoutChanged();
}

void TCustomListView::UpdateEnded()
{
    if (!m_columnLayoutPending || m_items.Updating() || m_columns.Updating())
        return;
    m_columnLayoutPending = false;
    UpdateScrollBars();
    m_header->LayoutFilters();
    m_header->update();
    viewport()->update();
}

void TCustomListView::ColumnLayoutChanged()
{
    TListViewAccessible::ColumnsChanged(*this); // coalesced: one event however many changes
    if (m_items.Updating() || m_columns.Updating()) {
        m_columnLayoutPending = true;
        return;
    }
    UpdateScrollBars();
    if (m_header) {
        m_header->ScheduleFilterLayout();
        m_header->update();
    }
    viewport()->update();
}

int TCustomListView::ContentWidth() const
{
    return int(std::min<qint64>(m_columns.TotalWidth(), std::numeric_limits<int>::max()));
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

// ---- layout and scrolling ---------------------------------------------------------------------

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
        // Only positions change; a column change that shrinks the range scrolls once per column.
        m_header->ScheduleFilterLayout();
        m_header->update();
    }
    viewport()->update();
    // The editor is pinned to where its cell was; a scroll in either direction moves the cell.
    if ((dx || dy) && IsEditing())
        FinishEdit(true);
    if (dx || dy)
        CancelHint();
    if (dy)
        VerticalScrolled(!m_thumbTracking, m_thumbTracking, verticalScrollBar()->value());
}

// ---- model notifications ----------------------------------------------------------------------

void TCustomListView::ItemsChanged()
{
    const int count = m_items.Count();
    if (m_hotItem >= count)
        m_hotItem = -1;
    if (m_anchor >= count)
        m_anchor = -1;
    // Rows inserted or deleted before the edited one shift it: the edit ends rather than write
    // into whatever row now has its index.
    if (IsEditing() && m_items.Item(m_editItem) != m_editRow)
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

void TCustomListView::SortItems(const std::function<int(const TListItem&, const TListItem&)>& compare)
{
    if (!compare)
        return;
    if (IsEditing())
        FinishEdit(false);
    m_items.Sort(compare);
    m_anchor = -1;
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
void TCustomListView::MouseLeave() { }
bool TCustomListView::HintShow(THintRequest&)
{
    return true;
}
