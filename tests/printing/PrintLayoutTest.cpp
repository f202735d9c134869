// The print layout on a recording canvas: cell geometry, rows and pages, header and footer
// slots, grid lines, check boxes, the per-cell event and the print events.
#include "PrintTestKit.h"
#include "support/TestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace printtest;

namespace {

// Row extent with the simple metrics: line height, its eighth, and a pad above and below.
constexpr int kExtent = kLineHeight + kLineHeight / 8 + 2 * kPad; // 55

TEST(PrintLayout, CellsSitInColumnsMeasuredFromEveryCellIncludingCaptions)
{
    TLayoutHarness h;
    h.source.captions = { "Name", "A much longer caption", "N" };
    h.source.rows = { { "Short", "x", "1234567" }, { "The longest cell", "yy", "12" } };
    h.source.alignments = { taLeftJustify, taCenter, taRightJustify };
    h.settings.SetLeftSize(100);
    h.settings.SetColumnSpacing(30);
    h.Print();

    // Width: widest text (captions included) plus the width of "a"; spacing 30 + the fixed 20.
    const int w0 = 16 * kCharWidth + kCharWidth, w1 = 21 * kCharWidth + kCharWidth,
              w2 = 7 * kCharWidth + kCharWidth;
    EXPECT_EQ(h.state.colWidths[0], w0);
    EXPECT_EQ(h.state.colWidths[1], w1);
    EXPECT_EQ(h.state.colWidths[2], w2);
    EXPECT_EQ(h.state.colWidths.size(), 256u);
    EXPECT_EQ(h.state.colPos[0], 100);
    EXPECT_EQ(h.state.colPos[1], 100 + w0 + 50);
    EXPECT_EQ(h.state.colPos[2], 100 + w0 + 50 + w1 + 50);
    EXPECT_EQ(h.state.colPos[3], 100 + w0 + 50 + w1 + 50 + w2 + 50);
    ASSERT_EQ(h.state.colPos.size(), 258u);

    // Rows go down from the top of the page: caption row first, every row one extent lower,
    // text top one pad below the row's top.
    const TDrawnText caption = h.Find("Name");
    EXPECT_EQ(caption.rect.left, 100 + kCharWidth);
    EXPECT_EQ(caption.rect.top, -kPad);
    EXPECT_EQ(h.Find("Short").rect.top, -kExtent - kPad);
    EXPECT_EQ(h.Find("The longest cell").rect.top, -2 * kExtent - kPad);
    EXPECT_EQ(caption.rect.bottom, caption.rect.top - kLineHeight);

    // Alignment: left after "a", right before "a" from the cell's right edge, centred in the cell.
    const int left1 = h.state.colPos[1], right1 = h.state.colPos[2], right2 = h.state.colPos[3];
    EXPECT_EQ(h.Find("x").rect.left, left1 + (right1 - left1 - kCharWidth) / 2);
    EXPECT_EQ(h.Find("yy").rect.left, left1 + (right1 - left1 - 2 * kCharWidth) / 2);
    EXPECT_EQ(h.Find("1234567").rect.right, right2 - kCharWidth);
    EXPECT_EQ(h.Find("12").rect.right, right2 - kCharWidth);
    EXPECT_EQ(h.pageCount, 1);
}

TEST(PrintLayout, RowHeightIsTheTallestCellAndMarkupIsMeasuredInDevicePixels)
{
    for (int dpi : { 254, 600 }) {
        TLayoutHarness h(QSize(2000, 2800), dpi);
        h.source.captions = { "A", "B" };
        // Two lines of markup make the row twice as high; the row after it is plain.
        h.source.rows = { { "one", "<B>first</B><BR>second" }, { "two", "three" } };
        h.Print();
        const int tall = 2 * kLineHeight;
        const int firstExtent = tall + tall / 8 + 2 * kPad;
        EXPECT_NEAR(h.Find("two").rect.top, -kExtent - firstExtent - kPad, 1) << dpi;
        // The markup's width (its widest line, "second") counts like a plain text's.
        EXPECT_NEAR(h.state.colWidths[1], 6 * kCharWidth + kCharWidth, 1) << dpi;
        // Markup is drawn in device pixels (y down), inside its cell.
        const double pixelsPerUnit = dpi / 254.0;
        const TDrawnText first = h.Find("first");
        // Like plain text it keeps the width of "a" from the cell's left edge and a pad from its top.
        EXPECT_NEAR(first.rect.left, (h.state.colPos[1] + kCharWidth) * pixelsPerUnit, 2) << dpi;
        EXPECT_NEAR(first.rect.top, (kExtent + kPad) * pixelsPerUnit, 1) << dpi;
        EXPECT_NEAR(h.Find("second").rect.top, (kExtent + kPad + kLineHeight) * pixelsPerUnit, 1) << dpi;
    }
}

TEST(PrintLayout, MarkupWrapsAtTheSamePhysicalWidthOnEveryPrinter)
{
    // 12 words of 7 characters: 950 units, wider than 1000 device pixels of a fine printer,
    // narrower than 1000 screen pixels (2646 units).
    QString words;
    for (int i = 0; i < 12; ++i)
        words += QStringLiteral("<B>w</B>ord%1 ").arg(i, 3, 10, QLatin1Char('0'));
    for (int dpi : { 254, 600, 1200 }) {
        TLayoutHarness h(QSize(4000, 2800), dpi);
        h.source.captions = { "A" };
        h.source.rows = { { words.trimmed() }, { "next" } };
        h.Print();
        // (The simple metrics round to whole device pixels per character: 2 % off at 600 dpi.)
        EXPECT_NEAR(h.state.colWidths[0], (12 * 7 + 11) * kCharWidth + kCharWidth, 20) << dpi;
        EXPECT_EQ(h.Find("next").rect.top, -2 * kExtent - kPad) << dpi; // one line high
    }
}

TEST(PrintLayout, FontHeightsAreTenthsOfAMillimetreFromPoints)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(1, 1);
    TFont cells;
    cells.SetSize(10); // 10 pt = 35.28 units
    h.settings.SetFont(cells);
    TFont header;
    header.SetSize(18); // 63.5 units: ties go to the even neighbour
    h.settings.SetHeaderFont(header);
    TFont footer;
    footer.SetSize(8); // 28.2 units
    h.settings.SetFooterFont(footer);
    h.settings.SetTitle(ppTopLeft);
    h.settings.SetTitleText("T");
    h.settings.SetPageNr(ppBottomLeft);
    h.source.captions << "<U>markup</U>"; // markup is drawn in device pixels: 1 a unit here
    h.Print();
    EXPECT_EQ(h.Find("r0c0").fontHeight, 35);
    EXPECT_EQ(h.Find("markup").fontHeight, 35);
    EXPECT_EQ(h.Find("T ").fontHeight, 64);
    EXPECT_EQ(h.Find(" 1  ").fontHeight, 28);
}

