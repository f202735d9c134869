// TPictureContainer: a named set of pictures that markup refers to by name. Lists only
// reference a container; they hear of its end through the destroyed listeners.
#pragma once

#include "pictures/TPictureCollection.h"

#include <QString>
#include <functional>
#include <map>

class THTMLPicture;

class TPictureContainer {
public:
    TPictureContainer();
    ~TPictureContainer();
    TPictureContainer(const TPictureContainer&) = delete;
    TPictureContainer& operator=(const TPictureContainer&) = delete;

    TPictureCollection& Items() { return m_items; }
    const TPictureCollection& Items() const { return m_items; }
    void SetItems(const TPictureCollection& items); // copies the items

    // The picture of the first item whose name matches, ignoring case; nullptr when none.
    THTMLPicture* FindPicture(const QString& name) const;

    // Called once from the destructor; the id unregisters.
    int RegisterDestroyedListener(std::function<void()> listener);
    void UnregisterDestroyedListener(int id);

private:
    TPictureCollection m_items;
    std::map<int, std::function<void()>> m_destroyedListeners;
    int m_nextListenerId = 1;
};
