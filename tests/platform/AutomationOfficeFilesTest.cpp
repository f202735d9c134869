// The built-in office servers' saved files, read back by independent readers: xlrd for .xls and
// .xlsx, unzip for the package, unrtf for the word-processor document.
#include "platform/TAutomation.h"
#include "platform/office/TCompoundFileWriter.h"
#include "platform/office/TXlsWriter.h"
#include "platform/office/TZipWriter.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

bool HaveXlrd()
{
    if (!QFile::exists(kPython))
        return false;
    int code = -1;
    orvtest::RunProgram(kPython, { QStringLiteral("-c"), QStringLiteral("import xlrd") }, &code);
    return code == 0;
}

using Grid = std::vector<QStringList>;

struct Sheet {
    QString name;
    Grid rows;
};

std::vector<Sheet> ReadWorkbook(const QString& path)
{
    int code = -1;
    const QByteArray json = orvtest::RunProgram(
        kPython, { orvtest::DataPath(QStringLiteral("office/read_workbook.py")), path }, &code, 300000);
    EXPECT_EQ(code, 0) << "xlrd could not read " << path.toStdString();
    std::vector<Sheet> sheets;
    for (const QJsonValue& s :
        QJsonDocument::fromJson(json).object().value(QStringLiteral("sheets")).toArray()) {
        Sheet sheet { s.toObject().value(QStringLiteral("name")).toString(), {} };
        for (const QJsonValue& row : s.toObject().value(QStringLiteral("rows")).toArray()) {
            QStringList cells;
            for (const QJsonValue& c : row.toArray())
                cells << c.toString();
            sheet.rows.push_back(cells);
        }
        sheets.push_back(sheet);
    }
    return sheets;
}

// Fills a fresh sheet through the spreadsheet server and saves the workbook.
void SaveThroughServer(const Grid& grid, const QString& path)
{
    const TVariant app = CreateOleObject(QStringLiteral("excel.application"));
    const TVariant book = app.Get(QStringLiteral("WorkBooks")).Call(QStringLiteral("Add"));
    const TVariant sheet = book.Get(QStringLiteral("WorkSheets")).Call(QStringLiteral("Add"));
    const int rows = int(grid.size());
    int columns = 0;
    for (const QStringList& r : grid)
        columns = std::max(columns, int(r.size()));
    auto values = std::make_shared<TVariantArray>(0, rows - 1, 0, columns - 1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < grid[size_t(r)].size(); ++c)
            values->At(r, c) = grid[size_t(r)][c];
    sheet.Get(QStringLiteral("Range"), { QStringLiteral("A1:%1%2").arg(QChar(u'A' + columns - 1)).arg(rows) })
        .Put(QStringLiteral("Value"), TVariant(values));
    book.Call(QStringLiteral("SaveAs"), { path });
    app.Call(QStringLiteral("Quit"));
}

// Every cell of `expected` (missing cells read as empty) equals the sheet's cell.
void ExpectCells(const Grid& expected, const Sheet& sheet)
{
    for (size_t r = 0; r < expected.size(); ++r) {
        for (int c = 0; c < expected[r].size(); ++c) {
            const QString actual
                = r < sheet.rows.size() && c < sheet.rows[r].size() ? sheet.rows[r][c] : QString();
            EXPECT_EQ(actual, expected[r][c]) << "row " << r << " column " << c;
        }
    }
}

const Grid kMixed = {
    { QStringLiteral("Name"), QStringLiteral("Price"), QStringLiteral("Note") },
    { QStringLiteral("Zo\u00eb"), QStringLiteral("5 \u20ac"), QStringLiteral("\u540d\u524d \U0001F600") },
    { QStringLiteral("a \"quoted\" <tag> & more"), QString(), QStringLiteral("two\nlines") },
    { QString(), QStringLiteral("12.50"), QStringLiteral("_x0041_ stays literal") },
};

} // namespace

