#include "pictures/THTMLPictureCache.h"

#include "platform/PathCase.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QLatin1String kFileScheme("FILE://");

// A "FILE://" source whose file exists but can never be a picture.
bool NamesNonRegularFile(const QString& source)
{
    if (!source.startsWith(kFileScheme, Qt::CaseInsensitive))
        return false;
    const QString path = source.mid(kFileScheme.size());
    if (path.isEmpty())
        return false;
    const QString found = QFileInfo::exists(path) ? path : pathcase::Resolve(path);
    return !found.isEmpty() && !QFileInfo(found).isFile();
}

} // namespace

THTMLPictureCache::THTMLPictureCache() = default;

THTMLPictureCache::~THTMLPictureCache() = default;

QString THTMLPictureCache::NormalizedSource(const QString& source)
{
    if (!source.startsWith(kFileScheme, Qt::CaseInsensitive) || source.size() == kFileScheme.size())
        return source;
    return source.left(kFileScheme.size()) + QDir::cleanPath(source.mid(kFileScheme.size()));
}

THTMLPicture* THTMLPictureCache::FindPicture(const QString& source)
{
    const QString key = NormalizedSource(source);
    THTMLPicture* found = nullptr;
    for (Entry& e : m_entries) {
        const QString id = e.picture->ID();
        if (id != e.id) {
            e.id = id;
            e.key = NormalizedSource(id);
        }
        if (e.key == key) {
            e.lastUse = ++m_clock;
            found = e.picture.get();
            break;
        }
    }
    // A picture loaded since the last call may have taken the cache over its limit.
    Trim(0, found);
    if (found || !NamesNonRegularFile(source))
        return found;
    THTMLPicture* refused = AddPicture();
    refused->SetAsyncAllowed(false);
    refused->LoadFromSource(source); // records the ID; the picture refuses the file and stays empty
    return refused;
}

THTMLPicture* THTMLPictureCache::AddPicture()
{
    Trim(1, nullptr);
    Entry e;
    e.picture = std::make_unique<THTMLPicture>();
    e.lastUse = ++m_clock;
    m_entries.push_back(std::move(e));
    return m_entries.back().picture.get();
}

THTMLPicture* THTMLPictureCache::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_entries[size_t(index)].picture.get();
}

void THTMLPictureCache::Clear()
{
    m_entries.clear();
}

qint64 THTMLPictureCache::Bytes() const
{
    qint64 total = 0;
    for (const Entry& e : m_entries)
        total += e.picture->MemoryBytes();
    return total;
}

void THTMLPictureCache::SetMaxBytes(qint64 bytes)
{
    m_maxBytes = std::max<qint64>(0, bytes);
    Trim(0, nullptr);
}

void THTMLPictureCache::SetMaxCount(int count)
{
    m_maxCount = std::max(1, count);
    Trim(0, nullptr);
}

void THTMLPictureCache::Trim(int incoming, const THTMLPicture* keep)
{
    qint64 bytes = Bytes();
    const qsizetype keepCount = keep ? 1 : 0;
    while (qsizetype(m_entries.size()) > keepCount
        && (int(m_entries.size()) + incoming > m_maxCount || bytes > m_maxBytes)) {
        auto oldest
            = std::min_element(m_entries.begin(), m_entries.end(), [keep](const Entry& a, const Entry& b) {
                  // The kept picture sorts last.
                  const bool aKept = a.picture.get() == keep;
                  const bool bKept = b.picture.get() == keep;
                  return aKept != bKept ? bKept : a.lastUse < b.lastUse;
              });
        bytes -= oldest->picture->MemoryBytes();
        m_entries.erase(oldest);
    }
}
