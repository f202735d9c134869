// Large and hostile rich-text cells: a render reads and lays out only what the cell can show,
// plain text and length come without building formats, and whatever is read lazily gives the
// same content as reading it all.
#include "platform/TCanvas.h"
#include "platform/TRichEdit.h"
#include "support/LimitedChild.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextDocument>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <time.h>

namespace {

double ThreadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// CPU time allowed for what takes `releaseMs` in an optimised build on an idle machine: room for
// a loaded machine, and far more under the sanitizers.
double Allowed(double releaseMs)
{
    return releaseMs / 1000.0 * (orvtest::SanitizedBuild() ? 60 : 6);
}

QByteArray Header()
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
           "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20 ";
}

QByteArray AlternatingRuns(int runs)
{
    QByteArray rtf = Header();
    for (int i = 0; i < runs; ++i)
        rtf += "\\b a\\b0 b";
    return rtf + "}";
}

// A font table of `fonts` entries in a Cyrillic charset, the text using every `useEvery`-th
// (at most `uses` of them).
QByteArray ManyFonts(int fonts, int useEvery, int uses = 1 << 30)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl";
    for (int i = 0; i < fonts; ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fcharset204 Face" + QByteArray::number(i) + ";}";
    rtf += "}";
    for (int i = 0; i < fonts && uses-- > 0; i += useEvery)
        rtf += "\\f" + QByteArray::number(i) + " w" + QByteArray::number(i) + " ";
    return rtf + "}";
}

struct Cell {
    QImage image { 400, 40, QImage::Format_RGB32 };
    int notDrawn = -1;
    double cpuSeconds = 0;
};

// Loads `rtf` into a fresh engine and renders it into a 400 x 40 pixel cell.
Cell Render(const QByteArray& rtf, const std::function<void(TRichEdit&)>& before = {})
{
    Cell cell;
    cell.image.fill(Qt::white);
    TCanvas canvas(&cell.image);
    TRichEdit edit;
    edit.SetBackgroundColor(clNone);
    const double start = ThreadCpuSeconds();
    edit.LoadFromRtf(rtf);
    if (before)
        before(edit);
    const TRect twips { 0, 0, 400 * 15, 40 * 15 };
    cell.notDrawn = edit.Render(canvas, twips, twips);
    cell.cpuSeconds = ThreadCpuSeconds() - start;
    return cell;
}

// The same content, read in full before the render.
Cell RenderRead(const QByteArray& rtf, const std::function<void(TRichEdit&)>& before = {})
{
    return Render(rtf, [&](TRichEdit& e) {
        (void)e.Document();
        if (before)
            before(e);
    });
}

} // namespace

TEST(RichEditLarge, ManyFormatRunsRenderOnlyWhatTheCellShows)
{
    // 100,000 bold / plain runs (900 KB): the cell shows a line or two of them.
    const QByteArray rtf = AlternatingRuns(100000);
    const Cell cell = Render(rtf);
    EXPECT_LT(cell.cpuSeconds, Allowed(50)) << "rendering took " << cell.cpuSeconds << " s";
    EXPECT_GT(cell.notDrawn, 0);
    EXPECT_LT(cell.notDrawn, 2000);
    // Exactly what the first few thousand runs look like on their own.
    const Cell shortOne = RenderRead(AlternatingRuns(2000));
    EXPECT_EQ(cell.image, shortOne.image);
    EXPECT_EQ(cell.notDrawn, shortOne.notDrawn);
    EXPECT_GT(orvtest::CountPixels(cell.image, cell.image.rect(), Qt::black, 100), 50);
}

TEST(RichEditLarge, HugeFontTablesCostOnlyTheFontsShown)
{
    struct Row {
        const char* name;
        int fonts;
        int useEvery;
    };
    for (const Row& row :
        { Row { "table only, two fonts used", 20000, 10000 }, Row { "every font used", 20000, 1 } }) {
        SCOPED_TRACE(row.name);
        const QByteArray rtf = ManyFonts(row.fonts, row.useEvery);
        const Cell cell = Render(rtf);
        EXPECT_LT(cell.cpuSeconds, Allowed(row.useEvery == 1 ? 250 : 60)) << cell.cpuSeconds << " s";
        // The same table with only the first uses of its fonts, read in full.
        EXPECT_EQ(cell.image, RenderRead(ManyFonts(row.fonts, row.useEvery, 400)).image);
    }
}

