#include "markup/DrawMarkup.h"
#include "pictures/THTMLPictureCache.h"
#include "pictures/TPictureContainer.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"

#include "support/TestSupport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// All of DrawMarkup's inputs, defaulting to a plain drawing call.
struct Call {
    QString text;
    TRect rect { 0, 0, 400, 200 };
    TImageList* images = nullptr;
    int x = 0;
    int y = 0;
    int focusLink = -1;
    int hoverLink = -1;
    int shadowOffset = 1;
    bool hitTestOnly = false;
    bool measureOnly = false;
    bool printing = false;
    bool keepColors = false;
    bool blinkVisible = true;
    bool hoverOnly = false;
    bool wordWrap = true;
    double resFactor = 1.0;
    TColor urlColor = clBlue;
    TColor hoverColor = clNone;
    TColor hoverFontColor = clNone;
    TColor shadowColor = clGray;
    THTMLPictureCache* cache = nullptr;
    TPictureContainer* pictures = nullptr;
};

struct Result {
    bool hit = false;
    QString href;
    QString plain;
    QString focusHref;
    int width = -1;
    int height = -1;
    int anchors = -1;
    int hoverAnchor = -2;
    TRect hoverRect;
};

class DrawMarkupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = QImage(400, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        canvas = std::make_unique<TCanvas>(&image);
        TFont f;
        f.SetName("DejaVu Sans");
        f.SetSize(12);
        f.SetColor(clBlack);
        canvas->SetFont(f);
        canvas->Brush().SetColor(clWhite);
    }

    Result Run(const Call& c)
    {
        Result r;
        r.href = "untouched";
        r.hit = DrawMarkup(*canvas, c.text, c.rect, c.images, c.x, c.y, c.focusLink, c.hoverLink,
            c.shadowOffset, c.hitTestOnly, c.measureOnly, c.printing, c.keepColors, c.blinkVisible,
            c.hoverOnly, c.wordWrap, c.resFactor, c.urlColor, c.hoverColor, c.hoverFontColor, c.shadowColor,
            r.href, r.plain, r.focusHref, r.width, r.height, r.anchors, r.hoverAnchor, r.hoverRect, c.cache,
            c.pictures);
        return r;
    }

    Result Draw(const QString& text)
    {
        Call c;
        c.text = text;
        return Run(c);
    }

    Result Measure(const QString& text, int width = 400, bool wordWrap = true)
    {
        Call c;
        c.text = text;
        c.rect = TRect { 0, 0, width, 200 };
        c.measureOnly = true;
        c.wordWrap = wordWrap;
        return Run(c);
    }

    int Width(const QString& text) const
    {
        TRect r { 0, 0, 0, 0 };
        canvas->DrawText(text, r, DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_CALCRECT);
        return r.Width();
    }
    int LineHeight() const
    {
        TRect r { 0, 0, 0, 0 };
        canvas->DrawText("gh", r, DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_CALCRECT);
        return r.Height();
    }
    int Gh() const { return canvas->TextHeight("gh"); }

    // Bounding box of everything that is not white.
    QRect Ink(const QRect& area = QRect(0, 0, 400, 200)) const
    {
        QRect box;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    box = box.united(QRect(x, y, 1, 1));
        return box;
    }
    int Count(QColor color, const QRect& area = QRect(0, 0, 400, 200), int tolerance = 60) const
    {
        return orvtest::CountPixels(image, area, color, tolerance);
    }

    QImage image;
    std::unique_ptr<TCanvas> canvas;
};

} // namespace

TEST_F(DrawMarkupTest, EmptyTextDrawsNothingAndIsOneLineHigh)
{
    const Result r = Draw("");
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.height, Gh());
    EXPECT_EQ(r.anchors, 0);
    EXPECT_EQ(r.hoverAnchor, -1);
    EXPECT_FALSE(r.hit);
    EXPECT_EQ(r.href, "untouched"); // not cleared on entry
    EXPECT_TRUE(Ink().isNull());
}

TEST_F(DrawMarkupTest, PlainWordsMeasureLikeTheCanvas)
{
    const Result r = Measure("Hello world");
    EXPECT_EQ(r.plain, "Hello world");
    EXPECT_NEAR(r.width, Width("Hello world"), 1);
    EXPECT_EQ(r.height, LineHeight());
    EXPECT_TRUE(Ink().isNull()); // measuring paints nothing
}

