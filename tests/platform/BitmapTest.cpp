#include "platform/TBitmap.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage TwoColour()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixel(0, 2, qRgb(200, 0, 0)); // bottom-left
    image.setPixel(3, 0, qRgb(200, 0, 0));
    return image;
}

} // namespace

TEST(Bitmap, TransparentColourIsBottomLeftUnlessFixed)
{
    TBitmap bmp(TwoColour());
    EXPECT_EQ(bmp.TransparentColor(), RGBColor(200, 0, 0));
    bmp.SetTransparentColor(RGBColor(10, 20, 30));
    EXPECT_EQ(bmp.TransparentMode(), tmFixed);
    EXPECT_EQ(bmp.TransparentColor(), RGBColor(10, 20, 30));
    bmp.SetTransparentMode(tmAuto);
    EXPECT_EQ(bmp.TransparentColor(), RGBColor(200, 0, 0));
    EXPECT_EQ(TBitmap().TransparentColor(), clNone);
}

TEST(Bitmap, DrawImageClearsOnlyTheTransparentColour)
{
    TBitmap bmp(TwoColour());
    EXPECT_EQ(qAlpha(bmp.DrawImage().pixel(0, 2)), 255); // not transparent yet
    bmp.SetTransparent(true);
    QImage drawn = bmp.DrawImage();
    EXPECT_EQ(qAlpha(drawn.pixel(0, 2)), 0);
    EXPECT_EQ(qAlpha(drawn.pixel(3, 0)), 0);
    EXPECT_EQ(qAlpha(drawn.pixel(1, 1)), 255);
    EXPECT_EQ(QColor::fromRgb(drawn.pixel(1, 1)), QColor(10, 20, 30));

    // A new picture is not served from the previous one's result.
    QImage other(2, 2, QImage::Format_RGB32);
    other.fill(Qt::blue);
    other.setPixel(1, 1, qRgb(0, 255, 0));
    bmp.SetImage(other);
    drawn = bmp.DrawImage();
    EXPECT_EQ(drawn.size(), QSize(2, 2));
    EXPECT_EQ(qAlpha(drawn.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(drawn.pixel(1, 1)), 255);
}

TEST(Bitmap, ChangesNotifyAndAssignCopiesTransparency)
{
    TBitmap bmp;
    int changes = 0;
    bmp.OnChange = [&] { ++changes; };
    EXPECT_TRUE(bmp.Empty());
    bmp.SetImage(TwoColour());
    EXPECT_FALSE(bmp.Empty());
    EXPECT_EQ(bmp.Width(), 4);
    EXPECT_EQ(bmp.Height(), 3);
    TBitmap source(TwoColour());
    source.SetTransparent(true);
    source.SetTransparentColor(clRed);
    bmp.Assign(source);
    EXPECT_TRUE(bmp.Transparent());
    EXPECT_EQ(bmp.TransparentColor(), clRed);
    bmp.Clear();
    bmp.Clear(); // already empty: no change
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(changes, 3);
}

TEST(Bitmap, LoadFromFileKeepsPictureOnFailure)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("pic.png"));
    ASSERT_TRUE(TwoColour().save(good));
    const QString bad = dir.filePath(QStringLiteral("bad.bmp"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM not really a bitmap");
    f.close();

    TBitmap bmp;
    EXPECT_TRUE(bmp.LoadFromFile(good));
    EXPECT_EQ(bmp.Width(), 4);
    EXPECT_FALSE(bmp.LoadFromFile(bad));
    EXPECT_FALSE(bmp.LoadFromFile(dir.filePath(QStringLiteral("missing.png"))));
    EXPECT_EQ(bmp.Width(), 4);
}
