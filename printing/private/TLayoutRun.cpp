#include "printing/private/TLayoutRun.h"

#include "markup/DrawMarkup.h"
#include "platform/TBrush.h"
#include "platform/TCanvas.h"
#include "printing/TPrintsettings.h"
#include "printing/private/THeaderFooter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kTenthMmPerInch = 254;
constexpr int kPointsPerInch = 72;
constexpr int kFixedSpacing = 20; // 2 mm between columns on top of ColumnSpacing
constexpr int kThinPen = 2; // 0.2 mm
constexpr int kThickPen = 10; // 1 mm
constexpr int kMarkupWrapScreenPixels = 1000; // width markup is measured in
// Widths and positions stay far inside the int range whatever an event handler asks for.
constexpr long long kMaxExtent = 1 << 28;

// To the nearest integer, ties to the even neighbour.
int RoundEven(double v)
{
    if (!(v == v))
        return 0;
    return int(std::clamp(std::nearbyint(v), -double(kMaxExtent), double(kMaxExtent)));
}

int ClampExtent(long long v)
{
    return int(std::clamp(v, -kMaxExtent, kMaxExtent));
}

// Truncated toward zero; nothing negative, nothing absurdly wide.
int ScaledWidth(int width, double scale)
{
    const double v = double(width) * scale;
    if (!(v >= 0))
        return 0;
    if (v >= double(kMaxExtent))
        return int(kMaxExtent);
    return int(v);
}

bool IsRichText(const QString& text)
{
    return text.startsWith(QLatin1String("{\\"));
}

bool IsMarkup(const QString& text)
{
    return text.contains(QLatin1String("</"));
}

const QString kGh = QStringLiteral("gh");

} // namespace

TLayoutRun::TLayoutRun(TPrintSource& source, const TPrintsettings& settings, TPrintState& state,
    TCanvas& canvas, TPrintLayout::TMode mode, TPrintLayout::TPageFeed* feed,
    const std::function<QDateTime()>& clock, const TProgressCallback& progress)
    : m_source(source)
    , m_settings(settings)
    , m_state(state)
    , m_canvas(canvas)
    , m_mode(mode)
    , m_feed(feed)
    , m_clock(clock)
    , m_progress(progress)
{ }

void TLayoutRun::CellsDone(qint64 cells)
{
    m_cellsDone += cells;
    if (m_meter)
        m_meter->Step(m_cellsDone);
}

void TLayoutRun::Execute()
{
    SetUp();
    if (m_mode == TPrintLayout::lmPrint && m_progress) {
        const bool measured = m_columns > 0 && !(m_settings.UseFixedWidth() && m_settings.UseFixedHeight());
        const qint64 cells = (qint64(m_rows) + 1) * m_columns;
        m_meter.emplace(m_progress, (measured ? 2 : 1) * cells);
        m_meter->Step(0);
    }
    MeasureCells();
    FitToPage();

    // The first page is begun by whoever started the document (or is the preview area).
    m_pageNo = 0;
    m_source.PrintPage(m_canvas, m_pageNo, m_pageWidth, m_pageBottom);

    // Bands of adjacent columns that fit across the page; every band starts a page of its own
    // and prints all rows again. The width limit counts from 0 whatever LeftSize is.
    const long long limit = (long long)m_pageWidth - m_settings.RightSize();
    int first = 0;
    while (first <= m_columns - 1) {
        long long sum = 0;
        int c = first;
        while (sum <= limit && c <= m_columns - 1) {
            sum += (long long)m_colWidths[size_t(c)] + m_spacing;
            if (sum <= limit)
                ++c;
        }
        if (c > m_columns - 1)
            c = m_columns - 1;
        if (sum > limit) {
            sum -= (long long)m_colWidths[size_t(c)] + m_spacing;
            --c;
        }
        // A column wider than the page still gets a band of its own (cut at the page edge):
        // without it the loop would never get past that column.
        if (c < first) {
            c = first;
            sum = (long long)m_colWidths[size_t(first)] + m_spacing;
        }
        LayOutBand(first, c, sum);
        if (m_stopped)
            break;
        first = c + 1;
        if (m_mode == TPrintLayout::lmPreview)
            break;
        if (first <= m_columns - 1)
            Eject();
    }
    if (m_meter)
        m_meter->Finish();
}

// ---- set-up and measuring --------------------------------------------------------------------