TEST(PrintLayout, SlotsTextsAndPlaces)
{
    struct Row {
        const char* name;
        TPrintPosition position;
        QString text; // as composed
        bool top;
    };
    const Row table[] = {
        { "top left", ppTopLeft, "T ", true },
        { "top right", ppTopRight, " T", true },
        { "top centre", ppTopCenter, " T", true },
        { "bottom left", ppBottomLeft, "T ", false },
        { "bottom right", ppBottomRight, " T", false },
        { "bottom centre", ppBottomCenter, " T", false },
    };
    const int pageW = 2000, pageH = 2800;
    for (const Row& row : table) {
        TLayoutHarness h(QSize(pageW, pageH));
        h.source = TTableSource::Grid(1, 1);
        h.settings.SetTitle(row.position);
        h.settings.SetTitleText("T");
        h.settings.SetLeftSize(70);
        h.settings.SetRightSize(110);
        h.settings.SetHeaderSize(90);
        h.settings.SetFooterSize(130);
        h.Print();
        const TDrawnText t = h.Find(row.text);
        ASSERT_FALSE(t.text.isEmpty()) << row.name;
        const int width = 2 * kCharWidth;
        int x = 70;
        if (row.position == ppTopRight || row.position == ppBottomRight)
            x = pageW - width - 20 - 110;
        else if (row.position == ppTopCenter || row.position == ppBottomCenter)
            x = (pageW - width) / 2;
        EXPECT_EQ(t.rect.left, x) << row.name;
        EXPECT_EQ(t.rect.top, row.top ? -90 : -pageH + kLineHeight + kPad + 130) << row.name;
        // A top slot moves the table down by its line and a pad; a bottom one does not.
        const int topMargin = 90 + (row.top ? kPad + kLineHeight : 0);
        EXPECT_EQ(h.Find("H0").rect.top, -topMargin - kPad) << row.name;
    }
}

