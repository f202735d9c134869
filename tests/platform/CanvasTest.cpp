#include "platform/TBitmap.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"

#include "support/TestSupport.h"

#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage WhiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

// Bounding box of every pixel that is not pure white; null when there is none.
QRect InkBox(const QImage& image)
{
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
        }
    }
    return l == INT_MAX ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

QRgb Px(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000;
}

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0);

} // namespace

TEST(Canvas, FillRectCoversExactlyTheGdiRectangle)
{
    QImage image = WhiteImage(40, 40);
    {
        TCanvas c(&image);
        c.Brush().SetColor(clRed);
        c.FillRect(Rect(5, 6, 15, 20));
        c.FillRect(Rect(30, 30, 25, 25)); // corners given the other way round: normalised
        c.FillRect(Rect(0, 0, 0, 10)); // empty
        c.Brush().SetStyle(bsClear);
        c.FillRect(Rect(20, 20, 30, 30)); // a clear brush fills nothing
    }
    EXPECT_EQ(InkBox(image), QRect(QPoint(5, 6), QPoint(29, 29)));
    EXPECT_EQ(Px(image, 15, 10), kWhite);
    EXPECT_EQ(Px(image, 25, 25), kRed);
    EXPECT_EQ(Px(image, 30, 30), kWhite);
    EXPECT_EQ(Px(image, 5, 6), kRed);
    EXPECT_EQ(Px(image, 14, 19), kRed);
}

TEST(Canvas, FillRectTilesTheBrushPattern)
{
    QImage pattern(2, 2, QImage::Format_ARGB32);
    pattern.fill(Qt::blue);
    pattern.setPixel(0, 0, kRed);
    QImage image = WhiteImage(10, 10);
    {
        TCanvas c(&image);
        c.Brush().SetColor(clLime); // the colour is ignored while a pattern is set
        c.Brush().SetPattern(pattern);
        c.FillRect(Rect(0, 0, 10, 10));
    }
    EXPECT_EQ(Px(image, 0, 0), kRed);
    EXPECT_EQ(Px(image, 4, 6), kRed);
    EXPECT_EQ(Px(image, 5, 6), kBlue);
    EXPECT_EQ(Px(image, 9, 9), kBlue);
}

TEST(Canvas, FrameAndRectangleOutlines)
{
    QImage image = WhiteImage(60, 30);
    {
        TCanvas c(&image);
        c.Brush().SetColor(clRed);
        c.FrameRect(Rect(2, 2, 12, 12));
        c.Pen().SetColor(clBlue);
        c.Pen().SetWidth(2);
        c.Rectangle(Rect(20, 2, 30, 12));
        c.Pen().SetStyle(psClear);
        c.Rectangle(Rect(40, 2, 50, 12)); // fill only
    }
    // Frame: one pixel on every side, interior untouched, right/bottom exclusive.
    EXPECT_EQ(Px(image, 2, 2), kRed);
    EXPECT_EQ(Px(image, 11, 11), kRed);
    EXPECT_EQ(Px(image, 12, 12), kWhite);
    EXPECT_EQ(Px(image, 3, 3), kWhite);
    // Rectangle: a two-pixel pen outline inside the rectangle, brush inside.
    EXPECT_EQ(Px(image, 20, 2), kBlue);
    EXPECT_EQ(Px(image, 21, 3), kBlue);
    EXPECT_EQ(Px(image, 22, 4), kRed);
    EXPECT_EQ(Px(image, 29, 11), kBlue);
    EXPECT_EQ(Px(image, 30, 11), kWhite);
    EXPECT_EQ(Px(image, 40, 2), kRed);
    EXPECT_EQ(Px(image, 49, 11), kRed);
}

