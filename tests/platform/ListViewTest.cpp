#include "platform/TCustomListView.h"
#include "platform/THeaderControl.h"
#include "platform/TImageList.h"

#include "support/LimitedChild.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

// A list that records the notifications it receives, in order.
class RecordingList : public TCustomListView {
public:
    struct Draw {
        int item;
        TRect rect;
        TOwnerDrawState state;
    };
    std::vector<Draw> draws;
    std::vector<std::tuple<int, unsigned, unsigned>> changes;
    std::vector<std::pair<int, int>> clicks;
    std::vector<std::pair<int, int>> rightClicks;
    std::vector<int> scrolls;
    std::vector<std::tuple<bool, bool, int>> scrollReports; // end of scroll, thumb tracking, position
    int measureCalls = 0;
    int measuredHeight = 0; // 0 = keep the proposed height

    using TCustomListView::TCustomListView;

protected:
    void MeasureItem(int& height) override
    {
        ++measureCalls;
        if (measuredHeight > 0)
            height = measuredHeight;
    }
    void OwnerDrawItem(QPainter& painter, int item, const TRect& rect, TOwnerDrawState state) override
    {
        draws.push_back({ item, rect, state });
        painter.fillRect(rect.ToQRect(), (state & odSelected) ? Qt::red : Qt::green);
    }
    void ItemChanged(int item, unsigned oldState, unsigned newState) override
    {
        changes.emplace_back(item, oldState, newState);
    }
    void ItemClick(int item, int column) override { clicks.emplace_back(item, column); }
    void ItemRClick(int item, int column) override { rightClicks.emplace_back(item, column); }
    void VerticalScrolled(bool end, bool tracking, int pos) override
    {
        scrolls.push_back(pos);
        scrollReports.emplace_back(end, tracking, pos);
    }
};

void Fill(TCustomListView& list, int rows, int columns = 3)
{
    for (int c = 0; c < columns; ++c) {
        TListColumn& column = list.Columns().Add();
        column.SetCaption(QString("Col %1").arg(c));
        column.SetWidth(80 + 10 * c);
    }
    list.Items().BeginUpdate();
    for (int r = 0; r < rows; ++r) {
        TListItem& item = list.Items().Add();
        item.SetCaption(QString("Row %1").arg(r));
        for (int c = 1; c < columns; ++c)
            item.SubItems() << QString("r%1c%2").arg(r).arg(c);
    }
    list.Items().EndUpdate();
}

void Show(QWidget& widget)
{
    widget.resize(400, 300);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
}

QPoint CenterOf(const TRect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::vector<int> SelectedRows(const TCustomListView& list)
{
    std::vector<int> rows;
    for (int i = 0; i < list.Items().Count(); ++i)
        if (list.Items()[i].Selected())
            rows.push_back(i);
    return rows;
}

QImage Render(TCustomListView& list)
{
    QImage image(list.viewport()->size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    list.PaintRows(painter, TRect { 0, 0, image.width(), image.height() });
    return image;
}

} // namespace

TEST(ListView, WithoutWindowGeometryIsEmptyAndOperationsDoNothing)
{
    RecordingList list;
    Fill(list, 20);
    EXPECT_FALSE(list.HandleAllocated());
    EXPECT_EQ(list.ItemRect(3), TRect {});
    EXPECT_EQ(list.SubItemRect(3, 1), TRect {});
    int item = 5, column = 5;
    EXPECT_FALSE(list.SubItemHitTest({ 10, 10 }, item, column));
    EXPECT_EQ(item, -1);
    list.ScrollBy(0, 100);
    list.ScrollLines(5);
    list.EnsureVisible(19);
    EXPECT_EQ(list.TopIndex(), 0);
    list.EditCaption(2);
    EXPECT_EQ(list.EditWindow(), nullptr);
    EXPECT_EQ(list.Header().HitTest({ 5, 5 }), -1);
    EXPECT_EQ(list.Header().SectionRect(0), TRect {});
    EXPECT_EQ(list.measureCalls, 0);

    list.CreateWnd(); // an explicit creation gives geometry without showing
    EXPECT_TRUE(list.HandleAllocated());
    EXPECT_FALSE(list.ItemRect(3).IsEmpty());
    list.DestroyWnd();
    EXPECT_EQ(list.ItemRect(3), TRect {});
}

TEST(ListView, OutOfRangeIndexesAreHarmless)
{
    RecordingList list;
    Fill(list, 5);
    Show(list);
    for (int bad : { -1, 5, 1 << 30, -(1 << 30) }) {
        EXPECT_EQ(list.ItemRect(bad), TRect {});
        EXPECT_EQ(list.SubItemRect(bad, 0), TRect {});
        EXPECT_EQ(list.SubItemRect(0, bad), TRect {});
        EXPECT_EQ(list.CellText(bad, bad), QString());
        list.EnsureVisible(bad);
        list.EditCaption(bad);
        list.Header().SetFormat(bad, HDF_OWNERDRAW);
        list.Header().SetFilterText(bad, "x");
        EXPECT_EQ(list.Header().Format(bad), 0u);
        EXPECT_EQ(list.Header().FilterText(bad), QString());
    }
    list.ScrollLines(1 << 30);
    list.ScrollLines(-(1 << 30));
    list.SelectRange(-100, 1 << 30);
    EXPECT_EQ(SelectedRows(list).size(), 5u);
    list.SetColumnOrder({ 0, 0, 1 }); // not a permutation
    list.SetColumnOrder({ 2, 1 }); // wrong length
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 0, 1, 2 }));
    EXPECT_EQ(list.EditWindow(), nullptr);
}

