// Cell markup written to exhaust time or memory: deep runs of font tags, pictures named by
// endless files, by headers that promise huge screens, and drawn at printer resolution. What
// could take the memory of the machine runs in a child process with a limit.
#include "markup/DrawMarkup.h"
#include "pictures/THTMLPictureCache.h"
#include "platform/TCanvas.h"
#include "support/LimitedChild.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <time.h>

namespace {

constexpr qint64 kMB = 1024 * 1024;

double ThreadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Drawn {
    int width = 0;
    int height = 0;
    QString plain;
    double cpuSeconds = 0;
};

Drawn Draw(TCanvas& canvas, const QString& text, const TRect& rect, THTMLPictureCache* cache,
    bool measureOnly = false, bool printing = false)
{
    Drawn d;
    QString href, focusHref;
    int anchors = 0, hover = -1;
    TRect hoverRect;
    const double start = ThreadCpuSeconds();
    DrawMarkup(canvas, text, rect, nullptr, 0, 0, -1, -1, 1, false, measureOnly, printing, false, true, false,
        true, printing ? 12.5 : 0, clBlue, clNone, clNone, clGray, href, d.plain, focusHref, d.width,
        d.height, anchors, hover, hoverRect, cache, nullptr);
    d.cpuSeconds = ThreadCpuSeconds() - start;
    return d;
}

QString NestedFonts(int count)
{
    QString text;
    text.reserve(count * 30);
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("<FONT COLOR=\"#%1\" SIZE=\"%2\">")
                    .arg(i % 0xFFFFFF, 6, 16, QChar(u'0'))
                    .arg(i % 7 + 1);
    text += QStringLiteral("deep");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("</FONT>");
    return text;
}

void ExpectCleanExit(const orvtest::ChildOutcome& child)
{
    EXPECT_FALSE(child.timedOut);
    EXPECT_FALSE(child.overMemory) << child.output.toStdString();
    EXPECT_TRUE(child.exited) << "signal " << child.signal;
    EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
}

// A GIF of one red pixel on a logical screen of w x h; with `control` its frame is announced by
// a graphic control extension (then only the frame is decoded), without it the whole screen is.
QByteArray ScreenGif(int w, int h, bool control)
{
    QByteArray b("GIF89a");
    auto word = [&](int v) {
        b.append(char(v & 0xFF));
        b.append(char((v >> 8) & 0xFF));
    };
    word(w);
    word(h);
    b.append("\x81\x01\x00", 3); // a four-colour table, background white
    b.append("\xFF\x00\x00\xFF\xFF\xFF\x00\x00\xFF\x00\x00\x00", 12);
    if (control)
        b.append("\x21\xF9\x04\x00\x00\x00\x00\x00", 8);
    b.append('\x2C');
    word(0);
    word(0);
    word(1);
    word(1);
    b.append('\x00');
    b.append("\x02\x02\x44\x01\x00;", 6); // clear, index 0, end
    return b;
}

} // namespace

TEST(HostileMarkup, HundredThousandNestedFontTagsStayLinear)
{
    const QString small = NestedFonts(10000);
    const QString large = NestedFonts(100000);
    const auto child = orvtest::RunLimitedChild(
        [&] {
            QImage image(300, 60, QImage::Format_RGB32);
            image.fill(Qt::white);
            TCanvas canvas(&image);
            const Drawn a = Draw(canvas, small, TRect { 0, 0, 300, 60 }, nullptr);
            const Drawn b = Draw(canvas, large, TRect { 0, 0, 300, 60 }, nullptr);
            const Drawn m = Draw(canvas, large, TRect { 0, 0, 300, 60 }, nullptr, true);
            orvtest::ChildReport(QByteArray::number(a.cpuSeconds) + " " + QByteArray::number(b.cpuSeconds));
            // Ten times the tags, at most about ten times the time (and a floor for timer noise).
            if (b.cpuSeconds > 14 * a.cpuSeconds + 0.05)
                return 1;
            if (b.plain != QLatin1String("deep") || m.width <= 0)
                return 2;
            return 0;
        },
        384 * kMB, 300000);
    ExpectCleanExit(child);
    std::printf("10,000 / 100,000 nested font tags, CPU seconds: %s\n", child.output.constData());
}

// Every FONT tag names a face or a size not seen before and a letter follows it: each would
// need the system's font matcher (it took a minute for 100,000). Compared with the same text
// switching between two fonts only.
TEST(HostileMarkup, HundredThousandDifferentFontsDrawInTimeOfAFew)
{
    auto text = [](bool different, bool faces) {
        QString t;
        t.reserve(100000 * 32);
        for (int i = 0; i < 100000; ++i) {
            const int n = different ? i : i % 2;
            t += faces ? QStringLiteral("<FONT FACE=\"Face%1\">x").arg(n)
                       : QStringLiteral("<FONT SIZE=\"%1\">x").arg(n % 490 + 8);
        }
        for (int i = 0; i < 100000; ++i)
            t += QStringLiteral("</FONT>");
        return t;
    };
    for (const bool faces : { true, false }) {
        const QString few = text(false, faces);
        const QString many = text(true, faces);
        const auto child = orvtest::RunLimitedChild(
            [&] {
                QImage image(300, 60, QImage::Format_RGB32);
                image.fill(Qt::white);
                TCanvas canvas(&image);
                const Drawn a = Draw(canvas, few, TRect { 0, 0, 300, 60 }, nullptr);
                const Drawn b = Draw(canvas, many, TRect { 0, 0, 300, 60 }, nullptr);
                orvtest::ChildReport(
                    QByteArray::number(a.cpuSeconds) + " " + QByteArray::number(b.cpuSeconds));
                if (b.cpuSeconds > 3 * a.cpuSeconds + 0.1)
                    return 1;
                // Every letter is still there.
                if (b.plain != QString(100000, QLatin1Char('x')))
                    return 2;
                return 0;
            },
            384 * kMB, orvtest::SanitizedBuild() ? 600000 : 60000);
        ExpectCleanExit(child);
        std::printf("100,000 font tags, 2 / all different %s, CPU seconds: %s\n", faces ? "faces" : "sizes",
            child.output.constData());
    }
}

