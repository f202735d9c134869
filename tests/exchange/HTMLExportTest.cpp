#include "ExchangeTestUtil.h"
#include "platform/OrvExceptions.h"
#include "exchange/HTMLExport.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace exchangetest;

namespace {

QString BorderBg()
{
    const TColor c = ColorToRGB(clActiveBorder);
    return QStringLiteral(" BGCOLOR=\"#%1%2%3\"")
        .arg(c & 0xFF, 2, 16, QChar(u'0'))
        .arg((c >> 8) & 0xFF, 2, 16, QChar(u'0'))
        .arg((c >> 16) & 0xFF, 2, 16, QChar(u'0'))
        .toUpper();
}

struct Export {
    TModel model;
    THTMLSettings settings;
    bool urlShow = false;
    bool urlFull = false;
    std::function<void(int, int, TBrush&, TFont&, const QString&)> hook;
    std::function<QString(int, int)> rich;

    THTMLExportContext Context() const
    {
        return THTMLExportContext { model.columns, model.items, settings, urlShow, urlFull, hook, rich };
    }
    QStringList Lines() const { return BuildHTMLLines(Context()); }
    // The cell lines of data row r.
    QStringList Row(int r) const
    {
        const QStringList lines = Lines();
        int first = lines.indexOf("</tr>") + 1; // the header row ends here
        for (int i = 0; i < r; ++i)
            first = lines.indexOf("</tr>", first) + 1;
        const int end = lines.indexOf("</tr>", first);
        return lines.mid(first + 1, end - first - 1);
    }
};

} // namespace

TEST(HTMLExport, TwoColumnListGivesExactlyTenLines)
{
    Export e;
    e.model.Reset({ "A", "B" }, { { "x", "y" } });
    TempFolder dir;
    SaveListToHTML(e.Context(), dir.Path("t.htm"));
    const QString bg = BorderBg();
    const QByteArray expected = QStringLiteral("<table border=\"1\" cellspacing=\"0\" width=\"100%\">\r\n"
                                               "<tr>\r\n"
                                               "<td nowrap%1><B>A</B></td>\r\n"
                                               "<td nowrap%1><B>B</B></td>\r\n"
                                               "</tr>\r\n"
                                               "<tr>\r\n"
                                               "<td nowrap>x</td>\r\n"
                                               "<td nowrap>y</td>\r\n"
                                               "</tr>\r\n"
                                               "</table><p>\r\n")
                                    .arg(bg)
                                    .toUtf8();
    EXPECT_EQ(ReadBytes(dir.Path("t.htm")), expected);
}

TEST(HTMLExport, SettingsTagsAndFiles)
{
    Export e;
    e.model.Reset({ "A" }, { { "x" } });
    e.settings.SetBorderSize(3);
    e.settings.SetCellSpacing(2);
    e.settings.SetWidth(80);
    e.settings.SetSaveColor(false);
    e.settings.SetPrefixTag("<body bgcolor=\"#ffffff\"><font face=\"Tahoma\" size=\"2\">");
    e.settings.SetSuffixTag("</font>");
    e.settings.SetTableStyle("ignored");
    TempFolder dir;
    e.settings.SetHeaderFile(dir.Write("head.txt", "<html>\n<body>\r\n"));
    e.settings.SetFooterFile(dir.Write("foot.txt", "</body>\r</html>"));
    SaveListToHTML(e.Context(), dir.Path("t.htm"));
    EXPECT_EQ(ReadBytes(dir.Path("t.htm")),
        QByteArray("<html>\n<body>\r\n"
                   "<body bgcolor=\"#ffffff\"><font face=\"Tahoma\" size=\"2\">\r\n"
                   "<table border=\"3\" cellspacing=\"2\" width=\"80%\">\r\n"
                   "<tr>\r\n<td nowrap><B>A</B></td>\r\n</tr>\r\n"
                   "<tr>\r\n<td nowrap>x</td>\r\n</tr>\r\n"
                   "</table><p>\r\n"
                   "</font>\r\n"
                   "</body>\r</html>\r\n"));
    // Missing header and footer files are skipped silently.
    e.settings.SetHeaderFile(dir.Path("missing1"));
    e.settings.SetFooterFile(dir.Path("missing2"));
    SaveListToHTML(e.Context(), dir.Path("u.htm"));
    EXPECT_TRUE(ReadBytes(dir.Path("u.htm")).startsWith("<body bgcolor"));
}

