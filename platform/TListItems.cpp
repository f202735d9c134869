#include "platform/TListItems.h"

#include <algorithm>

// ---- TListItem ------------------------------------------------------------------------------

static unsigned StateOf(bool selected, bool focused)
{
    return (selected ? unsigned(lisSelected) : 0u) | (focused ? unsigned(lisFocused) : 0u);
}

void TListItem::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    if (m_owner)
        m_owner->Changed();
}

void TListItem::SetImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    if (m_owner)
        m_owner->Changed();
}

void TListItem::SetChecked(bool checked)
{
    if (checked == m_checked)
        return;
    m_checked = checked;
    if (m_owner)
        m_owner->Changed();
}

void TListItem::SetSelected(bool selected)
{
    if (selected == m_selected)
        return;
    const unsigned old = StateOf(m_selected, m_focused);
    m_selected = selected;
    if (m_owner) {
        m_owner->m_selectedCount += selected ? 1 : -1;
        m_owner->StateChanged(*this, old);
    }
}

void TListItem::SetFocused(bool focused)
{
    if (focused == m_focused)
        return;
    if (!m_owner) {
        m_focused = focused;
        return;
    }
    if (focused && m_owner->m_focusedItem && m_owner->m_focusedItem != this)
        m_owner->m_focusedItem->SetFocused(false);
    const unsigned old = StateOf(m_selected, m_focused);
    m_focused = focused;
    m_owner->m_focusedItem = focused ? this : nullptr;
    m_owner->StateChanged(*this, old);
}

void TListItem::SetState(bool selected, bool focused)
{
    if (selected == m_selected && focused == m_focused)
        return;
    if (!m_owner) {
        m_selected = selected;
        m_focused = focused;
        return;
    }
    if (focused && m_owner->m_focusedItem && m_owner->m_focusedItem != this)
        m_owner->m_focusedItem->SetFocused(false);
    const unsigned old = StateOf(m_selected, m_focused);
    if (selected != m_selected)
        m_owner->m_selectedCount += selected ? 1 : -1;
    m_selected = selected;
    m_focused = focused;
    if (focused)
        m_owner->m_focusedItem = this;
    else if (m_owner->m_focusedItem == this)
        m_owner->m_focusedItem = nullptr;
    m_owner->StateChanged(*this, old);
}

void TListItem::SetIndent(int indent)
{
    const short value = short(std::clamp(indent, 0, 0x7FFF));
    if (value == m_indent)
        return;
    m_indent = value;
    if (m_owner)
        m_owner->Changed();
}

int TListItem::SubItemImage(int sub) const
{
    if (!m_subImages || sub < 1 || sub > int(m_subImages->size()))
        return -1;
    return (*m_subImages)[size_t(sub - 1)];
}

void TListItem::SetSubItemImage(int sub, int image)
{
    // Sub-item numbers come from callers and files; a huge one must not allocate gigabytes.
    if (sub < 1 || sub > 0xFFFF)
        return;
    if (!m_subImages) {
        if (image < 0)
            return;
        m_subImages = std::make_unique<std::vector<int>>();
    }
    if (int(m_subImages->size()) < sub)
        m_subImages->resize(size_t(sub), -1);
    if ((*m_subImages)[size_t(sub - 1)] == image)
        return;
    (*m_subImages)[size_t(sub - 1)] = image;
    if (m_owner)
        m_owner->Changed();
}

int TListItem::Index() const
{
    return m_index;
}

void TListItem::Assign(const TListItem& other)
{
    if (&other == this)
        return;
    m_caption = other.m_caption;
    m_data = other.m_data;
    m_imageIndex = other.m_imageIndex;
    m_overlayIndex = other.m_overlayIndex;
    m_stateIndex = other.m_stateIndex;
    m_subItems = other.m_subItems;
    if (m_owner)
        m_owner->Changed();
}

// ---- TListItems -----------------------------------------------------------------------------

TListItems::TListItems(TListModelObserver* observer)
    : m_observer(observer)
{ }

TListItems::~TListItems() = default;

TListItem* TListItems::NewRow()
{
    TListItem* item;
    if (!m_freeSlots.empty()) {
        item = m_freeSlots.back();
        m_freeSlots.pop_back();
    } else {
        if (m_lastBlockUsed == kBlockRows) {
            m_blocks.push_back(std::make_unique<TListItem[]>(size_t(kBlockRows)));
            m_lastBlockUsed = 0;
        }
        item = &m_blocks.back()[size_t(m_lastBlockUsed++)];
    }
    item->m_owner = this;
    item->m_stored = true;
    return item;
}

void TListItems::ReleaseRow(TListItem* item)
{
    *item = TListItem(); // frees the texts and images; the slot is no longer stored
    m_freeSlots.push_back(item);
}

