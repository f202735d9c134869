#include "platform/private/TListCellAccessible.h"

#include "platform/TCustomListView.h"
#include "platform/private/THeaderAccessible.h"
#include "platform/private/TListViewAccessible.h"

#include <QWidget>
#include <QWindow>

TListCellAccessible::TListCellAccessible(TCustomListView* list, int row, int position)
    : m_list(list)
    , m_row(row)
    , m_position(position)
{ }

bool TListCellAccessible::isValid() const
{
    return m_list && m_row >= 0 && m_row < m_list->Items().Count() && m_position >= 0
        && m_position < m_list->Columns().Count();
}

int TListCellAccessible::Column() const
{
    return m_list ? m_list->ColumnAtPosition(m_position) : -1;
}

QWindow* TListCellAccessible::window() const
{
    return m_list ? m_list->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TListCellAccessible::parent() const
{
    return m_list ? QAccessible::queryAccessibleInterface(m_list.data()) : nullptr;
}

QAccessibleInterface* TListCellAccessible::table() const
{
    return parent();
}

QString TListCellAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !isValid())
        return {};
    return m_list->DisplayText(m_row, Column());
}

QRect TListCellAccessible::rect() const
{
    if (!isValid() || !m_list->HandleAllocated())
        return {};
    const TRect r = m_list->CellRect(m_row, Column());
    const QRect local(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    return QRect(m_list->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State TListCellAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    const TListItem& item = m_list->Items()[m_row];
    s.selectable = true;
    s.selected = item.Selected();
    s.focusable = true;
    s.focused = m_list->hasFocus() && item.Focused() && Column() == m_list->CurrentColumn();
    if (Column() == 0 && m_list->Checkboxes()) {
        s.checkable = true;
        s.checked = item.Checked();
    }
    const TRect r = m_list->CellRect(m_row, Column());
    const QRect local(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    if (!m_list->isVisible() || !m_list->viewport()->rect().intersects(local)) {
        s.invisible = true;
        s.offscreen = true;
    }
    return s;
}

void* TListCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool TListCellAccessible::isSelected() const
{
    return isValid() && m_list->Items()[m_row].Selected();
}

QList<QAccessibleInterface*> TListCellAccessible::columnHeaderCells() const
{
    auto* table = dynamic_cast<TListViewAccessible*>(parent());
    THeaderAccessible* header = table ? table->Header() : nullptr;
    QAccessibleInterface* section = header ? header->Section(m_position) : nullptr;
    if (!section)
        return {};
    return { section };
}
