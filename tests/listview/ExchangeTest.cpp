// The list's CSV exchange through TOrvListView: wide files in a shown list, and refused files
// that leave the list as it was.
#include "platform/OrvExceptions.h"
#include "listview/TOrvListView.h"
#include "platform/THeaderControl.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

TEST(ListExchange, WideCsvFileLoadsIntoAShownListQuickly)
{
    TOrvListView list;
    list.resize(600, 300);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.SetLoadHeader(true);
    // 16,000 columns: each one is added in constant time and the view is laid out once at the
    // end of the load. The limit is far above the expected time so that it never flakes.
    QElapsedTimer timer;
    timer.start();
    list.LoadFromCSV(QStringLiteral(ORV_TEST_DATA_DIR "/exchange/csv/wide_16000_python.csv"));
    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_EQ(list.Columns().Count(), 16000);
    EXPECT_EQ(list.Delimiter(), QChar(u','));
    EXPECT_EQ(list.Cells(15999, -1), QStringLiteral("c15999"));
    EXPECT_EQ(list.Cells(15999, 0), QStringLiteral("111993"));
    EXPECT_EQ(list.Header().SectionRect(15999).right, list.ContentWidth());
    EXPECT_FALSE(list.Items().Updating());
}

TEST(ListExchange, OverlongCsvLineIsReportedAndTheListStays)
{
    TOrvListView list;
    list.Columns().Add().SetCaption(QStringLiteral("Keep"));
    list.Items().Add().SetCaption(QStringLiteral("row"));
    list.SetLoadHeader(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.csv"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("a,b\n");
        f.write(QByteArray(20000, ','));
        f.write("x\n");
    }
    try {
        list.LoadFromCSV(path);
        ADD_FAILURE() << "no error";
    } catch (const EOrvListViewError& e) {
        EXPECT_EQ(e.Message(), "Line 2 of " + path + " has 20001 fields; a list takes at most 16384");
    }
    EXPECT_FALSE(list.Items().Updating());
    ASSERT_EQ(list.Columns().Count(), 1);
    EXPECT_EQ(list.Cells(0, -1), QStringLiteral("Keep"));
    ASSERT_EQ(list.Items().Count(), 1);
    EXPECT_EQ(list.Cells(0, 0), QStringLiteral("row"));
    EXPECT_TRUE(list.Delimiter().isNull());
}
