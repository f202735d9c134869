#include "listview/TOrvListView.h"

#include "listview/private/TColumnAutoSizer.h"
#include "listview/private/THeaderPainter.h"
#include "listview/private/TRowPainter.h"
#include "pictures/THTMLPictureCache.h"
#include "pictures/TPictureContainer.h"
#include "platform/ListCells.h"
#include "platform/THeaderControl.h"
#include "platform/THintWindow.h"
#include "platform/TImageList.h"

#include <QPainter>
#include <QResizeEvent>
#include <QTimerEvent>

// ============================================================================================
// Construction, window life cycle
// ============================================================================================

TOrvListView::TOrvListView(QWidget* parent)
    : TCustomListView(parent)
{
    m_defaultHoverTime = TCustomListView::HoverTime();
    m_hoverAnchor.clear();
    m_hoverAnchorEntered = true;
    m_printSettings = std::make_unique<TPrintsettings>();
    m_htmlSettings = std::make_unique<THTMLSettings>();
    m_detailView = std::make_unique<TDetails>(this);
    m_pictureCache = std::make_unique<THTMLPictureCache>();
    m_wallpaper.OnChange = [this] { UpdateBackground(); };
    m_richEdit = std::make_unique<TOrvRichEdit>();
    m_columnSize = std::make_unique<TColumnSize>(this);
    m_scrollHintWindow = std::make_unique<THintWindow>();
    m_headerFont.OnChange = [this] { HeaderFontChanged(); };

    m_selectionColor = clHighlight;
    m_selectionTextColor = clHighlightText;
    m_vertTextFlag = DT_VCENTER;
    SetOwnerDraw(true);
    SetHeaderOwnerDraw(true);
    m_urlColor = clBlue;
    m_sortColumn = -1;
    m_sortIndicatorColumn = -2;
    SetItemHeight(13);
    m_selectedColumn = 0;
    SetHeaderHeight(13);
    m_dragRow = -1;
    m_timer = -1;
    m_viewStyle = vsReport;
    m_normalCursor = RowsCursor();
    m_rowPainter = std::make_unique<TRowPainter>(*this);
    m_constructed = true;
}

TOrvListView::~TOrvListView()
{
    // Widths are saved while the columns still exist. A store that cannot be written must not
    // take the program down from a destructor; the widths are then simply not kept.
    try {
        SaveColumnSizes();
    } catch (const std::exception&) { }
    if (m_qtTimer != 0)
        killTimer(m_qtTimer);
    if (m_headerImages && m_headerImagesLink != 0)
        m_headerImages->UnregisterChangeLink(m_headerImagesLink);
    if (m_pictureContainer && m_pictureContainerLink != 0)
        m_pictureContainer->UnregisterDestroyedListener(m_pictureContainerLink);
    // The font callbacks point at this object; the members go with it, but nothing may call
    // back into a half-destroyed list from the base destructor.
    m_headerFont.OnChange = nullptr;
    m_wallpaper.OnChange = nullptr;
}

QCursor TOrvListView::URLHandCursor()
{
    return QCursor(Qt::PointingHandCursor);
}

void TOrvListView::CreateWnd()
{
    // Window requests made while the constructor still runs are harmless no-ops.
    if (!m_constructed || HandleAllocated())
        return;
    SetOwnerDrawFixed(m_ownerDraw);
    TCustomListView::CreateWnd();
    if (m_headerImages)
        Header().SetImageList(m_headerImages);
    m_hoverTime = TCustomListView::HoverTime();
    m_filterTimeOut = 500; // the header keeps its own time-out until the property is set
    m_richEdit = std::make_unique<TOrvRichEdit>();
    if (m_timer == -1) {
        m_qtTimer = startTimer(kTimerPeriodMs);
        m_timer = kTimerId;
    }
    Remeasure();
}