TEST(Canvas, LinesLeaveOutTheEndPointAndHonourThePen)
{
    QImage image = WhiteImage(30, 30);
    {
        TCanvas c(&image);
        c.Pen().SetColor(clBlack);
        c.MoveTo(2, 5);
        c.LineTo(12, 5);
        EXPECT_EQ(c.PenPos(), (TPoint { 12, 5 }));
        c.MoveTo(20, 20);
        c.LineTo(20, 10); // upwards: (20, 10) itself is not drawn
        c.Pen().SetStyle(psClear);
        c.MoveTo(0, 25);
        c.LineTo(29, 25);
    }
    EXPECT_EQ(Px(image, 2, 5), kBlack);
    EXPECT_EQ(Px(image, 11, 5), kBlack);
    EXPECT_EQ(Px(image, 12, 5), kWhite);
    EXPECT_EQ(Px(image, 20, 20), kBlack);
    EXPECT_EQ(Px(image, 20, 11), kBlack);
    EXPECT_EQ(Px(image, 20, 10), kWhite);
    EXPECT_EQ(Px(image, 15, 25), kWhite);
}

TEST(Canvas, FocusRectIsDottedAndSecondDrawRemovesIt)
{
    QImage image = WhiteImage(20, 20);
    QImage before = image;
    {
        TCanvas c(&image);
        c.DrawFocusRect(Rect(2, 2, 12, 10));
    }
    EXPECT_EQ(InkBox(image), QRect(QPoint(2, 2), QPoint(11, 9)));
    int dark = 0;
    for (int x = 2; x < 12; ++x)
        dark += Px(image, x, 2) != kWhite;
    EXPECT_EQ(dark, 5); // every other pixel
    EXPECT_NE(Px(image, 2, 2), Px(image, 3, 2));
    EXPECT_EQ(Px(image, 6, 6), kWhite);
    {
        TCanvas c(&image);
        c.DrawFocusRect(Rect(2, 2, 12, 10));
    }
    EXPECT_EQ(image, before);

    // A rectangle far larger than the device only touches the device's pixels, in the same pattern.
    QImage huge = WhiteImage(20, 20);
    {
        TCanvas c(&huge);
        c.DrawFocusRect(Rect(2, 2, 2000000000, 12));
    }
    for (int x = 2; x < 20; ++x)
        EXPECT_EQ(Px(huge, x, 2) != kWhite, (x - 2) % 2 == 0) << x;
    EXPECT_EQ(Px(huge, 19, 5), kWhite); // the right edge is far away
}

TEST(Canvas, FlatCheckBoxShowsATickOnlyWhenChecked)
{
    QImage on = WhiteImage(20, 20);
    QImage off = WhiteImage(20, 20);
    {
        TCanvas a(&on);
        a.DrawFlatCheckBox(Rect(2, 2, 16, 16), true);
        TCanvas b(&off);
        b.DrawFlatCheckBox(Rect(2, 2, 16, 16), false);
    }
    const QRgb frame = ToQColor(clBtnShadow).rgb();
    const QRgb inside = ToQColor(clWindow).rgb();
    for (const QImage* img : { &on, &off }) {
        EXPECT_EQ(Px(*img, 2, 2), frame);
        EXPECT_EQ(Px(*img, 15, 15), frame);
        EXPECT_EQ(Px(*img, 16, 16), kWhite);
    }
    int tick = 0, offInk = 0;
    for (int y = 4; y < 14; ++y) {
        for (int x = 4; x < 14; ++x) {
            tick += Px(on, x, y) != inside;
            offInk += Px(off, x, y) != inside;
        }
    }
    EXPECT_GT(tick, 8);
    EXPECT_EQ(offInk, 0);
}

