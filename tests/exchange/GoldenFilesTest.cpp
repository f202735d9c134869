// Whole files written for a small car list, compared with the expected files under
// tests/data/exchange. On a mismatch the actual output is written beside the golden as
// <name>.actual for inspection.
#include "ExchangeTestUtil.h"
#include "exchange/CsvFiles.h"
#include "exchange/HTMLExport.h"
#include "exchange/NativeListFiles.h"
#include "exchange/XMLExport.h"
#include "support/TestSupport.h"

using namespace exchangetest;

namespace {

void FillCars(TModel& m)
{
    m.Reset({ "Car", "Type", "Cylinders", "Price", "Web" },
        { { "BMW", "M3 Coupe", "6", "78500", "https://www.example.com/bmw/m3" },
            { "Audi", "A4 Avant", "4", "38900", "mailto:sales@example.com" },
            { "Porsche", "<b>911</b> Carrera", "6", "96200" },
            { QString::fromUtf8("Citroën"), "2CV \"Ente\"", "2", "", "http://example.com/?a=1&b=2" },
            { "", "line one\r\nline two", "", "1,5" } });
    m.columns[2].SetAlignment(taCenter);
    m.columns[3].SetAlignment(taRightJustify);
    m.columns[3].SetWidth(64);
    m.items[0].SetImageIndex(2);
    m.items[1].SetSubItemImage(3, 1);
}

void ExpectGolden(const QString& name, const QString& writtenPath)
{
    const QString golden = orvtest::DataPath("exchange/" + name);
    const QByteArray actual = ReadBytes(writtenPath);
    const QByteArray expected = ReadBytes(golden);
    if (actual != expected) {
        WriteBytes(golden + ".actual", actual);
        ADD_FAILURE() << name.toStdString() << " differs from its golden; actual output written to "
                      << (golden + ".actual").toStdString();
    }
}

} // namespace

TEST(GoldenFiles, CarListInEveryFormat)
{
    TModel m;
    FillCars(m);
    TempFolder dir;

    SaveListToCSV(m.columns, m.items, QChar(), true, dir.Path("cars.csv"));
    ExpectGolden("cars.csv", dir.Path("cars.csv"));

    SaveListToFile(m.columns, m.items, true, true, dir.Path("cars.dat"));
    ExpectGolden("cars.dat", dir.Path("cars.dat"));

    SaveListToXML(
        m.columns, m.items, dir.Path("cars.xml"), "CARLIST", "CAR", { "Car", "Type", "Cylinders", "Price" });
    ExpectGolden("cars.xml", dir.Path("cars.xml"));

    THTMLSettings settings;
    settings.SetPrefixTag("<body bgcolor=\"#ffffff\"><font face=\"Tahoma\" size=\"2\">");
    settings.SetSuffixTag("</font>");
    // The header cells' border colour depends on the desktop palette; leave colours to the hook.
    settings.SetSaveColor(true);
    const THTMLExportContext context { m.columns, m.items, settings, true, false,
        [](int row, int sub, TBrush& brush, TFont& font, const QString&) {
            if (sub == 2 && row % 2 == 0)
                brush.SetColor(RGBColor(255, 255, 0));
            if (sub == -1)
                font.SetStyle(fsBold);
            if (sub == 1)
                font.SetColor(clRed);
        },
        {} };
    QStringList lines = BuildHTMLLines(context);
    // Drop the palette-dependent header row so that the golden holds on every desktop.
    ASSERT_GT(lines.size(), 9);
    // Lines 0 to 2 are the prefix tag, the table line and "<tr>".
    EXPECT_TRUE(lines[3].startsWith("<td nowrap BGCOLOR=\"#"));
    lines.erase(lines.begin() + 3, lines.begin() + 3 + m.columns.Count());
    WriteBytes(dir.Path("cars.htm"), lines.join("\r\n").toUtf8() + "\r\n");
    ExpectGolden("cars.htm", dir.Path("cars.htm"));

    // Reading the golden CSV and native file back gives the list again.
    TModel csv;
    QChar d;
    LoadListFromCSV(csv.columns, csv.items, d, true, orvtest::DataPath("exchange/cars.csv"));
    EXPECT_EQ(S(csv.Captions()), S(m.Captions()));
    EXPECT_EQ(S(csv.Row(1)), S(m.Row(1)));
    EXPECT_EQ(S(csv.Row(3)), S(m.Row(3)));
    TModel dat;
    bool subImages = false;
    LoadListFromFile(dat.columns, dat.items, subImages, true, orvtest::DataPath("exchange/cars.dat"));
    ASSERT_EQ(dat.items.Count(), m.items.Count());
    EXPECT_EQ(dat.items[4].SubItems()[0], "line one\r\nline two");
    EXPECT_EQ(dat.items[1].SubItemImage(3), 1);
    EXPECT_EQ(dat.columns[3].Width(), 64);
}
