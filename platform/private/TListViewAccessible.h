// TListViewAccessible: what assistive technology (a screen reader) finds of a report list view:
// a table whose rows are the items and whose columns are the list's columns in display order.
// Child 0 is the header row; cell (row, column) is child 1 + row * columnCount() + column.
// Cells read the text the list shows, selection is the list's row selection and the focused
// child is the current cell.
#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <functional>

class TCustomListView;
class THeaderAccessible;

class TListViewAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TListViewAccessible(TCustomListView* list);
    ~TListViewAccessible() override;

    // Makes list views and their headers answer accessibility queries through these classes.
    static void Install();

    // Changes the list reports. Nothing happens unless assistive technology is listening; the
    // events then go out once per turn of the event loop, however many changes came in it.
    static void ItemsChanged(TCustomListView& list);
    static void ColumnsChanged(TCustomListView& list);
    static void SelectionOrCurrentChanged(TCustomListView& list);

    // Where the events go: to Qt, which hands them to assistive technology while one listens.
    // A test installs a recorder instead; while one is installed, events are always made.
    using TEventSink = std::function<void(QAccessibleEvent*)>;
    static void SetEventSink(TEventSink sink);

    TCustomListView* List() const;
    THeaderAccessible* Header() const;
    // Display position of the current cell's column, -1 when there are no columns.
    int CurrentPosition() const;

    // QAccessibleInterface
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; } // the list selects rows only
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    enum TPending : unsigned { pModel = 0x1, pSelection = 0x2, pCurrent = 0x4 };
    static void Schedule(TCustomListView& list, unsigned what);
    static bool Listening();
    static void Send(QAccessibleEvent* event);
    void Flush();
    void ForgetCells() const;
    void ForgetCellsIfReshaped() const; // rows or columns came or went since the cells were made

    mutable QHash<quint64, QAccessible::Id> m_cells; // (row << 32 | position) -> registered cell
    mutable int m_cellRows = 0; // row and column count when the cached cells were made
    mutable int m_cellColumns = 0;
    unsigned m_pending = 0;
    int m_announcedRow = -1; // current cell last reported with a focus event
    int m_announcedPosition = -1;
};
