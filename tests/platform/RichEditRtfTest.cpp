// Reading and writing RTF: the features a cell's rich text uses, code pages, Unicode escapes,
// skipped destinations, the samples under tests/data/rtf, and malformed input.
#include "platform/TRichEdit.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray ReadSample(const QString& name)
{
    QFile f(orvtest::DataPath(QStringLiteral("rtf/") + name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QTextCharFormat FormatAt(TRichEdit& e, int pos)
{
    QTextCursor c(&e.Document());
    c.setPosition(pos + 1);
    return c.charFormat();
}

qreal PointSizeAt(TRichEdit& e, int pos)
{
    return FormatAt(e, pos).font().resolve(e.Document().defaultFont()).pointSizeF();
}

QString FamilyAt(TRichEdit& e, int pos)
{
    const QStringList f = FormatAt(e, pos).fontFamilies().toStringList();
    return f.isEmpty() ? e.Document().defaultFont().family() : f.front();
}

Qt::Alignment AlignOfLine(TRichEdit& e, int block)
{
    return e.Document().findBlockByNumber(block).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
}

int PosOf(TRichEdit& e, const QString& needle)
{
    return e.Document().toPlainText().indexOf(needle);
}

struct ReaderCase {
    const char* name;
    const char* rtf;
    QString plain;
    std::function<void(TRichEdit&)> check; // formatting expectations beyond the text
};

} // namespace

TEST(RichEditRtf, ReaderFeatures)
{
    const std::vector<ReaderCase> cases = {
        { "toggles and their zero forms",
            R"({\rtf1 a\b b\b0 c\i d\i0 e\ul f\ulnone g\strike h\strike0 i\uldb j\ul0 k})", "abcdefghijk",
            [](TRichEdit& e) {
                const std::vector<TFontStyles> want
                    = { 0, fsBold, 0, fsItalic, 0, fsUnderline, 0, fsStrikeOut, 0, fsUnderline, 0 };
                for (int i = 0; i < int(want.size()); ++i)
                    EXPECT_EQ(e.CharStyle(i), want[std::size_t(i)]) << "position " << i;
            } },
        { "groups restore the outer formatting", R"({\rtf1 x{\b y{\i z}w}v})", "xyzwv",
            [](TRichEdit& e) {
                EXPECT_EQ(e.CharStyle(0), 0);
                EXPECT_EQ(e.CharStyle(1), fsBold);
                EXPECT_EQ(e.CharStyle(2), fsBold | fsItalic);
                EXPECT_EQ(e.CharStyle(3), fsBold);
                EXPECT_EQ(e.CharStyle(4), 0);
            } },
        { "plain resets character formatting",
            R"({\rtf1{\colortbl;\red255\green0\blue0;}\b\i\cf1\fs40 A\plain B})", "AB",
            [](TRichEdit& e) {
                EXPECT_EQ(e.CharStyle(0), fsBold | fsItalic);
                EXPECT_EQ(e.CharColor(0), clRed);
                EXPECT_DOUBLE_EQ(PointSizeAt(e, 0), 20.0);
                EXPECT_EQ(e.CharStyle(1), 0);
                EXPECT_EQ(e.CharColor(1), clNone);
                EXPECT_DOUBLE_EQ(PointSizeAt(e, 1), e.Document().defaultFont().pointSizeF());
            } },
        { "colour table with automatic entry, foreground and backgrounds",
            R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue255;}a\cf1 b\cf2 c\cf0 d\highlight1 e\highlight0\cb2 f\cf9 g})",
            "abcdefg",
            [](TRichEdit& e) {
                EXPECT_EQ(e.CharColor(0), clNone);
                EXPECT_EQ(e.CharColor(1), clRed);
                EXPECT_EQ(e.CharColor(2), clBlue);
                EXPECT_EQ(e.CharColor(3), clNone);
                EXPECT_EQ(FormatAt(e, 4).background().color(), QColor(255, 0, 0));
                EXPECT_EQ(FormatAt(e, 3).background().style(), Qt::NoBrush);
                EXPECT_EQ(FormatAt(e, 5).background().color(), QColor(0, 0, 255));
                EXPECT_EQ(e.CharColor(6), clNone) << "an index past the table is automatic";
            } },
        { "font table, default font and sizes",
            R"({\rtf1\deff1{\fonttbl{\f0\fswiss Arial;}{\f1\froman Times New Roman;}}a\f0\fs30 b\f7 c})",
            "abc",
            [](TRichEdit& e) {
                EXPECT_EQ(FamilyAt(e, 0), QStringLiteral("Times New Roman"));
                EXPECT_EQ(FamilyAt(e, 1), QStringLiteral("Arial"));
                EXPECT_DOUBLE_EQ(PointSizeAt(e, 1), 15.0);
                EXPECT_TRUE(FormatAt(e, 2).fontFamilies().toStringList().isEmpty())
                    << "an unknown font number leaves the default font";
            } },
        { "font names with code-page and Unicode escapes",
            R"({\rtf1{\fonttbl{\f0\fcharset204 \'c0rial;}{\f1 \u26126?\u26397?;}}a\f1 b})", "ab",
            [](TRichEdit& e) {
                EXPECT_EQ(FamilyAt(e, 0), QStringLiteral("\u0410rial"));
                EXPECT_EQ(FamilyAt(e, 1), QStringLiteral("\u660E\u671D"));
            } },
        { "font table without groups", R"({\rtf1{\fonttbl\f0\fnil Courier New;\f1\fnil Arial;}\f1 x})", "x",
            [](TRichEdit& e) { EXPECT_EQ(FamilyAt(e, 0), QStringLiteral("Arial")); } },
        { "superscript, subscript and vertical offsets",
            R"({\rtf1 a\super b\sub c\nosupersub d\up4 e\up0 f\dn6 g\up h})", "abcdefgh",
            [](TRichEdit& e) {
                EXPECT_EQ(FormatAt(e, 1).verticalAlignment(), QTextCharFormat::AlignSuperScript);
                EXPECT_EQ(FormatAt(e, 2).verticalAlignment(), QTextCharFormat::AlignSubScript);
                EXPECT_EQ(FormatAt(e, 3).verticalAlignment(), QTextCharFormat::AlignNormal);
                EXPECT_EQ(e.CharOffset(4), 40);
                EXPECT_EQ(e.CharOffset(5), 0);
                EXPECT_EQ(e.CharOffset(6), -60);
                EXPECT_EQ(e.CharOffset(7), 60) << "\\up without a number is 3 points";
            } },
        { "paragraphs, line breaks, tabs and alignment",
            R"({\rtf1\pard\qc one\par\pard two\line three\par\qr\tab four\par\pard\qj five})",
            "one\r\ntwo\r\nthree\r\n\tfour\r\nfive",
            [](TRichEdit& e) {
                EXPECT_EQ(AlignOfLine(e, 0), Qt::AlignHCenter);
                EXPECT_EQ(AlignOfLine(e, 1), Qt::AlignLeft);
                EXPECT_EQ(AlignOfLine(e, 2), Qt::AlignRight);
                EXPECT_EQ(AlignOfLine(e, 3), Qt::AlignJustify);
                EXPECT_EQ(e.Document().blockCount(), 4) << "a line break stays inside its paragraph";
            } },
        { "final paragraph mark adds no empty line, further ones do", R"({\rtf1 a\par\par})", "a\r\n",
            nullptr },
        { "escaped symbols and special characters",
            R"({\rtf1 \{x\}\\ a\~b\-c\_d\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
            QStringLiteral("{x}\\ a bc\u2011d\u2014\u2013\u2022\u2018\u2019\u201C\u201D"), nullptr },
        { "a space ends a control word and is not text; CR and LF are never text",
            "{\\rtf1 \\b  x\r\n\\b0\r\ny}", " xy", nullptr },
        { "hidden text is not shown", R"({\rtf1 see{\v secret} this\v  and\v0  that})", "see this that",
            nullptr },
        { "unknown control words are skipped; ignorable destinations dropped",
            R"({\rtf1\foo12 a\bar-3 b{\*\unknowndest junk {nested} junk}c{\*\b not bold}d})", "abcd",
            nullptr },
        { "skipped destinations keep no text",
            R"({\rtf1{\info{\title T}}{\stylesheet{\s0 Normal;}}{\header H}{\footer F}{\pict 0102ff}{\object{\objdata 00}}x})",
            "x", nullptr },
        { "paragraph numbering: the shown text stays, the definition goes",
            R"({\rtf1{\pntext\'b7\tab}{\pn\pnlvlblt{\pntxtb\'b7}}item{\chcbpat1 x}})",
            QStringLiteral("\u00B7\titemx"), nullptr },
        { "fields keep their result only",
            R"({\rtf1 go {\field{\*\fldinst HYPERLINK "u"}{\fldrslt here}} {\field{\fldinst PAGE}{\fldrslt 3}}})",
            "go here 3", nullptr },
        { "binary data is skipped even when it holds braces", "{\\rtf1 a{\\pict\\bin5 }}{{\\}b}", "ab",
            nullptr },
        { "text after the outer group is ignored", R"({\rtf1 in} out)", "in", nullptr },
        { "leading white space before the group", "\r\n  {\\rtf1 x}", "x", nullptr },
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        TRichEdit e;
        EXPECT_TRUE(e.LoadFromRtf(QByteArray(c.rtf)));
        EXPECT_EQ(e.PlainText(), c.plain);
        if (c.check)
            c.check(e);
    }
}

