#include "exchange/private/THTMLSanitizer.h"

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