TEST_F(DrawMarkupTest, StylesChangeTheMeasuredWidth)
{
    const int plain = Measure("Bold text here").width;
    const int bold = Measure("<B>Bold text here</B>").width;
    EXPECT_GT(bold, plain);
    canvas->Font().SetStyle(fsBold);
    EXPECT_NEAR(bold, Width("Bold text here"), 2);
}

TEST_F(DrawMarkupTest, WordWrapNeverSplitsAWordBetweenSegments)
{
    const int narrow = Width("bo") + 2; // narrower than "bold"
    const Result joined = Measure("<B>bo</B>ld", narrow);
    EXPECT_EQ(joined.height, LineHeight());
    EXPECT_EQ(joined.plain, "bold");
    const Result spaced = Measure("<B>bo</B> ld", narrow);
    EXPECT_EQ(spaced.height, 2 * LineHeight());
}

TEST_F(DrawMarkupTest, WordWrapBreaksAtBlanksAndKeepsLinesInside)
{
    const int room = Width("aaa bbb") + 2;
    const Result r = Measure("aaa bbb ccc ddd eee", room);
    EXPECT_EQ(r.height, 3 * LineHeight());
    EXPECT_LE(r.width, room - 1);
    EXPECT_EQ(r.plain, "aaa bbb ccc ddd eee");
    // A line that fits exactly is not wrapped.
    EXPECT_EQ(Measure("aaa bbb", Width("aaa bbb") + 1).height, LineHeight());
}

TEST_F(DrawMarkupTest, SingleLineOverflowEndsWithEllipsisAndDropsTheRest)
{
    Call c;
    c.text = "A long line of text that will not fit<BR>second line";
    c.rect = TRect { 0, 0, 120, 200 };
    c.wordWrap = false;
    const Result r = Run(c);
    EXPECT_FALSE(r.plain.contains("second"));
    EXPECT_EQ(r.height, LineHeight());
    const QRect ink = Ink();
    EXPECT_LT(ink.right(), 120);
    EXPECT_LT(ink.bottom(), LineHeight());
    // Without overflow the break still works in single-line mode.
    EXPECT_EQ(Measure("a<BR>b", 400, false).plain, "a\rb");
}

TEST_F(DrawMarkupTest, LateEntitiesNeverStartATag)
{
    const Result r = Measure("a &lt;b&gt; c");
    EXPECT_EQ(r.plain, "a <b> c");
    EXPECT_NEAR(r.width, Width("a <b> c"), 2);
    EXPECT_EQ(Measure("x&NBSP;y").plain, "x y");
}

TEST_F(DrawMarkupTest, AmpersandEntityShowsOneAmpersand)
{
    for (const QString& text : { QString("&amp;"), QString("&AMP;") }) {
        const Result r = Measure(text);
        EXPECT_EQ(r.plain, "&");
        EXPECT_NEAR(r.width, Width("&&"), 1); // prefix processing shows one "&"
        EXPECT_NEAR(r.width, canvas->TextWidth("&"), 1);
    }
    EXPECT_EQ(Measure("&euro; &copy;").plain, QString::fromUtf8("\u20ac \u00a9"));
}

TEST_F(DrawMarkupTest, PlainTextKeepsALoneAmpersand)
{
    // Only drawing hides the prefix character; the plain text (what hints and sizing read)
    // keeps it, and a doubled one still stands for one.
    struct Case {
        const char* text;
        const char* plain;
    } cases[] = {
        { "R&D dept", "R&D dept" },
        { "<B>R&D</B> dept", "R&D dept" },
        { "a && b", "a & b" },
        { "a &&& b", "a && b" },
        { "&", "&" },
        { "x &amp; y", "x & y" },
        { "tail&", "tail&" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Measure(c.text).plain, QString::fromUtf8(c.plain));
    }
    // Drawing still hides the prefix character: "R&D" takes the room of "RD".
    EXPECT_NEAR(Measure("R&D").width, Width("R&D"), 1);
    EXPECT_NEAR(Measure("R&D").width, canvas->TextWidth("RD"), 1);
}

TEST_F(DrawMarkupTest, SystemIconThatNamesNoIconTakesNoSpace)
{
    for (const char* text :
        { "<IMG SRC=\"SSYS:99999\">", "<IMG SRC=\"LSYS:99999\">", "<IMG SRC=\"SSYS:-3\">" }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Measure(QString::fromLatin1(text)).width, 0);
        EXPECT_EQ(Measure("a" + QString::fromLatin1(text) + "b").width, Measure("a<B></B>b").width);
    }
    // An icon by a file name's type is there and takes its size.
    EXPECT_EQ(Measure("<IMG SRC=\"SSYS:notes.txt\">").width, 16);
    EXPECT_EQ(Measure("<IMG SRC=\"LSYS:notes.txt\">").width, 32);
}

