#include "pictures/THTMLPictureCache.h"

THTMLPictureCache::THTMLPictureCache() = default;

THTMLPictureCache::~THTMLPictureCache() = default;

THTMLPicture* THTMLPictureCache::FindPicture(const QString& source) const
{
    for (const auto& picture : m_pictures) {
        if (picture->ID() == source)
            return picture.get();
    }
    return nullptr;
}

THTMLPicture* THTMLPictureCache::AddPicture()
{
    m_pictures.push_back(std::make_unique<THTMLPicture>());
    return m_pictures.back().get();
}

THTMLPicture* THTMLPictureCache::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_pictures[size_t(index)].get();
}

void THTMLPictureCache::Clear()
{
    m_pictures.clear();
}
