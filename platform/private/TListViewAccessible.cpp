#include "platform/private/TListViewAccessible.h"

#include "platform/TCustomListView.h"
#include "platform/THeaderControl.h"
#include "platform/private/THeaderAccessible.h"
#include "platform/private/TListCellAccessible.h"

#include <QPointer>
#include <QTimer>

namespace {

QAccessibleInterface* CreateAccessible(const QString&, QObject* object)
{
    if (auto* list = qobject_cast<TCustomListView*>(object))
        return new TListViewAccessible(list);
    if (auto* header = qobject_cast<THeaderControl*>(object))
        return new THeaderAccessible(header);
    return nullptr;
}

// The cache may have deleted an interface already: it empties itself at exit in any order.
void Unregister(QAccessible::Id id)
{
    if (QAccessible::accessibleInterface(id))
        QAccessible::deleteAccessibleInterface(id);
}

quint64 CellKey(int row, int position)
{
    return (quint64(quint32(row)) << 32) | quint32(position);
}

TListViewAccessible::TEventSink& EventSink()
{
    static TListViewAccessible::TEventSink sink;
    return sink;
}

TListViewAccessible* AccessibleOf(TCustomListView& list)
{
    return dynamic_cast<TListViewAccessible*>(QAccessible::queryAccessibleInterface(&list));
}

} // namespace

TListViewAccessible::TListViewAccessible(TCustomListView* list)
    : QAccessibleWidget(list, QAccessible::Table)
{
    m_cellRows = list->Items().Count();
    m_cellColumns = list->Columns().Count();
}

TListViewAccessible::~TListViewAccessible()
{
    // The cache deletes this interface from the widget's destroyed() signal, when the list part
    // of the widget is already gone: only the cells are released, nothing of the list is read.
    for (QAccessible::Id id : std::as_const(m_cells))
        Unregister(id);
}

void TListViewAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(CreateAccessible);
        return true;
    }();
    (void)installed;
}

TCustomListView* TListViewAccessible::List() const
{
    return static_cast<TCustomListView*>(widget());
}

THeaderAccessible* TListViewAccessible::Header() const
{
    return dynamic_cast<THeaderAccessible*>(QAccessible::queryAccessibleInterface(&List()->Header()));
}

int TListViewAccessible::CurrentPosition() const
{
    if (List()->Columns().Count() == 0)
        return -1;
    return std::max(0, List()->PositionOfColumn(List()->CurrentColumn()));
}

// ---- change notifications ----------------------------------------------------------------------

void TListViewAccessible::ItemsChanged(TCustomListView& list)
{
    Schedule(list, pModel | pSelection | pCurrent);
}

void TListViewAccessible::ColumnsChanged(TCustomListView& list)
{
    Schedule(list, pModel | pCurrent);
}

void TListViewAccessible::SelectionOrCurrentChanged(TCustomListView& list)
{
    Schedule(list, pSelection | pCurrent);
}

void TListViewAccessible::SetEventSink(TEventSink sink)
{
    EventSink() = std::move(sink);
}

bool TListViewAccessible::Listening()
{
    return EventSink() || QAccessible::isActive();
}

void TListViewAccessible::Send(QAccessibleEvent* event)
{
    if (EventSink())
        EventSink()(event);
    else
        QAccessible::updateAccessibility(event);
}

void TListViewAccessible::Schedule(TCustomListView& list, unsigned what)
{
    if (!Listening())
        return;
    TListViewAccessible* self = AccessibleOf(list);
    if (!self)
        return;
    const bool idle = self->m_pending == 0;
    self->m_pending |= what;
    if (!idle)
        return;
    QPointer<TCustomListView> guard(&list);
    QTimer::singleShot(0, &list, [guard] {
        if (!guard)
            return;
        if (TListViewAccessible* accessible = AccessibleOf(*guard))
            accessible->Flush();
    });
}

void TListViewAccessible::Flush()
{
    const unsigned pending = m_pending;
    m_pending = 0;
    TCustomListView* list = List();
    if (pending & pModel) {
        if (list->Items().Count() != m_cellRows || list->Columns().Count() != m_cellColumns) {
            QAccessibleTableModelChangeEvent reset(list, QAccessibleTableModelChangeEvent::ModelReset);
            Send(&reset);
            ForgetCells(); // also when no one forwarded the reset to modelChange
        } else {
            QAccessibleEvent changed(list, QAccessible::VisibleDataChanged);
            Send(&changed);
        }
    }
    if (pending & pSelection) {
        QAccessibleEvent selection(list, QAccessible::SelectionWithin);
        Send(&selection);
    }
    if (pending & pCurrent) {
        const int row = list->FocusedIndex();
        const int position = CurrentPosition();
        if (row != m_announcedRow || position != m_announcedPosition) {
            m_announcedRow = row;
            m_announcedPosition = position;
            if (list->hasFocus() && row >= 0 && position >= 0) {
                QAccessibleEvent focus(cellAt(row, position), QAccessible::Focus);
                Send(&focus);
            }
        }
    }
}