TEST_F(DrawMarkupTest, FontSizeMapsSmallNumbersToPoints)
{
    struct Case {
        QString size;
        int points;
    };
    const Case cases[] = { { "1", 8 }, { "2", 10 }, { "5", 16 }, { "7", 7 }, { "20", 20 } };
    for (const auto& c : cases) {
        const int measured = Measure("<FONT SIZE=\"" + c.size + "\">mmmm</FONT>").width;
        const TFont saved = canvas->Font();
        canvas->Font().SetSize(c.points);
        EXPECT_NEAR(measured, Width("mmmm"), 1) << c.size.toStdString();
        canvas->SetFont(saved);
    }
}

TEST_F(DrawMarkupTest, FontColourFromHexOrNameUnlessColoursAreKept)
{
    for (const QString& value : { QString("#FF0000"), QString("clred") }) {
        image.fill(Qt::white);
        Draw("<FONT COLOR=\"" + value + "\">RRRRRR</FONT>");
        EXPECT_GT(Count(Qt::red), 20) << value.toStdString();

        image.fill(Qt::white);
        Call c;
        c.text = "<FONT COLOR=\"" + value + "\">RRRRRR</FONT>";
        c.keepColors = true;
        Run(c);
        EXPECT_EQ(Count(Qt::red), 0) << value.toStdString();
        EXPECT_GT(Count(Qt::black), 20);
    }
}

TEST_F(DrawMarkupTest, CanvasFontAndBrushAreRestored)
{
    const TFont before = canvas->Font();
    canvas->Brush().SetColor(clYellow);
    Draw("<B><I><FONT FACE=\"DejaVu Serif\" COLOR=\"clred\" BGCOLOR=\"clblue\" SIZE=\"5\">x<HI>y<R "
         "A=\"90\">z");
    EXPECT_TRUE(canvas->Font().SameAs(before));
    EXPECT_EQ(canvas->Font().Color(), clBlack);
    EXPECT_EQ(canvas->Font().Escapement(), 0);
    EXPECT_EQ(canvas->Brush().Color(), clYellow);
    EXPECT_EQ(canvas->BkMode(), bkTransparent);
}

TEST_F(DrawMarkupTest, ImageListEntryIsDrawnFromALowerCaseSource)
{
    TImageList list(16, 16);
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(Qt::green);
    list.Add(green);
    Call c;
    c.text = "<IMG SRC=\"idx:0\"> after";
    c.images = &list;
    const Result r = Run(c);
    EXPECT_GT(Count(Qt::green, QRect(0, 0, 20, 20), 10), 200);
    EXPECT_EQ(r.height, std::max(16, LineHeight()));
    EXPECT_NEAR(r.width, 16 + Width(" after"), 2);

    // Out of range and missing lists take no space.
    c.text = "<IMG SRC=\"IDX:5\">";
    c.measureOnly = true;
    EXPECT_EQ(Run(c).width, 0);
    c.images = nullptr;
    c.text = "<IMG SRC=\"IDX:0\">";
    EXPECT_EQ(Run(c).width, 0);
}

TEST_F(DrawMarkupTest, AnchorUnderTheMouseIsHit)
{
    Call c;
    c.text = "This is an <A HREF=\"action\">anchor</A>";
    c.hitTestOnly = true;
    c.x = 1 + Width("This is an ") + Width("anc");
    c.y = LineHeight() / 2;
    Result r = Run(c);
    EXPECT_TRUE(r.hit);
    EXPECT_EQ(r.href, "action");
    EXPECT_EQ(r.hoverAnchor, 1);
    EXPECT_EQ(r.anchors, 1);
    EXPECT_EQ(r.hoverRect.left, 1 + Width("This is an "));
    EXPECT_NEAR(r.hoverRect.right, 1 + Width("This is an anchor"), 2);
    EXPECT_TRUE(Ink().isNull()); // hit testing paints nothing

    c.x = 1 + Width("Th");
    r = Run(c);
    EXPECT_FALSE(r.hit);
    EXPECT_EQ(r.hoverAnchor, -1);
    EXPECT_EQ(r.anchors, 1);

    // Below the line nothing is hit, even over the anchor's columns.
    c.x = 1 + Width("This is an ") + Width("anc");
    c.y = LineHeight() + 20;
    r = Run(c);
    EXPECT_FALSE(r.hit);
    EXPECT_EQ(r.hoverAnchor, -1);

    c.measureOnly = true;
    c.y = LineHeight() / 2;
    EXPECT_FALSE(Run(c).hit);
}