void TOrvListView::DestroyWnd()
{
    if (!HandleAllocated())
        return;
    if (m_timer != -1) {
        killTimer(m_qtTimer);
        m_qtTimer = 0;
        m_timer = -1;
    }
    m_scrollHintWindow->ReleaseHint();
    // The engine is replaced rather than dropped so that RichEdit() always has an object.
    m_richEdit = std::make_unique<TOrvRichEdit>();
    TCustomListView::DestroyWnd();
}

void TOrvListView::Loaded()
{
    m_normalCursor = RowsCursor();
    Remeasure();
    m_viewStyle = vsReport;
    UpdateBackground();
    // Cell hints are the list's own; the platform's tips would show on top of them.
    SetToolTipsEnabled(false);
    SetHeaderHeight(m_headerHeight);
}

void TOrvListView::SaveColumnSizes()
{
    TColumnAutoSizer(*this).SaveColumnSizes();
}

void TOrvListView::AutoSizeColumn(int ACol)
{
    TColumnAutoSizer(*this).AutoSizeColumn(ACol);
}

void TOrvListView::AutoSizeColumns()
{
    TColumnAutoSizer(*this).AutoSizeColumns();
}

void TOrvListView::Invalidate()
{
    viewport()->update();
    Header().update();
}

void TOrvListView::Remeasure()
{
    RemeasureRows();
    Header().SyncSections();
    Invalidate();
}

void TOrvListView::UpdateBackground()
{
    if (!m_wallpaper.Empty()) {
        BackgroundBrush().SetPattern(m_wallpaper.Image());
        SetTextBkColor(clNone);
    } else {
        BackgroundBrush().SetPattern(QImage());
        SetTextBkColor(Color());
    }
    Invalidate();
}

void TOrvListView::timerEvent(QTimerEvent* event)
{
    if (m_qtTimer != 0 && event->timerId() == m_qtTimer) {
        WindowTimer();
        return;
    }
    TCustomListView::timerEvent(event);
}

// ============================================================================================
// Published properties
// ============================================================================================

void TOrvListView::SetExStyleBit(unsigned bit, bool on)
{
    const unsigned style = ExtendedStyle();
    SetExtendedStyle(on ? (style | bit) : (style & ~bit));
}

void TOrvListView::SetOwnerDraw(bool v)
{
    if (v == m_ownerDraw)
        return;
    m_ownerDraw = v;
    // The owner-draw style only takes effect on a new window; the extended style must survive it.
    const unsigned exStyle = ExtendedStyle();
    if (HandleAllocated())
        RecreateWnd();
    else
        SetOwnerDrawFixed(v);
    SetExtendedStyle(exStyle);
}

void TOrvListView::SetFlatScrollBar(bool v)
{
    if (v == m_flatScrollBar)
        return;
    SetExStyleBit(LVS_EX_FLATSB, v);
    m_flatScrollBar = v;
}

void TOrvListView::SetSubImages(bool v)
{
    if (v == m_subImages)
        return;
    SetExStyleBit(LVS_EX_SUBITEMIMAGES, v);
    m_subImages = v;
}

void TOrvListView::SetHeaderDragDrop(bool v)
{
    if (v == m_headerDragDrop)
        return;
    SetExStyleBit(LVS_EX_HEADERDRAGDROP, v);
    m_headerDragDrop = v;
}

void TOrvListView::SetHoverTime(int ms)
{
    if (ms == m_hoverTime)
        return;
    m_hoverTime = ms;
    // A negative time asks for the platform's default rather than for no delay at all.
    TCustomListView::SetHoverTime(ms < 0 ? m_defaultHoverTime : ms);
}

void TOrvListView::SetPictureContainer(TPictureContainer* v)
{
    if (v != m_pictureContainer) {
        if (m_pictureContainer && m_pictureContainerLink != 0)
            m_pictureContainer->UnregisterDestroyedListener(m_pictureContainerLink);
        m_pictureContainerLink = 0;
        m_pictureContainer = v;
        if (v) {
            m_pictureContainerLink = v->RegisterDestroyedListener([this] {
                m_pictureContainer = nullptr;
                m_pictureContainerLink = 0;
                Invalidate();
            });
        }
    }
    Invalidate();
}

