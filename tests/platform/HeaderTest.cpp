#include "platform/TCustomListView.h"
#include "platform/THeaderControl.h"

#include "support/TestSupport.h"

#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A list recording the header notifications in the order they arrive.
class HeaderList : public TCustomListView {
public:
    QStringList events;
    bool allowTrack = true;
    TPoint rightClickAt { -1, -1 };

    using TCustomListView::TCustomListView;

protected:
    void ColumnClick(int column) override { events.push_back(QString("click %1").arg(column)); }
    bool HeaderBeginTrack(int section) override
    {
        events.push_back(QString("begin %1").arg(section));
        return allowTrack;
    }
    void HeaderEndTrack(int section) override
    {
        events.push_back(QString("end %1 width %2").arg(section).arg(Columns()[section].Width()));
    }
    void HeaderItemChanged(int section) override { events.push_back(QString("changed %1").arg(section)); }
    void HeaderDividerDblClick(int section) override
    {
        events.push_back(QString("dblclick %1").arg(section));
        TCustomListView::HeaderDividerDblClick(section);
    }
    void HeaderRClick(TPoint pos) override
    {
        rightClickAt = pos;
        events.push_back("rclick");
    }
    void FilterChange(int section) override { events.push_back(QString("filter %1").arg(section)); }
    void FilterBtnClick(int section) override { events.push_back(QString("button %1").arg(section)); }
    void HeaderDrawSection(QPainter& painter, int section, const TRect& rect) override
    {
        events.push_back(QString("draw %1 %2-%3").arg(section).arg(rect.left).arg(rect.right));
        painter.fillRect(rect.ToQRect(), Qt::magenta);
    }
};

void ShowWithColumns(HeaderList& list, int columns = 3)
{
    for (int c = 0; c < columns; ++c) {
        TListColumn& column = list.Columns().Add();
        column.SetCaption(QString("Caption %1").arg(c));
        column.SetWidth(100);
    }
    for (int r = 0; r < 5; ++r)
        list.Items().Add().SetCaption(QString::number(r));
    list.resize(500, 300);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
}

} // namespace

TEST(Header, ClickAndRightClickReportTheSection)
{
    HeaderList list;
    ShowWithColumns(list);
    THeaderControl& header = list.Header();
    EXPECT_EQ(header.SectionRect(1), (TRect { 100, 0, 200, header.Height() }));
    EXPECT_EQ(header.HitTest({ 150, 3 }), 1);
    EXPECT_EQ(header.HitTest({ 350, 3 }), -1);
    EXPECT_EQ(header.HitTest({ 150, header.Height() }), -1);
    QTest::mouseClick(&header, Qt::LeftButton, {}, QPoint(150, 5));
    QTest::mouseClick(&header, Qt::RightButton, {}, QPoint(230, 6));
    EXPECT_EQ(list.events, (QStringList { "click 1", "rclick" }));
    EXPECT_EQ(list.rightClickAt, (TPoint { 230, 6 }));
    // The viewport sits below the header.
    EXPECT_EQ(list.viewport()->geometry().top(), header.geometry().bottom() + 1);
}

TEST(Header, DividerTrackingBeginsLiveAndEnds)
{
    HeaderList list;
    ShowWithColumns(list);
    THeaderControl& header = list.Header();
    QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(100, 5)); // right edge of section 0
    QTest::mouseMove(&header, QPoint(130, 5));
    EXPECT_EQ(list.Columns()[0].Width(), 130);
    EXPECT_EQ(header.SectionRect(1).left, 130); // later sections follow at once
    QTest::mouseMove(&header, QPoint(40, 5));
    QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_EQ(list.Columns()[0].Width(), 40);
    EXPECT_EQ(list.events, (QStringList { "begin 0", "changed 0", "changed 0", "end 0 width 40" }));
    EXPECT_EQ(list.CellRect(0, 1).left, 40);

    // Dragging left past the section's start stops at zero width.
    list.events.clear();
    QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(140, 5)); // right edge of section 1
    QTest::mouseMove(&header, QPoint(0, 5));
    QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(0, 5));
    EXPECT_EQ(list.Columns()[1].Width(), 0);
    EXPECT_EQ(list.events.back(), "end 1 width 0");
}

