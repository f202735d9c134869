#include "ExchangeTestUtil.h"
#include "exchange/CsvFiles.h"
#include "platform/OrvExceptions.h"
#include "support/LimitedChild.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QFileInfo>
#include <malloc.h>
#include <memory>
#include <random>

using namespace exchangetest;

namespace {

struct LoadResult {
    TModel model;
    QChar delimiter;
};

// Loads `bytes` into `model` and returns the delimiter after the load.
QChar Load(TModel& model, const QByteArray& bytes, bool header, QChar delimiter = QChar())
{
    TempFolder dir;
    const QString path = dir.Write("in.csv", bytes);
    LoadListFromCSV(model.columns, model.items, delimiter, header, path);
    return delimiter;
}

} // namespace

TEST(CsvSearch, SinglePositionAndCount)
{
    struct Case {
        const char* s;
        int position;
        int count;
    } cases[] = {
        { "", 0, 0 },
        { "abc", 0, 0 },
        { "a,b", 2, 1 },
        { ",", 1, 1 },
        { ",,", 2, 1 },
        { "a,,b", 0, 0 },
        { "a,,", 3, 1 },
        { ",a,,", 1, 2 },
        { "a,b,c,d", 2, 3 },
        { "a,,b,c", 5, 1 },
        { ",,,", 3, 1 },
        { "a;b,c", 4, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.s);
        EXPECT_EQ(CsvSinglePosition(u',', QString::fromUtf8(c.s)), c.position);
        EXPECT_EQ(CsvSingleCount(u',', QString::fromUtf8(c.s)), c.count);
    }
}

TEST(CsvSave, WritesHeaderAndRowsWithCrLf)
{
    TModel m({ "A", "B", "C" }, { { "x", "y", "z" } });
    TempFolder dir;
    SaveListToCSV(m.columns, m.items, QChar(), true, dir.Path("out.csv"));
    EXPECT_EQ(ReadBytes(dir.Path("out.csv")), QByteArray("A,B,C\r\nx,y,z\r\n"));

    SaveListToCSV(m.columns, m.items, u';', false, dir.Path("out.csv"));
    EXPECT_EQ(ReadBytes(dir.Path("out.csv")), QByteArray("x;y;z\r\n"));
}

TEST(CsvSave, ShortRowsAndOneExtraSubItem)
{
    // Two columns: a row with no sub-items writes one field; a row with three sub-items writes
    // up to column-count sub-items (two), never quoting anything.
    TModel m({ "A", "B" }, { { "only" }, { "r", "s1", "s2", "s3" }, { "q\"uo,te", "1,5" } });
    TempFolder dir;
    SaveListToCSV(m.columns, m.items, QChar(), false, dir.Path("out.csv"));
    EXPECT_EQ(ReadBytes(dir.Path("out.csv")), QByteArray("only\r\nr,s1,s2\r\nq\"uo,te,1,5\r\n"));
}

TEST(CsvSave, EmptyModelLeavesExistingFileUntouched)
{
    TempFolder dir;
    const QString path = dir.Write("keep.csv", "old contents");
    TModel noRows({ "A" }, {});
    SaveListToCSV(noRows.columns, noRows.items, QChar(), true, path);
    TModel noColumns;
    noColumns.AddRow({ "x" });
    SaveListToCSV(noColumns.columns, noColumns.items, QChar(), true, path);
    EXPECT_EQ(ReadBytes(path), QByteArray("old contents"));
    SaveListToCSV(noRows.columns, noRows.items, QChar(), true, dir.Path("absent.csv"));
    EXPECT_FALSE(QFileInfo::exists(dir.Path("absent.csv")));
}

TEST(CsvSave, FailuresKeepTheOldFile)
{
    TempFolder dir;
    TModel m({ "A" }, { { "new" } });
    // A folder that is really a file cannot hold the target, whoever runs the test.
    const QString blocker = dir.Write("blocker", "x");
    try {
        SaveListToCSV(m.columns, m.items, QChar(), false, blocker + "/list.csv");
        ADD_FAILURE() << "no error";
    } catch (const EOrvListViewError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + blocker + "/list.csv");
    }

    const QString path = dir.Write("list.csv", "previous\r\n");
    TModel big({ "A" }, {});
    for (int r = 0; r < 20000; ++r)
        big.AddRow({ QString(50, u'x') });
    {
        TFileSizeLimit limit(64 * 1024); // writes past 64 KB fail
        try {
            SaveListToCSV(big.columns, big.items, QChar(), false, path);
            ADD_FAILURE() << "no error";
        } catch (const EOrvListViewError& e) {
            EXPECT_EQ(e.Message(), "Error writing file " + path);
        }
    }
    EXPECT_EQ(ReadBytes(path), QByteArray("previous\r\n"));
    QDir folder(dir.Path(""));
    EXPECT_EQ(folder.entryList(QDir::Files).size(), 2) << "a temporary file was left behind";
}

