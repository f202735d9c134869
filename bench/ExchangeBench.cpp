// Load, save and export of large lists: CSV, the native list file, HTML and XML.
#include "exchange/CsvFiles.h"
#include "exchange/HTMLExport.h"
#include "exchange/NativeListFiles.h"
#include "exchange/XMLExport.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kColumns = 7;

QTemporaryDir& Scratch()
{
    static QTemporaryDir dir;
    return dir;
}

// Cells of ten ASCII characters, as a typical spreadsheet export holds.
void Fill(TListColumns& columns, TListItems& items, int rows)
{
    for (int c = 0; c < kColumns; ++c)
        columns.Add().SetCaption(QStringLiteral("Column %1").arg(c));
    items.Reserve(rows);
    for (int r = 0; r < rows; ++r) {
        TListItem& item = items.Add();
        item.SetCaption(QStringLiteral("r%1").arg(r, 9, 10, QChar(u'0')));
        QStringList& sub = item.SubItems();
        for (int c = 1; c < kColumns; ++c)
            sub.append(QStringLiteral("c%1x%2").arg(c).arg(r % 100000, 7, 10, QChar(u'0')));
    }
}

struct TFixture {
    TListColumns columns;
    TListItems items;
};

TFixture& Model(int rows)
{
    static std::map<int, std::unique_ptr<TFixture>> models;
    auto& slot = models[rows];
    if (!slot) {
        slot = std::make_unique<TFixture>();
        Fill(slot->columns, slot->items, rows);
    }
    return *slot;
}

QString CsvFile(int rows)
{
    const QString path = Scratch().filePath(QStringLiteral("bench%1.csv").arg(rows));
    if (!QFile::exists(path)) {
        TFixture& m = Model(rows);
        SaveListToCSV(m.columns, m.items, QChar(), true, path);
    }
    return path;
}

long ProcStatusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::string(key).size()));
    return 0;
}

void ResetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_CsvSave(benchmark::State& state)
{
    const int rows = int(state.range(0));
    TFixture& m = Model(rows);
    const QString path = Scratch().filePath("save.csv");
    for (auto _ : state)
        SaveListToCSV(m.columns, m.items, QChar(), true, path);
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void BM_CsvLoad(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QString path = CsvFile(rows);
    for (auto _ : state) {
        TListColumns columns;
        TListItems items;
        QChar delimiter;
        LoadListFromCSV(columns, items, delimiter, true, path);
        benchmark::DoNotOptimize(items.Count());
        state.PauseTiming(); // freeing the list is not part of the load
        items.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

// The same work with a progress handler listening: what reporting costs (a handler that does
// nothing, so only the meter's own cost shows).
void BM_CsvSaveWithProgress(benchmark::State& state)
{
    const int rows = int(state.range(0));
    TFixture& m = Model(rows);
    const QString path = Scratch().filePath("save.csv");
    qint64 reports = 0;
    const TProgressCallback progress = [&](qint64, qint64, bool&) { ++reports; };
    for (auto _ : state)
        SaveListToCSV(m.columns, m.items, QChar(), true, path, progress);
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["reports"] = benchmark::Counter(double(reports), benchmark::Counter::kAvgIterations);
}

void BM_CsvLoadWithProgress(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QString path = CsvFile(rows);
    qint64 reports = 0;
    const TProgressCallback progress = [&](qint64, qint64, bool&) { ++reports; };
    for (auto _ : state) {
        TListColumns columns;
        TListItems items;
        QChar delimiter;
        LoadListFromCSV(columns, items, delimiter, true, path, progress);
        benchmark::DoNotOptimize(items.Count());
        state.PauseTiming();
        items.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["reports"] = benchmark::Counter(double(reports), benchmark::Counter::kAvgIterations);
}

std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Memory a loaded cell costs: heap in use after the load (allocator overhead included) and the
// resident peak during it. Run it in a process of its own (--benchmark_filter=Memory): memory
// freed by earlier benchmarks is reused and hides part of the resident growth.
void BM_CsvLoadMemory(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QString path = CsvFile(rows);
    double perCell = 0, residentPerCell = 0, peakPerCell = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto columns = std::make_unique<TListColumns>();
        auto items = std::make_unique<TListItems>();
        malloc_trim(0);
        ResetPeakRss();
        const std::size_t heapBefore = HeapInUse();
        const long before = ProcStatusKb("VmRSS:");
        state.ResumeTiming();
        QChar delimiter;
        LoadListFromCSV(*columns, *items, delimiter, true, path);
        state.PauseTiming();
        const double cells = double(rows) * kColumns;
        perCell = double(HeapInUse() - heapBefore) / cells;
        residentPerCell = (ProcStatusKb("VmRSS:") - before) * 1024.0 / cells;
        peakPerCell = (ProcStatusKb("VmHWM:") - before) * 1024.0 / cells;
        items.reset();
        columns.reset();
        state.ResumeTiming();
    }
    state.counters["heap_bytes_per_cell"] = perCell;
    state.counters["rss_bytes_per_cell"] = residentPerCell;
    state.counters["peak_rss_bytes_per_cell"] = peakPerCell;
}

void BM_NativeSaveLoad(benchmark::State& state)
{
    const int rows = int(state.range(0));
    TFixture& m = Model(rows);
    const QString path = Scratch().filePath("bench.dat");
    for (auto _ : state) {
        SaveListToFile(m.columns, m.items, false, true, path);
        TListColumns columns;
        TListItems items;
        bool subImages = false;
        LoadListFromFile(columns, items, subImages, true, path);
        benchmark::DoNotOptimize(items.Count());
        state.PauseTiming();
        items.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_HTMLExport(benchmark::State& state)
{
    const int rows = int(state.range(0));
    TFixture& m = Model(rows);
    THTMLSettings settings;
    const THTMLExportContext context { m.columns, m.items, settings, true, false,
        [](int row, int sub, TBrush& brush, TFont&, const QString&) {
            if ((row + sub) % 3 == 0)
                brush.SetColor(0x00FFFF);
        },
        {} };
    const QString path = Scratch().filePath("bench.htm");
    for (auto _ : state)
        SaveListToHTML(context, path);
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_XMLExport(benchmark::State& state)
{
    const int rows = int(state.range(0));
    TFixture& m = Model(rows);
    const QStringList names { "Car", "Type", "Cylinders", "Intro", "Power", "Price", "Web" };
    const QString path = Scratch().filePath("bench.xml");
    for (auto _ : state)
        SaveListToXML(m.columns, m.items, path, "CARLIST", "CAR", names);
    state.SetItemsProcessed(state.iterations() * rows);
}

} // namespace

BENCHMARK(BM_CsvSave)->Name("CsvSave/rows_x7")->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvLoad)->Name("CsvLoad/rows_x7")->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvSaveWithProgress)
    ->Name("CsvSaveWithProgress/rows_x7")
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvLoadWithProgress)
    ->Name("CsvLoadWithProgress/rows_x7")
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvLoadMemory)
    ->Name("CsvLoadMemory/rows_x7")
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NativeSaveLoad)->Name("NativeSaveLoad/rows_x7")->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HTMLExport)->Name("HTMLExport/rows_x7")->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XMLExport)->Name("XMLExport/rows_x7")->Arg(100000)->Unit(benchmark::kMillisecond);
