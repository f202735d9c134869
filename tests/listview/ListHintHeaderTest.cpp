// Hints of the list - the cell hint for texts that do not fit (AutoHint, HTMLHint) and the
// scroll hint beside the thumb - and the header's track and right-click events.
#include "listview/TOrvListView.h"
#include "platform/TCanvas.h"
#include "platform/THeaderControl.h"
#include "platform/THintWindow.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QPoint Centre(const TRect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class ListHintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int c = 0; c < 3; ++c)
            list.Columns().Add().SetWidth(120);
        for (int r = 0; r < 100; ++r) {
            TListItem& item = list.Items().Add();
            item.SetCaption(QStringLiteral("row %1").arg(r));
            item.SubItems() << QStringLiteral("cell %1").arg(r) << QString();
        }
        list.resize(420, 240);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        list.Loaded();
        list.SetItemHeight(20);
        list.SetAutoHint(true);
    }
    // What the application would do when the mouse rests at `p`; true when a hint shows.
    bool Rest(QPoint p)
    {
        QHelpEvent help(QEvent::ToolTip, p, list.viewport()->mapToGlobal(p));
        QApplication::sendEvent(list.viewport(), &help);
        return list.HintWindow().Visible();
    }
    int Width(const QString& text, int size = 0)
    {
        TCanvas canvas;
        canvas.SetFont(list.Font());
        if (size > 0)
            canvas.Font().SetSize(size);
        return canvas.TextWidth(text);
    }
    TPoint Screen(int x, int y)
    {
        const QPoint p = list.viewport()->mapToGlobal(QPoint(x, y));
        return TPoint { p.x(), p.y() };
    }

    TOrvListView list;
};

TEST_F(ListHintTest, OnlyTextsThatDoNotFitByFourPixelsGetAHint)
{
    const QString text = QStringLiteral("a rather long cell text");
    list.SetCells(1, 3, text);
    const int w = Width(text);
    list.Columns()[1].SetWidth(w + 4); // fits with 4 pixels to spare: no hint
    EXPECT_FALSE(Rest(Centre(list.CellRect(3, 1))));
    list.Columns()[1].SetWidth(w + 3);
    ASSERT_TRUE(Rest(Centre(list.CellRect(3, 1))));
    EXPECT_EQ(list.HintWindow().Text(), text);
    const TRect cell = list.CellRect(3, 1);
    EXPECT_EQ((TPoint { list.HintWindow().ScreenRect().left, list.HintWindow().ScreenRect().top }),
        Screen(cell.left, cell.top));
    EXPECT_EQ(list.HintColumn(), 1);
    EXPECT_EQ(list.HintRow(), 3);

    // Moving within the cell keeps it; reaching another cell cancels it.
    QTest::mouseMove(list.viewport(), Centre(cell) + QPoint(3, 0));
    EXPECT_TRUE(list.HintWindow().Visible());
    QTest::mouseMove(list.viewport(), Centre(list.CellRect(4, 1)));
    EXPECT_FALSE(list.HintWindow().Visible());
    EXPECT_EQ(list.HintColumn(), -1);
    EXPECT_EQ(list.HintRow(), -1);

    // An empty cell leaves the ordinary hint; without AutoHint there is none of the list's own.
    EXPECT_FALSE(Rest(Centre(list.CellRect(3, 2))));
    list.setToolTip("ordinary");
    ASSERT_TRUE(Rest(Centre(list.CellRect(3, 2))));
    EXPECT_EQ(list.HintWindow().Text(), "ordinary");
    list.setToolTip(QString());
    list.SetAutoHint(false);
    EXPECT_FALSE(Rest(Centre(list.CellRect(3, 1))));
}

TEST_F(ListHintTest, TheCellFontDecidesAndTheCaptionHintStartsAtTheCell)
{
    const QString text = QStringLiteral("measured text");
    list.SetCells(1, 5, text);
    list.Columns()[1].SetWidth(Width(text) + 10);
    EXPECT_FALSE(Rest(Centre(list.CellRect(5, 1))));
    std::vector<std::pair<int, int>> asked;
    list.OnDrawItemProp
        = [&](TOrvListView&, int row, int sub, TOwnerDrawState state, TBrush&, TFont& font, const QString&) {
              asked.emplace_back(row, sub);
              EXPECT_EQ(state, 0u);
              if (sub == 0)
                  font.SetSize(20);
          };
    ASSERT_TRUE(Rest(Centre(list.CellRect(5, 1))));
    EXPECT_EQ(asked.back(), std::make_pair(5, 0));
    EXPECT_EQ(
        list.HintWindow().ScreenRect().Width(), THintWindow::RectForContent(Width(text, 20), 0).Width());

    // The caption's hint starts at the cell's own left edge, before the check box.
    list.OnDrawItemProp = nullptr;
    list.SetCheckboxes(true);
    const QString caption = QString(40, 'W');
    list.Items()[6].SetCaption(caption);
    ASSERT_TRUE(Rest(Centre(list.CellRect(6, 0))));
    const TRect row = list.ItemRect(6);
    EXPECT_EQ(list.HintWindow().ScreenRect().left, Screen(row.left, row.top).x);
    EXPECT_EQ(list.HintWindow().Text(), caption);
}