TEST(CsvSave, UnwritableFolderKeepsOldFile)
{
    TempFolder dir;
    const QString sub = dir.Path("ro");
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString path = sub + "/list.csv";
    WriteBytes(path, "previous\r\n");
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    TModel m({ "A" }, { { "new" } });
    bool raised = false;
    try {
        SaveListToCSV(m.columns, m.items, QChar(), false, path);
    } catch (const EOrvListViewError& e) {
        raised = true;
        EXPECT_EQ(e.Message(), "Cannot create file " + path);
    }
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!raised && ::geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind the super-user";
    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadBytes(path), QByteArray("previous\r\n"));
}

TEST(CsvLoad, MissingFileRaisesAndChangesNothing)
{
    TModel m({ "A" }, { { "x" } });
    QChar delimiter;
    try {
        LoadListFromCSV(m.columns, m.items, delimiter, true, "/nonexistent/dir/file.csv");
        FAIL() << "no error";
    } catch (const EOrvListViewError& e) {
        EXPECT_EQ(e.Message(), "File cannot be opened");
    }
    TempFolder dir;
    EXPECT_THROW(LoadListFromCSV(m.columns, m.items, delimiter, true, dir.Path("")), EOrvListViewError)
        << "a folder is not a file";
    EXPECT_EQ(m.items.Count(), 1);
    EXPECT_EQ(m.columns.Count(), 1);
    EXPECT_TRUE(delimiter.isNull());
}

TEST(CsvLoad, DelimiterDetection)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QChar expected; // QChar() = stays undetected
    } cases[] = {
        { "semicolons in both lines", "a;b;c\r\nd;e;f\r\n", u';' },
        { "one line only", "a;b;c\r\n", QChar() },
        { "empty file", "", QChar() },
        { "counts differ", "a,b,c\r\nd,e\r\n", QChar() },
        { "tie goes to the earlier candidate", "a,b|c\r\nd,e|f\r\n", u',' },
        { "higher count wins over order", "a,b|c|d\r\ne,f|g|h\r\n", u'|' },
        { "tab", "a\tb\r\nc\td\r\n", u'\t' },
        { "hash", "a#b\r\nc#d\r\n", u'#' },
        { "doubled delimiters are not counted", "a,,b;c\r\nd,,e;f\r\n", u';' },
        { "lone LF in a CR file does not end the line", "a;b\r\nc;d\ne;f\r\n", QChar() },
        { "LF-only lines", "a;b\nc;d\n", u';' },
        // Only when no candidate qualifies are all occurrences outside quotes counted.
        { "semicolons with empty fields", "a;;b\r\nc;;d\r\n", u';' },
        { "commas with empty fields, LF lines", "a,,b,\nc,,d,\n", u',' },
        { "quoted delimiters are not counted", "\"x;y\",,b\r\n\"p\",,q\r\n", u',' },
        { "all occurrences must match too", "a;;b\r\nc;;;d\r\n", QChar() },
        { "all-occurrence tie goes to the earlier candidate", "a,,b;;c\nd,,e;;f\n", u',' },
        { "all-occurrence higher count wins", "a,,b||||c\nd,,e||||f\n", u'|' },
        { "single counts win when they qualify", "a,b;;;;c\nd,e;;;;f\n", u',' },
        { "one line with empty fields", "a;;b\n", QChar() },
        { "second line empty", "a;;b\r\n\r\n", QChar() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TModel m;
        EXPECT_EQ(Load(m, c.bytes, false), c.expected);
    }
}

