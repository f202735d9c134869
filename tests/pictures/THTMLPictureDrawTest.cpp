// Drawing a picture onto a canvas: natural size at the device's resolution, or stretched.
#include "GifBuilder.h"
#include "platform/OrvExceptions.h"
#include "pictures/THTMLPicture.h"
#include "platform/TCanvas.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace {

QByteArray Png(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

QImage White(int w, int h, int dotsPerInch = 96)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
    image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    return image;
}

QImage Render(const THTMLPicture& picture, const TRect& rect, int dotsPerInch = 96)
{
    QImage target = White(40, 30, dotsPerInch);
    {
        TCanvas canvas(&target);
        picture.Draw(canvas, rect);
    }
    return target;
}

int Count(const QImage& image, QColor color)
{
    return orvtest::CountPixels(image, image.rect(), color, 24);
}

} // namespace

TEST(THTMLPictureDraw, NaturalSizeFromTheTopLeftIgnoresTheRectangleSize)
{
    THTMLPicture picture;
    picture.LoadFromData(Png(6, 4, Qt::red));
    struct Row {
        const char* name;
        TRect rect;
    };
    for (const Row& row : { Row { "larger", TRect { 5, 7, 39, 29 } }, Row { "smaller", TRect { 5, 7, 7, 8 } },
             Row { "empty", TRect { 5, 7, 5, 7 } } }) {
        SCOPED_TRACE(row.name);
        const QImage out = Render(picture, row.rect);
        EXPECT_EQ(Count(out, Qt::red), 24);
        EXPECT_EQ(orvtest::CountPixels(out, QRect(5, 7, 6, 4), Qt::red, 24), 24);
    }
}

TEST(THTMLPictureDraw, NaturalSizeFollowsTheDeviceResolution)
{
    THTMLPicture picture;
    picture.LoadFromData(Png(6, 4, Qt::red));
    const QImage out = Render(picture, TRect { 2, 3, 4, 5 }, 192);
    EXPECT_EQ(Count(out, Qt::red), 12 * 8);
    EXPECT_EQ(orvtest::CountPixels(out, QRect(2, 3, 12, 8), Qt::red, 24), 96);

    // A new frame at the same resolution is drawn anew, not from the previous frame's scaling.
    THTMLPicture gif;
    gif.LoadFromData(giftest::Build(4, 4, { giftest::Flat(0, 0, 4, 4, 1), giftest::Flat(0, 0, 4, 4, 3) }));
    EXPECT_EQ(Count(Render(gif, TRect { 0, 0, 1, 1 }, 192), Qt::red), 64);
    gif.SetFrame(2);
    const QImage second = Render(gif, TRect { 0, 0, 1, 1 }, 192);
    EXPECT_EQ(Count(second, Qt::red), 0);
    EXPECT_EQ(Count(second, Qt::blue), 64);
}

TEST(THTMLPictureDraw, StretchFillsTheRectangle)
{
    THTMLPicture picture;
    picture.LoadFromData(Png(6, 4, Qt::blue));
    picture.SetStretch(true);
    const QImage out = Render(picture, TRect { 2, 3, 22, 13 });
    EXPECT_EQ(Count(out, Qt::blue), 200);
    EXPECT_EQ(orvtest::CountPixels(out, QRect(2, 3, 20, 10), Qt::blue, 24), 200);
}

TEST(THTMLPictureDraw, SelectedFrameIsWhatIsDrawn)
{
    THTMLPicture picture;
    picture.LoadFromData(
        giftest::Build(8, 4, { giftest::Flat(0, 0, 8, 4, 1), giftest::Flat(3, 1, 2, 3, 2) }));
    picture.SetFrame(2);
    const QImage out = Render(picture, TRect { 10, 10, 30, 30 });
    EXPECT_EQ(Count(out, Qt::red), 0);
    EXPECT_EQ(orvtest::CountPixels(out, QRect(10, 10, 2, 3), Qt::green, 24), 6);
    EXPECT_EQ(Count(out, Qt::green), 6);
}

TEST(THTMLPictureDraw, EmptyOrUndecodedPicturesDrawNothing)
{
    THTMLPicture never;
    THTMLPicture broken;
    EXPECT_THROW(broken.LoadFromData("garbage bytes"), EPictureError);
    THTMLPicture cleared;
    cleared.LoadFromData(Png(6, 4, Qt::red));
    cleared.Assign(nullptr);
    for (THTMLPicture* p : { &never, &broken, &cleared }) {
        for (bool stretch : { false, true }) {
            p->SetStretch(stretch);
            EXPECT_EQ(Count(Render(*p, TRect { 0, 0, 40, 30 }), Qt::white), 40 * 30);
        }
    }
}

TEST(THTMLPictureDraw, NaturalSizeIsInDevicePixelsUnderTheMetricMapping)
{
    // 0.1 mm units with y up: logical (50, -50) is about device pixel (19, 19) at 96 per inch.
    THTMLPicture picture;
    picture.LoadFromData(Png(6, 4, Qt::red));
    QImage target = White(40, 30);
    TPoint at;
    {
        TCanvas canvas(&target);
        canvas.SetMapMode(mmLoMetric);
        at = canvas.LPtoDP(TPoint { 50, -50 });
        picture.Draw(canvas, TRect { 50, -50, 60, -60 });
    }
    EXPECT_EQ(Count(target, Qt::red), 24);
    EXPECT_EQ(orvtest::CountPixels(target, QRect(at.x, at.y, 6, 4), Qt::red, 24), 24);
}
