// Printing a list end to end: to a PDF file, read back with pdfinfo and pdftotext (text, page
// count, positions), and the document's fate when something fails.
#include "platform/OrvExceptions.h"
#include "listview/TOrvListView.h"
#include "platform/TPrinter.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct TWord {
    int page = 0;
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // points from the page's top-left
};

class PrintPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!orvtest::HaveProgram("pdftotext") || !orvtest::HaveProgram("pdfinfo"))
            GTEST_SKIP() << "poppler-utils are not installed";
        ASSERT_TRUE(dir.isValid());
        list.SetFont(TFont());
    }

    // Columns by caption and rows of texts.
    void Fill(const QStringList& captions, int rows, const std::function<QString(int, int)>& cell)
    {
        for (const QString& c : captions)
            list.Columns().Add().SetCaption(c);
        list.Items().BeginUpdate();
        for (int r = 0; r < rows; ++r) {
            TListItem& item = list.Items().Add();
            item.SetCaption(cell(0, r));
            for (int c = 1; c < captions.size(); ++c)
                item.SubItems() << cell(c, r);
        }
        list.Items().EndUpdate();
    }

    QString PrintToPdf(const QString& name = QStringLiteral("out.pdf"))
    {
        const QString path = dir.filePath(name);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        list.Print(printer);
        return path;
    }

    static QString Info(const QString& path, const QString& key)
    {
        const QString out = QString::fromUtf8(orvtest::RunProgram("pdfinfo", { path }));
        const QRegularExpression re(
            QStringLiteral("^%1:\\s*(.*)$").arg(key), QRegularExpression::MultilineOption);
        return re.match(out).captured(1).trimmed();
    }
    static QStringList Pages(const QString& path)
    {
        QStringList pages
            = QString::fromUtf8(orvtest::RunProgram("pdftotext", { "-layout", path, "-" })).split('\f');
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }
    static std::vector<TWord> Words(const QString& path)
    {
        const QString html = QString::fromUtf8(orvtest::RunProgram("pdftotext", { "-bbox", path, "-" }));
        std::vector<TWord> words;
        int page = -1;
        const QRegularExpression re(QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                                   "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
        for (auto it = re.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.captured(0).startsWith(QLatin1String("<page"))) {
                ++page;
                continue;
            }
            words.push_back({ page, m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                m.captured(3).toDouble(), m.captured(4).toDouble() });
        }
        return words;
    }
    // x of a layout position (0.1 mm from the printable area's left edge) in points on the page.
    double PagePoints(int tenthMm) const
    {
        return printer.pageLayout().paintRect(QPageLayout::Point).left() + tenthMm * 72.0 / 254.0;
    }

    QTemporaryDir dir;
    TOrvListView list;
    QPrinter printer { QPrinter::HighResolution };
};

TEST_F(PrintPdf, EveryRowOnNumberedPagesWithCaptionsDateTimeAndTitle)
{
    Fill({ "Car", "Type", "Price" }, 150, [](int c, int r) {
        return QStringLiteral("%1-%2").arg(QStringList { "car", "type", "price" }[c]).arg(r);
    });
    TPrintsettings& s = list.PrintSettings();
    s.SetTime(ppTopLeft);
    s.SetDate(ppTopRight);
    s.SetPageNr(ppBottomCenter);
    s.SetPagePrefix("page");
    s.SetTitle(ppTopCenter);
    s.SetTitleText("Cars list");
    s.SetRepeatHeaders(true);
    s.SetBorders(pbSingle);
    s.SetJobName("Cars job");
    std::vector<int> pageEvents;
    list.OnPrintPage = [&](TOrvListView&, TCanvas&, int page, int, int) { pageEvents.push_back(page); };
    const QDateTime before = QDateTime::currentDateTime();
    const QString path = PrintToPdf();
    const QDateTime after = QDateTime::currentDateTime();

    const QStringList pages = Pages(path);
    ASSERT_GT(pages.size(), 1);
    EXPECT_EQ(Info(path, "Pages").toInt(), pages.size());
    EXPECT_EQ(Info(path, "Title"), "Cars job");
    ASSERT_EQ(int(pageEvents.size()), pages.size());
    for (int p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(pageEvents[size_t(p)], p);
        const QString& text = pages[p];
        EXPECT_TRUE(text.contains(QStringLiteral("page %1").arg(p + 1))) << p;
        EXPECT_TRUE(text.contains("Cars list")) << p;
        EXPECT_TRUE(text.contains(QRegularExpression("Car\\s+Type\\s+Price"))) << p;
        const bool dated
            = text.contains(before.toString("dd/MM/yyyy")) || text.contains(after.toString("dd/MM/yyyy"));
        EXPECT_TRUE(dated) << p;
        const bool timed = text.contains(before.toString("hh:mm")) || text.contains(after.toString("hh:mm"));
        EXPECT_TRUE(timed) << p;
    }
    // Every row exactly once, in order.
    const QString all = pages.join('\n');
    qsizetype at = 0;
    for (int r = 0; r < 150; ++r) {
        const QString needle = QStringLiteral("car-%1 ").arg(r);
        const qsizetype found = all.indexOf(needle, at);
        ASSERT_GE(found, 0) << r;
        EXPECT_EQ(all.indexOf(needle, found + 1), -1) << r;
        at = found;
    }
}