QByteArray Words(int bytes)
{
    QByteArray rtf = Header();
    for (int i = 0; rtf.size() < bytes; ++i)
        rtf += (i % 3 == 0) ? "{\\b bold} " : (i % 3 == 1) ? "\\cf1 red\\cf0  " : "plain words ";
    return rtf + "}";
}

TEST(RichEditLarge, AMegabyteCellRendersQuickly)
{
    const Cell cell = Render(Words(1024 * 1024));
    EXPECT_LT(cell.cpuSeconds, Allowed(50)) << cell.cpuSeconds << " s";
    EXPECT_EQ(cell.image, RenderRead(Words(20 * 1024)).image);
}

// `unit` repeated to about `bytes` between a head and a tail.
QByteArray Repeated(const QByteArray& head, const QByteArray& unit, const QByteArray& tail, int bytes)
{
    QByteArray rtf = head;
    rtf.reserve(bytes + tail.size());
    while (rtf.size() + unit.size() + tail.size() <= bytes)
        rtf += unit;
    return rtf + tail;
}

QByteArray Numbered(const QByteArray& head, const QByteArray& before, int count, const QByteArray& after,
    const QByteArray& tail, int bytes)
{
    QByteArray rtf = head;
    for (int i = 0; rtf.size() < bytes; ++i)
        rtf += before + QByteArray::number(i % count + 2) + after;
    return rtf + tail;
}

TEST(RichEditLarge, HostileMegabyteCellsRenderQuicklyAndShowTheirBeginning)
{
    QByteArray fontTable = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 20000; ++i)
        fontTable += "{\\f" + QByteArray::number(i) + " Face" + QByteArray::number(i) + ";}";
    fontTable += "}";
    struct Row {
        const char* name;
        std::function<QByteArray(int bytes)> make;
    };
    const Row rows[] = {
        { "one word", [](int n) { return Repeated("{\\rtf1 ", "abcdefgh", "}", n); } },
        { "blanks", [](int n) { return Repeated("{\\rtf1 ", "  ", "x}", n); } },
        { "not RTF", [](int n) { return Repeated("", "abcdefgh", "", n); } },
        { "unknown words", [](int n) { return Repeated("{\\rtf1 ", "\\zzzz ", "x}", n); } },
        { "nested groups", [](int n) { return Repeated("{\\rtf1 ", "{\\b ", "x}", n); } },
        { "line breaks", [](int n) { return Repeated("{\\rtf1 ", "\\line ", "}", n); } },
        { "tabs", [](int n) { return Repeated("{\\rtf1 ", "\\tab ", "}", n); } },
        { "unicode", [](int n) { return Repeated("{\\rtf1 ", "\\u8364?", "}", n); } },
        { "colour table",
            [](int n) { return Repeated("{\\rtf1{\\colortbl;", "\\red1\\green2\\blue3;", "}\\cf9 x}", n); } },
        { "sizes", [](int n) { return Numbered("{\\rtf1 ", "\\fs", 3000, " x", "}", n); } },
        { "faces", [&](int n) { return Numbered(fontTable, "\\f", 20000, " x", "}", n); } },
        { "picture",
            [](int n) { return Repeated("{\\rtf1 {\\pict\\pngblip ", "0123456789abcdef", "} x}", n); } },
    };
    const double allowed = orvtest::SanitizedBuild() ? 3.0 : 0.1; // the aim is 50 ms
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Cell large = Render(row.make(1024 * 1024));
        EXPECT_LT(large.cpuSeconds, allowed) << large.cpuSeconds << " s";
        // A cell shows the beginning: the same as the first 16 KB of that content (after the
        // font table).
        const Cell small
            = Render(row.make(16 * 1024 + (std::strcmp(row.name, "faces") ? 0 : int(fontTable.size()))));
        EXPECT_EQ(large.image, small.image);
        EXPECT_EQ(large.notDrawn, small.notDrawn);
    }
}

