// THTMLPictureCache: pictures created on demand for markup sources, owned until Clear or the
// cache's end.
#pragma once

#include "pictures/THTMLPicture.h"

#include <QString>
#include <memory>
#include <vector>

class THTMLPictureCache {
public:
    THTMLPictureCache();
    ~THTMLPictureCache();
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    // The first picture whose ID equals `source` exactly; nullptr when none.
    THTMLPicture* FindPicture(const QString& source) const;
    THTMLPicture* AddPicture(); // a new empty picture, appended
    int Count() const { return int(m_pictures.size()); }
    THTMLPicture* Items(int index) const; // nullptr when out of range
    void Clear();

private:
    std::vector<std::unique_ptr<THTMLPicture>> m_pictures;
};
