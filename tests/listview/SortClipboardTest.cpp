// Sorting through the header and the list's methods, and the clipboard methods and keys.
#include "platform/OrvExceptions.h"
#include "listview/TOrvListView.h"
#include "platform/TClipboard.h"
#include "platform/THeaderControl.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ListFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(400, 300);
        for (const char* caption : { "Car", "Power", "Price" })
            list.Columns().Add().SetCaption(QString::fromLatin1(caption));
        Add("BMW", "150pk", "3");
        Add("Audi", "90pk", "1");
        Add("Porsche", "300pk", "2");
    }

    void Add(const char* car, const char* power, const char* price)
    {
        TListItem& item = list.Items().Add();
        item.SetCaption(QString::fromLatin1(car));
        item.SubItems() << QString::fromLatin1(power) << QString::fromLatin1(price);
    }

    QStringList Captions() const
    {
        QStringList out;
        for (int i = 0; i < list.Items().Count(); ++i)
            out << list.Cells(0, i);
        return out;
    }

    void ClickHeader(int column)
    {
        list.show();
        QApplication::processEvents();
        const TRect r = list.Header().SectionRect(column);
        ASSERT_FALSE(r.IsEmpty());
        QTest::mouseClick(
            &list.Header(), Qt::LeftButton, {}, QPoint(r.left + r.Width() / 2, r.top + r.Height() / 2));
    }

    TOrvListView list;
};

} // namespace

TEST_F(ListFixture, HeaderClickSortsTogglesAndReportsWhenSortShowIsOn)
{
    list.SetSortShow(true);
    QList<int> started, done;
    list.OnSortStart = [&](TOrvListView&, int column, bool& enable) {
        EXPECT_TRUE(enable);
        started << column;
    };
    list.OnSortDone = [&](TOrvListView&, int column) { done << column; };

    ClickHeader(0);
    EXPECT_EQ(Captions(), QStringList({ "Audi", "BMW", "Porsche" }));
    EXPECT_EQ(list.SortColumn(), 0);
    EXPECT_EQ(list.SortIndicatorColumn(), 0);
    ClickHeader(0); // the same column again reverses the order
    EXPECT_EQ(list.SortDirection(), sdDescending);
    EXPECT_EQ(Captions(), QStringList({ "Porsche", "BMW", "Audi" }));
    ClickHeader(2); // another column keeps the direction
    EXPECT_EQ(list.SortDirection(), sdDescending);
    EXPECT_EQ(Captions(), QStringList({ "BMW", "Porsche", "Audi" }));
    EXPECT_EQ(started, QList<int>({ 0, 0, 2 }));
    EXPECT_EQ(done, QList<int>({ 0, 0, 2 }));
}

TEST_F(ListFixture, VetoedSortKeepsTheToggleAndSortShowOffDoesNothing)
{
    list.SetSortShow(true);
    list.SortByColumn(0);
    bool sortDone = false;
    list.OnSortStart = [](TOrvListView&, int, bool& enable) { enable = false; };
    list.OnSortDone = [&](TOrvListView&, int) { sortDone = true; };
    ClickHeader(0);
    EXPECT_EQ(list.SortDirection(), sdDescending);
    EXPECT_FALSE(sortDone);
    EXPECT_EQ(Captions(), QStringList({ "Audi", "BMW", "Porsche" }));

    list.SetSortShow(false);
    list.OnSortStart = nullptr;
    ClickHeader(0);
    EXPECT_EQ(list.SortDirection(), sdDescending);
    EXPECT_EQ(Captions(), QStringList({ "Audi", "BMW", "Porsche" }));
}

TEST_F(ListFixture, SortByColumnUsesTheFormatHandlerWithSubItemNumbering)
{
    QList<int> askedColumns;
    list.OnGetFormat = [&](TOrvListView&, int col, TSortStyle& style, QString&, QString& suffix) {
        askedColumns << col;
        if (col == 0) {
            style = ssNumber;
            suffix = QStringLiteral("pk");
        }
    };
    list.SortByColumn(1);
    EXPECT_EQ(Captions(), QStringList({ "Audi", "BMW", "Porsche" }));
    EXPECT_FALSE(askedColumns.isEmpty());
    EXPECT_TRUE(std::all_of(askedColumns.begin(), askedColumns.end(), [](int c) { return c == 0; }));

    // A column at or beyond the count sorts nothing and keeps the sort column.
    list.SortByColumn(3);
    EXPECT_EQ(list.SortColumn(), 1);
}

