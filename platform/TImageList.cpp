#include "platform/TImageList.h"

#include "platform/TCanvas.h"

namespace {

// Entries are stored as ARGB so that drawing can always blend: a mask colour becomes alpha 0.
QImage Prepare(const QImage& image, int width, int height, TColor mask)
{
    if (image.isNull())
        return QImage();
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    if (mask != clNone) {
        const TColor rgb = ColorToRGB(mask);
        const QRgb match = qRgb(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)) & 0xFFFFFF;
        for (int y = 0; y < out.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == match)
                    line[x] = 0;
            }
        }
    }
    if (out.width() != width || out.height() != height)
        out = out.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out;
}

// A disabled entry is drawn in grey at half strength.
QImage Greyed(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
        }
    }
    return out;
}

} // namespace

TImageList::TImageList(int width, int height)
    : m_width(width > 0 ? width : 16)
    , m_height(height > 0 ? height : 16)
{ }

TImageList::~TImageList()
{
    // A listener may unregister itself (or others) while being told; work on a copy.
    const std::vector<Link> links = m_links;
    m_links.clear();
    for (const Link& link : links) {
        if (link.onDestroyed)
            link.onDestroyed();
    }
}

int TImageList::Add(const QImage& image, TColor mask)
{
    m_images.push_back(Prepare(image, m_width, m_height, mask));
    Changed();
    return Count() - 1;
}

void TImageList::Replace(int index, const QImage& image, TColor mask)
{
    if (index < 0 || index >= Count())
        return;
    m_images[size_t(index)] = Prepare(image, m_width, m_height, mask);
    Changed();
}

void TImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_images.erase(m_images.begin() + index);
    Changed();
}

void TImageList::Clear()
{
    if (m_images.empty())
        return;
    m_images.clear();
    Changed();
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return QImage();
    return m_images[size_t(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= Count() || m_images[size_t(index)].isNull())
        return;
    const QImage& image = m_images[size_t(index)];
    canvas.DrawImage(x, y, enabled ? image : Greyed(image));
}

void TImageList::StretchDraw(TCanvas& canvas, int x, int y, int width, int height, int index) const
{
    if (index < 0 || index >= Count() || m_images[size_t(index)].isNull())
        return;
    canvas.StretchDrawImage(TRect { x, y, x + width, y + height }, m_images[size_t(index)]);
}

int TImageList::RegisterChangeLink(std::function<void()> onChange, std::function<void()> onDestroyed)
{
    const int id = m_nextLinkId++;
    m_links.push_back(Link { id, std::move(onChange), std::move(onDestroyed) });
    return id;
}

void TImageList::UnregisterChangeLink(int id)
{
    for (auto it = m_links.begin(); it != m_links.end(); ++it) {
        if (it->id == id) {
            m_links.erase(it);
            return;
        }
    }
}

void TImageList::Changed()
{
    const std::vector<Link> links = m_links;
    for (const Link& link : links) {
        if (link.onChange)
            link.onChange();
    }
}