TEST(CsvLoad, DetectedDelimiterIsUsedByLaterSave)
{
    TModel m;
    QChar d = Load(m, "Name;Price;Stock\r\nx;1;2\r\n", true);
    ASSERT_EQ(d, u';');
    EXPECT_EQ(S(m.Captions()), S({ "Name", "Price", "Stock" }));
    TempFolder dir;
    SaveListToCSV(m.columns, m.items, d, true, dir.Path("o.csv"));
    EXPECT_EQ(ReadBytes(dir.Path("o.csv")), QByteArray("Name;Price;Stock\r\nx;1;2\r\n"));
}

TEST(CsvLoad, OneLineFileSplitsAtCommas)
{
    TModel m({ "A", "B", "C" }, {});
    EXPECT_TRUE(Load(m, "x;1,y;2,z\r\n", false).isNull());
    EXPECT_EQ(S(m.Row(0)), S({ "x;1", "y;2", "z" }));
}

TEST(CsvLoad, GivenDelimiterIsNotRedetected)
{
    TModel m;
    EXPECT_EQ(Load(m, "a;b\r\nc;d\r\n", false, u','), u',');
    EXPECT_EQ(S(m.Row(0)), S({ "a;b" }));
}

TEST(CsvLoad, DataLineSplitting)
{
    // Each line is loaded on its own into a list with enough columns.
    struct Case {
        const char* line;
        QStringList cells;
    } cases[] = {
        { "a,b,", { "a", "b" } },
        { "a,b,\"\"", { "a", "b", "" } },
        { "a,b,\"", { "a", "b", "" } },
        { "", { "" } },
        { "\"a,b\",c", { "a,b", "c" } },
        { "\"a \"\"b\"\" c\",x", { "a \"\"b\"\" c", "x" } },
        { "\"say \"\"hi\"\"\",x", { "say \"\"hi\"\"", "x" } },
        { "\"open,x,y", { "", "x", "y" } }, // unclosed quote: empty field, text to next delimiter dropped
        { "\"q\"", { "q" } },
        { "x,\"q\"", { "x", "q" } },
        { "x,\"q", { "x", "q" } },
        { "x,q\"", { "x", "q" } },
        { "\"a\"junk,b", { "a", "b" } },
        { ",,", { "", "" } },
        { "caf\xC3\xA9,\xE2\x82\xAC", { "café", "€" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TModel m({ "1", "2", "3", "4" }, {});
        Load(m, QByteArray(c.line) + "\r\n", false, u',');
        ASSERT_EQ(m.items.Count(), 1);
        EXPECT_EQ(S(m.Row(0)), S(c.cells));
        EXPECT_EQ(m.items[0].ImageIndex(), -1);
    }
}

TEST(CsvLoad, LineEndsAndCtrlZ)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList captions;
    } cases[] = {
        { "CR LF", "a\r\nb\r\n", { "a", "b" } },
        { "CR only", "a\rb\r", { "a", "b" } },
        { "no final line end", "a\r\nb", { "a", "b" } },
        { "empty line between", "a\r\n\r\nb\r\n", { "a", "", "b" } },
        { "LF LF after CR skips one", "a\r\n\nb\r\n", { "a", "\nb" } },
        { "Ctrl-Z ends the file",
            "a\r\nb\x1a"
            "c\r\nd\r\n",
            { "a", "b" } },
        { "BOM skipped",
            "\xEF\xBB\xBF"
            "a\r\n",
            { "a" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TModel m({ "A" }, {});
        Load(m, c.bytes, false, u',');
        QStringList captions;
        for (int r = 0; r < m.items.Count(); ++r)
            captions << m.items[r].Caption();
        EXPECT_EQ(S(captions), S(c.captions));
    }
}

TEST(CsvLoad, FirstLineFeedDecidesTheLineEnds)
{
    // A file whose first LF has no CR before it ends its lines at LF (and CR LF), except inside a
    // field opened by a double quote; any other file ends them at CR, where a lone LF is text.
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<QStringList> rows;
    } cases[] = {
        { "LF only", "a,b\nc,d\n", { { "a", "b" }, { "c", "d" } } },
        { "LF only, no final LF", "a,b\nc,d", { { "a", "b" }, { "c", "d" } } },
        { "empty line", "a\n\nb\n", { { "a" }, { "" }, { "b" } } },
        { "quoted LF stays in its cell", "\"x\ny\",z\nc,d\n", { { "x\ny", "z" }, { "c", "d" } } },
        { "quoted LF in the last field", "a,\"x\ny\"\nb\n", { { "a", "x\ny" }, { "b" } } },
        { "doubled quotes keep the field open", "\"1\"\"\nx\"\"2\",z\n", { { "1\"\"\nx\"\"2", "z" } } },
        { "quote inside an unquoted field opens nothing", "12\" pipe,x\ny,z\n",
            { { "12\" pipe", "x" }, { "y", "z" } } },
        { "CR LF ends lines too", "\"x\ny\",z\r\nc,d\r\n", { { "x\ny", "z" }, { "c", "d" } } },
        { "a later lone CR is text", "a\nb\rc\n", { { "a" }, { "b\rc" } } },
        { "unclosed quote runs to the end", "\"a\nb,c\nd\n", { { "", "c\nd\n" } } },
        { "Ctrl-Z still ends the data", "a\nb\x1a\nc\n", { { "a" }, { "b" } } },
        { "CR before the first LF: CR lines", "a\r\nb\nc\r\n", { { "a" }, { "b\nc" } } },
        { "lone LF in a CR file is text", "a\rb\nc,d\r", { { "a" }, { "b\nc", "d" } } },
        { "no LF at all", "a,b\rc\r", { { "a", "b" }, { "c" } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TModel m({ "1", "2", "3" }, {});
        Load(m, c.bytes, false, u',');
        ASSERT_EQ(size_t(m.items.Count()), c.rows.size());
        for (int r = 0; r < m.items.Count(); ++r)
            EXPECT_EQ(S(m.Row(r)), S(c.rows[size_t(r)])) << r;
    }
}

TEST(CsvLoad, FilesWrittenByOtherPrograms)
{
    // Written by Python's csv module and by LibreOffice Calc (see make_files.py beside them).
    struct Cell {
        int row; // -1 = caption
        int column;
        const char* text;
    };
    struct Case {
        const char* file;
        QChar delimiter;
        int rows;
        int columns;
        std::vector<Cell> cells;
    } cases[] = {
        { "survey_lf_python.csv", u',', 250, 4,
            { { -1, 0, "id" }, { -1, 3, "amount" }, { 0, 2, "Answer 0" }, { 1, 1, "Zürich" },
                { 3, 2, "Answer 3\nsecond line, with a comma" }, { 5, 2, "He said \"\"yes\"\"" },
                { 249, 0, "250" }, { 249, 3, "747.49" } } },
        { "cars_excel_python.csv", u',', 4, 4,
            { { -1, 2, "Notes" }, { 0, 2, "Estate, 5 doors" }, { 1, 1, "M3 \"\"CSL\"\"" },
                { 1, 2, "Limited run\nof 1,383 cars" }, { 2, 0, "Citroën" }, { 2, 2, "" },
                { 3, 2, "Café racer 12\"\" wheels" } } },
        { "cars_bom_python.csv", u',', 4, 4,
            { { -1, 0, "Make" }, { 1, 2, "Limited run\nof 1,383 cars" }, { 3, 0, "Škoda" } } },
        { "cars_cp1252_python.csv", u';', 5, 4,
            { { -1, 3, "Price" }, { 2, 0, "Citroën" }, { 4, 1, "Mégane" }, { 4, 2, "€ 19.990,–" },
                { 1, 2, "Limited run\nof 1,383 cars" } } },
        { "sheet_semicolon_libreoffice.csv", u';', 3, 6,
            { { -1, 1, "Street" }, { -1, 2, "" }, { -1, 5, "Notes" }, { 0, 3, "Utrecht" },
                { 1, 1, "Hauptstraße 5" }, { 1, 5, "Tor hinten\nklingeln; laut" }, { 2, 5, "Prix: 12 €" } } },
        { "sheet_cp1252_libreoffice.csv", u',', 3, 6,
            { { -1, 5, "Notes" }, { 0, 0, "Anna de Vries" }, { 1, 0, "Jürgen Müller" },
                { 2, 1, "Rue de l'Église 3, bât. B" }, { 2, 5, "Prix: 12 €" } } },
        { "wide_16000_python.csv", u',', 1, 16000,
            { { -1, 0, "c0" }, { -1, 15999, "c15999" }, { 0, 0, "0" }, { 0, 15999, "111993" } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TModel m({ "old" }, { { "old" } });
        QChar delimiter;
        LoadListFromCSV(
            m.columns, m.items, delimiter, true, QStringLiteral(ORV_TEST_DATA_DIR "/exchange/csv/") + c.file);
        EXPECT_EQ(delimiter, c.delimiter);
        EXPECT_EQ(m.items.Count(), c.rows);
        EXPECT_EQ(m.columns.Count(), c.columns);
        for (const Cell& cell : c.cells) {
            const QString expected = QString::fromUtf8(cell.text);
            if (cell.row < 0) {
                ASSERT_LT(cell.column, m.columns.Count());
                EXPECT_EQ(m.columns[cell.column].Caption(), expected) << cell.column;
            } else {
                ASSERT_LT(cell.row, m.items.Count());
                const QStringList row = m.Row(cell.row);
                EXPECT_EQ(row.value(cell.column), expected) << cell.row << "," << cell.column;
            }
        }
    }
}

TEST(CsvLoad, FieldsPerLineAreBounded)
{
    const int most = kMaxTextFields;
    auto line = [](int fields, const char* field) {
        QByteArrayList parts;
        for (int i = 0; i < fields; ++i)
            parts << field;
        return parts.join(',');
    };
    {
        // The most a line may hold loads, in either mode.
        TModel m;
        Load(m, line(most, "h") + "\r\n" + line(most, "d") + "\r\n", true, u',');
        EXPECT_EQ(m.columns.Count(), most);
        EXPECT_EQ(m.Row(0).size(), most);
        TModel plain({ "A" }, {});
        Load(plain, line(most, "d") + "\r\n", false, u',');
        EXPECT_EQ(plain.Row(0).size(), most);
    }
    struct Case {
        const char* name;
        QByteArray bytes;
        int badLine;
    } cases[] = {
        { "header line", line(most + 1, "h") + "\r\nx\r\n", 1 },
        { "data line", "a,b\r\n" + line(most, "x") + "\r\n" + line(most + 1, "x") + "\r\n", 3 },
        { "quoted fields", "a\n" + line(most + 1, "\"q\""), 2 },
        { "detected delimiter", "x;y\nu;v\n" + line(most + 1, "z").replace(',', ';') + "\n", 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool header : { false, true }) {
            TModel m({ "old", "cols" }, { { "old", "row" } });
            TempFolder dir;
            const QString path = dir.Write("big.csv", c.bytes);
            QChar delimiter;
            try {
                LoadListFromCSV(m.columns, m.items, delimiter, header, path);
                ADD_FAILURE() << "no error";
            } catch (const EOrvListViewError& e) {
                EXPECT_EQ(e.Message(),
                    QStringLiteral("Line %1 of %2 has %3 fields; a list takes at most 16384")
                        .arg(c.badLine)
                        .arg(path)
                        .arg(most + 1));
            }
            // Nothing was loaded: the list and the delimiter are as they were.
            EXPECT_TRUE(delimiter.isNull());
            EXPECT_EQ(S(m.Captions()), S({ "old", "cols" }));
            ASSERT_EQ(m.items.Count(), 1);
            EXPECT_EQ(S(m.Row(0)), S({ "old", "row" }));
        }
    }
    // Delimiters inside quotes do not count: one quoted field with many commas is two fields.
    TModel m({ "A" }, {});
    const QByteArray commas(3 * most, ',');
    Load(m, "\"" + commas + "\",x\r\n", false, u',');
    EXPECT_EQ(S(m.Row(0)), S({ QString::fromLatin1(commas), "x" }));
}

TEST(CsvLoad, Windows1252Fallback)
{
    TModel m({ "A", "B" }, {});
    // 0xE9 alone is not UTF-8: the whole file is read as Windows-1252.
    Load(m, "caf\xE9,\x80 \x93x\x94\r\n\x81\x9F\r\n", false, u',');
    ASSERT_EQ(m.items.Count(), 2);
    EXPECT_EQ(S(m.Row(0)), S({ QString::fromUtf8("café"), QString::fromUtf8("€ “x”") }));
    EXPECT_EQ(m.items[1].Caption(), QString(QChar(0x81)) + QChar(0x178));
}

TEST(CsvLoad, HeaderModeReplacesColumnsAndRows)
{
    TModel m({ "Old1", "Old2", "Old3", "Old4" }, { { "r1" }, { "r2" } });
    Load(m, "Name,\"Price, EUR\",Stock\r\nbolt,\"1,5\",10\r\n", true, u',');
    EXPECT_EQ(S(m.Captions()), S({ "Name", "Price, EUR", "Stock" }));
    ASSERT_EQ(m.items.Count(), 1);
    EXPECT_EQ(S(m.Row(0)), S({ "bolt", "1,5", "10" }));
}

TEST(CsvLoad, HeaderFieldRules)
{
    struct Case {
        const char* header;
        QStringList captions;
    } cases[] = {
        { "A,B,", { "A", "B" } }, // an empty final field adds no column
        { "A,,C", { "A", "", "C" } },
        { "\"A\",\"B\"", { "A", "B" } },
        { "\"open,B", { "", "B" } }, // unclosed quote: the column exists, uncaptioned
        { "\"\"", {} },
        { "Solo", { "Solo" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        TModel m;
        Load(m, QByteArray(c.header) + "\r\n", true, u',');
        EXPECT_EQ(S(m.Captions()), S(c.captions));
        EXPECT_EQ(m.items.Count(), 0);
    }
}

TEST(CsvLoad, AppendsAfterExistingRowsWithoutHeader)
{
    TModel m({ "A", "B" }, { { "old", "1" } });
    Load(m, "new,2\r\n", false, u',');
    ASSERT_EQ(m.items.Count(), 2);
    EXPECT_EQ(S(m.Row(0)), S({ "old", "1" }));
    EXPECT_EQ(S(m.Row(1)), S({ "new", "2" }));
    EXPECT_EQ(S(m.Captions()), S({ "A", "B" }));
}

TEST(CsvLoad, ColumnsGrowByAtMostOnePerFieldPerRow)
{
    TModel m({ "A" }, {});
    Load(m, "a,b,c,d\r\n", false, u',');
    EXPECT_EQ(m.columns.Count(), 3);
    Load(m, "a,b,c,d\r\n", false, u',');
    EXPECT_EQ(m.columns.Count(), 4);
    Load(m, "a,b,c,d\r\n", false, u',');
    EXPECT_EQ(m.columns.Count(), 4);
    // Quoted fields do not add columns.
    TModel q({ "A" }, {});
    Load(q, "\"a\",\"b\",\"c\",d\r\n", false, u',');
    EXPECT_EQ(q.columns.Count(), 1);
    EXPECT_EQ(S(q.Row(0)), S({ "a", "b", "c", "d" }));
}

TEST(CsvRoundTrip, SaveThenLoadKeepsPlainCells)
{
    TModel m({ "Car", "Type", "Power" }, { { "BMW", "320i", "150pk" }, { "Audi", "A4" }, { "", "x", "y" } });
    TempFolder dir;
    SaveListToCSV(m.columns, m.items, QChar(), true, dir.Path("rt.csv"));
    TModel back;
    QChar d;
    LoadListFromCSV(back.columns, back.items, d, true, dir.Path("rt.csv"));
    EXPECT_EQ(d, u',');
    EXPECT_EQ(S(back.Captions()), S(m.Captions()));
    ASSERT_EQ(back.items.Count(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(S(back.Row(r)), S(m.Row(r))) << r;

    // A cell holding the delimiter comes back as two fields: the writer never quotes.
    TModel comma({ "A", "B" }, { { "1,5", "x" } });
    SaveListToCSV(comma.columns, comma.items, QChar(), false, dir.Path("c.csv"));
    TModel split({ "A", "B", "C" }, {});
    LoadListFromCSV(split.columns, split.items, d, false, dir.Path("c.csv"));
    EXPECT_EQ(S(split.Row(0)), S({ "1", "5", "x" }));
}

TEST(CsvPerformance, OneMegabyteLineLoadsQuickly)
{
    // Fields of 64 characters keep a megabyte within the fields a line may hold.
    QByteArray wide;
    while (wide.size() < (1 << 20))
        wide += QByteArray(63, '7') + ',';
    QByteArray quoted;
    while (quoted.size() < (1 << 20))
        quoted += "\"a,b\"\"c" + QByteArray(55, 'q') + "\",";
    QByteArray plain(1 << 20, 'x');
    for (const QByteArray& line : { wide, quoted, plain }) {
        TModel m({ "A" }, {});
        QElapsedTimer timer;
        timer.start();
        Load(m, line + "\r\n", false, u',');
        EXPECT_LT(timer.elapsed(), 1000);
        ASSERT_EQ(m.items.Count(), 1);
        EXPECT_GT(m.items[0].Caption().size() + m.items[0].SubItems().size(), 0);
    }
}

TEST(CsvLoad, SplittingTheBytesAgreesWithSplittingTheDecodedText)
{
    // 4,000 random lines of quotes, doubled quotes, delimiters, blanks and letters of one to four
    // UTF-8 bytes. Split at ',' they are cut on the file's bytes; the same lines with '§' (two
    // bytes in UTF-8) as the delimiter are decoded first. Both must give the same rows, and so
    // must the Windows-1252 spelling of the lines that code page can hold.
    const QStringList tokens { "a", "bc", "\"", "\"\"", ",", ",", " ", QString::fromUtf8("\xC3\xA9"),
        QString::fromUtf8("\xE2\x82\xAC"), ";", "\t", "x\"y" };
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    std::mt19937 rng(17);
    QStringList lines, lines1252;
    for (int i = 0; i < 4000; ++i) {
        QString line;
        const int n = int(rng() % 14);
        for (int k = 0; k < n; ++k)
            line += tokens[int(rng() % unsigned(tokens.size()))];
        lines1252 << line;
        if (i % 5 == 0)
            line.insert(int(rng() % unsigned(line.size() + 1)), emoji);
        lines << line;
    }
    auto load = [](const QStringList& text, QChar delimiter, const QByteArray& bytes) {
        auto m = std::make_unique<TModel>();
        Load(*m, bytes, false, delimiter);
        EXPECT_EQ(m->items.Count(), text.size());
        return m;
    };
    auto utf8 = [](const QStringList& text, QChar delimiter) {
        QByteArray out;
        for (QString line : text)
            out += line.replace(u',', delimiter).toUtf8() + "\r\n";
        return out;
    };
    const auto bytes = load(lines, u',', utf8(lines, u','));
    const auto decoded = load(lines, u'\u00A7', utf8(lines, u'\u00A7'));
    QByteArray cp1252;
    for (const QString& line : lines1252)
        for (const QChar c : line + "\r\n")
            cp1252 += c == u'\u00E9' ? char(0xE9) : c == u'\u20AC' ? char(0x80) : char(c.unicode());
    const auto windows = load(lines1252, u',', cp1252);
    const auto reference1252 = load(lines1252, u',', utf8(lines1252, u','));
    ASSERT_EQ(bytes->columns.Count(), decoded->columns.Count());
    ASSERT_EQ(windows->columns.Count(), reference1252->columns.Count());
    for (int r = 0; r < lines.size(); ++r) {
        QStringList viaText = decoded->Row(r);
        for (QString& cell : viaText)
            cell.replace(u'\u00A7', u',');
        ASSERT_EQ(S(bytes->Row(r)), S(viaText)) << lines[r].toStdString();
        ASSERT_EQ(S(windows->Row(r)), S(reference1252->Row(r))) << lines1252[r].toStdString();
    }
}

TEST(CsvLoad, LoadedCellsCostLessThanEightyBytesEach)
{
    if (orvtest::SanitizedBuild())
        GTEST_SKIP() << "the sanitizers' allocator reports no heap in use";
    // 20,000 rows of seven ten-character cells: heap in use after the load, allocator overhead
    // and the rows themselves included, per cell. One text block per row makes it about 66.
    QByteArray bytes;
    for (int r = 0; r < 20000; ++r) {
        for (int c = 0; c < 7; ++c)
            bytes += (c ? "," : "") + QByteArray("c") + QByteArray::number(c) + "x"
                + QByteArray::number(r).rightJustified(7, '0');
        bytes += "\r\n";
    }
    TempFolder dir;
    const QString path = dir.Write("cells.csv", bytes);
    auto m = std::make_unique<TModel>();
    malloc_trim(0);
    const struct mallinfo2 before = mallinfo2();
    QChar delimiter;
    LoadListFromCSV(m->columns, m->items, delimiter, false, path);
    const struct mallinfo2 after = mallinfo2();
    ASSERT_EQ(m->items.Count(), 20000);
    ASSERT_EQ(m->Row(19999)[6], QStringLiteral("c6x0019999"));
    const double perCell
        = double((after.uordblks + after.hblkhd) - (before.uordblks + before.hblkhd)) / (20000.0 * 7);
    EXPECT_LE(perCell, 80.0);
    EXPECT_GT(perCell, 20.0); // the characters alone take 22
}