TEST(RichEditRtf, CodePagesAndUnicodeEscapes)
{
    struct Case {
        const char* name;
        QByteArray rtf;
        QString plain;
    };
    const std::vector<Case> cases = {
        { "Windows-1252 by default, including 0x80..0x9F", R"({\rtf1 caf\'e9 \'80\'93\'99})",
            QStringLiteral("caf\u00E9 \u20AC\u201C\u2122") },
        { "\\ansicpg selects the page", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})",
            QStringLiteral("\u041F\u0440\u0438") },
        { "a font's charset overrides the document page",
            R"({\rtf1\ansicpg1252{\fonttbl{\f0 Arial;}{\f1\fcharset238 Arial CE;}}\'e8\f1\'e8})",
            QStringLiteral("\u00E8\u010D") },
        { "double-byte characters split over two escapes", R"({\rtf1\ansicpg932 \'82\'a0\'82\'a2})",
            QStringLiteral("\u3042\u3044") },
        { "raw bytes above 127 use the page as escapes do", QByteArray("{\\rtf1 \xe9t\xe9}"),
            QStringLiteral("\u00E9t\u00E9") },
        { "\\u skips one fallback character by default", R"({\rtf1 \u8364?x \u233\'e9y})",
            QStringLiteral("\u20ACx \u00E9y") },
        { "\\uc sets how many to skip; a control word counts as one",
            R"({\rtf1\uc2 \u8364??a\u8364\'80\'80b\u8364\tab xc})", QStringLiteral("\u20ACa\u20ACb\u20ACc") },
        { "\\uc0 skips nothing", R"({\rtf1\uc0 \u8364 x})", QStringLiteral("\u20ACx") },
        { "negative values and surrogate pairs", R"({\rtf1 \u-10179?\u-8694?\u-3?})",
            QStringLiteral("\U0001F60A\uFFFD") },
        { "a group end stops the skipping", R"({\rtf1\uc3 {\u8364?}ab})", QStringLiteral("\u20ACab") },
        { "\\uc is scoped to its group", R"({\rtf1{\uc2 \u8364??}\u8364?z})",
            QStringLiteral("\u20AC\u20ACz") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRichEdit e;
        EXPECT_TRUE(e.LoadFromRtf(c.rtf));
        EXPECT_EQ(e.PlainText(), c.plain);
    }
}