TEST(PrintLayout, SlotsCollectTimeDatePageAndTitleInOrder)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(1, 1);
    h.settings.SetTime(ppTopLeft);
    h.settings.SetDate(ppTopRight);
    h.settings.SetPageNr(ppBottomCenter);
    h.settings.SetPagePrefix("page");
    h.settings.SetTitle(ppTopLeft);
    h.settings.SetTitleText("Cars");
    h.Print();
    EXPECT_EQ(h.Find("Cars 07:08 ").page, 0);
    EXPECT_FALSE(h.Find("Cars 07:08 ").text.isEmpty());
    EXPECT_FALSE(h.Find(" 05/03/2024").text.isEmpty());
    EXPECT_FALSE(h.Find(" page 1 ").text.isEmpty());
}

TEST(PrintLayout, ClockIsReadForEveryPage)
{
    TLayoutHarness h(QSize(2000, 400));
    h.source = TTableSource::Grid(1, 20);
    h.settings.SetTime(ppTopLeft);
    TPrintLayout layout(h.source, h.settings, h.state);
    int minute = 0;
    layout.Clock = [&minute] { return QDateTime(QDate(2024, 1, 1), QTime(10, minute++)); };
    h.Canvas().SetMapMode(mmLoMetric);
    layout.LayoutPages(h.Canvas(), TPrintLayout::lmPrint, &h);
    ASSERT_GE(layout.PageCount(), 3);
    EXPECT_EQ(h.TextsOn(0).front().text, "10:00 ");
    EXPECT_EQ(h.TextsOn(1).front().text, "10:01 ");
    EXPECT_EQ(h.TextsOn(2).front().text, "10:02 ");
}

TEST(PrintLayout, RowsBreakToTheNextPageWhenTheNextRowWouldEnterTheBottomMargin)
{
    // Header row and one data row take 2 extents; the next row's raw height must end at or
    // above the bottom margin (pad + one line without bottom slots).
    const int needed = 2 * kExtent + kLineHeight + kPad + kLineHeight;
    for (int pageH : { needed, needed - 1 }) {
        TLayoutHarness h(QSize(2000, pageH));
        h.source = TTableSource::Grid(1, 3);
        h.Print();
        const int page = pageH == needed ? 0 : 1;
        EXPECT_EQ(h.Find("r1c0").page, page) << pageH;
        // The row's allowance (an eighth and two pads) may reach into the margin.
        if (page == 0) {
            EXPECT_LT(h.Find("r1c0").rect.top - (kExtent - kPad), -pageH + kLineHeight + kPad);
        }
    }
}

TEST(PrintLayout, ContinuationPagesRepeatTheCaptionRowOnlyWhenAsked)
{
    for (bool repeat : { false, true }) {
        TLayoutHarness h(QSize(2000, 5 * kExtent + 2 * (kLineHeight + kPad)));
        h.source = TTableSource::Grid(2, 12);
        h.settings.SetRepeatHeaders(repeat);
        h.Print();
        ASSERT_GE(h.pageCount, 3) << repeat;
        EXPECT_EQ(h.TextsOn(0).front().text, "H0");
        for (int page = 1; page < h.pageCount; ++page) {
            const std::vector<TDrawnText> texts = h.TextsOn(page);
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.front().text.startsWith('H'), repeat) << page;
            EXPECT_EQ(texts.front().rect.top, -kPad) << page;
        }
        // Every data row is printed exactly once.
        for (int r = 0; r < 12; ++r)
            EXPECT_EQ((h.source.cellReads[{ 0, r }]), 2) << r; // measured once, printed once
    }
}

TEST(PrintLayout, NewPageEventFollowsEveryRowAndCanBreakAfterTheCaptionRow)
{
    TLayoutHarness h(QSize(2000, 400));
    h.source = TTableSource::Grid(1, 8);
    h.settings.SetRepeatHeaders(true);
    h.source.onNewPage = [](int row, bool& newPage) { newPage = newPage || row == 0; };
    h.Print();
    // Called after each printed row with the index of the next row, never after a repeated
    // caption row.
    std::vector<int> expected;
    for (int r = 0; r <= 8; ++r)
        expected.push_back(r);
    EXPECT_EQ(h.source.newPageRows, expected);
    // The caption row stands alone on the first page; the next page starts with row 0, which
    // is not a continuation and gets no repeated caption row.
    ASSERT_EQ(h.TextsOn(0).size(), 1u);
    EXPECT_EQ(h.TextsOn(0)[0].text, "H0");
    EXPECT_EQ(h.TextsOn(1).front().text, "r0c0");
    EXPECT_EQ(h.TextsOn(1).front().rect.top, -kPad);
}

