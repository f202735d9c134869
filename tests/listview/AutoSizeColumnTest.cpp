// Column autosizing (widest cell as drawn, plus image, check box and margin) and the saved
// column widths in an INI file or the registry store.
#include "platform/OrvExceptions.h"
#include "listview/TOrvListView.h"
#include "listview/private/TColumnAutoSizer.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"
#include "platform/TProfileStore.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AutoSizeColumnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i)
            list.Columns().Add().SetWidth(50);
        AddRow(QStringLiteral("Short"), { QStringLiteral("a much longer text"), QStringLiteral("x") });
        AddRow(QStringLiteral("The longest caption"), { QStringLiteral("mid") });
        AddRow(QStringLiteral("Mid caption"), { QStringLiteral("b"), QStringLiteral("y") });
    }

    void AddRow(const QString& caption, const QStringList& subItems)
    {
        TListItem& item = list.Items().Add();
        item.SetCaption(caption);
        item.SubItems() = subItems;
    }

    // Width of a text in the list's font, measured on the list's own canvas.
    int Width(const QString& text, TFontStyles style = 0)
    {
        TCanvas& canvas = list.DrawingCanvas();
        const TFont saved(canvas.Font());
        canvas.SetFont(list.Font());
        canvas.Font().SetStyle(style);
        const int w = canvas.TextWidth(text);
        canvas.SetFont(saved);
        return w;
    }

    TOrvListView list;
    TColumnAutoSizer sizer { list };
};

TEST_F(AutoSizeColumnTest, WidestPlainTextPlusMargin)
{
    sizer.AutoSizeColumn(0);
    EXPECT_EQ(list.Columns()[0].Width(), Width(QStringLiteral("The longest caption")) + 10);
    sizer.AutoSizeColumn(1);
    EXPECT_EQ(list.Columns()[1].Width(), Width(QStringLiteral("a much longer text")) + 10);
    // A row without that sub-item counts as empty.
    sizer.AutoSizeColumn(2);
    EXPECT_EQ(
        list.Columns()[2].Width(), std::max(Width(QStringLiteral("x")), Width(QStringLiteral("y"))) + 10);
    EXPECT_EQ(list.Columns()[0].Width() > list.Columns()[2].Width(), true);
}

TEST_F(AutoSizeColumnTest, ImagesAndCheckBoxesWidenTheCell)
{
    TImageList images(16, 16);
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    images.Add(picture);
    list.SetSmallImages(&images);
    list.Items()[1].SetImageIndex(0);
    const int caption = Width(QStringLiteral("The longest caption"));
    sizer.AutoSizeColumn(0);
    EXPECT_EQ(list.Columns()[0].Width(), caption + 16 + 10);

    list.SetCheckboxes(true);
    sizer.AutoSizeColumn(0);
    EXPECT_EQ(list.Columns()[0].Width(), caption + 16 + 16 + 10);

    // Check boxes only widen column 0; sub-item images only count with SubImages.
    list.Items()[0].SetSubItemImage(1, 0); // "a much longer text"
    sizer.AutoSizeColumn(1);
    EXPECT_EQ(list.Columns()[1].Width(), Width(QStringLiteral("a much longer text")) + 10);
    list.SetSubImages(true);
    sizer.AutoSizeColumn(1);
    EXPECT_EQ(list.Columns()[1].Width(), Width(QStringLiteral("a much longer text")) + 16 + 10);
    list.SetSmallImages(nullptr);
}

TEST_F(AutoSizeColumnTest, MarkupIsMeasuredAsRenderedAndRichTextByItsPlainText)
{
    list.Items()[0].SubItems()[0] = QStringLiteral("<font color=\"clred\" face=\"Arial\"><b>W</b></font>");
    list.Items()[1].SubItems()[0] = QStringLiteral("<i>ii</i>");
    list.Items()[2].SubItems()[0] = QStringLiteral("tiny");
    sizer.AutoSizeColumn(1);
    const int markup = list.Columns()[1].Width() - 10;
    // The tags are not measured: the widest cell is a single bold letter or "tiny".
    EXPECT_LT(markup, Width(QStringLiteral("<font color=\"clred\" face=\"Arial\"><b>W</b></font>")) / 2);
    EXPECT_GE(markup, Width(QStringLiteral("tiny")));

    list.Items()[2].SubItems()[0] = QStringLiteral("{\\rtf1\\ansi plain rich words}");
    sizer.AutoSizeColumn(1);
    EXPECT_EQ(list.Columns()[1].Width(), Width(QStringLiteral("plain rich words")) + 10);
}

