// Decoding, GIF frame selection, loading paths and assignment of THTMLPicture.
#include "pictures/THTMLPicture.h"
#include "GifBuilder.h"
#include "platform/OrvExceptions.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QResource>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

QByteArray Encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

QImage Solid(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

bool Near(QColor a, QColor b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

std::string LoadError(THTMLPicture& picture, const QByteArray& bytes)
{
    try {
        picture.LoadFromData(bytes);
    } catch (const EPictureError& e) {
        return e.what();
    }
    return {};
}

// 8x4 screen; frame 1 red 8x4 at (0,0), frame 2 green 2x3 at (3,1), frame 3 blue 1x1 at (7,2).
QByteArray ThreeFrames()
{
    return giftest::Build(
        8, 4, { giftest::Flat(0, 0, 8, 4, 1), giftest::Flat(3, 1, 2, 3, 2), giftest::Flat(7, 2, 1, 1, 3) });
}

} // namespace

TEST(THTMLPicture, StartsEmptyWithFrameOneAndNoSize)
{
    THTMLPicture picture;
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Frame(), 1);
    EXPECT_EQ(picture.FrameCount(), -1);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.LayoutHeight(), 0);
    EXPECT_TRUE(picture.AsyncAllowed());
}

TEST(THTMLPicture, SingleFrameGifUsesLogicalScreenForLayout)
{
    // A 3x2 frame inside a 6x5 screen: the layout is the screen, the picture is the frame.
    THTMLPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    picture.LoadFromData(giftest::Build(6, 5, { giftest::Flat(2, 1, 3, 2, 3) }));
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picture.FrameCount(), 1);
    EXPECT_EQ(picture.LogicalWidth(), 6);
    EXPECT_EQ(picture.LogicalHeight(), 5);
    EXPECT_EQ(picture.LayoutWidth(), 6);
    EXPECT_EQ(picture.LayoutHeight(), 5);
    EXPECT_EQ(picture.FrameLeft(), 2);
    EXPECT_EQ(picture.FrameTop(), 1);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    EXPECT_TRUE(Near(picture.Image().pixelColor(0, 0), kBlue));
    EXPECT_TRUE(Near(picture.Image().pixelColor(2, 1), kBlue));
}

TEST(THTMLPicture, AnimatedGifSelectsFrameTwo)
{
    THTMLPicture picture;
    picture.LoadFromData(ThreeFrames());
    EXPECT_EQ(picture.FrameCount(), 3);
    EXPECT_TRUE(Near(picture.Image().pixelColor(0, 0), kRed));
    EXPECT_EQ(picture.Width(), 8);

    int frameChanges = 0;
    picture.OnFrameChange = [&](THTMLPicture& sender) {
        ++frameChanges;
        EXPECT_EQ(&sender, &picture);
        EXPECT_EQ(sender.Frame(), 2); // raised after the new frame is in place
    };
    picture.SetFrame(2);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(picture.FrameLeft(), 3);
    EXPECT_EQ(picture.FrameTop(), 1);
    EXPECT_EQ(picture.LayoutWidth(), 8);
    EXPECT_EQ(picture.LayoutHeight(), 4);
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(picture.Height(), 3);
    EXPECT_TRUE(Near(picture.Image().pixelColor(1, 2), kGreen));
    EXPECT_EQ(picture.SaveToData(), ThreeFrames()); // the raw bytes are never rewritten

    picture.OnFrameChange = nullptr;
    picture.SetFrame(3);
    EXPECT_EQ(picture.FrameLeft(), 7);
    EXPECT_EQ(picture.FrameTop(), 2);
    EXPECT_TRUE(Near(picture.Image().pixelColor(0, 0), kBlue));
}

