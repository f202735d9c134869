#include "platform/TListItems.h"

#include <gtest/gtest.h>

namespace {

struct RecordingObserver : TListModelObserver {
    int itemsChanged = 0;
    int columnsChanged = 0;
    struct Change {
        int index;
        unsigned oldState;
        unsigned newState;
    };
    std::vector<Change> states;
    void ItemsChanged() override { ++itemsChanged; }
    void ColumnsChanged() override { ++columnsChanged; }
    void ItemStateChanged(int index, unsigned oldState, unsigned newState) override
    {
        states.push_back({ index, oldState, newState });
    }
};

QStringList Captions(const TListItems& items)
{
    QStringList out;
    for (int i = 0; i < items.Count(); ++i)
        out << items[i].Caption();
    return out;
}

} // namespace

TEST(ListItems, AddInsertDeleteKeepIndexesAndReferences)
{
    TListItems items;
    TListItem& a = items.Add();
    a.SetCaption("a");
    items.Add().SetCaption("c");
    items.Insert(1).SetCaption("b");
    items.Insert(-5).SetCaption("first"); // clamped to the front
    items.Insert(1000).SetCaption("last"); // clamped to the end
    EXPECT_EQ(Captions(items), (QStringList { "first", "a", "b", "c", "last" }));
    for (int i = 0; i < items.Count(); ++i)
        EXPECT_EQ(items[i].Index(), i);
    EXPECT_EQ(&a, &items[1]); // a reference stays valid while its row exists

    items.Delete(0);
    items.Delete(-1);
    items.Delete(99);
    EXPECT_EQ(Captions(items), (QStringList { "a", "b", "c", "last" }));
    EXPECT_EQ(a.Index(), 0);
    EXPECT_EQ(items.Item(4), nullptr);
    EXPECT_EQ(items.Item(-1), nullptr);
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
}

TEST(ListItems, UpdateBracketHoldsBackOneChangeNotification)
{
    RecordingObserver observer;
    TListItems items(&observer);
    items.BeginUpdate();
    items.BeginUpdate();
    for (int i = 0; i < 100; ++i)
        items.Add().SetCaption(QString::number(i));
    items.EndUpdate();
    EXPECT_EQ(observer.itemsChanged, 0);
    items.EndUpdate();
    EXPECT_EQ(observer.itemsChanged, 1);
    items.EndUpdate(); // unbalanced end: harmless
    items[3].SetCaption("3"); // unchanged value: no notification
    EXPECT_EQ(observer.itemsChanged, 1);
    items[3].SetChecked(true);
    EXPECT_EQ(observer.itemsChanged, 2);
}

TEST(ListItems, SelectionAndFocusReportStateChanges)
{
    RecordingObserver observer;
    TListItems items(&observer);
    for (int i = 0; i < 5; ++i)
        items.Add();
    items[1].SetSelected(true);
    items[3].SetSelected(true);
    EXPECT_EQ(items.SelectedCount(), 2);
    EXPECT_EQ(items.Selected(), &items[1]);

    items[2].SetFocused(true);
    items[4].SetFocused(true); // moves the focus
    EXPECT_FALSE(items[2].Focused());
    EXPECT_EQ(items.Focused(), &items[4]);
    ASSERT_EQ(observer.states.size(), 5u);
    EXPECT_EQ(observer.states[0].index, 1);
    EXPECT_EQ(observer.states[0].oldState, 0u);
    EXPECT_EQ(observer.states[0].newState, unsigned(lisSelected));
    EXPECT_EQ(observer.states[3].index, 2); // the old focus is cleared before the new is set
    EXPECT_EQ(observer.states[3].newState, 0u);
    EXPECT_EQ(observer.states[4].index, 4);
    EXPECT_EQ(observer.states[4].newState, unsigned(lisFocused));

    items.Delete(4); // deleting the focused, then a selected row
    EXPECT_EQ(items.Focused(), nullptr);
    items.Delete(1);
    EXPECT_EQ(items.SelectedCount(), 1);
    EXPECT_EQ(items.Selected()->Index(), 2);
}

TEST(ListItems, SortIsStableAndKeepsStatesWithTheRows)
{
    TListItems items;
    const char* keys[] = { "b", "a", "b", "a", "c", "a" };
    for (int i = 0; i < 6; ++i) {
        TListItem& item = items.Add();
        item.SetCaption(keys[i]);
        item.SubItems() << QString::number(i);
    }
    items[4].SetSelected(true);
    items[4].SetFocused(true);
    items.Sort(
        [](const TListItem& x, const TListItem& y) { return QString::compare(x.Caption(), y.Caption()); });
    QStringList order;
    for (int i = 0; i < items.Count(); ++i)
        order << items[i].Caption() + items[i].SubItems().value(0);
    EXPECT_EQ(order, (QStringList { "a1", "a3", "a5", "b0", "b2", "c4" }));
    EXPECT_EQ(items.Focused()->Index(), 5);
    EXPECT_EQ(items.Selected()->Caption(), "c");
}

TEST(ListItems, SubItemImagesIndentAndAssign)
{
    TListItems items;
    TListItem& a = items.Add();
    EXPECT_EQ(a.SubItemImage(1), -1);
    a.SetSubItemImage(3, 7);
    EXPECT_EQ(a.SubItemImage(3), 7);
    EXPECT_EQ(a.SubItemImage(2), -1);
    a.SetSubItemImage(0, 5); // not a sub-item
    a.SetSubItemImage(1 << 30, 5); // absurd: ignored, no huge allocation
    EXPECT_EQ(a.SubItemImage(0), -1);
    a.SetIndent(-4);
    EXPECT_EQ(a.Indent(), 0);

    a.SetCaption("x");
    a.SubItems() << "s1"
                 << "s2";
    a.SetImageIndex(2);
    a.SetChecked(true);
    a.SetSelected(true);
    TListItem& b = items.Add();
    b.Assign(a);
    EXPECT_EQ(b.Caption(), "x");
    EXPECT_EQ(b.SubItems(), (QStringList { "s1", "s2" }));
    EXPECT_EQ(b.ImageIndex(), 2);
    EXPECT_FALSE(b.Checked());
    EXPECT_FALSE(b.Selected());
    EXPECT_EQ(b.SubItemImage(3), -1);
}

TEST(ListColumns, ChangesNotifyAndIndexesFollowDeletes)
{
    RecordingObserver observer;
    TListColumns columns(&observer);
    columns.Add().SetCaption("A");
    columns.Add().SetCaption("B");
    columns.Add().SetCaption("C");
    const int before = observer.columnsChanged;
    columns[1].SetWidth(120);
    columns[1].SetWidth(120);
    columns[1].SetWidth(-3);
    EXPECT_EQ(columns[1].Width(), 0);
    EXPECT_EQ(observer.columnsChanged, before + 2);
    columns.Delete(0);
    columns.Delete(7);
    EXPECT_EQ(columns.Count(), 2);
    EXPECT_EQ(columns[1].Caption(), "C");
    EXPECT_EQ(columns[1].Index(), 1);
    EXPECT_EQ(columns.Column(2), nullptr);
}

TEST(ListItems, MillionRowsAddInLinearTime)
{
    TListItems items;
    items.BeginUpdate();
    for (int i = 0; i < 1000000; ++i) {
        TListItem& item = items.Add();
        item.SetCaption(QStringLiteral("r"));
    }
    items.EndUpdate();
    EXPECT_EQ(items.Count(), 1000000);
    EXPECT_EQ(items[999999].Index(), 999999);
}
