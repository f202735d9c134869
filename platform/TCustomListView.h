// TCustomListView: the report list-view control. Rows and columns are plain data (usable before
// the control is shown); rows are painted one by one through a virtual owner-draw hook or the
// default painter, and the control's notifications arrive as virtual calls.
//
// The class is spread over files by concern:
//   TCustomListView.cpp          window life cycle, columns and display order, styles, layout,
//                                scrolling, model notifications
//   TCustomListViewHitTest.cpp   row, cell, label and check box rectangles, hit tests
//   TCustomListViewPaint.cpp     painting rows (owner drawn or default), repaint suspension
//   TCustomListViewInput.cpp     selection, mouse, keyboard, type-ahead, hot tracking, hints
//   TCustomListViewEdit.cpp      in-place label editing
#pragma once

#include "platform/TBrush.h"
#include "platform/TCanvas.h"
#include "platform/TColor.h"
#include "platform/TFont.h"
#include "platform/TListItems.h"
#include "platform/TTypes.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QElapsedTimer>
#include <QPixmap>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QHelpEvent;
class QPainter;
class QTimer;
class THeaderControl;
class THintWindow;
class TImageList;
class TInPlaceEdit;
class TPinnedEditor;

// A hint the control is about to show: where the mouse rests, and what and where to show. The
// control's HintShow may change text, place and font, or paint the content itself.
struct THintRequest {
    TPoint cursorPos; // client (viewport) pixels
    TPoint hintPos; // screen pixels of the hint window's top-left
    QString text; // starts as the widget's tool tip
    TFont font; // the hint text's font
    int maxWidth = 0; // pixels of text per line; starts as the room to the screen's right edge
    // Owner-drawn content: its size in pixels and how to paint it (the text then only decides
    // whether there is a hint at all).
    int contentWidth = 0;
    int contentHeight = 0;
    std::function<void(TCanvas& canvas, const TRect& content)> paint;
};

// Extended styles.
enum TListViewExStyle : unsigned {
    LVS_EX_SUBITEMIMAGES = 0x2,
    LVS_EX_CHECKBOXES = 0x4,
    LVS_EX_HEADERDRAGDROP = 0x10,
    LVS_EX_FLATSB = 0x100,
};

class TCustomListView : public QAbstractScrollArea, protected TListModelObserver {
    Q_OBJECT
public:
    explicit TCustomListView(QWidget* parent = nullptr);
    ~TCustomListView() override;

    TListItems& Items() { return m_items; }
    const TListItems& Items() const { return m_items; }
    TListColumns& Columns() { return m_columns; }
    const TListColumns& Columns() const { return m_columns; }

    // The window exists from the first show or an explicit CreateWnd(); without it geometry
    // queries return empty results and operations that need it do nothing.
    bool HandleAllocated() const { return m_handleAllocated; }
    virtual void CreateWnd();
    virtual void DestroyWnd();
    void RecreateWnd(); // styles, rows and columns are kept

    // Display order: position -> column index. A setter argument that is not a permutation of
    // the columns is ignored.
    std::vector<int> ColumnOrder() const;
    void SetColumnOrder(const std::vector<int>& order);
    int ColumnAtPosition(int position) const; // -1 when out of range
    int PositionOfColumn(int column) const; // -1 when out of range

    unsigned ExtendedStyle() const { return m_exStyle; }
    void SetExtendedStyle(unsigned style);
    bool OwnerDrawFixed() const { return m_ownerDrawFixed; }
    void SetOwnerDrawFixed(bool ownerDraw);
    int HoverTime() const { return m_hoverTimeMs; }
    void SetHoverTime(int ms); // hover time before hot tracking selects a row
    TColor TextBkColor() const { return m_textBkColor; }
    void SetTextBkColor(TColor color); // clNone = transparent text background