void TOrvListView::SetSelectionColor(TColor v)
{
    m_selectionColor = v;
    Invalidate();
}

void TOrvListView::SetSelectionTextColor(TColor v)
{
    m_selectionTextColor = v;
    Invalidate();
}

void TOrvListView::SetURLColor(TColor v)
{
    m_urlColor = v;
    Invalidate();
}

void TOrvListView::SetURLShow(bool v)
{
    m_urlShow = v;
    Invalidate();
}

void TOrvListView::SetURLFull(bool v)
{
    m_urlFull = v;
    Invalidate();
}

void TOrvListView::SetVAlignment(TVAlignment v)
{
    m_vAlignment = v;
    m_vertTextFlag = v == vtaTop ? DT_TOP : v == vtaBottom ? DT_BOTTOM : DT_VCENTER;
    viewport()->repaint();
}

void TOrvListView::SetWallpaper(const TBitmap& v)
{
    m_wallpaper.Assign(v); // its change notification applies the background
}

void TOrvListView::SetWordWrap(bool v)
{
    m_wordWrap = v;
    Invalidate();
}

void TOrvListView::SetItemHeight(int v)
{
    if (v == m_itemHeight || v <= 0)
        return;
    m_itemHeight = v;
    Remeasure();
}

// ============================================================================================
// Header, sort indicator and filter bar properties
// ============================================================================================

void TOrvListView::ApplyHeaderStyleBit(unsigned bit, bool on)
{
    const unsigned style = Header().Style();
    Header().SetStyle(on ? (style | bit) : (style & ~bit));
}

void TOrvListView::SetFilterBar(bool v)
{
    if (v == m_filterBar)
        return;
    m_filterBar = v;
    ApplyHeaderStyleBit(HDS_FILTERBAR, v);
    Header().update();
    Items().BeginUpdate();
    Remeasure();
    Items().EndUpdate();
}

void TOrvListView::SetFilterTimeOut(int ms)
{
    m_filterTimeOut = ms;
    Header().SetFilterTimeOut(ms);
}

QString TOrvListView::GetFilter(int Column, bool Numeric) const
{
    if (Numeric)
        return QString::number(Header().FilterNumber(Column));
    return Header().FilterText(Column).left(255);
}

void TOrvListView::SetHeaderHotTrack(bool v)
{
    ApplyHeaderStyleBit(HDS_HOTTRACK, v);
    m_headerHotTrack = v;
}

void TOrvListView::SetHeaderFlatStyle(bool v)
{
    // A flat header is one without push-button sections.
    ApplyHeaderStyleBit(HDS_BUTTONS, !v);
    m_headerFlatStyle = v;
}

void TOrvListView::SetHeaderOwnerDraw(bool v)
{
    if (m_headerOwnerDrawGuard)
        return;
    // Setting true again re-applies the owner-drawn format (the platform resets formats).
    if (v == m_headerOwnerDraw && !v)
        return;
    m_headerOwnerDrawGuard = true;
    m_headerOwnerDraw = v;
    bool changed = false;
    for (int i = 0; i < Columns().Count(); ++i) {
        unsigned format = Header().Format(i);
        if (v) {
            if (format != HDF_OWNERDRAW)
                changed = true;
            format = HDF_OWNERDRAW;
        } else {
            format = HDF_STRING;
        }
        Header().SetFormat(i, format);
    }
    if (v) {
        if (changed)
            Remeasure();
        SetHeaderHeight(m_headerHeight);
    } else {
        Header().ResetHeaderFont();
        Remeasure();
    }
    m_headerOwnerDrawGuard = false;
}

void TOrvListView::SetHeaderHeight(int v)
{
    m_headerHeight = v;
    if (!m_headerOwnerDraw)
        return;
    // The header sizes itself from its font: a font whose cell is v pixels high gives a v-pixel
    // caption row.
    m_headerSizingFont.SetHeight(v);
    QFont sizing = m_headerSizingFont.ToQFont();
    sizing.setPixelSize(qMax(1, v));
    Header().SetHeaderFont(sizing);
    Remeasure();
}

