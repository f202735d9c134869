// Late-bound automation: variants, member dispatch by name, the server registry and the
// built-in servers' object models (without files; those are in AutomationOfficeFilesTest).
#include "platform/TAutomation.h"
#include "platform/office/TExcelServer.h"
#include "support/TRecordingDispatch.h"
#include "platform/office/TWordDocument.h"

#include <gtest/gtest.h>

namespace {

// Restores whatever was registered under a class name when the test ends.
class ServerOverride {
public:
    ServerOverride(const QString& name, TAutomationFactory factory)
        : m_name(name)
        , m_previous(RegisterAutomationServer(name, std::move(factory)))
    { }
    ~ServerOverride() { RegisterAutomationServer(m_name, m_previous); }

private:
    QString m_name;
    TAutomationFactory m_previous;
};

// A small object with one method taking (a, b) and a read/write property.
class Sample : public TDispatchTable {
public:
    QString lastArgs;
    int property = 7;
    Sample()
    {
        AddMember(QStringLiteral("Join"), Access::Call, { QStringLiteral("First"), QStringLiteral("Second") },
            [this](TInvokeKind, const TAutomationArgs& args) {
                lastArgs
                    = args.Required(0).ToString() + QLatin1Char('|') + args.Optional(1, "none").ToString();
                return TVariant(lastArgs);
            });
        AddMember(QStringLiteral("Level"), Access::GetPut, {},
            [this](TInvokeKind kind, const TAutomationArgs& args) {
                if (kind == TInvokeKind::PropertyPut)
                    property = args.Required(0).ToInt();
                return TVariant(property);
            });
        AddMember(QStringLiteral("Bump"), Access::Call, { QStringLiteral("Counter") },
            [](TInvokeKind, const TAutomationArgs& args) {
                auto target = args.Required(0).RefTarget();
                if (target)
                    *target = TVariant(target->ToInt() + 1);
                return TVariant();
            });
    }
};

} // namespace

TEST(AutomationVariant, ConvertsLikeAutomationAndRefusesMismatches)
{
    EXPECT_EQ(TVariant(QStringLiteral(" 42 ")).ToInt(), 42);
    EXPECT_EQ(TVariant(2.5).ToInt(), 2); // banker's rounding to even
    EXPECT_EQ(TVariant(3.5).ToInt(), 4);
    EXPECT_EQ(TVariant(true).ToInt(), -1);
    EXPECT_EQ(TVariant(12).ToString(), QStringLiteral("12"));
    EXPECT_EQ(TVariant().ToString(), QString());
    EXPECT_TRUE(TVariant(QStringLiteral("TRUE")).ToBool());
    EXPECT_THROW(TVariant(QStringLiteral("abc")).ToInt(), EAutomationError);
    EXPECT_THROW(TVariant(1e12).ToInt(), EAutomationError);
    EXPECT_THROW(TVariant(5).ToObject(), EAutomationError);

    auto cell = std::make_shared<TVariant>(QStringLiteral("x"));
    const TVariant ref = TVariant::Ref(cell);
    EXPECT_TRUE(ref.IsByRef());
    EXPECT_EQ(ref.ValueType(), TVariant::Type::String);
    *cell = TVariant(5);
    EXPECT_EQ(ref.ToInt(), 5) << "a reference sees later changes of its target";
}

TEST(AutomationVariant, ArrayKeepsItsIndexRanges)
{
    TVariantArray a(0, 1, 3, 5);
    EXPECT_EQ(a.Count(1), 2);
    EXPECT_EQ(a.Count(2), 3);
    a.At(1, 5) = TVariant(QStringLiteral("last"));
    a.At(0, 3) = TVariant(QStringLiteral("first"));
    EXPECT_EQ(a.At(1, 5).ToString(), QStringLiteral("last"));
    EXPECT_EQ(a.At(0, 3).ToString(), QStringLiteral("first"));
    EXPECT_TRUE(a.At(0, 4).IsEmpty());
    EXPECT_THROW(a.At(2, 3), EAutomationError);
    EXPECT_THROW(a.At(0, 2), EAutomationError);
    TVariantArray empty(0, -1, 0, 4);
    EXPECT_EQ(empty.Count(1), 0);
    EXPECT_THROW(empty.At(0, 0), EAutomationError);
}

