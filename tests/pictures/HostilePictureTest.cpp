// Picture sources that try to exhaust memory: files that never end or lie about their size,
// GIF headers promising huge screens, and huge pictures drawn at printer resolution. The
// dangerous cases run in a child process with a memory limit.
#include "GifBuilder.h"
#include "pictures/THTMLPicture.h"
#include "platform/OrvExceptions.h"
#include "platform/TCanvas.h"
#include "support/LimitedChild.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr qint64 kMB = 1024 * 1024;
constexpr qint64 kFileCap = 64 * kMB; // the most a picture file may hold

QImage Device(int w, int h, int dotsPerInch)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
    image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    return image;
}

void ExpectCleanExit(const orvtest::ChildOutcome& child)
{
    EXPECT_FALSE(child.timedOut);
    EXPECT_FALSE(child.overMemory) << child.output.toStdString();
    EXPECT_TRUE(child.exited) << "signal " << child.signal;
    EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
}

} // namespace

TEST(HostilePicture, EndlessProcFileIsRefusedWithoutReadingIt)
{
    // Files under /proc report size 0 and then stream without end (pagemap gives gigabytes).
    const auto child = orvtest::RunLimitedChild(
        [] {
            for (const char* path : { "/proc/self/pagemap", "/proc/self/status", "/proc/self/maps" }) {
                THTMLPicture picture;
                picture.LoadFromFile(QString::fromLatin1(path));
                if (!picture.Empty() || !picture.SaveToData().isEmpty() || picture.LayoutWidth() != 0) {
                    orvtest::ChildReport(QByteArray("read ") + path);
                    return 1;
                }
            }
            return 0;
        },
        256 * kMB, 60000);
    ExpectCleanExit(child);
}

TEST(HostilePicture, FileSizeCapHoldsOnBothSides)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A real PNG followed by zeros up to the size asked for (sparse: the disk is not used);
    // the PNG reader stops at the picture's end, so a file that is read at all decodes.
    QImage red(3, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    auto padded = [&](const QString& name, qint64 size) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_TRUE(red.save(&f, "PNG"));
        EXPECT_TRUE(f.resize(size));
        return f.fileName();
    };
    THTMLPicture picture;
    picture.LoadFromFile(padded("at-cap.png", kFileCap));
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.SaveToData().size(), kFileCap);
    picture.LoadFromFile(padded("over-cap.png", kFileCap + 1));
    EXPECT_TRUE(picture.Empty());
    EXPECT_TRUE(picture.SaveToData().isEmpty());
}

TEST(HostilePicture, GifThatDoesNotDecodeLaysOutNothing)
{
    // A header promising a 65535 x 65535 screen whose frame cannot be decoded (the screen alone
    // is beyond the reader's allocation limit), and a header with a frame that is cut short.
    QByteArray cut = giftest::Build(300, 200, { giftest::Flat(0, 0, 4, 4, 1) });
    cut.truncate(cut.indexOf('\x2C') + 6);
    for (const QByteArray& bytes : { giftest::Build(65535, 65535, { giftest::Flat(0, 0, 1, 1, 1) }), cut }) {
        THTMLPicture picture;
        EXPECT_THROW(picture.LoadFromData(bytes), EPictureError);
        EXPECT_TRUE(picture.Empty());
        EXPECT_EQ(picture.LayoutWidth(), 0);
        EXPECT_EQ(picture.LayoutHeight(), 0);
        EXPECT_EQ(picture.LogicalWidth(), 0);
        EXPECT_EQ(picture.SaveToData(), bytes); // kept for saving
    }
}

TEST(HostilePicture, LargeScreenDrawnAtPrinterResolutionStaysBounded)
{
    // A tiny GIF with a 5000 x 5000 screen decodes to 5000 x 5000 pixels; at 1200 dpi its natural
    // size is 62,500 pixels square. Only what the device shows may be produced.
    const QByteArray gif = giftest::Build(5000, 5000, { giftest::Flat(0, 0, 1, 1, 1, false) });
    ASSERT_LT(gif.size(), 64);
    for (int dpi : { 300, 1200 }) {
        SCOPED_TRACE(dpi);
        const auto child = orvtest::RunLimitedChild(
            [&] {
                THTMLPicture picture;
                picture.LoadFromData(gif);
                QImage target = Device(200, 200, dpi);
                {
                    TCanvas canvas(&target);
                    picture.Draw(canvas, TRect { 10, 10, 20, 20 });
                }
                // The red screen pixel covers dpi/96 device pixels from (10, 10).
                const int scale = dpi / 96;
                const bool red = target.pixelColor(10 + scale / 2, 10 + scale / 2) == QColor(Qt::red);
                const bool beyond = target.pixelColor(10 + scale + 2, 10 + scale + 2) != QColor(Qt::red);
                const bool before = target.pixelColor(5, 5) == QColor(Qt::white);
                orvtest::ChildReport(
                    QByteArray::number(red) + QByteArray::number(beyond) + QByteArray::number(before));
                return red && beyond && before ? 0 : 1;
            },
            600 * kMB, 120000);
        ExpectCleanExit(child);
    }
}