TEST(ListView, FarRowsOfTallListsStayOffScreen)
{
    RecordingList list;
    list.measuredHeight = 32768;
    list.SetOwnerDrawFixed(true);
    Fill(list, 131073, 1);
    list.CreateWnd();
    ASSERT_EQ(list.RowHeight(), 32768);
    // Row 131,072 starts exactly 2^32 pixels below the top: it must not wrap onto the screen.
    EXPECT_GT(list.ItemRect(131072).top, list.viewport()->height());
    list.EnsureVisible(131072);
    EXPECT_EQ(list.ItemRect(131072).top, 0);
    EXPECT_LT(list.ItemRect(0).bottom, 0);
}

TEST(ListView, MouseSelectionSingleAndMultiple)
{
    RecordingList list;
    Fill(list, 10);
    Show(list);
    auto click = [&](int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, mods, CenterOf(list.SubItemRect(row, 1)));
    };

    click(2);
    click(4);
    EXPECT_EQ(SelectedRows(list), std::vector<int> { 4 });
    EXPECT_EQ(list.FocusedIndex(), 4);
    click(6, Qt::ControlModifier); // Ctrl does not add without multi-select
    EXPECT_EQ(SelectedRows(list), std::vector<int> { 6 });

    list.SetMultiSelect(true);
    click(2);
    click(5, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(list), (std::vector<int> { 2, 3, 4, 5 }));
    click(3, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(list), (std::vector<int> { 2, 4, 5 }));
    EXPECT_EQ(list.FocusedIndex(), 3);
    click(0, Qt::ShiftModifier); // the range runs from the last Ctrl click
    EXPECT_EQ(SelectedRows(list), (std::vector<int> { 0, 1, 2, 3 }));

    list.SetMultiSelect(false); // leaving multi-select keeps one selection
    EXPECT_EQ(SelectedRows(list).size(), 1u);

    // A click below the last row clears the selection and reports no item.
    list.clicks.clear();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, list.viewport()->height() - 2));
    EXPECT_TRUE(SelectedRows(list).empty());
    ASSERT_EQ(list.clicks.size(), 1u);
    EXPECT_EQ(list.clicks[0], std::make_pair(-1, -1));
}