TEST(AutomationDispatch, ResolvesMembersAndNamedArgumentsIgnoringCase)
{
    auto sample = std::make_shared<Sample>();
    const TVariant obj { std::shared_ptr<TDispatchObject>(sample) };
    EXPECT_EQ(obj.Call(QStringLiteral("JOIN"), { "a", "b" }).ToString(), QStringLiteral("a|b"));
    EXPECT_EQ(obj.Call(QStringLiteral("join"), {},
                     { { QStringLiteral("SECOND"), "y" }, { QStringLiteral("first"), "x" } })
                  .ToString(),
        QStringLiteral("x|y"));
    EXPECT_EQ(obj.Call(QStringLiteral("Join"), { "p" }).ToString(), QStringLiteral("p|none"));
    obj.Put(QStringLiteral("level"), 11);
    EXPECT_EQ(obj.Get(QStringLiteral("LEVEL")).ToInt(), 11);

    try {
        obj.Call(QStringLiteral("Frobnicate"));
        FAIL() << "an unknown member must raise";
    } catch (const EAutomationError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Unknown name"))) << e.what();
    }
    EXPECT_THROW(obj.Call(QStringLiteral("Join")), EAutomationError) << "missing required argument";
    EXPECT_THROW(obj.Call(QStringLiteral("Join"), {}, { { QStringLiteral("third"), 1 } }), EAutomationError);
    EXPECT_THROW(
        obj.Call(QStringLiteral("Join"), { "a" }, { { QStringLiteral("first"), "b" } }), EAutomationError)
        << "the same parameter given twice";
    EXPECT_THROW(obj.Call(QStringLiteral("Join"), { "a", "b", "c" }), EAutomationError);
    EXPECT_THROW(obj.Put(QStringLiteral("Join"), 1), EAutomationError) << "a method is not a property";

    auto counter = std::make_shared<TVariant>(41);
    obj.Call(QStringLiteral("Bump"), { TVariant::Ref(counter) });
    EXPECT_EQ(counter->ToInt(), 42) << "by-reference arguments are written through";
}

TEST(AutomationRegistry, CreatesByCaseInsensitiveNameAndReportsMissingServers)
{
    auto journal = std::make_shared<TRecordingDispatch::Journal>();
    {
        ServerOverride over(
            QStringLiteral("Test.Recorder"), TRecordingDispatch::Factory("test.recorder", journal));
        const TVariant obj = CreateOleObject(QStringLiteral("TEST.RECORDER"));
        obj.Get(QStringLiteral("Things"))
            .Call(QStringLiteral("Add"), { 1 }, { { QStringLiteral("name"), "x" } });
        ASSERT_EQ(journal->size(), 2u);
        EXPECT_EQ(TRecordingDispatch::Describe(*journal),
            QStringList({ QStringLiteral("get test.recorder.Things()"),
                QStringLiteral("call test.recorder.Things.Add(1, name:=\"x\")") }));
    }
    EXPECT_THROW(CreateOleObject(QStringLiteral("test.recorder")), EOleServerNotFound)
        << "override was removed";
    EXPECT_THROW(CreateOleObject(QStringLiteral("no.such.application")), EOleServerNotFound);

    // The office servers are present in any program without registration.
    EXPECT_EQ(CreateOleObject(QStringLiteral("Excel.Application")).Get(QStringLiteral("Name")).ToString(),
        QStringLiteral("Microsoft Excel"));
    EXPECT_EQ(CreateOleObject(QStringLiteral("word.application")).Get(QStringLiteral("Name")).ToString(),
        QStringLiteral("Microsoft Word"));
}

TEST(ExcelServer, ParsesA1References)
{
    struct Row {
        const char* text;
        bool ok;
        TExcelServer::CellBlock block;
    };
    const Row rows[] = {
        { "A1", true, { 0, 0, 0, 0 } },
        { "a1:c2", true, { 0, 0, 1, 2 } },
        { "$B$3", true, { 2, 1, 2, 1 } },
        { "C2:A1", true, { 0, 0, 1, 2 } },
        { "AA10", true, { 9, 26, 9, 26 } },
        { "AZ1", true, { 0, 51, 0, 51 } },
        { "XFD1048576", true, { 1048575, 16383, 1048575, 16383 } },
        { "XFE1", false, {} },
        { "A0", false, {} },
        { "A1048577", false, {} },
        { "1A", false, {} },
        { "A1:", false, {} },
        { "", false, {} },
    };
    for (const Row& row : rows) {
        TExcelServer::CellBlock block;
        const bool ok = TExcelServer::ParseReference(QString::fromLatin1(row.text), block);
        EXPECT_EQ(ok, row.ok) << row.text;
        if (ok && row.ok) {
            EXPECT_EQ(block.top, row.block.top) << row.text;
            EXPECT_EQ(block.left, row.block.left) << row.text;
            EXPECT_EQ(block.bottom, row.block.bottom) << row.text;
            EXPECT_EQ(block.right, row.block.right) << row.text;
        }
    }
}

