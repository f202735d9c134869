// The accessible table of the report list view, read through QAccessible as a screen reader
// reads it: shape, cells in display order, header row, selection, current cell, geometry and
// the events sent when assistive technology listens.
#include "platform/TCustomListView.h"
#include "platform/THeaderControl.h"
#include "platform/private/TListViewAccessible.h"

#include "support/TestSupport.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ClickRecordingList : public TCustomListView {
public:
    using TCustomListView::TCustomListView;
    std::vector<int> columnClicks;

protected:
    void ColumnClick(int column) override { columnClicks.push_back(column); }
};

void Fill(TCustomListView& list, int rows, int columns)
{
    for (int c = 0; c < columns; ++c) {
        TListColumn& column = list.Columns().Add();
        column.SetCaption(QString("Col %1").arg(c));
        column.SetWidth(90);
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

QAccessibleInterface* AccessibleOf(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QAccessibleTableInterface* TableOf(TCustomListView& list)
{
    QAccessibleInterface* iface = AccessibleOf(&list);
    return iface ? iface->tableInterface() : nullptr;
}

QString NameOf(QAccessibleInterface* iface)
{
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<null>");
}

class ListViewAccessible : public ::testing::Test {
protected:
    void SetUp() override
    {
        list = new ClickRecordingList(&window);
        list->setGeometry(0, 0, 400, 200);
        window.resize(400, 200);
    }
    void Show()
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget window;
    ClickRecordingList* list = nullptr;
};

TEST_F(ListViewAccessible, IsATableWhoseChildrenAreTheHeaderRowThenEveryCellRowByRow)
{
    Fill(*list, 5, 3);
    QAccessibleInterface* table = AccessibleOf(list);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    QAccessibleTableInterface* t = table->tableInterface();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rowCount(), 5);
    EXPECT_EQ(t->columnCount(), 3);
    ASSERT_EQ(table->childCount(), 1 + 5 * 3);

    QAccessibleInterface* header = table->child(0);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->object(), &list->Header());
    EXPECT_EQ(header->role(), QAccessible::Row);
    EXPECT_EQ(header->parent(), table);
    EXPECT_EQ(table->indexOfChild(header), 0);

    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 3; ++c) {
            SCOPED_TRACE(QString("row %1 column %2").arg(r).arg(c).toStdString());
            const int index = 1 + r * 3 + c;
            QAccessibleInterface* cell = table->child(index);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell, t->cellAt(r, c)); // one object per cell
            EXPECT_EQ(cell->role(), QAccessible::Cell);
            EXPECT_EQ(cell->parent(), table);
            EXPECT_EQ(table->indexOfChild(cell), index);
            EXPECT_EQ(NameOf(cell), list->CellText(r, c));
            QAccessibleTableCellInterface* ci = cell->tableCellInterface();
            ASSERT_NE(ci, nullptr);
            EXPECT_EQ(ci->rowIndex(), r);
            EXPECT_EQ(ci->columnIndex(), c);
            EXPECT_EQ(ci->table(), table);
            const QList<QAccessibleInterface*> headers = ci->columnHeaderCells();
            ASSERT_EQ(headers.size(), 1);
            EXPECT_EQ(headers[0]->role(), QAccessible::ColumnHeader);
            EXPECT_EQ(NameOf(headers[0]), QString("Col %1").arg(c));
        }
    }
    // Just outside the table on every side.
    EXPECT_EQ(table->child(-1), nullptr);
    EXPECT_EQ(table->child(1 + 5 * 3), nullptr);
    EXPECT_EQ(t->cellAt(-1, 0), nullptr);
    EXPECT_EQ(t->cellAt(5, 0), nullptr);
    EXPECT_EQ(t->cellAt(0, -1), nullptr);
    EXPECT_EQ(t->cellAt(0, 3), nullptr);
}

TEST_F(ListViewAccessible, ColumnsFollowTheDisplayOrder)
{
    Fill(*list, 3, 3);
    list->SetColumnOrder({ 2, 0, 1 });
    QAccessibleTableInterface* t = TableOf(*list);
    ASSERT_NE(t, nullptr);
    const QStringList expectedCaptions { "Col 2", "Col 0", "Col 1" };
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(t->columnDescription(p), expectedCaptions[p]);
        EXPECT_EQ(NameOf(t->cellAt(1, p)), list->CellText(1, list->ColumnAtPosition(p)));
        EXPECT_EQ(
            NameOf(t->cellAt(1, p)->tableCellInterface()->columnHeaderCells().value(0)), expectedCaptions[p]);
    }
    // Reordering again is seen by cells already handed out.
    QAccessibleInterface* first = t->cellAt(0, 0);
    list->SetColumnOrder({ 0, 1, 2 });
    EXPECT_EQ(NameOf(first), QString("Row 0"));
}