TEST_F(DrawMarkupTest, AnchorsAreCountedAndColoured)
{
    Call c;
    c.text = "<A HREF=\"one\">first</A> and <A HREF=\"two\">second</A>";
    c.urlColor = clRed;
    const Result r = Run(c);
    EXPECT_EQ(r.anchors, 2);
    EXPECT_GT(Count(Qt::red), 30);
    // Between the anchors the base colour is back.
    const int andLeft = 1 + Width("first ");
    EXPECT_EQ(Count(Qt::red, QRect(andLeft + 2, 0, Width("and") - 4, LineHeight())), 0);
}

TEST_F(DrawMarkupTest, HoverOnlyColoursJustTheHoveredAnchor)
{
    Call c;
    c.text = "<A HREF=\"one\">first</A> <A HREF=\"two\">second</A>";
    c.hoverOnly = true;
    c.hoverLink = 2;
    c.hoverColor = clYellow;
    c.hoverFontColor = clRed;
    Run(c);
    const int firstEnd = 1 + Width("first ");
    EXPECT_EQ(Count(Qt::yellow, QRect(0, 0, firstEnd, 40), 10), 0);
    EXPECT_GT(Count(Qt::yellow, QRect(firstEnd, 0, 400 - firstEnd, 40), 10), 50);
    EXPECT_GT(Count(Qt::red, QRect(firstEnd, 0, 400 - firstEnd, 40)), 10);
    EXPECT_EQ(Count(Qt::red, QRect(0, 0, firstEnd, 40)), 0);
}

TEST_F(DrawMarkupTest, FocusLinkReportsItsHrefAndFramesIt)
{
    Call c;
    c.text = "<A HREF=\"one\">first</A> <A HREF=\"two\">second</A>";
    c.focusLink = 1;
    c.urlColor = clBlack;
    const Result r = Run(c);
    EXPECT_EQ(r.focusHref, "two");
    // The dotted frame reaches left of the anchor's text start.
    const int left = 1 + Width("first ") - 1;
    EXPECT_GT(Count(Qt::black, QRect(left, 0, 1, LineHeight() + 2), 100), 0);
    c.focusLink = 5;
    EXPECT_EQ(Run(c).focusHref, "");
}

TEST_F(DrawMarkupTest, HiddenTextTakesNoRoomButStaysInPlainText)
{
    const Result r = Draw("<Z>hidden</Z>");
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.plain, "hidden");
    EXPECT_TRUE(Ink().isNull());
    // Hidden text continued onto a later line stays hidden there too.
    image.fill(Qt::white);
    Call c;
    c.text = "shown<Z> aaaa bbbb cccc dddd";
    c.rect = TRect { 0, 0, Width("shown aaaa") + 2, 200 };
    Run(c);
    EXPECT_LT(Ink().bottom(), LineHeight());
}

TEST_F(DrawMarkupTest, UnterminatedTagsLoseTheTail)
{
    EXPECT_EQ(Measure("abc<").plain, "abc");
    EXPECT_EQ(Measure("abc<B").plain, "abc");
    EXPECT_EQ(Measure("abc<B never closed").plain, "abc");
    EXPECT_EQ(Measure("abc<B never closed").width, Measure("abc").width);
}

TEST_F(DrawMarkupTest, CentreAlignmentHoldsForFollowingLines)
{
    Call c;
    c.text = "<P ALIGN=\"CENTER\">ab</P>cdef";
    c.rect = TRect { 0, 0, 400, 200 };
    const Result r = Run(c);
    EXPECT_EQ(r.height, 2 * LineHeight());
    const QRect first = Ink(QRect(0, 0, 400, LineHeight()));
    const QRect second = Ink(QRect(0, LineHeight(), 400, LineHeight()));
    EXPECT_NEAR(first.center().x(), 200, 4);
    EXPECT_NEAR(second.center().x(), 200, 4);
}