TEST(ListView, ItemChangedAndClicksCarryTheHitCell)
{
    RecordingList list;
    Fill(list, 10);
    Show(list);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CenterOf(list.SubItemRect(1, 2)));
    ASSERT_EQ(list.clicks.size(), 1u);
    EXPECT_EQ(list.clicks[0], std::make_pair(1, 2));
    // One report per row: selected and focused together.
    using Change = std::tuple<int, unsigned, unsigned>;
    const unsigned both = lisSelected | lisFocused;
    EXPECT_EQ(list.changes, std::vector<Change> { Change(1, 0u, both) });
    list.changes.clear();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CenterOf(list.SubItemRect(5, 0)));
    EXPECT_EQ(list.changes, (std::vector<Change> { Change(1, both, 0u), Change(5, 0u, both) }));
    list.changes.clear();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CenterOf(list.SubItemRect(5, 1)));
    EXPECT_TRUE(list.changes.empty()); // clicking the current row changes nothing
    list.SetMultiSelect(true);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, CenterOf(list.SubItemRect(3, 0)));
    EXPECT_EQ(list.changes,
        (std::vector<Change> { Change(5, both, unsigned(lisSelected)), Change(4, 0u, unsigned(lisSelected)),
            Change(3, 0u, both) }));

    // A right click keeps a selection it lands in and replaces one it misses.
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, CenterOf(list.SubItemRect(4, 0)));
    EXPECT_EQ(SelectedRows(list), (std::vector<int> { 3, 4, 5 }));
    EXPECT_EQ(list.FocusedIndex(), 4);
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, CenterOf(list.SubItemRect(8, 2)));
    ASSERT_EQ(list.rightClicks.size(), 2u);
    EXPECT_EQ(list.rightClicks[1], std::make_pair(8, 2));
    EXPECT_EQ(SelectedRows(list), std::vector<int> { 8 });
}

TEST(ListView, KeyboardNavigationScrollsToTheEnd)
{
    RecordingList list;
    Fill(list, 200);
    Show(list);
    list.setFocus();
    const int visible = list.VisibleRowCount();
    ASSERT_GT(visible, 3);
    ASSERT_LT(visible, 200);

    QTest::keyClick(&list, Qt::Key_Down); // nothing focused: the first row
    EXPECT_EQ(list.FocusedIndex(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.FocusedIndex(), 2);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.FocusedIndex(), 1);
    QTest::keyClick(&list, Qt::Key_PageDown);
    EXPECT_EQ(list.FocusedIndex(), 1 + visible - 1);
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(list.FocusedIndex(), 199);
    EXPECT_EQ(SelectedRows(list), std::vector<int> { 199 });
    EXPECT_EQ(list.TopIndex(), 200 - visible);
    EXPECT_LE(list.ItemRect(199).bottom, list.viewport()->height());
    EXPECT_FALSE(list.scrolls.empty());
    QTest::keyClick(&list, Qt::Key_Down); // already at the end
    EXPECT_EQ(list.FocusedIndex(), 199);
    QTest::keyClick(&list, Qt::Key_PageUp);
    EXPECT_EQ(list.FocusedIndex(), 199 - (visible - 1));
    QTest::keyClick(&list, Qt::Key_Home);
    EXPECT_EQ(list.FocusedIndex(), 0);
    EXPECT_EQ(list.TopIndex(), 0);

    list.SetMultiSelect(true);
    QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(list), (std::vector<int> { 0, 1, 2 }));
    QTest::keyClick(&list, Qt::Key_Down, Qt::ControlModifier); // moves the focus only
    QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(list), (std::vector<int> { 0, 1, 2, 3 }));
}

TEST(ListView, CheckBoxesToggleByClickAndSpace)
{
    RecordingList list;
    Fill(list, 5);
    list.SetCheckboxes(true);
    EXPECT_EQ(list.ExtendedStyle() & LVS_EX_CHECKBOXES, unsigned(LVS_EX_CHECKBOXES));
    Show(list);
    const TRect box = list.CheckBoxRect(2);
    ASSERT_FALSE(box.IsEmpty());
    EXPECT_LE(box.right, list.SubItemRect(2, 0).left); // the label starts after the box
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CenterOf(box));
    EXPECT_TRUE(list.Items()[2].Checked());
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_FALSE(list.Items()[2].Checked());
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_TRUE(list.Items()[3].Checked());
}

