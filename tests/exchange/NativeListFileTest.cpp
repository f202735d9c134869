#include "ExchangeTestUtil.h"
#include "platform/OrvExceptions.h"
#include "exchange/NativeListFiles.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>

using namespace exchangetest;

namespace {

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EOrvListViewError& e) {
        return e.Message();
    }
    return QString();
}

} // namespace

TEST(NativeFile, WritesSizeWidthHeaderAndCellLines)
{
    TModel m({ "Car", "", "Price" }, { { "BMW", "320i", "40" }, { "", "", "x" }, { "Audi" } });
    m.columns[0].SetWidth(120);
    m.columns[1].SetWidth(60);
    m.columns[2].SetWidth(80);
    m.items[0].SetImageIndex(3);
    m.items[0].SetSubItemImage(2, 5); // image of sub-item 1 = column 2
    TempFolder dir;

    SaveListToFile(m.columns, m.items, true, true, dir.Path("a.dat"));
    EXPECT_EQ(ReadBytes(dir.Path("a.dat")),
        QByteArray("3,3\r\n"
                   "cw 0,120\r\ncw 1,60\r\ncw 2,80\r\n"
                   "0,0,Car\r\n2,0,Price\r\n"
                   "0,1,3,BMW\r\n1,1,-1,320i\r\n2,1,5,40\r\n"
                   "2,2,-1,x\r\n"
                   "0,3,-1,Audi\r\n"));

    // Without the header the rows count from 0; with sub-images off every sub-item image is -1.
    SaveListToFile(m.columns, m.items, false, false, dir.Path("b.dat"));
    EXPECT_EQ(ReadBytes(dir.Path("b.dat")),
        QByteArray("3,3\r\n"
                   "cw 0,120\r\ncw 1,60\r\ncw 2,80\r\n"
                   "0,0,3,BMW\r\n1,0,-1,320i\r\n2,0,-1,40\r\n"
                   "2,1,-1,x\r\n"
                   "0,2,-1,Audi\r\n"));
}

TEST(NativeFile, RoundTripRestoresCaptionsWidthsTextsAndImages)
{
    TModel m({ "Car", "Type", "Notes" },
        { { "BMW", "320i", "line one\r\nline two" }, { "", "tab\there", "comma, and more, commas" },
            { "Audi", "", "lf\nonly" } });
    m.columns[1].SetWidth(77);
    m.columns[2].SetAlignment(taRightJustify);
    m.items[2].SetImageIndex(4);
    m.items[0].SetSubItemImage(1, 0);
    TempFolder dir;
    SaveListToFile(m.columns, m.items, true, true, dir.Path("rt.dat"));
    // Line breaks never split the file: 1 size + 3 width + 3 header + 7 cell lines.
    EXPECT_EQ(ReadBytes(dir.Path("rt.dat")).count("\r\n"), 14);

    TModel back({ "x", "y", "z", "keep4", "keep5" }, { { "stale" } });
    back.columns[4].SetWidth(99);
    bool subImages = false;
    LoadListFromFile(back.columns, back.items, subImages, true, dir.Path("rt.dat"));
    EXPECT_TRUE(subImages);
    EXPECT_EQ(S(back.Captions()), S({ "Car", "Type", "Notes", "keep4", "keep5" }));
    EXPECT_EQ(back.columns[1].Width(), 77);
    EXPECT_EQ(back.columns[4].Width(), 99);
    ASSERT_EQ(back.items.Count(), 3);
    // Every row gets as many sub-items as the file has columns.
    EXPECT_EQ(S(back.Row(0)), S({ "BMW", "320i", "line one\r\nline two", "" }));
    // A tab comes back as a carriage return: the format uses it for line breaks.
    EXPECT_EQ(S(back.Row(1)), S({ "", "tab\rhere", "comma, and more, commas", "" }));
    EXPECT_EQ(S(back.Row(2)), S({ "Audi", "", "lf\nonly", "" }));
    EXPECT_EQ(back.items[2].ImageIndex(), 4);
    EXPECT_EQ(back.items[0].ImageIndex(), -1);
    EXPECT_EQ(back.items[0].SubItemImage(1), 0);
    EXPECT_EQ(back.items[1].SubItemImage(1), -1);
}

TEST(NativeFile, ImagesSwitchSubImagesOnOnlyWhenPresent)
{
    TempFolder dir;
    bool subImages = false;
    TModel m;
    LoadListFromFile(
        m.columns, m.items, subImages, false, dir.Write("a.dat", "2,1\r\n0,0,-1,a\r\n1,0,-1,b\r\n"));
    EXPECT_FALSE(subImages);
    LoadListFromFile(m.columns, m.items, subImages, false, dir.Write("b.dat", "2,1\r\n0,0,0,a\r\n"));
    EXPECT_TRUE(subImages);
    EXPECT_EQ(m.items[0].ImageIndex(), 0);
}

