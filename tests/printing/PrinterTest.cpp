// The printer adapter: PDF documents written in one piece, aborted documents leaving nothing,
// and printers that cannot print.
#include "platform/TPrinter.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(Path());
    }
    QString Path() const { return dir.filePath("doc.pdf"); }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    void WriteOld()
    {
        QFile old(Path());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QByteArray Contents() const
    {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QPrinter pdf { QPrinter::HighResolution };
};

TEST_F(PrinterTest, FinishedDocumentReplacesTheFileInOnePiece)
{
    WriteOld();
    {
        TPrinter printer(pdf);
        printer.SetTitle("Doc");
        printer.BeginDoc();
        EXPECT_TRUE(printer.Printing());
        EXPECT_EQ(printer.PageNumber(), 1);
        EXPECT_TRUE(printer.Canvas().HasDevice());
        // While printing the old file is still there and the document goes elsewhere.
        EXPECT_EQ(Contents(), QByteArray("old"));
        EXPECT_EQ(Files().size(), 2);
        printer.Canvas().TextOut(10, 10, "first");
        printer.NewPage();
        printer.Canvas().TextOut(10, 10, "second");
        EXPECT_EQ(printer.PageNumber(), 2);
        printer.EndDoc();
        EXPECT_FALSE(printer.Printing());
        EXPECT_FALSE(printer.Canvas().HasDevice());
    }
    EXPECT_EQ(Files(), QStringList { "doc.pdf" });
    EXPECT_TRUE(Contents().startsWith("%PDF"));
    EXPECT_EQ(pdf.outputFileName(), Path()); // the printer is left as it was given
    if (orvtest::HaveProgram("pdfinfo")) {
        const QString info = QString::fromUtf8(orvtest::RunProgram("pdfinfo", { Path() }));
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\n")));
        EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+Doc\\n")));
    }
    // The document has the permissions a new file of this process gets.
    QFile probe(dir.filePath("probe"));
    ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
    probe.close();
    QFile::remove(Path());
    TPrinter fresh(pdf);
    fresh.BeginDoc();
    fresh.EndDoc();
    EXPECT_EQ(QFile::permissions(Path()), QFile::permissions(probe.fileName()));
}

TEST_F(PrinterTest, AbortedDocumentLeavesNothingBehind)
{
    WriteOld();
    {
        TPrinter printer(pdf);
        printer.BeginDoc();
        printer.Canvas().TextOut(10, 10, "half");
        printer.Abort();
        EXPECT_FALSE(printer.Printing());
    }
    EXPECT_EQ(Contents(), QByteArray("old"));
    EXPECT_EQ(Files(), QStringList { "doc.pdf" });

    // A document nobody finished is aborted when the printer object goes.
    QFile::remove(Path());
    {
        TPrinter printer(pdf);
        printer.BeginDoc();
    }
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(PrinterTest, PrintersThatCannotPrint)
{
    EXPECT_TRUE(TPrinter::Usable(pdf));
    QPrinter noFile;
    noFile.setOutputFormat(QPrinter::PdfFormat);
    EXPECT_FALSE(TPrinter::Usable(noFile));
    QPrinter unknown;
    unknown.setOutputFormat(QPrinter::NativeFormat);
    unknown.setPrinterName("no such printer here");
    EXPECT_FALSE(TPrinter::Usable(unknown));

    TPrinter printer(noFile);
    for (auto step : { +[](TPrinter& p) { p.SetOrientation(poLandscape); },
             +[](TPrinter& p) { p.SetTitle("x"); }, +[](TPrinter& p) { p.BeginDoc(); } }) {
        try {
            step(printer);
            FAIL();
        } catch (const EPrinterError& e) {
            EXPECT_EQ(e.Message(), "No printer available");
        }
    }
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(noFile.pageLayout().orientation(), QPageLayout::Portrait);

    // A folder is no file to print to.
    QPrinter folder;
    folder.setOutputFormat(QPrinter::PdfFormat);
    for (const QString& name : { dir.path() + "/", dir.path() }) {
        folder.setOutputFileName(name);
        TPrinter p(folder);
        try {
            p.BeginDoc();
            FAIL() << name.toStdString();
        } catch (const EPrinterError& e) {
            EXPECT_EQ(e.Message(),
                "Cannot create file " + (name.endsWith('/') ? name : QFileInfo(name).fileName()));
        }
        EXPECT_TRUE(Files().isEmpty());
    }

    TPrinter twice(pdf);
    twice.BeginDoc();
    EXPECT_THROW(twice.BeginDoc(), EPrinterError);
    twice.EndDoc();
    EXPECT_THROW(twice.NewPage(), EPrinterError);
}

} // namespace