TListItem& TListItems::Add()
{
    TListItem* item = NewRow();
    item->m_index = Count();
    m_items.push_back(item);
    Changed();
    return *item;
}

TListItem& TListItems::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    TListItem* item = NewRow();
    m_items.insert(m_items.begin() + index, item);
    Renumber(index);
    Changed();
    return *item;
}

void TListItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    TListItem* item = m_items[size_t(index)];
    if (m_focusedItem == item)
        m_focusedItem = nullptr;
    if (item->m_selected)
        --m_selectedCount;
    m_items.erase(m_items.begin() + index);
    ReleaseRow(item);
    if (m_items.empty())
        Clear();
    Renumber(index);
    Changed();
}

int TListItems::DeleteSelected()
{
    if (m_selectedCount == 0)
        return 0;
    const size_t before = m_items.size();
    if (m_focusedItem && m_focusedItem->m_selected)
        m_focusedItem = nullptr;
    size_t kept = 0;
    for (TListItem* item : m_items) {
        if (item->m_selected)
            ReleaseRow(item);
        else
            m_items[kept++] = item;
    }
    m_items.resize(kept);
    m_selectedCount = 0;
    if (m_items.empty())
        Clear();
    Renumber(0);
    Changed();
    return int(before - m_items.size());
}

void TListItems::Clear()
{
    if (m_blocks.empty())
        return;
    const bool hadRows = !m_items.empty();
    m_items.clear();
    m_items.shrink_to_fit();
    m_blocks.clear();
    m_freeSlots.clear();
    m_freeSlots.shrink_to_fit();
    m_lastBlockUsed = kBlockRows;
    m_focusedItem = nullptr;
    m_selectedCount = 0;
    if (hadRows)
        Changed();
}

void TListItems::ApplyOrder(const std::vector<int>& order)
{
    const size_t n = m_items.size();
    if (order.size() != n)
        return;
    // newIndex[i] is where the row now at i goes; building it also proves `order` a permutation.
    std::vector<int> newIndex(n, -1);
    for (size_t i = 0; i < n; ++i) {
        const int from = order[i];
        if (from < 0 || size_t(from) >= n || newIndex[size_t(from)] >= 0)
            return;
        newIndex[size_t(from)] = int(i);
    }
    std::vector<TListItem*> sorted(n);
    for (size_t i = 0; i < n; ++i)
        sorted[i] = m_items[size_t(order[i])];
    m_items = std::move(sorted);
    // Renumbered in memory order: after a sort the index order jumps all over the pools.
    for (const std::unique_ptr<TListItem[]>& block : m_blocks) {
        const int used = &block == &m_blocks.back() ? m_lastBlockUsed : kBlockRows;
        for (int i = 0; i < used; ++i) {
            TListItem& item = block[size_t(i)];
            if (item.m_stored)
                item.m_index = newIndex[size_t(item.m_index)];
        }
    }
    Changed();
}

TListItems::TTakenRows TListItems::TakeAll()
{
    TTakenRows taken;
    taken.m_rows.swap(m_items);
    taken.m_blocks.swap(m_blocks);
    taken.m_freeSlots.swap(m_freeSlots);
    taken.m_lastBlockUsed = m_lastBlockUsed;
    m_lastBlockUsed = kBlockRows;
    m_focusedItem = nullptr;
    m_selectedCount = 0;
    for (TListItem* row : taken.m_rows) {
        row->m_owner = nullptr; // its state changes concern no list until it is added to one
        row->m_index = -1;
    }
    if (!taken.m_rows.empty())
        Changed();
    return taken;
}

void TListItems::AppendTaken(TTakenRows rows)
{
    if (rows.m_rows.empty())
        return;
    // The taken storage joins this list's: slots that were never handed out in what stops being
    // the last block are kept as free slots.
    if (m_blocks.empty()) {
        m_blocks = std::move(rows.m_blocks);
        m_freeSlots = std::move(rows.m_freeSlots);
    } else {
        for (int i = m_lastBlockUsed; i < kBlockRows; ++i)
            m_freeSlots.push_back(&m_blocks.back()[size_t(i)]);
        for (auto& block : rows.m_blocks)
            m_blocks.push_back(std::move(block));
        m_freeSlots.insert(m_freeSlots.end(), rows.m_freeSlots.begin(), rows.m_freeSlots.end());
    }
    m_lastBlockUsed = rows.m_lastBlockUsed;
    const int first = Count();
    m_items.insert(m_items.end(), rows.m_rows.begin(), rows.m_rows.end());
    for (size_t i = size_t(first); i < m_items.size(); ++i) {
        TListItem& item = *m_items[i];
        item.m_owner = this;
        item.m_index = int(i);
        if (item.m_selected)
            ++m_selectedCount;
        if (item.m_focused) {
            if (m_focusedItem)
                item.m_focused = false; // one focused row per list: the one already here
            else
                m_focusedItem = &item;
        }
    }
    Changed();
}