    bool RowSelect() const { return m_rowSelect; }
    void SetRowSelect(bool rowSelect);
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool multiSelect); // switching it off keeps only the focused selection
    bool HotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool hotTrack);
    bool Checkboxes() const { return (m_exStyle & LVS_EX_CHECKBOXES) != 0; }
    void SetCheckboxes(bool checkboxes);
    bool GridLines() const { return m_gridLines; }
    void SetGridLines(bool gridLines);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly); // read-only lists do not edit captions
    bool ShowColumnHeaders() const { return m_showColumnHeaders; }
    void SetShowColumnHeaders(bool show);

    TImageList* SmallImages() const { return m_smallImages; }
    void SetSmallImages(TImageList* images); // not owned; cleared when the list is destroyed

    TFont& Font() { return m_font; } // changes re-measure the rows
    void SetFont(const TFont& font);
    TColor Color() const { return m_brush.Color(); }
    void SetColor(TColor color);
    TBrush& BackgroundBrush() { return m_brush; } // colour, or a pattern tiled behind the rows

    void SetToolTipsEnabled(bool enabled); // the control's own tips for cut-off cell texts
    bool ToolTipsEnabled() const { return m_toolTips; }

    // Geometry, in viewport (client) coordinates: y = 0 is just below the header.
    int RowHeight() const { return m_rowHeight; }
    void RemeasureRows(); // asks MeasureItem again when owner drawn
    int TopIndex() const; // first visible row; 0 without a window
    int VisibleRowCount() const; // rows that fit the viewport entirely (at least 1)
    void ScrollBy(int dx, int dy); // pixels; vertical moves round to whole rows
    void ScrollLines(int lines);
    void EnsureVisible(int item);
    int HorizontalOffset() const;
    int ContentWidth() const; // sum of the column widths

    TRect ItemRect(int item) const; // the full row
    bool SubItemHitTest(TPoint client, int& item, int& column) const;
    // Label part of a cell (column 0 = caption), full row height. A control that draws its rows
    // itself answers where it draws the label, so that editing and hit tests agree with the picture.
    virtual TRect SubItemRect(int item, int column) const;
    TRect CellRect(int item, int column) const; // the whole cell of a column
    // The check box a click toggles; empty without check boxes. Owner drawing answers where it
    // draws the box.
    virtual TRect CheckBoxRect(int item) const;
    void AutoSizeColumn(int column); // widest of caption and cells (all rows)
    // Scrolls sideways as little as needed to show the whole cell (its left edge when it is wider
    // than the view).
    void EnsureCellVisible(int item, int column);

    THeaderControl& Header() { return *m_header; }
    const THeaderControl& Header() const { return *m_header; }

    // Caption editing: the editor lies over the caption label, one row high. It already exists
    // when BeginLabelEdit is asked, so an override may pin it elsewhere or change its text.
    void EditCaption(int item);
    QWidget* EditWindow() const;
    TInPlaceEdit* EditControl() const { return m_editor; }
    int EditingItem() const { return m_editItem; }
    bool IsEditing() const { return m_editor != nullptr; }
    void EndEditing(bool accept);
    // While editing: the editor's text, its style, and the rectangle it is kept on whatever
    // moves or sizes it (released when the edit ends).
    QString EditText() const;
    void SetEditText(const QString& text);
    void SetEditMultiLine(bool multiLine);
    void SetEditMaxLength(int characters); // 0 = no limit
    void SetEditVerticalAlignment(unsigned dtFlag); // DT_TOP, DT_VCENTER or DT_BOTTOM
    void PinEditWindow(const TRect& rect);
    TRect PinnedEditRect() const; // empty when not pinned

    // The window the control's hints show in, and cancelling the hint that shows.
    const THintWindow& HintWindow() const { return *m_hintWindow; }
    void CancelHint();
    // Room for the mouse pointer below a hint placed at the pointer, pixels.
    static constexpr int kHintCursorGap = 20;
    // The cursor shape over the rows (the rows area keeps its own cursor).
    void SetRowsCursor(const QCursor& cursor);
    QCursor RowsCursor() const;

    // Stable sort: rows comparing equal keep their order; selection and focus stay with the rows.
    void SortItems(const std::function<int(const TListItem&, const TListItem&)>& compare);

    // Painting is held back until the matching end, which repaints once.
    void BeginPaintSuspend();
    void EndPaintSuspend();
    bool PaintSuspended() const { return m_paintSuspend > 0; }

    // Selection helpers in the platform's own terms (raise ItemChanged for every change).
    void ClearSelection();
    void SelectRange(int from, int to); // inclusive, clamped
    int FocusedIndex() const; // -1 when none
    int HotItem() const { return m_hotItem; }

    // Paints the rows that meet `clip` (viewport coordinates) on any painter.
    void PaintRows(QPainter& painter, const TRect& clip);
    // Lays header and rows out again (after the header's font or filter row changed).
    void UpdateLayout();
    QString CellText(int item, int column) const; // "" when out of range

    // What assistive technology reads: the text a cell shows (item -1: the column's header
    // caption) and the column of the current cell. Descendants that draw cells override them.
    virtual QString DisplayText(int item, int column) const;
    virtual int CurrentColumn() const { return 0; }
    // Descendants call this when their current cell moves while the focused row stays.
    void CurrentCellChanged();