void TLayoutRun::PutFont(const TFont& font)
{
    m_canvas.SetFont(font);
    m_canvas.Font().SetHeight(RoundEven(std::abs(font.Size()) * double(kTenthMmPerInch) / kPointsPerInch));
}

void TLayoutRun::SetDeviceFontSize()
{
    // The same character cell height as PutFont gives plain text, in device pixels: markup and
    // plain cells of one row print at one size.
    m_canvas.Font().SetHeight(
        RoundEven(std::abs(m_printFontSize) * double(m_canvas.PixelsPerInchY()) / kPointsPerInch));
}

TFont TLayoutRun::CellFont() const
{
    TFont font(m_settings.Font());
    font.SetSize(m_printFontSize);
    return font;
}

void TLayoutRun::SetUp()
{
    m_columns = std::max(0, m_source.ColumnCount());
    m_rows = std::max(0, m_source.RowCount());
    m_checkBoxes = m_source.ShowsCheckBoxes();
    m_markup = m_source.MarkupResources();

    m_canvas.SetMapMode(mmPixels);
    const int screenDpi = m_source.ScreenPixelsPerInch();
    m_ratio = screenDpi > 0 ? double(m_canvas.PixelsPerInchX()) / screenDpi : 0.0;
    m_canvas.SetMapMode(mmLoMetric);

    TPen& pen = m_canvas.Pen();
    pen.SetColor(clBlack);
    pen.SetStyle(m_settings.BorderStyle());
    pen.SetWidth(m_settings.Borders() == pbDouble ? kThickPen : kThinPen);

    PutFont(m_settings.HeaderFont());
    m_headerHeight = m_canvas.TextHeight(kGh);
    PutFont(m_settings.FooterFont());
    m_footerHeight = m_canvas.TextHeight(kGh);
    m_printFontSize = m_settings.Font().Size();
    PutFont(m_settings.Font());
    m_pad = m_canvas.TextHeight(kGh) / 8;
    m_charWidth = m_canvas.TextWidth(QStringLiteral("a"));
    // The check box is a square as high as a line of the print font, a pad in from the cell's
    // edge, as on screen, where the box is about as high as the text: it fits every row
    // whatever the printer's resolution.
    m_checkBoxSide = m_checkBoxes ? m_canvas.TextHeight(kGh) : 0;
    m_checkBoxWidth = m_checkBoxes ? m_pad + m_checkBoxSide : 0;

    if (m_mode == TPrintLayout::lmPrint) {
        const TRect page = m_canvas.ClipBox();
        m_pageWidth = page.right - page.left;
        m_pageBottom = page.bottom;
    } else {
        const TRect& r = m_state.previewRect;
        m_pageWidth = RoundEven(double(kTenthMmPerInch) / m_canvas.PixelsPerInchX() * (r.right - r.left));
        m_pageBottom = -RoundEven(double(kTenthMmPerInch) / m_canvas.PixelsPerInchY() * (r.bottom - r.top));
    }
    m_spacing = m_settings.UseFixedWidth() ? 0 : m_settings.ColumnSpacing() + kFixedSpacing;

    m_topMargin = m_settings.HeaderSize() + (THeaderFooter::AnyTop(m_settings) ? m_pad + m_headerHeight : 0);
    m_bottomMargin
        = m_settings.FooterSize() + (THeaderFooter::AnyBottom(m_settings) ? 2 : 1) * (m_pad + m_footerHeight);
}