TEST(THTMLPicture, FrameBeyondTheCountFailsAndKeepsThePreviousFrame)
{
    THTMLPicture picture;
    picture.LoadFromData(ThreeFrames());
    picture.SetFrame(2);
    int frameChanges = 0;
    picture.OnFrameChange = [&](THTMLPicture&) { ++frameChanges; };
    for (int frame : { 4, 0, -3 }) {
        try {
            picture.SetFrame(frame);
            ADD_FAILURE() << "frame " << frame << " decoded";
        } catch (const EPictureError& e) {
            EXPECT_STREQ(e.what(), "Could not load image. Invalid format");
        }
        EXPECT_EQ(picture.Frame(), frame);
        EXPECT_FALSE(picture.Empty());
        EXPECT_TRUE(Near(picture.Image().pixelColor(0, 0), kGreen)) << frame;
        EXPECT_EQ(picture.LogicalWidth(), 8);
    }
    EXPECT_EQ(frameChanges, 0);
}

TEST(THTMLPicture, GifWithoutFrameStartsIsDecodedWhole)
{
    // No graphic control extension: no frames are counted and no screen size is taken.
    THTMLPicture picture;
    picture.LoadFromData(giftest::Build(6, 5, { giftest::Flat(0, 0, 6, 5, 2, false) }));
    EXPECT_EQ(picture.FrameCount(), 0);
    EXPECT_EQ(picture.LogicalWidth(), 0);
    EXPECT_EQ(picture.LayoutWidth(), 6);
    EXPECT_EQ(picture.LayoutHeight(), 5);
    EXPECT_EQ(picture.FrameLeft(), 0);
    EXPECT_TRUE(Near(picture.Image().pixelColor(5, 4), kGreen));
}

TEST(THTMLPicture, OtherFormatsReportTheirSizeAndNoFrames)
{
    struct Row {
        const char* format;
        int w, h;
    };
    for (const Row& row : { Row { "png", 17, 9 }, Row { "bmp", 31, 2 }, Row { "jpeg", 40, 24 } }) {
        SCOPED_TRACE(row.format);
        THTMLPicture picture;
        picture.LoadFromData(Encode(Solid(row.w, row.h, kBlue), row.format));
        EXPECT_FALSE(picture.Empty());
        EXPECT_EQ(picture.FrameCount(), -1);
        EXPECT_EQ(picture.Width(), row.w);
        EXPECT_EQ(picture.Height(), row.h);
        EXPECT_EQ(picture.LayoutWidth(), row.w);
        EXPECT_EQ(picture.LayoutHeight(), row.h);
        EXPECT_EQ(picture.FrameLeft(), 0);
        EXPECT_EQ(picture.LogicalHeight(), 0);
        EXPECT_TRUE(Near(picture.Image().pixelColor(row.w / 2, row.h / 2), kBlue));
    }
}

TEST(THTMLPicture, UndecodableDataRaisesKeepsTheBytesAndLeavesThePictureEmpty)
{
    const QByteArray png = Encode(Solid(4, 4, kRed), "png");
    QByteArray gifWithGarbageFrame = giftest::Build(4, 4, { giftest::Flat(0, 0, 4, 4, 1) });
    gifWithGarbageFrame.truncate(gifWithGarbageFrame.indexOf('\x2C') + 5); // descriptor cut short
    struct Row {
        const char* name;
        QByteArray bytes;
    };
    const Row rows[] = {
        { "empty", QByteArray() },
        { "four bytes GIF8", QByteArray("GIF8") }, // too short to be a GIF: handed over whole
        { "text", QByteArray("hello, this is not a picture at all") },
        { "png cut in half", png.left(png.size() / 2) },
        { "gif header only", QByteArray("GIF89a\x05\x00\x05\x00\x00\x00\x00", 13) },
        { "gif frame cut short", gifWithGarbageFrame },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        THTMLPicture picture;
        int changes = 0;
        picture.OnChange = [&] { ++changes; };
        EXPECT_EQ(LoadError(picture, row.bytes), "Could not load image. Invalid format");
        EXPECT_TRUE(picture.Empty());
        EXPECT_EQ(picture.SaveToData(), row.bytes);
        EXPECT_EQ(picture.Width(), 0);
        EXPECT_EQ(picture.LayoutWidth(), 0);
        EXPECT_EQ(picture.LayoutHeight(), 0);
        EXPECT_EQ(changes, 0);
    }
    THTMLPicture shortOne;
    shortOne.LoadFromData(png); // a decoded picture does not survive new, broken bytes
    EXPECT_FALSE(LoadError(shortOne, "GIF8").empty());
    EXPECT_EQ(shortOne.FrameCount(), -1);
    EXPECT_EQ(shortOne.Width(), 0);
}