void TOrvListView::HeaderFontChanged()
{
    if (!m_headerOwnerDraw) {
        Header().SetHeaderFont(m_headerFont.ToQFont());
        Remeasure();
    } else {
        Header().update();
    }
}

void TOrvListView::SetHeaderImages(TImageList* v)
{
    if (m_headerImages && m_headerImagesLink != 0)
        m_headerImages->UnregisterChangeLink(m_headerImagesLink);
    m_headerImagesLink = 0;
    m_headerImages = v;
    if (v) {
        m_headerImagesLink = v->RegisterChangeLink([this] { HeaderImagesChanged(); },
            [this] {
                m_headerImages = nullptr;
                m_headerImagesLink = 0;
                Header().SetImageList(nullptr);
                Header().update();
            });
    }
    Header().SetImageList(v);
}

void TOrvListView::ColumnInserted(int index)
{
    TCustomListView::ColumnInserted(index);
    // A new section starts as a plain text section; keep it owner drawn.
    if (m_headerOwnerDraw && !m_headerOwnerDrawGuard)
        Header().SetFormat(index, HDF_OWNERDRAW);
}

void TOrvListView::HeaderImagesChanged()
{
    if (HandleAllocated())
        Header().SetImageList(m_headerImages);
}

// ============================================================================================
// Cell addressing and rich text
// ============================================================================================

QString TOrvListView::Cells(int ACol, int ARow) const
{
    if (ARow < 0) {
        if (ACol < 0 || ACol >= Columns().Count())
            return QString();
        return Columns()[ACol].Caption();
    }
    if (ARow >= Items().Count())
        return QString();
    return ListCells::Text(Items()[ARow], ACol);
}

void TOrvListView::SetCells(int ACol, int ARow, const QString& text)
{
    if (ACol < 0 || ACol >= Columns().Count() || ARow < 0 || ARow >= Items().Count())
        return;
    TListItem& item = Items()[ARow];
    if (ACol == 0) {
        item.SetCaption(text);
        return;
    }
    QStringList& subItems = item.SubItems();
    while (subItems.size() < ACol)
        subItems.append(QString());
    subItems[ACol - 1] = text;
    Invalidate();
}

TRect TOrvListView::CellRect(int ARow, int ACol) const
{
    return SubItemRect(ARow, ACol);
}

bool TOrvListView::CellAtPoint(int X, int Y, int& ACol, int& ARow) const
{
    int item = -1;
    int column = -1;
    if (!SubItemHitTest(TPoint { X, Y }, item, column) || item < 0)
        return false;
    ARow = item;
    ACol = column < 0 ? 0 : column;
    return true;
}

QString TOrvListView::CellTextAtPoint(int X, int Y) const
{
    if (!HandleAllocated())
        return QString();
    int item = -1;
    int column = -1;
    if (!SubItemHitTest(TPoint { X, Y }, item, column) || item < 0 || item >= Items().Count())
        return QString();
    return ListCells::Text(Items()[item], std::max(0, column));
}

namespace {

// A cell holds characters; RTF is bytes. Characters up to 0xFF are their own byte (the exact
// inverse of RichToCell); anything wider is written as an RTF Unicode escape so it survives.
QByteArray CellTextToRtfBytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const ushort code = ch.unicode();
        if (code <= 0xFF) {
            bytes.append(char(code));
        } else {
            bytes.append("\\u");
            bytes.append(QByteArray::number(short(code)));
            bytes.append('?');
        }
    }
    return bytes;
}

} // namespace

void TOrvListView::CellToRich(int ARow, int ASubItem, TRichEdit& ARichEdit) const
{
    const QString text = Cells(ASubItem + 1, ARow);
    if (text.isEmpty()) {
        ARichEdit.Clear();
        return;
    }
    ARichEdit.LoadFromRtf(CellTextToRtfBytes(text));
}