TEST(OfficeFiles, XlsRoundTripKeepsEveryCellSheetOrderAndUnicode)
{
    if (!HaveXlrd())
        GTEST_SKIP() << "python3-xlrd not available";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.xls"));
    SaveThroughServer(kMixed, path);
    const auto sheets = ReadWorkbook(path);
    ASSERT_EQ(sheets.size(), 2u);
    // The added sheet goes before the active one, as the application does.
    EXPECT_EQ(sheets[0].name, QStringLiteral("Sheet2"));
    EXPECT_EQ(sheets[1].name, QStringLiteral("Sheet1"));
    EXPECT_TRUE(sheets[1].rows.empty());
    ASSERT_EQ(sheets[0].rows.size(), kMixed.size());
    ExpectCells(kMixed, sheets[0]);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
    EXPECT_EQ(bytes.size() % 512, 0);
    EXPECT_GE(bytes.size(), 512 + 4096 + 512 + 512) << "stream padded past the mini-stream cutoff";
}

TEST(OfficeFiles, XlsLongStringsCrossContinueRecordsAndBigStreamsUseDifat)
{
    if (!HaveXlrd())
        GTEST_SKIP() << "python3-xlrd not available";
    // Long strings split across SST CONTINUE records (8-bit and 16-bit), and enough distinct strings
    // that the FAT needs more than the header's 109 sectors.
    std::vector<TSheetData> sheets(1);
    sheets[0].name = QStringLiteral("Big \u00e9\u4e2d");
    Grid expected;
    QString longLatin, longWide;
    for (int i = 0; i < 20000; ++i) {
        longLatin += QChar(u'a' + i % 26);
        longWide += QChar(i % 3 == 0 ? u'\u4e2d' : u'x');
    }
    expected.push_back({ longLatin, longWide, QStringLiteral("short") });
    for (int r = 1; r < 24000; ++r) {
        QStringList row;
        for (int c = 0; c < 12; ++c)
            row << QStringLiteral("cell %1/%2 %3")
                       .arg(r)
                       .arg(c)
                       .arg(r % 7 ? QStringLiteral("\u00e9t\u00e9") : QString(8, u'\u0416'));
        expected.push_back(row);
    }
    for (size_t r = 0; r < expected.size(); ++r)
        for (int c = 0; c < expected[r].size(); ++c)
            sheets[0].SetCell(int(r), c, expected[r][c]);
    const QByteArray file = TXlsWriter::Write(sheets);
    ASSERT_GT(file.size(), 109 * 128 * 512) << "test must exceed the header's FAT capacity";
    EXPECT_GT(qFromLittleEndian<quint32>(file.constData() + 0x48), 0u) << "DIFAT sectors used";

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.xls"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    const auto read = ReadWorkbook(path);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].name, sheets[0].name);
    ASSERT_EQ(read[0].rows.size(), expected.size());
    ExpectCells(expected, read[0]);
}

TEST(OfficeFiles, XlsRefusesSheetsBeyondItsLimitsAndKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.xls"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previous");
    }
    const TVariant app = CreateOleObject(QStringLiteral("excel.application"));
    const TVariant book = app.Get(QStringLiteral("WorkBooks")).Call(QStringLiteral("Add"));
    const TVariant sheet = book.Get(QStringLiteral("WorkSheets")).Call(QStringLiteral("Add"));
    sheet.Get(QStringLiteral("Range"), { QStringLiteral("A65537") }).Put(QStringLiteral("Value"), "too far");
    EXPECT_THROW(book.Call(QStringLiteral("SaveAs"), { path }), EAutomationError);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("previous"));
    // The same workbook fits the newer format.
    EXPECT_NO_THROW(book.Call(QStringLiteral("SaveAs"), { dir.filePath(QStringLiteral("fits.xlsx")) }));
    sheet.Get(QStringLiteral("Range"), { QStringLiteral("IW1") }).Put(QStringLiteral("Value"), "column 257");
    sheet.Get(QStringLiteral("Range"), { QStringLiteral("A65537") }).Put(QStringLiteral("Value"), QString());
    EXPECT_THROW(book.Call(QStringLiteral("SaveAs"), { path }), EAutomationError);
}