TEST(ExcelServer, RangeValueTakesArraysScalarsAndPadsWithNotAvailable)
{
    const TVariant app = CreateOleObject(QStringLiteral("excel.application"));
    const TVariant book = app.Get(QStringLiteral("Workbooks")).Call(QStringLiteral("Add"));
    const TVariant sheet = book.Get(QStringLiteral("Worksheets")).Call(QStringLiteral("Add"));
    EXPECT_EQ(sheet.Get(QStringLiteral("Name")).ToString(), QStringLiteral("Sheet2"));
    EXPECT_EQ(book.Get(QStringLiteral("Worksheets")).Get(QStringLiteral("Count")).ToInt(), 2);

    auto values = std::make_shared<TVariantArray>(0, 1, 0, 1);
    values->At(0, 0) = "a";
    values->At(0, 1) = 5;
    values->At(1, 0) = TVariant();
    values->At(1, 1) = "d";
    // The range is one column wider than the array: the extra column shows #N/A.
    sheet.Get(QStringLiteral("Range"), { "B2:D3" }).Put(QStringLiteral("Value"), TVariant(values));
    const auto read = sheet.Get(QStringLiteral("Range"), { "A1:D3" }).Get(QStringLiteral("Value")).ToArray();
    ASSERT_EQ(read->LowBound(1), 1);
    const QStringList expected[] = { { "", "", "", "" }, { "", "a", "5", "#N/A" }, { "", "", "d", "#N/A" } };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(read->At(r + 1, c + 1).ToString(), expected[r][c]) << r << "," << c;

    sheet.Get(QStringLiteral("Range"), { "A1:A2" }).Put(QStringLiteral("Value"), "same");
    EXPECT_EQ(sheet.Get(QStringLiteral("Cells"), { 2, 1 }).Get(QStringLiteral("Value")).ToString(),
        QStringLiteral("same"));
    EXPECT_THROW(sheet.Get(QStringLiteral("Range"), { "not a range" }), EAutomationError);
    EXPECT_THROW(
        sheet.Get(QStringLiteral("Range"), { "A1" }).Put(QStringLiteral("Value"), QString(40000, u'x')),
        EAutomationError)
        << "a cell holds at most 32,767 characters";
    EXPECT_THROW(sheet.Get(QStringLiteral("Range"), { "A1:XFD1048576" }).Put(QStringLiteral("Value"), "x"),
        EAutomationError)
        << "a whole-sheet put is refused rather than exhausting memory";
    EXPECT_THROW(sheet.Put(QStringLiteral("Name"), "a/b"), EAutomationError);
    sheet.Put(QStringLiteral("Name"), "Cars");
    EXPECT_EQ(book.Get(QStringLiteral("Sheets"))
                  .Get(QStringLiteral("Item"), { "cars" })
                  .Get(QStringLiteral("Name"))
                  .ToString(),
        QStringLiteral("Cars"));
    app.Call(QStringLiteral("Quit"));
    EXPECT_THROW(app.Get(QStringLiteral("Workbooks")), EAutomationError);
}