// The text switches among at most 32 faces and sizes besides its own; past that a FONT tag
// keeps the face and size in use, its colour still applies, and the fonts met before stay
// reachable.
TEST(HostileMarkup, FontsPastTheBoundKeepTheFontInUse)
{
    std::vector<TCanvasRecord> records;
    TCanvas canvas;
    canvas.SetRecorder(&records);
    canvas.SetFixedMetrics(6, 9, 3);
    TFont base;
    base.SetSize(9);
    canvas.SetFont(base);
    QString text;
    for (int size = 10; size < 10 + 40; ++size)
        text += QStringLiteral("<FONT SIZE=\"%1\" COLOR=\"#%2\">%3 ")
                    .arg(size)
                    .arg(size, 6, 16, QChar(u'0'))
                    .arg(size);
    text += QStringLiteral("<FONT SIZE=\"12\">again <FONT SIZE=\"9\">own </FONT>base");
    Draw(canvas, text, TRect { 0, 0, 100000, 100000 }, nullptr);

    auto heightOf = [](int points) {
        TFont f;
        f.SetSize(points);
        return f.Height();
    };
    std::map<QString, const TCanvasRecord*> drawn;
    for (const TCanvasRecord& r : records) {
        if (r.kind == TCanvasRecord::Text)
            drawn[r.text.trimmed()] = &r;
    }
    ASSERT_EQ(drawn.size(), 40u + 3u);
    for (int size = 10; size < 10 + 40; ++size) {
        const TCanvasRecord& r = *drawn.at(QString::number(size));
        // Sizes 10 ... 41 are the first 32 different fonts; 42 on keep 41.
        EXPECT_EQ(r.fontHeight, heightOf(std::min(size, 41))) << size;
        EXPECT_EQ(r.color, RGBColor(size >> 16, (size >> 8) & 0xFF, size & 0xFF)) << size;
    }
    EXPECT_EQ(drawn.at("again")->fontHeight, heightOf(12));
    EXPECT_EQ(drawn.at("own")->fontHeight, base.Height());
    EXPECT_EQ(drawn.at("base")->fontHeight, base.Height());
}

TEST(HostileMarkup, EndlessPictureFileIsRefusedOnceAndRemembered)
{
    const auto child = orvtest::RunLimitedChild(
        [] {
            QImage image(300, 40, QImage::Format_RGB32);
            TCanvas canvas(&image);
            THTMLPictureCache cache;
            for (int paint = 0; paint < 3; ++paint) {
                const Drawn d = Draw(canvas, QStringLiteral("a<IMG SRC=\"file:///proc/self/pagemap\">b"),
                    TRect { 0, 0, 300, 40 }, &cache);
                if (d.width != canvas.TextWidth(QStringLiteral("ab")))
                    return 1;
            }
            if (cache.Count() != 1 || !cache.Items(0)->Empty())
                return 2;
            return 0;
        },
        256 * kMB, 60000);
    ExpectCleanExit(child);
}

TEST(HostileMarkup, PictureThatFailsToDecodeTakesNoRoom)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Frame start announced, screen 65535 x 65535: too large for the reader, so nothing decodes.
    const QString path = dir.filePath("huge.gif");
    orvtest::WriteBytes(path, ScreenGif(65535, 65535, false));
    QImage image(300, 40, QImage::Format_RGB32);
    TCanvas canvas(&image);
    THTMLPictureCache cache;
    const Drawn d = Draw(canvas, "<IMG SRC=\"file://" + path + "\">x", TRect { 0, 0, 300, 40 }, &cache, true);
    EXPECT_EQ(d.width, canvas.TextWidth(QStringLiteral("x")));
    EXPECT_LT(d.height, 100);
}

TEST(HostileMarkup, LargeScreenPrintedAtHighResolutionStaysBounded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("screen.gif");
    orvtest::WriteBytes(path, ScreenGif(5000, 5000, false)); // 41 bytes, decoded 5000 x 5000
    const QString text = "<IMG SRC=\"file://" + path + "\">";
    const auto child = orvtest::RunLimitedChild(
        [&] {
            QImage page(400, 400, QImage::Format_RGB32);
            page.fill(Qt::white);
            page.setDotsPerMeterX(qRound(1200 / 0.0254));
            page.setDotsPerMeterY(qRound(1200 / 0.0254));
            TCanvas canvas(&page);
            THTMLPictureCache cache;
            const Drawn d = Draw(canvas, text, TRect { 0, 0, 400, 400 }, &cache, false, true);
            // Laid out at 1200 dpi: 62,500 pixels wide; the red screen pixel at the top left.
            orvtest::ChildReport(QByteArray::number(d.width));
            if (d.width != 62500)
                return 1;
            return page.pixelColor(3, 3) == QColor(Qt::red) && page.pixelColor(30, 30) != QColor(Qt::red) ? 0
                                                                                                          : 2;
        },
        600 * kMB, 120000);
    ExpectCleanExit(child);
}
