#include "markup/MarkupPlatform.h"
#include "platform/TBitmap.h"
#include "platform/TCanvas.h"

#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(MarkupPlatform, FolderExistsOnlyForDirectories)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("a.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(FolderExists(dir.path()));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists(dir.filePath("missing")));
    EXPECT_FALSE(FolderExists(""));
}

TEST(MarkupPlatform, StretchBitmapFillsTheRectangle)
{
    QImage target(40, 40, QImage::Format_RGB32);
    target.fill(Qt::white);
    TCanvas canvas(&target);
    QImage small(2, 2, QImage::Format_RGB32);
    small.fill(Qt::blue);
    StretchBitmapToCanvas(canvas, TRect { 5, 5, 25, 15 }, TBitmap(small));
    EXPECT_EQ(orvtest::CountPixels(target, QRect(5, 5, 20, 10), Qt::blue, 10), 200);
    EXPECT_EQ(orvtest::CountPixels(target, QRect(0, 0, 40, 40), Qt::blue, 10), 200);
}

TEST(MarkupPlatform, RotationIsRestoredToTheFirstDirection)
{
    TCanvas canvas;
    TRotationSlot slot;
    RestoreRotatedFont(canvas, slot); // nothing remembered: nothing happens
    EXPECT_EQ(canvas.Font().Escapement(), 0);
    SelectRotatedFont(canvas, 90, slot);
    EXPECT_EQ(canvas.Font().Escapement(), 900);
    SelectRotatedFont(canvas, 45, slot);
    EXPECT_EQ(canvas.Font().Escapement(), 450);
    RestoreRotatedFont(canvas, slot);
    EXPECT_EQ(canvas.Font().Escapement(), 0);
    EXPECT_FALSE(slot.active);
}

TEST(MarkupPlatform, SystemIconSizesAndDrawing)
{
    QImage target(64, 64, QImage::Format_RGB32);
    target.fill(Qt::white);
    TCanvas canvas(&target);
    QSize small, large;
    DrawSystemIcon(canvas, 0, 0, small, 1.0, false, TIconDraw::MeasureOnly, TIconSize::Small, "readme.txt");
    DrawSystemIcon(canvas, 0, 0, large, 1.0, false, TIconDraw::MeasureOnly, TIconSize::Large, "readme.txt");
    if (small.isEmpty())
        GTEST_SKIP() << "no system icons on this platform";
    EXPECT_GT(large.width(), small.width());
    EXPECT_EQ(orvtest::CountPixels(target, target.rect(), Qt::white), 64 * 64); // measuring draws nothing
    QSize drawn;
    DrawSystemIcon(canvas, 0, 0, drawn, 1.0, false, TIconDraw::Draw, TIconSize::Small, "readme.txt");
    EXPECT_EQ(drawn, small);
    const auto inkBox = [&target](const QRect& area) {
        QRect box;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (target.pixel(x, y) != qRgb(255, 255, 255))
                    box = box.united(QRect(x, y, 1, 1));
        return box;
    };
    const QRect plain = inkBox(QRect(0, 0, 32, 32));
    ASSERT_FALSE(plain.isNull());
    EXPECT_LE(plain.right(), small.width() - 1);
    // Printing goes through a bitmap stretched by the factor.
    DrawSystemIcon(canvas, 32, 32, drawn, 2.0, true, TIconDraw::Draw, TIconSize::Small, "readme.txt");
    const QRect printed = inkBox(QRect(32, 32, 32, 32));
    EXPECT_NEAR(printed.width(), 2 * plain.width(), 2);
}
