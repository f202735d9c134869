// Printing at scale: a 10,000 x 7 list printed to a PDF file, laid out alone (no device), and
// one paint of the preview window's page. Every run measures each cell once.
#include "listview/TOrvListView.h"
#include "listview/private/TListPrintSource.h"
#include "platform/TCanvas.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kColumns = 7;
constexpr int kRows = 10000;

// Car-like rows: names, types, numbers, dates, a price and a web address.
std::unique_ptr<TOrvListView> MakeList()
{
    auto list = std::make_unique<TOrvListView>();
    for (const char* caption : { "Car", "Type", "Cylinders", "Intro", "Power", "Price", "Web" })
        list->Columns().Add().SetCaption(QString::fromLatin1(caption));
    TListItems& items = list->Items();
    items.BeginUpdate();
    items.Reserve(kRows);
    const QStringList makes { "BMW", "Audi", "Porsche", "Ferrari", "Mercedes", "Volkswagen" };
    for (int r = 0; r < kRows; ++r) {
        TListItem& item = items.Add();
        item.SetCaption(makes[r % makes.size()]);
        item.SubItems() << QStringLiteral("Model %1").arg(r) << QString::number(4 + r % 9)
                        << QStringLiteral("%1-%2-19%3").arg(1 + r % 28).arg(1 + r % 12).arg(70 + r % 30)
                        << QStringLiteral("%1pk").arg(90 + r % 400) << QString::number(20000 + r * 13)
                        << QStringLiteral("https://www.example.com/car/%1").arg(r);
    }
    items.EndUpdate();
    TPrintsettings& s = list->PrintSettings();
    s.SetTime(ppTopLeft);
    s.SetDate(ppTopRight);
    s.SetPageNr(ppBottomCenter);
    s.SetPagePrefix(QStringLiteral("page"));
    s.SetBorders(pbSingle);
    s.SetRepeatHeaders(true);
    return list;
}

void BM_PrintToPdf_10000x7(benchmark::State& state)
{
    const auto list = MakeList();
    QTemporaryDir dir;
    int pages = 0;
    list->OnPrintPage = [&pages](TOrvListView&, TCanvas&, int, int, int) { ++pages; };
    for (auto _ : state) {
        pages = 0;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("bench.pdf")));
        list->Print(printer);
    }
    state.counters["pages"] = pages;
    state.counters["KB"] = QFileInfo(dir.filePath(QStringLiteral("bench.pdf"))).size() / 1024.0;
}
BENCHMARK(BM_PrintToPdf_10000x7)->Unit(benchmark::kMillisecond)->Iterations(3);

// The layout alone: every page of the document on a canvas without a device, so that nothing
// is drawn but everything is measured (with the real font metrics) and placed.
void BM_LayoutOnly_10000x7(benchmark::State& state)
{
    const auto list = MakeList();
    int pages = 0;
    for (auto _ : state) {
        TCanvas canvas;
        canvas.SetFixedDevice(600, 600, QSize(4960, 7016)); // an A4 page at 600 dpi
        canvas.SetMapMode(mmLoMetric);
        TListPrintSource source(*list);
        TPrintState printState;
        TPrintLayout layout(source, list->PrintSettings(), printState);
        layout.LayoutPages(canvas, TPrintLayout::lmPrint, nullptr);
        pages = layout.PageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LayoutOnly_10000x7)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PreviewPaint_10000x7(benchmark::State& state)
{
    const auto list = MakeList();
    QImage window(685, 443, QImage::Format_RGB32);
    for (auto _ : state) {
        window.fill(Qt::white);
        QPainter painter(&window);
        TCanvas canvas;
        canvas.Attach(&painter);
        list->PreviewPaint(canvas, TRect { 0, 0, 685, 443 });
        canvas.Detach();
    }
}
BENCHMARK(BM_PreviewPaint_10000x7)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
