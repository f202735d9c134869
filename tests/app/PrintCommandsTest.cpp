// The demo's print commands: the "Printing" options, "Preview", "Print" with the printer set-up
// dialog, "Print font", and the command-line outputs --print-pdf and --preview-png.
#include "app/DemoMessages.h"
#include "app/TForm1.h"
#include "DemoWindowTest.h"
#include "listview/TOrvListView.h"
#include "printing/TPreview.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class PrintCommands : public DemoWindowTest {
protected:
    static QString PdfText(const QString& path)
    {
        return QString::fromUtf8(orvtest::RunProgram("pdftotext", { "-layout", path, "-" }));
    }

};

TEST_F(PrintCommands, OptionsReachThePrintSettingsOnlyThroughApplyPrintOptions)
{
    TForm1& f = *form;
    TPrintsettings& s = f.OrvListView2->PrintSettings();
    // Start-up: date, time, page numbers and borders checked; the stored values until applied.
    EXPECT_EQ(s.Time(), ppNone);
    EXPECT_EQ(s.TitleText(), "This is a test");
    f.ApplyPrintOptions();
    EXPECT_EQ(s.Time(), ppTopLeft);
    EXPECT_EQ(s.Date(), ppTopRight);
    EXPECT_EQ(s.PageNr(), ppBottomCenter);
    EXPECT_EQ(s.Borders(), pbSingle);
    EXPECT_EQ(s.FitToPage(), fpNever);
    EXPECT_FALSE(s.Centered());
    EXPECT_EQ(s.Title(), ppNone);
    EXPECT_EQ(s.PagePrefix(), "page");

    for (QCheckBox* box : { f.CheckBox1, f.CheckBox2, f.CheckBox3, f.CheckBox4, f.CheckBox5, f.CheckBox6 })
        box->setChecked(!box->isChecked());
    f.Edit2->setText("My cars");
    EXPECT_EQ(s.TitleText(), "");
    f.ApplyPrintOptions();
    EXPECT_EQ(s.Time(), ppNone);
    EXPECT_EQ(s.Date(), ppNone);
    EXPECT_EQ(s.PageNr(), ppNone);
    EXPECT_EQ(s.Borders(), pbNoborder);
    EXPECT_EQ(s.FitToPage(), fpAlways);
    EXPECT_TRUE(s.Centered());
    EXPECT_EQ(s.TitleText(), "My cars");
    EXPECT_EQ(s.Title(), ppTopCenter);

    // Date alone off keeps the time, and the reverse.
    f.CheckBox1->setChecked(false);
    f.CheckBox2->setChecked(true);
    f.ApplyPrintOptions();
    EXPECT_EQ(s.Date(), ppNone);
    EXPECT_EQ(s.Time(), ppTopLeft);
    f.CheckBox1->setChecked(true);
    f.CheckBox2->setChecked(false);
    f.ApplyPrintOptions();
    EXPECT_EQ(s.Date(), ppTopRight);
    EXPECT_EQ(s.Time(), ppNone);
}

