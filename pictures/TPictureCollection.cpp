#include "pictures/TPictureCollection.h"

#include <stdexcept>

TPictureCollection::TPictureCollection(TPictureContainer* owner)
    : m_owner(owner)
{ }

TPictureCollection::~TPictureCollection() = default;

TPictureItem& TPictureCollection::Add()
{
    m_items.push_back(std::make_unique<TPictureItem>(this));
    return *m_items.back();
}

TPictureItem& TPictureCollection::operator[](int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return *m_items[size_t(index)];
}

const TPictureItem& TPictureCollection::operator[](int index) const
{
    return const_cast<TPictureCollection&>(*this)[index];
}

int TPictureCollection::IndexOf(const TPictureItem* item) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == item)
            return int(i);
    }
    return -1;
}

void TPictureCollection::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    m_items.erase(m_items.begin() + index);
}

void TPictureCollection::Clear()
{
    m_items.clear();
}

void TPictureCollection::Assign(const TPictureCollection& other)
{
    if (&other == this)
        return;
    // Build the copies first so that a picture that fails to decode leaves this collection as it was.
    std::vector<std::unique_ptr<TPictureItem>> copies;
    copies.reserve(other.m_items.size());
    for (const auto& item : other.m_items) {
        copies.push_back(std::make_unique<TPictureItem>(this));
        copies.back()->Assign(*item);
    }
    m_items = std::move(copies);
}
