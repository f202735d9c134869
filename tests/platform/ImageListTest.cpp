#include "platform/TImageList.h"

#include <gtest/gtest.h>
#include <memory>

TEST(ImageList, EntriesShareTheListSize)
{
    TImageList list(16, 16);
    QImage big(32, 32, QImage::Format_RGB32);
    big.fill(Qt::red);
    QImage exact(16, 16, QImage::Format_ARGB32);
    exact.fill(Qt::transparent);
    EXPECT_EQ(list.Add(big), 0);
    EXPECT_EQ(list.Add(exact), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Image(0).size(), QSize(16, 16));
    EXPECT_EQ(QColor::fromRgb(list.Image(0).pixel(8, 8)), QColor(Qt::red));
    EXPECT_EQ(qAlpha(list.Image(1).pixel(3, 3)), 0); // own alpha kept
    EXPECT_TRUE(list.Image(2).isNull());
    EXPECT_TRUE(list.Image(-1).isNull());
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    list.Delete(7); // out of range: nothing
    EXPECT_EQ(list.Count(), 1);
}

TEST(ImageList, MaskColourBecomesTransparent)
{
    TImageList list(4, 4);
    QImage glyph(4, 4, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    glyph.setPixel(1, 1, qRgb(0, 0, 0));
    list.Add(glyph, clWhite);
    list.Add(glyph); // no mask: opaque
    EXPECT_EQ(qAlpha(list.Image(0).pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(list.Image(0).pixel(1, 1)), 255);
    EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 0)), 255);
    list.Replace(1, glyph, clBlack);
    EXPECT_EQ(qAlpha(list.Image(1).pixel(1, 1)), 0);
}

TEST(ImageList, ChangeLinksHearChangesAndDestruction)
{
    auto list = std::make_unique<TImageList>();
    int changes = 0, destroyed = 0, otherChanges = 0;
    list->RegisterChangeLink([&] { ++changes; }, [&] { ++destroyed; });
    const int other = list->RegisterChangeLink([&] { ++otherChanges; });
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::blue);
    list->Add(glyph);
    list->Replace(0, glyph);
    list->UnregisterChangeLink(other);
    list->Clear();
    list->Clear(); // nothing left: no change
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(otherChanges, 2);

    // A listener that unregisters itself while being told is safe.
    int selfId = 0;
    selfId = list->RegisterChangeLink([&] { list->UnregisterChangeLink(selfId); });
    list->Add(glyph);
    list->Add(glyph);
    EXPECT_EQ(changes, 5);

    list.reset();
    EXPECT_EQ(destroyed, 1);
}
