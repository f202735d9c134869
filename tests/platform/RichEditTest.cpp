// TRichEdit as the list uses it: plain text, selection formatting, and rendering into a
// rectangle given in twips.
#include "platform/TRichEdit.h"

#include "platform/TCanvas.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

constexpr int kTwipsPerPixel96 = 15; // 1440 / 96

TRect PixelsToTwips96(const QRect& r)
{
    return TRect { r.left() * kTwipsPerPixel96, r.top() * kTwipsPerPixel96,
        (r.left() + r.width()) * kTwipsPerPixel96, (r.top() + r.height()) * kTwipsPerPixel96 };
}

QImage WhiteImage(int w, int h, int dpi = 96)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
    img.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
    return img;
}

int CountNonWhite(const QImage& img, const QRect& area)
{
    return area.width() * area.height() - orvtest::CountPixels(img, area, Qt::white, 8);
}

int CountOutside(const QImage& img, const QRect& inside)
{
    return CountNonWhite(img, img.rect()) - CountNonWhite(img, inside);
}

// Lowest row holding ink of any colour within the columns [x0, x1).
int LowestInk(const QImage& img, int x0, int x1)
{
    for (int y = img.height() - 1; y >= 0; --y)
        for (int x = x0; x < x1; ++x)
            if (qGray(img.pixel(x, y)) < 128)
                return y;
    return -1;
}

TFont BigFont(int points)
{
    TFont f;
    f.SetSize(points);
    return f;
}

} // namespace