TListItem* TListItems::Item(int index)
{
    return index >= 0 && index < Count() ? m_items[size_t(index)] : nullptr;
}

const TListItem* TListItems::Item(int index) const
{
    return index >= 0 && index < Count() ? m_items[size_t(index)] : nullptr;
}

void TListItems::BeginUpdate()
{
    ++m_updateCount;
}

void TListItems::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount > 0)
        return;
    if (m_changedWhileUpdating) {
        m_changedWhileUpdating = false;
        Changed();
    }
    if (m_observer)
        m_observer->UpdateEnded();
}

int TListItems::SelectedCount() const
{
    return m_selectedCount;
}

TListItem* TListItems::Selected() const
{
    if (m_selectedCount == 0)
        return nullptr;
    for (const auto& item : m_items)
        if (item->m_selected)
            return item;
    return nullptr;
}

TListItem* TListItems::Focused() const
{
    return m_focusedItem;
}

void TListItems::Renumber(int from)
{
    for (size_t i = size_t(std::max(from, 0)); i < m_items.size(); ++i)
        m_items[i]->m_index = int(i);
}

void TListItems::Changed()
{
    if (m_updateCount > 0) {
        m_changedWhileUpdating = true;
        return;
    }
    if (m_observer)
        m_observer->ItemsChanged();
}

void TListItems::StateChanged(TListItem& item, unsigned oldState)
{
    if (m_observer)
        m_observer->ItemStateChanged(item.m_index, oldState, StateOf(item.m_selected, item.m_focused));
}

// ---- TListColumn / TListColumns -------------------------------------------------------------

void TListColumn::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    if (m_owner)
        m_owner->Changed(*this);
}

void TListColumn::SetWidth(int width)
{
    width = std::clamp(width, 0, 1 << 20);
    if (width == m_width)
        return;
    if (m_owner)
        m_owner->m_totalWidth += width - m_width;
    m_width = width;
    if (m_owner)
        m_owner->Changed(*this);
}

void TListColumn::SetAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    if (m_owner)
        m_owner->Changed(*this);
}

void TListColumn::SetImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    if (m_owner)
        m_owner->Changed(*this);
}

int TListColumn::Index() const
{
    if (m_owner && m_index >= m_owner->m_staleFrom)
        m_owner->Renumber();
    return m_index;
}

TListColumns::TListColumns(TListModelObserver* observer)
    : m_observer(observer)
{ }

TListColumns::~TListColumns() = default;

TListColumn& TListColumns::Add()
{
    return Insert(Count());
}

TListColumn& TListColumns::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto column = std::make_unique<TListColumn>();
    column->m_owner = this;
    TListColumn& inserted = *column;
    m_columns.insert(m_columns.begin() + index, std::move(column));
    inserted.m_index = index;
    if (index < Count() - 1)
        m_staleFrom = std::min(m_staleFrom, index);
    m_totalWidth += inserted.m_width;
    if (m_observer)
        m_observer->ColumnInserted(index);
    return inserted;
}

void TListColumns::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    // Kept alive until the observer has let go of it.
    const std::unique_ptr<TListColumn> column = std::move(m_columns[size_t(index)]);
    m_columns.erase(m_columns.begin() + index);
    if (index < Count())
        m_staleFrom = std::min(m_staleFrom, index);
    m_totalWidth -= column->m_width;
    column->m_owner = nullptr;
    if (m_observer)
        m_observer->ColumnRemoved(index, *column);
}

void TListColumns::Clear()
{
    if (m_columns.empty())
        return;
    const std::vector<std::unique_ptr<TListColumn>> columns = std::move(m_columns);
    m_columns.clear();
    m_staleFrom = std::numeric_limits<int>::max();
    m_totalWidth = 0;
    if (m_observer)
        m_observer->ColumnsCleared();
}

TListColumn* TListColumns::Column(int index)
{
    return index >= 0 && index < Count() ? m_columns[size_t(index)].get() : nullptr;
}

void TListColumns::BeginUpdate()
{
    ++m_updateCount;
}

void TListColumns::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0 && m_observer)
        m_observer->UpdateEnded();
}

void TListColumns::Changed(const TListColumn& column)
{
    if (m_observer)
        m_observer->ColumnChanged(column.Index());
}

void TListColumns::Renumber() const
{
    for (int i = m_staleFrom; i < Count(); ++i)
        m_columns[size_t(i)]->m_index = i;
    m_staleFrom = std::numeric_limits<int>::max();
}