TEST_F(AutoSizeColumnTest, CellFontFromDrawItemPropAppliesToThatCellOnly)
{
    // Row 0 (the shortest caption) is bold; the others keep the list's font.
    list.OnDrawItemProp
        = [](TOrvListView&, int row, int sub, TOwnerDrawState, TBrush&, TFont& font, const QString&) {
              if (sub == -1 && row == 0)
                  font.SetStyle(fsBold);
          };
    sizer.AutoSizeColumn(0);
    const int expected
        = std::max(Width(QStringLiteral("Short"), fsBold), Width(QStringLiteral("The longest caption"))) + 10;
    EXPECT_EQ(list.Columns()[0].Width(), expected);

    // A bold font for the widest cell widens the column.
    list.OnDrawItemProp
        = [](TOrvListView&, int, int sub, TOwnerDrawState, TBrush&, TFont& font, const QString&) {
              if (sub == -1)
                  font.SetStyle(fsBold);
          };
    sizer.AutoSizeColumn(0);
    EXPECT_EQ(list.Columns()[0].Width(), Width(QStringLiteral("The longest caption"), fsBold) + 10);
}

TEST_F(AutoSizeColumnTest, EmptyListsAndBadColumnsKeepTheirWidths)
{
    sizer.AutoSizeColumn(7);
    sizer.AutoSizeColumn(-1);
    EXPECT_EQ(list.Columns()[0].Width(), 50);
    list.Items().Clear();
    sizer.AutoSizeColumns();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list.Columns()[i].Width(), 50);
}

TEST_F(AutoSizeColumnTest, AutoSizeColumnsSizesEveryColumnWithPaintingHeldBack)
{
    list.resize(300, 200);
    list.show();
    bool suspendedWhileMeasuring = true;
    list.OnDrawItemProp
        = [&](TOrvListView& sender, int, int, TOwnerDrawState, TBrush&, TFont&, const QString&) {
              suspendedWhileMeasuring = suspendedWhileMeasuring && sender.PaintSuspended();
          };
    sizer.AutoSizeColumns();
    EXPECT_TRUE(suspendedWhileMeasuring);
    EXPECT_FALSE(list.PaintSuspended());
    EXPECT_EQ(list.Columns()[0].Width(), Width(QStringLiteral("The longest caption")) + 10);
    EXPECT_EQ(list.Columns()[1].Width(), Width(QStringLiteral("a much longer text")) + 10);
    EXPECT_NE(list.Columns()[2].Width(), 50);
}

class SaveColumnSizesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        list.Columns().Add().SetWidth(80);
        list.Columns().Add().SetWidth(120);
    }
    QTemporaryDir dir;
    TOrvListView list;
    TColumnAutoSizer sizer { list };
};

TEST_F(SaveColumnSizesTest, WritesOneEntryPerColumnToTheIniSection)
{
    const QString file = dir.filePath(QStringLiteral("widths.ini"));
    list.ColumnSize().SetSave(true);
    list.ColumnSize().SetKey(file);
    list.ColumnSize().SetSection(QStringLiteral("Cars"));
    list.ColumnSize().SetStorage(stInifile);
    sizer.SaveColumnSizes();
    QSettings ini(file, QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Cars/col0")).toInt(), 80);
    EXPECT_EQ(ini.value(QStringLiteral("Cars/col1")).toInt(), 120);
    EXPECT_FALSE(ini.contains(QStringLiteral("Cars/col2")));
}

TEST_F(SaveColumnSizesTest, NothingIsWrittenWithoutSaveKeyOrSection)
{
    const QString file = dir.filePath(QStringLiteral("none.ini"));
    struct Case {
        const char* name;
        bool save;
        QString key;
        QString section;
    } cases[] = {
        { "save off", false, file, QStringLiteral("S") },
        { "empty section", true, file, QString() },
        { "empty key", true, QString(), QStringLiteral("S") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        list.ColumnSize().SetSave(c.save);
        list.ColumnSize().SetKey(c.key);
        list.ColumnSize().SetSection(c.section);
        sizer.SaveColumnSizes();
        EXPECT_FALSE(QFile::exists(file));
    }
}

TEST_F(SaveColumnSizesTest, UnwritableIniFileRaisesTheListError)
{
    // A folder stands where the file should be: it can never be written.
    const QString file = dir.filePath(QStringLiteral("blocked.ini"));
    ASSERT_TRUE(QDir().mkpath(file));
    list.ColumnSize().SetSave(true);
    list.ColumnSize().SetKey(file);
    list.ColumnSize().SetSection(QStringLiteral("Cars"));
    try {
        sizer.SaveColumnSizes();
        FAIL() << "no error raised";
    } catch (const EOrvListViewError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to ") + file);
    }
}

TEST_F(SaveColumnSizesTest, RegistryStoreKeepsTheWidthsUnderTheSubKey)
{
    const QString key
        = QStringLiteral("Software\\OrvTests\\AutoSize%1").arg(QCoreApplication::applicationPid());
    list.ColumnSize().SetSave(true);
    list.ColumnSize().SetKey(key);
    list.ColumnSize().SetSection(QStringLiteral("Grid"));
    list.ColumnSize().SetStorage(stRegistry);
    sizer.SaveColumnSizes();
    TProfileStore store(key, pkRegistry);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("Grid"), QStringLiteral("col0"), -1), 80);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("Grid"), QStringLiteral("col1"), -1), 120);
    store.EraseSection(QStringLiteral("Grid"));
}

} // namespace