TLayoutRun::TCellSize TLayoutRun::MeasureCell(int col, int row)
{
    QString text = m_source.CellText(col, row);
    // Rich formatting is not measured: its plain text stands for it.
    if (IsRichText(text))
        text = m_source.RichPlainText(row, col - 1);

    TCellSize size;
    if (IsMarkup(text)) {
        // The renderer measures in device pixels, in the print font at the device's resolution.
        m_canvas.SetMapMode(mmPixels);
        const TFont saved(m_canvas.Font());
        m_canvas.SetFont(m_settings.Font());
        SetDeviceFontSize();
        // Lines wrap at 1000 screen pixels, the same physical width on every printer as in the
        // preview (a fixed number of device pixels would wrap sooner the finer the printer).
        const int wrap = RoundEven(kMarkupWrapScreenPixels * (m_ratio > 0 ? m_ratio : 1.0));
        QString anchor, plain, focusHref;
        int contentWidth = 0, contentHeight = 0, anchorCount = 0, hoverAnchor = -1;
        TRect hoverRect;
        DrawMarkup(m_canvas, text, TRect { 0, 0, wrap, wrap }, m_markup.images, 0, 0, -1, -1, 1, false, true,
            false, true, true, false, true, 1.0, m_markup.urlColor, clNone, clNone, clGray, anchor, plain,
            focusHref, contentWidth, contentHeight, anchorCount, hoverAnchor, hoverRect,
            m_markup.pictureCache, m_markup.pictures);
        m_canvas.SetMapMode(mmLoMetric);
        const TPoint logical = m_canvas.DPtoLP(TPoint { contentWidth, contentHeight });
        size.width = logical.x;
        size.height = -logical.y;
        m_canvas.SetFont(saved);
        return size;
    }

    TFont font = CellFont();
    TBrush brush;
    brush.Assign(m_canvas.Brush());
    m_source.CellProperties(row, col - 1, brush, font, text);
    PutFont(font);
    size.width = m_canvas.TextWidth(text) + m_checkBoxWidth;
    size.height = m_canvas.TextHeight(text);
    PutFont(m_settings.Font());
    return size;
}

void TLayoutRun::MeasureCells()
{
    const bool fixedWidth = m_settings.UseFixedWidth();
    const bool fixedHeight = m_settings.UseFixedHeight();
    m_colWidths.assign(size_t(m_columns), 0);
    m_rowHeights.assign(fixedHeight ? 0 : size_t(m_rows) + 1, 0);
    // Each cell is measured once; its width serves the column, its height the row.
    if (m_columns > 0 && !(fixedWidth && fixedHeight)) {
        for (int row = -1; row < m_rows; ++row) {
            int rowHeight = 0;
            for (int col = 0; col < m_columns; ++col) {
                const TCellSize size = MeasureCell(col, row);
                if (!fixedWidth) {
                    int& w = m_colWidths[size_t(col)];
                    w = std::max(w, ClampExtent((long long)size.width + m_charWidth));
                }
                rowHeight = std::max(rowHeight, size.height);
            }
            if (!fixedHeight)
                m_rowHeights[size_t(row + 1)] = rowHeight;
            CellsDone(m_columns);
        }
    }
    if (fixedWidth)
        std::fill(m_colWidths.begin(), m_colWidths.end(), std::max(0, m_settings.FixedWidth()));
}

int TLayoutRun::RowHeight(int row) const
{
    if (m_settings.UseFixedHeight())
        return std::max(0, m_settings.FixedHeight());
    if (row < -1 || row >= m_rows)
        return 0;
    return m_rowHeights[size_t(row + 1)];
}

void TLayoutRun::FitToPage()
{
    // Only the widths are scaled; fonts, row heights and spacing keep their sizes.
    const TFitToPage fit = m_settings.FitToPage();
    double scale = 1.0;
    if (fit != fpNever) {
        long long contents = 0;
        for (int w : m_colWidths)
            contents += w;
        // With nothing to scale (no columns, or all of them empty) the widths stay as they are.
        if (contents > 0) {
            const long long room = (long long)m_pageWidth - m_settings.RightSize() - m_settings.LeftSize()
                - (long long)m_columns * m_spacing;
            // Spacing alone wider than the page: the contents get no room at all.
            scale = std::max(0.0, double(room) / double(contents));
        }
    }
    if ((fit == fpGrow && scale < 1) || (fit == fpShrink && scale > 1))
        scale = 1;
    if (fit == fpCustom && scale != 1) {
        bool allow = true;
        m_source.FitToPage(scale, allow);
        if (!allow)
            scale = 1;
    }
    if (scale != 1) {
        for (int& w : m_colWidths)
            w = ScaledWidth(w, scale);
    }
    for (int col = 0; col < m_columns; ++col) {
        int& w = m_colWidths[size_t(col)];
        m_source.PrintSetColumnWidth(col, w);
        w = ClampExtent(std::max(0, w));
    }

    m_state.colWidths.assign(std::max<size_t>(256, size_t(m_columns)), 0);
    std::copy(m_colWidths.begin(), m_colWidths.end(), m_state.colWidths.begin());
    m_state.colPos.assign(std::max<size_t>(258, size_t(m_columns) + 2), 0);
}

// ---- bands and pages -------------------------------------------------------------------------