void TOrvListView::RichToCell(int ARow, int ASubItem)
{
    if (ARow < 0 || ARow >= Items().Count() || ASubItem < -1)
        return;
    const QString text = QString::fromLatin1(m_richEdit->SaveToRtf());
    TListItem& item = Items()[ARow];
    if (ASubItem == -1) {
        item.SetCaption(text);
        return;
    }
    // A row with fewer texts grows to reach the sub-item instead of failing.
    QStringList& subItems = item.SubItems();
    while (subItems.size() <= ASubItem)
        subItems.append(QString());
    subItems[ASubItem] = text;
    Invalidate();
}

// ============================================================================================
// Virtual hooks
// ============================================================================================

void TOrvListView::ItemSelected(int /*Index*/) { }

void TOrvListView::DoLeftClickCell(int iItem, int iSubItem)
{
    if (OnLeftClickCell)
        OnLeftClickCell(*this, iItem, iSubItem);
}

void TOrvListView::DoRightClickCell(int iItem, int iSubItem)
{
    if (OnRightClickCell)
        OnRightClickCell(*this, iItem, iSubItem);
}

void TOrvListView::DoDrawItemProp(int itemindex, int subitemindex, TOwnerDrawState AState, TBrush& ABrush,
    TFont& AFont, const QString& ItemText)
{
    if (OnDrawItemProp)
        OnDrawItemProp(*this, itemindex, subitemindex, AState, ABrush, AFont, ItemText);
}

int TOrvListView::VersionNumber() const
{
    return 0x00360001; // minor 54 in the high word, major 1 in the low word
}

QString TOrvListView::VersionText() const
{
    return QStringLiteral("1.54, August 2001");
}

void TOrvListView::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    m_rowPainter->DrawItem(Index, Rect, State);
}

void TOrvListView::DrawRichText(int ARow, int ASubItem, const TRect& Rect, TCanvas& Canvas)
{
    m_rowPainter->DrawRichText(ARow, ASubItem, Rect, Canvas);
}

// ============================================================================================
// Platform notifications
// ============================================================================================

void TOrvListView::MeasureItem(int& height)
{
    TCustomListView::MeasureItem(height);
    if (m_itemHeight > 0)
        height = m_itemHeight;
}

void TOrvListView::OwnerDrawItem(QPainter& painter, int item, const TRect& rowRect, TOwnerDrawState state)
{
    m_canvas.Attach(&painter);
    m_canvas.SetFont(Font());
    m_canvas.Brush().Assign(BackgroundBrush());
    if (item >= 0 && (state & odSelected)) {
        m_canvas.Brush().SetColor(m_selectionColor);
        m_canvas.Font().SetColor(m_selectionTextColor);
    }
    if (item < 0)
        m_canvas.FillRect(rowRect);
    else
        DrawItem(item, rowRect, state);
    m_canvas.Detach();
}

void TOrvListView::ItemChanged(int item, unsigned oldState, unsigned newState)
{
    TCustomListView::ItemChanged(item, oldState, newState);
    // The current cell's row goes where the focus goes (keys, drags and row moves included).
    if ((newState & lisFocused) && !(oldState & lisFocused))
        m_focusRow = item;
    if ((newState & lisSelected) && newState != oldState)
        ItemSelected(item);
}

void TOrvListView::ItemClick(int item, int column)
{
    TCustomListView::ItemClick(item, column);
    if (item >= 0)
        DoLeftClickCell(item, column < 0 ? 0 : column);
}

void TOrvListView::ItemRClick(int item, int column)
{
    TCustomListView::ItemRClick(item, column);
    if (item >= 0)
        DoRightClickCell(item, column < 0 ? 0 : column);
}

void TOrvListView::HeaderDrawSection(QPainter& painter, int section, const TRect& rect)
{
    THeaderPainter(*this).DrawSection(painter, section, rect);
}

bool TOrvListView::HeaderBeginTrack(int section)
{
    bool allow = TCustomListView::HeaderBeginTrack(section);
    if (OnStartColumnTrack)
        OnStartColumnTrack(*this, section, allow);
    if (allow)
        m_columnTracking = true;
    return allow;
}

