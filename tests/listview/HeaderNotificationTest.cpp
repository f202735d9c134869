// The list's own painting and header behaviour: rows and sections drawn by the list itself,
// the sort indicator kept through divider drags and resizes, owner drawing re-applied after
// the platform resets section formats, autosizing and the widths saved at destruction.
#include "platform/OrvExceptions.h"
#include "listview/TOrvListView.h"
#include "platform/THeaderControl.h"
#include "platform/TImageList.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Reaches the header notifications the platform raises during a divider drag.
class TTrackedList : public TOrvListView {
public:
    using TOrvListView::HeaderBeginTrack;
    using TOrvListView::HeaderDividerDblClick;
    using TOrvListView::HeaderEndTrack;
    using TOrvListView::HeaderItemChanged;
};

QImage Solid(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

class HeaderNotificationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* caption : { "Car", "Type", "Price" })
            list.Columns().Add().SetCaption(QString::fromLatin1(caption));
        for (int i = 0; i < 3; ++i)
            list.Columns()[i].SetWidth(100);
        for (const char* car : { "Volvo", "Audi", "BMW" }) {
            TListItem& item = list.Items().Add();
            item.SetCaption(QString::fromLatin1(car));
            item.SubItems() << QStringLiteral("sedan") << QStringLiteral("1");
        }
        list.resize(360, 200);
        list.show();
        images.Add(Solid(16, 16, Qt::red));
        images.Add(Solid(16, 16, Qt::green));
    }

    TTrackedList list;
    TImageList images { 16, 16 };
};

TEST_F(HeaderNotificationTest, EndTrackKeepsTheIndicatorOnTheSortedColumnOnly)
{
    list.SetHeaderOwnerDraw(false);
    list.SetHeaderImages(&images);
    list.SetSortShow(true);
    list.SortByColumn(0);
    std::vector<int> sized;
    list.OnColumnSized = [&](TOrvListView&, int column) { sized.push_back(column); };

    list.Header().SetImageIndex(1, 1); // a stray indicator on another column
    ASSERT_TRUE(list.HeaderBeginTrack(1));
    list.HeaderEndTrack(1);
    EXPECT_EQ(list.Header().ImageIndex(1), -1);
    EXPECT_EQ(list.Header().Format(1) & HDF_IMAGE, 0u);

    ASSERT_TRUE(list.HeaderBeginTrack(0));
    list.HeaderEndTrack(0);
    EXPECT_EQ(list.Header().ImageIndex(0), 0); // ascending
    EXPECT_NE(list.Header().Format(0) & HDF_IMAGE, 0u);
    EXPECT_EQ(sized, (std::vector<int> { 1, 0 }));
    list.SetHeaderImages(nullptr);
}

TEST_F(HeaderNotificationTest, OwnerDrawIsReappliedUnlessADividerIsDragged)
{
    ASSERT_TRUE(list.HeaderOwnerDraw());
    list.Header().SetFormat(2, HDF_STRING);
    list.HeaderItemChanged(2);
    EXPECT_EQ(list.Header().Format(2), unsigned(HDF_OWNERDRAW));

    ASSERT_TRUE(list.HeaderBeginTrack(2));
    list.Header().SetFormat(2, HDF_STRING);
    list.HeaderItemChanged(2);
    EXPECT_EQ(list.Header().Format(2), unsigned(HDF_STRING)); // still tracking
    list.HeaderEndTrack(2);
    EXPECT_EQ(list.Header().Format(2), unsigned(HDF_OWNERDRAW));

    list.Header().SetFormat(0, HDF_STRING);
    list.HeaderDividerDblClick(0);
    EXPECT_EQ(list.Header().Format(0), unsigned(HDF_OWNERDRAW));
}

TEST_F(HeaderNotificationTest, ResizeRestoresTheBitmapIndicator)
{
    list.SetHeaderOwnerDraw(false);
    list.SetSortUpGlyph(TBitmap(Solid(8, 8, Qt::blue)));
    list.SetSortDownGlyph(TBitmap(Solid(8, 8, Qt::yellow)));
    list.SetSortShow(true);
    list.SortByColumn(1);
    list.Header().SetFormat(1, HDF_STRING);
    list.resize(380, 220);
    QApplication::processEvents();
    EXPECT_NE(list.Header().Format(1) & HDF_BITMAP, 0u);
}

TEST_F(HeaderNotificationTest, TheListPaintsItsRowsAndSectionsItself)
{
    list.SetCheckboxes(true);
    list.SetItemHeight(20);
    list.SetSortShow(true);
    list.SetHeaderImages(&images);
    list.SortByColumn(0);
    QApplication::processEvents();

    QImage rows(list.viewport()->size(), QImage::Format_RGB32);
    list.viewport()->render(&rows);
    // The flat check box frame at 2 pixels from the left of the first row.
    EXPECT_EQ(rows.pixel(2, 10), ToQColor(clBtnShadow).rgb());
    EXPECT_EQ(rows.pixel(15, 10), ToQColor(clBtnShadow).rgb());

    const QImage header = list.Header().grab().toImage();
    // Ascending: image 0 (red) at the left of the sorted section only.
    EXPECT_GT(orvtest::CountPixels(header, QRect(0, 0, 24, header.height()), Qt::red, 10), 20);
    EXPECT_EQ(orvtest::CountPixels(header, QRect(100, 0, 200, header.height()), Qt::red, 10), 0);
    list.SetHeaderImages(nullptr);
}

TEST_F(HeaderNotificationTest, AutoSizeColumnsFitsTheCellsAndDestructionSavesTheWidths)
{
    list.AutoSizeColumns();
    TCanvas& canvas = list.DrawingCanvas();
    canvas.SetFont(list.Font());
    int widest = 0;
    for (const char* car : { "Volvo", "Audi", "BMW" })
        widest = std::max(widest, canvas.TextWidth(QString::fromLatin1(car)));
    EXPECT_EQ(list.Columns()[0].Width(), widest + 10);
    EXPECT_EQ(list.Columns()[1].Width(), canvas.TextWidth(QStringLiteral("sedan")) + 10);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sizes.ini"));
    {
        TOrvListView saved;
        saved.Columns().Add().SetWidth(80);
        saved.Columns().Add().SetWidth(120);
        saved.ColumnSize().SetSave(true);
        saved.ColumnSize().SetKey(file);
        saved.ColumnSize().SetSection(QStringLiteral("List"));
    }
    QSettings ini(file, QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("List/col0")).toInt(), 80);
    EXPECT_EQ(ini.value(QStringLiteral("List/col1")).toInt(), 120);

    // An unwritable store must not take the program down from a destructor.
    const QString blocked = dir.filePath(QStringLiteral("blocked.ini"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    {
        TOrvListView lost;
        lost.Columns().Add().SetWidth(80);
        lost.ColumnSize().SetSave(true);
        lost.ColumnSize().SetKey(blocked);
        lost.ColumnSize().SetSection(QStringLiteral("List"));
        EXPECT_THROW(lost.SaveColumnSizes(), EOrvListViewError);
    }
}

} // namespace
