// The row and column model of the report list view: plain data owned by the control,
// usable before the control has a window.
#pragma once

#include "platform/TTypes.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

class TListItems;
class TListColumn;
class TListColumns;

// The most fields one row read from text (a CSV line, a pasted line) may have: as many columns
// as spreadsheet programs offer, so that every sheet they export fits.
constexpr int kMaxTextFields = 16384;

// The owner of a model is told about every change that needs a repaint or re-layout.
class TListModelObserver {
public:
    virtual ~TListModelObserver() = default;
    virtual void ItemsChanged() { } // rows added, removed, reordered or edited
    virtual void ItemStateChanged(int /*index*/, unsigned /*oldState*/, unsigned /*newState*/) { }
    virtual void ColumnInserted(int /*index*/) { } // a new column stands at `index`
    // The column that stood at `index` has been taken out; it is destroyed after this returns.
    virtual void ColumnRemoved(int /*index*/, const TListColumn& /*column*/) { }
    virtual void ColumnsCleared() { } // every column is gone
    virtual void ColumnChanged(int /*index*/) { } // a caption, width, alignment or image changed
    virtual void UpdateEnded() { } // the outermost update bracket of rows or columns closed
};

// Item state bits (as reported by item-changed notifications).
enum TListItemStateFlag : unsigned { lisFocused = 0x1, lisSelected = 0x2 };

// One row: a caption, its sub-item texts (may be shorter or longer than the column count),
// an image index (-1 = none), a check state, selection and focus, an indent and per-sub-item
// images (kept by the control, not carried by Assign).
class TListItem {
public:
    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    QStringList& SubItems() { return m_subItems; } // edits repaint on the next paint
    const QStringList& SubItems() const { return m_subItems; }

    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);
    int OverlayIndex() const { return m_overlayIndex; }
    void SetOverlayIndex(int index) { m_overlayIndex = index; }
    int StateIndex() const { return m_stateIndex; }
    void SetStateIndex(int index) { m_stateIndex = index; }
    void* Data() const { return m_data; }
    void SetData(void* data) { m_data = data; }

    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);
    bool Selected() const { return m_selected; }
    void SetSelected(bool selected);
    bool Focused() const { return m_focused; }
    void SetFocused(bool focused); // focusing one row unfocuses the previous one
    // Selection and focus in one change, reported once (as a click changes a row).
    void SetState(bool selected, bool focused);

    int Indent() const { return m_indent; }
    void SetIndent(int indent);
    // Image of platform sub-item `sub` (1 = first sub-item); -1 when none was set.
    int SubItemImage(int sub) const;
    void SetSubItemImage(int sub, int image);

    int Index() const; // the row's current index
    TListItems* Owner() const { return m_owner; }

    // Copies caption, data, image, overlay and state indexes and all sub-item texts; not the
    // check, selection, focus, indent or sub-item images.
    void Assign(const TListItem& other);

private:
    friend class TListItems;
    TListItems* m_owner = nullptr;
    QString m_caption;
    QStringList m_subItems;
    std::unique_ptr<std::vector<int>> m_subImages; // allocated only when an image is set
    void* m_data = nullptr;
    int m_index = -1;
    int m_imageIndex = -1;
    short m_overlayIndex = -1;
    short m_stateIndex = -1;
    short m_indent = 0;
    bool m_checked : 1 = false;
    bool m_selected : 1 = false;
    bool m_focused : 1 = false;
    bool m_stored : 1 = false; // holds a row of its TListItems (a pool slot in use)
};

// The rows in index order. Rows live in pools of fixed blocks, so that a row costs no allocation
// of its own and a returned TListItem& stays valid (at the same address) while its row exists;
// the index order is a vector of pointers into the pools.
class TListItems {
public:
    explicit TListItems(TListModelObserver* observer = nullptr);
    ~TListItems();
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    int Count() const { return int(m_items.size()); }
    TListItem& Add(); // amortised O(1)
    TListItem& Insert(int index); // index clamped to 0..Count()
    void Delete(int index); // out of range: nothing
    int DeleteSelected(); // every selected row in one pass; returns how many
    void Clear();
    TListItem& operator[](int index) { return *m_items[size_t(index)]; }
    const TListItem& operator[](int index) const { return *m_items[size_t(index)]; }
    TListItem* Item(int index); // nullptr when out of range
    const TListItem* Item(int index) const;

    // Repaints are held back between BeginUpdate and the matching EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_updateCount > 0; }

    // Stable sort with a comparison returning <0, 0 or >0 (rows comparing equal keep their order).
    template <class Compare> void Sort(Compare compare);
    // Puts the rows in the given order: order[i] is the current index of the row that goes to i.
    // `order` must be a permutation of 0 .. Count() - 1 (anything else leaves the rows as they are).
    void ApplyOrder(const std::vector<int>& order);

    // Calls visit(row) for every row in the order the rows are stored in memory, not in index
    // order (row.Index() tells the index). Whole-list passes that need every row but no order,
    // such as collecting sort keys, run through memory front to back this way whatever order
    // earlier sorts left the rows in. `visit` must not add or remove rows.
    template <class Visit> void ForEachStored(Visit visit) const;