TEST(WordServer, TablesCellsAndAlignmentThroughTheObjectModel)
{
    const TVariant app = CreateOleObject(QStringLiteral("word.application"));
    const TVariant doc = app.Get(QStringLiteral("Documents")).Call(QStringLiteral("Add"));
    const TVariant range = doc.Call(QStringLiteral("Range"), {}, { { "start", 0 }, { "end", 0 } });
    const TVariant table = doc.Get(QStringLiteral("Tables"))
                               .Call(QStringLiteral("Add"), { TVariant::MakeRef(range) },
                                   { { "numrows", 2 }, { "numcolumns", 3 } });
    EXPECT_EQ(doc.Get(QStringLiteral("Tables")).Get(QStringLiteral("Count")).ToInt(), 1);
    const TVariant cell = table.Call(QStringLiteral("Cell"), {}, { { "row", 2 }, { "column", 3 } });
    cell.Get(QStringLiteral("Range")).Call(QStringLiteral("InsertAfter"), { "ab" });
    cell.Get(QStringLiteral("Range")).Call(QStringLiteral("InsertAfter"), { "c" });
    cell.Get(QStringLiteral("Range"))
        .Get(QStringLiteral("ParagraphFormat"))
        .Put(QStringLiteral("Alignment"), 2);
    EXPECT_EQ(
        cell.Get(QStringLiteral("Range")).Get(QStringLiteral("Text")).ToString(), QStringLiteral("abc\r\a"));
    EXPECT_EQ(cell.Get(QStringLiteral("Range"))
                  .Get(QStringLiteral("ParagraphFormat"))
                  .Get(QStringLiteral("Alignment"))
                  .ToInt(),
        2);
    EXPECT_EQ(cell.Get(QStringLiteral("ColumnIndex")).ToInt(), 3);
    EXPECT_THROW(table.Call(QStringLiteral("Cell"), {}, { { "row", 3 }, { "column", 1 } }), EAutomationError);
    EXPECT_THROW(cell.Get(QStringLiteral("Range"))
                     .Get(QStringLiteral("ParagraphFormat"))
                     .Put(QStringLiteral("Alignment"), 9),
        EAutomationError);
    EXPECT_THROW(doc.Get(QStringLiteral("Tables"))
                     .Call(QStringLiteral("Add"), { range }, { { "numrows", 0 }, { "numcolumns", 1 } }),
        EAutomationError);
    EXPECT_THROW(doc.Get(QStringLiteral("Tables"))
                     .Call(QStringLiteral("Add"), { range }, { { "numrows", 1 }, { "numcolumns", 64 } }),
        EAutomationError)
        << "the word processor's table limit is 63 columns";
    EXPECT_THROW(doc.Call(QStringLiteral("Range"), {}, { { "start", 5 }, { "end", 1 } }), EAutomationError);
}

TEST(WordDocument, PositionsSpanParagraphsAndTables)
{
    TWordDocument doc;
    EXPECT_EQ(doc.Length(), 1) << "a new document is one paragraph mark";
    doc.InsertText(0, QStringLiteral("Hello world"));
    // A table inserted mid-paragraph splits it: "Hello " above, "world" below.
    auto table = doc.InsertTable(6, 1, 2);
    ASSERT_EQ(doc.Blocks().size(), 3u);
    EXPECT_EQ(doc.Blocks()[0].paragraph.text, QStringLiteral("Hello "));
    EXPECT_EQ(doc.Blocks()[2].paragraph.text, QStringLiteral("world"));
    table->Cell(0, 1).text = QStringLiteral("x");
    // "Hello \r" = 7, cells "\a" + "x\a" + row mark = 4, then "world\r".
    EXPECT_EQ(doc.Length(), 7 + 4 + 6);
    EXPECT_EQ(doc.Text(0, doc.Length()), QStringLiteral("Hello \r\ax\a\aworld\r"));
    doc.InsertText(9, QStringLiteral("y")); // position 9 is just after "x"
    EXPECT_EQ(table->Cell(0, 1).text, QStringLiteral("xy"));
    doc.SetAlignment(12, 12, waCenter);
    EXPECT_EQ(doc.Blocks()[2].paragraph.alignment, int(waCenter));
    EXPECT_EQ(doc.Blocks()[0].paragraph.alignment, int(waLeft));
    doc.InsertText(doc.Length() - 1, QStringLiteral("\rnext"));
    EXPECT_EQ(doc.Blocks().back().paragraph.text, QStringLiteral("next"));
}

TEST(WordDocument, RtfTextEscapesAndKeepsEveryCharacter)
{
    EXPECT_EQ(TWordDocument::RtfText(QStringLiteral("a\\b{c}")), QStringLiteral("a\\\\b\\{c\\}"));
    EXPECT_EQ(
        TWordDocument::RtfText(QStringLiteral("\u00e9\u20ac")), QStringLiteral("\\u233\\'3f\\u8364\\'3f"));
    EXPECT_EQ(TWordDocument::RtfText(QStringLiteral("\uffe0")), QStringLiteral("\\u-32\\'3f"))
        << "signed 16-bit";
    EXPECT_EQ(TWordDocument::RtfText(QStringLiteral("1\r\n2\n3\t4\x01")),
        QStringLiteral("1\\par 2\\line 3\\tab 4"));
}
