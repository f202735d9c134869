// TLayoutRun: one run of the print layout, from set-up to the last page. Its fields are the
// values computed once per run; everything is in 0.1 mm with y pointing up unless a name says
// otherwise.
#pragma once

#include "platform/TFont.h"
#include "platform/TProgress.h"
#include "printing/TPrintLayout.h"
#include "printing/TPrintSource.h"

#include <QString>
#include <optional>
#include <vector>

class TCanvas;
class TPrintsettings;

class TLayoutRun {
public:
    TLayoutRun(TPrintSource& source, const TPrintsettings& settings, TPrintState& state, TCanvas& canvas,
        TPrintLayout::TMode mode, TPrintLayout::TPageFeed* feed, const std::function<QDateTime()>& clock,
        const TProgressCallback& progress = {});

    // Throws EProgressCancelled when the progress callback asks to stop.
    void Execute();
    int PageCount() const { return m_pageNo + 1; }

private:
    struct TCellSize {
        int width = 0;
        int height = 0;
    };

    void SetUp();
    void MeasureCells();
    TCellSize MeasureCell(int col, int row);
    void FitToPage();
    void LayOutBand(int first, int last, long long bandWidth);
    void PageLoop();
    void CellsDone(qint64 cells);
    int PrintRow(int row);
    void DrawMarkupCell(const QString& text, const TRect& cell);
    void DrawPlainCell(int col, int row, const QString& text, TRect cell);
    void CloseBorders(int y);
    void DrawSlots();
    void Eject();
    int RowHeight(int row) const;
    // Puts a font on the canvas with its height converted from points to layout units.
    void PutFont(const TFont& font);
    // In device pixels: the canvas font gets the print font size as a character cell height.
    void SetDeviceFontSize();
    // The settings' font as the per-cell event gets it: its size is the print font size.
    TFont CellFont() const;

    TPrintSource& m_source;
    const TPrintsettings& m_settings;
    TPrintState& m_state;
    TCanvas& m_canvas;
    const TPrintLayout::TMode m_mode;
    TPrintLayout::TPageFeed* m_feed;
    const std::function<QDateTime()>& m_clock;
    const TProgressCallback& m_progress;
    // Progress in cells: every cell measured, then every cell printed (a repeated header row
    // not counted), so the total is known before the first page.
    std::optional<TProgressMeter> m_meter;
    qint64 m_cellsDone = 0;

    int m_columns = 0; // N
    int m_rows = 0; // Count
    bool m_checkBoxes = false;
    double m_ratio = 0; // canvas dots per inch / screen dots per inch; 0 when unknown
    int m_checkBoxWidth = 0; // W: the room the check box takes in every column
    int m_checkBoxSide = 0; // the box itself, a square
    int m_headerHeight = 0; // hdrH: "gh" in HeaderFont
    int m_footerHeight = 0; // ftrH: "gh" in FooterFont
    int m_printFontSize = 0; // points
    int m_pad = 0; // "gh" in Font, div 8
    int m_charWidth = 0; // aW: "a" in Font
    int m_pageWidth = 0; // pageW
    int m_pageBottom = 0; // pageB, negative
    int m_spacing = 0; // S
    int m_topMargin = 0; // topM
    int m_bottomMargin = 0; // botM
    TPrintMarkupResources m_markup;

    std::vector<int> m_colWidths; // per column
    std::vector<int> m_rowHeights; // per row, the column-header row first (index row + 1)

    // Page loop state.
    int m_first = 0; // the band's columns
    int m_last = -1;
    int m_pageNo = 0; // zero-based number of the current page
    int m_y = 0; // top of the next row
    int m_onPage = 0; // rows placed on the current page
    bool m_stopped = false; // the preview reached the end of its page
};
