#include "ExchangeTestUtil.h"
#include "platform/OrvExceptions.h"
#include "exchange/XMLExport.h"
#include "support/TestSupport.h"

#include <QXmlStreamReader>

using namespace exchangetest;

namespace {

// Records and their field (name, text) pairs as a real parser reads them.
struct Parsed {
    QString list;
    QList<QList<QPair<QString, QString>>> records;
    QString error;
};

Parsed Parse(const QByteArray& bytes)
{
    Parsed result;
    QXmlStreamReader xml(bytes);
    int depth = 0;
    QString field;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 1)
                result.list = xml.name().toString();
            else if (depth == 2)
                result.records.append(QList<QPair<QString, QString>>());
            else if (depth == 3) {
                const QString name = xml.name().toString();
                result.records.last().append({ name, xml.readElementText() });
                --depth; // reading the text consumed the end element
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    if (xml.hasError())
        result.error = xml.errorString();
    return result;
}

} // namespace

TEST(XMLExport, WritesTheStatedLines)
{
    TModel m({ "Car", "Type" }, { { "BMW", "320i" } });
    TempFolder dir;
    SaveListToXML(m.columns, m.items, dir.Path("t.xml"), "CARLIST", "CAR", { "Car", "Type" });
    EXPECT_EQ(ReadBytes(dir.Path("t.xml")),
        QByteArray("<?xml version=\"1.0\"?>\r\n"
                   "<CARLIST>\r\n"
                   "<CAR>\r\n"
                   "<Car>BMW</Car>\r\n"
                   "<Type>320i</Type>\r\n"
                   "</CAR>\r\n"
                   "</CARLIST>\r\n"));
}

TEST(XMLExport, MissingNamesAndShortRows)
{
    TModel m({ "a", "b", "c", "d" }, { { "x", "y" }, { "p", "q", "r", "s", "extra" } });
    TempFolder dir;
    SaveListToXML(m.columns, m.items, dir.Path("t.xml"), "L", "R", { "N0", "N1" });
    EXPECT_EQ(ReadBytes(dir.Path("t.xml")),
        QByteArray("<?xml version=\"1.0\"?>\r\n<L>\r\n"
                   "<R>\r\n<N0>x</N0>\r\n<N1>y</N1>\r\n<FIELD2></FIELD2>\r\n<FIELD3></FIELD3>\r\n</R>\r\n"
                   "<R>\r\n<N0>p</N0>\r\n<N1>q</N1>\r\n<FIELD2>r</FIELD2>\r\n<FIELD3>s</FIELD3>\r\n</R>\r\n"
                   "</L>\r\n"));
}

TEST(XMLExport, EmptyListsAndNoColumns)
{
    TempFolder dir;
    TModel noRows({ "A" }, {});
    SaveListToXML(noRows.columns, noRows.items, dir.Path("e.xml"), "LIST", "ROW", {});
    EXPECT_EQ(ReadBytes(dir.Path("e.xml")), QByteArray("<?xml version=\"1.0\"?>\r\n<LIST>\r\n</LIST>\r\n"));
    TModel noColumns;
    noColumns.AddRow({ "x" });
    SaveListToXML(noColumns.columns, noColumns.items, dir.Path("c.xml"), "LIST", "ROW", {});
    EXPECT_EQ(ReadBytes(dir.Path("c.xml")),
        QByteArray("<?xml version=\"1.0\"?>\r\n<LIST>\r\n<ROW>\r\n</ROW>\r\n</LIST>\r\n"));
}

TEST(XMLExport, CannotCreateFile)
{
    TModel m({ "A" }, { { "x" } });
    TempFolder dir;
    const QString blocker = dir.Write("blocker", "x");
    try {
        SaveListToXML(m.columns, m.items, blocker + "/t.xml", "L", "R", {});
        FAIL() << "no error";
    } catch (const EOrvListViewError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + blocker + "/t.xml");
    }
}

// Texts that break a naive writer: a parser must read back exactly what the cells hold.
const QStringList kHardTexts = {
    "<b>bold</b>",
    "AT&T",
    "a < b > c",
    "&amp; already",
    "line one\r\nline two",
    "lf\nonly",
    "cr\ronly",
    "tab\there",
    "\"quotes\" and 'apostrophes'",
    QString::fromUtf8("€ café 日本 😀"),
    "]]> end",
    "",
};

TEST(XMLExport, ParserReadsBackExactTexts)
{
    TModel m({ "A", "B" }, {});
    for (const QString& text : kHardTexts)
        m.AddRow({ text, "#" + text });
    TempFolder dir;
    SaveListToXML(m.columns, m.items, dir.Path("t.xml"), "LIST", "ROW", { "First", "Second" });
    const Parsed parsed = Parse(ReadBytes(dir.Path("t.xml")));
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.list, "LIST");
    ASSERT_EQ(parsed.records.size(), kHardTexts.size());
    for (int r = 0; r < kHardTexts.size(); ++r) {
        SCOPED_TRACE(kHardTexts[r].toStdString());
        ASSERT_EQ(parsed.records[r].size(), 2);
        EXPECT_EQ(parsed.records[r][0].first, "First");
        EXPECT_EQ(parsed.records[r][0].second.toStdString(), kHardTexts[r].toStdString());
        EXPECT_EQ(parsed.records[r][1].second.toStdString(), ("#" + kHardTexts[r]).toStdString());
    }
}

TEST(XMLExport, ControlCharactersNeverBreakTheDocument)
{
    // XML cannot carry most control characters at all; they are left out rather than making
    // the whole document unreadable.
    TModel m({ "A" },
        { { QString("a") + QChar(1) + "b" + QChar(0x1F) + "c" + QChar(0xFFFF) + QChar(0xD800) + "d" } });
    TempFolder dir;
    SaveListToXML(m.columns, m.items, dir.Path("t.xml"), "L", "R", {});
    const Parsed parsed = Parse(ReadBytes(dir.Path("t.xml")));
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.records[0][0].second, "abcd");
    EXPECT_EQ(parsed.records[0][0].first, "FIELD0");
}

TEST(XMLExport, PythonElementTreeReadsBackExactTexts)
{
    if (!orvtest::HaveProgram("python3"))
        GTEST_SKIP() << "no python3";
    TModel m({ "A" }, {});
    for (const QString& text : kHardTexts)
        m.AddRow({ text });
    TempFolder dir;
    SaveListToXML(m.columns, m.items, dir.Path("t.xml"), "LIST", "ROW", { "Text" });
    // Each field text is printed as its code points, so that line ends survive the pipe.
    const QString script = "import sys, xml.etree.ElementTree as ET\n"
                           "for row in ET.parse(sys.argv[1]).getroot():\n"
                           "    print(' '.join(str(ord(ch)) for ch in (row.find('Text').text or '')))\n";
    int exitCode = -1;
    const QString out
        = QString::fromUtf8(orvtest::RunProgram("python3", { "-c", script, dir.Path("t.xml") }, &exitCode));
    ASSERT_EQ(exitCode, 0);
    const QStringList lines = out.split('\n');
    ASSERT_GE(lines.size(), kHardTexts.size());
    for (int r = 0; r < kHardTexts.size(); ++r) {
        QStringList codes;
        for (char32_t ch : kHardTexts[r].toUcs4())
            codes << QString::number(ch);
        EXPECT_EQ(lines[r].trimmed().toStdString(), codes.join(' ').toStdString())
            << kHardTexts[r].toStdString();
    }
}
