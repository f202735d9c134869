#include "listview/ops/ClipboardText.h"
#include "listview/ops/RowColumnOps.h"
#include "platform/TListItems.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace orvops;

namespace {

void Rows(TListItems& items, int count)
{
    for (int i = 0; i < count; ++i) {
        TListItem& it = items.Add();
        it.SetCaption(QStringLiteral("r%1").arg(i));
        it.SubItems() << QStringLiteral("s%1").arg(i);
        it.SetImageIndex(i);
    }
}

QStringList Captions(const TListItems& items)
{
    QStringList out;
    for (int i = 0; i < items.Count(); ++i)
        out << items[i].Caption();
    return out;
}

} // namespace

TEST(RowOps, MoveRowShiftsTheRowsBetweenAndFocusesTheMovedRow)
{
    TListItems items;
    Rows(items, 10);
    items[1].SetSelected(true);
    EXPECT_EQ(MoveRow(items, 1, 5), 5);
    EXPECT_EQ(Captions(items).mid(0, 7), QStringList({ "r0", "r2", "r3", "r4", "r5", "r1", "r6" }));
    EXPECT_TRUE(items[5].Selected());
    EXPECT_TRUE(items[5].Focused());
    EXPECT_EQ(items[5].ImageIndex(), 1);
    EXPECT_EQ(items[5].SubItems(), QStringList({ "s1" }));
    EXPECT_EQ(items.Count(), 10);
}

TEST(RowOps, MoveRowToTheEndAndIgnoredCases)
{
    TListItems items;
    Rows(items, 5);
    EXPECT_EQ(MoveRow(items, 3, -1), 4);
    EXPECT_EQ(Captions(items), QStringList({ "r0", "r1", "r2", "r4", "r3" }));
    EXPECT_FALSE(items[4].Selected());
    EXPECT_EQ(MoveRow(items, 2, 2), -1);
    EXPECT_EQ(MoveRow(items, -1, 2), -1);
    EXPECT_EQ(MoveRow(items, 99, 2), -1);
    EXPECT_EQ(items.Count(), 5);
}

TEST(RowOps, SwapRowsExchangesContentsButNotSelection)
{
    TListItems items;
    Rows(items, 6);
    items[1].SetSelected(true);
    SwapRows(items, 1, 5);
    EXPECT_EQ(items[1].Caption(), QStringLiteral("r5"));
    EXPECT_EQ(items[5].Caption(), QStringLiteral("r1"));
    EXPECT_EQ(items[5].ImageIndex(), 1);
    EXPECT_TRUE(items[1].Selected());
    EXPECT_FALSE(items[5].Selected());
    SwapRows(items, 2, 2);
    SwapRows(items, 2, 60); // out of range: nothing
    EXPECT_EQ(items[2].Caption(), QStringLiteral("r2"));
}

TEST(RowOps, CheckStateTravelsWithTheRow)
{
    // Check marks belong to the contents: a swapped or moved row keeps its own.
    TListItems items;
    Rows(items, 6);
    items[1].SetChecked(true);
    items[4].SetChecked(true);
    SwapRows(items, 1, 2);
    EXPECT_FALSE(items[1].Checked());
    EXPECT_TRUE(items[2].Checked());
    SwapRows(items, 2, 4); // both checked
    EXPECT_TRUE(items[2].Checked());
    EXPECT_TRUE(items[4].Checked());

    EXPECT_EQ(MoveRow(items, 2, 5), 5);
    EXPECT_EQ(items[5].Caption(), QStringLiteral("r4"));
    EXPECT_TRUE(items[5].Checked());
    EXPECT_FALSE(items[2].Checked());
    EXPECT_EQ(MoveRow(items, 0, -1), 5);
    EXPECT_FALSE(items[5].Checked());
    EXPECT_TRUE(items[4].Checked());
    QStringList checked;
    for (int i = 0; i < items.Count(); ++i)
        if (items[i].Checked())
            checked << items[i].Caption();
    EXPECT_EQ(checked, QStringList({ "r1", "r4" }));
}

