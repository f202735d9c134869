// The print layout's column widths: fitting to the page, fixed sizes, and column bands that
// continue on further pages.
#include "PrintTestKit.h"

#include <gtest/gtest.h>

using namespace printtest;

namespace {

constexpr int kExtent = kLineHeight + kLineHeight / 8 + 2 * kPad;

// Three columns whose cells are `chars` characters wide: each column is chars + 1 "a" wide.
TTableSource Columns3(int chars)
{
    TTableSource s;
    s.captions = { "A", "B", "C" };
    s.rows = { { QString(chars, 'x'), QString(chars, 'y'), QString(chars, 'z') } };
    return s;
}

TEST(PrintFit, FitModesScaleTheColumnWidthsOnlyTheWayTheyAllow)
{
    // On a 2000-wide page three columns have 2000 - 3 x 20 = 1940 for their contents.
    // Narrow: 3 x 50 = 150, factor 12.93; wide: 3 x 1010 = 3030, factor 0.64. Both give 646.
    struct Row {
        TFitToPage fit;
        int narrow;
        int wide;
    };
    const Row table[] = {
        { fpNever, 50, 1010 }, { fpGrow, 646, 1010 }, { fpShrink, 50, 646 }, { fpAlways, 646, 646 },
        { fpCustom, 646, 646 }, // an event that leaves the factor as it is
    };
    for (const Row& row : table) {
        for (int chars : { 4, 100 }) {
            TLayoutHarness h;
            h.source = Columns3(chars);
            h.settings.SetFitToPage(row.fit);
            h.Print();
            const int expected = chars == 4 ? row.narrow : row.wide;
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(h.state.colWidths[size_t(c)], expected) << row.fit << " " << chars << " " << c;
            if (expected == 646) {
                EXPECT_LE(h.state.colPos[3], 2000);
            }
            // Fonts and row heights stay: only widths scale.
            EXPECT_EQ(h.Find("A").rect.Height(), -kLineHeight);
            EXPECT_EQ(h.source.fitFactors.size(), row.fit == fpCustom ? 1u : 0u);
        }
    }
}

TEST(PrintFit, CustomFitEventSeesTheFactorAndMayChangeOrRefuseIt)
{
    TLayoutHarness refused;
    refused.source = Columns3(100);
    refused.settings.SetFitToPage(fpCustom);
    refused.source.onFit = [](double&, bool& allow) { allow = false; };
    refused.Print();
    ASSERT_EQ(refused.source.fitFactors.size(), 1u);
    EXPECT_NEAR(refused.source.fitFactors[0], 1940.0 / 3030.0, 1e-12);
    EXPECT_EQ(refused.state.colWidths[0], 1010);

    TLayoutHarness changed;
    changed.source = Columns3(100);
    changed.settings.SetFitToPage(fpCustom);
    changed.source.onFit = [](double& factor, bool&) { factor = 0.25; };
    changed.Print();
    EXPECT_EQ(changed.state.colWidths[0], 252); // 1010 x 0.25, truncated

    // A factor of exactly 1 is not offered: 3 x 50 + 3 x 20 fills a 210-wide page.
    TLayoutHarness exact(QSize(210, 2800));
    exact.source = Columns3(4);
    exact.settings.SetFitToPage(fpCustom);
    exact.Print();
    EXPECT_TRUE(exact.source.fitFactors.empty());
    EXPECT_EQ(exact.state.colWidths[0], 50);

    // Nonsense factors give no negative or overflowing widths.
    for (double factor : { -3.0, 1e300, std::nan("") }) {
        TLayoutHarness odd;
        odd.source = Columns3(4);
        odd.settings.SetFitToPage(fpCustom);
        odd.source.onFit = [factor](double& f, bool&) { f = factor; };
        odd.Print();
        EXPECT_GE(odd.state.colWidths[0], 0) << factor;
        EXPECT_LE(odd.state.colWidths[0], 1 << 28) << factor;
    }
}

TEST(PrintFit, ColumnWidthEventRunsAfterFittingForEveryColumnInOrder)
{
    TLayoutHarness h;
    h.source = Columns3(100);
    h.settings.SetFitToPage(fpAlways);
    h.source.onWidth = [](int col, int& width) {
        if (col == 1)
            width = 333;
        if (col == 2)
            width = -5; // no negative widths
    };
    h.Print();
    EXPECT_EQ(
        h.source.widthEvents, (std::vector<std::pair<int, int>> { { 0, 646 }, { 1, 646 }, { 2, 646 } }));
    EXPECT_EQ(h.state.colWidths[1], 333);
    EXPECT_EQ(h.state.colWidths[2], 0);
    EXPECT_EQ(h.state.colPos[2], 646 + 20 + 333 + 20);
}

TEST(PrintFit, NothingToScaleLeavesTheWidthsAlone)
{
    // Zero widths: fixed width 0.
    TLayoutHarness zero;
    zero.source = Columns3(4);
    zero.settings.SetUseFixedWidth(true);
    zero.settings.SetFixedWidth(0);
    zero.settings.SetFitToPage(fpCustom);
    zero.Print();
    EXPECT_TRUE(zero.source.fitFactors.empty());
    EXPECT_EQ(zero.state.colWidths[0], 0);
    EXPECT_EQ(zero.pageCount, 1);

    // Spacing alone wider than the page: contents get no room, and every column still prints.
    TLayoutHarness spaced(QSize(100, 2800));
    spaced.source = Columns3(4);
    spaced.settings.SetColumnSpacing(200);
    spaced.settings.SetFitToPage(fpAlways);
    spaced.Print();
    EXPECT_EQ(spaced.state.colWidths[0], 0);
    EXPECT_EQ(spaced.pageCount, 3);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ((spaced.source.cellReads[{ c, 0 }]), 2) << c;
}

TEST(PrintFit, FixedWidthAndHeightReplaceMeasuring)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(3, 3);
    h.settings.SetUseFixedWidth(true);
    h.settings.SetFixedWidth(300);
    h.settings.SetColumnSpacing(77); // no spacing at all with fixed widths
    h.settings.SetUseFixedHeight(true);
    h.settings.SetFixedHeight(80);
    h.Print();
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(h.state.colWidths[size_t(c)], 300);
        EXPECT_EQ(h.state.colPos[size_t(c)], 300 * c);
    }
    const int extent = 80 + 80 / 8 + 2 * kPad;
    EXPECT_EQ(h.Find("H1").rect.top, -kPad);
    EXPECT_EQ(h.Find("r0c1").rect.top, -extent - kPad);
    EXPECT_EQ(h.Find("r2c2").rect.top, -3 * extent - kPad);
    // Nothing is measured: every cell reaches the event once, when printed.
    EXPECT_EQ(h.source.properties.size(), 4u * 3u);

    TLayoutHarness heightOnly;
    heightOnly.source = TTableSource::Grid(2, 2);
    heightOnly.settings.SetUseFixedHeight(true);
    heightOnly.settings.SetFixedHeight(80);
    heightOnly.Print();
    EXPECT_EQ(heightOnly.state.colWidths[0], 5 * kCharWidth); // measured
    EXPECT_EQ(heightOnly.source.properties.size(), 2u * 3u * 2u);
}