TEST(NativeFile, OutOfRangeLinesAreIgnored)
{
    TempFolder dir;
    TModel m;
    bool subImages = false;
    const QString path = dir.Write("r.dat",
        "2,2\r\n"
        "cw 5,300\r\ncw -1,300\r\ncw 1,30\r\n"
        "2,0,1,beyond columns\r\n"
        "0,2,1,beyond rows\r\n"
        "-1,0,1,negative column\r\n"
        "1,1,-1,kept\r\n"
        "\r\n"
        "0,0,-1,a,b,c\r\n");
    LoadListFromFile(m.columns, m.items, subImages, false, path);
    EXPECT_FALSE(subImages);
    ASSERT_EQ(m.columns.Count(), 2);
    EXPECT_EQ(m.columns[1].Width(), 30);
    ASSERT_EQ(m.items.Count(), 2);
    EXPECT_EQ(S(m.Row(0)), S({ "a,b,c", "", "" }));
    EXPECT_EQ(S(m.Row(1)), S({ "", "kept", "" }));
}

TEST(NativeFile, HeaderModeMismatchReadsHeaderLinesAsRowZero)
{
    TModel m({ "A", "B" }, { { "x", "y" } });
    TempFolder dir;
    SaveListToFile(m.columns, m.items, false, false, dir.Path("h.dat"));
    TModel back;
    bool subImages = false;
    // Written without header, read with one: row number 0 lines are taken as captions.
    LoadListFromFile(back.columns, back.items, subImages, true, dir.Path("h.dat"));
    EXPECT_EQ(S(back.Captions()), S({ "-1,x", "-1,y" }));
    EXPECT_EQ(S(back.Row(0)), S({ "", "", "" }));
}

TEST(NativeFile, RejectsEmptyZeroAndImplausibleSizes)
{
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        { "empty file", "" },
        { "empty first line", "\r\n0,0,-1,x\r\n" },
        { "zero columns", "0,5\r\n" },
        { "zero rows", "3,0\r\n" },
        { "no comma", "3\r\n" },
        { "negative rows", "3,-2\r\n" },
        { "not numbers", "abc,def\r\n" },
        { "two billion rows in a small file", "3,2000000000\r\n" + QByteArray(1000, 'x') },
        { "8.6 million rows in half a megabyte", "3,8600000\r\n" + QByteArray(512 * 1024, 'x') },
        { "empty rows beyond the budget", "1,2500000\r\ncw 0,50\r\n" },
        { "rows overflowing int", "1,99999999999999999999\r\n" },
        { "a million columns in a small file", "1000000,1\r\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const QString path = dir.Write("bad.dat", c.bytes);
        TModel m({ "Keep" }, { { "row" } });
        bool subImages = false;
        EXPECT_EQ(ErrorOf([&] { LoadListFromFile(m.columns, m.items, subImages, false, path); }),
            "File contains no data or corrupt file " + path);
        EXPECT_EQ(S(m.Captions()), S({ "Keep" }));
        ASSERT_EQ(m.items.Count(), 1);
        EXPECT_EQ(m.items[0].Caption(), "row");
    }
}

TEST(NativeFile, AcceptsLenientNumbersAndLargeButPlausibleSizes)
{
    TempFolder dir;
    TModel m;
    bool subImages = false;
    LoadListFromFile(
        m.columns, m.items, subImages, false, dir.Write("n.dat", "  +2x,  3junk\r\n cw 1,40\r\n"));
    EXPECT_EQ(m.columns.Count(), 2);
    EXPECT_EQ(m.items.Count(), 3);
    // 100,000 empty rows leave no cell lines, yet are a legitimate list.
    LoadListFromFile(
        m.columns, m.items, subImages, false, dir.Write("e.dat", "2,100000\r\ncw 0,50\r\ncw 1,50\r\n"));
    EXPECT_EQ(m.items.Count(), 100000);
}