TEST(RichEdit, PlainTextUsesCrLfAndSetTextSplitsAnyLineEnd)
{
    TRichEdit e;
    e.SetText(QStringLiteral("a\nb\rc\r\nd"));
    EXPECT_EQ(e.PlainText(), QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(e.TextLength(), 7) << "a paragraph mark is one position";
    EXPECT_EQ(e.Document().blockCount(), 4);

    e.LoadFromRtf(R"({\rtf1 one\line two\par three})");
    EXPECT_EQ(e.PlainText(), QStringLiteral("one\r\ntwo\r\nthree"));

    e.Clear();
    EXPECT_EQ(e.PlainText(), QString());
    EXPECT_EQ(e.TextLength(), 0);
    EXPECT_EQ(e.SelStart(), 0);
    EXPECT_EQ(e.SelLength(), 0);
}

TEST(RichEdit, LoadingTheSameBytesAgainAlwaysGivesTheirContent)
{
    const QByteArray cell = R"({\rtf1 plain {\b bold}})";
    TRichEdit e;
    ASSERT_TRUE(e.LoadFromRtf(cell));
    EXPECT_TRUE(e.LoadFromRtf(cell));
    EXPECT_EQ(e.PlainText(), QStringLiteral("plain bold"));

    // Edits made after a load, by any route, are undone by loading the bytes again.
    e.SetSelection(0, 5);
    e.SetSelColor(clRed);
    e.LoadFromRtf(cell);
    EXPECT_EQ(e.CharColor(0), clNone);
    QTextCursor(&e.Document()).insertText(QStringLiteral("typed "));
    e.LoadFromRtf(cell);
    EXPECT_EQ(e.PlainText(), QStringLiteral("plain bold"));
    e.SetText(QStringLiteral("other"));
    e.LoadFromRtf(cell);
    EXPECT_EQ(e.PlainText(), QStringLiteral("plain bold"));
    EXPECT_EQ(e.CharStyle(6), fsBold);

    // A new default font changes what the same bytes look like.
    TFont big;
    big.SetSize(30);
    e.SetDefaultFont(big);
    e.LoadFromRtf(cell);
    EXPECT_DOUBLE_EQ(e.Document().defaultFont().pointSizeF(), 30.0);
    EXPECT_FALSE(e.LoadFromRtf("plain"));
    EXPECT_FALSE(e.LoadFromRtf("plain")) << "the answer does not change with the memo";
}

TEST(RichEdit, SelectionIsClampedToTheText)
{
    struct Case {
        int start, length, wantStart, wantLength;
    };
    const std::vector<Case> cases = {
        { 1, 2, 1, 2 },
        { -3, 2, 0, 2 },
        { 3, 10, 3, 2 },
        { 10, 1, 5, 0 },
        { 1, -1, 1, 4 },
        { 0, 0, 0, 0 },
    };
    TRichEdit e;
    e.SetText(QStringLiteral("hello"));
    for (const Case& c : cases) {
        e.SetSelection(c.start, c.length);
        EXPECT_EQ(e.SelStart(), c.wantStart) << c.start << "," << c.length;
        EXPECT_EQ(e.SelLength(), c.wantLength) << c.start << "," << c.length;
    }
    e.SetSelection(1, 3);
    EXPECT_EQ(e.SelText(), QStringLiteral("ell"));
    e.SetSelection(2, 2);
    e.LoadFromRtf(R"({\rtf1 new})");
    EXPECT_EQ(e.SelLength(), 0) << "loading drops the selection";
}

TEST(RichEdit, SelectionFormattingTouchesOnlyTheSelection)
{
    TRichEdit e;
    e.SetText(QStringLiteral("ab\r\ncd"));
    e.SetSelection(1, 3); // b, the paragraph mark, c
    e.SetSelColor(clRed);
    e.SetSelStyle(fsBold | fsUnderline);
    e.SetSelOffset(-30);
    for (int pos : { 0, 4 }) {
        EXPECT_EQ(e.CharColor(pos), clNone) << pos;
        EXPECT_EQ(e.CharStyle(pos), 0) << pos;
        EXPECT_EQ(e.CharOffset(pos), 0) << pos;
    }
    for (int pos : { 1, 3 }) {
        EXPECT_EQ(e.CharColor(pos), clRed) << pos;
        EXPECT_EQ(e.CharStyle(pos), fsBold | fsUnderline) << pos;
        EXPECT_EQ(e.CharOffset(pos), -30) << pos;
    }

    // A style replaces the previous one; clNone and offset 0 take formatting away again.
    e.SetSelection(1, 1);
    e.SetSelStyle(fsItalic | fsStrikeOut);
    e.SetSelColor(clNone);
    e.SetSelOffset(0);
    EXPECT_EQ(e.CharStyle(1), fsItalic | fsStrikeOut);
    EXPECT_EQ(e.CharColor(1), clNone);
    EXPECT_EQ(e.CharOffset(1), 0);
    EXPECT_EQ(e.CharColor(3), clRed) << "the rest of the earlier selection keeps its colour";

    // System colours take the palette's value at the time they are applied.
    e.SetSelection(0, 1);
    e.SetSelColor(clHighlightText);
    EXPECT_EQ(e.CharColor(0), FromQColor(QGuiApplication::palette().color(QPalette::HighlightedText)));
    EXPECT_EQ(e.PlainText(), QStringLiteral("ab\r\ncd")) << "formatting never changes the text";
}

TEST(RichEdit, BuiltRichTextSurvivesTheCellRoundTrip)
{
    // The way the demo builds a rich-text cell: colour, bold and a raised word, then saved into
    // the cell and loaded back for drawing.
    TRichEdit e;
    e.SetText(QStringLiteral("This is rich text"));
    e.SetSelection(0, 4);
    e.SetSelColor(clBlue);
    e.SetSelection(8, 4);
    e.SetSelStyle(fsBold);
    e.SetSelColor(clRed);
    e.SetSelection(13, 4);
    e.SetSuperscript();
    const QByteArray cell = e.SaveToRtf();
    ASSERT_TRUE(cell.startsWith("{\\"));

    TRichEdit back;
    ASSERT_TRUE(back.LoadFromRtf(cell));
    EXPECT_EQ(back.PlainText(), QStringLiteral("This is rich text"));
    for (int pos = 0; pos < back.TextLength(); ++pos) {
        SCOPED_TRACE(pos);
        EXPECT_EQ(back.CharColor(pos), pos < 4 ? clBlue : (pos >= 8 && pos < 12) ? clRed : clNone);
        EXPECT_EQ(back.CharStyle(pos), (pos >= 8 && pos < 12) ? fsBold : 0);
        EXPECT_EQ(back.CharOffset(pos), pos >= 13 ? 40 : 0);
    }
}

TEST(RichEdit, RenderDrawsInsideTheRectangleOnly)
{
    TRichEdit e;
    e.SetDefaultFont(BigFont(16));
    e.SetText(QStringLiteral("Wide words wrap inside the cell rectangle again and again and again"));
    e.SetSelection(0, -1);
    e.SetSelColor(clRed);
    e.SetBackgroundColor(clNone);

    QImage img = WhiteImage(400, 400);
    const QRect area(60, 40, 200, 300);
    int next = 0;
    {
        TCanvas canvas(&img);
        const TRect twips = PixelsToTwips96(area);
        next = e.Render(canvas, twips, twips);
    }
    EXPECT_GT(orvtest::CountPixels(img, area, QColor(255, 0, 0), 60), 30)
        << orvtest::SaveForInspection(img, "richedit-inside.png").toStdString();
    EXPECT_EQ(CountOutside(img, area), 0)
        << orvtest::SaveForInspection(img, "richedit-inside.png").toStdString();
    EXPECT_EQ(next, e.TextLength()) << "everything fitted";
}

TEST(RichEdit, RenderFillsTheBackgroundAndUsesTheDefaultTextColour)
{
    TRichEdit e;
    e.SetDefaultFont(BigFont(14));
    TFont f = e.DefaultFont();
    f.SetColor(clGreen);
    e.SetDefaultFont(f);
    e.SetText(QStringLiteral("MMMM"));
    e.SetBackgroundColor(clYellow);

    QImage img = WhiteImage(300, 100);
    const QRect area(20, 10, 200, 60);
    {
        TCanvas canvas(&img);
        e.Render(canvas, PixelsToTwips96(area), PixelsToTwips96(area));
    }
    EXPECT_EQ(img.pixelColor(area.topLeft()), QColor(255, 255, 0));
    EXPECT_EQ(img.pixelColor(area.bottomRight()), QColor(255, 255, 0));
    EXPECT_GT(orvtest::CountPixels(img, area, QColor(0, 128, 0), 50), 20);
    EXPECT_EQ(CountOutside(img, area), 0);
}

TEST(RichEdit, RenderStopsAtTheBottomAndContinuesFromTheReturnedPosition)
{
    TRichEdit e;
    e.SetDefaultFont(BigFont(12));
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("word%1").arg(i);
    e.SetText(words.join(QLatin1Char(' ')));
    e.SetBackgroundColor(clNone);

    QImage img = WhiteImage(300, 700);
    const QRect first(10, 10, 150, 45); // two or so lines of a 12-point font
    int next = 0;
    {
        TCanvas canvas(&img);
        next = e.Render(canvas, PixelsToTwips96(first), PixelsToTwips96(first));
    }
    EXPECT_GT(next, 0);
    EXPECT_LT(next, e.TextLength());
    EXPECT_EQ(e.PlainText().at(next - 1), QLatin1Char(' ')) << "the next range starts at a line start";
    EXPECT_EQ(CountOutside(img, first), 0);

    // The rest goes into a taller rectangle and fits.
    const QRect second(10, 100, 150, 590);
    TCanvas canvas(&img);
    EXPECT_EQ(e.Render(canvas, PixelsToTwips96(second), PixelsToTwips96(second), next), e.TextLength());
    EXPECT_GT(CountNonWhite(img, second), 0);

    // A rectangle lower than one line still shows the clipped line, and nothing outside it.
    QImage small = WhiteImage(200, 60);
    const QRect tiny(5, 5, 150, 6);
    {
        TCanvas c(&small);
        EXPECT_EQ(e.Render(c, PixelsToTwips96(tiny), PixelsToTwips96(tiny)), 0);
    }
    EXPECT_GT(CountNonWhite(small, tiny), 0);
    EXPECT_EQ(CountOutside(small, tiny), 0);
}

TEST(RichEdit, RenderDrawsOnlyTheRequestedRange)
{
    TRichEdit e;
    e.SetDefaultFont(BigFont(16));
    e.SetText(QStringLiteral("AAAABBBB"));
    e.SetSelection(0, 4);
    e.SetSelColor(clRed);
    e.SetSelection(4, 4);
    e.SetSelColor(clBlue);
    e.SetBackgroundColor(clNone);

    QImage img = WhiteImage(300, 80);
    const QRect area(0, 0, 300, 80);
    {
        TCanvas canvas(&img);
        EXPECT_EQ(e.Render(canvas, PixelsToTwips96(area), PixelsToTwips96(area), 4, 6), 7);
    }
    EXPECT_EQ(orvtest::CountPixels(img, area, QColor(255, 0, 0), 80), 0);
    EXPECT_GT(orvtest::CountPixels(img, area, QColor(0, 0, 255), 80), 10);
    EXPECT_EQ(e.PlainText(), QStringLiteral("AAAABBBB")) << "rendering a range leaves the content whole";
}

TEST(RichEdit, RenderShowsRaisedAndLoweredCharacters)
{
    TRichEdit e;
    e.SetDefaultFont(BigFont(20));
    e.SetText(QStringLiteral("III"));
    e.SetSelection(1, 1);
    e.SetSelOffset(150); // 7.5 points = 10 pixels at 96 dpi
    e.SetSelection(2, 1);
    e.SetSelOffset(-150);
    e.SetBackgroundColor(clNone);

    QImage img = WhiteImage(300, 200);
    const QRect area(10, 10, 280, 180);
    {
        TCanvas canvas(&img);
        e.Render(canvas, PixelsToTwips96(area), PixelsToTwips96(area));
    }
    // Column spans of the three glyphs, from the unraised layout's advances.
    QFont font = e.Document().defaultFont();
    const QFontMetricsF fm(font, &img);
    const int w = int(fm.horizontalAdvance(QStringLiteral("I")));
    const int base = LowestInk(img, area.left(), area.left() + w);
    const int raised = LowestInk(img, area.left() + w + 1, area.left() + 2 * w);
    const int lowered = LowestInk(img, area.left() + 2 * w + 1, area.left() + 3 * w + 2);
    ASSERT_GE(base, 0);
    EXPECT_NEAR(base - raised, 10, 2) << orvtest::SaveForInspection(img, "richedit-offset.png").toStdString();
    EXPECT_NEAR(lowered - base, 10, 2);
    EXPECT_EQ(CountOutside(img, area), 0);
}

TEST(RichEdit, RenderConvertsTwipsWithTheDeviceResolution)
{
    TRichEdit e;
    e.SetText(QStringLiteral("Printer"));
    e.SetBackgroundColor(clBlack);
    QImage img = WhiteImage(600, 600, 300);
    {
        TCanvas canvas(&img);
        ASSERT_EQ(canvas.PixelsPerInchX(), 300);
        const TRect inch { 1440, 720, 2880, 1440 }; // one inch wide, half an inch high
        e.Render(canvas, inch, TRect { 0, 0, 8640, 8640 });
    }
    const QRect expected(300, 150, 300, 150);
    EXPECT_EQ(CountNonWhite(img, expected), expected.width() * expected.height());
    EXPECT_EQ(CountOutside(img, expected), 0);

    // The page rectangle bounds the formatting rectangle.
    QImage page = WhiteImage(600, 600, 300);
    {
        TCanvas canvas(&page);
        e.Render(canvas, TRect { 1440, 720, 2880, 1440 }, TRect { 0, 0, 2160, 8640 });
    }
    EXPECT_EQ(CountNonWhite(page, page.rect()), 150 * 150);
}