TEST_F(DrawMarkupTest, RightAlignmentAndIndent)
{
    Call c;
    c.text = "<P ALIGN=\"RIGHT\">ab";
    Run(c);
    EXPECT_NEAR(Ink().right(), 399, 3);
    image.fill(Qt::white);
    c.text = "<P INDENT=\"50\">ab";
    Run(c);
    EXPECT_NEAR(Ink().left(), 51, 3);
}

TEST_F(DrawMarkupTest, LineBreaksRulesAndCarriageReturns)
{
    Result r = Measure("a<BR>b");
    EXPECT_EQ(r.plain, "a\rb");
    EXPECT_EQ(r.height, 2 * LineHeight());
    r = Measure("a\r\nb\nc");
    EXPECT_EQ(r.plain, "a\rbc");
    EXPECT_EQ(r.height, 2 * LineHeight());

    Draw("a<HR>b");
    // A black rule across the rectangle just below the first line.
    EXPECT_GT(Count(Qt::black, QRect(100, LineHeight(), 200, 1), 10), 190);
}

TEST_F(DrawMarkupTest, HashTagIsShownWithoutItsBracket)
{
    EXPECT_EQ(Measure("see <#topic> now").plain, "see #topic now");
}

TEST_F(DrawMarkupTest, SubscriptAndSuperscriptAddRoom)
{
    const int plain = Measure("H2O").height;
    const int sub = Measure("H<SUB>2</SUB>O").height;
    const int sup = Measure("x<SUP>2</SUP>").height;
    const int both = Measure("x<SUP>2</SUP>y<SUB>3</SUB>").height;
    EXPECT_EQ(sub, plain + LineHeight() / 4);
    EXPECT_EQ(sup, plain + LineHeight() / 4);
    EXPECT_EQ(both, plain + 2 * (LineHeight() / 4));
    // Drawn lower: the subscript's ink reaches below the plain text's.
    Draw("H");
    const int plainBottom = Ink().bottom();
    image.fill(Qt::white);
    Draw("<SUB>H</SUB>");
    EXPECT_GT(Ink().bottom(), plainBottom);
}

TEST_F(DrawMarkupTest, ShadowErrorMarkAndBlink)
{
    Call c;
    c.text = "<SH>shadow</SH>";
    c.shadowColor = clRed;
    c.shadowOffset = 2;
    Run(c);
    EXPECT_GT(Count(Qt::red), 10);

    image.fill(Qt::white);
    Draw("<E>wrong</E> right");
    const int wrongRight = 1 + Width("wrong");
    EXPECT_GT(Count(Qt::red, QRect(0, 0, wrongRight, 40), 30), 10);
    EXPECT_EQ(Count(Qt::red, QRect(wrongRight + Width(" ") + 2, 0, 200, 40), 30), 0);

    image.fill(Qt::white);
    c = Call();
    c.text = "<BLINK>blink</BLINK>";
    c.blinkVisible = false;
    Run(c);
    EXPECT_TRUE(Ink().isNull()); // drawn in the white entry background
    c.blinkVisible = true;
    Run(c);
    EXPECT_FALSE(Ink().isNull());
}

TEST_F(DrawMarkupTest, BackgroundsFromHighlightFontAndParagraph)
{
    Call c;
    c.text = "<FONT BGCOLOR=\"#00FF00\">green</FONT> plain";
    Run(c);
    EXPECT_GT(Count(Qt::green, QRect(0, 0, 1 + Width("green"), 40), 10), 50);
    EXPECT_EQ(Count(Qt::green, QRect(2 + Width("green "), 0, 200, 40), 10), 0);

    image.fill(Qt::white);
    c.text = "<P BGCOLOR=\"clyellow\">band</P>after";
    Run(c);
    // The band spans the whole width of the first line only.
    EXPECT_GT(Count(Qt::yellow, QRect(300, 2, 90, 5), 10), 400);
    EXPECT_EQ(Count(Qt::yellow, QRect(300, LineHeight() + 2, 90, 5), 10), 0);

    image.fill(Qt::white);
    c.text = "<BODY BGCOLOR=\"clAqua\">x";
    c.rect = TRect { 10, 10, 110, 60 };
    Run(c);
    EXPECT_GT(Count(Qt::cyan, QRect(10, 10, 100, 50), 10), 100 * 50 * 9 / 10); // all but the "x"
    EXPECT_EQ(Count(Qt::cyan, QRect(110, 0, 50, 60), 10), 0);
}

