// TBitmap: a picture in memory (empty or not) with optional transparent drawing.
#pragma once

#include "platform/TColor.h"

#include <QImage>
#include <QString>
#include <functional>

enum TTransparentMode { tmAuto, tmFixed };

class TBitmap {
public:
    TBitmap() = default;
    explicit TBitmap(const QImage& image);

    bool Empty() const { return m_image.isNull() || m_image.width() == 0 || m_image.height() == 0; }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }

    const QImage& Image() const { return m_image; }
    void SetImage(const QImage& image); // notifies
    bool LoadFromFile(const QString& path); // false (and unchanged) when the file cannot be read
    void Assign(const TBitmap& other); // copies picture and transparency settings, notifies
    void Clear();

    // Transparent drawing: with tmAuto the transparent colour is the bottom-left pixel.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on) { m_transparent = on; }
    TTransparentMode TransparentMode() const { return m_transparentMode; }
    void SetTransparentMode(TTransparentMode mode) { m_transparentMode = mode; }
    TColor TransparentColor() const; // the colour treated as transparent (RGB)
    void SetTransparentColor(TColor color); // also switches to tmFixed

    // The image to draw: with Transparent() set, pixels of the transparent colour have alpha 0.
    QImage DrawImage() const;

    std::function<void()> OnChange;

private:
    void Changed();
    QImage m_image;
    // DrawImage's result for the picture and transparent colour it was made from; rebuilt only
    // when either changes, because lists draw the same glyph on every row.
    mutable QImage m_drawCache;
    mutable qint64 m_drawCacheKey = 0;
    mutable TColor m_drawCacheColor = clNone;
    bool m_transparent = false;
    TTransparentMode m_transparentMode = tmAuto;
    TColor m_fixedTransparentColor = clNone;
};
