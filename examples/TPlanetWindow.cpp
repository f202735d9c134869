#include "TPlanetWindow.h"

#include "platform/OrvExceptions.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QStatusBar>

TPlanetWindow::TPlanetWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_list(new TOrvListView(this))
{
    setWindowTitle(tr("Planets"));
    setCentralWidget(m_list);
    resize(760, 320);

    // Settings an application typically changes after creating the list.
    m_list->SetItemHeight(QFontMetrics(m_list->font()).height() + 4); // rows start 13 pixels high
    m_list->SetRowSelect(true);
    m_list->SetGridLines(true);
    m_list->SetURLShow(true); // cells holding "://" or "mailto:" are drawn and clicked as links
    m_list->SetSortShow(true); // a click on a column header sorts by it
    m_list->SetLoadHeader(true); // the first CSV line holds the column captions
    ConnectListEvents();

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open CSV..."), QKeySequence::Open, this, [this] { OpenCsvFile(); });
    file->addAction(tr("&Print to PDF..."), QKeySequence::Print, this, [this] { SavePdfFile(); });
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, [this] { close(); });
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("Sort by &diameter"), this, [this] { SortBy(1, sdDescending); });
    view->addAction(tr("&Inner planets"), this, [this] { FillInnerPlanets(); });
}

void TPlanetWindow::ConnectListEvents()
{
    // Events are std::function members; the sender comes first, "var" parameters are
    // references the handler may change.
    m_list->OnGetFormat = [](TOrvListView& sender, int ACol, TSortStyle& style, QString&, QString& suffix) {
        // ACol counts sub-items (-1 = the first column); Cells(column, -1) reads a column's caption.
        const QString caption = sender.Cells(ACol + 1, -1);
        if (caption == QLatin1String("Diameter")) {
            style = ssNumber;
            suffix = QStringLiteral(" km");
        } else if (caption == QLatin1String("Moons") || caption.startsWith(QLatin1String("Distance"))) {
            style = ssNumber;
        } else {
            style = ssTextNoCase;
        }
    };
    m_list->OnURLClick = [this](TOrvListView&, int, const QString& url, bool& handled) {
        m_lastLink = QStringLiteral("url ") + url;
        ShowStatus(tr("Opening %1").arg(url));
        handled = !m_openLinks; // left false, the list opens the address with the desktop's browser
    };
    m_list->OnAnchorClick = [this](TOrvListView&, const QString& anchor) {
        m_lastLink = QStringLiteral("anchor ") + anchor;
        ShowStatus(tr("Anchor \"%1\" clicked").arg(anchor));
    };
}

void TPlanetWindow::FillInnerPlanets()
{
    // Columns first, then one row per item: the caption is the first column, SubItems()
    // the others. BeginUpdate/EndUpdate repaint once for the whole batch.
    TOrvListView& list = *m_list;
    list.Items().Clear();
    list.Columns().Clear();
    struct ColumnSpec {
        const char* caption;
        int width;
        TAlignment alignment;
    };
    for (const ColumnSpec& spec : { ColumnSpec { "Planet", 90, taLeftJustify },
             ColumnSpec { "Diameter", 90, taRightJustify }, ColumnSpec { "Moons", 60, taRightJustify },
             ColumnSpec { "Note", 260, taLeftJustify }, ColumnSpec { "More", 240, taLeftJustify } }) {
        TListColumn& column = list.Columns().Add();
        column.SetCaption(QString::fromLatin1(spec.caption));
        column.SetWidth(spec.width);
        column.SetAlignment(spec.alignment);
    }
    struct Planet {
        const char* name;
        const char* diameter;
        const char* moons;
        const char* note; // markup: contains "</"
    };
    const Planet planets[] = {
        { "Mercury", "4879 km", "0", "<B>Smallest</B> planet" },
        { "Venus", "12104 km", "0", "<FONT COLOR=\"clRed\">Hottest</FONT> planet" },
        { "Earth", "12756 km", "1", "Home, see <A HREF=\"earth\">facts</A>" },
        { "Mars", "6792 km", "2", "The <I>red</I> planet" },
    };
    list.Items().BeginUpdate();
    for (const Planet& p : planets) {
        TListItem& item = list.Items().Add();
        item.SetCaption(QString::fromLatin1(p.name));
        item.SubItems() << QString::fromLatin1(p.diameter) << QString::fromLatin1(p.moons)
                        << QString::fromLatin1(p.note)
                        << QStringLiteral("https://en.wikipedia.org/wiki/") + QString::fromLatin1(p.name);
    }
    list.Items().EndUpdate();
    ShowStatus(tr("%1 planets").arg(list.Items().Count()));
}

void TPlanetWindow::LoadCsv(const QString& fileName)
{
    // With LoadHeader set, loading replaces the columns and the rows; a file that cannot be read
    // throws EOrvListViewError and leaves the list as it was.
    m_list->LoadFromCSV(fileName);
    m_list->AutoSizeColumns();
    ShowStatus(tr("%1 rows from %2").arg(m_list->Items().Count()).arg(fileName));
}

void TPlanetWindow::SortBy(int column, TSortDirection direction)
{
    m_list->SetSortDirection(direction);
    m_list->SortByColumn(column); // asks OnGetFormat how to compare the column's texts
}

void TPlanetWindow::OpenCsvFile()
{
    const QString name = QFileDialog::getOpenFileName(
        this, tr("Open CSV"), QString(), tr("CSV files (*.csv);;All files (*)"));
    if (name.isEmpty())
        return;
    try {
        LoadCsv(name);
    } catch (const EOrvListViewError& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(e.what()));
    }
}

void TPlanetWindow::PrintToPdf(const QString& fileName)
{
    TPrintsettings& print = m_list->PrintSettings();
    print.SetTitle(ppTopCenter);
    print.SetTitleText(windowTitle());
    print.SetPageNr(ppBottomRight);
    print.SetPagePrefix(tr("Page"));
    print.SetBorders(pbSingle);
    // A QPrinter set to PDF: the list writes beside the target and replaces it only when complete.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    m_list->Print(printer);
    ShowStatus(tr("Printed to %1").arg(fileName));
}

void TPlanetWindow::SavePdfFile()
{
    const QString name
        = QFileDialog::getSaveFileName(this, tr("Print to PDF"), QString(), tr("PDF files (*.pdf)"));
    if (name.isEmpty())
        return;
    try {
        PrintToPdf(name);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(e.what()));
    }
}

void TPlanetWindow::ShowStatus(const QString& text)
{
    statusBar()->showMessage(text);
}