// A run of text without a format change: a cell reads only the part it can show, however long
// the run goes on.
TEST(RichEditLarge, LongRunCostsWhatTheCellShows)
{
    for (const QByteArray& head :
        { QByteArray("{\\rtf1 "), QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0") }) {
        SCOPED_TRACE(head.toStdString());
        const QByteArray small = Repeated(head, "abcdefgh", "}", 16 * 1024);
        const QByteArray large = Repeated(head, "abcdefgh", "}", 1024 * 1024);
        Render(small); // fonts and caches warm
        const Cell a = Render(small);
        const Cell b = Render(large);
        EXPECT_LT(b.cpuSeconds, 4 * a.cpuSeconds + 0.002) << a.cpuSeconds << " / " << b.cpuSeconds << " s";
        EXPECT_EQ(a.image, b.image);
        EXPECT_GT(orvtest::CountPixels(b.image, b.image.rect(), Qt::black, 100), 50);
    }
}

// A cell lays out at most 32 different faces and sizes: runs naming more take the default font.
// Up to the bound a cell shows what the whole document shows.
TEST(RichEditLarge, CellKeepsThirtyTwoFontsAndGivesTheRestTheDefault)
{
    auto sizes = [](int count, int honoured) {
        QByteArray rtf = "{\\rtf1 ";
        for (int i = 0; i < count; ++i)
            rtf += (i < honoured ? "{\\fs" + QByteArray::number(8 + i % 3 + 3 * (i / 3)) + " W}"
                                 : QByteArray("{W}"));
        return rtf + "}";
    };
    QImage wide(1600, 200, QImage::Format_RGB32);
    auto render = [&](const QByteArray& rtf, bool readFirst) {
        wide.fill(Qt::white);
        TCanvas canvas(&wide);
        TRichEdit edit;
        edit.SetBackgroundColor(clNone);
        edit.LoadFromRtf(rtf);
        if (readFirst)
            (void)edit.Document();
        const TRect twips { 0, 0, 1600 * 15, 200 * 15 };
        edit.Render(canvas, twips, twips);
        return wide.copy();
    };
    // 40 runs of different sizes (the first 32 different ones honoured) ...
    const QImage forty = render(sizes(40, 40), false);
    EXPECT_EQ(forty, render(sizes(40, 32), true));
    EXPECT_NE(forty, render(sizes(40, 40), true));
    // ... and exactly 32: all of them, as the whole document has them.
    EXPECT_EQ(render(sizes(32, 32), false), render(sizes(32, 32), true));
}

TEST(RichEditLarge, TextAndLengthWithoutReadingFormats)
{
    const QByteArray rtf = AlternatingRuns(100000);
    TRichEdit edit;
    edit.LoadFromRtf(rtf);
    const double start = ThreadCpuSeconds();
    EXPECT_EQ(edit.TextLength(), 200000);
    const QString text = edit.PlainText();
    EXPECT_LT(ThreadCpuSeconds() - start, Allowed(60));
    EXPECT_EQ(text.size(), 200000);
    EXPECT_TRUE(text.startsWith(QLatin1String("abab")));
}

TEST(RichEditLarge, LazyReadingGivesTheSameContent)
{
    // Real documents and hostile ones: plain text, length, saved RTF and the rendered cell agree
    // between the lazy path and reading everything first.
    QList<QByteArray> inputs;
    for (const QString& folder :
        { orvtest::DataPath("rtf"), QStringLiteral(ORV_SOURCE_DIR "/fuzz/corpus/rtf") }) {
        for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files)) {
            QFile file(f.filePath());
            if (file.open(QIODevice::ReadOnly))
                inputs << file.readAll();
        }
    }
    inputs << QByteArray("plain text, not RTF\r\nsecond line")
           << QByteArray("{\\rtf1 a\\line b\\par c\\~d\\tab e}") << QByteArray()
           << QByteArray("{\\rtf1 \\u8364? \\'80}");
    {
        // The demo's rich cell: a coloured, a bold and a raised word.
        TRichEdit builder;
        builder.SetText(QStringLiteral("This is rich text"));
        builder.SetSelection(0, 4);
        builder.SetSelColor(clBlue);
        builder.SetSelection(8, 4);
        builder.SetSelStyle(fsBold);
        builder.SetSelection(13, 4);
        builder.SetSuperscript();
        inputs << builder.SaveToRtf();
    }
    ASSERT_GT(inputs.size(), 10);
    for (const QByteArray& rtf : inputs) {
        SCOPED_TRACE(rtf.left(60).toStdString());
        TRichEdit lazy;
        TRichEdit read;
        EXPECT_EQ(lazy.LoadFromRtf(rtf), read.LoadFromRtf(rtf));
        (void)read.Document();
        EXPECT_EQ(lazy.TextLength(), read.TextLength());
        EXPECT_EQ(lazy.PlainText(), read.PlainText());
        EXPECT_EQ(lazy.SaveToRtf(), read.SaveToRtf());
        EXPECT_EQ(Render(rtf).image, RenderRead(rtf).image);
    }
}