TEST(Header, RefusedTrackingLeavesTheWidth)
{
    HeaderList list;
    ShowWithColumns(list);
    list.allowTrack = false;
    THeaderControl& header = list.Header();
    QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(200, 5));
    QTest::mouseMove(&header, QPoint(260, 5));
    QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(260, 5));
    EXPECT_EQ(list.Columns()[1].Width(), 100);
    EXPECT_EQ(list.events, QStringList { "begin 1" });
}

TEST(Header, DividerDoubleClick)
{
    HeaderList list;
    ShowWithColumns(list);
    list.Items()[2].SubItems() << "a considerably longer text than the rest";
    QTest::mouseDClick(&list.Header(), Qt::LeftButton, {}, QPoint(202, 5));
    ASSERT_FALSE(list.events.isEmpty());
    EXPECT_EQ(list.events.back(), "dblclick 1");
    // The default handling fits the column to its widest text.
    const int needed
        = QFontMetrics(list.font()).horizontalAdvance("a considerably longer text than the rest");
    EXPECT_GE(list.Columns()[1].Width(), needed);
    EXPECT_LE(list.Columns()[1].Width(), needed + 20);
    list.AutoSizeColumn(0);
    EXPECT_LT(list.Columns()[0].Width(), 100); // short captions shrink it
    list.AutoSizeColumn(7); // no such column: nothing
}

TEST(Header, DragReordersOnlyWhenAllowed)
{
    HeaderList list;
    ShowWithColumns(list);
    THeaderControl& header = list.Header();
    auto drag = [&](int fromX, int toX) {
        QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(fromX, 5));
        QTest::mouseMove(&header, QPoint((fromX + toX) / 2, 5));
        QTest::mouseMove(&header, QPoint(toX, 5));
        QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(toX, 5));
    };
    drag(50, 250);
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 0, 1, 2 }));

    list.SetExtendedStyle(LVS_EX_HEADERDRAGDROP);
    list.events.clear();
    drag(50, 250); // section 0 dropped on the third place
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 1, 2, 0 }));
    EXPECT_TRUE(list.events.isEmpty()); // a drag is not a click
    EXPECT_EQ(header.HitTest({ 250, 5 }), 0);
    EXPECT_EQ(list.CellRect(0, 0).left, 200);
    drag(150, 10); // section 2 (now second) to the front
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 2, 1, 0 }));
}

TEST(Header, FilterRowFiresAfterTheTimeOutAndButtonsReport)
{
    HeaderList list;
    ShowWithColumns(list);
    THeaderControl& header = list.Header();
    const int plain = header.Height();
    header.SetStyle(header.Style() | HDS_FILTERBAR);
    EXPECT_GT(header.Height(), plain);
    EXPECT_EQ(list.viewport()->geometry().top(), header.geometry().bottom() + 1);
    header.SetFilterTimeOut(40);
    QLineEdit* edit = header.FilterEdit(1);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_TRUE(header.SectionRect(1).Contains(
        TPoint { edit->geometry().center().x(), edit->geometry().center().y() }));

    QTest::keyClicks(edit, "abc");
    EXPECT_EQ(header.FilterText(1), "abc");
    EXPECT_TRUE(list.events.isEmpty()); // not before the pause
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list.events.isEmpty(); }, 2000));
    EXPECT_EQ(list.events, QStringList { "filter 1" });
    QTest::qWait(80);
    EXPECT_EQ(list.events.size(), 1); // once per pause

    header.SetFilterNumeric(2, true);
    QTest::keyClicks(header.FilterEdit(2), "4x2");
    bool ok = false;
    EXPECT_EQ(header.FilterNumber(2, &ok), 42);
    EXPECT_TRUE(ok);
    QTest::keyClick(header.FilterEdit(2), Qt::Key_Return); // Enter does not wait
    EXPECT_EQ(list.events.back(), "filter 2");

    header.SetFilterText(0, "set");
    EXPECT_EQ(header.FilterEdit(0)->text(), "set");
    EXPECT_EQ(list.events.size(), 2); // setting a value is not an edit

    const TRect button = header.FilterButtonRect(0);
    ASSERT_FALSE(button.IsEmpty());
    QTest::mouseClick(&header, Qt::LeftButton, {},
        QPoint((button.left + button.right) / 2, (button.top + button.bottom) / 2));
    EXPECT_EQ(list.events.back(), "button 0");

    header.SetStyle(header.Style() & ~unsigned(HDS_FILTERBAR));
    EXPECT_EQ(header.Height(), plain);
    EXPECT_FALSE(header.FilterEdit(1)->isVisible());
    EXPECT_EQ(header.FilterText(1), "abc"); // values outlive the row
}

