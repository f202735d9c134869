// TPrintLayout: lays a list out as printed pages: a table in bands of columns that fit across
// the page, page header and footer slots, grid lines, fit-to-page scaling and the print events.
// One routine serves the printer (every page) and the preview (the first page on a screen
// canvas). Everything is laid out in 0.1 mm with y pointing up: the printable area's top edge
// is y = 0 and rows go down to negative y.
#pragma once

#include "platform/TProgress.h"
#include "platform/TTypes.h"

#include <QDateTime>
#include <functional>
#include <vector>

class TCanvas;
class TPrinter;
class TPrintSource;
class TPrintsettings;

// What a layout run leaves behind for the caller; every run overwrites it.
struct TPrintState {
    std::vector<int> colWidths = std::vector<int>(256); // 0.1 mm per column; at least 256
                                                        // entries, unused ones 0
    std::vector<int> colPos = std::vector<int>(258); // 0.1 mm: left edge of column i of the last
                                                     // band, entry last+1 its right edge
    TRect previewRect; // pixels: the preview area of the last PreviewPaint
};

class TPrintLayout {
public:
    enum TMode { lmPrint, lmPreview };

    // Starts the next sheet of the document; the layout calls it between pages when printing.
    class TPageFeed {
    public:
        virtual ~TPageFeed() = default;
        virtual void NewPage() = 0;
    };

    TPrintLayout(TPrintSource& source, const TPrintsettings& settings, TPrintState& state);

    // The whole list as one document: orientation and title, begin, every page, end. When
    // anything fails, a cancel from Progress included (EProgressCancelled), the document is
    // aborted and the error reaches the caller.
    void Print(TPrinter& printer);
    // The first page on a screen canvas; `rect` (pixels) is the page.
    void PreviewPaint(TCanvas& canvas, const TRect& rect);
    // The layout proper. Printing takes the page from the canvas's clip box and starts further
    // pages through `feed`; the preview takes it from the state's preview rectangle and stops at
    // the end of the first page. The canvas's font, brush, pen, background mode and mapping are
    // restored on every way out.
    void LayoutPages(TCanvas& canvas, TMode mode, TPageFeed* feed);

    // Pages the last run began (the first page included).
    int PageCount() const { return m_pageCount; }

    // The clock the date and time slots read, once per page; the current time by default.
    std::function<QDateTime()> Clock;
    // Hears how many cells of the document have been measured and printed (the preview reports
    // nothing); setting its `cancel` stops the layout with EProgressCancelled.
    TProgressCallback Progress;

private:
    TPrintSource& m_source;
    const TPrintsettings& m_settings;
    TPrintState& m_state;
    int m_pageCount = 0;
};