TEST(Canvas, ClippingRestrictsDrawingAndIsReported)
{
    QImage image = WhiteImage(40, 40);
    {
        TCanvas c(&image);
        EXPECT_EQ(c.ClipBox(), Rect(0, 0, 40, 40));
        c.SetClipRect(Rect(10, 10, 20, 20));
        EXPECT_EQ(c.ClipBox(), Rect(10, 10, 20, 20));
        c.Brush().SetColor(clRed);
        c.FillRect(Rect(0, 0, 40, 40));
        c.RemoveClip();
        EXPECT_EQ(c.ClipBox(), Rect(0, 0, 40, 40));
        c.Brush().SetColor(clBlue);
        c.FillRect(Rect(30, 30, 35, 35));
    }
    EXPECT_EQ(Px(image, 10, 10), kRed);
    EXPECT_EQ(Px(image, 19, 19), kRed);
    EXPECT_EQ(Px(image, 9, 15), kWhite);
    EXPECT_EQ(Px(image, 20, 15), kWhite);
    EXPECT_EQ(Px(image, 32, 32), kBlue);
}

TEST(Canvas, BorrowedPainterKeepsItsClipAndState)
{
    QImage image = WhiteImage(40, 40);
    QPainter p(&image);
    p.setClipRect(QRect(0, 0, 20, 40));
    p.setPen(Qt::green);
    TCanvas c;
    c.Attach(&p);
    EXPECT_TRUE(c.HasDevice());
    c.SetClipRect(Rect(10, 0, 40, 40)); // cannot widen the owner's clip
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 40, 40));
    c.Detach();
    EXPECT_FALSE(c.HasDevice());
    EXPECT_EQ(p.pen().color(), QColor(Qt::green));
    EXPECT_TRUE(p.hasClipping());
    p.end();
    EXPECT_EQ(Px(image, 5, 5), kWhite);
    EXPECT_EQ(Px(image, 15, 5), kRed);
    EXPECT_EQ(Px(image, 25, 5), kWhite);
}

TEST(Canvas, BorrowedPainterOriginMovesDrawingAndClipBox)
{
    QImage image = WhiteImage(40, 40);
    QPainter p(&image);
    p.translate(10, 5);
    TCanvas c;
    c.Attach(&p);
    EXPECT_EQ(c.ClipBox(), Rect(-10, -5, 30, 35));
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 2, 2));
    c.Detach();
    p.end();
    EXPECT_EQ(InkBox(image), QRect(10, 5, 2, 2));

    QPainter idle;
    c.Attach(&idle); // a painter that was never begun is no device
    EXPECT_FALSE(c.HasDevice());
}

TEST(Canvas, LoMetricMapsTenthsOfMillimetresWithYUp)
{
    struct Case {
        const char* name;
        int dotsPerMeter;
        int dpi;
    };
    for (const Case& tc :
        { Case { "screen", 3780, 96 }, Case { "254 dpi", 10000, 254 }, Case { "600 dpi", 23622, 600 } }) {
        SCOPED_TRACE(tc.name);
        QImage image = WhiteImage(300, 300);
        image.setDotsPerMeterX(tc.dotsPerMeter);
        image.setDotsPerMeterY(tc.dotsPerMeter);
        TCanvas c(&image);
        EXPECT_EQ(c.PixelsPerInchX(), tc.dpi);
        c.SetMapMode(mmLoMetric);
        c.Brush().SetColor(clBlack);
        c.FillRect(Rect(0, 0, 100, -100));
        const int side = int(std::lround(tc.dpi * 100 / 254.0)); // 1 cm
        EXPECT_EQ(c.LPtoDP(TPoint { 100, -100 }), (TPoint { side, side }));
        // Back from pixels: exact up to half a device pixel.
        const TPoint back = c.DPtoLP(TPoint { side, side });
        EXPECT_NEAR(back.x, 100, 127.0 / tc.dpi + 0.5);
        EXPECT_NEAR(back.y, -100, 127.0 / tc.dpi + 0.5);
        EXPECT_EQ(c.LPtoDP(Rect(0, 0, 100, -100)), Rect(0, 0, side, side));
        c.Detach();
        EXPECT_EQ(InkBox(image), QRect(0, 0, side, side));
    }
}

