#include "pictures/TPictureContainer.h"

TPictureContainer::TPictureContainer()
    : m_items(this)
{ }

TPictureContainer::~TPictureContainer()
{
    // Listeners may unregister themselves (or others) while being told.
    const auto listeners = m_destroyedListeners;
    for (const auto& [id, listener] : listeners) {
        if (m_destroyedListeners.count(id) && listener)
            listener();
    }
}

void TPictureContainer::SetItems(const TPictureCollection& items)
{
    m_items.Assign(items);
}

THTMLPicture* TPictureContainer::FindPicture(const QString& name) const
{
    const QString wanted = name.toUpper();
    for (int i = 0; i < m_items.Count(); ++i) {
        const TPictureItem& item = m_items[i];
        if (item.Name().toUpper() == wanted)
            return const_cast<THTMLPicture*>(&item.Picture());
    }
    return nullptr;
}

int TPictureContainer::RegisterDestroyedListener(std::function<void()> listener)
{
    const int id = m_nextListenerId++;
    m_destroyedListeners.emplace(id, std::move(listener));
    return id;
}

void TPictureContainer::UnregisterDestroyedListener(int id)
{
    m_destroyedListeners.erase(id);
}
