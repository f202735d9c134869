// Long demo commands: the wait cursor while they work, a progress dialog only when they take
// long, and its Cancel stopping each command without harm.
#include "DemoWindowTest.h"
#include "app/DemoMessages.h"
#include "app/TForm1.h"
#include "app/TProgressFeedback.h"
#include "listview/TOrvListView.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

namespace {

class DemoProgress : public DemoWindowTest {
protected:
    void Prepare(TForm1& f) override
    {
        f.OpenURL = [this](const QString& url) { opened << url; };
    }
    void SetUp() override
    {
        DemoWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        // The clock the commands read: a fixed time, and the cursor seen while they work.
        form->ProgressClock = [this] {
            if (const QCursor* cursor = QApplication::overrideCursor())
                cursorsWhileWorking.push_back(cursor->shape());
            return elapsedMs;
        };
        form->OnProgressDialog = [this](QProgressDialog& dialog) {
            ++dialogsShown;
            dialogVisible = dialog.isVisible();
            dialogModal = dialog.isModal();
            dialogLabel = dialog.labelText();
            if (const QCursor* cursor = QApplication::overrideCursor())
                cursorWithDialog = cursor->shape();
            if (answer)
                answer(dialog);
        };
    }

    // The Sample 1 list with `rows` rows, a text in every column.
    void Fill(int rows)
    {
        TOrvListView& list = *form->OrvListView2;
        list.Items().BeginUpdate();
        list.Items().Clear();
        for (int r = 0; r < rows; ++r) {
            TListItem& item = list.Items().Add();
            item.SetCaption(QStringLiteral("Car %1").arg(r));
            for (int c = 1; c < list.Columns().Count(); ++c)
                item.SubItems() << QStringLiteral("cell %1.%2").arg(r).arg(c);
        }
        list.Items().EndUpdate();
    }
    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        orvtest::WriteBytes(dir.filePath(name), bytes);
    }
    QByteArray ReadFile(const QString& name) { return orvtest::ReadBytes(dir.filePath(name)); }
    QStringList RowTexts()
    {
        QStringList rows;
        TOrvListView& list = *form->OrvListView2;
        for (int r = 0; r < list.Items().Count(); ++r) {
            QStringList cells;
            for (int c = 0; c < list.Columns().Count(); ++c)
                cells << list.Cells(c, r);
            rows << cells.join(u'|');
        }
        return rows;
    }
    static void ClickCancel(QProgressDialog& dialog)
    {
        auto* button = dialog.findChild<QPushButton*>();
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QStringLiteral("Cancel"));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    int DialogsLeft() const { return int(form->findChildren<QProgressDialog*>().size()); }

    QStringList opened;
    qint64 elapsedMs = 0;
    std::vector<Qt::CursorShape> cursorsWhileWorking;
    int dialogsShown = 0;
    bool dialogVisible = false;
    bool dialogModal = false;
    QString dialogLabel;
    std::optional<Qt::CursorShape> cursorWithDialog;
    std::function<void(QProgressDialog&)> answer;
};

TEST_F(DemoProgress, TheDialogAppearsOnlyOnceTheWorkHasRunForHalfASecond)
{
    struct Row {
        qint64 elapsedMs;
        bool dialog;
    };
    for (const Row row : { Row { 0, false }, Row { 499, false }, Row { 500, true }, Row { 60000, true } }) {
        SCOPED_TRACE(row.elapsedMs);
        Fill(300);
        elapsedMs = row.elapsedMs;
        dialogsShown = 0;
        cursorsWhileWorking.clear();
        cursorWithDialog.reset();
        QFile::remove(dir.filePath("test.dat"));
        form->Savetofile1->trigger();

        EXPECT_EQ(dialogsShown, row.dialog ? 1 : 0);
        ASSERT_FALSE(cursorsWhileWorking.empty());
        // The wait cursor as soon as the work runs, dialog or not.
        EXPECT_EQ(cursorsWhileWorking.front(), Qt::WaitCursor);
        if (row.dialog) {
            EXPECT_TRUE(dialogVisible);
            EXPECT_TRUE(dialogModal);
            EXPECT_EQ(dialogLabel, QStringLiteral("Saving test.dat..."));
            EXPECT_EQ(cursorWithDialog, Qt::BusyCursor);
        }
        // Afterwards: no dialog, the normal cursor, the whole file.
        EXPECT_EQ(DialogsLeft(), 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        const QStringList before = RowTexts();
        form->Clear1->trigger();
        form->Loadfromfile1->trigger();
        EXPECT_EQ(RowTexts(), before);
    }
}

TEST_F(DemoProgress, ShortWorkOnTheRealClockShowsNoDialog)
{
    form->ProgressClock = {};
    form->Savetofile1->trigger();
    form->Loadfromfile1->trigger();
    form->SavetoCSV1->trigger();
    form->SavetoHTML1->trigger();
    form->SavetoXML1->trigger();
    form->LoadfromCSV1->trigger();
    EXPECT_EQ(dialogsShown, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("sample.htm")));
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DemoProgress, LongWorkOnTheRealClockShowsTheDialogWhileItWorks)
{
    // No fake clock: the dialog appears because the work truly lasts, its bar moves, and it
    // goes when the work ends.
    form->ProgressClock = {};
    form->ProgressDelayMs = 100;
    Fill(1000);
    std::vector<int> values;
    TOrvListView& list = *form->OrvListView2;
    // The export asks for each cell's look: slow cells make the work last a while.
    list.OnDrawItemProp = [&](TOrvListView&, int, int, int, TBrush&, TFont&, const QString&) {
        QThread::usleep(100);
        if (auto* dialog = form->findChild<QProgressDialog*>()) {
            if (dialog->isVisible() && (values.empty() || values.back() != dialog->value()))
                values.push_back(dialog->value());
        }
    };
    form->SavetoHTML1->trigger();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_GE(values.size(), 2u);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_LT(values.back(), TProgressFeedback::kSteps);
    EXPECT_EQ(DialogsLeft(), 0);
    EXPECT_EQ(opened.size(), 1); // completed, so the page is opened
    EXPECT_EQ(ReadFile("sample.htm").count("<tr>"), 1001);
}