TEST(ColumnOps, SwapAndMoveOnTheDisplayOrder)
{
    const std::vector<int> start { 0, 1, 2, 3, 4, 5 };
    std::vector<int> order = start;
    EXPECT_TRUE(MovePosition(order, 6, 1, 4));
    EXPECT_EQ(order, (std::vector<int> { 0, 2, 3, 4, 1, 5 }));
    order = start;
    EXPECT_TRUE(MovePosition(order, 6, 4, 1));
    EXPECT_EQ(order, (std::vector<int> { 0, 4, 1, 2, 3, 5 }));
    order = start;
    EXPECT_TRUE(SwapPositions(order, 6, 1, 5));
    EXPECT_EQ(order, (std::vector<int> { 0, 5, 2, 3, 4, 1 }));
    order = start;
    EXPECT_FALSE(SwapPositions(order, 6, 2, 2));
    EXPECT_FALSE(SwapPositions(order, 6, -1, 2));
    EXPECT_FALSE(MovePosition(order, 6, 1, 6));
    EXPECT_EQ(order, start);
}

TEST(ClipboardText, CopyFormatsEveryRowWithTabsAndCrLf)
{
    TListItems items;
    items.Add().SetCaption(QStringLiteral("a"));
    items[0].SubItems() << QStringLiteral("b") << QStringLiteral("c");
    items.Add().SetCaption(QStringLiteral("d"));
    EXPECT_EQ(RowsToText(items, false), QStringLiteral("a\tb\tc\r\nd\r\n"));
    items[1].SetSelected(true);
    EXPECT_EQ(RowsToText(items, true), QStringLiteral("d\r\n"));
    TListItems none;
    EXPECT_EQ(RowsToText(none, false), QString());
}

TEST(ClipboardText, PasteAddsSelectedRowsAndGrowsColumns)
{
    TListItems items;
    TListColumns columns;
    columns.Add();
    columns.Add();
    const int last = AppendRowsFromText(items, columns, QStringLiteral("a\tb\tc\r\nd\r\n"));
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(last, 1);
    EXPECT_EQ(items[0].Caption(), QStringLiteral("a"));
    EXPECT_EQ(items[0].SubItems(), QStringList({ "b", "c" }));
    EXPECT_EQ(items[1].Caption(), QStringLiteral("d"));
    EXPECT_TRUE(items[0].Selected() && items[1].Selected());
    EXPECT_EQ(columns.Count(), 3);
}

TEST(ClipboardText, FinalLineWithoutLineEndIsNotPastedUnlessItIsTheOnlyLine)
{
    TListItems items;
    TListColumns columns;
    EXPECT_EQ(AppendRowsFromText(items, columns, QStringLiteral("x\ty\r\nz")), 0);
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items[0].SubItems(), QStringList({ "y" }));

    TListItems single;
    EXPECT_EQ(AppendRowsFromText(single, columns, QStringLiteral("p\tq")), 0);
    ASSERT_EQ(single.Count(), 1);
    EXPECT_EQ(single[0].Caption(), QStringLiteral("p"));
    EXPECT_EQ(AppendRowsFromText(single, columns, QString()), -1);
}

TEST(ClipboardText, DeleteSelectedRowsAndLargePaste)
{
    TListItems items;
    Rows(items, 6);
    items[0].SetSelected(true);
    items[1].SetSelected(true);
    items[4].SetSelected(true);
    EXPECT_EQ(DeleteSelectedRows(items), 3);
    EXPECT_EQ(Captions(items), QStringList({ "r2", "r3", "r5" }));

    QString text;
    for (int i = 0; i < 100000; ++i)
        text += QStringLiteral("row%1\tb\tc\r\n").arg(i);
    TListItems big;
    TListColumns columns;
    EXPECT_EQ(AppendRowsFromText(big, columns, text), 99999);
    EXPECT_EQ(big.Count(), 100000);
    EXPECT_EQ(big[99999].Caption(), QStringLiteral("row99999"));

    // Deleting half of a large selection is one pass, and the focus on a deleted row goes away.
    for (int i = 0; i < big.Count(); i += 2)
        big[i].SetSelected(false);
    big[1].SetFocused(true);
    EXPECT_EQ(DeleteSelectedRows(big), 50000);
    EXPECT_EQ(big.Count(), 50000);
    EXPECT_EQ(big[1].Caption(), QStringLiteral("row2"));
    EXPECT_EQ(big[1].Index(), 1);
    EXPECT_EQ(big.Focused(), nullptr);
    EXPECT_EQ(big.SelectedCount(), 0);
}