TEST_F(ListViewAccessible, CellsOfRemovedRowsOrColumnsBecomeInvalidAndNewOnesReadTheNewRows)
{
    Fill(*list, 6, 3);
    QAccessibleTableInterface* t = TableOf(*list);
    QAccessibleInterface* last = t->cellAt(5, 2);
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(last->isValid());
    EXPECT_FALSE(last->state().invalid);
    const QAccessible::Id lastId = QAccessible::uniqueId(last);

    list->Items().Delete(5);
    list->Items().Delete(0);
    EXPECT_EQ(t->rowCount(), 4);
    // The old cell object is gone or reports itself invalid; the table hands out fresh cells.
    QAccessibleInterface* stale = QAccessible::accessibleInterface(lastId);
    EXPECT_TRUE(stale == nullptr || !stale->isValid());
    EXPECT_EQ(t->cellAt(4, 0), nullptr);
    EXPECT_EQ(NameOf(t->cellAt(0, 0)), QString("Row 1"));
    EXPECT_EQ(NameOf(t->cellAt(3, 2)), QString("r4c2"));

    list->Columns().Delete(2);
    EXPECT_EQ(t->columnCount(), 2);
    EXPECT_EQ(t->cellAt(0, 2), nullptr);
    EXPECT_EQ(AccessibleOf(list)->childCount(), 1 + 4 * 2);

    list->Items().Clear();
    EXPECT_EQ(t->rowCount(), 0);
    EXPECT_EQ(AccessibleOf(list)->childCount(), 1); // the header row stays
}

TEST(ListViewAccessibleLifetime, CellsAndColumnHeadersGoWithTheirList)
{
    auto* list = new TCustomListView;
    Fill(*list, 3, 2);
    QAccessibleInterface* table = AccessibleOf(list);
    const QAccessible::Id cell = QAccessible::uniqueId(table->tableInterface()->cellAt(2, 1));
    const QAccessible::Id section = QAccessible::uniqueId(AccessibleOf(&list->Header())->child(1));
    ASSERT_NE(QAccessible::accessibleInterface(cell), nullptr);
    ASSERT_NE(QAccessible::accessibleInterface(section), nullptr);
    delete list;
    EXPECT_EQ(QAccessible::accessibleInterface(cell), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(section), nullptr);
}

TEST_F(ListViewAccessible, SelectionIsTheListsRowSelection)
{
    Fill(*list, 5, 3);
    list->SetMultiSelect(true);
    QAccessibleTableInterface* t = TableOf(*list);
    EXPECT_EQ(t->selectedRowCount(), 0);
    EXPECT_TRUE(t->selectedCells().isEmpty());

    list->Items()[1].SetSelected(true);
    list->Items()[3].SetSelected(true);
    EXPECT_EQ(t->selectedRows(), (QList<int> { 1, 3 }));
    EXPECT_EQ(t->selectedRowCount(), 2);
    EXPECT_EQ(t->selectedCellCount(), 6);
    const QList<QAccessibleInterface*> cells = t->selectedCells();
    ASSERT_EQ(cells.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(cells[i]->tableCellInterface()->rowIndex(), i < 3 ? 1 : 3);
        EXPECT_EQ(cells[i]->tableCellInterface()->columnIndex(), i % 3);
        EXPECT_TRUE(cells[i]->state().selected);
        EXPECT_TRUE(cells[i]->tableCellInterface()->isSelected());
    }
    EXPECT_FALSE(t->cellAt(2, 0)->state().selected);
    EXPECT_TRUE(t->isRowSelected(3));
    EXPECT_FALSE(t->isRowSelected(4));
    EXPECT_FALSE(t->isRowSelected(5));
    EXPECT_FALSE(t->isColumnSelected(0));
    EXPECT_TRUE(AccessibleOf(list)->state().multiSelectable);

    // Selecting through the table: with multi-select the row joins, without it it replaces.
    EXPECT_TRUE(t->selectRow(4));
    EXPECT_EQ(t->selectedRows(), (QList<int> { 1, 3, 4 }));
    EXPECT_TRUE(t->unselectRow(1));
    EXPECT_EQ(t->selectedRows(), (QList<int> { 3, 4 }));
    list->SetMultiSelect(false);
    EXPECT_TRUE(t->selectRow(0));
    EXPECT_EQ(t->selectedRows(), (QList<int> { 0 }));
    EXPECT_FALSE(t->selectRow(5));
    EXPECT_FALSE(t->selectRow(-1));
    EXPECT_FALSE(t->unselectRow(5));
    EXPECT_FALSE(t->selectColumn(0));
    EXPECT_EQ(t->selectedRows(), (QList<int> { 0 }));
}

