// TListCellAccessible: one cell of a list view's accessible table, addressed by row (item index)
// and display position. It reads the list each time, so it stays right while rows change; a
// cell whose row or column is gone reports itself invalid.
#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class TCustomListView;

class TListCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TListCellAccessible(TCustomListView* list, int row, int position);

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override; // screen pixels
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_position; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

private:
    int Column() const; // column index shown at the cell's position

    QPointer<TCustomListView> m_list;
    int m_row;
    int m_position;
};