TEST(PrintLayout, ANewPageAskedForAfterTheLastRowAddsNoEmptyPage)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(2, 3);
    h.source.onNewPage = [](int, bool& newPage) { newPage = true; };
    h.Print();
    EXPECT_EQ(h.pageCount, 4); // caption row, then one row per page
    EXPECT_EQ(h.pageStarts.size(), 4u);
    EXPECT_EQ(h.source.pageEvents, (std::vector<int> { 0, 1, 2, 3 }));
    EXPECT_EQ(h.TextsOn(3).size(), 2u);
}

TEST(PrintLayout, EmptyListPrintsCaptionRowAndSlotsAndAListWithoutColumnsNothing)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(3, 0);
    h.settings.SetPageNr(ppBottomCenter);
    h.settings.SetBorders(pbSingle);
    h.Print();
    EXPECT_EQ(h.pageCount, 1);
    EXPECT_FALSE(h.Find("H2").text.isEmpty());
    EXPECT_FALSE(h.Find("  1 ").text.isEmpty());
    EXPECT_FALSE(h.Lines(0).empty());

    for (TFitToPage fit : { fpNever, fpAlways, fpCustom }) {
        TLayoutHarness none;
        none.settings.SetPageNr(ppBottomCenter);
        none.settings.SetFitToPage(fit);
        none.source.onFit = [](double&, bool&) { FAIL() << "no factor to confirm"; };
        none.Print();
        EXPECT_TRUE(none.records.empty()) << fit;
        EXPECT_EQ(none.pageCount, 1);
        EXPECT_EQ(none.source.pageEvents, std::vector<int> { 0 });
    }
}

TEST(PrintLayout, GridLinesFollowTheBorderSetting)
{
    struct Row {
        TPrintBorders borders;
        bool rowLines;
        bool columnLines;
    };
    const Row table[] = { { pbNoborder, false, false }, { pbSingle, true, true }, { pbDouble, true, true },
        { pbVertical, false, true }, { pbHorizontal, true, false } };
    for (const Row& row : table) {
        TLayoutHarness h;
        h.source = TTableSource::Grid(2, 2);
        h.settings.SetBorders(row.borders);
        h.settings.SetBorderStyle(psDot);
        int penWidth = -1;
        TPenStyle penStyle = psSolid;
        h.source.onPage = [&](TCanvas& c, int) {
            penWidth = c.Pen().Width();
            penStyle = c.Pen().Style();
        };
        h.Print();
        EXPECT_EQ(penWidth, row.borders == pbDouble ? 10 : 2) << row.borders;
        EXPECT_EQ(penStyle, psDot);
        int horizontal = 0, vertical = 0;
        const int right = h.state.colPos[2];
        const int bottom = -3 * kExtent + kPad / 2;
        for (const TCanvasRecord& l : h.Lines(0)) {
            if (l.rect.top == l.rect.bottom) {
                ++horizontal;
                EXPECT_EQ(l.rect.left, 0);
                EXPECT_EQ(l.rect.right, right);
            } else {
                ++vertical;
                EXPECT_EQ(l.rect.top, 0); // from the top margin
                EXPECT_EQ(l.rect.bottom, bottom);
            }
            EXPECT_EQ(l.color, clBlack);
        }
        // A line above each of the three rows and a closing one; a line at every column edge.
        EXPECT_EQ(horizontal, row.rowLines ? 4 : 0) << row.borders;
        EXPECT_EQ(vertical, row.columnLines ? 3 : 0) << row.borders;
    }
}

TEST(PrintLayout, CheckBoxesOnlyInColumnZeroOfRealRows)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(2, 3);
    h.source.checkBoxes = true;
    h.source.checked = { true, false, true };
    h.Print();
    // A square as high as a line of the print font, a pad in from the cell's edge.
    const int side = kLineHeight;
    const int w = kPad + side;
    const std::vector<TCanvasRecord> boxes = h.CheckBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    for (int r = 0; r < 3; ++r) {
        const int yt = -(r + 1) * kExtent - kPad;
        EXPECT_EQ(boxes[size_t(r)].rect, (TRect { kPad, yt, kPad + side, yt - side })) << r;
        EXPECT_EQ(boxes[size_t(r)].checked, r != 1) << r;
    }
    // The text moves right by the box; the caption row has no box and does not move.
    EXPECT_EQ(h.Find("r0c0").rect.left, w + kCharWidth);
    EXPECT_EQ(h.Find("H0").rect.left, kCharWidth);
    EXPECT_EQ(h.Find("r0c1").rect.left, h.state.colPos[1] + kCharWidth);
    // Every column is widened by the box.
    EXPECT_EQ(h.state.colWidths[1], 4 * kCharWidth + w + kCharWidth);
}

