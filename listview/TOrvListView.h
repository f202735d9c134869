// TOrvListView: the report list control with owner-drawn cells (plain text, URLs, markup and
// rich text), an owner-drawn header, cell-level events and data exchange.
//
// Sections of this header (add new members to the section they belong to):
//   1. Types and event signatures
//   2. Construction, window life cycle
//   3. Published properties (core)
//   4. Header, sort indicator and filter bar properties
//   5. Cell addressing and rich text
//   6. Data exchange
//   7. Events
//   8. Virtual hooks for descendants
//   9. Platform notifications (protected overrides)
//  10. State shared by rendering, header, interaction, sizing and sorting code
//  11. Sorting, row and column operations, clipboard
//  12. Printing and the print preview
//  13. Mouse and keyboard interaction (TOrvListViewInteraction.cpp)
#pragma once

#include "exchange/THTMLSettings.h"
#include "listview/CellContent.h"
#include "listview/TColumnSize.h"
#include "listview/TDetails.h"
#include "listview/TOrvRichEdit.h"
#include "listview/ops/SortEngine.h"
#include "listview/ops/SortTypes.h"
#include "platform/TBitmap.h"
#include "platform/TBrush.h"
#include "platform/TCanvas.h"
#include "platform/TCustomListView.h"
#include "platform/TFont.h"
#include "platform/TProgress.h"
#include "printing/TPreviewSource.h"
#include "printing/TPrintLayout.h"
#include "printing/TPrintsettings.h"

#include <QChar>
#include <QCursor>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class THintWindow;
class TRowPainter;
class THTMLPictureCache;
class TImageList;
class TPictureContainer;

// ---------------------------------------------------------------------------------------------
// 1. Types and event signatures
// ---------------------------------------------------------------------------------------------

enum TVAlignment : unsigned char { vtaCenter, vtaTop, vtaBottom };
enum TViewStyle : unsigned char { vsIcon, vsSmallIcon, vsList, vsReport };

// Id of the pointing-hand cursor shown over URLs and anchors.
constexpr int crURLHand = 8019;

class TOrvListView;

using TDrawItemProp = std::function<void(TOrvListView& Sender, int itemindex, int subitemindex,
    TOwnerDrawState AState, TBrush& ABrush, TFont& AFont, const QString& ItemText)>;
using TDrawItemEvent = std::function<void(
    TOrvListView& Sender, TCanvas& aCanvas, int itemindex, const TRect& Rect, TOwnerDrawState State)>;
using TFormatEvent = std::function<void(
    TOrvListView& Sender, int ACol, TSortStyle& AStyle, QString& aPrefix, QString& aSuffix)>;
using TCustomCompareEvent
    = std::function<void(TOrvListView& Sender, int ACol, const QString& str1, const QString& str2, int& res)>;
using TRawCompareEvent = std::function<void(TOrvListView& Sender, int col, int row1, int row2, int& res)>;
using TSortStartEvent = std::function<void(TOrvListView& Sender, int column, bool& enable)>;
using TSortDoneEvent = std::function<void(TOrvListView& Sender, int column)>;
using TColumnSizeEvent = std::function<void(TOrvListView& Sender, int column)>;
using TPrintPageEvent
    = std::function<void(TOrvListView& Sender, TCanvas& Canvas, int pagenr, int pagexsize, int pageysize)>;
using TDoFitToPageEvent = std::function<void(TOrvListView& Sender, double& scalefactor, bool& allow)>;
using TPrintColumnWidthEvent = std::function<void(TOrvListView& Sender, int aCol, int& width)>;
using TPrintNewPageEvent = std::function<void(TOrvListView& Sender, int aRow, bool& newpage)>;
using TStartColumnTrackEvent = std::function<void(TOrvListView& Sender, int column, bool& Allow)>;
using TEndColumnTrackEvent = std::function<void(TOrvListView& Sender, int column)>;
using TClickCellEvent = std::function<void(TOrvListView& Sender, int iItem, int iSubItem)>;
using TEditCellEvent = std::function<void(TOrvListView& Sender, int iItem, int iSubItem, bool& allow)>;
using TFilterChange = std::function<void(TOrvListView& Sender, int iItem)>;
using TFilterBtnClick = std::function<void(TOrvListView& Sender, int iItem)>;
using TLVAnchorClick = std::function<void(TOrvListView& Sender, const QString& Anchor)>;
using TCheckboxClickEvent = std::function<void(TOrvListView& Sender, int iItem, bool state)>;
using TURLClickEvent
    = std::function<void(TOrvListView& Sender, int iItem, const QString& URL, bool& Handled)>;