TEST(THTMLPicture, FrameCountFollowsNewData)
{
    THTMLPicture picture;
    picture.LoadFromData(ThreeFrames());
    EXPECT_EQ(picture.FrameCount(), 3);
    picture.LoadFromData(giftest::Build(2, 2, { giftest::Flat(0, 0, 2, 2, 1) }));
    EXPECT_EQ(picture.FrameCount(), 1);
    picture.LoadFromData(Encode(Solid(2, 2, kRed), "png"));
    EXPECT_EQ(picture.FrameCount(), -1);
}

TEST(THTMLPicture, StreamLoadTakesTheWholeStream)
{
    const QByteArray bytes = Encode(Solid(6, 3, kRed), "png");
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(10); // the caller's position does not cut the picture
    THTMLPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    picture.LoadFromStream(&buffer);
    EXPECT_EQ(picture.Width(), 6);
    EXPECT_EQ(changes, 1);
    picture.LoadFromStream(nullptr);
    EXPECT_EQ(picture.Width(), 6);
    EXPECT_EQ(changes, 1);

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    picture.SaveToStream(&out);
    EXPECT_EQ(out.data(), bytes);

    THTMLPicture streamed; // form streaming reads without announcing a change
    int streamedChanges = 0;
    streamed.OnChange = [&] { ++streamedChanges; };
    QBuffer in;
    in.setData(bytes);
    streamed.ReadData(&in);
    EXPECT_EQ(streamed.Height(), 3);
    EXPECT_EQ(streamedChanges, 0);
}

TEST(THTMLPicture, FileLoadSwallowsFailuresAndLeavesThePictureEmpty)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString good = dir.filePath("good.png");
    const QString bad = dir.filePath("bad.png");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Encode(Solid(9, 4, kGreen), "png"));
        QFile g(bad);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write("not a picture");
    }
    THTMLPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    picture.LoadFromFile(good);
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Width(), 9);
    EXPECT_EQ(changes, 1);

    // Devices, pipes and folders are not pictures; reading them would block or never end.
    const QString fifo = dir.filePath("pipe.gif");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path :
        { bad, dir.filePath("missing.png"), QString(), fifo, QString("/dev/zero"), dir.path() }) {
        SCOPED_TRACE(path.toStdString());
        picture.LoadFromFile(good);
        EXPECT_NO_THROW(picture.LoadFromFile(path));
        EXPECT_TRUE(picture.Empty());
        EXPECT_EQ(picture.Width(), 0);
        EXPECT_EQ(picture.LayoutWidth(), 0);
    }
}

TEST(THTMLPicture, AssignCopiesDataAndResetsTheFrame)
{
    THTMLPicture source;
    source.LoadFromData(Encode(Solid(5, 7, kRed), "png"));
    THTMLPicture target;
    target.LoadFromData(ThreeFrames());
    target.SetFrame(3);
    int frameChanges = 0, changes = 0;
    target.OnFrameChange = [&](THTMLPicture& p) {
        ++frameChanges;
        EXPECT_EQ(p.Frame(), 1);
    };
    target.OnChange = [&] { ++changes; };
    target.Assign(&source);
    EXPECT_EQ(target.Frame(), 1);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(target.SaveToData(), source.SaveToData());
    EXPECT_EQ(target.FrameCount(), -1);
    EXPECT_EQ(target.Width(), 5);
    EXPECT_EQ(target.FrameLeft(), 0);
    EXPECT_EQ(target.LogicalWidth(), 0);

    target.Assign(&target); // self-assignment keeps the picture
    EXPECT_EQ(target.Height(), 7);

    target.Assign(nullptr);
    EXPECT_TRUE(target.Empty());
    EXPECT_TRUE(target.SaveToData().isEmpty());
    EXPECT_EQ(target.Width(), 0);
    EXPECT_EQ(target.LayoutWidth(), 0);
    EXPECT_EQ(frameChanges, 3);

    THTMLPicture fresh; // nothing loaded: no frame change to announce
    fresh.OnFrameChange = [&](THTMLPicture&) { ADD_FAILURE(); };
    fresh.Assign(&source);
    EXPECT_EQ(fresh.Width(), 5);
}