void TListViewAccessible::modelChange(QAccessibleTableModelChangeEvent*)
{
    ForgetCells();
}

void TListViewAccessible::ForgetCells() const
{
    for (QAccessible::Id id : std::as_const(m_cells))
        Unregister(id);
    m_cells.clear();
    if (widget()) {
        m_cellRows = List()->Items().Count();
        m_cellColumns = List()->Columns().Count();
    }
}

void TListViewAccessible::ForgetCellsIfReshaped() const
{
    if (List()->Items().Count() != m_cellRows || List()->Columns().Count() != m_cellColumns)
        ForgetCells();
}

// ---- the tree ------------------------------------------------------------------------------------

QAccessible::State TListViewAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.multiSelectable = List()->MultiSelect();
    s.selectable = true;
    return s;
}

int TListViewAccessible::childCount() const
{
    const qint64 cells = qint64(rowCount()) * columnCount();
    return int(std::min<qint64>(1 + cells, std::numeric_limits<int>::max()));
}

QAccessibleInterface* TListViewAccessible::child(int index) const
{
    if (index == 0)
        return Header();
    const int columns = columnCount();
    if (index < 1 || columns == 0)
        return nullptr;
    return cellAt((index - 1) / columns, (index - 1) % columns);
}

int TListViewAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child)
        return -1;
    if (child == Header())
        return 0;
    if (child->role() != QAccessible::Cell || child->parent() != this)
        return -1;
    const auto* cell = dynamic_cast<const TListCellAccessible*>(child);
    if (!cell || !cell->isValid())
        return -1;
    return 1 + cell->rowIndex() * columnCount() + cell->columnIndex();
}

QAccessibleInterface* TListViewAccessible::childAt(int x, int y) const
{
    TCustomListView* list = List();
    const QPoint global(x, y);
    THeaderControl& header = list->Header();
    if (header.isVisible() && header.rect().contains(header.mapFromGlobal(global)))
        return Header();
    const QPoint client = list->viewport()->mapFromGlobal(global);
    if (!list->viewport()->rect().contains(client))
        return nullptr;
    int item = -1, column = -1;
    if (!list->SubItemHitTest(TPoint { client.x(), client.y() }, item, column) || item < 0)
        return nullptr;
    return cellAt(item, list->PositionOfColumn(column));
}

QAccessibleInterface* TListViewAccessible::focusChild() const
{
    TCustomListView* list = List();
    if (!list->hasFocus())
        return QAccessibleWidget::focusChild(); // an editor or filter field may hold the focus
    const int row = list->FocusedIndex();
    const int position = CurrentPosition();
    if (row < 0 || position < 0)
        return nullptr;
    return cellAt(row, position);
}

void* TListViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

// ---- the table -----------------------------------------------------------------------------------

int TListViewAccessible::rowCount() const
{
    return List()->Items().Count();
}

int TListViewAccessible::columnCount() const
{
    return List()->Columns().Count();
}

QAccessibleInterface* TListViewAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    ForgetCellsIfReshaped();
    const quint64 key = CellKey(row, column);
    auto found = m_cells.constFind(key);
    if (found != m_cells.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* cell = new TListCellAccessible(List(), row, column);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QString TListViewAccessible::columnDescription(int column) const
{
    if (column < 0 || column >= columnCount())
        return {};
    return List()->DisplayText(-1, List()->ColumnAtPosition(column));
}

int TListViewAccessible::selectedRowCount() const
{
    return List()->Items().SelectedCount();
}

QList<int> TListViewAccessible::selectedRows() const
{
    QList<int> rows;
    const TListItems& items = List()->Items();
    const int wanted = items.SelectedCount();
    for (int i = 0; i < items.Count() && rows.size() < wanted; ++i)
        if (items[i].Selected())
            rows << i;
    return rows;
}

int TListViewAccessible::selectedCellCount() const
{
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> TListViewAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    const int columns = columnCount();
    for (int row : selectedRows())
        for (int position = 0; position < columns; ++position)
            cells << cellAt(row, position);
    return cells;
}

bool TListViewAccessible::isRowSelected(int row) const
{
    const TListItem* item = List()->Items().Item(row);
    return item && item->Selected();
}

bool TListViewAccessible::selectRow(int row)
{
    TListItem* item = List()->Items().Item(row);
    if (!item)
        return false;
    if (!List()->MultiSelect())
        List()->ClearSelection();
    item->SetSelected(true);
    return true;
}

bool TListViewAccessible::unselectRow(int row)
{
    TListItem* item = List()->Items().Item(row);
    if (!item)
        return false;
    item->SetSelected(false);
    return true;
}