TEST_F(DrawMarkupTest, ListItemsBeginLinesWithBullets)
{
    const Result r = Measure("<UL><LI>one<LI>two</UL>");
    EXPECT_EQ(r.height, 2 * LineHeight());
    EXPECT_EQ(r.plain, "onetwo");
    EXPECT_NEAR(r.width, 12 + Width("one"), 2);
    Draw("<UL><LI>one<LI>two</UL>");
    EXPECT_FALSE(Ink(QRect(0, 0, 12, 2 * LineHeight())).isNull()); // the bullets
}

TEST_F(DrawMarkupTest, PositionTagMovesTheLine)
{
    EXPECT_NEAR(Measure("a<IN x=\"100\">b").width, 100 + Width("b"), 1);
    // Never backwards.
    EXPECT_NEAR(Measure("abcdef<IN x=\"2\">b").width, Width("abcdefb"), 2);
    // Drawn where the hit test looks for it, also on an indented line.
    Call c;
    c.text = "<P INDENT=\"20\"><IN x=\"100\"><A HREF=\"h\">XX</A>";
    c.x = 1 + 20 + 100 + 2;
    c.y = LineHeight() / 2;
    const Result r = Run(c);
    EXPECT_TRUE(r.hit);
    EXPECT_EQ(r.hoverRect.left, 121);
    EXPECT_NEAR(Ink().left(), 121, 2);
}

TEST_F(DrawMarkupTest, RotatedTextRunsUpwards)
{
    Call c;
    c.text = "<R A=\"90\">rotated</R>";
    c.rect = TRect { 0, 100, 400, 200 };
    Run(c);
    const QRect ink = Ink();
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.height(), ink.width());
}