TEST(PrintFit, WideTablesPrintInBandsEachStartingAPageWithItsCaptionRow)
{
    // Columns 50 wide plus 20 spacing: two fit on a 160-wide page, three bands for six columns.
    TLayoutHarness h(QSize(160, 2800));
    h.source = TTableSource::Grid(6, 5);
    h.settings.SetPageNr(ppBottomCenter);
    h.settings.SetPagePrefix("page");
    h.Print();
    ASSERT_EQ(h.pageCount, 3);
    EXPECT_EQ(h.source.pageEvents, (std::vector<int> { 0, 1, 2 }));
    for (int band = 0; band < 3; ++band) {
        // The first table text of the page (the slots come before the table).
        TDrawnText first;
        for (const TDrawnText& t : h.TextsOn(band))
            if (!t.text.startsWith(' ') && first.text.isEmpty())
                first = t;
        EXPECT_EQ(first.text, QStringLiteral("H%1").arg(2 * band));
        EXPECT_EQ(first.rect.left, kCharWidth); // every band starts at the left edge
        EXPECT_FALSE(h.Find(QStringLiteral(" page %1 ").arg(band + 1), band).text.isEmpty()) << band;
        EXPECT_FALSE(h.Find(QStringLiteral("r4c%1").arg(2 * band + 1), band).text.isEmpty());
    }
    // The state holds the last band's positions.
    EXPECT_EQ(h.state.colPos[4], 0);
    EXPECT_EQ(h.state.colPos[6], 140);
}