void TOrvListView::HeaderEndTrack(int section)
{
    TCustomListView::HeaderEndTrack(section);
    if (OnEndColumnTrack)
        OnEndColumnTrack(*this, section);
    m_columnTracking = false;
    if (section >= 0 && section < Columns().Count()) {
        const bool sorted = section == m_sortIndicatorColumn && m_sortIndicatorColumn != -2;
        if (sorted && m_sortShow) {
            // A drag resets the section's format; the sorted column gets its indicator back.
            if (m_sortUpGlyph.Empty() || m_sortDownGlyph.Empty())
                SetHeaderImageIndicator(section, m_sortDirection == sdAscending ? 0 : 1);
            else
                SetHeaderBitmapIndicator(section);
        } else if (m_sortShow) {
            SetHeaderImageIndicator(section, -1);
        }
        if (!sorted) {
            Header().SetFormat(
                section, HDF_STRING | THeaderControl::AlignmentFormat(Columns()[section].Alignment()));
        }
    }
    if (OnColumnSized)
        OnColumnSized(*this, section);
    SetHeaderOwnerDraw(m_headerOwnerDraw);
}

void TOrvListView::HeaderItemChanged(int section)
{
    TCustomListView::HeaderItemChanged(section);
    // The platform resets section formats on width changes; keep the sections owner drawn,
    // except in the middle of a divider drag (end track re-applies then).
    if (!m_columnTracking)
        SetHeaderOwnerDraw(m_headerOwnerDraw);
    if (m_detailView->Visible())
        Invalidate();
}

void TOrvListView::HeaderDividerDblClick(int section)
{
    TCustomListView::HeaderDividerDblClick(section);
    if (!m_columnTracking)
        SetHeaderOwnerDraw(m_headerOwnerDraw);
    if (m_detailView->Visible())
        Invalidate();
}

void TOrvListView::resizeEvent(QResizeEvent* event)
{
    TCustomListView::resizeEvent(event);
    if (m_sortShow && m_sortIndicatorColumn >= 0)
        SetHeaderBitmapIndicator(m_sortIndicatorColumn);
}

void TOrvListView::VerticalScrolled(bool endOfScroll, bool thumbTracking, int thumbPos)
{
    TCustomListView::VerticalScrolled(endOfScroll, thumbTracking, thumbPos);
    // A wallpaper that does not repeat with the rows would be scrolled out of its tiling.
    if (!m_wallpaper.Empty() && m_wallpaper.Height() != m_itemHeight)
        viewport()->update();
    if (!m_scrollHint)
        return;
    if (endOfScroll) {
        m_scrollHintWindow->ReleaseHint();
    } else if (thumbTracking) {
        // The caption of the row the thumb has reached, beside the mouse.
        const QString text
            = thumbPos >= 0 && thumbPos < Items().Count() ? Items()[thumbPos].Caption() : QString();
        m_scrollHintWindow->SetColor(clInfoBk);
        const QPoint mouse = QCursor::pos();
        const TRect rect = m_scrollHintWindow->CalcHintRect(kScrollHintMaxWidth, text)
                               .Translated(mouse.x() + kScrollHintOffset, mouse.y());
        m_scrollHintWindow->ActivateHint(rect, text);
    }
}

void TOrvListView::HeaderRClick(TPoint headerPos)
{
    TCustomListView::HeaderRClick(headerPos);
    // -1 tells the application that the click was beside the sections.
    const int column = Header().HitTest(headerPos);
    if (OnColumnRClick)
        OnColumnRClick(*this, column);
}

void TOrvListView::FilterChange(int section)
{
    TCustomListView::FilterChange(section);
    if (OnFilterChange)
        OnFilterChange(*this, section);
}

void TOrvListView::FilterBtnClick(int section)
{
    TCustomListView::FilterBtnClick(section);
    if (OnFilterBtnClick)
        OnFilterBtnClick(*this, section);
}