TEST(Canvas, LoMetricClipBoxHasNegativeBottom)
{
    QImage image = WhiteImage(254, 127);
    image.setDotsPerMeterX(10000); // 254 dpi: one pixel per 0.1 mm
    image.setDotsPerMeterY(10000);
    TCanvas c(&image);
    c.SetMapMode(mmLoMetric);
    EXPECT_EQ(c.ClipBox(), Rect(0, 0, 254, -127));
}

TEST(Canvas, WithoutDeviceDrawingIsHarmlessAndMeasuringWorks)
{
    TCanvas c;
    EXPECT_FALSE(c.HasDevice());
    EXPECT_EQ(c.PixelsPerInchX(), 96);
    c.FillRect(Rect(0, 0, 10, 10));
    c.Rectangle(Rect(10, 10, -5, -5));
    c.LineTo(5, 5);
    c.DrawFocusRect(Rect(0, 0, 0, 0));
    c.DrawFlatCheckBox(Rect(0, 0, -3, 2), true);
    c.TextOut(0, 0, QStringLiteral("x"));
    c.SetClipRect(Rect(0, 0, 5, 5));
    c.Draw(0, 0, TBitmap(QImage(4, 4, QImage::Format_RGB32)));
    EXPECT_GT(c.TextWidth(QStringLiteral("Hello")), 0);
    EXPECT_GT(c.TextHeight(QStringLiteral("Hello")), 0);
    TRect r = Rect(0, 0, 100, 0);
    EXPECT_GT(c.DrawText(QStringLiteral("Hello"), r, DT_CALCRECT | DT_SINGLELINE), 0);
    // Extreme coordinates (from outside data) neither overflow nor hang.
    const TRect wide = c.LPtoDP(Rect(INT_MIN + 1, INT_MIN + 1, INT_MAX, INT_MAX));
    EXPECT_GT(wide.Width(), 0);
    EXPECT_GT(wide.Height(), 0);
    EXPECT_EQ(r.Width(), c.TextWidth(QStringLiteral("Hello")));
}

TEST(Canvas, TransparentBitmapLeavesItsKeyColourUnpainted)
{
    QImage pic(6, 6, QImage::Format_RGB32);
    pic.fill(Qt::red); // bottom-left decides: red is transparent
    pic.setPixel(2, 2, kBlue);
    TBitmap bmp(pic);
    QImage opaque = WhiteImage(20, 20);
    QImage see = WhiteImage(20, 20);
    {
        TCanvas a(&opaque);
        a.Draw(1, 1, bmp);
        bmp.SetTransparent(true);
        TCanvas b(&see);
        b.Draw(1, 1, bmp);
        b.StretchDraw(Rect(10, 10, 16, 16), bmp);
    }
    EXPECT_EQ(Px(opaque, 1, 1), kRed);
    EXPECT_EQ(Px(see, 1, 1), kWhite);
    EXPECT_EQ(Px(see, 3, 3), kBlue);
    EXPECT_EQ(Px(see, 10, 10), kWhite);
    EXPECT_EQ(Px(see, 12, 12), kBlue);
}

TEST(Canvas, ImageListDrawsEntriesTransparently)
{
    TImageList list(8, 8);
    QImage glyph(8, 8, QImage::Format_RGB32);
    glyph.fill(Qt::magenta);
    glyph.setPixel(4, 4, kBlue);
    list.Add(glyph, RGBColor(255, 0, 255));
    QImage image = WhiteImage(30, 30);
    {
        TCanvas c(&image);
        list.Draw(c, 2, 2, 0);
        list.Draw(c, 12, 2, 5); // out of range: nothing
        list.Draw(c, 12, 2, -1);
        list.StretchDraw(c, 0, 14, 16, 16, 0);
    }
    EXPECT_EQ(Px(image, 2, 2), kWhite);
    EXPECT_EQ(Px(image, 6, 6), kBlue);
    EXPECT_EQ(InkBox(image).top(), 6);
    EXPECT_EQ(Px(image, 9, 23), kBlue); // 2x: (4,4) covers (8..9, 22..23)
    EXPECT_EQ(Px(image, 1, 15), kWhite);
}

