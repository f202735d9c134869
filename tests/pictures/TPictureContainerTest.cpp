// Named pictures: lookup, copying of items and collections, end-of-life notification.
#include "pictures/TPictureContainer.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace {

QByteArray Png(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

TPictureItem& AddItem(TPictureContainer& container, const QString& name, int width, int tag = 0)
{
    TPictureItem& item = container.Items().Add();
    item.SetName(name);
    item.SetTag(tag);
    item.Picture().LoadFromData(Png(width, 1));
    return item;
}

} // namespace

TEST(TPictureContainer, FindsPicturesByNameIgnoringCase)
{
    TPictureContainer container;
    AddItem(container, "Logo", 3);
    AddItem(container, "logo", 4); // a later duplicate is never found
    AddItem(container, "Straße", 5);
    struct Row {
        const char* name;
        int width; // 0 = not found
    };
    for (const Row& row : { Row { "logo", 3 }, Row { "LOGO", 3 }, Row { "Logo", 3 }, Row { "STRASSE", 5 },
             Row { "straße", 5 }, Row { "", 0 }, Row { "log", 0 }, Row { "logos", 0 } }) {
        SCOPED_TRACE(row.name);
        THTMLPicture* found = container.FindPicture(QString::fromUtf8(row.name));
        if (row.width == 0) {
            EXPECT_EQ(found, nullptr);
        } else {
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(found->Width(), row.width);
        }
    }
    EXPECT_EQ(container.FindPicture("logo"), &container.Items()[0].Picture());
}

TEST(TPictureContainer, CollectionKnowsItsOwnerAndIndexes)
{
    TPictureContainer container;
    EXPECT_EQ(container.Items().Owner(), &container);
    TPictureItem& a = AddItem(container, "a", 1);
    TPictureItem& b = AddItem(container, "b", 2);
    EXPECT_EQ(container.Items().Count(), 2);
    EXPECT_EQ(b.Index(), 1);
    EXPECT_THROW(container.Items()[2], std::out_of_range);
    EXPECT_THROW(container.Items()[-1], std::out_of_range);
    container.Items().Delete(0);
    EXPECT_EQ(b.Index(), 0); // references to the remaining items stay valid
    EXPECT_EQ(container.FindPicture("a"), nullptr);
    (void)a;
    container.Items().Clear();
    EXPECT_EQ(container.Items().Count(), 0);
}

TEST(TPictureContainer, CopiesAreIndependent)
{
    TPictureContainer source;
    AddItem(source, "One", 6, 11);
    AddItem(source, "Two", 7, 22);
    TPictureContainer target;
    AddItem(target, "Old", 1);
    target.SetItems(source.Items());
    ASSERT_EQ(target.Items().Count(), 2);
    EXPECT_EQ(target.Items()[1].Name(), "Two");
    EXPECT_EQ(target.Items()[1].Tag(), 22);
    EXPECT_EQ(target.FindPicture("old"), nullptr);
    EXPECT_EQ(target.Items()[0].Collection(), &target.Items());

    source.Items()[0].Picture().LoadFromData(Png(50, 1));
    source.Items()[0].SetName("Changed");
    EXPECT_EQ(target.FindPicture("one")->Width(), 6);

    TPictureItem& item = target.Items().Add();
    item.SetPicture(source.Items()[1].Picture());
    EXPECT_EQ(item.Picture().Width(), 7);
    EXPECT_NE(&item.Picture(), &source.Items()[1].Picture());
    item.Assign(source.Items()[0]);
    EXPECT_EQ(item.Name(), "Changed");
    EXPECT_EQ(item.Tag(), 11);
    EXPECT_EQ(item.Picture().Width(), 50);

    target.SetItems(target.Items()); // copying onto itself changes nothing
    EXPECT_EQ(target.Items().Count(), 3);
}

TEST(TPictureContainer, TellsRegisteredListenersWhenDestroyed)
{
    int first = 0, second = 0, removed = 0;
    {
        TPictureContainer container;
        container.RegisterDestroyedListener([&] { ++first; });
        const int id = container.RegisterDestroyedListener([&] { ++removed; });
        container.RegisterDestroyedListener([&] { ++second; });
        container.UnregisterDestroyedListener(id);
        container.UnregisterDestroyedListener(999);
    }
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(removed, 0);
}
