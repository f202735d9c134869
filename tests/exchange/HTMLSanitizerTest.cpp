#include "exchange/private/THTMLSanitizer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Pieces that random markup is built from: harmless tags, dangerous ones in odd spellings,
// broken quoting and stray brackets.
const char* const kPieces[] = {
    "<b>",
    "</b>",
    "<FONT color=\"red\">",
    "</FONT>",
    "<IMG SRC=\"a.gif\">",
    "<A HREF=\"http://x\">",
    "</A>",
    "<script>",
    "</script>",
    "<ScRiPt src=x>",
    "</SCRIPT >",
    "<style>",
    "</style>",
    "<iframe src=y>",
    "</iframe>",
    "<object>",
    "</object>",
    "<embed src=z>",
    "<img src=x onerror=alert(1)>",
    "<svg/onload=a()>",
    "<a href=\"javascript:alert(1)\">",
    "<a href='jav&#x09;ascript:x'>",
    "<a href=vbscript:x>",
    "<!--",
    "-->",
    "<",
    ">",
    "\"",
    "'",
    "=",
    " ",
    "text",
    "&amp;",
    "&#106;",
    "<br/>",
    "<p style=\"x:expression(1)\">",
    "<div onclick=\"go()\" id=d>",
    "<a/href=javascript:x>",
    "<b <script>",
    "</",
    "<!",
    "<?x ?>",
    "\n",
};

QString RandomMarkup(QRandomGenerator& random)
{
    QString s;
    const int count = random.bounded(1, 25);
    for (int i = 0; i < count; ++i)
        s += QString::fromUtf8(kPieces[random.bounded(int(std::size(kPieces)))]);
    return s;
}

// Tags in the output as a browser would read them: name plus raw attribute text.
bool HasActiveContent(const QString& html, QString* why)
{
    static const QRegularExpression tag(QStringLiteral("<\\s*/?\\s*([A-Za-z][^\\s/>]*)([^>]*)>?"));
    static const QRegularExpression eventAttr(
        QStringLiteral("(^|[\\s/\"'])on[a-z]+\\s*="), QRegularExpression::CaseInsensitiveOption);
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString name = m.captured(1).toLower();
        const QString attrs = m.captured(2);
        for (const char* bad :
            { "script", "style", "iframe", "object", "embed", "applet", "meta", "base", "link" })
            if (name == QLatin1String(bad)) {
                *why = "element " + name;
                return true;
            }
        if (eventAttr.match(attrs).hasMatch()) {
            *why = "event attribute in " + m.captured(0);
            return true;
        }
        if (THTMLSanitizer::IsScriptValue(attrs)) {
            *why = "script URL in " + m.captured(0);
            return true;
        }
    }
    return false;
}

} // namespace

TEST(HTMLSanitizer, RandomMarkupNeverKeepsActiveContent)
{
    QRandomGenerator random(20011);
    int dangerousInputs = 0;
    for (int i = 0; i < 5000; ++i) {
        const QString input = RandomMarkup(random);
        QString unused;
        dangerousInputs += HasActiveContent(input, &unused);
        const QString once = THTMLSanitizer::Sanitize(input);
        QString why;
        ASSERT_FALSE(HasActiveContent(once, &why))
            << why.toStdString() << "\ninput:  " << input.toStdString() << "\noutput: " << once.toStdString();
        // What is already clean stays as it is.
        ASSERT_EQ(THTMLSanitizer::Sanitize(once).toStdString(), once.toStdString()) << input.toStdString();
    }
    // The check itself must see the danger in the raw inputs, or the loop proves nothing.
    EXPECT_GT(dangerousInputs, 2500);
}