TEST(Canvas, PrinterPageInTenthMillimetresPrintsUprightText)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    {
        TCanvas c(&printer);
        ASSERT_TRUE(c.HasDevice());
        EXPECT_EQ(c.PixelsPerInchY(), printer.resolution());
        c.SetMapMode(mmLoMetric);
        const TRect page = c.ClipBox();
        EXPECT_NEAR(page.Width(), 1900, 5); // 210 mm less two 10 mm margins
        EXPECT_NEAR(page.bottom, -2770, 5); // 297 mm less margins, below the top
        c.Font().SetName(QStringLiteral("DejaVu Sans"));
        c.Font().SetHeight(50); // a 5 mm cell
        c.Font().SetColor(clBlack);
        c.SetBkMode(bkTransparent);
        c.TextOut(200, -300, QStringLiteral("Upright"));
    }
    if (!orvtest::HaveProgram(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext not installed";
    const QString html = QString::fromUtf8(orvtest::RunProgram(
        QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") }));
    const QRegularExpression word(QStringLiteral(
        "xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">Upright<"));
    const QRegularExpressionMatch m = word.match(html);
    ASSERT_TRUE(m.hasMatch()) << html.toStdString();
    const double mmPerPt = 25.4 / 72;
    const double left = m.captured(1).toDouble() * mmPerPt, top = m.captured(2).toDouble() * mmPerPt;
    const double right = m.captured(3).toDouble() * mmPerPt, bottom = m.captured(4).toDouble() * mmPerPt;
    EXPECT_GT(right - left, bottom - top); // runs left to right, not up or down
    EXPECT_NEAR(left, 10 + 20, 1.0); // margin + 20 mm
    EXPECT_NEAR(top, 10 + 30, 1.5); // margin + 30 mm, downwards on the page
    EXPECT_NEAR(bottom - top, 5, 1.5); // the 5 mm cell
}

TEST(Canvas, RecorderWithFixedMetricsGivesExactPositions)
{
    std::vector<TCanvasRecord> rec;
    TCanvas c; // no device: a pure recording canvas
    c.SetRecorder(&rec);
    c.SetFixedMetrics(7, 10, 3);
    EXPECT_EQ(c.TextWidth(QStringLiteral("abc")), 21);
    EXPECT_EQ(c.TextHeight(QStringLiteral("abc")), 13);

    c.Brush().SetColor(clYellow);
    c.FillRect(Rect(0, 0, 100, 20));
    c.Font().SetColor(clRed);
    c.Font().SetStyle(fsBold);
    TRect cell = Rect(0, 0, 100, 20);
    c.DrawText(QStringLiteral("a&bc"), cell, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    TRect wrap = Rect(200, 0, 235, 100);
    c.SetBkMode(bkTransparent);
    c.DrawText(QStringLiteral("aa bb cc"), wrap, DT_WORDBREAK);
    c.MoveTo(1, 2);
    c.LineTo(3, 4);
    c.DrawFlatCheckBox(Rect(2, 2, 16, 16), true);

    ASSERT_EQ(rec.size(), 6u);
    EXPECT_EQ(rec[0].kind, TCanvasRecord::Fill);
    EXPECT_EQ(rec[0].color, clYellow);
    EXPECT_EQ(rec[1].kind, TCanvasRecord::Text);
    EXPECT_EQ(rec[1].text, QStringLiteral("abc"));
    EXPECT_EQ(rec[1].rect, Rect(39, 3, 60, 16));
    EXPECT_EQ(rec[1].color, clRed);
    EXPECT_EQ(rec[1].background, clYellow); // opaque mode
    EXPECT_EQ(rec[1].style, fsBold);
    EXPECT_EQ(rec[2].text, QStringLiteral("aa bb"));
    EXPECT_EQ(rec[2].rect, Rect(200, 0, 235, 13));
    EXPECT_EQ(rec[3].text, QStringLiteral("cc"));
    EXPECT_EQ(rec[3].rect, Rect(200, 13, 214, 26));
    EXPECT_EQ(rec[3].background, clNone);
    EXPECT_EQ(rec[4].kind, TCanvasRecord::Line);
    EXPECT_EQ(rec[4].rect, Rect(1, 2, 3, 4));
    EXPECT_EQ(rec[5].kind, TCanvasRecord::CheckBox);
    EXPECT_TRUE(rec[5].checked);

    // In tenths of a millimetre the records keep the caller's units (254 dpi: 1 unit = 1 pixel).
    QImage page(300, 300, QImage::Format_ARGB32);
    page.setDotsPerMeterX(10000);
    page.setDotsPerMeterY(10000);
    TCanvas p(&page);
    std::vector<TCanvasRecord> printed;
    p.SetRecorder(&printed);
    p.SetFixedMetrics(10, 30, 10);
    p.SetMapMode(mmLoMetric);
    p.TextOut(100, -50, QStringLiteral("ab"));
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].rect, Rect(100, -50, 120, -90));

    // Pictures are recorded with their identity: an image-list entry is recognisable.
    TImageList list(8, 8);
    QImage glyph(8, 8, QImage::Format_ARGB32);
    glyph.fill(Qt::red);
    list.Add(glyph);
    glyph.fill(Qt::blue);
    list.Add(glyph);
    rec.clear();
    list.Draw(c, 3, 4, 1);
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].kind, TCanvasRecord::Image);
    EXPECT_EQ(rec[0].rect, Rect(3, 4, 11, 12));
    EXPECT_EQ(rec[0].imageKey, list.Image(1).cacheKey());
    EXPECT_NE(rec[0].imageKey, list.Image(0).cacheKey());
}

TEST(Canvas, EdgesUseTheButtonColoursInTwoRings)
{
    QImage image = WhiteImage(40, 20);
    {
        TCanvas c(&image);
        c.DrawEdge(Rect(0, 0, 10, 10), edRaised);
        c.DrawEdge(Rect(20, 0, 30, 10), edSunken);
        c.DrawEdge(Rect(35, 0, 35, 10), edRaised); // empty: nothing
    }
    auto rgb = [](TColor c) { return ToQColor(c).rgb(); };
    struct Probe {
        int x, y;
        TColor color;
    };
    for (const Probe& p :
        { Probe { 0, 0, cl3DLight }, Probe { 9, 9, cl3DDkShadow }, Probe { 1, 1, clBtnHighlight },
            Probe { 8, 8, clBtnShadow }, Probe { 9, 0, cl3DDkShadow }, Probe { 20, 0, clBtnShadow },
            Probe { 29, 9, clBtnHighlight }, Probe { 21, 1, cl3DDkShadow }, Probe { 28, 8, cl3DLight } }) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_EQ(Px(image, p.x, p.y), rgb(p.color));
    }
    EXPECT_EQ(Px(image, 5, 5), kWhite); // the inside is left alone
    EXPECT_EQ(Px(image, 35, 5), kWhite);
}

TEST(Canvas, ExtremeRectanglesDrawOnlyWhatTheDeviceShows)
{
    QImage image = WhiteImage(20, 20);
    {
        TCanvas c(&image);
        const TRect everything = Rect(INT_MIN + 1, INT_MIN + 1, INT_MAX, INT_MAX);
        c.Brush().SetColor(clRed);
        c.FillRect(everything);
        c.Brush().SetColor(clBlue);
        c.FrameRect(everything);
        c.Rectangle(everything);
        c.DrawFocusRect(everything);
        c.DrawEdge(everything, edSunken);
        c.DrawFlatCheckBox(everything, true);
        TRect text = everything;
        c.DrawText(QStringLiteral("x y z"), text, DT_WORDBREAK | DT_CENTER);
        c.SetMapMode(mmLoMetric);
        c.FillRect(everything);
    }
    EXPECT_EQ(InkBox(image), QRect(0, 0, 20, 20)); // painted, and nothing crashed
}