TEST(THTMLPicture, FileSourcesAreUpperCasedAndFallBackToTheWrittenPath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("pic.png");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Encode(Solid(3, 8, kRed), "png"));
    f.close();

    THTMLPicture picture;
    picture.LoadFromSource("file://" + path);
    EXPECT_EQ(picture.ID(), ("FILE://" + path).toUpper());
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Height(), 8);
    EXPECT_TRUE(picture.URL().isEmpty());

    // Markup hands sources over already upper-cased: the file is still found by its name.
    THTMLPicture upper;
    upper.LoadFromSource(("FILE://" + path).toUpper());
    EXPECT_EQ(upper.Height(), 8);
    QDir(dir.path()).mkdir("Sub");
    QFile::copy(path, dir.filePath("Sub/Other.PNG"));
    THTMLPicture nested;
    nested.LoadFromSource("file://" + dir.filePath("sub/other.png"));
    EXPECT_EQ(nested.Width(), 3);

    THTMLPicture missing;
    missing.LoadFromSource("File://" + dir.filePath("nothing.gif"));
    EXPECT_TRUE(missing.Empty());
    EXPECT_EQ(missing.ID(), ("FILE://" + dir.filePath("nothing.gif")).toUpper());

    THTMLPicture noPath;
    noPath.LoadFromSource("file://");
    EXPECT_TRUE(noPath.Empty());
    EXPECT_EQ(noPath.ID(), "FILE://");
}

TEST(THTMLPicture, ResourceSourcesLoadRawDataResources)
{
    ASSERT_TRUE(QResource::registerResource(orvtest::DataPath("pictures/rcdata.rcc")));
    struct Row {
        const char* source;
        int width; // 0 = nothing loaded
    };
    for (const Row& row : { Row { "res://LOGO", 5 }, Row { "RES://logo", 5 }, Row { "res://banner", 7 },
             Row { "RES://MISSING", 0 }, Row { "res://", 0 } }) {
        SCOPED_TRACE(row.source);
        THTMLPicture picture;
        picture.LoadFromSource(row.source);
        EXPECT_EQ(picture.ID(), QString(row.source).toUpper());
        EXPECT_EQ(picture.Empty(), row.width == 0);
        EXPECT_EQ(picture.Width(), row.width);
    }
    QResource::unregisterResource(orvtest::DataPath("pictures/rcdata.rcc"));
}

TEST(THTMLPicture, OtherSourcesAreOnlyRecorded)
{
    THTMLPicture recorded;
    recorded.SetAsyncAllowed(false);
    recorded.LoadFromSource("http://example.com/a.gif");
    EXPECT_TRUE(recorded.Empty());
    EXPECT_EQ(recorded.ID(), "HTTP://EXAMPLE.COM/A.GIF");
    EXPECT_EQ(recorded.URL(), "HTTP://EXAMPLE.COM/A.GIF");
    EXPECT_FALSE(recorded.DownloadStarted());

    THTMLPicture downloaded;
    bool raised = false;
    downloaded.OnDownLoadComplete = [&](THTMLPicture&) { raised = true; };
    downloaded.OnDownLoadError = [&](THTMLPicture&, const QString&) { raised = true; };
    downloaded.LoadFromSource("http://example.com/b.gif");
    EXPECT_TRUE(downloaded.DownloadStarted());
    EXPECT_EQ(downloaded.URL(), "HTTP://EXAMPLE.COM/B.GIF");
    EXPECT_TRUE(downloaded.ID().isEmpty()); // not findable in a cache: it was never meant for one
    downloaded.LoadFromSource("http://example.com/c.gif"); // one download per picture
    EXPECT_EQ(downloaded.URL(), "HTTP://EXAMPLE.COM/B.GIF");
    QCoreApplication::processEvents();
    EXPECT_TRUE(downloaded.Empty());
    EXPECT_FALSE(raised);
}