TEST(PrintLayout, CheckBoxIsALineHighOnEveryPrinterResolution)
{
    for (int dpi : { 254, 300, 1200 }) {
        TLayoutHarness h(QSize(2000, 2800), dpi);
        h.source = TTableSource::Grid(1, 2);
        h.source.checkBoxes = true;
        h.Print();
        ASSERT_EQ(h.CheckBoxes().size(), 2u);
        const TRect box = h.CheckBoxes()[0].rect;
        EXPECT_NEAR(box.Width(), kLineHeight, 1) << dpi;
        // It stays inside its row: the next row's top is one extent below this row's top.
        EXPECT_GT(box.bottom, -2 * kExtent) << dpi;
    }
}

TEST(PrintLayout, CellEventColoursAndSizesEveryCellMeasuredAndPrinted)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(2, 2);
    h.source.rows[1][1] = "<I>markup</I>";
    h.source.onProperties = [](int row, int sub, TBrush& brush, TFont& font, const QString&) {
        if (row == 0 && sub == 0) {
            font.SetColor(clRed);
            brush.SetColor(clYellow);
            font.SetSize(20); // 70.6 units
        }
    };
    h.Print();
    // Plain cells are reported when measured and when printed; markup only when printed.
    std::map<std::pair<int, int>, int> calls;
    for (const auto& p : h.source.properties)
        ++calls[p];
    EXPECT_EQ((calls[{ -1, -1 }]), 2);
    EXPECT_EQ((calls[{ -1, 0 }]), 2);
    EXPECT_EQ((calls[{ 0, 0 }]), 2);
    EXPECT_EQ((calls[{ 1, 0 }]), 1);
    const TDrawnText coloured = h.Find("r0c1");
    EXPECT_EQ(coloured.color, clRed);
    EXPECT_EQ(coloured.background, clYellow);
    EXPECT_EQ(coloured.fontHeight, 71);
    const TDrawnText plain = h.Find("r0c0");
    EXPECT_NE(plain.color, clRed);
    EXPECT_NE(plain.background, clYellow);
}

TEST(PrintLayout, RichTextCellsAreMeasuredByTheirPlainTextAndRenderedInTheirCell)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(2, 2);
    h.source.rows[1][1] = "{\\rtf1 rich}";
    h.source.rows[0][0] = "a {\\b} is not rich"; // only a leading "{\" makes rich text
    h.Print();
    EXPECT_EQ(h.source.richPlainReads, (std::vector<std::pair<int, int>> { { 1, 0 } }));
    EXPECT_EQ(h.source.richDraws, (std::vector<std::pair<int, int>> { { 1, 0 } }));
    ASSERT_EQ(h.source.richRects.size(), 1u);
    EXPECT_EQ(h.source.richRects[0],
        (TRect { h.state.colPos[1] + kCharWidth, -2 * kExtent - kPad, h.state.colPos[2], -3 * kExtent }));
    EXPECT_FALSE(h.Find("a {\\b} is not rich").text.isEmpty());
    // "plain1" (6 characters) is wider than "r0c1", so it sets the column's width.
    EXPECT_EQ(h.state.colWidths[1], 6 * kCharWidth + kCharWidth);
}

TEST(PrintLayout, PageEventOncePerPageWithItsPageNumber)
{
    TLayoutHarness h(QSize(2000, 500));
    h.source = TTableSource::Grid(2, 20);
    h.Print();
    ASSERT_GT(h.pageCount, 2);
    std::vector<int> expected;
    for (int p = 0; p < h.pageCount; ++p)
        expected.push_back(p);
    EXPECT_EQ(h.source.pageEvents, expected);
    EXPECT_EQ(int(h.pageStarts.size()), h.pageCount);
    for (const auto& size : h.source.pageSizes)
        EXPECT_EQ(size, (std::pair<int, int> { 2000, -500 }));
}

TEST(PrintLayout, PageEventRunsBeforeTheTableIsDrawnOnItsPage)
{
    TLayoutHarness h(QSize(2000, 500));
    h.source = TTableSource::Grid(1, 20);
    h.source.onPage = [](TCanvas& c, int page) { c.TextOut(0, 0, QStringLiteral("event %1").arg(page)); };
    h.Print();
    for (int page = 0; page < h.pageCount; ++page)
        EXPECT_EQ(h.TextsOn(page).front().text, QStringLiteral("event %1").arg(page));
}