TEST(OfficeFiles, XlsxRoundTripWithInlineStringsAndEscapes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.xlsx"));
    Grid grid = kMixed;
    grid.push_back({ QStringLiteral("ctl\x01\x1f"), QStringLiteral("tab\there"), QStringLiteral("cr\rlf") });
    SaveThroughServer(grid, path);
    if (orvtest::HaveProgram(QStringLiteral("unzip"))) {
        int code = -1;
        const QByteArray list
            = orvtest::RunProgram(QStringLiteral("unzip"), { QStringLiteral("-t"), path }, &code);
        EXPECT_EQ(code, 0) << list.toStdString();
        const QByteArray sheetXml = orvtest::RunProgram(QStringLiteral("unzip"),
            { QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml") });
        EXPECT_TRUE(sheetXml.contains("t=\"inlineStr\"")) << sheetXml.left(400).toStdString();
        EXPECT_TRUE(sheetXml.contains("<c r=\"C2\"")) << "cell references in A1 notation";
        const QByteArray types = orvtest::RunProgram(QStringLiteral("unzip"),
            { QStringLiteral("-p"), path,
                QStringLiteral("[[]Content_Types].xml") }); // unzip reads "[" as a pattern
        EXPECT_TRUE(types.contains("spreadsheetml.sheet.main+xml"));
    }
    if (!HaveXlrd())
        GTEST_SKIP() << "python3-xlrd not available";
    const auto sheets = ReadWorkbook(path);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, QStringLiteral("Sheet2"));
    // Control characters travel as _xHHHH_ and a literal "_x0041_" is itself escaped; the reader
    // undoes both, so every cell comes back as written.
    ExpectCells(grid, sheets[0]);
}

TEST(OfficeFiles, ZipEntriesCarryTheirCrc)
{
    EXPECT_EQ(TZipWriter::Crc32(QByteArray("123456789")), 0xCBF43926u); // the CRC-32 check value
    EXPECT_EQ(TZipWriter::Crc32(QByteArray()), 0u);
    if (!orvtest::HaveProgram(QStringLiteral("unzip")))
        GTEST_SKIP() << "unzip not available";
    TZipWriter zip;
    const QByteArray big(100000, 'z');
    zip.Add(QStringLiteral("small.txt"), "hi");
    zip.Add(QStringLiteral("dir/big.txt"), big);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.zip"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray archive = zip.Finish();
    EXPECT_LT(archive.size(), 10000) << "repetitive data is deflated";
    f.write(archive);
    f.close();
    int code = -1;
    orvtest::RunProgram(QStringLiteral("unzip"), { QStringLiteral("-t"), path }, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(orvtest::RunProgram(
                  QStringLiteral("unzip"), { QStringLiteral("-p"), path, QStringLiteral("dir/big.txt") }),
        big);
    EXPECT_EQ(orvtest::RunProgram(
                  QStringLiteral("unzip"), { QStringLiteral("-p"), path, QStringLiteral("small.txt") }),
        QByteArray("hi"));
}

TEST(OfficeFiles, WordDocumentIsRtfWithARealTableAndAlignment)
{
    QTemporaryDir dir;
    for (const QString& name : { QStringLiteral("table.doc"), QStringLiteral("table.rtf") }) {
        const QString path = dir.filePath(name);
        const TVariant app = CreateOleObject(QStringLiteral("word.application"));
        const TVariant doc = app.Get(QStringLiteral("Documents")).Call(QStringLiteral("Add"));
        const TVariant range = doc.Call(QStringLiteral("Range"), {}, { { "start", 0 }, { "end", 0 } });
        const TVariant table = doc.Get(QStringLiteral("Tables"))
                                   .Call(QStringLiteral("Add"), { TVariant::MakeRef(range) },
                                       { { "numrows", 2 }, { "numcolumns", 3 } });
        const QString texts[2][3]
            = { { "left", "right {x}", "centre \\ y" }, { "Zo\u00eb", "\u20ac 5", "\u540d" } };
        for (int r = 0; r < 2; ++r) {
            for (int c = 0; c < 3; ++c) {
                const TVariant cell
                    = table.Call(QStringLiteral("Cell"), {}, { { "row", r + 1 }, { "column", c + 1 } });
                cell.Get(QStringLiteral("Range")).Call(QStringLiteral("InsertAfter"), { texts[r][c] });
                if (c > 0)
                    cell.Get(QStringLiteral("Range"))
                        .Get(QStringLiteral("ParagraphFormat"))
                        .Put(QStringLiteral("Alignment"), c == 1 ? 2 : 1);
            }
        }
        doc.Call(QStringLiteral("SaveAs"), { TVariant::MakeRef(path) });
        app.Call(QStringLiteral("Quit"));

        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray rtf = f.readAll();
        EXPECT_TRUE(rtf.startsWith("{\\rtf1")) << name.toStdString();
        EXPECT_EQ(rtf.count("\\row"), 2);
        EXPECT_EQ(rtf.count("\\cell\n"), 6);
        EXPECT_EQ(rtf.count("\\cellx"), 6);

        if (!orvtest::HaveProgram(QStringLiteral("unrtf")) || !QFile::exists(kPython))
            GTEST_SKIP() << "unrtf not available";
        int code = -1;
        const QByteArray json = orvtest::RunProgram(
            kPython, { orvtest::DataPath(QStringLiteral("office/read_rtf_tables.py")), path }, &code);
        ASSERT_EQ(code, 0);
        const QJsonArray tables
            = QJsonDocument::fromJson(json).object().value(QStringLiteral("tables")).toArray();
        ASSERT_EQ(tables.size(), 1);
        const QJsonArray rows = tables[0].toArray();
        ASSERT_EQ(rows.size(), 2);
        const char* aligns[3] = { "left", "right", "center" };
        for (int r = 0; r < 2; ++r) {
            const QJsonArray cells = rows[r].toArray();
            ASSERT_EQ(cells.size(), 3);
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(cells[c].toObject().value(QStringLiteral("text")).toString().trimmed(), texts[r][c])
                    << r << "," << c;
                // unrtf loses the alignment of a cell whose text starts with a non-ASCII character.
                if (texts[r][c].at(0).unicode() < 0x80) {
                    EXPECT_EQ(cells[c].toObject().value(QStringLiteral("align")).toString(),
                        QLatin1String(aligns[c]))
                        << r << "," << c;
                }
            }
        }
    }
}

TEST(OfficeFiles, CompoundFileSmallStreamIsPaddedAndChained)
{
    const QByteArray file = TCompoundFileWriter::Write(QStringLiteral("Workbook"), QByteArray(100, 'x'));
    // Header, 8 stream sectors (4096 bytes), the directory and one FAT sector.
    ASSERT_EQ(file.size(), 512 * 11);
    const char* h = file.constData();
    EXPECT_EQ(qFromLittleEndian<quint32>(h + 0x2C), 1u); // FAT sectors
    EXPECT_EQ(qFromLittleEndian<quint32>(h + 0x30), 8u); // directory sector
    EXPECT_EQ(qFromLittleEndian<quint32>(h + 0x4C), 9u); // first FAT sector
    const char* fat = h + 512 * 10;
    for (quint32 i = 0; i < 7; ++i)
        EXPECT_EQ(qFromLittleEndian<quint32>(fat + 4 * i), i + 1);
    EXPECT_EQ(qFromLittleEndian<quint32>(fat + 4 * 7), 0xFFFFFFFEu);
    EXPECT_EQ(qFromLittleEndian<quint32>(fat + 4 * 9), 0xFFFFFFFDu);
    const char* entry = h + 512 * 9 + 128;
    EXPECT_EQ(qFromLittleEndian<quint32>(entry + 0x78), 4096u) << "stream size at the cutoff";
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(entry), 8), QStringLiteral("Workbook"));
}
