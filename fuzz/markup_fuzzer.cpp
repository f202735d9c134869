// Feeds arbitrary text to the markup renderer (measuring, hit-testing and drawing on a small
// image, with and without word wrap) and to the markup text helpers. The first byte picks the
// options; the rest is the markup, read as UTF-8.
#include "markup/DrawMarkup.h"
#include "markup/MarkupText.h"
#include "pictures/TPictureContainer.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"

#include <QBuffer>
#include <QImage>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t flags = data[0];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    static TImageList* images = [] {
        auto* list = new TImageList(8, 8);
        QImage entry(8, 8, QImage::Format_ARGB32);
        entry.fill(Qt::darkGreen);
        list->Add(entry);
        return list;
    }();
    static TPictureContainer* pictures = [] {
        auto* container = new TPictureContainer;
        QImage small(4, 3, QImage::Format_RGB32);
        small.fill(Qt::red);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            small.save(&buffer, "PNG");
        }
        TPictureItem& item = container->Items().Add();
        item.SetName("P");
        item.Picture().LoadFromData(png);
        return container;
    }();

    QImage image(96, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    const TRect rect { 2, 2, 90, 44 };
    const bool wordWrap = flags & 1;
    const bool keepColors = flags & 2;
    const bool hoverOnly = flags & 4;
    const bool printing = flags & 8;
    const int mouseX = (flags >> 4) * 6;
    const int mouseY = (flags >> 4) * 3;

    QString href, plain, focusHref;
    int width = 0, height = 0, anchors = 0, hoverAnchor = -1;
    TRect hoverRect;
    for (int pass = 0; pass < 3; ++pass) {
        const bool measureOnly = pass == 0;
        const bool hitTestOnly = pass == 1;
        DrawMarkup(canvas, text, rect, images, mouseX, mouseY, 0, 1, 1, hitTestOnly, measureOnly, printing,
            keepColors, pass != 2, hoverOnly, wordWrap, 1.5, clBlue, clYellow, clRed, clGray, href, plain,
            focusHref, width, height, anchors, hoverAnchor, hoverRect, nullptr, pictures);
    }
    DrawMarkupSimple(canvas, text, rect, images, mouseX, mouseY, false, false, false, keepColors, true, 1.0,
        clBlue, href, plain, width, height);

    // The text helpers, with a pattern taken from the text itself.
    const QString pattern = text.left(1 + (flags & 3));
    const QString marked = MarkText(text, pattern, QStringLiteral("hi"), flags & 16);
    UnmarkText(marked, QStringLiteral("hi"));
    StripMarkup(text);
    MarkupPos(text, flags);
    int pos = 0;
    FindTextFrom(pattern, text, flags & 7, flags & 8, pos);
    ReplaceEntities(text);
    ReplaceSegmentEntities(text);
    UnwrapHashTag(text);
    LineBreaksToMarkup(text, true);
    StrToIntLoose(text);
    ColorFromValue(text);
    QString copy = text;
    ReplaceFirstText(pattern, QStringLiteral("x"), copy);
    return 0;
}