TEST(PrintLayout, AnErrorInAnEventReachesTheCallerWithTheCanvasAsItWas)
{
    TLayoutHarness h(QSize(2000, 500));
    h.source = TTableSource::Grid(1, 40);
    h.source.onPage = [](TCanvas&, int page) {
        if (page == 1)
            throw std::runtime_error("handler failed");
    };
    TCanvas& c = h.Canvas();
    c.Font().SetName("Canvas font");
    c.Font().SetHeight(-17);
    c.Brush().SetColor(clAqua);
    c.Pen().SetWidth(7);
    c.SetBkMode(bkTransparent);
    EXPECT_THROW(h.Print(), std::runtime_error);
    EXPECT_EQ(c.Font().Name(), "Canvas font");
    EXPECT_EQ(c.Font().Height(), -17);
    EXPECT_EQ(c.Brush().Color(), clAqua);
    EXPECT_EQ(c.Pen().Width(), 7);
    EXPECT_EQ(c.BkMode(), bkTransparent);
    EXPECT_EQ(c.MapMode(), mmLoMetric);
    EXPECT_EQ(h.source.pageEvents, (std::vector<int> { 0, 1 }));
}

TEST(PrintLayout, EveryCellIsMeasuredOnceAndPrintedOnce)
{
    TLayoutHarness h(QSize(1200, 2800));
    h.source = TTableSource::Grid(30, 300); // several bands, several pages per band
    h.Print();
    ASSERT_GT(h.pageCount, 10);
    for (int r = -1; r < 300; ++r) {
        for (int c = 0; c < 30; ++c) {
            const int reads = h.source.cellReads[std::pair { c, r }];
            // The caption row is printed again on the first page of every band only.
            ASSERT_EQ(reads, 2) << c << "," << r;
        }
    }
}

TEST(PrintLayout, PreviewShowsTheFirstPageOfTheFirstBandInItsRectangle)
{
    TLayoutHarness h(QSize(100, 100), 96); // the canvas of a 96-dpi screen
    h.source = TTableSource::Grid(20, 100);
    h.settings.SetPageNr(ppBottomCenter);
    h.Preview(TRect { 0, 0, 300, 200 });
    EXPECT_EQ(h.state.previewRect, (TRect { 0, 0, 300, 200 }));
    const int pageW = 794; // 300 pixels at 96 dpi in 0.1 mm, rounded
    const int pageB = -529;
    EXPECT_EQ(h.source.pageSizes, (std::vector<std::pair<int, int>> { { pageW, pageB } }));
    EXPECT_EQ(h.pageCount, 1);
    EXPECT_EQ(h.source.pageEvents, std::vector<int> { 0 });
    EXPECT_FALSE(h.Find("  1 ").text.isEmpty());
    // Only the rows that fit and only the first band's columns.
    int lastRow = -1, lastCol = -1;
    for (const TDrawnText& t : h.Texts()) {
        int r, c;
        if (std::sscanf(t.text.toLatin1().constData(), "r%dc%d", &r, &c) == 2) {
            lastRow = std::max(lastRow, r);
            lastCol = std::max(lastCol, c);
            EXPECT_GE(t.rect.bottom, pageB);
            EXPECT_LE(t.rect.right, pageW);
        }
    }
    EXPECT_GE(lastRow, 3);
    EXPECT_LT(lastRow, 20);
    EXPECT_GE(lastCol, 3);
    EXPECT_LT(lastCol, 19);
}

TEST(PrintLayout, OverflowingTextIsClippedToItsCell)
{
    // A real image at 254 dpi: one pixel per layout unit.
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    TTableSource source = TTableSource::Grid(1, 1);
    source.rows[0][0] = "A text far wider than its fixed column";
    TPrintsettings settings;
    settings.SetUseFixedWidth(true);
    settings.SetFixedWidth(150);
    TPrintState state;
    {
        TCanvas canvas(&image);
        canvas.SetMapMode(mmLoMetric);
        TPrintLayout(source, settings, state).LayoutPages(canvas, TPrintLayout::lmPrint, nullptr);
    }
    orvtest::SaveForInspection(image, "print-clip.png");
    EXPECT_GT(orvtest::CountPixels(image, QRect(0, 0, 150, 400), Qt::black, 160), 0);
    EXPECT_EQ(orvtest::CountPixels(image, QRect(150, 0, 450, 400), Qt::black, 160), 0);
}

} // namespace