TEST_F(ListViewAccessible, TheFocusedChildIsTheCurrentCellWhileTheListHasTheFocus)
{
    Fill(*list, 5, 3);
    Show();
    QAccessibleInterface* table = AccessibleOf(list);
    list->Items()[2].SetFocused(true);
    list->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(list->hasFocus());
    QAccessibleInterface* focused = table->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused, table->tableInterface()->cellAt(2, 0));
    EXPECT_TRUE(focused->state().focused);
    EXPECT_FALSE(table->tableInterface()->cellAt(2, 1)->state().focused);
    EXPECT_FALSE(table->tableInterface()->cellAt(1, 0)->state().focused);

    // Without a focused row there is no current cell.
    list->Items()[2].SetFocused(false);
    EXPECT_EQ(table->focusChild(), nullptr);
}

TEST_F(ListViewAccessible, CellsSitWhereTheListDrawsThemAndHitTestsFindThem)
{
    Fill(*list, 40, 3);
    list->SetCheckboxes(true);
    list->Items()[1].SetChecked(true);
    Show();
    QAccessibleTableInterface* t = TableOf(*list);
    QAccessibleInterface* table = AccessibleOf(list);

    QAccessibleInterface* cell = t->cellAt(1, 1);
    const TRect r = list->CellRect(1, 1);
    const QRect expected(
        list->viewport()->mapToGlobal(QPoint(r.left, r.top)), QSize(r.right - r.left, r.bottom - r.top));
    EXPECT_EQ(cell->rect(), expected);
    EXPECT_EQ(table->childAt(expected.center().x(), expected.center().y()), cell);
    EXPECT_FALSE(cell->state().offscreen);

    // The last row is below the viewport.
    EXPECT_TRUE(t->cellAt(39, 0)->state().offscreen);

    // Check boxes belong to the first column.
    EXPECT_TRUE(t->cellAt(1, 0)->state().checkable);
    EXPECT_TRUE(t->cellAt(1, 0)->state().checked);
    EXPECT_FALSE(t->cellAt(2, 0)->state().checked);
    EXPECT_FALSE(t->cellAt(1, 1)->state().checkable);

    // Over the header: the header row; over the rows' empty area right of the columns: nothing.
    const QRect headerRect = AccessibleOf(&list->Header())->rect();
    EXPECT_EQ(table->childAt(headerRect.left() + 5, headerRect.center().y()), table->child(0));
    const QPoint emptyArea = list->viewport()->mapToGlobal(QPoint(list->ContentWidth() + 20, 5));
    EXPECT_EQ(table->childAt(emptyArea.x(), emptyArea.y()), nullptr);
}

TEST_F(ListViewAccessible, HeaderRowHoldsTheColumnHeadersThenTheFilterFields)
{
    Fill(*list, 2, 3);
    list->SetColumnOrder({ 1, 2, 0 });
    Show();
    QAccessibleInterface* header = AccessibleOf(&list->Header());
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->childCount(), 3);
    int previousRight = -1;
    for (int p = 0; p < 3; ++p) {
        QAccessibleInterface* section = header->child(p);
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(section->role(), QAccessible::ColumnHeader);
        EXPECT_EQ(NameOf(section), QString("Col %1").arg(list->ColumnAtPosition(p)));
        EXPECT_EQ(section->parent(), header);
        EXPECT_EQ(header->indexOfChild(section), p);
        // Sections lie side by side, left to right in display order, inside the header.
        const QRect rect = section->rect();
        EXPECT_EQ(rect.width(), 90);
        EXPECT_GT(rect.left(), previousRight);
        previousRight = rect.right();
        EXPECT_TRUE(header->rect().contains(rect));
        EXPECT_EQ(header->childAt(rect.center().x(), rect.center().y()), section);
    }

    list->Header().SetStyle(list->Header().Style() | HDS_FILTERBAR);
    QApplication::processEvents();
    ASSERT_EQ(header->childCount(), 6);
    for (int p = 0; p < 3; ++p) {
        QAccessibleInterface* field = header->child(3 + p);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->object(), list->Header().FilterEdit(list->ColumnAtPosition(p)));
        EXPECT_EQ(field->role(), QAccessible::EditableText);
        EXPECT_EQ(header->indexOfChild(field), 3 + p);
    }
    EXPECT_EQ(header->child(6), nullptr);
}