// `done` units of `total` of a load, save, export or print (bytes read, rows written, cells
// printed: only their ratio means anything); setting `cancel` stops the work.
using TProgressEvent = std::function<void(TOrvListView& Sender, qint64 done, qint64 total, bool& cancel)>;

class TOrvListView : public TCustomListView, public TPreviewSource {
    Q_OBJECT
public:
    // -----------------------------------------------------------------------------------------
    // 2. Construction, window life cycle
    // -----------------------------------------------------------------------------------------
    explicit TOrvListView(QWidget* parent = nullptr);
    ~TOrvListView() override;

    // Runs once the stored settings have been applied (what a form does after reading them).
    virtual void Loaded();

    // The window steps run again whenever the window is re-created (OwnerDraw changes).
    void CreateWnd() override;
    void DestroyWnd() override;

    // Repaints the rows (and the header) on the next paint.
    virtual void Invalidate();

    // Column widths are kept between runs when ColumnSize().Save() is set.
    virtual void SaveColumnSizes();
    // Fits a column (0 = caption) or every column to its widest cell, measured as drawn.
    void AutoSizeColumn(int ACol);
    void AutoSizeColumns();

    // The pointing-hand cursor registered under crURLHand.
    static QCursor URLHandCursor();

    // -----------------------------------------------------------------------------------------
    // 3. Published properties (core)
    // -----------------------------------------------------------------------------------------
    bool AutoHint() const { return m_autoHint; }
    void SetAutoHint(bool v) { m_autoHint = v; }
    bool OwnerDraw() const { return m_ownerDraw; }
    void SetOwnerDraw(bool v);
    bool FlatScrollBar() const { return m_flatScrollBar; }
    void SetFlatScrollBar(bool v);
    bool SubImages() const { return m_subImages; }
    void SetSubImages(bool v);
    bool HeaderDragDrop() const { return m_headerDragDrop; }
    void SetHeaderDragDrop(bool v);

    const TBitmap& CheckTrueGlyph() const { return m_checkTrueGlyph; }
    void SetCheckTrueGlyph(const TBitmap& v) { m_checkTrueGlyph.Assign(v); }
    const TBitmap& CheckFalseGlyph() const { return m_checkFalseGlyph; }
    void SetCheckFalseGlyph(const TBitmap& v) { m_checkFalseGlyph.Assign(v); }

    bool ClipboardEnable() const { return m_clipboardEnable; }
    void SetClipboardEnable(bool v) { m_clipboardEnable = v; }
    TColumnSize& ColumnSize() { return *m_columnSize; }
    const TColumnSize& ColumnSize() const { return *m_columnSize; }
    void SetColumnSize(const TColumnSize& v) { m_columnSize->Assign(v); }
    TPrintsettings& PrintSettings() { return *m_printSettings; }
    const TPrintsettings& PrintSettings() const { return *m_printSettings; }
    void SetPrintSettings(const TPrintsettings& v) { m_printSettings->Assign(v); }
    THTMLSettings& HTMLSettings() { return *m_htmlSettings; }
    const THTMLSettings& HTMLSettings() const { return *m_htmlSettings; }
    void SetHTMLSettings(const THTMLSettings& v) { m_htmlSettings->Assign(v); }
    TDetails& DetailView() { return *m_detailView; }
    const TDetails& DetailView() const { return *m_detailView; }
    void SetDetailView(const TDetails& v) { m_detailView->Assign(v); }