TEST(HTMLExport, EmptyCellsAlignmentAndShortRows)
{
    Export e;
    e.model.Reset({ "", "Right", "Centre" }, { { "", "1", "" }, { "only" }, { "a", "", "c" } });
    e.model.columns[1].SetAlignment(taRightJustify);
    e.model.columns[2].SetAlignment(taCenter);
    e.settings.SetSaveColor(false);
    const QStringList lines = e.Lines();
    EXPECT_EQ(lines[2], "<td nowrap><B><BR></B></td>");
    EXPECT_EQ(S(e.Row(0)),
        S({ "<td nowrap><br></td>", "<td nowrap align=\"right\">1</td>", "<td nowrap><BR></td>" }));
    EXPECT_EQ(S(e.Row(1)), S({ "<td nowrap>only</td>" }));
    EXPECT_EQ(S(e.Row(2)),
        S({ "<td nowrap>a</td>", "<td nowrap><BR></td>", "<td nowrap align=\"center\">c</td>" }));
}

TEST(HTMLExport, CellHookColoursAndStyles)
{
    Export e;
    e.model.Reset({ "A", "B" }, { { "x", "y" }, { "p", "q" } });
    std::vector<std::tuple<int, int, QString, TColor, TColor, int>> seen;
    e.hook = [&](int row, int sub, TBrush& brush, TFont& font, const QString& text) {
        seen.emplace_back(row, sub, text, brush.Color(), font.Color(), font.Style());
        if (row == 0 && sub == -1)
            brush.SetColor(RGBColor(255, 255, 0));
        if (row == 0 && sub == 0) {
            font.SetColor(RGBColor(0x12, 0x34, 0x56));
            font.SetStyle(fsBold | fsItalic | fsUnderline);
        }
        if (row == 1 && sub == 0)
            font.SetStyle(fsItalic);
    };
    EXPECT_EQ(S(e.Row(0)),
        S({ "<td nowrap BGCOLOR=\"#FFFF00\">x</td>",
            "<td nowrap><font color=\"#123456\"><B><I><U>y</U></I></B></font></td>" }));
    EXPECT_EQ(S(e.Row(1)), S({ "<td nowrap>p</td>", "<td nowrap><I>q</I></td>" }));
    // Every cell starts from the marker colours and no style, whatever the previous cell did.
    for (const auto& [row, sub, text, brush, font, style] : seen) {
        EXPECT_EQ(brush, HTMLExportColorMarker);
        EXPECT_EQ(font, HTMLExportColorMarker);
        EXPECT_EQ(style, 0);
    }
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(std::get<2>(seen[0]), "x");

    e.settings.SetSaveColor(false);
    e.settings.SetSaveFonts(false);
    EXPECT_EQ(S(e.Row(0)), S({ "<td nowrap>x</td>", "<td nowrap>y</td>" }));
}

