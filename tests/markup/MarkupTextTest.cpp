#include "markup/MarkupText.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

struct StripCase {
    const char* name;
    QString markup;
    QString plain;
};

} // namespace

TEST(MarkupText, StripMarkupTurnsBreaksIntoLineEndsAndDropsTags)
{
    const StripCase cases[] = {
        { "tags removed", "a<B>b</B>c", "abc" },
        { "lower br is CR LF", "x<br>y", "x\r\ny" },
        { "upper BR is CR", "x<BR>y", "x\ry" },
        { "rules are CR", "x<hr>y<HR>z", "x\ry\rz" },
        { "mixed case br is just a tag", "x<Br>y", "xy" },
        { "unterminated tag drops the tail", "a<b", "a" },
        { "no tags", "plain", "plain" },
        { "empty", "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripMarkup(c.markup), c.plain) << c.name;
}

TEST(MarkupText, MarkupPosMapsPlainCharactersToMarkupPositions)
{
    EXPECT_EQ(MarkupPos("ab<B>cd", 3), 3); // before the tag that precedes "c"
    EXPECT_EQ(MarkupPos("ab<B>cd", 4), 7);
    EXPECT_EQ(MarkupPos("abcd", 1), 1);
    EXPECT_EQ(MarkupPos("abcd", 5), 5);
    EXPECT_EQ(MarkupPos("abcd", 6), 0);
    EXPECT_EQ(MarkupPos("abcd", 0), 0);
    EXPECT_EQ(MarkupPos("<B>ab</B>", 3), 6);
    EXPECT_EQ(MarkupPos("", 1), 1);
}

TEST(MarkupText, FindTextFromSkipsTheOffsetAndHonoursCase)
{
    int pos = -1;
    EXPECT_EQ(FindTextFrom("ab", "xxabab", 0, true, pos), 3);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(FindTextFrom("ab", "xxabab", 3, true, pos), 5);
    EXPECT_EQ(FindTextFrom("AB", "xxabab", 0, true, pos), 0);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(FindTextFrom("AB", "xxabab", 0, false, pos), 3);
    EXPECT_EQ(FindTextFrom("", "xxabab", 0, false, pos), 0); // an empty pattern never matches
    EXPECT_EQ(FindTextFrom("ab", "xxabab", 99, false, pos), 0);
}

TEST(MarkupText, MarkTextWrapsMatchesAndUnmarkTextRemovesThem)
{
    struct Case {
        const char* name;
        QString markup, pattern, tag;
        bool caseSensitive;
        QString marked;
    };
    const Case cases[] = {
        { "any case, tags not nested", "<B>Total</B> total", "total", "hi", false,
            "<hi><B>Total</hi></B> <hi>total</hi>" },
        { "case sensitive", "<B>Total</B> total", "total", "hi", true, "<B>Total</B> <hi>total</hi>" },
        { "adjacent match skipped", "abab", "ab", "e", true, "<e>ab</e>ab" },
        { "separated matches", "ab ab", "ab", "e", true, "<e>ab</e> <e>ab</e>" },
        { "match at the end", "xab", "ab", "e", true, "x<e>ab</e>" },
        { "no match", "abc", "zz", "e", true, "abc" },
        { "empty pattern", "abc", "", "e", true, "abc" },
    };
    for (const auto& c : cases) {
        const QString marked = MarkText(c.markup, c.pattern, c.tag, c.caseSensitive);
        EXPECT_EQ(marked, c.marked) << c.name;
        EXPECT_EQ(UnmarkText(marked, c.tag), c.markup) << c.name;
    }
}

TEST(MarkupText, CaseFreeSearchKeepsPositionsPastLettersThatChangeLengthInUpperCase)
{
    // "ß" upper-cases to "SS" and the ligature "ﬀ" to "FF": comparing without regard to case
    // must not move the positions after them.
    const QString sharp = QString::fromUtf8("ß");
    const QString ff = QString::fromUtf8("\uFB00");
    EXPECT_EQ(PosText("x", sharp + "x"), 2);
    EXPECT_EQ(PosText("X", ff + ff + "x"), 3);
    EXPECT_EQ(PosText(sharp, "STRA" + sharp + "E"), 5);
    EXPECT_EQ(PosText(QString::fromUtf8("ẞ"), "a" + sharp), 2); // capital sharp s matches the small one
    EXPECT_EQ(PosText(QString::fromUtf8("É"), QString::fromUtf8("café")), 4);
    EXPECT_EQ(PosText("ss", sharp), 0); // one letter is not two

    int pos = -1;
    EXPECT_EQ(FindTextFrom("total", "Stra" + sharp + "e Total", 0, false, pos), 8);
    EXPECT_EQ(FindTextFrom("e", sharp + sharp + "e e", 3, false, pos), 5);

    QString text = sharp + "ab";
    EXPECT_TRUE(ReplaceFirstText("AB", "XY", text));
    EXPECT_EQ(text, sharp + "XY");
    text = ff + "cafe";
    EXPECT_TRUE(ReplaceFirstText("CAF", "t", text));
    EXPECT_EQ(text, ff + "te");

    EXPECT_EQ(
        MarkText("Stra" + sharp + "e Total", "total", "hi", false), "Stra" + sharp + "e <hi>Total</hi>");
    EXPECT_EQ(
        MarkText(sharp + "<B>" + sharp + "x</B>", "x", "e", false), sharp + "<B>" + sharp + "<e>x</e></B>");
}

TEST(MarkupText, UnmarkTextRemovesBothSpellingsAndJoinedLeftovers)
{
    EXPECT_EQ(UnmarkText("<HI>a</HI><hi>b</hi>", "hi"), "ab");
    EXPECT_EQ(UnmarkText("<Hi>a</Hi>", "hi"), "<Hi>a</Hi>"); // mixed case stays
    EXPECT_EQ(UnmarkText("<h<hi>i>a", "hi"), "a"); // a removal that forms a new tag
}

TEST(MarkupText, MarkTextStaysLinearOnManyMatches)
{
    const QString text = QString("a ").repeated(50000);
    QElapsedTimer timer;
    timer.start();
    const QString marked = MarkText(text, "a", "e", true);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(marked.count("<e>"), 50000);
    EXPECT_EQ(UnmarkText(marked, "e"), text);
}

TEST(MarkupText, ReplaceAndPositionHelpers)
{
    EXPECT_EQ(ReplaceFirst("aXbX", "X", "-"), "a-bX");
    EXPECT_EQ(ReplaceFirst("abc", "X", "-"), "abc");
    EXPECT_EQ(ReplaceFirst("", "X", "-"), "");
    EXPECT_EQ(ReplaceFirst("abc", "", "-"), "abc");

    QString s = "One TWO two";
    EXPECT_TRUE(ReplaceFirstText("two", "2", s));
    EXPECT_EQ(s, "One 2 two");
    EXPECT_FALSE(ReplaceFirstText("three", "3", s));
    EXPECT_EQ(s, "One 2 two");

    EXPECT_EQ(PosText("b", "ABC"), 2);
    EXPECT_EQ(PosText("z", "ABC"), 0);
    EXPECT_EQ(PosText("", "ABC"), 0);

    EXPECT_EQ(UnwrapHashTag("x <#tag> y>"), "x #tag y>");
    EXPECT_EQ(UnwrapHashTag("no hash <B>"), "no hash <B>");
    EXPECT_EQ(LineBreaksToMarkup("a\r\nb\nc", true), "a<BR>bc");
    EXPECT_EQ(LineBreaksToMarkup("a\r\nb\nc", false), "abc");
}

TEST(MarkupText, LooseNumbersStopAtTheFirstBadCharacter)
{
    struct Case {
        QString text;
        int loose;
        bool valid;
    };
    const Case cases[] = {
        { "40", 40, true },
        { "  -12", -12, true },
        { "+7", 7, true },
        { "$1F", 31, true },
        { "12px", 12, false },
        { "-12px", 12, false },
        { "", 0, false },
        { "abc", 0, false },
        { "-", 0, false },
        { "99999999999", 2147483647, true },
        { "12 ", 12, false },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToIntLoose(c.text), c.loose) << c.text.toStdString();
        int v = 0;
        EXPECT_EQ(TryStrToInt(c.text, v), c.valid) << c.text.toStdString();
    }
}

TEST(MarkupText, ColoursFromHexAndNames)
{
    EXPECT_EQ(HexPairValue("7F"), 127);
    EXPECT_EQ(HexPairValue("7"), 0);
    EXPECT_EQ(HexPairValue("FF"), 255);
    EXPECT_EQ(ColorFromHex("#FF0000"), clRed);
    EXPECT_EQ(ColorFromHex("#00FF80"), RGBColor(0, 255, 0x80));
    EXPECT_EQ(ColorFromHex("#FF"), clRed); // missing pairs read as 0
    EXPECT_EQ(ColorFromName("clred"), clRed);
    EXPECT_EQ(ColorFromName("CLNAVY"), clNavy);
    EXPECT_EQ(ColorFromName("clhighlight"), clHighlight);
    EXPECT_EQ(ColorFromName("clinfobk"), clInfoBk);
    EXPECT_EQ(ColorFromName("nosuchcolour"), clBlack);
    EXPECT_EQ(ColorFromValue("#0000FF"), clBlue);
    EXPECT_EQ(ColorFromValue("CLLIME"), clLime);
}

TEST(MarkupText, EntitiesAreReplacedUntilNothingChanges)
{
    struct Case {
        const char* name;
        QString in, out;
    };
    const Case cases[] = {
        { "amp doubles for prefix processing", "a&amp;b", "a&&b" },
        { "upper case entity", "&AMP;", "&&" },
        { "quote", "&quot;x&quot;", "\"x\"" },
        { "signs", "&sect;&permil;&reg;&copy;&para;&trade;&euro;",
            QString::fromUtf8("\u00a7\u2030\u00ae\u00a9\u00b6\u2122\u20ac") },
        { "amp forms a new entity", "&amp;quot;", "&\"" },
        { "amp chain", "&amp;amp;", "&&&" },
        { "late entities untouched", "&lt;&nbsp;", "&lt;&nbsp;" },
        { "unknown entity", "&foo; & x", "&foo; & x" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceEntities(c.in), c.out) << c.name;

    EXPECT_EQ(ReplaceSegmentEntities("&LT;b&gt;&nbsp;c"), "<b> c");
    EXPECT_EQ(RemovePrefixMarks("a&&b&c"), "a&bc");
}
