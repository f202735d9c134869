// Progress of printing: cells measured and printed, reported at a bounded rate, and a cancel
// that aborts the document.
#include "PrintTestKit.h"
#include "listview/TOrvListView.h"
#include "support/ProgressRecorder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace printtest;
using orvtest::ProgressRecorder;

namespace {

constexpr int kSlowReportMs = int(TProgressMeter::kIntervalMs) + 5;

TEST(PrintProgress, EveryCellIsCountedOnceMeasuredAndOncePrintedAcrossPagesAndBands)
{
    struct Row {
        const char* name;
        int columns;
        int rows;
        bool fixedSize; // nothing to measure
        int pageWidth; // 0.1 mm
    };
    const Row table[] = {
        { "one page", 3, 10, false, 2000 },
        { "many pages", 3, 150, false, 2000 },
        { "bands of columns", 12, 60, false, 600 },
        { "fixed sizes, nothing measured", 4, 150, true, 2000 },
        { "no rows", 3, 0, false, 2000 },
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        TLayoutHarness h(QSize(row.pageWidth, 2800));
        h.source = TTableSource::Grid(row.columns, row.rows);
        h.settings.SetRepeatHeaders(true); // repeated headers are not work of their own
        if (row.fixedSize) {
            h.settings.SetUseFixedWidth(true);
            h.settings.SetFixedWidth(300);
            h.settings.SetUseFixedHeight(true);
            h.settings.SetFixedHeight(40);
        }
        ProgressRecorder recorder;
        recorder.sleepMs = kSlowReportMs;
        recorder.slowReports = 2;
        h.progress = recorder.Callback();
        h.Print();
        const qint64 cells = qint64(row.rows + 1) * row.columns;
        EXPECT_TRUE(recorder.WellFormed(true));
        EXPECT_EQ(recorder.reports.front().first, 0);
        EXPECT_EQ(recorder.reports.back().second, (row.fixedSize ? 1 : 2) * cells);
        if (cells > 2 * TProgressMeter::kStepsPerClockRead) {
            EXPECT_GE(recorder.reports.size(), 3u);
        }
        if (row.columns == 12) {
            EXPECT_GT(h.pageCount, 2); // the bands really split the columns
        }
    }
}

TEST(PrintProgress, ThePreviewReportsNothing)
{
    TLayoutHarness h;
    h.source = TTableSource::Grid(3, 200);
    ProgressRecorder recorder;
    h.progress = recorder.Callback();
    h.Preview(TRect { 0, 0, 400, 560 });
    EXPECT_TRUE(recorder.reports.empty());
}

TEST(PrintProgress, ACancelStopsTheLayoutWhereItWas)
{
    // Cancelled at the first report of the printing pass: exactly the cells counted until then
    // were drawn, and nothing after.
    TLayoutHarness h;
    h.source = TTableSource::Grid(3, 200);
    h.settings.SetRepeatHeaders(false);
    const qint64 measured = qint64(200 + 1) * 3;
    qint64 cancelledAt = -1;
    int reports = 0;
    h.progress = [&](qint64 done, qint64, bool& cancel) {
        ++reports;
        if (done > measured && cancelledAt < 0) {
            cancelledAt = done;
            cancel = true;
        }
        QThread::msleep(kSlowReportMs);
    };
    EXPECT_THROW(h.Print(), EProgressCancelled);
    ASSERT_GT(cancelledAt, measured);
    const QRegularExpression cell(QStringLiteral("^r\\d+c\\d+$"));
    qint64 drawnCells = 0;
    for (const TDrawnText& text : h.Texts())
        drawnCells += cell.match(text.text).hasMatch();
    EXPECT_EQ(drawnCells, cancelledAt - measured - 3); // the caption row is no data cell
    EXPECT_LT(drawnCells, 200 * 3);
}

class ListPrintProgress : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!orvtest::HaveProgram("pdfinfo"))
            GTEST_SKIP() << "poppler-utils are not installed";
        ASSERT_TRUE(dir.isValid());
        list.SetFont(TFont());
        for (const char* caption : { "Car", "Type", "Price" })
            list.Columns().Add().SetCaption(QString::fromLatin1(caption));
        for (int r = 0; r < 300; ++r) {
            TListItem& item = list.Items().Add();
            item.SetCaption(QStringLiteral("Car %1").arg(r));
            item.SubItems() << QStringLiteral("Type %1").arg(r) << QString::number(r * 10);
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("list.pdf"));
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir dir;
    TOrvListView list;
    QPrinter printer { QPrinter::HighResolution };
};

TEST_F(ListPrintProgress, TheListReportsEveryCellAndNamesItselfAsSender)
{
    ProgressRecorder recorder;
    recorder.sleepMs = kSlowReportMs;
    recorder.slowReports = 2;
    int foreign = 0;
    list.OnProgress = [&](TOrvListView& sender, qint64 done, qint64 total, bool& cancel) {
        foreign += &sender != &list;
        recorder.Hear(done, total, cancel);
    };
    list.Print(printer);
    EXPECT_EQ(foreign, 0);
    EXPECT_TRUE(recorder.WellFormed(true));
    EXPECT_EQ(recorder.reports.back().second, 2 * 301 * 3);
    EXPECT_GE(recorder.reports.size(), 3u);
    const QString pages = QString::fromUtf8(orvtest::RunProgram("pdfinfo", { dir.filePath("list.pdf") }));
    EXPECT_TRUE(pages.contains(QRegularExpression("Pages:\\s+[1-9]")));
}

TEST_F(ListPrintProgress, ACancelledPrintLeavesTheOldFileAndReturnsQuietly)
{
    for (int cancelAt : { 0, 2 }) {
        SCOPED_TRACE(cancelAt);
        QFile old(dir.filePath("list.pdf"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("the previous document");
        old.close();
        ProgressRecorder recorder;
        recorder.sleepMs = kSlowReportMs;
        recorder.cancelAt = cancelAt;
        list.OnProgress = [&](TOrvListView&, qint64 done, qint64 total, bool& cancel) {
            recorder.Hear(done, total, cancel);
        };
        EXPECT_NO_THROW(list.Print(printer));
        EXPECT_EQ(int(recorder.reports.size()), cancelAt + 1);
        QFile after(dir.filePath("list.pdf"));
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), QByteArray("the previous document"));
        EXPECT_EQ(Files(), QStringList { QStringLiteral("list.pdf") }); // no spool file left
    }
    // Without a cancel the same printer prints again.
    list.OnProgress = {};
    list.Print(printer);
    QFile printed(dir.filePath("list.pdf"));
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.readAll().startsWith("%PDF"));
}

} // namespace