TEST(ListView, HitTestsAndCellRectsFollowTheDisplayOrder)
{
    RecordingList list;
    Fill(list, 30, 4);
    Show(list);
    list.SetColumnOrder({ 2, 0, 3, 1 });
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 2, 0, 3, 1 }));
    // Column 2 (width 100) is first on screen, then column 0 (width 80).
    EXPECT_EQ(list.CellRect(4, 2).left, 0);
    EXPECT_EQ(list.CellRect(4, 0).left, 100);
    EXPECT_EQ(list.CellRect(4, 1).right, list.ContentWidth());
    for (int row : { 0, 4, 7 }) {
        for (int column = 0; column < 4; ++column) {
            int item = -1, hit = -1;
            ASSERT_TRUE(
                list.SubItemHitTest(TPoint::FromQPoint(CenterOf(list.SubItemRect(row, column))), item, hit));
            EXPECT_EQ(item, row);
            EXPECT_EQ(hit, column);
        }
    }
    // Deleting a column keeps the others in their order.
    list.Columns().Delete(0);
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 1, 2, 0 }));
    list.Columns().Add();
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 1, 2, 0, 3 }));

    // Sideways scrolling moves rectangles and hit tests alike.
    for (int c = 0; c < list.Columns().Count(); ++c)
        list.Columns()[c].SetWidth(150);
    list.ScrollBy(40, 0);
    EXPECT_EQ(list.HorizontalOffset(), 40);
    EXPECT_EQ(list.CellRect(0, 1).left, -40);
    int item = -1, column = -1;
    ASSERT_TRUE(list.SubItemHitTest({ 120, 1 }, item, column));
    EXPECT_EQ(column, 2); // content x 160 lies in the second column on screen
    EXPECT_EQ(list.Header().HitTest({ 160, 2 }), 2);
}

TEST(ListView, DefaultPaintingShowsSelectionTextAndGridWhereTheRectanglesSay)
{
    RecordingList list;
    Fill(list, 30);
    list.SetRowSelect(true);
    list.SetColor(clWhite);
    Show(list);
    list.Items()[1].SetSelected(true);
    const QImage image = Render(list);
    const QColor highlight = ToQColor(clHighlight);
    const TRect selected = list.ItemRect(1);
    const QRect inside = selected.ToQRect().adjusted(0, 1, 0, -1);
    // The selected row is highlight except where its text is drawn.
    const int highlightPixels = orvtest::CountPixels(image, inside, highlight);
    EXPECT_GT(highlightPixels, inside.width() * inside.height() / 2);
    EXPECT_LT(highlightPixels, inside.width() * inside.height());
    // The unselected row below it holds text (dark pixels) only inside its cells.
    const TRect cell = list.SubItemRect(2, 1);
    const int white = orvtest::CountPixels(image, cell.ToQRect(), Qt::white);
    EXPECT_LT(white, cell.Width() * cell.Height());
    const TRect beyond { list.ContentWidth() + 2, cell.top, image.width(), cell.bottom };
    EXPECT_EQ(orvtest::CountPixels(image, beyond.ToQRect(), Qt::white), beyond.Width() * beyond.Height());

    // An empty cell has no text.
    list.Items()[5].SubItems()[0].clear();
    const QImage again = Render(list);
    const TRect empty = list.SubItemRect(5, 1);
    EXPECT_EQ(orvtest::CountPixels(again, empty.ToQRect(), Qt::white), empty.Width() * empty.Height());

    // Grid lines run along the row bottoms.
    list.SetGridLines(true);
    const QImage grid = Render(list);
    const int y = list.ItemRect(6).bottom - 1;
    const QRect line(list.ContentWidth() + 2, y, 20, 1);
    EXPECT_EQ(orvtest::CountPixels(grid, line, ToQColor(clBtnFace)), 20);
}

TEST(ListView, OwnerDrawAsksMeasureThenDrawsVisibleRowsInOrder)
{
    RecordingList list;
    list.measuredHeight = 30;
    list.SetOwnerDrawFixed(true);
    Fill(list, 100);
    Show(list);
    EXPECT_GE(list.measureCalls, 1);
    EXPECT_EQ(list.RowHeight(), 30);
    list.Items()[2].SetSelected(true);
    list.Items()[3].SetFocused(true);
    list.draws.clear();
    Render(list);
    const int expected = (list.viewport()->height() + 29) / 30;
    ASSERT_EQ(int(list.draws.size()), expected);
    for (int i = 0; i < expected; ++i) {
        EXPECT_EQ(list.draws[size_t(i)].item, i);
        EXPECT_EQ(list.draws[size_t(i)].rect, list.ItemRect(i));
    }
    EXPECT_EQ(list.draws[2].state & (odSelected | odFocused), unsigned(odSelected));
    EXPECT_EQ(list.draws[3].state & (odSelected | odFocused), unsigned(odFocused));
    EXPECT_EQ(list.draws[0].state, 0u);

    // Remeasuring picks up a new height; scrolling draws the rows then on screen.
    list.measuredHeight = 20;
    const int before = list.measureCalls;
    list.RemeasureRows();
    EXPECT_EQ(list.measureCalls, before + 1);
    EXPECT_EQ(list.RowHeight(), 20);
    list.ScrollLines(10);
    list.draws.clear();
    Render(list);
    ASSERT_FALSE(list.draws.empty());
    EXPECT_EQ(list.draws.front().item, 10);
    EXPECT_EQ(list.draws.front().rect.top, 0);
}

