// Progress of the file loads, saves and exports: what they report, that reporting changes nothing
// they write or read, and what a cancel leaves behind.
#include "ExchangeTestUtil.h"
#include "exchange/CsvFiles.h"
#include "exchange/HTMLExport.h"
#include "exchange/NativeListFiles.h"
#include "exchange/OfficeExport.h"
#include "exchange/XMLExport.h"
#include "support/ProgressRecorder.h"

#include <QDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace exchangetest;
using orvtest::ProgressRecorder;

namespace {

// Each report of the recorder below lasts longer than the meter's interval, so a few dozen rows
// give several reports and a cancel can come half-way.
constexpr int kSlowReportMs = int(TProgressMeter::kIntervalMs) + 5;
constexpr int kRows = 100; // more than a few clock reads' worth of rows

void FillModel(TModel& model, int rows)
{
    model.Reset({ "Car", "Type", "Price" }, {});
    for (int r = 0; r < rows; ++r)
        model.AddRow({ QStringLiteral("Car %1").arg(r), QStringLiteral("Type, %1").arg(r % 7),
            QStringLiteral("%1").arg(r * 1000) });
}

struct TSave {
    const char* name;
    const char* file;
    std::function<void(const TModel&, const QString&, const TProgressCallback&)> save;
};

THTMLSettings& Settings()
{
    static THTMLSettings settings;
    return settings;
}

const std::vector<TSave>& Saves()
{
    static const std::vector<TSave> saves {
        { "csv", "list.csv",
            [](const TModel& m, const QString& f, const TProgressCallback& p) {
                SaveListToCSV(m.columns, m.items, QChar(u';'), true, f, p);
            } },
        { "native", "list.dat",
            [](const TModel& m, const QString& f, const TProgressCallback& p) {
                SaveListToFile(m.columns, m.items, true, true, f, p);
            } },
        { "html", "list.htm",
            [](const TModel& m, const QString& f, const TProgressCallback& p) {
                SaveListToHTML(
                    THTMLExportContext { m.columns, m.items, Settings(), false, false, {}, {} }, f, p);
            } },
        { "xml", "list.xml",
            [](const TModel& m, const QString& f, const TProgressCallback& p) {
                SaveListToXML(m.columns, m.items, f, "LIST", "ROW", { "A", "B" }, p);
            } },
        { "xls", "list.xls",
            [](const TModel& m, const QString& f, const TProgressCallback& p) {
                SaveListToXLS(m.columns, m.items, f, p);
            } },
        { "doc", "list.doc",
            [](const TModel& m, const QString& f, const TProgressCallback& p) {
                SaveListToDOC(m.columns, m.items, f, p);
            } },
    };
    return saves;
}

QStringList FilesIn(const TempFolder& folder)
{
    return QDir(folder.Path(QString())).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(ExchangeProgress, EverySaveReportsFromNoneToAllAndWritesWhatItWritesWithout)
{
    TModel model;
    FillModel(model, kRows);
    for (const TSave& save : Saves()) {
        SCOPED_TRACE(save.name);
        TempFolder folder;
        save.save(model, folder.Path("quiet"), {});
        ProgressRecorder recorder;
        recorder.sleepMs = kSlowReportMs;
        recorder.slowReports = 2;
        save.save(model, folder.Path(save.file), recorder.Callback());
        EXPECT_TRUE(recorder.WellFormed(true));
        ASSERT_GE(recorder.reports.size(), 3u); // the start, at least one in between, the end
        EXPECT_EQ(recorder.reports.front().first, 0);
        EXPECT_GT(recorder.reports[1].first, 0);
        EXPECT_LT(recorder.reports[1].first, recorder.reports.back().first);
        // Office documents carry a time stamp; the text files must match to the byte.
        if (QByteArray("csv native html xml").contains(save.name))
            EXPECT_EQ(ReadBytes(folder.Path(save.file)), ReadBytes(folder.Path("quiet")));
        else
            EXPECT_GT(ReadBytes(folder.Path(save.file)).size(), 0);
    }
}

TEST(ExchangeProgress, ACancelledSaveLeavesTheOldFileAndNothingElse)
{
    TModel model;
    FillModel(model, kRows);
    for (const TSave& save : Saves()) {
        for (int cancelAt : { 0, 1 }) {
            SCOPED_TRACE(std::string(save.name) + " cancelled at report " + std::to_string(cancelAt));
            TempFolder folder;
            const QByteArray old = "the previous contents\r\n";
            folder.Write(save.file, old);
            ProgressRecorder recorder;
            recorder.sleepMs = kSlowReportMs;
            recorder.cancelAt = cancelAt;
            EXPECT_THROW(save.save(model, folder.Path(save.file), recorder.Callback()), EProgressCancelled);
            EXPECT_EQ(int(recorder.reports.size()), cancelAt + 1); // nothing heard after the cancel
            EXPECT_EQ(ReadBytes(folder.Path(save.file)), old);
            EXPECT_EQ(FilesIn(folder), QStringList { QString::fromLatin1(save.file) });

            // Without a previous file, none appears.
            TempFolder empty;
            ProgressRecorder again;
            again.sleepMs = kSlowReportMs;
            again.cancelAt = cancelAt;
            EXPECT_THROW(save.save(model, empty.Path(save.file), again.Callback()), EProgressCancelled);
            EXPECT_TRUE(FilesIn(empty).isEmpty()) << FilesIn(empty).join(u' ').toStdString();
        }
    }
}

TEST(ExchangeProgress, LoadsReportTheBytesReadAndReadWhatTheyReadWithout)
{
    TModel model;
    FillModel(model, kRows);
    TempFolder folder;
    SaveListToCSV(model.columns, model.items, QChar(u';'), true, folder.Path("list.csv"));
    SaveListToFile(model.columns, model.items, false, true, folder.Path("list.dat"));
    const qint64 csvBytes = ReadBytes(folder.Path("list.csv")).size();
    const qint64 datBytes = ReadBytes(folder.Path("list.dat")).size();

    {
        TModel quiet, heard;
        QChar d1, d2;
        LoadListFromCSV(quiet.columns, quiet.items, d1, true, folder.Path("list.csv"));
        ProgressRecorder recorder;
        recorder.sleepMs = kSlowReportMs;
        recorder.slowReports = 2;
        LoadListFromCSV(heard.columns, heard.items, d2, true, folder.Path("list.csv"), recorder.Callback());
        EXPECT_TRUE(recorder.WellFormed(true));
        EXPECT_GE(recorder.reports.size(), 3u);
        // The bytes twice: checked for the number of fields, then read into rows.
        EXPECT_EQ(recorder.reports.back().second, 2 * csvBytes);
        EXPECT_EQ(d2, d1);
        EXPECT_EQ(heard.Captions(), quiet.Captions());
        ASSERT_EQ(heard.items.Count(), kRows);
        for (int r = 0; r < kRows; ++r)
            ASSERT_EQ(S(heard.Row(r)), S(quiet.Row(r))) << r;
    }
    {
        TModel quiet, heard;
        bool images1 = false, images2 = false;
        LoadListFromFile(quiet.columns, quiet.items, images1, true, folder.Path("list.dat"));
        ProgressRecorder recorder;
        recorder.sleepMs = kSlowReportMs;
        recorder.slowReports = 2;
        LoadListFromFile(
            heard.columns, heard.items, images2, true, folder.Path("list.dat"), recorder.Callback());
        EXPECT_TRUE(recorder.WellFormed(true));
        EXPECT_GE(recorder.reports.size(), 3u);
        // Three passes: the budget check, the empty rows, the cells.
        EXPECT_EQ(recorder.reports.back().second, 3 * datBytes);
        EXPECT_EQ(heard.Captions(), quiet.Captions());
        ASSERT_EQ(heard.items.Count(), kRows);
        for (int r = 0; r < kRows; ++r)
            ASSERT_EQ(S(heard.Row(r)), S(quiet.Row(r))) << r;
    }
}

TEST(ExchangeProgress, ACancelledLoadStopsWhereItWas)
{
    TModel model;
    FillModel(model, kRows);
    TempFolder folder;
    SaveListToCSV(model.columns, model.items, QChar(u';'), false, folder.Path("list.csv"));
    const QByteArray bytes = ReadBytes(folder.Path("list.csv"));
    const qint64 size = bytes.size();
    // Cancelled at the first report of the reading pass: the model holds exactly the lines of the
    // bytes that report counted as read, and the reader stopped there.
    for (bool inCheck : { true, false }) {
        SCOPED_TRACE(inCheck ? "cancelled while fields are counted" : "cancelled while rows are read");
        qint64 cancelledAt = -1;
        TModel target;
        QChar d;
        const TProgressCallback cancelLate = [&](qint64 done, qint64 total, bool& cancel) {
            EXPECT_EQ(total, 2 * size);
            if (cancelledAt < 0 && (inCheck ? done > 0 : done > size)) {
                cancelledAt = done;
                cancel = true;
            }
            QThread::msleep(kSlowReportMs);
        };
        EXPECT_THROW(
            LoadListFromCSV(target.columns, target.items, d, false, folder.Path("list.csv"), cancelLate),
            EProgressCancelled);
        ASSERT_GT(cancelledAt, 0);
        const qint64 linesRead = inCheck ? 0 : bytes.left(cancelledAt - size).count('\n');
        EXPECT_EQ(target.items.Count(), linesRead);
        EXPECT_LT(target.items.Count(), kRows);
        EXPECT_FALSE(target.items.Updating()); // its update bracket closed on the way out
        if (linesRead > 0) {
            EXPECT_EQ(S(target.Row(int(linesRead) - 1)), S(model.Row(int(linesRead) - 1)));
        }
    }

    TModel native;
    bool images = false;
    SaveListToFile(model.columns, model.items, false, false, folder.Path("list.dat"));
    for (int cancelAt : { 0, 1, 4 }) {
        ProgressRecorder nativeRecorder;
        nativeRecorder.sleepMs = kSlowReportMs;
        nativeRecorder.cancelAt = cancelAt;
        EXPECT_THROW(LoadListFromFile(native.columns, native.items, images, false, folder.Path("list.dat"),
                         nativeRecorder.Callback()),
            EProgressCancelled);
        EXPECT_EQ(int(nativeRecorder.reports.size()), cancelAt + 1);
        EXPECT_FALSE(native.items.Updating());
    }
}

TEST(ExchangeProgress, NothingToWriteReportsNothing)
{
    // A list without rows writes no CSV or HTML file: no work, no report.
    TModel empty({ "A" }, {});
    TempFolder folder;
    ProgressRecorder recorder;
    SaveListToCSV(empty.columns, empty.items, QChar(), false, folder.Path("a.csv"), recorder.Callback());
    SaveListToHTML(THTMLExportContext { empty.columns, empty.items, Settings(), false, false, {}, {} },
        folder.Path("a.htm"), recorder.Callback());
    EXPECT_TRUE(recorder.reports.empty());
    // The native file is written even then: it starts and ends at once.
    SaveListToFile(empty.columns, empty.items, false, false, folder.Path("a.dat"), recorder.Callback());
    const std::vector<std::pair<qint64, qint64>> expected { { 0, 0 } };
    EXPECT_EQ(recorder.reports, expected);
}
