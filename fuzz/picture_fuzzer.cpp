// Picture bytes from anywhere: decoding, GIF frame counting and selection, and drawing must
// report bad data as EPictureError and never crash.
#include "platform/OrvExceptions.h"
#include "pictures/THTMLPicture.h"
#include "platform/TCanvas.h"

#include <QByteArray>
#include <QImage>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    THTMLPicture picture;
    try {
        picture.LoadFromData(bytes);
    } catch (const EPictureError&) { }
    (void)picture.FrameCount();
    try {
        picture.SetFrame(2);
    } catch (const EPictureError&) { }
    (void)picture.LayoutWidth();
    (void)picture.LayoutHeight();

    QImage target(24, 24, QImage::Format_ARGB32_Premultiplied);
    target.fill(0);
    {
        TCanvas canvas(&target);
        picture.Draw(canvas, TRect { 1, 2, 20, 22 });
        picture.SetStretch(true);
        picture.Draw(canvas, TRect { 1, 2, 20, 22 });
    }
    return 0;
}