TEST(ListView, ScrollingByPixelsAndLines)
{
    RecordingList list;
    Fill(list, 100);
    Show(list);
    const int h = list.RowHeight();
    list.ScrollBy(0, 3 * h);
    EXPECT_EQ(list.TopIndex(), 3);
    list.ScrollBy(0, 1); // less than a row still moves one
    EXPECT_EQ(list.TopIndex(), 4);
    list.ScrollLines(-2);
    EXPECT_EQ(list.TopIndex(), 2);
    EXPECT_EQ(list.ItemRect(2).top, 0);
    EXPECT_EQ(list.ItemRect(0).top, -2 * h);
    list.EnsureVisible(99);
    EXPECT_EQ(list.TopIndex(), 100 - list.VisibleRowCount());
    list.EnsureVisible(0);
    EXPECT_EQ(list.TopIndex(), 0);
    EXPECT_EQ(list.scrollReports.back(), std::make_tuple(true, false, 0));

    // Dragging the thumb reports tracking positions, then the end of the scroll.
    list.scrollReports.clear();
    QScrollBar* bar = list.verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(40);
    bar->setSliderPosition(45);
    bar->setSliderDown(false);
    EXPECT_EQ(list.TopIndex(), 45);
    EXPECT_EQ(list.scrollReports,
        (std::vector<std::tuple<bool, bool, int>> {
            { false, true, 40 }, { false, true, 45 }, { true, false, 45 } }));
}

TEST(ListView, SortItemsIsStableAndKeepsTheSelection)
{
    RecordingList list;
    Fill(list, 0, 2);
    const int keys[] = { 3, 1, 3, 2, 1, 3 };
    for (int i = 0; i < 6; ++i) {
        TListItem& item = list.Items().Add();
        item.SetCaption(QString::number(keys[i]));
        item.SubItems() << QString::number(i);
    }
    list.Items()[4].SetSelected(true);
    list.SortItems(
        [](const TListItem& a, const TListItem& b) { return a.Caption().toInt() - b.Caption().toInt(); });
    QStringList order;
    for (int i = 0; i < 6; ++i)
        order << list.Items()[i].SubItems()[0];
    EXPECT_EQ(order, (QStringList { "1", "4", "3", "0", "2", "5" }));
    EXPECT_EQ(SelectedRows(list), std::vector<int> { 1 });
    list.SortItems({}); // no comparison: nothing happens
    EXPECT_EQ(list.Items()[0].SubItems()[0], "1");
}

TEST(ListView, PaintSuspendRepaintsOnceAtTheEnd)
{
    RecordingList list;
    list.SetOwnerDrawFixed(true);
    Fill(list, 50);
    Show(list);
    QApplication::processEvents();
    list.BeginPaintSuspend();
    list.draws.clear();
    for (int i = 0; i < 10; ++i) {
        list.Items()[i].SetCaption("changed");
        QApplication::processEvents();
    }
    EXPECT_TRUE(list.draws.empty());
    list.EndPaintSuspend();
    QApplication::processEvents();
    ASSERT_FALSE(list.draws.empty());
    EXPECT_EQ(list.draws.front().item, 0);
    EXPECT_EQ(int(list.draws.size()), (list.viewport()->height() + list.RowHeight() - 1) / list.RowHeight());
}

TEST(ListView, HotTrackingSelectsTheRowUnderTheMouseAfterTheHoverTime)
{
    RecordingList list;
    Fill(list, 10);
    list.SetHotTrack(true);
    list.SetHoverTime(10);
    Show(list);
    QTest::mouseMove(list.viewport(), CenterOf(list.SubItemRect(4, 1)));
    EXPECT_EQ(list.HotItem(), 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !SelectedRows(list).empty(); }, 2000));
    EXPECT_EQ(SelectedRows(list), std::vector<int> { 4 });
    list.SetHotTrack(false);
    EXPECT_EQ(list.HotItem(), -1);
}