TEST_F(DrawMarkupTest, PicturesFromContainerAndCacheWithSizes)
{
    QTemporaryDir dir;
    QImage red(20, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString path = dir.filePath("red.png");
    ASSERT_TRUE(red.save(path));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");

    TPictureContainer container;
    TPictureItem& item = container.Items().Add();
    item.SetName("Logo");
    item.Picture().LoadFromData(png);

    Call c;
    c.pictures = &container;
    c.text = "<IMG SRC=\"logo\">";
    Result r = Run(c);
    EXPECT_EQ(r.width, 20);
    EXPECT_GT(Count(Qt::red, QRect(0, 0, 30, 20), 10), 150);

    c.text = "<IMG SRC=\"logo\" WIDTH=\"40\" HEIGHT=\"30\">";
    c.measureOnly = true;
    r = Run(c);
    EXPECT_EQ(r.width, 40);
    EXPECT_EQ(r.height, std::max(30, LineHeight()));

    THTMLPictureCache cache;
    c.cache = &cache;
    c.pictures = nullptr;
    c.text = "<IMG SRC=\"file://" + path + "\">";
    c.measureOnly = false;
    image.fill(Qt::white);
    r = Run(c);
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_GT(Count(Qt::red, QRect(0, 0, 30, 20), 10), 150);
    EXPECT_EQ(cache.Items(0)->ID(), ("FILE://" + path).toUpper());
    Run(c);
    EXPECT_EQ(cache.Count(), 1); // found again, not added twice

    // A device named as a picture file is never read (it would never end); the refusal is kept,
    // so the next paint does not look the file up again.
    c.text = "<IMG SRC=\"FILE:///dev/zero\">";
    EXPECT_EQ(Run(c).width, 0);
    ASSERT_EQ(cache.Count(), 2);
    EXPECT_TRUE(cache.Items(1)->Empty());
    EXPECT_EQ(cache.Items(1)->ID(), "FILE:///DEV/ZERO");
    EXPECT_EQ(Run(c).width, 0);
    EXPECT_EQ(cache.Count(), 2);

    c.text = "<IMG SRC=\"unknown\"> <IMG SRC=\"http://nowhere/x.gif\">";
    c.measureOnly = true;
    EXPECT_NEAR(Run(c).width, Width(" "), 1); // missing pictures take no room
}

TEST_F(DrawMarkupTest, AnchoredImageIsHitAndAlignmentLiftsTheText)
{
    TImageList list(32, 32);
    QImage blue(32, 32, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    list.Add(blue);
    Call c;
    c.images = &list;
    c.text = "<A HREF=\"pic\"><IMG SRC=\"IDX:0\"></A> text";
    c.hitTestOnly = true;
    c.x = 1 + 16;
    c.y = 16;
    Result r = Run(c);
    EXPECT_TRUE(r.hit);
    EXPECT_EQ(r.href, "pic");
    c.x = 1 + 40;
    EXPECT_FALSE(Run(c).hit);
    c.focusLink = 0;
    EXPECT_EQ(Run(c).focusHref, "pic"); // an anchor of a picture alone can hold the focus

    // ALIGN="TOP" moves the text to the top of the 32-pixel line.
    c = Call();
    c.images = &list;
    c.text = "<IMG SRC=\"IDX:0\" ALIGN=\"TOP\">text";
    Run(c);
    const QRect topText = Ink(QRect(34, 0, 300, 40));
    image.fill(Qt::white);
    c.text = "<IMG SRC=\"IDX:0\">text";
    Run(c);
    const QRect bottomText = Ink(QRect(34, 0, 300, 40));
    EXPECT_LT(topText.top(), bottomText.top());
}

TEST_F(DrawMarkupTest, MultiLineAnchorReportsItsArea)
{
    Call c;
    c.text = "aa <A HREF=\"x\">bbb ccc</A>";
    c.rect = TRect { 0, 0, Width("aa bbb") + 4, 200 };
    c.hitTestOnly = true;
    c.x = 1 + Width("c");
    c.y = LineHeight() + LineHeight() / 2;
    const Result r = Run(c);
    EXPECT_TRUE(r.hit);
    EXPECT_EQ(r.href, "x");
    EXPECT_EQ(r.hoverAnchor, 1);
    // The anchor began on the line before, so its area starts at the left and top of the line
    // that holds its end.
    EXPECT_EQ(r.hoverRect.left, 1);
    EXPECT_EQ(r.hoverRect.top, LineHeight());
    EXPECT_NEAR(r.hoverRect.right, 1 + Width("ccc"), 1);
    EXPECT_EQ(r.hoverRect.bottom, 2 * LineHeight());

    // On a single line the area starts where the anchor starts.
    c.text = "aa <A HREF=\"x\">bbb</A>";
    c.rect = TRect { 0, 0, 400, 200 };
    c.x = 1 + Width("aa b");
    c.y = LineHeight() / 2;
    const Result one = Run(c);
    EXPECT_TRUE(one.hit);
    EXPECT_EQ(one.hoverRect.top, 0);
    EXPECT_NEAR(one.hoverRect.left, 1 + Width("aa "), 1);
}

TEST_F(DrawMarkupTest, SimpleShortcutIsSingleLine)
{
    QString href, plain;
    int width = 0, height = 0;
    DrawMarkupSimple(*canvas, "one two three four five six seven", TRect { 0, 0, 60, 100 }, nullptr, 0, 0,
        false, true, false, false, true, 0, clBlue, href, plain, width, height);
    EXPECT_EQ(height, LineHeight());
    EXPECT_GT(width, 60);
    EXPECT_EQ(plain, "one two three four five six seven");
}

TEST_F(DrawMarkupTest, LargeTextLaysOutQuickly)
{
    QString text;
    while (text.size() < 100 * 1024)
        text += "Some <B>bold</B> and <I>italic</I> words with an <A HREF=\"x\">anchor</A> &amp; more. ";
    QElapsedTimer timer;
    timer.start();
    const Result r = Measure(text, 400);
    const qint64 measureMs = timer.elapsed();
    EXPECT_LT(measureMs, 1000);
    EXPECT_GT(r.height, 100 * LineHeight());
    EXPECT_EQ(r.anchors, text.count("<A "));

    // One huge word and a tagless text behave as well.
    timer.restart();
    Measure(QString(100 * 1024, QChar('w')), 400);
    Measure(QString("word ").repeated(20 * 1024), 400);
    Draw(QString("<<<<").repeated(25 * 1024));
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST_F(DrawMarkupTest, HoveredAnchoredImageShowsItsAltPicture)
{
    TImageList list(16, 16);
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(Qt::green);
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    list.Add(green);
    list.Add(red);
    Call c;
    c.images = &list;
    c.text = "<A HREF=\"go\"><IMG SRC=\"IDX:0\" ALT=\"IDX:1\"></A>";
    c.x = -100;
    Run(c);
    EXPECT_GT(Count(Qt::green, QRect(0, 0, 20, 20), 10), 200);
    EXPECT_EQ(Count(Qt::red, QRect(0, 0, 20, 20), 10), 0);

    image.fill(Qt::white);
    c.x = 8;
    c.y = 8;
    const Result r = Run(c);
    EXPECT_TRUE(r.hit);
    EXPECT_EQ(r.hoverAnchor, 1);
    EXPECT_GT(Count(Qt::red, QRect(0, 0, 20, 20), 10), 200);
}

TEST_F(DrawMarkupTest, PrintingStretchesImageListEntriesByTheFactor)
{
    TImageList list(16, 16);
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(Qt::green);
    list.Add(green);
    Call c;
    c.images = &list;
    c.text = "<IMG SRC=\"IDX:0\">";
    c.printing = true;
    c.resFactor = 2.5;
    Run(c);
    EXPECT_NEAR(Count(Qt::green, QRect(0, 0, 60, 60), 10), 40 * 40, 80);
}

TEST_F(DrawMarkupTest, BodyBackgroundTilesAPictureInsideTheRectangle)
{
    QImage red(4, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    TPictureContainer container;
    TPictureItem& item = container.Items().Add();
    item.SetName("TILE");
    item.Picture().LoadFromData(png);

    Call c;
    c.pictures = &container;
    c.text = "<BODY BACKGROUND=\"tile\">";
    c.rect = TRect { 10, 10, 31, 21 }; // not a whole number of tiles: the last ones are clipped
    Run(c);
    EXPECT_EQ(Count(Qt::red, QRect(0, 0, 100, 100), 10), 21 * 11);
    EXPECT_EQ(Count(Qt::red, QRect(10, 10, 21, 11), 10), 21 * 11);
}

TEST_F(DrawMarkupTest, HighlightUsesTheSystemSelectionColours)
{
    Draw("<HI>selected</HI> plain");
    const QColor highlight = ToQColor(clHighlight);
    EXPECT_GT(Count(highlight, QRect(0, 0, 1 + Width("selected"), 40), 10), 100);
    EXPECT_EQ(Count(highlight, QRect(3 + Width("selected "), 0, 200, 40), 10), 0);
}

// Random soup of the language's pieces: whatever the order, a call ends, never throws, keeps
// its outputs sane and leaves the canvas as it found it.
TEST_F(DrawMarkupTest, RandomMarkupNeverBreaksTheRenderer)
{
    const char* pieces[] = { "<B>", "</B>", "<I>", "</I>", "<U>", "</U>", "<S>", "</S>", "<A HREF=\"h\">",
        "</A>", "<FONT SIZE=\"9\" COLOR=\"clred\" BGCOLOR=\"#00FF00\">", "</FONT>", "<BR>", "<HR>",
        "<P ALIGN=\"CENTER\" BGCOLOR=\"clyellow\">", "</P>", "<UL>", "</UL>", "<LI>", "<SUB>", "</SUB>",
        "<SUP>", "<SHAD>", "</SHAD>", "<E>", "</E>", "<Z>", "</Z>", "<HI>", "</HI>", "<R A=\"45\">", "</R>",
        "<IN x=\"30\">", "<IMG SRC=\"IDX:0\">", "<BLINK>", "</BLINK>", "&amp;", "&lt;", "&nbsp;", "<#", ">",
        "<", "word ", "longerword", " ", "\r\n", "\t" };
    TImageList list(8, 8);
    list.Add(QImage(8, 8, QImage::Format_ARGB32));
    quint32 seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const TFont before = canvas->Font();
    for (int round = 0; round < 400; ++round) {
        QString text;
        const int count = int(next() % 40);
        for (int i = 0; i < count; ++i)
            text += QString::fromLatin1(pieces[next() % (sizeof(pieces) / sizeof(pieces[0]))]);
        Call c;
        c.text = text;
        c.images = &list;
        c.rect = TRect { 0, 0, int(20 + next() % 200), int(10 + next() % 150) };
        c.wordWrap = next() % 2;
        c.x = int(next() % 200);
        c.y = int(next() % 100);
        c.hoverOnly = next() % 2;
        c.hoverLink = 1;
        c.focusLink = 0;
        c.hoverColor = clYellow;
        for (int mode = 0; mode < 3; ++mode) {
            c.measureOnly = mode == 0;
            c.hitTestOnly = mode == 1;
            const Result r = Run(c);
            ASSERT_GE(r.height, 1) << text.toStdString();
            ASSERT_GE(r.width, 0);
            ASSERT_LE(r.plain.size(), text.size());
            ASSERT_LE(r.anchors, text.count("<A "));
            ASSERT_TRUE(canvas->Font().SameAs(before)) << text.toStdString();
            ASSERT_EQ(canvas->Brush().Color(), clWhite);
        }
    }
}