    int SelectedCount() const;
    TListItem* Selected() const; // the first selected row, or nullptr
    TListItem* Focused() const; // the focused row, or nullptr

    void Reserve(int count) { m_items.reserve(size_t(std::max(count, 0))); }

    // Rows taken out of a list whole, with the storage they live in: they move to another list
    // without a copy (and keep their addresses). A taken row belongs to no list until it is added.
    class TTakenRows {
    public:
        TTakenRows() = default;
        TTakenRows(TTakenRows&&) noexcept = default;
        TTakenRows& operator=(TTakenRows&&) noexcept = default;
        size_t size() const { return m_rows.size(); }
        bool empty() const { return m_rows.empty(); }
        TListItem* operator[](size_t i) const { return m_rows[i]; }

    private:
        friend class TListItems;
        std::vector<TListItem*> m_rows; // index order
        std::vector<std::unique_ptr<TListItem[]>> m_blocks;
        int m_lastBlockUsed = 0;
        std::vector<TListItem*> m_freeSlots;
    };
    // Takes every row out whole, leaving none: rows move from one list to another without a copy.
    TTakenRows TakeAll();
    // Adds rows taken out of a list (this one or another) at the end, with everything they carry;
    // a taken row's focus yields to a row focused here already.
    void AppendTaken(TTakenRows rows);
    void SetObserver(TListModelObserver* observer) { m_observer = observer; }

private:
    friend class TListItem;
    static constexpr int kBlockRows = 512; // rows per pool block
    TListItem* NewRow(); // a free slot, owned by these rows, not yet in the index order
    void ReleaseRow(TListItem* item); // the row's data freed, its slot free for the next row
    void Renumber(int from);
    void Changed();
    void StateChanged(TListItem& item, unsigned oldState);
    std::vector<TListItem*> m_items; // index order
    std::vector<std::unique_ptr<TListItem[]>> m_blocks; // the pools; only the last is partly fresh
    int m_lastBlockUsed = kBlockRows; // slots of the last block handed out at least once
    std::vector<TListItem*> m_freeSlots; // released slots, reused first
    TListModelObserver* m_observer = nullptr;
    int m_updateCount = 0;
    bool m_changedWhileUpdating = false;
    TListItem* m_focusedItem = nullptr;
    int m_selectedCount = 0; // kept up to date so that clearing a selection is cheap when empty
};

template <class Visit> void TListItems::ForEachStored(Visit visit) const
{
    for (size_t b = 0; b < m_blocks.size(); ++b) {
        const TListItem* block = m_blocks[b].get();
        const int used = b + 1 == m_blocks.size() ? m_lastBlockUsed : kBlockRows;
        for (int i = 0; i < used; ++i)
            if (block[i].m_stored)
                visit(block[i]);
    }
}

template <class Compare> void TListItems::Sort(Compare compare)
{
    std::stable_sort(m_items.begin(), m_items.end(),
        [&](const TListItem* a, const TListItem* b) { return compare(*a, *b) < 0; });
    Renumber(0);
    Changed();
}

// One column: caption, width in pixels, alignment, and the header section's own format.
class TListColumn {
public:
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    int Width() const { return m_width; }
    void SetWidth(int width);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);
    int Index() const;

private:
    friend class TListColumns;
    TListColumns* m_owner = nullptr;
    QString m_caption;
    int m_width = 50;
    TAlignment m_alignment = taLeftJustify;
    int m_imageIndex = -1;
    mutable int m_index = -1; // renumbered lazily after inserts and deletes
};

// The columns in index order. Adding, inserting and deleting a column costs constant time apart
// from moving the column pointers after it: the columns that moved learn their new index when
// one is next asked for. The observer is told of each change at once, and may hold its
// re-layout back until an update bracket (of these columns or of the rows) ends.
class TListColumns {
public:
    explicit TListColumns(TListModelObserver* observer = nullptr);
    ~TListColumns();
    int Count() const { return int(m_columns.size()); }
    TListColumn& Add(); // amortised O(1)
    TListColumn& Insert(int index); // index clamped to 0..Count(); later columns move up
    void Delete(int index); // out of range: nothing
    void Clear();
    TListColumn& operator[](int index) { return *m_columns[size_t(index)]; }
    const TListColumn& operator[](int index) const { return *m_columns[size_t(index)]; }
    TListColumn* Column(int index); // nullptr when out of range
    qint64 TotalWidth() const { return m_totalWidth; } // sum of the widths, pixels
    void SetObserver(TListModelObserver* observer) { m_observer = observer; }

    // Brackets many changes so that the observer lays the view out once at the end.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_updateCount > 0; }

private:
    friend class TListColumn;
    void Changed(const TListColumn& column);
    void Renumber() const;
    std::vector<std::unique_ptr<TListColumn>> m_columns;
    TListModelObserver* m_observer = nullptr;
    // Columns whose stored index is at least this may have moved since they were numbered.
    mutable int m_staleFrom = std::numeric_limits<int>::max();
    qint64 m_totalWidth = 0; // pixels
    int m_updateCount = 0;
};