TEST_F(PrintPdf, WordsLieInsideTheColumnsTheLayoutComputed)
{
    Fill({ "Left", "Centre", "Right" }, 20, [](int c, int r) {
        return c == 2 ? QString::number(r * 1000) : QStringLiteral("c%1r%2").arg(c).arg(r);
    });
    list.Columns()[1].SetAlignment(taCenter);
    list.Columns()[2].SetAlignment(taRightJustify);
    list.PrintSettings().SetLeftSize(150);
    const QString path = PrintToPdf();
    const std::vector<int>& pos = list.PrintColPos();
    ASSERT_EQ(pos[0], 150);
    double previousY = -1;
    int seen = 0;
    for (const TWord& w : Words(path)) {
        int column = -1;
        if (w.text.startsWith("c0"))
            column = 0;
        else if (w.text.startsWith("c1"))
            column = 1;
        else if (w.text.at(0).isDigit())
            column = 2;
        if (column < 0)
            continue;
        ++seen;
        EXPECT_GT(w.xMin, PagePoints(pos[size_t(column)])) << w.text.toStdString();
        EXPECT_LT(w.xMax, PagePoints(pos[size_t(column) + 1])) << w.text.toStdString();
        if (column == 1) {
            // Centred in its cell (spacing included): as much room on either side of the word.
            const double leftRoom = w.xMin - PagePoints(pos[1]);
            const double rightRoom = PagePoints(pos[2]) - w.xMax;
            EXPECT_NEAR(leftRoom, rightRoom, 2.0) << w.text.toStdString();
        }
        if (column == 0) {
            EXPECT_GT(w.yMin, previousY); // rows go down the page
            previousY = w.yMin;
        }
    }
    EXPECT_EQ(seen, 60);
    // Right-aligned numbers share their right edge.
    double right = -1;
    for (const TWord& w : Words(path)) {
        if (!w.text.at(0).isDigit())
            continue;
        if (right < 0)
            right = w.xMax;
        EXPECT_NEAR(w.xMax, right, 0.5) << w.text.toStdString();
    }
}

TEST_F(PrintPdf, OrientationSetsTheShapeOfThePage)
{
    Fill({ "A" }, 1, [](int, int) { return QStringLiteral("x"); });
    for (TPrinterOrientation o : { poPortrait, poLandscape }) {
        list.PrintSettings().SetOrientation(o);
        const QString path = PrintToPdf(QStringLiteral("o%1.pdf").arg(int(o)));
        const QRegularExpression re("([\\d.]+) x ([\\d.]+) pts");
        const QRegularExpressionMatch m = re.match(Info(path, "Page size"));
        ASSERT_TRUE(m.hasMatch());
        EXPECT_EQ(m.captured(1).toDouble() > m.captured(2).toDouble(), o == poLandscape);
    }
}

TEST_F(PrintPdf, WideListsContinueInBandsWithPageNumbersRunningOn)
{
    QStringList captions;
    for (int c = 0; c < 18; ++c)
        captions << QStringLiteral("Column%1").arg(c);
    Fill(captions, 5, [](int c, int r) { return QStringLiteral("wide-text-cell-%1-%2").arg(c).arg(r); });
    list.PrintSettings().SetPageNr(ppBottomRight);
    list.PrintSettings().SetPagePrefix("p.");
    const QString path = PrintToPdf();
    const QStringList pages = Pages(path);
    ASSERT_GE(pages.size(), 3);
    int printed = 0;
    for (int p = 0; p < pages.size(); ++p) {
        EXPECT_TRUE(pages[p].contains(QStringLiteral("p. %1").arg(p + 1))) << p;
        for (int c = 0; c < 18; ++c) {
            if (!pages[p].contains(QStringLiteral("Column%1 ").arg(c))
                && !pages[p].contains(QStringLiteral("Column%1\n").arg(c)))
                continue;
            ++printed;
            // Every band shows all rows of its columns.
            for (int r = 0; r < 5; ++r)
                EXPECT_TRUE(pages[p].contains(QStringLiteral("wide-text-cell-%1-%2").arg(c).arg(r)))
                    << p << " " << c;
        }
    }
    EXPECT_EQ(printed, 18);
}