    bool HTMLHint() const { return m_htmlHint; }
    void SetHTMLHint(bool v) { m_htmlHint = v; }
    int HoverTime() const { return m_hoverTime; } // ms
    void SetHoverTime(int ms);
    TPictureContainer* PictureContainer() const { return m_pictureContainer; }
    void SetPictureContainer(TPictureContainer* v);
    THTMLPictureCache& PictureCache() { return *m_pictureCache; }
    bool SelectionRTFKeep() const { return m_selectionRTFKeep; }
    void SetSelectionRTFKeep(bool v) { m_selectionRTFKeep = v; }
    bool ScrollHint() const { return m_scrollHint; }
    void SetScrollHint(bool v) { m_scrollHint = v; }
    TColor SelectionColor() const { return m_selectionColor; }
    void SetSelectionColor(TColor v);
    TColor SelectionTextColor() const { return m_selectionTextColor; }
    void SetSelectionTextColor(TColor v);
    bool SizeWithForm() const { return m_sizeWithForm; }
    void SetSizeWithForm(bool v) { m_sizeWithForm = v; }
    bool SubItemEdit() const { return m_subItemEdit; }
    void SetSubItemEdit(bool v) { m_subItemEdit = v; }
    bool SubItemSelect() const { return m_subItemSelect; }
    void SetSubItemSelect(bool v) { m_subItemSelect = v; }
    TColor URLColor() const { return m_urlColor; }
    void SetURLColor(TColor v);
    bool URLShow() const { return m_urlShow; }
    void SetURLShow(bool v);
    bool URLFull() const { return m_urlFull; }
    void SetURLFull(bool v);
    TVAlignment VAlignment() const { return m_vAlignment; }
    void SetVAlignment(TVAlignment v);
    const TBitmap& Wallpaper() const { return m_wallpaper; }
    TBitmap& Wallpaper() { return m_wallpaper; } // editing it re-applies the background
    void SetWallpaper(const TBitmap& v);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool v);
    int ItemHeight() const { return m_itemHeight; } // pixels
    void SetItemHeight(int v);
    bool SaveHeader() const { return m_saveHeader; }
    void SetSaveHeader(bool v) { m_saveHeader = v; }
    bool LoadHeader() const { return m_loadHeader; }
    void SetLoadHeader(bool v) { m_loadHeader = v; }
    bool ReArrangeItems() const { return m_reArrangeItems; }
    void SetReArrangeItems(bool v) { m_reArrangeItems = v; }
    TViewStyle ViewStyle() const { return m_viewStyle; }
    void SetViewStyle(TViewStyle v) { m_viewStyle = v; } // only report view is drawn

    // -----------------------------------------------------------------------------------------
    // 4. Header, sort indicator and filter bar properties
    // -----------------------------------------------------------------------------------------
    bool FilterBar() const { return m_filterBar; }
    void SetFilterBar(bool v);
    int FilterTimeOut() const { return m_filterTimeOut; } // ms
    void SetFilterTimeOut(int ms);
    // Text of a column's filter field (a number field gives its value in decimal).
    QString GetFilter(int Column, bool Numeric) const;
    bool HeaderHotTrack() const { return m_headerHotTrack; }
    void SetHeaderHotTrack(bool v);
    bool HeaderFlatStyle() const { return m_headerFlatStyle; }
    void SetHeaderFlatStyle(bool v);
    bool HeaderOwnerDraw() const { return m_headerOwnerDraw; }
    void SetHeaderOwnerDraw(bool v);
    int HeaderHeight() const { return m_headerHeight; } // pixels
    void SetHeaderHeight(int v);
    TImageList* HeaderImages() const { return m_headerImages; }
    void SetHeaderImages(TImageList* v);
    TFont& HeaderFont() { return m_headerFont; } // editing it applies it like SetHeaderFont
    const TFont& HeaderFont() const { return m_headerFont; }
    void SetHeaderFont(const TFont& v) { m_headerFont.Assign(v); }

    TSortDirection SortDirection() const { return m_sortDirection; }
    void SetSortDirection(TSortDirection v) { m_sortDirection = v; }
    bool SortShow() const { return m_sortShow; }
    void SetSortShow(bool v) { m_sortShow = v; }
    TSortIndicator SortIndicator() const { return m_sortIndicator; }
    void SetSortIndicator(TSortIndicator v) { m_sortIndicator = v; }
    const TBitmap& SortUpGlyph() const { return m_sortUpGlyph; }
    void SetSortUpGlyph(const TBitmap& v) { m_sortUpGlyph.Assign(v); }
    const TBitmap& SortDownGlyph() const { return m_sortDownGlyph; }
    void SetSortDownGlyph(const TBitmap& v) { m_sortDownGlyph.Assign(v); }
    int SortColumn() const { return m_sortColumn; }
    int SortIndicatorColumn() const { return m_sortIndicatorColumn; }

    // -----------------------------------------------------------------------------------------
    // 5. Cell addressing and rich text
    // -----------------------------------------------------------------------------------------
    // ACol: 0 = caption, c >= 1 = sub-item c-1. ARow -1 reads the column caption.
    QString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString& text);
    TRect CellRect(int ARow, int ACol) const; // client pixels; empty without a window
    bool CellAtPoint(int X, int Y, int& ACol, int& ARow) const; // false over no item
    QString CellTextAtPoint(int X, int Y) const;
    // ASubItem: -1 = caption, k = sub-item k.
    void CellToRich(int ARow, int ASubItem, TRichEdit& ARichEdit) const;
    void RichToCell(int ARow, int ASubItem);
    TOrvRichEdit& RichEdit() { return *m_richEdit; }
    const TOrvRichEdit& RichEdit() const { return *m_richEdit; }
    // Content kind of a text as this list shows it.
    TCellContentKind ContentKind(const QString& text) const { return CellContent::Classify(text, m_urlShow); }
    QChar Delimiter() const { return m_delimiter; } // QChar(0) = detect on load
    void SetDelimiter(QChar v) { m_delimiter = v; }

    // -----------------------------------------------------------------------------------------
    // 6. Data exchange
    // -----------------------------------------------------------------------------------------
    // Each of these, and Print, raises OnProgress while it works (see there). A cancelled load
    // leaves the list as it was before the call (the file is read into a copy that replaces or
    // extends the list only once it is complete); a cancelled save leaves any previous file as it
    // was; both return normally.
    void SaveToCSV(const QString& FileName);
    void LoadFromCSV(const QString& FileName);
    void SaveToFile(const QString& FileName);
    void LoadFromFile(const QString& FileName);
    void SaveToHTML(const QString& FileName);
    void SaveToXML(const QString& FileName, const QString& ListTag, const QString& RecordTag,
        const QStringList& FieldNames);
    // Spreadsheet and word-processor documents through the office automation servers.
    void SaveToXLS(const QString& FileName);
    void SaveToDOC(const QString& FileName);

    // -----------------------------------------------------------------------------------------
    // 7. Events (called only when set)
    // -----------------------------------------------------------------------------------------
    TDrawItemProp OnDrawItemProp;
    TDrawItemEvent OnDrawItem;
    TFormatEvent OnGetFormat;
    TCustomCompareEvent OnCustomCompare;
    TRawCompareEvent OnRawCompare;
    TSortStartEvent OnSortStart;
    TSortDoneEvent OnSortDone;
    TColumnSizeEvent OnColumnSized;
    TColumnSizeEvent OnColumnRClick;
    TPrintPageEvent OnPrintPage;
    TDoFitToPageEvent OnFitToPage;
    TPrintColumnWidthEvent OnPrintSetColumnWidth;
    TPrintNewPageEvent OnPrintNewPage;
    TStartColumnTrackEvent OnStartColumnTrack;
    TEndColumnTrackEvent OnEndColumnTrack;
    TClickCellEvent OnRightClickCell;
    TClickCellEvent OnLeftClickCell;
    TEditCellEvent OnCanEditCell;
    TFilterChange OnFilterChange;
    TFilterBtnClick OnFilterBtnClick;
    TLVAnchorClick OnAnchorClick;
    TLVAnchorClick OnAnchorEnter;
    TLVAnchorClick OnAnchorExit;
    TCheckboxClickEvent OnCheckboxClick;
    TURLClickEvent OnURLClick;
    // Raised during the loads, saves and exports of section 6 and Print: first when the work
    // starts (done 0), then about every 50 ms, with done never going down and never passing
    // total, and last with done == total when the work is complete. Work with nothing to do may
    // raise nothing. Setting `cancel` stops the work at once; the call returns normally and
    // nothing is left changed (see section 6; a print is aborted).
    TProgressEvent OnProgress;

    // -----------------------------------------------------------------------------------------
    // 8. Virtual hooks for descendants
    // -----------------------------------------------------------------------------------------
    // Draws one row on the drawing canvas (attached for the duration of the request).
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void ItemSelected(int Index);
    virtual void DoLeftClickCell(int iItem, int iSubItem);
    virtual void DoRightClickCell(int iItem, int iSubItem);
    virtual void DoDrawItemProp(int itemindex, int subitemindex, TOwnerDrawState AState, TBrush& ABrush,
        TFont& AFont, const QString& ItemText);
    virtual int VersionNumber() const;
    virtual QString VersionText() const;

    // The text a cell shows: markup and rich text as their plain text, a URL as drawn; item -1
    // reads a column's header caption. Assistive technology reads the list through it.
    QString DisplayText(int item, int column) const override;
    int CurrentColumn() const override { return m_selectedColumn; }

    // Renders a rich-text cell (ASubItem: -1 = caption) into Rect of Canvas; printing uses it too.
    void DrawRichText(int ARow, int ASubItem, const TRect& Rect, TCanvas& Canvas);

    // The canvas rows are drawn and measured on.
    TCanvas& DrawingCanvas() { return m_canvas; }
    // DrawText flag for the vertical place of plain text (DT_TOP, DT_VCENTER or DT_BOTTOM).
    unsigned VerticalTextFlag() const { return m_vertTextFlag; }

    // -----------------------------------------------------------------------------------------
    // 11. Sorting, row and column operations, clipboard (TOrvListViewSort.cpp, TOrvListViewOps.cpp)
    // -----------------------------------------------------------------------------------------
    // Sorts by a column (0 = caption) in the current SortDirection; no toggle, no start/done events.
    void SortByColumn(int Column);
    // The sort proper, shared by SortByColumn and the header click.
    void ApplySort(int Column);
    // The comparison the rows are sorted with: negative, zero or positive.
    int CompareItems(const TListItem* Item1, const TListItem* Item2);

    void SwapRows(int Row1, int Row2);
    void MoveRow(int FromRow, int ToRow); // ToRow -1: to the end
    void SwapColumns(int Pos1, int Pos2); // display positions
    void MoveColumn(int FromPos, int ToPos);
    void HilightInList(const QString& Text, bool CaseSensitive);
    void UnHilightInList();
    void MarkInList(const QString& Text, bool CaseSensitive);
    void UnMarkInList();
    void SetSubItemImage(int Row, int SubItem, int ImageIndex);
    int GetSubItemImage(int Row, int SubItem) const; // -1 while SubImages is off
    void SetItemIndent(int Row, int SubItem, int Indent);
    int GetItemIndent(int Row, int SubItem) const;

    void CopyToClipboard();
    void CopySelectionToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void DeleteSelectedRows();

    // -----------------------------------------------------------------------------------------
    // 12. Printing and the print preview (TOrvListViewPrint.cpp)
    // -----------------------------------------------------------------------------------------
    // Prints the whole list as one document on the system's default printer; raises
    // EOrvListViewError("No printer available") when the system has none.
    void Print();
    // Prints on a given printer, a PDF printer with an output file included. The printer's
    // errors (EPrinterError) reach the caller; a document whose layout fails is aborted.
    void Print(QPrinter& printer);
    // Draws the first printed page on a screen canvas, Rect (pixels) being the page.
    void PreviewPaint(TCanvas& Canvas, const TRect& Rect) override;
    // Left by the last layout run: widths per column and x positions of the last band's
    // columns (0.1 mm), and the preview area (pixels).
    const std::vector<int>& PrintColWidths() const { return m_printState.colWidths; }
    const std::vector<int>& PrintColPos() const { return m_printState.colPos; }
    TRect PreviewRect() const { return m_printState.previewRect; }

    // -----------------------------------------------------------------------------------------
    // 13. Mouse and keyboard interaction (TOrvListViewInteraction.cpp)
    // -----------------------------------------------------------------------------------------
    // The anchor of the markup cell under client point (X, Y), or "" (also over no markup).
    QString AnchorHitTest(int X, int Y, double ResFactor = 0.0);
    // Repaints the focused row so that the current-cell highlight follows SelectedColumn; the
    // index of the focused row, 0 when there is none.
    int RefreshFocusedRow();
    // Label rectangle where the row painter puts the cell's text (column 0 after check box,
    // image and indent), full row height; the platform's when OwnerDraw is off.
    TRect SubItemRect(int item, int column) const override;
    // Where the row painter draws the check box of a row.
    TRect CheckBoxRect(int item) const override;
    bool Editing() const { return m_editing; } // a cell editor is open
    int DragRow() const { return m_dragRow; } // row being moved by a drag, -1 for none
    QString HoverAnchor() const { return m_hoverAnchor; }
    bool HoverAnchorEntered() const { return m_hoverAnchorEntered; }
    int HintColumn() const { return m_hintCol; } // cell whose hint shows, -1 for none
    int HintRow() const { return m_hintRow; }
    const THintWindow& ScrollHintWindow() const { return *m_scrollHintWindow; }
    // The cursor over the rows when no URL, anchor or drag changes it.
    QCursor NormalCursor() const { return m_normalCursor; }
    static QCursor DragCursor();

    // Pixel rules of the interaction (client pixels from the row's left edge).
    static constexpr int kCheckClickRight = 14; // a click at or left of this toggles the check box
    static constexpr int kURLCursorLeft = 16; // with check boxes, URLs only show the hand right of this
    static constexpr int kAnchorOffset = 2; // markup starts this far right of the label
    static constexpr int kMaxEditLength = 1024; // characters a cell editor takes
    static constexpr int kScrollHintMaxWidth = 100; // pixels
    static constexpr int kScrollHintOffset = 10; // pixels right of the mouse