void TLayoutRun::LayOutBand(int first, int last, long long bandWidth)
{
    m_first = first;
    m_last = last;
    std::vector<int>& pos = m_state.colPos;
    long long x = m_settings.Centered() ? 0 : m_settings.LeftSize();
    if (m_settings.Centered() && bandWidth < m_pageWidth)
        x += (m_pageWidth - bandWidth) / 2;
    pos[size_t(first)] = ClampExtent(x);
    for (int i = first + 1; i <= last + 1; ++i) {
        x += (long long)m_colWidths[size_t(i - 1)] + m_spacing;
        pos[size_t(i)] = ClampExtent(x);
    }

    PageLoop();
    // The band's last page holds rows: close its grid.
    if (!m_stopped && m_onPage > 0)
        CloseBorders(m_y);
}

void TLayoutRun::PageLoop()
{
    int row = -1; // the column-header row comes first
    m_onPage = 0;
    while (row < m_rows) {
        if (m_onPage == 0) {
            m_y = -m_topMargin;
            DrawSlots();
            if (row > 0 && m_pageNo > 0 && m_settings.RepeatHeaders()) {
                m_y -= PrintRow(-1);
                ++m_onPage;
            }
        }
        m_y -= PrintRow(row);
        ++row;
        ++m_onPage;
        CellsDone(m_last - m_first + 1);

        bool newPage = false;
        m_source.PrintNewPage(row, newPage);
        // A break needs rows left to go on the next page: after the band's last row the band's
        // end starts the next page anyway, and a document does not end on an empty page.
        if (row < m_rows && (m_y - RowHeight(row) < m_pageBottom + m_bottomMargin || newPage)) {
            CloseBorders(m_y);
            m_onPage = 0;
            if (m_mode == TPrintLayout::lmPreview) {
                m_stopped = true;
                return;
            }
            Eject();
        }
    }
}

void TLayoutRun::Eject()
{
    ++m_pageNo;
    if (m_feed)
        m_feed->NewPage();
    m_canvas.SetMapMode(mmLoMetric);
    m_source.PrintPage(m_canvas, m_pageNo, m_pageWidth, m_pageBottom);
}

int TLayoutRun::PrintRow(int row)
{
    int h = RowHeight(row);
    h += h / 8;
    const int extent = h + 2 * m_pad;
    const std::vector<int>& pos = m_state.colPos;
    const TFont cellFont = CellFont();
    for (int col = m_first; col <= m_last; ++col) {
        const QString text = m_source.CellText(col, row);
        PutFont(m_settings.Font());
        const TFont savedFont(m_canvas.Font());
        TBrush savedBrush;
        savedBrush.Assign(m_canvas.Brush());

        TFont font(cellFont);
        TBrush brush;
        brush.Assign(m_canvas.Brush());
        m_source.CellProperties(row, col - 1, brush, font, text);
        m_canvas.Brush().Assign(brush);
        PutFont(font);

        const TRect cell { pos[size_t(col)], m_y, pos[size_t(col) + 1], m_y - extent };
        // Rich and marked-up text keep the margins plain text has: the width of "a" from the
        // cell's left edge (and its grid line), a pad below its top.
        const TRect inset { cell.left + m_charWidth, cell.top - m_pad, cell.right, cell.bottom };
        if (IsRichText(text))
            m_source.DrawRichText(row, col - 1, inset, m_canvas);
        else if (IsMarkup(text))
            DrawMarkupCell(text, inset);
        else
            DrawPlainCell(col, row, text, cell);

        m_canvas.SetFont(savedFont);
        m_canvas.Brush().Assign(savedBrush);
    }
    const TPrintBorders borders = m_settings.Borders();
    if (borders == pbSingle || borders == pbDouble || borders == pbHorizontal) {
        m_canvas.MoveTo(pos[size_t(m_first)], m_y);
        m_canvas.LineTo(pos[size_t(m_last) + 1], m_y);
    }
    return extent;
}

void TLayoutRun::DrawMarkupCell(const QString& text, const TRect& cell)
{
    const TRect device = m_canvas.LPtoDP(cell);
    const TMapMode mode = m_canvas.MapMode();
    const TPen pen = m_canvas.Pen(); // the renderer may leave its own pen behind
    m_canvas.SetMapMode(mmPixels);
    // Name, style and colour are the cell's; the size is the print font's.
    SetDeviceFontSize();
    QString anchor, plain, focusHref;
    int contentWidth = 0, contentHeight = 0, anchorCount = 0, hoverAnchor = -1;
    TRect hoverRect;
    DrawMarkup(m_canvas, text, device, m_markup.images, 0, 0, -1, -1, 1, false, false, true, false, true,
        false, true, m_ratio, m_markup.urlColor, clNone, clNone, clGray, anchor, plain, focusHref,
        contentWidth, contentHeight, anchorCount, hoverAnchor, hoverRect, m_markup.pictureCache,
        m_markup.pictures);
    m_canvas.SetMapMode(mode);
    m_canvas.Pen() = pen;
}

