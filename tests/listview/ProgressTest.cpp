// OnProgress of the list: raised by every load, save and export with the list as sender, and a
// cancelled load that leaves the list exactly as it was (rows, columns, delimiter, selection,
// images), never showing a half-read file meanwhile.
#include "listview/TOrvListView.h"
#include "support/ProgressRecorder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using orvtest::ProgressRecorder;

namespace {

constexpr int kSlowReportMs = int(TProgressMeter::kIntervalMs) + 5;

// What a user could tell apart in a list.
struct TSnapshot {
    QStringList captions;
    std::vector<int> widths;
    std::vector<TAlignment> alignments;
    QStringList rows; // cells joined, with check, selection, focus and images
    QChar delimiter;
    bool subImages = false;

    static TSnapshot Of(const TOrvListView& list)
    {
        TSnapshot s;
        for (int c = 0; c < list.Columns().Count(); ++c) {
            s.captions << list.Columns()[c].Caption();
            s.widths.push_back(list.Columns()[c].Width());
            s.alignments.push_back(list.Columns()[c].Alignment());
        }
        for (int r = 0; r < list.Items().Count(); ++r) {
            const TListItem& item = list.Items()[r];
            QString row = item.Caption() + u'|' + item.SubItems().join(u'|');
            row += QStringLiteral(" check=%1 sel=%2 focus=%3 image=%4 sub1=%5")
                       .arg(item.Checked())
                       .arg(item.Selected())
                       .arg(item.Focused())
                       .arg(item.ImageIndex())
                       .arg(item.SubItemImage(1));
            s.rows << row;
        }
        s.delimiter = list.Delimiter();
        s.subImages = list.SubImages();
        return s;
    }
    bool operator==(const TSnapshot&) const = default;
};

class ListProgress : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // The file: 200 rows of four fields, written by a list of its own.
        TOrvListView source;
        for (const char* caption : { "Name", "Kind", "Price", "Note" })
            source.Columns().Add().SetCaption(QString::fromLatin1(caption));
        for (int r = 0; r < 200; ++r) {
            TListItem& item = source.Items().Add();
            item.SetCaption(QStringLiteral("file row %1").arg(r));
            item.SubItems() << QStringLiteral("kind %1").arg(r % 5) << QString::number(r)
                            << QStringLiteral("n");
        }
        source.SetDelimiter(u';');
        source.SetSaveHeader(true);
        source.SaveToCSV(Path("list.csv"));
        source.SaveToFile(Path("list.dat"));

        // The list as the user has it: other columns, a few rows with state.
        list.Columns().Add().SetCaption(QStringLiteral("Mine"));
        list.Columns().Add().SetCaption(QStringLiteral("Other"));
        list.Columns()[1].SetWidth(77);
        list.Columns()[1].SetAlignment(taRightJustify);
        for (int r = 0; r < 5; ++r) {
            TListItem& item = list.Items().Add();
            item.SetCaption(QStringLiteral("mine %1").arg(r));
            item.SubItems() << QStringLiteral("x%1").arg(r);
            item.SetImageIndex(r);
        }
        list.Items()[1].SetChecked(true);
        list.Items()[2].SetSelected(true);
        list.Items()[3].SetFocused(true);
        list.SetSubImages(true);
        list.SetSubItemImage(4, 0, 2);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    TOrvListView list;
};

TEST_F(ListProgress, ACancelledLoadLeavesTheListAsItWasAndNeverShowsHalfAFile)
{
    struct Load {
        const char* name;
        bool loadHeader;
        std::function<void(TOrvListView&)> run;
    };
    const Load loads[] = {
        { "csv with header", true, [this](TOrvListView& l) { l.LoadFromCSV(Path("list.csv")); } },
        { "csv appended", false, [this](TOrvListView& l) { l.LoadFromCSV(Path("list.csv")); } },
        { "native file", true, [this](TOrvListView& l) { l.LoadFromFile(Path("list.dat")); } },
    };
    for (const Load& load : loads) {
        for (int cancelAt : { 0, 1, 3 }) {
            SCOPED_TRACE(std::string(load.name) + " cancelled at report " + std::to_string(cancelAt));
            list.SetLoadHeader(load.loadHeader);
            list.SetDelimiter(QChar()); // detected by a load that completes
            const TSnapshot before = TSnapshot::Of(list);
            ProgressRecorder recorder;
            recorder.sleepMs = kSlowReportMs;
            recorder.cancelAt = cancelAt;
            int changedMeanwhile = 0;
            list.OnProgress = [&](TOrvListView& sender, qint64 done, qint64 total, bool& cancel) {
                EXPECT_EQ(&sender, &list);
                changedMeanwhile += !(TSnapshot::Of(list) == before);
                recorder.Hear(done, total, cancel);
            };
            EXPECT_NO_THROW(load.run(list));
            EXPECT_EQ(int(recorder.reports.size()), cancelAt + 1);
            EXPECT_TRUE(recorder.WellFormed(false));
            EXPECT_EQ(changedMeanwhile, 0);
            const TSnapshot after = TSnapshot::Of(list);
            EXPECT_EQ(after.rows, before.rows);
            EXPECT_EQ(after.captions, before.captions);
            EXPECT_EQ(after.widths, before.widths);
            EXPECT_EQ(after.alignments, before.alignments);
            EXPECT_EQ(after.delimiter, before.delimiter);
            EXPECT_EQ(after.subImages, before.subImages);
            EXPECT_FALSE(list.Items().Updating());
            EXPECT_EQ(list.Items().SelectedCount(), 1);
            EXPECT_EQ(list.Items().Focused(), list.Items().Item(3));
        }
    }
}