TEST(PrintFit, PageNumbersContinueAcrossBandsOfSeveralPages)
{
    TLayoutHarness h(QSize(160, 6 * kExtent + 2 * (kLineHeight + kPad)));
    h.source = TTableSource::Grid(4, 12);
    h.settings.SetPageNr(ppBottomLeft);
    h.Print();
    // Each band needs three pages (caption row + 12 rows, 5 rows a page).
    ASSERT_EQ(h.pageCount, 6);
    for (int page = 0; page < 6; ++page)
        EXPECT_FALSE(h.Find(QStringLiteral(" %1  ").arg(page + 1), page).text.isEmpty()) << page;
    EXPECT_EQ(h.Find("H2").page, 3);
    EXPECT_EQ(h.Find("r11c3").page, 5);
}

TEST(PrintFit, AColumnWiderThanThePageGetsABandOfItsOwn)
{
    TLayoutHarness h(QSize(500, 2800));
    h.source = TTableSource::Grid(4, 3);
    h.source.rows[1][1] = QString(80, 'w'); // 810 wide
    h.settings.SetRightSize(20);
    h.Print();
    ASSERT_EQ(h.pageCount, 3);
    EXPECT_EQ(h.Find("H0").page, 0);
    EXPECT_EQ(h.Find("H1").page, 1);
    EXPECT_EQ(h.Find("H2").page, 2);
    EXPECT_EQ(h.Find("H3").page, 2);
    for (int r = -1; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ((h.source.cellReads[{ c, r }]), 2) << c << "," << r;
}

TEST(PrintFit, BandWidthLimitIsThePageLessTheRightMargin)
{
    // Two columns of 70 with spacing: 140 fits in 160 - 20, not in 160 - 21.
    for (int right : { 20, 21 }) {
        TLayoutHarness h(QSize(160, 2800));
        h.source = TTableSource::Grid(2, 1);
        h.settings.SetRightSize(right);
        h.Print();
        EXPECT_EQ(h.pageCount, right == 20 ? 1 : 2) << right;
    }
}

TEST(PrintFit, CenteredBandsShareTheSpareWidthEvenly)
{
    for (bool centered : { false, true }) {
        TLayoutHarness h(QSize(161, 2800));
        h.source = TTableSource::Grid(2, 1);
        h.settings.SetCentered(centered);
        h.settings.SetLeftSize(7);
        h.Print();
        // Centred: from 0 plus half the spare width (161 - 140) div 2; otherwise from LeftSize.
        EXPECT_EQ(h.state.colPos[0], centered ? 10 : 7);
        EXPECT_EQ(h.Find("H0").rect.left, (centered ? 10 : 7) + kCharWidth);
    }
}

TEST(PrintFit, MoreThan256ColumnsAllPrint)
{
    TLayoutHarness h(QSize(30000, 2800));
    h.source = TTableSource::Grid(300, 2);
    h.Print();
    EXPECT_EQ(h.pageCount, 1);
    ASSERT_EQ(h.state.colWidths.size(), 300u);
    ASSERT_EQ(h.state.colPos.size(), 302u);
    for (int c = 0; c < 300; ++c)
        ASSERT_EQ(
            h.state.colPos[size_t(c) + 1] - h.state.colPos[size_t(c)], h.state.colWidths[size_t(c)] + 20)
            << c;
    EXPECT_EQ(h.state.colWidths[299], 6 * kCharWidth + kCharWidth);
    EXPECT_EQ(h.Find("r1c299").rect.left, h.state.colPos[299] + kCharWidth);
}

} // namespace