protected:
    // Notifications; the defaults do nothing unless stated.
    virtual void MeasureItem(int& height);
    virtual void OwnerDrawItem(QPainter& painter, int item, const TRect& rowRect, TOwnerDrawState state);
    virtual void ItemChanged(int item, unsigned oldState, unsigned newState);
    virtual void ItemClick(int item, int column); // item -1 when the click hit no row
    virtual void ItemRClick(int item, int column);
    virtual void ColumnClick(int column);
    virtual bool BeginLabelEdit(int item); // false cancels
    virtual void EndLabelEdit(
        int item, const QString& text, bool accepted); // stores the caption when accepted
    virtual void HeaderDrawSection(
        QPainter& painter, int section, const TRect& rect); // header widget coordinates
    virtual bool HeaderBeginTrack(int section); // false refuses the divider drag
    virtual void HeaderEndTrack(int section);
    virtual void HeaderItemChanged(int section);
    virtual void HeaderDividerDblClick(int section); // the default fits the column to its contents
    virtual void HeaderRClick(TPoint headerPos); // header content coordinates
    virtual void FilterChange(int section);
    virtual void FilterBtnClick(int section);
    virtual void VerticalScrolled(bool endOfScroll, bool thumbTracking, int thumbPos);
    // The mouse left the rows area (also for the header, which lies outside it).
    virtual void MouseLeave();
    // Asked before a hint shows over the rows; false shows none. The default leaves the request
    // as it is (the widget's tool tip at the pointer).
    virtual bool HintShow(THintRequest& request);

    // Default painting of one row (owner draw off).
    virtual void DefaultDrawItem(QPainter& painter, int item, const TRect& rowRect, TOwnerDrawState state);

    // TListModelObserver
    void ItemsChanged() override;
    void ItemStateChanged(int index, unsigned oldState, unsigned newState) override;
    // Column changes keep the display order and the header's sections in step at once (an
    // inserted column takes the display position of its index); the re-layout waits for the end
    // of an update bracket of the rows or the columns.
    void ColumnInserted(int index) override;
    void ColumnRemoved(int index, const TListColumn& column) override;
    void ColumnsCleared() override;
    void ColumnChanged(int index) override;
    void UpdateEnded() override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class THeaderControl;
    void UpdateScrollBars();
    void ColumnLayoutChanged(); // lays header and scroll range out, or waits for the bracket
    int DefaultRowHeight() const;
    void RefreshRow(int item);
    void MoveFocusTo(int item, Qt::KeyboardModifiers modifiers);
    void ClickSelect(int item, Qt::KeyboardModifiers modifiers);
    void DeselectOutside(int from, int to); // inclusive range of rows that keep their selection
    void SetHot(int item);
    bool TypeAhead(QKeyEvent* event); // jumps to the next row whose caption starts with the typed text
    bool ShowCellTip(const QHelpEvent& help); // the control's own tips for cut-off cell texts
    bool ShowHint(const QHelpEvent& help); // true when a hint shows
    void FinishEdit(bool accept);
    void ListFontChanged();
    int CaptionColumnLeftInset(int item) const; // indent + check box + image before the label
    bool ValidItem(int item) const { return item >= 0 && item < m_items.Count(); }

    TListItems m_items;
    TListColumns m_columns;
    std::vector<const TListColumn*> m_order; // display order by column identity
    bool m_columnLayoutPending = false; // columns changed inside an update bracket
    THeaderControl* m_header = nullptr;
    bool m_handleAllocated = false;

    unsigned m_exStyle = 0;
    bool m_ownerDrawFixed = false;
    int m_hoverTimeMs = 400;
    TColor m_textBkColor = clNone;
    bool m_rowSelect = false;
    bool m_multiSelect = false;
    bool m_hotTrack = false;
    bool m_gridLines = false;
    bool m_readOnly = false;
    bool m_showColumnHeaders = true;
    bool m_toolTips = true;
    TImageList* m_smallImages = nullptr;
    int m_smallImagesLink = 0;
    TFont m_font;
    TBrush m_brush;

    int m_rowHeight = 17; // pixels
    int m_anchor = -1; // the fixed end of Shift ranges
    int m_hotItem = -1;
    int m_hoverTimer = 0;
    int m_paintSuspend = 0;
    bool m_thumbTracking = false;

    TInPlaceEdit* m_editor = nullptr;
    int m_editItem = -1;
    const TListItem* m_editRow = nullptr; // the row being edited, to notice when rows shift
    TPinnedEditor* m_editPin = nullptr;
    std::unique_ptr<THintWindow> m_hintWindow;
    bool m_finishingEdit = false;
    int m_editTimer = 0; // a second click on the focused caption starts editing after this
    int m_pendingEditItem = -1;
    QPixmap m_pattern; // the brush pattern converted once for tiling
    qint64 m_patternKey = 0;
    QString m_typeAhead; // letters typed within the last second
    QElapsedTimer m_typeAheadTimer;
};
