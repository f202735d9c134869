// THTMLPictureCache: pictures created on demand for markup sources. Bounded: at every lookup
// and addition the least recently used pictures are released until the pictures' memory and
// count fit the limits again.
#pragma once

#include "pictures/THTMLPicture.h"

#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

class THTMLPictureCache {
public:
    static constexpr qint64 kDefaultMaxBytes = qint64(64) * 1024 * 1024;
    static constexpr int kDefaultMaxCount = 512;

    THTMLPictureCache();
    ~THTMLPictureCache();
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    // The first picture whose ID names the same source, the path of a "FILE://" source compared
    // after normalising ("//", "/./" and "dir/.." removed); other sources compare exactly.
    // nullptr when none - except for a "FILE://" source naming something that exists but is not
    // a regular file (a device, a pipe, a folder): that is refused once, and the refusal (an
    // empty picture with the source's ID) is kept and returned from then on, so that painting
    // and hit tests do not look the file up again. Releases pictures as the limits require
    // (never the one returned): a picture pointer is only good until the next call.
    THTMLPicture* FindPicture(const QString& source);
    // A new empty picture, appended after releasing least recently used pictures as the limits
    // require.
    THTMLPicture* AddPicture();
    int Count() const { return int(m_entries.size()); }
    THTMLPicture* Items(int index) const; // in the order added; nullptr when out of range
    void Clear();

    // Memory of all pictures (their bytes and decoded images).
    qint64 Bytes() const;
    qint64 MaxBytes() const { return m_maxBytes; }
    void SetMaxBytes(qint64 bytes);
    int MaxCount() const { return m_maxCount; }
    void SetMaxCount(int count);

    // The form of a source that FindPicture compares.
    static QString NormalizedSource(const QString& source);

private:
    struct Entry {
        std::unique_ptr<THTMLPicture> picture;
        QString id; // the picture's ID when `key` was made from it
        QString key; // NormalizedSource(id)
        quint64 lastUse = 0;
    };
    // Releases least recently used pictures, never `keep`, until the limits hold for `incoming`
    // more pictures.
    void Trim(int incoming, const THTMLPicture* keep);

    std::vector<Entry> m_entries;
    quint64 m_clock = 0;
    qint64 m_maxBytes = kDefaultMaxBytes;
    int m_maxCount = kDefaultMaxCount;
};
