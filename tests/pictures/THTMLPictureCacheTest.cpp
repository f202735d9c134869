// The per-list cache of source pictures: exact lookup by ID and ownership.
#include "pictures/THTMLPictureCache.h"

#include <gtest/gtest.h>
#include <memory>

TEST(THTMLPictureCache, FindsByExactIdAndAppends)
{
    THTMLPictureCache cache;
    EXPECT_EQ(cache.FindPicture(""), nullptr);
    THTMLPicture* a = cache.AddPicture();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->Empty());
    a->SetAsyncAllowed(false);
    a->LoadFromSource("http://host/a.gif");
    THTMLPicture* b = cache.AddPicture();
    b->SetAsyncAllowed(false);
    b->LoadFromSource("RES://NOT-THERE");
    THTMLPicture* duplicate = cache.AddPicture();
    duplicate->SetAsyncAllowed(false);
    duplicate->LoadFromSource("HTTP://HOST/A.GIF");

    EXPECT_EQ(cache.Count(), 3);
    EXPECT_EQ(cache.Items(1), b);
    EXPECT_EQ(cache.Items(3), nullptr);
    EXPECT_EQ(cache.FindPicture("HTTP://HOST/A.GIF"), a); // the first match wins
    EXPECT_EQ(cache.FindPicture("RES://NOT-THERE"), b);
    EXPECT_EQ(cache.FindPicture("http://host/a.gif"), nullptr); // IDs are compared exactly
    EXPECT_EQ(cache.FindPicture("HTTP://HOST/A.GI"), nullptr);
}

TEST(THTMLPictureCache, ReleasesItsPictures)
{
    // Each picture holds a token in its handler; the token's count shows which pictures live.
    auto token = std::make_shared<int>(0);
    {
        THTMLPictureCache cache;
        for (int i = 0; i < 3; ++i)
            cache.AddPicture()->OnChange = [token] {};
        EXPECT_EQ(token.use_count(), 4);
        cache.Clear();
        EXPECT_EQ(cache.Count(), 0);
        EXPECT_EQ(token.use_count(), 1);
        cache.AddPicture()->OnChange = [token] {};
        cache.AddPicture()->OnChange = [token] {};
        EXPECT_EQ(token.use_count(), 3);
    }
    EXPECT_EQ(token.use_count(), 1);
}