protected:
    void ColumnClick(int column) override;
    // Column header formats for the sort indicator on platform-drawn sections.
    void SetHeaderImageIndicator(int Column, int Image);
    void SetHeaderBitmapIndicator(int Column);
    void RemoveHeaderIndicator(int Column);
    // The list's sort events as the sort engine's handlers.
    orvsort::TSortHandlers SortHandlers();
    int m_compareColumn = -1; // sub-item index the comparison reads (-1 = caption)

protected:
    // -----------------------------------------------------------------------------------------
    // 9. Platform notifications
    // -----------------------------------------------------------------------------------------
    void MeasureItem(int& height) override;
    void OwnerDrawItem(QPainter& painter, int item, const TRect& rowRect, TOwnerDrawState state) override;
    void ItemChanged(int item, unsigned oldState, unsigned newState) override;
    void ItemClick(int item, int column) override;
    void ItemRClick(int item, int column) override;
    void HeaderDrawSection(QPainter& painter, int section, const TRect& rect) override;
    bool HeaderBeginTrack(int section) override;
    void HeaderEndTrack(int section) override;
    void HeaderItemChanged(int section) override;
    void HeaderDividerDblClick(int section) override;
    void HeaderRClick(TPoint headerPos) override;
    void FilterChange(int section) override;
    void FilterBtnClick(int section) override;
    void ColumnInserted(int index) override;
    void timerEvent(QTimerEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void VerticalScrolled(bool endOfScroll, bool thumbTracking, int thumbPos) override;
    void ItemsChanged() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void MouseLeave() override;
    bool BeginLabelEdit(int item) override;
    void EndLabelEdit(int item, const QString& text, bool accepted) override;
    bool HintShow(THintRequest& request) override;

    // One tick of the 300 ms window timer (auto-scroll while rows are dragged).
    virtual void WindowTimer();
    // Applies the wallpaper (or the plain colour) as the background behind the rows.
    virtual void UpdateBackground();
    // Makes the platform ask for the row height again and lay out header and rows.
    void Remeasure();

    // -----------------------------------------------------------------------------------------
    // 10. State shared by rendering, header, interaction, sizing and sorting code
    // -----------------------------------------------------------------------------------------
public:
    int SelectedColumn() const { return m_selectedColumn; }
    int FocusRow() const { return m_focusRow; }
    bool TimerRunning() const { return m_timer != -1; }
    int TimerId() const { return m_timer; } // 1222 while the window exists, else -1

protected:
    static constexpr int kTimerId = 1222;
    static constexpr int kTimerPeriodMs = 300;

    int m_selectedColumn = 0; // column (0 = caption) of the current cell
    int m_focusRow = 0; // row of the current cell
    QString m_hoverAnchor; // anchor under the mouse
    bool m_hoverAnchorEntered = true;
    bool m_editing = false; // in-place sub-item editing in progress
    int m_editColumn = 0; // column the open cell editor writes
    bool m_secondClick = false; // the press being handled is the second of a double click
    bool m_columnTracking = false; // a header divider drag is in progress
    bool m_headerOwnerDrawGuard = false;
    int m_sortColumn = -1;
    int m_sortIndicatorColumn = -2; // -2: no indicator
    int m_dragRow = -1;
    int m_timer = -1; // logical timer id, -1 when not running
    int m_hintCol = -1;
    int m_hintRow = -1;
    QCursor m_normalCursor;
    unsigned m_vertTextFlag = DT_VCENTER;

private:
    // OnProgress for the exchange and printing code; empty when it is not set, so that the work
    // then reports nothing at all.
    TProgressCallback ProgressCallback();

    // Interaction helpers (TOrvListViewInteraction.cpp).
    void SetCurrentCell(int row, int column);
    void MoveCurrentColumn(int step); // by display position
    void SetOverCursor(const QCursor& cursor);
    void AnchorEntered(const QString& anchor);
    void AnchorLeft();
    void EndRowDrag(int target); // -2: cancelled, nothing moves
    int RowAtY(int Y) const; // -1 below the last row
    int RowX(int X) const { return X + HorizontalOffset(); } // from the row's left edge
    bool OpenURL(int row, const QString& url);
    void PrepareCellCanvas(TCanvas& canvas, int row, int column, const QString& text, TOwnerDrawState state);

    void HeaderFontChanged();
    void HeaderImagesChanged();
    void ApplyHeaderStyleBit(unsigned bit, bool on);
    void SetExStyleBit(unsigned bit, bool on);

    bool m_constructed = false;
    int m_qtTimer = 0;

    TCanvas m_canvas;
    std::unique_ptr<TRowPainter> m_rowPainter;
    TPrintState m_printState; // what the last print layout left
    std::unique_ptr<TPrintsettings> m_printSettings;
    std::unique_ptr<THTMLSettings> m_htmlSettings;
    std::unique_ptr<TDetails> m_detailView;
    std::unique_ptr<THTMLPictureCache> m_pictureCache;
    TBitmap m_wallpaper;
    std::unique_ptr<TOrvRichEdit> m_richEdit;
    std::unique_ptr<TColumnSize> m_columnSize;
    std::unique_ptr<THintWindow> m_scrollHintWindow;
    TBitmap m_sortUpGlyph;
    TBitmap m_sortDownGlyph;
    TBitmap m_checkTrueGlyph;
    TBitmap m_checkFalseGlyph;
    TFont m_headerFont;
    TFont m_headerSizingFont;

    bool m_autoHint = false;
    bool m_ownerDraw = false;
    bool m_flatScrollBar = false;
    bool m_clipboardEnable = false;
    bool m_filterBar = false;
    int m_filterTimeOut = 0;
    bool m_htmlHint = false;
    bool m_headerHotTrack = false;
    bool m_headerDragDrop = false;
    bool m_headerFlatStyle = false;
    bool m_headerOwnerDraw = false;
    int m_headerHeight = 13;
    TImageList* m_headerImages = nullptr;
    int m_headerImagesLink = 0;
    int m_hoverTime = 0;
    int m_defaultHoverTime = 0; // the platform's own hover time, for the "default" value -1
    TPictureContainer* m_pictureContainer = nullptr;
    int m_pictureContainerLink = 0;
    bool m_selectionRTFKeep = false;
    bool m_scrollHint = false;
    TColor m_selectionColor = clHighlight;
    TColor m_selectionTextColor = clHighlightText;
    bool m_sizeWithForm = false;
    TSortDirection m_sortDirection = sdAscending;
    bool m_sortShow = false;
    TSortIndicator m_sortIndicator = siLeft;
    bool m_subImages = false;
    bool m_subItemEdit = false;
    bool m_subItemSelect = false;
    TColor m_urlColor = clBlue;
    bool m_urlShow = false;
    bool m_urlFull = false;
    TVAlignment m_vAlignment = vtaCenter;
    bool m_wordWrap = false;
    int m_itemHeight = 0;
    bool m_saveHeader = false;
    bool m_loadHeader = false;
    bool m_reArrangeItems = false;
    TViewStyle m_viewStyle = vsReport;
    QChar m_delimiter = QChar(0);
};