TEST(ListView, MillionRowsStayFluid)
{
    RecordingList list;
    list.SetOwnerDrawFixed(true);
    Fill(list, 0, 7);
    list.Items().BeginUpdate();
    list.Items().Reserve(1000000);
    for (int r = 0; r < 1000000; ++r) {
        TListItem& item = list.Items().Add();
        item.SetCaption(QStringLiteral("row"));
        item.SubItems() << "a"
                        << "b"
                        << "c"
                        << "d"
                        << "e"
                        << "f";
    }
    list.Items().EndUpdate();
    Show(list);
    list.Items()[999999].SetSelected(true);
    list.EnsureVisible(999999);
    EXPECT_EQ(list.TopIndex(), 1000000 - list.VisibleRowCount());
    list.draws.clear();
    Render(list);
    // Only the rows on screen are drawn.
    EXPECT_LE(int(list.draws.size()), list.VisibleRowCount() + 1);
    EXPECT_EQ(list.draws.back().item, 999999);
    EXPECT_TRUE(list.draws.back().state & odSelected);
}

TEST(ListView, ImagesIndentAndTextBackgroundArePaintedBeforeTheLabel)
{
    RecordingList list;
    Fill(list, 10);
    list.SetColor(clWhite);
    Show(list);
    const int plainLeft = list.SubItemRect(0, 0).left;
    TImageList images(16, 16);
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QImage blue(16, 16, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    images.Add(red);
    images.Add(blue);
    list.SetSmallImages(&images);
    EXPECT_GE(list.RowHeight(), 17);
    list.Items()[1].SetImageIndex(0);
    list.Items()[2].SetIndent(2);
    EXPECT_EQ(list.SubItemRect(1, 0).left, plainLeft + 18);
    EXPECT_EQ(list.SubItemRect(2, 0).left, plainLeft + 18 + 32);

    // Sub-item images need their style.
    list.Items()[3].SetSubItemImage(1, 1);
    const int cellLeft = list.CellRect(3, 1).left;
    EXPECT_EQ(list.SubItemRect(3, 1).left, cellLeft);
    list.SetExtendedStyle(LVS_EX_SUBITEMIMAGES);
    EXPECT_EQ(list.SubItemRect(3, 1).left, cellLeft + 18);

    list.SetTextBkColor(clYellow);
    const QImage image = Render(list);
    const TRect row1 = list.CellRect(1, 0);
    EXPECT_EQ(orvtest::CountPixels(image, QRect(row1.left, row1.top, 18, row1.Height()), Qt::red), 256);
    EXPECT_EQ(orvtest::CountPixels(image, list.CellRect(3, 1).ToQRect(), Qt::blue), 256);
    EXPECT_EQ(orvtest::CountPixels(image, list.CellRect(4, 1).ToQRect(), Qt::blue), 0);
    const TRect label = list.SubItemRect(4, 2);
    EXPECT_GT(orvtest::CountPixels(image, label.ToQRect(), Qt::yellow), label.Width() * label.Height() / 2);

    // A destroyed image list is let go.
    {
        TImageList gone(16, 16);
        list.SetSmallImages(&gone);
    }
    EXPECT_EQ(list.SmallImages(), nullptr);
    EXPECT_EQ(list.SubItemRect(1, 0).left, plainLeft);
}

TEST(ListView, RecreatingTheWindowKeepsStylesAndMeasuresAgain)
{
    RecordingList list;
    Fill(list, 10);
    list.measuredHeight = 24;
    list.SetOwnerDrawFixed(true);
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FLATSB | LVS_EX_HEADERDRAGDROP);
    Show(list);
    const int measured = list.measureCalls;
    list.SetColumnOrder({ 1, 0, 2 });
    list.RecreateWnd();
    EXPECT_TRUE(list.HandleAllocated());
    EXPECT_EQ(list.measureCalls, measured + 1);
    EXPECT_EQ(list.ExtendedStyle(), unsigned(LVS_EX_CHECKBOXES | LVS_EX_FLATSB | LVS_EX_HEADERDRAGDROP));
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 1, 0, 2 }));
    EXPECT_EQ(list.RowHeight(), 24);
    EXPECT_EQ(list.Items().Count(), 10);
}