TEST(RichEditRtf, SampleFilesLoad)
{
    struct Case {
        const char* file;
        QString plain;
    };
    const std::vector<Case> cases = {
        { "wordpad.rtf",
            QStringLiteral("Plain bold and italic, underlined and struck.\r\nRed centred\r\n"
                           "Caf\u00E9 costs \u20AC 5\r\nH2O and E = mc2\tend\r\nnext line") },
        { "libreoffice.rtf",
            QStringLiteral("Plain bold italic under strike red\r\n"
                           "Centred: caf\u00E9 \u20AC \u00FCn\u00EF \u4E2D\u6587\r\nH2O E=mc2") },
        { "cyrillic.rtf", QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440!") },
        { "word.rtf",
            QStringLiteral("Title\r\nSee the site now.\r\n1.\tFirst item\r\nKept\r\nA\tB\t\r\n"
                           "green \uF0B7done") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray bytes = ReadSample(QString::fromLatin1(c.file));
        ASSERT_FALSE(bytes.isEmpty());
        TRichEdit e;
        EXPECT_TRUE(e.LoadFromRtf(bytes));
        EXPECT_EQ(e.PlainText(), c.plain);
    }

    TRichEdit e;
    e.LoadFromRtf(ReadSample(QStringLiteral("wordpad.rtf")));
    EXPECT_EQ(e.CharStyle(PosOf(e, "bold")), fsBold);
    EXPECT_EQ(e.CharStyle(PosOf(e, "struck")), fsStrikeOut);
    EXPECT_EQ(e.CharColor(PosOf(e, "Red")), clRed);
    EXPECT_EQ(AlignOfLine(e, 1), Qt::AlignHCenter);
    EXPECT_EQ(FamilyAt(e, PosOf(e, "Caf")), QStringLiteral("Times New Roman"));
    EXPECT_DOUBLE_EQ(PointSizeAt(e, PosOf(e, "Caf")), 14.0);
    EXPECT_EQ(FormatAt(e, PosOf(e, "2O")).verticalAlignment(), QTextCharFormat::AlignSubScript);

    // A word processor's own output: sub- and superscript come as \dn and \up offsets.
    e.LoadFromRtf(ReadSample(QStringLiteral("libreoffice.rtf")));
    EXPECT_EQ(e.CharColor(PosOf(e, "red")), clRed);
    EXPECT_EQ(e.CharStyle(PosOf(e, "under")), fsUnderline);
    EXPECT_EQ(AlignOfLine(e, 1), Qt::AlignHCenter);
    EXPECT_EQ(e.CharOffset(PosOf(e, "2O")), -20);
    EXPECT_EQ(e.CharOffset(PosOf(e, "c2") + 1), 80);
    EXPECT_EQ(e.CharOffset(PosOf(e, "c2")), 0);

    e.LoadFromRtf(ReadSample(QStringLiteral("word.rtf")));
    EXPECT_EQ(e.CharColor(PosOf(e, "the site")), clBlue);
    EXPECT_EQ(e.CharStyle(PosOf(e, "the site")), fsUnderline);
    EXPECT_EQ(e.CharStyle(PosOf(e, "Title")), fsBold);
    EXPECT_EQ(FamilyAt(e, PosOf(e, "See")), QStringLiteral("Arial"))
        << "nested \\falt is not part of the name";
}

TEST(RichEditRtf, NonRtfBytesLoadAsPlainText)
{
    TRichEdit e;
    e.LoadFromRtf(R"({\rtf1 old})");
    EXPECT_FALSE(e.LoadFromRtf("just text\r\nline two"));
    EXPECT_EQ(e.PlainText(), QStringLiteral("just text\r\nline two"));
    EXPECT_FALSE(e.LoadFromRtf("caf\xc3\xa9"));
    EXPECT_EQ(e.PlainText(), QStringLiteral("caf\u00E9")) << "UTF-8";
    EXPECT_FALSE(e.LoadFromRtf("caf\xe9"));
    EXPECT_EQ(e.PlainText(), QStringLiteral("caf\u00E9")) << "not UTF-8: Windows-1252";
    EXPECT_FALSE(e.LoadFromRtf(QByteArray("{") + QByteArray(1, '\0')
        + "a\x01\x10"
          "b\tc"));
    EXPECT_EQ(e.PlainText(), QStringLiteral("{ab\tc")) << "control characters are not text";
    EXPECT_FALSE(e.LoadFromRtf(""));
    EXPECT_EQ(e.PlainText(), QString());
}

TEST(RichEditRtf, MalformedInputLoadsWhatItCan)
{
    struct Case {
        const char* name;
        QByteArray rtf;
        QString plain;
    };
    const std::vector<Case> cases = {
        { "missing closing braces", R"({\rtf1 a{\b b{\i c)", "abc" },
        { "stray closing brace ends the document", R"({\rtf1 a}}b)", "a" },
        { "backslash at the very end", "{\\rtf1 a\\", "a" },
        { "truncated hex escape", "{\\rtf1 a\\'4", "a" },
        { "hex escape with no digits", R"({\rtf1 a\'zz})", "azz" },
        { "huge numbers are clamped", R"({\rtf1\fs999999999999999 a\u99999999999 b\uc99999999 c})", "ac" },
        { "binary length beyond the input", "{\\rtf1 a\\bin999999 xyz", "a" },
        { "colour index far out of range", R"({\rtf1\cf2147483647 x\highlight-5 y})", "xy" },
        { "NUL and control bytes are not text",
            QByteArray("{\\rtf1 a") + QByteArray(1, '\0')
                + "\x01\x07"
                  "b}",
            "ab" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRichEdit e;
        EXPECT_TRUE(e.LoadFromRtf(c.rtf));
        EXPECT_EQ(e.PlainText(), c.plain);
    }
}

TEST(RichEditRtf, EveryPrefixOfTheSamplesLoads)
{
    // A truncated cell must never crash the list; each prefix gives a prefix of the full text
    // (the last visible character may be cut where an escape or a group was cut).
    for (const char* file : { "wordpad.rtf", "word.rtf", "cyrillic.rtf", "libreoffice.rtf" }) {
        SCOPED_TRACE(file);
        const QByteArray bytes = ReadSample(QString::fromLatin1(file));
        ASSERT_FALSE(bytes.isEmpty());
        TRichEdit full;
        full.LoadFromRtf(bytes);
        const QString fullText = full.PlainText();
        TRichEdit e;
        for (qsizetype n = 0; n <= bytes.size(); ++n) {
            e.LoadFromRtf(bytes.left(n));
            const QString text = e.PlainText();
            ASSERT_TRUE(fullText.startsWith(text.left(text.size() - 1)))
                << "prefix " << n << ": " << text.toStdString();
        }
        EXPECT_EQ(e.PlainText(), fullText);
    }
}

TEST(RichEditRtf, DeepNestingIsBoundedAndSkipped)
{
    const int depth = 100000;
    QByteArray rtf = "{\\rtf1 a";
    rtf += QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + "b}";
    TRichEdit e;
    EXPECT_TRUE(e.LoadFromRtf(rtf));
    EXPECT_EQ(e.PlainText(), QStringLiteral("ab"));

    // Moderate nesting, as real documents have, is read normally.
    QByteArray shallow = "{\\rtf1 a" + QByteArray(50, '{') + "\\b x" + QByteArray(50, '}') + "b}";
    e.LoadFromRtf(shallow);
    EXPECT_EQ(e.PlainText(), QStringLiteral("axb"));
    EXPECT_EQ(e.CharStyle(1), fsBold);
    EXPECT_EQ(e.CharStyle(2), 0);
}

TEST(RichEditRtf, WriterOutputHasTheStandardHeaderAndEscapes)
{
    TRichEdit e;
    e.SetText(QStringLiteral("a{b}\\c\tcaf\u00E9 \u20AC \u4E2D"));
    const QByteArray rtf = e.SaveToRtf();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0"));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;"));
    EXPECT_TRUE(rtf.contains("a\\{b\\}\\\\c\\tab"));
    EXPECT_TRUE(rtf.contains("\\u233\\'e9")) << "non-ASCII with a Windows-1252 fallback";
    EXPECT_TRUE(rtf.contains("\\u8364\\'80"));
    EXPECT_TRUE(rtf.contains("\\u20013?")) << "no 1252 byte: a question mark";
    EXPECT_TRUE(rtf.endsWith('}'));
    for (char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "the writer's output is 7-bit";
}

namespace {

// Every character's visible properties, for comparing two documents.
QStringList DescribeRuns(TRichEdit& e)
{
    QStringList out;
    const QFont base = e.Document().defaultFont();
    for (QTextBlock b = e.Document().begin(); b.isValid(); b = b.next()) {
        out << QStringLiteral("para align=%1")
                   .arg(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            const QFont font = cf.font().resolve(base);
            for (const QChar ch : f.text()) {
                const int pos = int(out.size());
                (void)pos;
                out << QStringLiteral("%1 %2 %3pt b%4 i%5 u%6 s%7 fg=%8 bg=%9 v%10")
                            .arg(ch)
                            .arg(font.families().value(0, font.family()))
                            .arg(font.pointSizeF())
                            .arg(font.bold())
                            .arg(font.italic())
                            .arg(font.underline())
                            .arg(font.strikeOut())
                            .arg(cf.foreground().style() == Qt::NoBrush ? QStringLiteral("auto")
                                                                        : cf.foreground().color().name())
                            .arg(cf.background().style() == Qt::NoBrush ? QStringLiteral("none")
                                                                        : cf.background().color().name())
                            .arg(int(cf.verticalAlignment()))
                        + QStringLiteral(" up=%1").arg(cf.hasProperty(QTextFormat::UserProperty + 0x4a1)
                                ? cf.intProperty(QTextFormat::UserProperty + 0x4a1)
                                : 0);
            }
        }
    }
    return out;
}

} // namespace

TEST(RichEditRtf, SaveThenLoadKeepsTextAndFormatting)
{
    std::vector<std::pair<QString, QByteArray>> sources;
    for (const char* file : { "wordpad.rtf", "word.rtf", "cyrillic.rtf", "libreoffice.rtf" })
        sources.emplace_back(QString::fromLatin1(file), ReadSample(QString::fromLatin1(file)));
    sources.emplace_back(QStringLiteral("every feature"),
        QByteArray(
            R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}{\f2 \u26126?\u26397?;}}{\colortbl;\red1\green2\blue3;\red200\green100\blue0;})"
            R"({\f2 \u26126?\u26397? font} \pard\qj\f1\fs18 mono {\b\i\ul\strike all}\par\pard\qr{\cf1\highlight2 c}{\up8 up}{\dn4 dn})"
            R"({\super sup}{\sub sub} \{\}\\\tab t\line l\par\par})"));

    for (const auto& [name, rtf] : sources) {
        SCOPED_TRACE(name.toStdString());
        TRichEdit a;
        ASSERT_TRUE(a.LoadFromRtf(rtf));
        const QByteArray saved = a.SaveToRtf();
        TRichEdit b;
        ASSERT_TRUE(b.LoadFromRtf(saved));
        EXPECT_EQ(b.PlainText(), a.PlainText());
        EXPECT_EQ(DescribeRuns(b), DescribeRuns(a)) << saved.constData();
        EXPECT_EQ(b.SaveToRtf(), saved) << "saving is stable";
    }
}
