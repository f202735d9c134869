#include "platform/TListItems.h"

#include "support/LimitedChild.h"

#include <QElapsedTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <random>
#include <vector>

namespace {

struct RecordingObserver : TListModelObserver {
    int itemsChanged = 0;
    int columnsChanged = 0;
    int updatesEnded = 0;
    QStringList columnEvents; // structural column changes in the order they arrive
    struct Change {
        int index;
        unsigned oldState;
        unsigned newState;
    };
    std::vector<Change> states;
    void ItemsChanged() override { ++itemsChanged; }
    void ColumnChanged(int) override { ++columnsChanged; }
    void ColumnInserted(int index) override { columnEvents << QString("insert %1").arg(index); }
    void ColumnRemoved(int index, const TListColumn& column) override
    {
        columnEvents << QString("remove %1 %2").arg(index).arg(column.Caption());
    }
    void ColumnsCleared() override { columnEvents << "clear"; }
    void UpdateEnded() override { ++updatesEnded; }
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

TEST(ListColumns, InsertDeleteAndClearKeepIndexesWidthsAndReportEachChange)
{
    RecordingObserver observer;
    TListColumns columns(&observer);
    for (const char* caption : { "A", "B", "C" })
        columns.Add().SetCaption(caption);
    columns[0].SetWidth(10);
    TListColumn& b = columns[1];
    TListColumn& x = columns.Insert(1);
    x.SetCaption("X");
    columns.Insert(-4).SetCaption("first"); // clamped to the front
    columns.Insert(99).SetCaption("last"); // clamped to the end
    QStringList captions;
    for (int c = 0; c < columns.Count(); ++c) {
        captions << columns[c].Caption();
        EXPECT_EQ(columns[c].Index(), c);
    }
    EXPECT_EQ(captions, QStringList({ "first", "A", "X", "B", "C", "last" }));
    EXPECT_EQ(&columns[3], &b); // references stay valid
    EXPECT_EQ(columns.TotalWidth(), 10 + 5 * 50);

    columns.Delete(2);
    EXPECT_EQ(columns[2].Caption(), "B");
    EXPECT_EQ(b.Index(), 2);
    columns[2].SetWidth(7);
    EXPECT_EQ(columns.TotalWidth(), 10 + 7 + 3 * 50);
    columns.Delete(-1); // out of range: nothing
    columns.Delete(5);
    EXPECT_EQ(columns.Count(), 5);
    columns.Clear();
    EXPECT_EQ(columns.TotalWidth(), 0);
    columns.Clear(); // already empty: no report
    EXPECT_EQ(observer.columnEvents,
        QStringList({ "insert 0", "insert 1", "insert 2", "insert 1", "insert 0", "insert 5", "remove 2 X",
            "clear" }));
}

TEST(ListColumns, UpdateBracketsEndOnceForRowsAndColumns)
{
    RecordingObserver observer;
    TListColumns columns(&observer);
    TListItems items(&observer);
    columns.BeginUpdate();
    columns.BeginUpdate();
    EXPECT_TRUE(columns.Updating());
    columns.Add();
    columns.EndUpdate();
    EXPECT_EQ(observer.updatesEnded, 0);
    columns.EndUpdate();
    EXPECT_FALSE(columns.Updating());
    EXPECT_EQ(observer.updatesEnded, 1);
    columns.EndUpdate(); // unbalanced: nothing
    EXPECT_EQ(observer.updatesEnded, 1);
    items.BeginUpdate();
    items.EndUpdate();
    EXPECT_EQ(observer.updatesEnded, 2);
    EXPECT_EQ(observer.columnEvents, QStringList({ "insert 0" })); // structure is reported at once
}

TEST(ListColumns, SixteenThousandColumnsAddInsertAndDeleteInLinearTime)
{
    // Every change is bookkept in constant time (apart from moving the column pointers), so
    // tens of thousands of changes take milliseconds; a limit far above that cannot flake.
    RecordingObserver observer;
    TListColumns columns(&observer);
    QElapsedTimer timer;
    timer.start();
    for (int c = 0; c < 16000; ++c)
        columns.Add();
    for (int c = 0; c < 16000; ++c)
        columns.Insert(0);
    EXPECT_EQ(columns[31999].Index(), 31999);
    for (int c = 0; c < 16000; ++c)
        columns.Delete(0);
    // The sanitizers check every byte the column pointers move.
    EXPECT_LT(timer.elapsed(), orvtest::SanitizedBuild() ? 40000 : 2000);
    EXPECT_EQ(columns.Count(), 16000);
    EXPECT_EQ(columns.TotalWidth(), 16000 * 50);
    EXPECT_EQ(observer.columnEvents.size(), 48000);
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

TEST(ListItems, RowsTakenOutMoveToAnotherListWithEverythingTheyCarry)
{
    RecordingObserver fromObserver, toObserver;
    TListItems from(&fromObserver), to(&toObserver);
    for (int i = 0; i < 40; ++i) {
        TListItem& item = from.Add();
        item.SetCaption(QString("r%1").arg(i));
        item.SubItems() << QString("s%1").arg(i);
        item.SetChecked(i % 3 == 0);
        item.SetImageIndex(i);
        item.SetSubItemImage(1, 100 + i);
        item.SetIndent(i % 4);
    }
    from[5].SetSelected(true);
    from[6].SetSelected(true);
    from[7].SetFocused(true);
    TListItem* seventh = &from[7];
    to.Add().SetCaption("own");
    to[0].SetFocused(true);

    const int changesBefore = fromObserver.itemsChanged;
    auto rows = from.TakeAll();
    EXPECT_EQ(from.Count(), 0);
    EXPECT_EQ(from.SelectedCount(), 0);
    EXPECT_EQ(from.Focused(), nullptr);
    EXPECT_EQ(fromObserver.itemsChanged, changesBefore + 1);
    // A taken row belongs to no list: changing it tells nobody.
    rows[0]->SetCaption("r0");
    rows[1]->SetSelected(false);
    EXPECT_EQ(fromObserver.itemsChanged, changesBefore + 1);
    EXPECT_EQ(rows[0]->Owner(), nullptr);

    const int toBefore = toObserver.itemsChanged;
    to.AppendTaken(std::move(rows));
    EXPECT_EQ(toObserver.itemsChanged, toBefore + 1); // one change for the lot
    ASSERT_EQ(to.Count(), 41);
    EXPECT_EQ(&to[8], seventh); // the very same row, not a copy
    for (int i = 0; i < 40; ++i) {
        const TListItem& item = to[i + 1];
        SCOPED_TRACE(i);
        EXPECT_EQ(item.Index(), i + 1);
        EXPECT_EQ(item.Owner(), &to);
        EXPECT_EQ(item.Caption(), QString("r%1").arg(i));
        EXPECT_EQ(item.SubItems(), QStringList { QString("s%1").arg(i) });
        EXPECT_EQ(item.Checked(), i % 3 == 0);
        EXPECT_EQ(item.ImageIndex(), i);
        EXPECT_EQ(item.SubItemImage(1), 100 + i);
        EXPECT_EQ(item.Indent(), i % 4);
    }
    EXPECT_EQ(to.SelectedCount(), 2);
    // One focused row per list: the one that was here keeps the focus.
    EXPECT_EQ(to.Focused(), &to[0]);
    EXPECT_FALSE(to[8].Focused());
    // State changes of moved rows now reach the new list.
    to[20].SetSelected(true);
    EXPECT_EQ(to.SelectedCount(), 3);
    ASSERT_FALSE(toObserver.states.empty());
    EXPECT_EQ(toObserver.states.back().index, 20);

    // Into an empty list the focus comes along; nothing to add changes nothing.
    TListItems third;
    third.AppendTaken(to.TakeAll());
    EXPECT_EQ(third.Count(), 41);
    EXPECT_EQ(third.Focused(), &third[0]);
    const int quiet = toObserver.itemsChanged;
    to.AppendTaken({});
    EXPECT_EQ(toObserver.itemsChanged, quiet);
}

TEST(ListItems, RowsKeepTheirAddressesIndexesAndVisitsThroughMixedEdits)
{
    // Random adds, inserts, deletes, selection deletes, reorders and clears against a plain
    // vector of row ids, over several pool blocks: every surviving row keeps its address, knows
    // its index, and the storage walk visits each row exactly once.
    TListItems items;
    std::vector<int> model; // row ids in index order
    std::map<int, TListItem*> address;
    std::mt19937 rng(11);
    int nextId = 0;
    auto check = [&](int step) {
        ASSERT_EQ(items.Count(), int(model.size())) << step;
        for (int i = 0; i < items.Count(); ++i) {
            ASSERT_EQ(items[i].Caption(), QString::number(model[size_t(i)])) << step;
            ASSERT_EQ(&items[i], address[model[size_t(i)]]) << step;
            ASSERT_EQ(items[i].Index(), i) << step;
        }
        std::vector<int> visits(model.size(), 0);
        items.ForEachStored([&](const TListItem& row) { ++visits[size_t(row.Index())]; });
        ASSERT_EQ(std::count(visits.begin(), visits.end(), 1), qsizetype(model.size())) << step;
    };
    for (int step = 0; step < 3000; ++step) {
        const int op = int(rng() % 100);
        if (op < 45 || model.empty()) {
            const int rows = 1 + int(rng() % 40);
            for (int k = 0; k < rows; ++k) {
                const bool insert = rng() % 2 && !model.empty();
                const int at = insert ? int(rng() % (model.size() + 1)) : int(model.size());
                TListItem& row = insert ? items.Insert(at) : items.Add();
                row.SetCaption(QString::number(nextId));
                row.SubItems() << QStringLiteral("sub");
                address[nextId] = &row;
                model.insert(model.begin() + at, nextId++);
            }
        } else if (op < 75) {
            const int at = int(rng() % model.size());
            items.Delete(at);
            address.erase(model[size_t(at)]);
            model.erase(model.begin() + at);
        } else if (op < 85) {
            std::vector<int> kept;
            for (size_t i = 0; i < model.size(); ++i) {
                const bool pick = rng() % 4 == 0;
                items[int(i)].SetSelected(pick);
                if (pick)
                    address.erase(model[i]);
                else
                    kept.push_back(model[i]);
            }
            items.DeleteSelected();
            model = kept;
        } else if (op < 90) {
            // Out whole into a list that has a row of its own, and back into this emptied one.
            TListItems other;
            other.Add().SetCaption(QStringLiteral("other"));
            other.AppendTaken(items.TakeAll());
            ASSERT_EQ(items.Count(), 0);
            items.AppendTaken(other.TakeAll());
            items.Delete(0);
        } else if (op < 98) {
            std::vector<int> order(model.size());
            std::iota(order.begin(), order.end(), 0);
            std::shuffle(order.begin(), order.end(), rng);
            items.ApplyOrder(order);
            std::vector<int> next;
            for (int from : order)
                next.push_back(model[size_t(from)]);
            model = next;
        } else {
            items.Clear();
            model.clear();
            address.clear();
        }
        check(step);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

TEST(ListItems, AnOrderThatIsNoPermutationChangesNothing)
{
    TListItems items;
    for (int i = 0; i < 5; ++i)
        items.Add().SetCaption(QString::number(i));
    const std::vector<std::vector<int>> bad
        = { { 0, 1, 2, 3 }, { 0, 1, 2, 3, 3 }, { 4, 3, 2, 1, 5 }, { -1, 0, 1, 2, 3 }, { 1, 1, 1, 1, 1 } };
    for (const std::vector<int>& order : bad) {
        items.ApplyOrder(order);
        EXPECT_EQ(Captions(items), (QStringList { "0", "1", "2", "3", "4" }));
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(items[i].Index(), i);
    }
    items.ApplyOrder({ 4, 3, 2, 1, 0 });
    EXPECT_EQ(Captions(items), (QStringList { "4", "3", "2", "1", "0" }));
    EXPECT_EQ(items[0].Index(), 0);
}
