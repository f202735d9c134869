// An application that embeds TOrvListView.
//
//   orvexample [FILE.csv]      opens a window with the inner planets; File > Open CSV loads a file
//   orvexample --selftest      runs the steps an application takes (fill, sort, click a link, print
//                              to a PDF file, load the CSV beside the program, sort it) without a
//                              screen, checks each and exits with 0 when all of them held
#include "TPlanetWindow.h"

#include "platform/OrvExceptions.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace {

int g_failures = 0;

void Check(bool ok, const char* step, const QString& detail = QString())
{
    std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", step, detail.isEmpty() ? "" : ": ", qPrintable(detail));
    if (!ok)
        ++g_failures;
}

QStringList ColumnTexts(TOrvListView& list, int column)
{
    QStringList texts;
    for (int row = 0; row < list.Items().Count(); ++row)
        texts << list.Cells(column, row);
    return texts;
}

// A left click as the mouse makes it, at a point of the list's rows area.
void ClickAt(TOrvListView& list, QPoint point)
{
    QWidget* target = list.viewport();
    const QPointF global = target->mapToGlobal(QPointF(point));
    QMouseEvent press(
        QEvent::MouseButtonPress, QPointF(point), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QMouseEvent release(
        QEvent::MouseButtonRelease, QPointF(point), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

bool IsSortedNumbers(const QStringList& texts, bool descending)
{
    for (qsizetype i = 1; i < texts.size(); ++i) {
        const double a = texts[i - 1].split(QLatin1Char(' ')).first().toDouble();
        const double b = texts[i].split(QLatin1Char(' ')).first().toDouble();
        if (descending ? a < b : a > b)
            return false;
    }
    return true;
}

int SelfTest(TPlanetWindow& window, const QString& csvFile)
{
    TOrvListView& list = window.List();
    window.SetOpenLinks(false);
    window.show();
    QCoreApplication::processEvents();

    window.FillInnerPlanets();
    Check(list.Items().Count() == 4 && list.Columns().Count() == 5, "fill",
        QStringLiteral("%1 rows, %2 columns").arg(list.Items().Count()).arg(list.Columns().Count()));

    // Texts compare as numbers only through OnGetFormat: "12104 km" sorts after "6792 km".
    window.SortBy(1, sdAscending);
    const QStringList byDiameter = ColumnTexts(list, 0);
    Check(byDiameter == QStringList { "Mercury", "Mars", "Venus", "Earth" }, "sort by diameter",
        byDiameter.join(QLatin1String(", ")));

    // A click on the Earth's address.
    const int earth = int(byDiameter.indexOf(QLatin1String("Earth")));
    const TRect cell = list.CellRect(earth, 4);
    int clickedRow = -1, clickedColumn = -1;
    list.OnLeftClickCell = [&](TOrvListView&, int row, int column) {
        clickedRow = row;
        clickedColumn = column;
    };
    ClickAt(list, QPoint(cell.left + 8, (cell.top + cell.bottom) / 2));
    Check(clickedRow == earth && clickedColumn == 4, "click reaches the link cell",
        QStringLiteral("row %1, column %2").arg(clickedRow).arg(clickedColumn));
    Check(window.LastLink() == QLatin1String("url https://en.wikipedia.org/wiki/Earth"), "link click",
        window.LastLink());

    // One printed page of the four planets, as a PDF file in a scratch folder.
    QTemporaryDir scratch;
    const QString pdf = scratch.filePath(QStringLiteral("planets.pdf"));
    try {
        window.PrintToPdf(pdf);
        QFile printed(pdf);
        const bool opened = printed.open(QIODevice::ReadOnly);
        const QByteArray bytes = opened ? printed.readAll() : QByteArray();
        Check(bytes.startsWith("%PDF-") && bytes.contains("/Type /Page") && bytes.contains("%%EOF"),
            "print to PDF", QStringLiteral("%1 bytes").arg(bytes.size()));
    } catch (const std::exception& e) {
        Check(false, "print to PDF", QString::fromUtf8(e.what()));
    }

    try {
        window.LoadCsv(csvFile);
        Check(list.Items().Count() == 8 && list.Cells(0, -1) == QLatin1String("Planet")
                && list.Cells(5, 0) == QLatin1String("Smallest planet, closest to the Sun"),
            "load CSV", QStringLiteral("%1 rows from %2").arg(list.Items().Count()).arg(csvFile));
    } catch (const EOrvListViewError& e) {
        Check(false, "load CSV", QString::fromUtf8(e.what()) + QStringLiteral(": ") + csvFile);
    }

    window.SortBy(3, sdDescending);
    const QStringList moons = ColumnTexts(list, 3);
    Check(list.Items().Count() == 8 && IsSortedNumbers(moons, true), "sort the file by moons, descending",
        moons.join(QLatin1String(", ")));

    window.close();
    std::printf("%s\n", g_failures == 0 ? "all steps passed" : "some steps failed");
    return g_failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    bool selfTest = false;
    QString csvFile;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--selftest") == 0)
            selfTest = true;
        else
            csvFile = QString::fromLocal8Bit(argv[i]);
    }
    // The self-test needs no screen.
    if (selfTest && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    TPlanetWindow window;
    if (selfTest) {
        if (csvFile.isEmpty())
            csvFile = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("planets.csv"));
        return SelfTest(window, csvFile);
    }

    window.FillInnerPlanets();
    if (!csvFile.isEmpty()) {
        try {
            window.LoadCsv(csvFile);
        } catch (const EOrvListViewError& e) {
            std::fprintf(stderr, "orvexample: %s: %s\n", e.what(), qPrintable(csvFile));
        }
    }
    window.show();
    return app.exec();
}
