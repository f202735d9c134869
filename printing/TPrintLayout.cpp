#include "printing/TPrintLayout.h"

#include "platform/TCanvas.h"
#include "platform/TPrinter.h"
#include "printing/TPrintsettings.h"
#include "printing/private/TLayoutRun.h"

namespace {

const TProgressCallback kNoProgress;

// Puts the caller's canvas back as it was, however the layout ends.
class TCanvasStateGuard {
public:
    explicit TCanvasStateGuard(TCanvas& canvas)
        : m_canvas(canvas)
        , m_font(canvas.Font())
        , m_pen(canvas.Pen())
        , m_bkMode(canvas.BkMode())
        , m_mapMode(canvas.MapMode())
    {
        m_brush.Assign(canvas.Brush());
    }
    ~TCanvasStateGuard()
    {
        m_canvas.SetFont(m_font);
        m_canvas.Brush().Assign(m_brush);
        m_canvas.Pen() = m_pen;
        m_canvas.SetBkMode(m_bkMode);
        m_canvas.SetMapMode(m_mapMode);
    }
    TCanvasStateGuard(const TCanvasStateGuard&) = delete;
    TCanvasStateGuard& operator=(const TCanvasStateGuard&) = delete;

private:
    TCanvas& m_canvas;
    TFont m_font;
    TBrush m_brush;
    TPen m_pen;
    TBkMode m_bkMode;
    TMapMode m_mapMode;
};

class TPrinterFeed : public TPrintLayout::TPageFeed {
public:
    explicit TPrinterFeed(TPrinter& printer)
        : m_printer(printer)
    { }
    void NewPage() override { m_printer.NewPage(); }

private:
    TPrinter& m_printer;
};

} // namespace

TPrintLayout::TPrintLayout(TPrintSource& source, const TPrintsettings& settings, TPrintState& state)
    : m_source(source)
    , m_settings(settings)
    , m_state(state)
{ }

void TPrintLayout::LayoutPages(TCanvas& canvas, TMode mode, TPageFeed* feed)
{
    TCanvasStateGuard guard(canvas);
    m_pageCount = 0;
    TLayoutRun run(
        m_source, m_settings, m_state, canvas, mode, feed, Clock, mode == lmPrint ? Progress : kNoProgress);
    try {
        run.Execute();
    } catch (...) {
        m_pageCount = run.PageCount();
        // A cell clip may still be set when an event handler threw.
        canvas.RemoveClip();
        throw;
    }
    m_pageCount = run.PageCount();
}

void TPrintLayout::Print(TPrinter& printer)
{
    // The orientation goes first: a printer that cannot take it fails before a document exists.
    printer.SetOrientation(m_settings.Orientation());
    printer.SetTitle(m_settings.JobName());
    printer.BeginDoc();
    try {
        TCanvas& canvas = printer.Canvas();
        canvas.SetMapMode(mmLoMetric);
        TPrinterFeed feed(printer);
        LayoutPages(canvas, lmPrint, &feed);
        printer.EndDoc();
    } catch (...) {
        printer.Abort();
        throw;
    }
}

void TPrintLayout::PreviewPaint(TCanvas& canvas, const TRect& rect)
{
    canvas.SetMapMode(mmLoMetric);
    m_state.previewRect = rect;
    LayoutPages(canvas, lmPreview, nullptr);
}