TEST_F(ListHintTest, MarkupAndRichTextHintTheirPlainText)
{
    list.Columns()[1].SetWidth(30);
    list.SetCells(1, 2, QStringLiteral("<B>bold</B> and <I>more</I> words"));
    ASSERT_TRUE(Rest(Centre(list.CellRect(2, 1))));
    EXPECT_EQ(list.HintWindow().Text(), "bold and more words");
    EXPECT_FALSE(list.HintWindow().OwnerDrawn());

    // HTMLHint keeps the markup and draws it.
    list.SetHTMLHint(true);
    ASSERT_TRUE(Rest(Centre(list.CellRect(2, 1))));
    EXPECT_EQ(list.HintWindow().Text(), "<B>bold</B> and <I>more</I> words");
    EXPECT_TRUE(list.HintWindow().OwnerDrawn());
    list.Columns()[1].SetWidth(400);
    EXPECT_FALSE(Rest(Centre(list.CellRect(2, 1)))); // fits as drawn, tags not counted

    list.Columns()[1].SetWidth(30);
    list.SetCells(1, 3, QStringLiteral("{\\rtf1\\ansi plain rich words\\par}"));
    ASSERT_TRUE(Rest(Centre(list.CellRect(3, 1))));
    EXPECT_EQ(list.HintWindow().Text().trimmed(), "plain rich words");
}

TEST_F(ListHintTest, ScrollHintShowsTheRowAtTheThumb)
{
    QScrollBar* bar = list.verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(40);
    EXPECT_FALSE(list.ScrollHintWindow().Visible()); // ScrollHint is off
    bar->setSliderDown(false);

    list.SetScrollHint(true);
    bar->setSliderDown(true);
    bar->setSliderPosition(57);
    ASSERT_TRUE(list.ScrollHintWindow().Visible());
    EXPECT_EQ(list.ScrollHintWindow().Text(), "row 57");
    const TRect rect = list.ScrollHintWindow().ScreenRect();
    EXPECT_EQ(rect.left, QCursor::pos().x() + 10);
    EXPECT_EQ(rect.top, QCursor::pos().y());
    EXPECT_LE(rect.Width(), THintWindow::RectForContent(100, 0).Width());
    bar->setSliderPosition(12);
    EXPECT_EQ(list.ScrollHintWindow().Text(), "row 12");
    bar->setSliderDown(false);
    EXPECT_FALSE(list.ScrollHintWindow().Visible());
}

class ListHeaderTest : public ListHintTest { };

TEST_F(ListHeaderTest, StartTrackCanRefuseAndEndTrackReportsTheColumn)
{
    THeaderControl& header = list.Header();
    std::vector<int> started, ended, sized;
    bool allow = false;
    list.OnStartColumnTrack = [&](TOrvListView&, int column, bool& a) {
        started.push_back(column);
        EXPECT_TRUE(a);
        a = allow;
    };
    list.OnEndColumnTrack = [&](TOrvListView&, int column) { ended.push_back(column); };
    list.OnColumnSized = [&](TOrvListView&, int column) { sized.push_back(column); };
    auto dragDivider = [&](int x, int to) {
        QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(x, 5));
        QTest::mouseMove(&header, QPoint(to, 5));
        QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(to, 5));
    };
    dragDivider(120, 160);
    EXPECT_EQ(list.Columns()[0].Width(), 120);
    EXPECT_EQ(started, std::vector<int> { 0 });
    EXPECT_TRUE(ended.empty());
    EXPECT_TRUE(sized.empty());

    allow = true;
    dragDivider(240, 200); // the right edge of column 1
    EXPECT_EQ(list.Columns()[1].Width(), 80);
    EXPECT_EQ(started, (std::vector<int> { 0, 1 }));
    EXPECT_EQ(ended, std::vector<int> { 1 });
    EXPECT_EQ(sized, std::vector<int> { 1 });
}

TEST_F(ListHeaderTest, RightClickNamesTheColumnOrMinusOne)
{
    std::vector<int> clicked;
    list.OnColumnRClick = [&](TOrvListView&, int column) { clicked.push_back(column); };
    QTest::mouseClick(&list.Header(), Qt::RightButton, {}, QPoint(130, 5));
    QTest::mouseClick(&list.Header(), Qt::RightButton, {}, QPoint(10, 5));
    QTest::mouseClick(&list.Header(), Qt::RightButton, {}, QPoint(400, 5)); // beside the sections
    EXPECT_EQ(clicked, (std::vector<int> { 1, 0, -1 }));
    // Scrolled sideways, the click still names the column under it.
    list.Columns()[2].SetWidth(400);
    list.ScrollBy(50, 0);
    ASSERT_GT(list.HorizontalOffset(), 0);
    clicked.clear();
    const int x = 125 - list.HorizontalOffset();
    QTest::mouseClick(&list.Header(), Qt::RightButton, {}, QPoint(x, 5));
    EXPECT_EQ(clicked, std::vector<int> { 1 });
}

} // namespace
