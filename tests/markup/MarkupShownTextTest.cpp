// MarkupShownText: the plain text a reader sees of a markup, checked against a table and against
// the renderer's own plain text for everything both show.
#include "markup/DrawMarkup.h"
#include "markup/MarkupText.h"
#include "platform/TCanvas.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

struct ShownCase {
    const char* name;
    QString markup;
    QString shown;
};

const ShownCase kCases[] = {
    { "tags removed", "<B>bold</B> and <I>italic</I>", "bold and italic" },
    { "anchor text stays, target goes", "see <A HREF=\"x://y\">here</A>", "see here" },
    { "amp entity shows one ampersand", "Fish &amp; chips</B>", "Fish & chips" },
    { "entities of the sweep", "&euro;5 &copy; &quot;q&quot;</B>",
        QString::fromUtf8("\u20ac5 \u00a9 \"q\"") },
    { "segment entities never start tags", "&lt;B&gt;not bold&lt;/B&gt;</B>", "<B>not bold</B>" },
    { "nbsp is a blank", "a&nbsp;b</B>", "a b" },
    { "a single ampersand stays; only drawing hides it", "R&D</B>", "R&D" },
    { "a doubled ampersand reads as one", "a && b</B>", "a & b" },
    { "BR breaks the line", "one<BR>two</B>", "one\ntwo" },
    { "lower-case br too", "one<br>two</b>", "one\ntwo" },
    { "HR breaks the line", "above<HR>below</B>", "above\nbelow" },
    { "closing P breaks the line", "<P>first</P>second</B>", "first\nsecond" },
    { "CR LF in the text breaks the line once", "one\r\ntwo</B>", "one\ntwo" },
    { "list items begin lines", "<UL><LI>a<LI>b</UL>", "a\nb" },
    { "hidden text is not shown", "shown<Z> hidden</Z> again", "shown again" },
    { "hash tag unwrapped", "<#tag> text</B>", "#tag text" },
    { "images show nothing", "x<IMG SRC=\"idx:1\">y</B>", "xy" },
    { "unterminated tag ends the text", "shown <B unterminated", "shown " },
    { "less than with too little after it ends the text", "a</B>b<x", "ab" },
    { "trailing breaks dropped", "text<BR></B>", "text" },
    { "empty", "", "" },
};

} // namespace

TEST(MarkupShownText, ReadsAsTheRendererShowsIt)
{
    for (const ShownCase& c : kCases)
        EXPECT_EQ(MarkupShownText(c.markup), c.shown) << c.name;
}

TEST(MarkupShownText, AgreesWithTheRenderersPlainTextWhereNothingIsHidden)
{
    QImage image(800, 200, QImage::Format_RGB32);
    TCanvas canvas(&image);
    for (const ShownCase& c : kCases) {
        if (c.markup.contains(QLatin1String("<Z>"), Qt::CaseInsensitive)
            || c.markup.contains(QLatin1String("<LI>"), Qt::CaseInsensitive)
            || c.markup.contains(QLatin1String("</P>"), Qt::CaseInsensitive)
            || c.markup.contains(QLatin1String("<HR>"), Qt::CaseInsensitive))
            continue; // hidden text and lines the renderer starts without a "\r" differ on purpose
        QString anchor, plain;
        int width = 0, height = 0;
        DrawMarkupSimple(canvas, c.markup, TRect { 0, 0, 65535, 65535 }, nullptr, 0, 0, false, true, false,
            true, true, 0.0, clBlue, anchor, plain, width, height);
        QString rendered = plain;
        rendered.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        while (rendered.endsWith(QLatin1Char('\n')))
            rendered.chop(1);
        EXPECT_EQ(MarkupShownText(c.markup), rendered) << c.name;
    }
}