TEST_F(ListProgress, CompletedLoadsReportToTheEndAndDoWhatTheyDidWithout)
{
    // Appending: the file's rows follow the list's own, which keep their state; the file's four
    // fields add the columns the list lacked.
    list.SetLoadHeader(false);
    ProgressRecorder recorder;
    recorder.sleepMs = kSlowReportMs;
    list.OnProgress
        = [&](TOrvListView&, qint64 done, qint64 total, bool& cancel) { recorder.Hear(done, total, cancel); };
    list.LoadFromCSV(Path("list.csv"));
    EXPECT_TRUE(recorder.WellFormed(true));
    EXPECT_GE(recorder.reports.size(), 3u);
    EXPECT_EQ(recorder.reports.back().second, 2 * QFileInfo(Path("list.csv")).size());
    recorder.sleepMs = 0; // enough reports heard; the loads below run at full speed
    EXPECT_EQ(list.Delimiter(), QChar(u';'));
    ASSERT_EQ(list.Items().Count(), 5 + 201); // the caption line is a row when appending
    EXPECT_EQ(list.Cells(0, 0), QStringLiteral("mine 0"));
    EXPECT_TRUE(list.Items()[1].Checked());
    EXPECT_TRUE(list.Items()[2].Selected());
    EXPECT_TRUE(list.Items()[3].Focused());
    EXPECT_EQ(list.GetSubItemImage(4, 0), 2);
    EXPECT_EQ(list.Cells(0, 5), QStringLiteral("Name"));
    EXPECT_EQ(list.Cells(3, 205), QStringLiteral("n"));
    EXPECT_EQ(list.Columns().Count(), 4);
    EXPECT_EQ(list.Columns()[1].Caption(), QStringLiteral("Other"));
    EXPECT_EQ(list.Columns()[1].Width(), 77);

    // With the header: the file's captions and rows replace the list's.
    list.SetLoadHeader(true);
    list.LoadFromCSV(Path("list.csv"));
    ASSERT_EQ(list.Items().Count(), 200);
    EXPECT_EQ(list.Columns()[1].Caption(), QStringLiteral("Kind"));
    EXPECT_EQ(list.Columns()[1].Alignment(), taLeftJustify); // a new column
    EXPECT_EQ(list.Items().SelectedCount(), 0);
    EXPECT_EQ(list.Items().Focused(), nullptr);

    // The native file replaces the rows and brings its widths and captions.
    list.Columns()[2].SetWidth(123);
    list.LoadFromFile(Path("list.dat"));
    ASSERT_EQ(list.Items().Count(), 200);
    EXPECT_EQ(list.Cells(2, 199), QStringLiteral("199"));
    EXPECT_EQ(list.Columns()[2].Width(), 50);
}

TEST_F(ListProgress, EverySaveRaisesTheEventAndACancelLeavesTheOldFile)
{
    struct Save {
        const char* file;
        std::function<void(TOrvListView&, const QString&)> run;
    };
    const Save saves[] = {
        { "a.csv", [](TOrvListView& l, const QString& f) { l.SaveToCSV(f); } },
        { "a.dat", [](TOrvListView& l, const QString& f) { l.SaveToFile(f); } },
        { "a.htm", [](TOrvListView& l, const QString& f) { l.SaveToHTML(f); } },
        { "a.xml", [](TOrvListView& l, const QString& f) { l.SaveToXML(f, "L", "R", {}); } },
        { "a.xls", [](TOrvListView& l, const QString& f) { l.SaveToXLS(f); } },
        { "a.doc", [](TOrvListView& l, const QString& f) { l.SaveToDOC(f); } },
    };
    list.SetLoadHeader(true);
    list.LoadFromCSV(Path("list.csv"));
    for (const Save& save : saves) {
        SCOPED_TRACE(save.file);
        const QString path = dir.filePath(QString::fromLatin1(save.file));
        ProgressRecorder complete;
        complete.sleepMs = kSlowReportMs;
        complete.slowReports = 2; // three reports at least, then full speed
        list.OnProgress = [&](TOrvListView& sender, qint64 done, qint64 total, bool& cancel) {
            EXPECT_EQ(&sender, &list);
            complete.Hear(done, total, cancel);
        };
        save.run(list, path);
        EXPECT_TRUE(complete.WellFormed(true));
        EXPECT_GE(complete.reports.size(), 3u);
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        written.close();
        EXPECT_GT(bytes.size(), 200);

        ProgressRecorder cancelled;
        cancelled.sleepMs = kSlowReportMs;
        cancelled.cancelAt = 1;
        list.OnProgress = [&](TOrvListView&, qint64 done, qint64 total, bool& cancel) {
            cancelled.Hear(done, total, cancel);
        };
        QFile::remove(path);
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        EXPECT_NO_THROW(save.run(list, path));
        EXPECT_EQ(cancelled.reports.size(), 2u);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("old"));
        old.close();
        QFile::remove(path);
    }
    // Nothing but the two source files is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
        QStringList({ QStringLiteral("list.csv"), QStringLiteral("list.dat") }));
}

TEST_F(ListProgress, AHandlerRemovedBetweenReportsIsNotCalledAgain)
{
    // The application may drop its handler at any time, from another event for instance.
    list.SetLoadHeader(true);
    list.LoadFromFile(Path("list.dat"));
    int calls = 0;
    list.OnProgress = [&](TOrvListView&, qint64, qint64, bool&) {
        ++calls;
        QThread::msleep(kSlowReportMs);
    };
    list.OnDrawItemProp = [&](TOrvListView& sender, int, int, int, TBrush&, TFont&, const QString&) {
        if (calls > 0)
            sender.OnProgress = {};
    };
    list.SaveToHTML(Path("a.htm"));
    EXPECT_EQ(calls, 1);
    QFile html(Path("a.htm"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_EQ(html.readAll().count("<tr>"), 201);
}

} // namespace
