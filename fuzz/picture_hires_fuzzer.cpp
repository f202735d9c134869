// Picture bytes drawn at printer resolution: a picture's natural size grows with the device's
// pixels per inch, so a small file with a large screen must still draw without building a huge
// scaled copy. The first byte picks the resolution and the mapping mode.
#include "pictures/THTMLPicture.h"
#include "platform/OrvExceptions.h"
#include "platform/TCanvas.h"

#include <QByteArray>
#include <QImage>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const int kDpi[] = { 300, 600, 1200, 2400 };
    const int dpi = kDpi[data[0] & 3];
    const bool metric = data[0] & 4;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    THTMLPicture picture;
    try {
        picture.LoadFromData(bytes);
    } catch (const EPictureError&) { }

    QImage target(64, 64, QImage::Format_ARGB32_Premultiplied);
    target.fill(0);
    target.setDotsPerMeterX(qRound(dpi / 0.0254));
    target.setDotsPerMeterY(qRound(dpi / 0.0254));
    {
        TCanvas canvas(&target);
        if (metric)
            canvas.SetMapMode(mmLoMetric);
        const TRect rect = metric ? TRect { 10, -10, 200, -200 } : TRect { 3, 4, 40, 50 };
        picture.Draw(canvas, rect);
        picture.SetStretch(true);
        picture.Draw(canvas, rect);
    }
    return 0;
}