TEST_F(PrintPdf, MarkupAndRichTextCellsPrintTheirText)
{
    Fill({ "Kind", "Content" }, 3, [](int c, int r) { return QStringLiteral("row%1-%2").arg(r).arg(c); });
    list.SetCells(1, 0, "<B>Bold</B> and <I>italic</I>");
    list.SetCells(1, 1, "{\\rtf1\\ansi {\\b Rich} words}");
    list.SetCells(1, 2, "A&B plain");
    const QString path = PrintToPdf();
    const QString text = Pages(path).join('\n');
    EXPECT_TRUE(text.contains("Bold and italic")) << text.toStdString();
    EXPECT_TRUE(text.contains("Rich words"));
    EXPECT_TRUE(text.contains("A&B plain"));
    EXPECT_FALSE(text.contains("rtf1"));
}

TEST_F(PrintPdf, ListsWithoutRowsOrColumns)
{
    Fill({ "Only", "Captions" }, 0, [](int, int) { return QString(); });
    list.PrintSettings().SetPageNr(ppBottomCenter);
    const QString path = PrintToPdf();
    EXPECT_EQ(Info(path, "Pages"), "1");
    EXPECT_TRUE(QRegularExpression("Only\\s+Captions").match(Pages(path).join("")).hasMatch());

    TOrvListView empty;
    printer.setOutputFileName(dir.filePath("empty.pdf"));
    empty.Print(printer);
    EXPECT_EQ(Info(dir.filePath("empty.pdf"), "Pages"), "1");
    EXPECT_TRUE(Pages(dir.filePath("empty.pdf")).join("").trimmed().isEmpty());
}

TEST_F(PrintPdf, AFailedLayoutAbortsTheDocumentAndKeepsTheOldFile)
{
    Fill({ "A" }, 400, [](int, int r) { return QStringLiteral("row %1").arg(r); });
    list.OnPrintPage = [](TOrvListView&, TCanvas&, int page, int, int) {
        if (page == 2)
            throw std::runtime_error("out of paper");
    };
    const QString path = dir.filePath("kept.pdf");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous document");
    }
    try {
        PrintToPdf("kept.pdf");
        FAIL() << "the error must reach the caller";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "out of paper");
    }
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("previous document"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "kept.pdf" });

    // Without an old file nothing is left behind at all; the printer can be used again.
    try {
        PrintToPdf("new.pdf");
    } catch (const std::runtime_error&) { }
    EXPECT_FALSE(QFile::exists(dir.filePath("new.pdf")));
    list.OnPrintPage = nullptr;
    const QString again = PrintToPdf("new.pdf");
    EXPECT_GT(Info(again, "Pages").toInt(), 2);
}

TEST_F(PrintPdf, PrinterProblemsAreReportedBeforeAnyDocumentExists)
{
    Fill({ "A" }, 1, [](int, int) { return QStringLiteral("x"); });
    if (!TPrinter::Available()) {
        try {
            list.Print();
            FAIL() << "printing without a printer must fail";
        } catch (const EOrvListViewError& e) {
            EXPECT_EQ(e.Message(), "No printer available");
        }
    }
    // A PDF printer without a file is no printer either.
    QPrinter noFile(QPrinter::HighResolution);
    noFile.setOutputFormat(QPrinter::PdfFormat);
    int events = 0;
    list.OnPrintPage = [&](TOrvListView&, TCanvas&, int, int, int) { ++events; };
    try {
        list.Print(noFile);
        FAIL();
    } catch (const EPrinterError& e) {
        EXPECT_EQ(e.Message(), "No printer available");
    }
    // A folder that does not exist.
    QPrinter nowhere(QPrinter::HighResolution);
    nowhere.setOutputFormat(QPrinter::PdfFormat);
    nowhere.setOutputFileName(dir.filePath("missing/out.pdf"));
    try {
        list.Print(nowhere);
        FAIL();
    } catch (const EPrinterError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file out.pdf");
    }
    EXPECT_EQ(events, 0);
}

} // namespace
