// TPictureCollection: the ordered items of a TPictureContainer; item references stay valid
// while the item exists.
#pragma once

#include "pictures/TPictureItem.h"

#include <memory>
#include <vector>

class TPictureContainer;

class TPictureCollection {
public:
    explicit TPictureCollection(TPictureContainer* owner = nullptr);
    ~TPictureCollection();
    TPictureCollection(const TPictureCollection&) = delete;
    TPictureCollection& operator=(const TPictureCollection&) = delete;

    int Count() const { return int(m_items.size()); }
    TPictureItem& Add();
    TPictureItem& operator[](int index); // throws std::out_of_range
    const TPictureItem& operator[](int index) const; // throws std::out_of_range
    int IndexOf(const TPictureItem* item) const; // -1 when not ours
    void Delete(int index);
    void Clear();
    TPictureContainer* Owner() const { return m_owner; }
    void Assign(const TPictureCollection& other); // replaces the items with copies

private:
    TPictureContainer* m_owner;
    std::vector<std::unique_ptr<TPictureItem>> m_items;
};
