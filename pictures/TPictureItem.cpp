#include "pictures/TPictureItem.h"

#include "pictures/TPictureCollection.h"

TPictureItem::TPictureItem(TPictureCollection* collection)
    : m_collection(collection)
    , m_picture(std::make_unique<THTMLPicture>())
{ }

TPictureItem::~TPictureItem() = default;

void TPictureItem::SetPicture(const THTMLPicture& picture)
{
    m_picture->Assign(&picture);
}

int TPictureItem::Index() const
{
    return m_collection ? m_collection->IndexOf(this) : -1;
}

void TPictureItem::Assign(const TPictureItem& other)
{
    if (&other == this)
        return;
    m_name = other.m_name;
    m_tag = other.m_tag;
    m_picture->Assign(other.m_picture.get());
}