TEST_F(ListFixture, OperationsThroughTheList)
{
    list.MoveRow(0, -1);
    EXPECT_EQ(Captions(), QStringList({ "Audi", "Porsche", "BMW" }));
    EXPECT_TRUE(list.Items()[2].Focused());
    list.SwapRows(0, 1);
    EXPECT_EQ(Captions(), QStringList({ "Porsche", "Audi", "BMW" }));

    list.MoveColumn(0, 2);
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int> { 1, 2, 0 }));
    EXPECT_EQ(list.Cells(1, 0), QStringLiteral("300pk")); // cells keep their column index

    list.SetSubItemImage(0, 1, 3);
    EXPECT_EQ(list.GetSubItemImage(0, 1), -1); // SubImages off
    list.SetSubImages(true);
    EXPECT_EQ(list.GetSubItemImage(0, 1), 3);
    list.SetSubItemImage(99, 1, 3); // out of range: nothing
    list.SetItemIndent(1, 0, 2);
    EXPECT_EQ(list.GetItemIndent(1, 0), 2);

    list.HilightInList(QStringLiteral("pk"), true);
    EXPECT_EQ(list.Cells(1, 0), QStringLiteral("300<hi>pk</hi>"));
    list.UnHilightInList();
    EXPECT_EQ(list.Cells(1, 0), QStringLiteral("300pk"));
}

TEST_F(ListFixture, ClipboardRowModeAndCellMode)
{
    list.Items()[1].SetSelected(true);
    list.CopyToClipboard();
    EXPECT_EQ(
        TClipboard::AsText(), QStringLiteral("BMW\t150pk\t3\r\nAudi\t90pk\t1\r\nPorsche\t300pk\t2\r\n"));
    list.CopySelectionToClipboard();
    EXPECT_EQ(TClipboard::AsText(), QStringLiteral("Audi\t90pk\t1\r\n"));
    list.CutToClipboard();
    EXPECT_EQ(Captions(), QStringList({ "BMW", "Porsche" }));

    TClipboard::SetAsText(QStringLiteral("Ferrari\t400pk\t9\textra\r\n"));
    list.PasteFromClipboard();
    EXPECT_EQ(list.Items().Count(), 3);
    EXPECT_EQ(list.Cells(3, 2), QStringLiteral("extra"));
    EXPECT_EQ(list.Columns().Count(), 4);
    EXPECT_TRUE(list.Items()[2].Focused());

    // Cell mode: the current cell alone, without a line end.
    list.Items().Item(0)->SetSelected(true);
    list.SetSubItemSelect(true);
    list.CopyToClipboard();
    EXPECT_EQ(TClipboard::AsText(), QStringLiteral("BMW"));
    TClipboard::SetAsText(QStringLiteral("Mercedes"));
    list.PasteFromClipboard();
    EXPECT_EQ(list.Cells(0, 0), QStringLiteral("Mercedes"));
}

TEST_F(ListFixture, PasteOfSixteenThousandFieldsIsQuickAndLongerLinesAreRefused)
{
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    auto line = [](int fields) {
        QStringList parts;
        for (int i = 0; i < fields; ++i)
            parts << QStringLiteral("f%1").arg(i);
        return parts.join(u'\t');
    };
    TClipboard::SetAsText(line(16000) + QStringLiteral("\r\n"));
    QElapsedTimer timer;
    timer.start();
    list.PasteFromClipboard();
    EXPECT_LT(timer.elapsed(), 3000); // far above the expected time; never flakes
    EXPECT_EQ(list.Columns().Count(), 16000);
    EXPECT_EQ(list.Cells(15999, 3), QStringLiteral("f15999"));

    // One field more than a list takes: the paste is refused as a whole.
    TClipboard::SetAsText(QStringLiteral("a\tb\r\n") + line(16385) + QStringLiteral("\r\n"));
    try {
        list.PasteFromClipboard();
        ADD_FAILURE() << "no error";
    } catch (const EOrvListViewError& e) {
        EXPECT_EQ(e.Message(),
            QStringLiteral("Line 2 of the pasted text has 16385 fields; a list takes at most 16384"));
    }
    EXPECT_EQ(list.Items().Count(), 4);
    EXPECT_EQ(list.Columns().Count(), 16000);
    // The most a line may hold is pasted.
    TClipboard::SetAsText(line(16384));
    list.PasteFromClipboard();
    EXPECT_EQ(list.Columns().Count(), 16384);
    EXPECT_EQ(list.Items().Count(), 5);
}

TEST_F(ListFixture, ClipboardKeysOnlyWithClipboardEnable)
{
    list.show();
    list.setFocus();
    QApplication::processEvents();
    list.Items()[0].SetSelected(true);
    TClipboard::SetAsText(QStringLiteral("untouched"));
    QTest::keyClick(list.viewport(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(TClipboard::AsText(), QStringLiteral("untouched"));

    list.SetClipboardEnable(true);
    QTest::keyClick(list.viewport(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(TClipboard::AsText(), QStringLiteral("BMW\t150pk\t3\r\n"));
    QTest::keyClick(list.viewport(), Qt::Key_Insert, Qt::ShiftModifier); // paste
    EXPECT_EQ(list.Items().Count(), 4);
    QTest::keyClick(list.viewport(), Qt::Key_Delete, Qt::ShiftModifier); // cut the selection
    EXPECT_EQ(list.Items().Count(), 2);
    EXPECT_EQ(TClipboard::AsText(), QStringLiteral("BMW\t150pk\t3\r\nBMW\t150pk\t3\r\n"));
}