TEST_F(PrintCommands, PreviewShowsTheSample1ListInAModalPreviewWindow)
{
    TForm1& f = *form;
    EXPECT_TRUE(f.Preview1->isEnabled());
    f.CheckBox5->setChecked(true);
    std::vector<int> pages;
    f.OrvListView2->OnPrintPage = [&](TOrvListView&, TCanvas&, int page, int, int) { pages.push_back(page); };
    QString title;
    QSize size;
    orvtest::AnswerNextModal([&](QWidget* w) {
        title = w->windowTitle();
        size = w->size();
        EXPECT_NE(qobject_cast<TPreview*>(w), nullptr);
        EXPECT_EQ(w->parentWidget(), form.get());
        w->close();
    });
    f.Preview1->trigger();
    EXPECT_EQ(title, "Preview");
    EXPECT_EQ(size, QSize(685, 443));
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages.front(), 0);
    // The options were applied first.
    EXPECT_EQ(f.OrvListView2->PrintSettings().FitToPage(), fpAlways);
    EXPECT_EQ(f.OrvListView2->PreviewRect(), (TRect { 0, 0, 685, 443 }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PrintCommands, PrintAsksThePrinterSetUpDialogFirst)
{
    if (!orvtest::HaveProgram("pdftotext"))
        GTEST_SKIP() << "poppler-utils are not installed";
    TForm1& f = *form;
    ASSERT_NE(f.PrinterSetupDialog1, nullptr);
    EXPECT_EQ(f.PrinterSetupDialog1->printer(), f.Printer.get());
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has printers: the dialog would offer them";
    // Without printers the dialog offers a PDF file, sample.pdf in the working directory.
    const QString path = dir.filePath("sample.pdf");
    EXPECT_EQ(f.Printer->outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(f.Printer->outputFileName(), path);

    // Cancelled: nothing is printed.
    orvtest::AnswerNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    f.Print1->trigger();
    EXPECT_FALSE(QFile::exists(path));

    // Confirmed: the list is printed with the options as they are.
    f.Edit2->setText("Printed from the test");
    QWidget* shown = nullptr;
    orvtest::AnswerNextModal([&](QWidget* w) {
        shown = w;
        static_cast<QDialog*>(w)->accept();
    });
    f.Print1->trigger();
    EXPECT_EQ(shown, f.PrinterSetupDialog1);
    ASSERT_TRUE(QFile::exists(path));
    const QString text = PdfText(path);
    EXPECT_TRUE(text.contains("Printed from the test"));
    EXPECT_TRUE(text.contains("page 1"));
    EXPECT_TRUE(text.contains("Porsche"));
    EXPECT_TRUE(text.contains(QRegularExpression("Car\\s+Type\\s+Cylinders")));
}

TEST_F(PrintCommands, PrintErrorsAreShownAndTheWindowStaysUsable)
{
    TForm1& f = *form;
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has printers: the dialog would offer them";
    f.OrvListView2->OnPrintPage = [](TOrvListView&, TCanvas&, int, int, int) {
        throw std::runtime_error("The printer is out of paper");
    };
    orvtest::AnswerNextModal([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    // What the application object does with an error that leaves an event handler.
    EXPECT_FALSE(DemoMessages::Guarded([&] { f.Print1->trigger(); }));
    EXPECT_EQ(messages, QStringList { "The printer is out of paper" });
    EXPECT_FALSE(QFile::exists(dir.filePath("sample.pdf")));

    // The preview reports the same way once its window is gone.
    messages.clear();
    EXPECT_FALSE(DemoMessages::Guarded([&] { f.Preview1->trigger(); }));
    EXPECT_EQ(messages, QStringList { "The printer is out of paper" });

    // Without any printer the default-printer path says so.
    messages.clear();
    EXPECT_FALSE(DemoMessages::Guarded([&] { f.OrvListView2->Print(); }));
    EXPECT_EQ(messages, QStringList { "No printer available" });
    EXPECT_TRUE(f.isVisible());
    f.Clear1->trigger();
    EXPECT_EQ(f.OrvListView2->Items().Count(), 0);
}

TEST_F(PrintCommands, PrintFontTakesTheFontDialogsChoice)
{
    TForm1& f = *form;
    orvtest::AnswerNextModal([](QWidget* w) {
        auto* dialog = qobject_cast<QFontDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->currentFont().pointSize(), 8);
        QFont font(QStringLiteral("DejaVu Sans"), 14);
        font.setBold(true);
        dialog->setCurrentFont(font);
        dialog->accept();
    });
    f.Button8->click();
    const TFont& font = f.OrvListView2->PrintSettings().Font();
    EXPECT_EQ(font.Size(), 14);
    EXPECT_EQ(font.Name(), "DejaVu Sans");
    EXPECT_TRUE(font.Bold());

    orvtest::AnswerNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    f.Button8->click();
    EXPECT_EQ(f.OrvListView2->PrintSettings().Font().Size(), 14);
}

TEST_F(PrintCommands, CommandLineWritesThePrintoutAndThePreview)
{
    if (!orvtest::HaveProgram("pdftotext"))
        GTEST_SKIP() << "poppler-utils are not installed";
    QProcess demo;
    demo.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral(ORV_DEMO_PROGRAM), { "--print-pdf", dir.filePath("sample.pdf") });
    ASSERT_TRUE(demo.waitForFinished(60000));
    EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    const QString text = PdfText(dir.filePath("sample.pdf"));
    EXPECT_TRUE(text.contains("page 1"));
    EXPECT_TRUE(text.contains("Ferrari"));
    EXPECT_TRUE(text.contains(QDate::currentDate().toString("dd/MM/yyyy"))
        || text.contains(QDate::currentDate().addDays(-1).toString("dd/MM/yyyy")));

    demo.start(QStringLiteral(ORV_DEMO_PROGRAM), { "--preview-png", dir.filePath("preview.png") });
    ASSERT_TRUE(demo.waitForFinished(60000));
    EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    QImage preview(dir.filePath("preview.png"));
    ASSERT_FALSE(preview.isNull());
    EXPECT_EQ(preview.size() / preview.devicePixelRatio(), QSize(685, 443));
    EXPECT_GT(orvtest::CountPixels(preview, preview.rect(), Qt::black, 160), 100);

    // A file that cannot be written fails with a message.
    demo.start(QStringLiteral(ORV_DEMO_PROGRAM), { "--print-pdf", dir.filePath("missing/sample.pdf") });
    ASSERT_TRUE(demo.waitForFinished(60000));
    EXPECT_EQ(demo.exitCode(), 1);
    EXPECT_TRUE(demo.readAllStandardError().contains("Cannot create file sample.pdf"));
}

} // namespace