TEST(ListView, ArrowsScrollSidewaysAndCutOffCellsGetTips)
{
    RecordingList list;
    Fill(list, 10, 6);
    Show(list);
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Right);
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_GT(list.HorizontalOffset(), 0);
    QTest::keyClick(&list, Qt::Key_Left);
    QTest::keyClick(&list, Qt::Key_Left);
    EXPECT_EQ(list.HorizontalOffset(), 0);

    list.Items()[1].SubItems()[0] = QString(200, 'W');
    auto ask = [&](int row) {
        const QPoint at = CenterOf(list.SubItemRect(row, 1));
        QHelpEvent tip(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
        QApplication::sendEvent(list.viewport(), &tip);
        return tip.isAccepted();
    };
    EXPECT_TRUE(ask(1));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString(200, 'W'));
    EXPECT_FALSE(ask(2)); // the text fits: no tip of the list's own
    list.SetToolTipsEnabled(false);
    EXPECT_FALSE(ask(1));
}

TEST(ListView, TypingJumpsToMatchingCaptions)
{
    RecordingList list;
    list.Columns().Add();
    for (const char* caption : { "apple", "Banana", "blueberry", "cherry", "bread" })
        list.Items().Add().SetCaption(caption);
    Show(list);
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_B);
    EXPECT_EQ(list.FocusedIndex(), 1);
    QTest::keyClick(&list, Qt::Key_B); // the same letter again: the next "b" row
    EXPECT_EQ(list.FocusedIndex(), 2);
    QTest::keyClick(&list, Qt::Key_B);
    QTest::keyClick(&list, Qt::Key_B); // wraps around
    EXPECT_EQ(list.FocusedIndex(), 1);
    QTest::qWait(1100);
    QTest::keyClicks(&list, "bre");
    EXPECT_EQ(list.FocusedIndex(), 4);
    EXPECT_EQ(SelectedRows(list), std::vector<int> { 4 });
    QTest::qWait(1100);
    QTest::keyClicks(&list, "zz"); // no match: nothing moves
    EXPECT_EQ(list.FocusedIndex(), 4);
}

TEST(ListView, WallpaperTilesStayAnchoredOnPartialRepaints)
{
    RecordingList list;
    list.SetOwnerDrawFixed(true); // rows draw nothing over the background here
    list.measuredHeight = 10;
    Show(list);
    QImage pattern(3, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            pattern.setPixelColor(x, y, QColor(x * 100, y * 100, 50));
    list.BackgroundBrush().SetPattern(pattern);
    const QImage full = Render(list);
    QImage partial = full.copy();
    partial.fill(Qt::black);
    {
        QPainter painter(&partial);
        list.PaintRows(painter, TRect { 7, 5, 40, 30 });
    }
    for (QPoint p : { QPoint(7, 5), QPoint(8, 6), QPoint(20, 29) })
        EXPECT_EQ(partial.pixelColor(p), full.pixelColor(p)) << p.x() << "," << p.y();
    EXPECT_EQ(full.pixelColor(4, 5), pattern.pixelColor(1, 2));
}

TEST(ListView, ColumnChangesKeepDisplayOrderSectionsAndScrollRangeInStep)
{
    RecordingList list;
    Fill(list, 3, 4); // widths 80, 90, 100, 110
    Show(list);
    THeaderControl& header = list.Header();
    list.SetColumnOrder({ 3, 2, 1, 0 });
    header.SetFormat(2, HDF_OWNERDRAW);
    auto rangeOk = [&list] {
        return list.horizontalScrollBar()->maximum()
            == std::max(0, list.ContentWidth() - list.viewport()->width());
    };

    // An inserted column takes the display position of its index; the others keep their order.
    TListColumn& added = list.Columns().Insert(1);
    added.SetWidth(30);
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 4, 1, 3, 2, 0 }));
    EXPECT_EQ(header.Format(3), unsigned(HDF_OWNERDRAW)); // the section followed its column
    EXPECT_EQ(header.Format(1), unsigned(HDF_STRING | HDF_LEFT));
    EXPECT_EQ(header.SectionRect(1).left, 110);
    EXPECT_EQ(header.SectionRect(1).right, 140);
    EXPECT_EQ(list.ContentWidth(), 80 + 90 + 100 + 110 + 30);
    EXPECT_TRUE(rangeOk());

    list.Columns().Delete(3);
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 3, 1, 2, 0 }));
    EXPECT_EQ(header.Format(3), unsigned(HDF_STRING | HDF_LEFT));
    EXPECT_EQ(header.SectionRect(2).left, 110 + 30);
    EXPECT_EQ(list.ContentWidth(), 80 + 90 + 110 + 30);
    EXPECT_TRUE(rangeOk());

    list.Columns()[0].SetWidth(500);
    EXPECT_EQ(header.SectionRect(0).left, 110 + 30 + 90);
    EXPECT_TRUE(rangeOk());

    list.Columns().Clear();
    EXPECT_TRUE(list.ColumnOrder().empty());
    EXPECT_EQ(list.ContentWidth(), 0);
    EXPECT_EQ(header.Format(0), 0u);
    list.Columns().Add();
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 0 }));
    EXPECT_EQ(header.Format(0), unsigned(HDF_STRING | HDF_LEFT));
}