TEST_F(DemoProgress, CancelStopsEverySaveAndLeavesTheOldFile)
{
    struct Command {
        QAction* action;
        const char* file;
    };
    const Command commands[] = {
        { form->Savetofile1, "test.dat" },
        { form->SavetoCSV1, "sample.csv" },
        { form->SavetoHTML1, "sample.htm" },
        { form->SavetoXML1, "test.xml" },
        { form->SavetoXLS1, "sample.xls" },
        { form->SavetoDOC1, "sample.doc" },
    };
    Fill(2000);
    elapsedMs = 1000;
    answer = [](QProgressDialog& dialog) { ClickCancel(dialog); };
    QStringList files { QStringLiteral("cars.csv"), QStringLiteral("test.csv") };
    for (const Command& command : commands) {
        SCOPED_TRACE(command.file);
        const QByteArray old = QByteArray("the file as it was before: ") + command.file;
        WriteFile(command.file, old);
        files << QString::fromLatin1(command.file);
        files.sort();
        dialogsShown = 0;
        messages.clear();
        command.action->trigger();
        EXPECT_EQ(dialogsShown, 1);
        EXPECT_EQ(ReadFile(command.file), old);
        EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
        EXPECT_EQ(DialogsLeft(), 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        // No temporary file is left behind either.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files);
    }
    EXPECT_TRUE(opened.isEmpty()); // a cancelled page is not opened
    EXPECT_EQ(form->OrvListView2->Items().Count(), 2000);
}

TEST_F(DemoProgress, CancelledLoadsLeaveTheListAsItWas)
{
    Fill(2000);
    form->OrvListView2->SetSaveHeader(true);
    form->OrvListView2->SaveToFile(dir.filePath("test.dat"));
    Fill(5);
    form->OrvListView2->Items()[2].SetSelected(true);
    const QStringList before = RowTexts();
    const QString caption = form->OrvListView2->Columns()[0].Caption();
    elapsedMs = 1000;
    answer = [](QProgressDialog& dialog) {
        // Cancelled a moment later, from the dialog's own event loop.
        QTimer::singleShot(0, &dialog, [&dialog] { ClickCancel(dialog); });
    };
    form->Loadfromfile1->trigger();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(RowTexts(), before);
    EXPECT_TRUE(form->OrvListView2->Items()[2].Selected());
    EXPECT_EQ(form->OrvListView2->Columns()[0].Caption(), caption);

    // cars.csv, appended to the rows: nothing appended.
    form->LoadfromCSV1->trigger();
    EXPECT_EQ(dialogsShown, 2);
    EXPECT_EQ(RowTexts(), before);
    EXPECT_EQ(DialogsLeft(), 0);

    // Not cancelled, the same commands do their work.
    answer = {};
    form->LoadfromCSV1->trigger();
    EXPECT_GT(form->OrvListView2->Items().Count(), 5);
    form->Loadfromfile1->trigger();
    EXPECT_EQ(form->OrvListView2->Items().Count(), 2000);
}

TEST_F(DemoProgress, EscapeCancelsLikeTheButton)
{
    Fill(2000);
    WriteFile("sample.csv", "old");
    elapsedMs = 1000;
    answer = [](QProgressDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); };
    form->SavetoCSV1->trigger();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(ReadFile("sample.csv"), "old");
}

TEST_F(DemoProgress, CancelledPrintLeavesNoDocument)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has printers: the set-up dialog would offer them";
    Fill(400);
    WriteFile("sample.pdf", "old");
    elapsedMs = 1000;
    answer = [](QProgressDialog& dialog) { ClickCancel(dialog); };
    // The set-up dialog comes first; it is confirmed as soon as it is up.
    orvtest::AnswerNextModal([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    form->Print1->trigger();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(dialogLabel, QStringLiteral("Printing..."));
    EXPECT_EQ(ReadFile("sample.pdf"), "old");
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
        QStringList(
            { QStringLiteral("cars.csv"), QStringLiteral("sample.pdf"), QStringLiteral("test.csv") }));
}

} // namespace