TEST(HTMLSanitizer, ScriptValueDetection)
{
    struct Case {
        const char* value;
        bool script;
    } cases[] = {
        { "http://example.com/", false },
        { "mailto:a@b.c", false },
        { "javascript:alert(1)", true },
        { "  JAVASCRIPT:x", true },
        { "java\tscript:x", true },
        { "jav&#x61;script:x", true },
        { "&#106&#97&#118&#97&#115&#99&#114&#105&#112&#116&#58x", true },
        { "javascript&colon;x", true },
        { "vbscript:x", true },
        { "data:text/html,<script>", true },
        { "data:image/png;base64,AAAA", false },
        { "my javascript notes.txt", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(THTMLSanitizer::IsScriptValue(QString::fromUtf8(c.value)), c.script) << c.value;
}

TEST(HTMLSanitizer, RawTextElementsGoAndCellsCloseWhatTheyOpen)
{
    // A cell must not change the structure of the page around it: elements whose content a
    // browser reads as raw text are dropped with that content, table parts and closing tags of
    // elements the cell did not open are dropped, and what the cell opened is closed at its end
    // (except where the end of a cell closes it anyway: p, li, option and the like).
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        { "<b>x</b><textarea>y</b>z", "<b>x</b>" },
        { "<b>x</b><TEXTAREA rows=2>y</textarea>z", "<b>x</b>z" },
        { "<i>a</i><xmp><b>y</b></xmp>z", "<i>a</i>z" },
        { "<i>a</i><plaintext>y</i>z", "<i>a</i>" },
        { "<i>a</i><title>t</title>z", "<i>a</i>z" },
        { "<i>a</i><noscript>n</noscript>z", "<i>a</i>z" },
        { "<i>a</i><noembed>n</noembed>z", "<i>a</i>z" },
        { "<i>a</i><noframes>n</noframes>z", "<i>a</i>z" },
        { "<i>a</i><listing>l</listing>z", "<i>a</i>z" },
        { "<i>a</i><textarea>x</textareas>y</textarea>z", "<i>a</i>z" },
        { "<b>x</b></td></tr></table>after", "<b>x</b>after" },
        { "<b>x</b><td>1<tr>2<th>3<table>4<tbody>5<caption>6</caption>7<col>8", "<b>x</b>12345678" },
        { "<i>a</i><b>open", "<i>a</i><b>open</b>" },
        { "<u>a</u><font color=red><b>x", "<u>a</u><font color=\"red\"><b>x</b></font>" },
        { "<b><i>x</b>y</i>", "<b><i>x</b>y</i>" },
        { "<u>x</u></font></div></body></html>", "<u>x</u>" },
        { "<b/>x</i>", "<b>x</b>" },
        { "<br/>x</b>", "<br/>x" },
        { "<IMG SRC=\"a.gif\"></img>x</b>", "<IMG SRC=\"a.gif\">x" },
        { "<p>a<p>b</p>c</p>", "<p>a<p>b</p>c</p>" },
        { "<ul><li>a<li>b</ul>x</b>", "<ul><li>a<li>b</ul>x" },
        { "<select><option>a</b>", "<select><option>a</select>" },
        { "<div><span>x</div>y</span>", "<div><span>x</div>y</span>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        const QString once = THTMLSanitizer::Sanitize(QString::fromUtf8(c.in));
        EXPECT_EQ(once.toStdString(), c.out);
        EXPECT_EQ(THTMLSanitizer::Sanitize(once).toStdString(), once.toStdString());
    }
}

TEST(HTMLSanitizer, BrokenTagsTakeLinearTime)
{
    // Every '<' of 240 KB of unclosed attribute quotes once started a parse to the end of the
    // text. A tag that cannot be completed is text, and so is everything after it, as a
    // browser reads it; one pass does it. The limit is far above the expected milliseconds.
    const QString unit = QStringLiteral("<a x=\"");
    const QString input = QStringLiteral("</b>") + unit.repeated(40000);
    QElapsedTimer timer;
    timer.start();
    const QString out = THTMLSanitizer::Sanitize(input);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(out, QStringLiteral("&lt;a x=\"").repeated(40000));
    EXPECT_EQ(THTMLSanitizer::Sanitize(QStringLiteral("<b>x</b><a title=\"oops>y</a>")),
        QStringLiteral("<b>x</b>&lt;a title=\"oops>y&lt;/a>"));
    // Raw-text elements that never close, and many unmatched closing tags, stay linear too.
    const QString many = QStringLiteral("<b>x</b>") + QStringLiteral("<textarea>").repeated(40000)
        + QStringLiteral("</i>").repeated(40000);
    timer.restart();
    EXPECT_EQ(THTMLSanitizer::Sanitize(many), QStringLiteral("<b>x</b>"));
    // Elements nest at most 256 deep; deeper opening tags are dropped with their closing tags.
    const QString nested = QStringLiteral("<b><i>").repeated(20000) + QStringLiteral("</b>").repeated(20000);
    EXPECT_EQ(THTMLSanitizer::Sanitize(nested),
        QStringLiteral("<b><i>").repeated(128) + QStringLiteral("</b>").repeated(128)
            + QStringLiteral("</i>").repeated(128));
    EXPECT_LT(timer.elapsed(), 1000);
}