TEST(ListView, ColumnLayoutWaitsForTheEndOfAnUpdateBracket)
{
    RecordingList list;
    Fill(list, 3, 2);
    Show(list);
    THeaderControl& header = list.Header();
    header.SetStyle(header.Style() | HDS_FILTERBAR);
    ASSERT_NE(header.FilterEdit(1), nullptr);
    list.Items().BeginUpdate();
    for (int c = 0; c < 3; ++c)
        list.Columns().Add().SetWidth(100);
    // Sections exist at once; their filter fields are placed when the bracket closes.
    EXPECT_EQ(header.FilterText(4), QString());
    EXPECT_EQ(header.FilterEdit(4), nullptr);
    list.Items().EndUpdate();
    for (int c = 2; c < 5; ++c) {
        QLineEdit* edit = header.FilterEdit(c);
        ASSERT_NE(edit, nullptr) << c;
        EXPECT_TRUE(header.SectionRect(c).Contains(
            TPoint { edit->geometry().center().x(), edit->geometry().center().y() }))
            << c;
    }
}

TEST(ListView, ThousandsOfColumnsAddAndPaintQuickly)
{
    // Adding a column costs constant time in the model, the display order and the header, and
    // the header paints by walking its sections once. Limits are far above the expected
    // milliseconds, so that they never flake.
    RecordingList list;
    Show(list);
    // The sanitizers check every byte the column pointers move.
    const qint64 scale = orvtest::SanitizedBuild() ? 20 : 1;
    QElapsedTimer timer;
    timer.start();
    for (int c = 0; c < 8000; ++c)
        list.Columns().Add().SetCaption(QString::number(c));
    EXPECT_LT(timer.elapsed(), 2000 * scale) << "8,000 columns, one at a time";
    list.Header().SetStyle(list.Header().Style() | HDS_FILTERBAR);
    timer.restart();
    list.Items().BeginUpdate();
    for (int c = 0; c < 8000; ++c)
        list.Columns().Insert(c);
    for (int c = 0; c < 8000; ++c)
        list.Columns()[c].SetWidth(20);
    list.Items().EndUpdate();
    EXPECT_LT(timer.elapsed(), 4000 * scale) << "8,000 more, inserted with the filter row shown";
    ASSERT_EQ(list.Columns().Count(), 16000);
    EXPECT_EQ(list.ContentWidth(), 8000 * 20 + 8000 * 50);
    const int last = list.ColumnAtPosition(15999);
    EXPECT_EQ(list.Header().SectionRect(last).right, list.ContentWidth());
    timer.restart();
    QImage image(list.Header().size(), QImage::Format_ARGB32);
    list.Header().render(&image);
    list.horizontalScrollBar()->setValue(list.horizontalScrollBar()->maximum());
    list.Header().render(&image);
    EXPECT_LT(timer.elapsed(), 2000 * scale) << "two header paints";
    timer.restart();
    for (int c = 0; c < 16000; ++c)
        list.Columns().Delete(list.Columns().Count() - 1);
    EXPECT_LT(timer.elapsed(), 2000 * scale) << "deleting them all";
    EXPECT_EQ(list.ContentWidth(), 0);
}
