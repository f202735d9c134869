// The per-list cache of source pictures: lookup by ID, ownership, limits and refusals.
#include "pictures/THTMLPictureCache.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

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

namespace {

// A PNG file of `w` x `h` pixels in `dir`; returns its "FILE://" source as markup hands it over
// (upper-cased).
QString PngSource(const QTemporaryDir& dir, const QString& name, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return (QStringLiteral("FILE://") + path).toUpper();
}

// The IDs in the order added, read without counting as a use.
QStringList Ids(const THTMLPictureCache& cache)
{
    QStringList ids;
    for (int i = 0; i < cache.Count(); ++i)
        ids << cache.Items(i)->ID();
    return ids;
}

THTMLPicture* Load(THTMLPictureCache& cache, const QString& source)
{
    THTMLPicture* picture = cache.AddPicture();
    picture->SetAsyncAllowed(false);
    picture->LoadFromSource(source);
    return picture;
}

} // namespace

TEST(THTMLPictureCache, ReleasesLeastRecentlyUsedPicturesBeyondItsMemoryLimit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = PngSource(dir, "a.png", 100, 100);
    const QString b = PngSource(dir, "b.png", 100, 100);
    const QString c = PngSource(dir, "c.png", 100, 100);
    const QString d = PngSource(dir, "d.png", 100, 100);

    THTMLPictureCache cache;
    ASSERT_FALSE(Load(cache, a)->Empty());
    const qint64 one = cache.Bytes();
    ASSERT_GT(one, 100 * 100 * 4); // decoded pixels and the file's bytes
    cache.SetMaxBytes(3 * one); // room for three
    Load(cache, b);
    Load(cache, c);
    EXPECT_EQ(cache.Count(), 3);
    ASSERT_NE(cache.FindPicture(a), nullptr); // a is used again: b is now the oldest
    Load(cache, d); // over the limit once d is in: the next lookup makes room
    EXPECT_EQ(cache.Count(), 4);
    ASSERT_NE(cache.FindPicture(a), nullptr);
    EXPECT_EQ(Ids(cache), QStringList({ a, c, d }));
    Load(cache, PngSource(dir, "e.png", 100, 100)); // and so does the next addition
    ASSERT_NE(cache.FindPicture(d), nullptr);
    EXPECT_EQ(Ids(cache), QStringList({ a, d, PngSource(dir, "e.png", 100, 100) }));
    EXPECT_LE(cache.Bytes(), 3 * one);

    // Lowering the limit releases at once, oldest first; the limit exactly met keeps the rest.
    cache.SetMaxBytes(2 * one);
    EXPECT_EQ(Ids(cache).size(), 2);
    EXPECT_FALSE(Ids(cache).contains(a));
    EXPECT_EQ(cache.Bytes(), 2 * one);
    cache.SetMaxBytes(2 * one - 1);
    EXPECT_EQ(Ids(cache), QStringList({ d }));
}

TEST(THTMLPictureCache, HoldsAtMostItsCountOfPictures)
{
    THTMLPictureCache cache;
    cache.SetMaxCount(3);
    std::vector<THTMLPicture*> added;
    for (int i = 0; i < 3; ++i) {
        added.push_back(cache.AddPicture());
        added.back()->SetAsyncAllowed(false);
        added.back()->LoadFromSource(QStringLiteral("HTTP://HOST/%1.GIF").arg(i));
    }
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_EQ(cache.Items(0), added[0]);
    cache.FindPicture(QStringLiteral("HTTP://HOST/0.GIF"));
    cache.AddPicture(); // the fourth pushes out the least recently used: 1
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_NE(cache.FindPicture(QStringLiteral("HTTP://HOST/0.GIF")), nullptr);
    EXPECT_EQ(cache.FindPicture(QStringLiteral("HTTP://HOST/1.GIF")), nullptr);
    EXPECT_NE(cache.FindPicture(QStringLiteral("HTTP://HOST/2.GIF")), nullptr);
}

TEST(THTMLPictureCache, SpellingsOfOnePathFindOnePicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    const QString source = PngSource(dir, "p.png", 5, 5);
    const QString folder = (QStringLiteral("FILE://") + dir.path()).toUpper();
    THTMLPictureCache cache;
    THTMLPicture* picture = Load(cache, source);
    for (const QString& spelling :
        { folder + "//P.PNG", folder + "/./P.PNG", folder + "/SUB/../P.PNG", folder + "/SUB/..//./P.PNG" }) {
        SCOPED_TRACE(spelling.toStdString());
        EXPECT_EQ(cache.FindPicture(spelling), picture);
    }
    for (const QString& other : { folder + "/P.PNG2", folder + "/SUB/P.PNG", folder.toLower() + "/p.png" })
        EXPECT_EQ(cache.FindPicture(other), nullptr) << other.toStdString();
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(THTMLPictureCache::NormalizedSource("FILE:///A//B/../C"), "FILE:///A/C");
    EXPECT_EQ(THTMLPictureCache::NormalizedSource("FILE://"), "FILE://");
    EXPECT_EQ(THTMLPictureCache::NormalizedSource("HTTP://A//B"), "HTTP://A//B");
}

TEST(THTMLPictureCache, RefusesDevicesPipesAndFoldersOnceAndRemembers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath("pipe.gif");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    THTMLPictureCache cache;
    int count = 0;
    for (const QString& path : { QStringLiteral("/dev/zero"), fifo, dir.path() }) {
        const QString source = (QStringLiteral("FILE://") + path).toUpper();
        SCOPED_TRACE(source.toStdString());
        THTMLPicture* refused = cache.FindPicture(source);
        ASSERT_NE(refused, nullptr);
        EXPECT_TRUE(refused->Empty());
        EXPECT_EQ(refused->ID(), source);
        EXPECT_EQ(cache.Count(), ++count);
        EXPECT_EQ(cache.FindPicture(source), refused); // looked up once only
        EXPECT_EQ(cache.Count(), count);
    }
    // A regular file or a missing one is not refused here: the caller loads it.
    EXPECT_EQ(cache.FindPicture(QStringLiteral("FILE:///NO/SUCH/FILE.GIF")), nullptr);
    EXPECT_EQ(cache.Count(), count);
}