TEST(HTMLExport, UrlAndMailAnchors)
{
    struct Case {
        const char* text;
        bool full;
        const char* cell;
    } cases[] = {
        { "http://www.example.com/x", false, "<A HREF=http://www.example.com/x>www.example.com/x</A>" },
        { "http://www.example.com/x", true, "<A HREF=http://www.example.com/x>http://www.example.com/x</A>" },
        { "mailto:joe@example.com", false, "<A HREF=mailto:joe@example.com>joe@example.com</A>" },
        { "see http://a.b/?q=1&r=\"2\"", false,
            "<A HREF=see%20http://a.b/?q&#61;1&amp;r&#61;&quot;2&quot;>a.b/?q=1&amp;r=&quot;2&quot;</A>" },
        { "<b>http://x.y</b>", false, "<b>http://x.y</b>" },
        { "javascript://%0aalert(1)", false, "javascript://%0aalert(1)" },
        { "plain", false, "plain" },
        { "http://x.y/", false, "<A HREF=http://x.y&#47;>x.y/</A>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Export e;
        e.model.Reset({ "A", "B" }, { { "r", QString::fromUtf8(c.text) } });
        e.urlShow = true;
        e.urlFull = c.full;
        QString told;
        e.hook = [&](int, int sub, TBrush&, TFont&, const QString& text) {
            if (sub == 0)
                told = text;
        };
        EXPECT_EQ(e.Row(0)[1].toStdString(), "<td nowrap>" + std::string(c.cell) + "</td>");
        if (!QString::fromUtf8(c.text).contains("</") && QString::fromUtf8(c.text).contains("://")) {
            EXPECT_TRUE(told.startsWith("<A HREF=" + QString::fromUtf8(c.text) + ">")) << told.toStdString();
        }
    }
    // Shortened visible text stops at 255 characters; without URLShow nothing is converted.
    Export e;
    const QString longUrl = "http://" + QString(300, u'a');
    e.model.Reset({ "A", "B" }, { { longUrl, "mailto:x@y.z" } });
    e.urlShow = true;
    EXPECT_TRUE(e.Row(0)[0].endsWith(">" + QString(255, u'a') + "</A></td>"));
    e.urlShow = false;
    EXPECT_EQ(S(e.Row(0)), S({ "<td nowrap>" + longUrl + "</td>", "<td nowrap>mailto:x@y.z</td>" }));
}

TEST(HTMLExport, PlainTextIsEscapedAndMarkupIsDefused)
{
    struct Case {
        const char* text;
        const char* cell;
    } cases[] = {
        { "a<b", "a&lt;b" },
        { "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf&#233; &#8364; &#128512;" },
        { "<b>\xC3\xA9</b>", "<b>&#233;</b>" },
        { "AT&T \"quoted\" >", "AT&amp;T &quot;quoted&quot; &gt;" },
        { "<b>bold</b> &amp; <FONT color=\"red\">red</FONT>",
            "<b>bold</b> &amp; <FONT color=\"red\">red</FONT>" },
        { "<b>x</b><script>alert(1)</script>y", "<b>x</b>y" },
        { "<B>x</B><SCRIPT type=text/javascript>alert(1)</sCrIpT >y", "<B>x</B>y" },
        { "<i>a</i><img src=x onerror=alert(1)>", "<i>a</i><img src=\"x\">" },
        { "<i>a</i><IMG SRC=\"pic.gif\" ONLOAD='x()' width=10>",
            "<i>a</i><IMG SRC=\"pic.gif\" width=\"10\">" },
        { "<a href=\"javascript:alert(1)\">go</a>", "<a>go</a>" },
        { "<a href=\" JaVa&#x09;ScRiPt&colon;alert(1)\">go</a>", "<a>go</a>" },
        { "<a href=\"&#106;avascript:x\">go</a>", "<a>go</a>" },
        { "<a href=\"http://ok.example/\">go</a>", "<a href=\"http://ok.example/\">go</a>" },
        { "<b>s</b><style>body{display:none}</style>", "<b>s</b>" },
        { "<b>f</b><iframe src=\"http://evil\"></iframe>after", "<b>f</b>after" },
        { "<b>o</b><object data=x><embed src=y></object>", "<b>o</b>" },
        { "<b>e</b><embed src=y>", "<b>e</b>" },
        { "<b>c</b><!-- <script>x</script> -->z", "<b>c</b>z" },
        { "<b>u</b><script>never closed", "<b>u</b>" },
        { "<b>t</b>1 < 2", "<b>t</b>1 &lt; 2" },
        { "<b>q</b><a href=\"x>y", "<b>q</b>&lt;a href=\"x>y" },
        { "<p style=\"width:expression(alert(1))\">s</p>", "<p>s</p>" },
        { "<svg/onload=alert(1)></svg>", "<svg></svg>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Export e;
        e.model.Reset({ "A", "B" }, { { "r", QString::fromUtf8(c.text) } });
        EXPECT_EQ(e.Row(0)[1].toStdString(), "<td nowrap>" + std::string(c.cell) + "</td>");
    }
    // Captions follow the same rules.
    Export e;
    e.model.Reset({ "a<b", "<i>x</i><script>y</script>" }, { { "r" } });
    e.settings.SetSaveColor(false);
    EXPECT_EQ(e.Lines()[2], "<td nowrap><B>a&lt;b</B></td>");
    EXPECT_EQ(e.Lines()[3], "<td nowrap><B><i>x</i></B></td>");
}

TEST(HTMLExport, RichTextCellsExportTheirPlainText)
{
    Export e;
    e.model.Reset({ "A", "B" }, { { "{\\rtf1 caption}", "{\\rtf1 sub}" } });
    e.rich = [](int row, int sub) { return QStringLiteral("plain %1/%2 <&>").arg(row).arg(sub); };
    EXPECT_EQ(S(e.Row(0)),
        S({ "<td nowrap>plain 0/-1 &lt;&amp;&gt;</td>", "<td nowrap>plain 0/0 &lt;&amp;&gt;</td>" }));
}

TEST(HTMLExport, EmptyListWritesNothingAndErrorsNameTheFile)
{
    TempFolder dir;
    Export e;
    e.model.Reset({ "A" }, {});
    SaveListToHTML(e.Context(), dir.Path("none.htm"));
    EXPECT_FALSE(QFileInfo::exists(dir.Path("none.htm")));

    e.model.AddRow({ "x" });
    const QString blocker = dir.Write("blocker", "x");
    try {
        SaveListToHTML(e.Context(), blocker + "/t.htm");
        ADD_FAILURE() << "no error";
    } catch (const EOrvListViewError& err) {
        EXPECT_EQ(err.Message(), "File " + blocker + "/t.htm not found");
    }
}

TEST(HTMLExport, HeaderAndFooterFilesAreCopiedByteForByte)
{
    // A header that declares its own character set keeps its bytes, so the page reads the way
    // it declares; the table and tags are plain ASCII and read the same under any set.
    Export e;
    e.model.Reset({ "A" }, { { QString::fromUtf8("Caf\u00e9") } });
    e.settings.SetSaveColor(false);
    e.settings.SetPrefixTag(QString::fromUtf8("<p title=\"Men\u00fc\">"));
    TempFolder dir;
    const QByteArray header
        = "<html><head><meta charset=\"windows-1252\"><title>Caf\xE9</title></head>\n<body>\n";
    const QByteArray footer = "</body>\r</html>\x1a\xFE";
    e.settings.SetHeaderFile(dir.Write("head.htm", header));
    e.settings.SetFooterFile(dir.Write("foot.htm", footer));
    SaveListToHTML(e.Context(), dir.Path("t.htm"));
    EXPECT_EQ(ReadBytes(dir.Path("t.htm")),
        header
            + "<p title=\"Men&#252;\">\r\n"
              "<table border=\"1\" cellspacing=\"0\" width=\"100%\">\r\n"
              "<tr>\r\n<td nowrap><B>A</B></td>\r\n</tr>\r\n"
              "<tr>\r\n<td nowrap>Caf&#233;</td>\r\n</tr>\r\n"
              "</table><p>\r\n"
            + footer + "\r\n"); // a last line without its end gets one
    // A header or footer file that is empty adds nothing.
    e.settings.SetHeaderFile(dir.Write("empty.htm", ""));
    e.settings.SetFooterFile(dir.Path("empty.htm"));
    SaveListToHTML(e.Context(), dir.Path("u.htm"));
    EXPECT_TRUE(ReadBytes(dir.Path("u.htm")).startsWith("<p title"));
    EXPECT_TRUE(ReadBytes(dir.Path("u.htm")).endsWith("</table><p>\r\n"));
}

TEST(HTMLExport, SavingOntoAFolderSaysSo)
{
    Export e;
    e.model.Reset({ "A" }, { { "x" } });
    TempFolder dir;
    const QString folder = dir.Path("sub");
    ASSERT_TRUE(QDir().mkdir(folder));
    try {
        SaveListToHTML(e.Context(), folder);
        ADD_FAILURE() << "no error";
    } catch (const EOrvListViewError& err) {
        EXPECT_EQ(err.Message(), "Cannot create file " + folder + ": it is a folder");
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(HTMLSettings, DefaultsAndStoredProperties)
{
    THTMLSettings s;
    EXPECT_EQ(s.BorderSize(), 1);
    EXPECT_EQ(s.CellSpacing(), 0);
    EXPECT_TRUE(s.SaveColor());
    EXPECT_TRUE(s.SaveFonts());
    EXPECT_EQ(s.Width(), 100);
    EXPECT_TRUE(s.PrefixTag().isEmpty() && s.SuffixTag().isEmpty() && s.HeaderFile().isEmpty()
        && s.FooterFile().isEmpty() && s.TableStyle().isEmpty());
    auto names = [](const THTMLSettings& settings) {
        QStringList list;
        for (const auto& [name, value] : settings.StoredProperties())
            list << name;
        return list;
    };
    EXPECT_EQ(S(names(s)), S({ "Width" }));
    s.SetSaveFonts(false);
    s.SetBorderSize(2);
    s.SetSuffixTag("</font>");
    EXPECT_EQ(S(names(s)), S({ "BorderSize", "SaveFonts", "SuffixTag", "Width" }));
    THTMLSettings copy;
    copy.Assign(s);
    EXPECT_EQ(copy.BorderSize(), 2);
    EXPECT_EQ(copy.SuffixTag(), "</font>");
}

TEST(HTMLExport, RendersInHeadlessChromium)
{
    QString chromium;
    for (const char* name : { "chromium", "chromium-browser", "google-chrome" })
        if (orvtest::HaveProgram(name))
            chromium = name;
    if (chromium.isEmpty())
        GTEST_SKIP() << "no Chromium on this machine";
    Export e;
    e.model.Reset({ "Car", "Web" },
        { { "AT&T <1>", "http://www.example.com/" },
            { "<b>bold</b><script>document.title='x'</script>", "" } });
    e.urlShow = true;
    e.hook = [](int row, int sub, TBrush& brush, TFont&, const QString&) {
        if (row == 0 && sub == -1)
            brush.SetColor(RGBColor(255, 255, 0));
    };
    TempFolder dir;
    SaveListToHTML(e.Context(), dir.Path("c.htm"));
    const QString dom = QString::fromUtf8(orvtest::RunProgram(chromium,
        { "--headless", "--no-sandbox", "--disable-gpu", "--dump-dom", "file://" + dir.Path("c.htm") }));
    EXPECT_TRUE(dom.contains("AT&amp;T &lt;1&gt;"));
    EXPECT_TRUE(dom.contains("bgcolor=\"#FFFF00\"", Qt::CaseInsensitive));
    EXPECT_TRUE(dom.contains("href=\"http://www.example.com/\"", Qt::CaseInsensitive));
    EXPECT_TRUE(dom.contains("<b>bold</b>"));
    EXPECT_FALSE(dom.contains("script", Qt::CaseInsensitive));
}

TEST(HTMLExport, NoCellChangesThePageStructureInChromium)
{
    // Cells that open raw-text elements, close the table or leave elements open: a browser
    // must still see one table with every row and every cell.
    QString chromium;
    for (const char* name : { "chromium", "chromium-browser", "google-chrome" })
        if (orvtest::HaveProgram(name))
            chromium = name;
    if (chromium.isEmpty())
        GTEST_SKIP() << "no Chromium on this machine";
    const char* const breakers[]
        = { "<textarea>", "<xmp>", "<plaintext>", "<title>", "<noscript>", "<noembed>", "<noframes>",
              "<listing>", "</td></tr></table>", "<td>", "<tr><td>", "<table>", "<select>",
              "<a href=\"http://x/\">open", "<b><i>open", "<caption>", "<style>", "<a title=\"", "<!--" };
    Export e;
    e.model.Reset({ "Name", "Cell" }, {});
    int row = 0;
    for (const char* breaker : breakers)
        e.model.AddRow(
            { QStringLiteral("R%1").arg(row++), "<b>x</b>" + QString::fromUtf8(breaker) + "tail" });
    e.model.AddRow({ "LAST", "end" });
    e.settings.SetSaveColor(false);
    TempFolder dir;
    SaveListToHTML(e.Context(), dir.Path("s.htm"));
    const QString dom = QString::fromUtf8(orvtest::RunProgram(chromium,
        { "--headless", "--no-sandbox", "--disable-gpu", "--dump-dom", "file://" + dir.Path("s.htm") }));
    ASSERT_FALSE(dom.isEmpty());
    EXPECT_EQ(dom.count(QStringLiteral("<table")), 1);
    EXPECT_EQ(dom.count(QStringLiteral("<tr>")), row + 2);
    EXPECT_EQ(dom.count(QStringLiteral("<td")), 2 * (row + 2));
    for (int r = 0; r < row; ++r)
        EXPECT_TRUE(dom.contains(QStringLiteral("<td nowrap=\"\">R%1</td>").arg(r))) << r;
    EXPECT_TRUE(dom.contains(QStringLiteral("<td nowrap=\"\">LAST</td>")));
    EXPECT_TRUE(dom.contains(QStringLiteral("<td nowrap=\"\">end</td>")));
}

TEST(HTMLExport, RendersAsATableInAnHtmlEngine)
{
    // Qt's own HTML reader stands in for a browser: the page must come out as one table whose
    // cells show exactly the list's texts, with the hook's colours and styles.
    Export e;
    e.model.Reset({ "Car", "Web" },
        { { "AT&T <1>", "http://www.example.com/" },
            { QString::fromUtf8("Citroën"), "<b>bold</b><script>x()</script>" } });
    e.urlShow = true;
    e.hook = [](int row, int sub, TBrush& brush, TFont& font, const QString&) {
        if (row == 0 && sub == -1)
            brush.SetColor(RGBColor(255, 255, 0));
        if (row == 1 && sub == -1) {
            font.SetColor(clRed);
            font.SetStyle(fsItalic);
        }
    };
    TempFolder dir;
    SaveListToHTML(e.Context(), dir.Path("t.htm"));
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(ReadBytes(dir.Path("t.htm"))));
    QTextTable* table = nullptr;
    for (QTextFrame* frame : doc.rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable*>(frame)))
            break;
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rows(), 3);
    ASSERT_EQ(table->columns(), 2);
    auto text = [&](int r, int c) {
        QTextCursor first = table->cellAt(r, c).firstCursorPosition();
        first.setPosition(table->cellAt(r, c).lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return first.selectedText();
    };
    EXPECT_EQ(text(0, 0), "Car");
    EXPECT_EQ(text(1, 0), "AT&T <1>");
    EXPECT_EQ(text(1, 1), "www.example.com/");
    EXPECT_EQ(text(2, 0), QString::fromUtf8("Citroën"));
    EXPECT_EQ(text(2, 1), "bold");
    EXPECT_EQ(table->cellAt(1, 0).format().background().color(), QColor(255, 255, 0));
    const QTextCharFormat italic
        = table->cellAt(2, 0).firstCursorPosition().block().begin().fragment().charFormat();
    EXPECT_TRUE(italic.fontItalic());
    EXPECT_EQ(italic.foreground().color(), QColor(255, 0, 0));
    const QTextCharFormat link
        = table->cellAt(1, 1).firstCursorPosition().block().begin().fragment().charFormat();
    EXPECT_EQ(link.anchorHref(), "http://www.example.com/");
}