void TLayoutRun::DrawPlainCell(int col, int row, const QString& text, TRect cell)
{
    const int yt = m_y - m_pad;
    int xt = cell.left;
    // Check boxes belong to real rows only, never to the column-header row.
    if (col == 0 && m_checkBoxes && row >= 0 && row < m_rows) {
        const int left = cell.left + m_pad;
        m_canvas.DrawFlatCheckBox(
            TRect { left, yt, left + m_checkBoxSide, yt - m_checkBoxSide }, m_source.RowChecked(row));
        xt += m_checkBoxWidth;
        cell.left += m_checkBoxWidth;
    }
    if (text.isEmpty())
        return;
    const int textWidth = m_canvas.TextWidth(text);
    int x = xt + m_charWidth;
    switch (m_source.ColumnAlignment(col)) {
    case taLeftJustify:
        break;
    case taRightJustify:
        x = cell.right - m_charWidth - textWidth;
        break;
    case taCenter:
        x = xt + (cell.right - xt - textWidth) / 2;
        break;
    }
    m_canvas.SetBkMode(bkOpaque);
    // The clip costs a graphics state on paper: only text that leaves its cell gets one.
    const int textBottom = yt - m_canvas.TextHeight(text);
    const bool overflows
        = x < cell.left || x + textWidth > cell.right || yt > cell.top || textBottom < cell.bottom;
    if (overflows)
        m_canvas.SetClipRect(cell);
    m_canvas.TextOut(x, yt, text);
    if (overflows)
        m_canvas.RemoveClip();
}

void TLayoutRun::CloseBorders(int y)
{
    const TPrintBorders borders = m_settings.Borders();
    const std::vector<int>& pos = m_state.colPos;
    const int bottom = y + m_pad / 2;
    if (borders == pbSingle || borders == pbDouble || borders == pbHorizontal) {
        m_canvas.MoveTo(pos[size_t(m_first)], bottom);
        m_canvas.LineTo(pos[size_t(m_last) + 1], bottom);
    }
    if (borders == pbSingle || borders == pbDouble || borders == pbVertical) {
        for (int i = m_first; i <= m_last + 1; ++i) {
            m_canvas.MoveTo(pos[size_t(i)], -m_topMargin);
            m_canvas.LineTo(pos[size_t(i)], bottom);
        }
    }
}

void TLayoutRun::DrawSlots()
{
    const THeaderFooter::TSlots texts
        = THeaderFooter::Compose(m_settings, m_pageNo, m_clock ? m_clock() : QDateTime::currentDateTime());
    // Slots never paint a background over what an OnPrintPage handler drew.
    m_canvas.SetBkMode(bkTransparent);
    auto draw = [this](const QString& text, TPrintPosition position, int y) {
        if (text.isEmpty())
            return;
        const int width = m_canvas.TextWidth(text);
        int x = m_settings.LeftSize();
        if (position == ppTopRight || position == ppBottomRight)
            x = m_pageWidth - width - kFixedSpacing - m_settings.RightSize();
        else if (position == ppTopCenter || position == ppBottomCenter)
            x = (m_pageWidth - width) / 2;
        m_canvas.TextOut(x, y, text);
    };
    PutFont(m_settings.HeaderFont());
    const int top = -m_settings.HeaderSize();
    draw(texts[THeaderFooter::sTopLeft], ppTopLeft, top);
    draw(texts[THeaderFooter::sTopRight], ppTopRight, top);
    draw(texts[THeaderFooter::sTopCenter], ppTopCenter, top);
    PutFont(m_settings.FooterFont());
    const int bottom = m_pageBottom + m_footerHeight + m_pad + m_settings.FooterSize();
    draw(texts[THeaderFooter::sBottomLeft], ppBottomLeft, bottom);
    draw(texts[THeaderFooter::sBottomRight], ppBottomRight, bottom);
    draw(texts[THeaderFooter::sBottomCenter], ppBottomCenter, bottom);
    PutFont(m_settings.Font());
}