TEST(Header, HeightFollowsTheFont)
{
    HeaderList list;
    ShowWithColumns(list);
    THeaderControl& header = list.Header();
    QFont big = list.font();
    big.setPixelSize(32);
    header.SetHeaderFont(big);
    EXPECT_GE(header.Height(), 32);
    EXPECT_EQ(header.height(), header.Height());
    QFont small = big;
    small.setPixelSize(8);
    header.SetHeaderFont(small);
    EXPECT_LT(header.Height(), 32);
    EXPECT_EQ(list.viewport()->geometry().top(), header.geometry().bottom() + 1);
    list.SetShowColumnHeaders(false);
    EXPECT_FALSE(header.isVisible());
    EXPECT_EQ(list.viewport()->geometry().top(), list.contentsRect().top());
}

TEST(Header, FormatsFollowColumnsAndOwnerDrawnSectionsAreHandedToTheList)
{
    HeaderList list;
    ShowWithColumns(list);
    THeaderControl& header = list.Header();
    EXPECT_EQ(header.Format(0), unsigned(HDF_STRING | HDF_LEFT));
    list.Columns()[2].SetAlignment(taRightJustify);
    EXPECT_EQ(header.Format(2), unsigned(HDF_STRING | HDF_RIGHT));
    header.SetFormat(1, HDF_OWNERDRAW);
    list.Columns()[0].SetWidth(90); // other column changes leave a set format alone
    EXPECT_EQ(header.Format(1), unsigned(HDF_OWNERDRAW));
    list.Columns().Delete(0); // formats move with their columns
    EXPECT_EQ(header.Format(0), unsigned(HDF_OWNERDRAW));

    QImage image(header.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    list.events.clear();
    header.render(&image);
    EXPECT_EQ(list.events, QStringList { "draw 0 0-100" });
    const QRect drawn(2, 2, 96, header.CaptionHeight() - 4);
    EXPECT_EQ(orvtest::CountPixels(image, drawn, Qt::magenta), drawn.width() * drawn.height());
    // The plain section shows its caption in text colour on the button face.
    const QRect plain(104, 1, 92, header.CaptionHeight() - 2);
    EXPECT_GT(orvtest::CountPixels(image, plain, ToQColor(clBtnText), 60), 0);

    // A bitmap section shows the picture.
    QImage red(10, 10, QImage::Format_ARGB32);
    red.fill(Qt::red);
    header.SetBitmap(1, red);
    header.SetFormat(1, HDF_BITMAP | HDF_STRING);
    image.fill(Qt::black);
    header.render(&image);
    EXPECT_EQ(orvtest::CountPixels(image, QRect(100, 0, 100, header.CaptionHeight()), Qt::red), 100);
}

TEST(Header, HotTrackingAndSidewaysScrollUseContentPositions)
{
    HeaderList list;
    ShowWithColumns(list, 8); // 800 pixels of columns in a 500 pixel list
    THeaderControl& header = list.Header();
    QTest::mouseMove(&header, QPoint(150, 5));
    EXPECT_EQ(header.HotSection(), -1); // hot tracking is a style
    header.SetStyle(header.Style() | HDS_HOTTRACK);
    QTest::mouseMove(&header, QPoint(250, 5));
    EXPECT_EQ(header.HotSection(), 2);

    list.ScrollBy(130, 0);
    ASSERT_EQ(list.HorizontalOffset(), 130);
    // Widget x 20 is content x 150: section 1, whose right divider now sits at widget x 70.
    QTest::mouseClick(&header, Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(&header, Qt::RightButton, {}, QPoint(20, 5));
    EXPECT_EQ(list.events, (QStringList { "click 1", "rclick" }));
    EXPECT_EQ(list.rightClickAt, (TPoint { 150, 5 }));
    EXPECT_EQ(header.HitTest(list.rightClickAt), 1);
    QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(70, 5));
    QTest::mouseMove(&header, QPoint(90, 5));
    QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(90, 5));
    EXPECT_EQ(list.Columns()[1].Width(), 120);
}
