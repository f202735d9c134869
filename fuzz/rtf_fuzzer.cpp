// Fuzz target for the RTF reader: any bytes load without crashing or hanging, the writer's
// output is 7-bit and reads back to the same text, and rendering the result stays inside
// its rectangle.
#include "platform/TCanvas.h"
#include "platform/TRichEdit.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 256 * 1024)
        return 0;
    // One engine for every input, as the list reuses its rich-edit control for every cell.
    static TRichEdit* edit = new TRichEdit;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    edit->LoadFromRtf(bytes);
    const QString text = edit->PlainText();

    const QByteArray saved = edit->SaveToRtf();
    for (char c : saved)
        if (static_cast<unsigned char>(c) >= 0x80)
            std::abort();
    TRichEdit again;
    if (!again.LoadFromRtf(saved) || again.PlainText() != text)
        std::abort();

    edit->SetSelection(0, 255);
    edit->SetSelColor(clRed);
    edit->SetSelOffset(40);
    QImage image(48, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(&image);
        edit->SetBackgroundColor(clNone);
        const TRect cell { 150, 75, 600, 300 }; // (10, 5)-(40, 20) pixels at 96 dpi
        const int next = edit->Render(canvas, cell, cell);
        if (next < 0 || next > edit->TextLength())
            std::abort();
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((x < 10 || x >= 40 || y < 5 || y >= 20) && image.pixel(x, y) != qRgb(255, 255, 255))
                std::abort();
    return 0;
}
