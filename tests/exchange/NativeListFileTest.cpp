#include "ExchangeTestUtil.h"
#include "exchange/EOrvListViewError.h"
#include "exchange/TNativeListFile.h"

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