TEST(NativeFile, EveryFileTheProgramWritesLoadsBack)
{
    // Empty cells leave no line, so a written file can be far smaller than its list.
    struct Case {
        const char* name;
        int columns;
        int rows;
        bool header;
        int filledColumn; // the one cell written per filled row
        int filledEvery; // every n-th row has it; 0 = only the last row
    } cases[] = {
        { "100,000 x 3, one cell", 3, 100000, false, 2, 0 },
        { "a million empty rows", 2, 1000000, true, 0, 0 },
        { "sparse and wide", 2000, 1000, false, 1999, 1 },
        { "one sub-item per row", 20, 100000, true, 5, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TModel m;
        for (int col = 0; col < c.columns; ++col)
            m.columns.Add().SetCaption(QStringLiteral("C%1").arg(col));
        m.items.BeginUpdate();
        for (int r = 0; r < c.rows; ++r) {
            TListItem& item = m.items.Add();
            const bool filled = c.filledEvery ? r % c.filledEvery == 0 : r == c.rows - 1;
            if (!filled)
                continue;
            const QString text = QStringLiteral("r%1").arg(r);
            if (c.filledColumn == 0) {
                item.SetCaption(text);
            } else {
                while (item.SubItems().size() < c.filledColumn)
                    item.SubItems() << QString();
                item.SubItems()[c.filledColumn - 1] = text;
            }
        }
        m.items.EndUpdate();
        TempFolder dir;
        SaveListToFile(m.columns, m.items, false, c.header, dir.Path("sparse.dat"));
        TModel back;
        bool subImages = false;
        LoadListFromFile(back.columns, back.items, subImages, c.header, dir.Path("sparse.dat"));
        ASSERT_EQ(back.items.Count(), c.rows);
        ASSERT_EQ(back.columns.Count(), c.columns);
        EXPECT_EQ(back.columns[c.columns - 1].Caption(), c.header ? m.columns[c.columns - 1].Caption() : "");
        for (int r : { 0, c.rows / 2, c.rows - 1 }) {
            const QStringList row = back.Row(r);
            EXPECT_EQ(row.size(), c.columns + 1) << r; // caption and C sub-items
            const bool filled = c.filledEvery ? r % c.filledEvery == 0 : r == c.rows - 1;
            EXPECT_EQ(row[c.filledColumn], filled ? QStringLiteral("r%1").arg(r) : QString()) << r;
        }
    }
}

TEST(NativeFile, HostileSizeLineIsRefusedBeforeAllocating)
{
    // Rows and padding cells that no byte of the file backs are held to a fixed budget; what
    // the file's own lines back is not limited.
    struct Case {
        const char* name;
        QByteArray bytes;
        bool loads;
    } cases[] = {
        { "two million empty rows", "1,2000000\r\n", true },
        { "three million empty rows", "1,3000000\r\n", false },
        { "sub-item cells pad 100 columns of 50,000 rows",
            [] {
                QByteArray b = "100,50000\r\n";
                for (int r = 0; r < 50000; ++r)
                    b += "1," + QByteArray::number(r) + ",-1,x\r\n";
                return b;
            }(),
            true },
        { "sub-item cells pad 100 columns of 150,000 rows",
            [] {
                QByteArray b = "100,150000\r\n";
                for (int r = 0; r < 150000; ++r)
                    b += "1," + QByteArray::number(r) + ",-1,x\r\n";
                return b;
            }(),
            false },
        { "caption cells pad nothing",
            [] {
                QByteArray b = "100,150000\r\n";
                for (int r = 0; r < 150000; ++r)
                    b += "0," + QByteArray::number(r) + ",-1,x\r\n";
                return b;
            }(),
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const QString path = dir.Write("h.dat", c.bytes);
        TModel m({ "Keep" }, { { "row" } });
        bool subImages = false;
        QElapsedTimer timer;
        timer.start();
        const QString error = ErrorOf([&] { LoadListFromFile(m.columns, m.items, subImages, false, path); });
        if (c.loads) {
            EXPECT_EQ(error, QString());
            EXPECT_GT(m.items.Count(), 1);
        } else {
            EXPECT_EQ(error, "File contains no data or corrupt file " + path);
            EXPECT_EQ(m.items.Count(), 1);
            EXPECT_LT(timer.elapsed(), 1000); // refused before anything was built
        }
    }
}

TEST(NativeFile, EmptyRowsShareTheirEmptySubItems)
{
    // Sixty empty sub-items of a million rows would take 1.4 GB as separate strings; the loaded
    // rows share one list until a cell is written.
    TempFolder dir;
    const QString path = dir.Write("e.dat", "60,1000000\r\n5,999999,-1,last\r\n");
    TModel m;
    bool subImages = false;
    const long before = orvtest::ResidentKilobytes();
    LoadListFromFile(m.columns, m.items, subImages, false, path);
    const long grown = orvtest::ResidentKilobytes() - before;
    ASSERT_EQ(m.items.Count(), 1000000);
    EXPECT_EQ(m.items[0].SubItems().size(), 60);
    EXPECT_EQ(m.items[999999].SubItems()[4], "last");
    EXPECT_EQ(m.items[999998].SubItems()[4], "");
    EXPECT_LT(grown, 400 * 1024) << "kilobytes";
}

TEST(NativeFile, ErrorsOnOpenAndCreate)
{
    TModel m({ "A" }, { { "x" } });
    bool subImages = false;
    EXPECT_EQ(ErrorOf([&] { LoadListFromFile(m.columns, m.items, subImages, false, "/nonexistent/t.dat"); }),
        "File /nonexistent/t.dat not found");
    EXPECT_EQ(m.items.Count(), 1);
    TempFolder dir;
    const QString blocker = dir.Write("blocker", "x");
    EXPECT_EQ(ErrorOf([&] { SaveListToFile(m.columns, m.items, false, false, blocker + "/t.dat"); }),
        "Cannot create file " + blocker + "/t.dat");
}

TEST(NativeFile, EmptyListIsWrittenButNotLoadable)
{
    TModel m({ "A" }, {});
    TempFolder dir;
    SaveListToFile(m.columns, m.items, false, false, dir.Path("e.dat"));
    EXPECT_EQ(ReadBytes(dir.Path("e.dat")), QByteArray("1,0\r\ncw 0,50\r\n"));
    TModel back;
    bool subImages = false;
    EXPECT_EQ(
        ErrorOf([&] { LoadListFromFile(back.columns, back.items, subImages, false, dir.Path("e.dat")); }),
        "File contains no data or corrupt file " + dir.Path("e.dat"));
}
