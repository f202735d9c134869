#include "platform/TBitmap.h"

#include <QImageReader>

TBitmap::TBitmap(const QImage& image)
    : m_image(image)
{ }

void TBitmap::SetImage(const QImage& image)
{
    m_image = image;
    Changed();
}

bool TBitmap::LoadFromFile(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    SetImage(image);
    return true;
}

void TBitmap::Assign(const TBitmap& other)
{
    if (this != &other) {
        m_image = other.m_image;
        m_transparent = other.m_transparent;
        m_transparentMode = other.m_transparentMode;
        m_fixedTransparentColor = other.m_fixedTransparentColor;
    }
    Changed();
}

void TBitmap::Clear()
{
    if (m_image.isNull())
        return;
    m_image = QImage();
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (m_transparentMode == tmFixed && m_fixedTransparentColor != clNone)
        return ColorToRGB(m_fixedTransparentColor);
    if (Empty())
        return clNone;
    return FromQColor(QColor::fromRgb(m_image.pixel(0, m_image.height() - 1)));
}

void TBitmap::SetTransparentColor(TColor color)
{
    m_fixedTransparentColor = color;
    m_transparentMode = tmFixed;
}

QImage TBitmap::DrawImage() const
{
    if (!m_transparent || Empty())
        return m_image;
    const TColor key = TransparentColor();
    if (key == clNone)
        return m_image;
    if (!m_drawCache.isNull() && m_drawCacheKey == m_image.cacheKey() && m_drawCacheColor == key)
        return m_drawCache;

    QImage out = m_image.convertToFormat(QImage::Format_ARGB32);
    const QRgb match = qRgb(int(key & 0xFF), int((key >> 8) & 0xFF), int((key >> 16) & 0xFF)) & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == match)
                line[x] = 0;
        }
    }
    m_drawCache = out;
    m_drawCacheKey = m_image.cacheKey();
    m_drawCacheColor = key;
    return out;
}

void TBitmap::Changed()
{
    m_drawCache = QImage();
    if (OnChange)
        OnChange();
}