TEST_F(ListViewAccessible, PressingAColumnHeaderClicksItsSection)
{
    Fill(*list, 2, 3);
    list->SetColumnOrder({ 2, 0, 1 });
    Show();
    QAccessibleInterface* section = AccessibleOf(&list->Header())->child(0);
    QAccessibleActionInterface* actions = section->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_EQ(actions->actionNames(), QStringList { QAccessibleActionInterface::pressAction() });
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(list->columnClicks, std::vector<int> { 2 });

    // A header without buttons cannot be clicked.
    list->Header().SetStyle(list->Header().Style() & ~unsigned(HDS_BUTTONS));
    EXPECT_TRUE(actions->actionNames().isEmpty());
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(list->columnClicks.size(), 1u);
}

// Qt hands events on only while assistive technology listens, which a headless test cannot
// arrange; the test records them where the list hands them to Qt.
class ListViewAccessibleEvents : public ListViewAccessible {
protected:
    struct Event {
        QAccessible::Event type;
        QAccessibleInterface* iface;
        int modelChange;
    };
    static std::vector<Event>& Recorded()
    {
        static std::vector<Event> events;
        return events;
    }
    static void Record(QAccessibleEvent* event)
    {
        int change = -1;
        if (event->type() == QAccessible::TableModelChanged)
            change = static_cast<QAccessibleTableModelChangeEvent*>(event)->modelChangeType();
        Recorded().push_back({ event->type(), event->accessibleInterface(), change });
    }
    void SetUp() override
    {
        ListViewAccessible::SetUp();
        TListViewAccessible::SetEventSink(Record);
        Recorded().clear();
    }
    void TearDown() override { TListViewAccessible::SetEventSink(nullptr); }
    int Count(QAccessible::Event type) const
    {
        return int(std::count_if(
            Recorded().begin(), Recorded().end(), [type](const Event& e) { return e.type == type; }));
    }
};

TEST_F(ListViewAccessibleEvents, SelectionAndCurrentCellChangesAreAnnouncedOncePerTurnOfTheEventLoop)
{
    Fill(*list, 30, 3);
    Show();
    list->setFocus();
    QApplication::processEvents();
    QAccessibleInterface* table = AccessibleOf(list);
    Recorded().clear();

    // Many changes in one go: one selection event, one focus event for the final current cell.
    list->SetMultiSelect(true);
    list->SelectRange(0, 19);
    list->Items()[7].SetFocused(true);
    EXPECT_EQ(Count(QAccessible::SelectionWithin), 0) << "nothing before the event loop runs";
    QApplication::processEvents();
    EXPECT_EQ(Count(QAccessible::SelectionWithin), 1);
    ASSERT_EQ(Count(QAccessible::Focus), 1);
    const auto focus = std::find_if(
        Recorded().begin(), Recorded().end(), [](const Event& e) { return e.type == QAccessible::Focus; });
    EXPECT_EQ(focus->iface, table->tableInterface()->cellAt(7, 0));

    // The same current cell again is not announced again.
    Recorded().clear();
    list->Items()[3].SetSelected(false);
    QApplication::processEvents();
    EXPECT_EQ(Count(QAccessible::SelectionWithin), 1);
    EXPECT_EQ(Count(QAccessible::Focus), 0);
}

TEST_F(ListViewAccessibleEvents, RowsComingOrGoingResetTheTableAndEditsOnlyRefreshIt)
{
    Fill(*list, 4, 2);
    QAccessibleTableInterface* t = TableOf(*list);
    QAccessibleInterface* cell = t->cellAt(3, 1);
    const QAccessible::Id id = QAccessible::uniqueId(cell);
    QApplication::processEvents();
    Recorded().clear();

    list->Items()[0].SetCaption("Edited");
    QApplication::processEvents();
    EXPECT_EQ(Count(QAccessible::TableModelChanged), 0);
    EXPECT_EQ(Count(QAccessible::VisibleDataChanged), 1);
    EXPECT_EQ(QAccessible::accessibleInterface(id), cell) << "an edit keeps the cells";

    Recorded().clear();
    list->Items().Add().SetCaption("New");
    list->Items().Add().SetCaption("Newer");
    QApplication::processEvents();
    ASSERT_EQ(Count(QAccessible::TableModelChanged), 1);
    const auto reset = std::find_if(Recorded().begin(), Recorded().end(),
        [](const Event& e) { return e.type == QAccessible::TableModelChanged; });
    EXPECT_EQ(reset->modelChange, int(QAccessibleTableModelChangeEvent::ModelReset));
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr) << "the cells were made again";
    EXPECT_EQ(NameOf(t->cellAt(5, 0)), QString("Newer"));
}

} // namespace