TEST(RichEditLarge, SelectionFormattingWaitsForTheLazyRead)
{
    // A selected row colours its first 255 characters before the render.
    const auto select = [](TRichEdit& e) {
        e.SetSelection(0, 255);
        e.SetSelColor(clRed);
        e.SetSelection(1, 3);
        e.SetSelStyle(fsBold | fsUnderline);
    };
    struct Row {
        QByteArray rtf;
        QByteArray same; // shows the same in the cell, short enough to be read in full
    };
    for (const Row& row : { Row { AlternatingRuns(50000), AlternatingRuns(2000) },
             Row { "{\\rtf1 short}", "{\\rtf1 short}" } }) {
        const QByteArray& rtf = row.rtf;
        const Cell lazy = Render(rtf, select);
        EXPECT_EQ(lazy.image, RenderRead(row.same, select).image);
        EXPECT_GT(orvtest::CountPixels(lazy.image, lazy.image.rect(), Qt::red, 60), 20);
        TRichEdit edit;
        edit.LoadFromRtf(rtf);
        select(edit);
        EXPECT_EQ(edit.CharColor(0), clRed); // read now, edits replayed
        EXPECT_EQ(edit.CharStyle(2), fsBold | fsUnderline);
        EXPECT_EQ(edit.CharColor(300), rtf.size() > 1000 ? clNone : edit.CharColor(300));
        // The edited content is not what the bytes say: loading them again starts afresh.
        edit.LoadFromRtf(rtf);
        EXPECT_EQ(edit.CharColor(0), clNone);
    }
}

TEST(RichEditLarge, RepaintReusesTheCellOnlyWhileNothingChanged)
{
    QImage image(400, 40, QImage::Format_RGB32);
    TCanvas canvas(&image);
    TRichEdit edit;
    edit.SetBackgroundColor(clWhite);
    const TRect twips { 0, 0, 400 * 15, 40 * 15 };
    auto paint = [&] {
        image.fill(Qt::white);
        edit.Render(canvas, twips, twips);
        return orvtest::CountPixels(image, image.rect(), Qt::red, 60);
    };
    const QByteArray rtf = "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf1\\fs20 red words}";
    edit.LoadFromRtf(rtf);
    const int red = paint();
    EXPECT_GT(red, 20);
    EXPECT_EQ(paint(), red); // again, unchanged
    TFont big;
    big.SetSize(20);
    edit.SetDefaultFont(big); // sizes of characters without their own change ...
    edit.LoadFromRtf("{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf1 red words}");
    const int bigRed = paint();
    EXPECT_GT(bigRed, red * 2); // ... and are seen by the next paint
    edit.SetSelection(0, 3);
    edit.SetSelColor(clBlue); // edits of the same bytes are seen too
    EXPECT_LT(paint(), bigRed);
    EXPECT_GT(orvtest::CountPixels(image, image.rect(), Qt::blue, 60), 20);
}
