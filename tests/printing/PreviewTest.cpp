// The preview window and PreviewPaint: the first page laid out again on every paint, with the
// window's client area as the page.
#include "listview/TOrvListView.h"
#include "printing/TPreview.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int c = 0; c < 8; ++c)
            list.Columns().Add().SetCaption(QStringLiteral("Caption%1").arg(c));
        for (int r = 0; r < 200; ++r) {
            TListItem& item = list.Items().Add();
            item.SetCaption(QStringLiteral("row%1").arg(r));
            for (int c = 1; c < 8; ++c)
                item.SubItems() << QStringLiteral("cell%1.%2").arg(r).arg(c);
        }
        list.PrintSettings().SetPageNr(ppBottomCenter);
        list.OnPrintPage = [this](TOrvListView&, TCanvas&, int page, int width, int bottom) {
            pages.push_back(page);
            sizes.push_back({ width, bottom });
        };
    }
    // Columns of the first band and rows of the first page the last layout placed.
    int LastColumn() const
    {
        int last = 0;
        for (int c = 1; c <= 8; ++c)
            if (list.PrintColPos()[size_t(c)] > 0)
                last = c - 1;
        return last;
    }

    TOrvListView list;
    std::vector<int> pages;
    std::vector<std::pair<int, int>> sizes;
};

TEST_F(PreviewTest, WindowIsAWhiteResizableBoxCalledPreview)
{
    QWidget owner;
    TPreview preview(&owner, list);
    EXPECT_EQ(preview.windowTitle(), "Preview");
    EXPECT_EQ(preview.size(), QSize(685, 443));
    EXPECT_EQ(preview.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(preview.parentWidget(), &owner);
    EXPECT_TRUE(preview.isSizeGripEnabled());
    EXPECT_NE(preview.minimumSize(), preview.maximumSize());
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    ASSERT_NE(preview.PaintBox1(), nullptr);
    EXPECT_EQ(preview.PaintBox1()->geometry(), QRect(0, 0, 685, 443));
}

TEST_F(PreviewTest, EveryPaintLaysOutThePageAgainForTheCurrentSize)
{
    TPreview preview(nullptr, list);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    pages.clear();
    sizes.clear();
    preview.PaintBox1()->repaint();
    ASSERT_EQ(pages, std::vector<int> { 0 });
    EXPECT_EQ(list.PreviewRect(), (TRect { 0, 0, 685, 443 }));
    const int wideColumns = LastColumn();
    const int dpi = preview.PaintBox1()->logicalDpiX();
    EXPECT_NEAR(sizes[0].first, 685 * 254.0 / dpi, 1);

    // Narrower: fewer columns; the others are shown nowhere.
    preview.resize(300, 443);
    QApplication::processEvents();
    preview.PaintBox1()->repaint();
    EXPECT_EQ(list.PreviewRect(), (TRect { 0, 0, 300, 443 }));
    EXPECT_LT(LastColumn(), wideColumns);
    EXPECT_LT(sizes.back().first, sizes[0].first);

    // Shorter: the page ends sooner.
    preview.resize(685, 150);
    QApplication::processEvents();
    preview.PaintBox1()->repaint();
    EXPECT_GT(sizes.back().second, sizes[0].second);
    EXPECT_EQ(pages.back(), 0);
}

TEST_F(PreviewTest, PreviewPaintDrawsOnlyTheFirstPageWithPageNumberOne)
{
    // Rows shown: those with text in the image; a 200-row list needs many pages.
    QImage image(500, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    int rowsOnPage = 0;
    list.OnPrintNewPage = [&](TOrvListView&, int row, bool&) { rowsOnPage = row; };
    {
        QPainter painter(&image);
        TCanvas canvas;
        canvas.Attach(&painter);
        list.PreviewPaint(canvas, TRect { 0, 0, 500, 400 });
        canvas.Detach();
    }
    orvtest::SaveForInspection(image, "preview-first-page.png");
    EXPECT_EQ(pages, std::vector<int> { 0 });
    EXPECT_GT(rowsOnPage, 5);
    EXPECT_LT(rowsOnPage, 60);
    // Something was drawn near the top (the caption row) and near the bottom (the page number).
    EXPECT_GT(orvtest::CountPixels(image, QRect(0, 0, 500, 40), Qt::black, 160), 0);
    EXPECT_GT(orvtest::CountPixels(image, QRect(200, 360, 100, 40), Qt::black, 160), 0);
}

TEST_F(PreviewTest, FittedColumnsFollowTheWindowsWidth)
{
    list.PrintSettings().SetFitToPage(fpAlways);
    TPreview preview(nullptr, list);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    preview.PaintBox1()->repaint();
    const int wide = list.PrintColWidths()[0];
    EXPECT_EQ(LastColumn(), 7);
    preview.resize(400, 443);
    QApplication::processEvents();
    preview.PaintBox1()->repaint();
    EXPECT_LT(list.PrintColWidths()[0], wide);
    EXPECT_EQ(LastColumn(), 7);
}

TEST_F(PreviewTest, AFailingLayoutClosesTheWindowAndReachesTheCaller)
{
    list.OnPrintPage
        = [](TOrvListView&, TCanvas&, int, int, int) { throw std::runtime_error("broken handler"); };
    TPreview preview(nullptr, list);
    bool closedByItself = true;
    QTimer::singleShot(3000, &preview, [&] {
        closedByItself = false;
        preview.reject();
    });
    try {
        preview.ShowModal();
        FAIL() << "the error must reach the caller";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "broken handler");
    }
    EXPECT_TRUE(closedByItself);
    EXPECT_FALSE(preview.isVisible());
}

} // namespace
