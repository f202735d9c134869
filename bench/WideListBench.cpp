// Work that once grew with the square of its size: adding thousands of columns to a shown list,
// pasting or loading one very wide line, loading an LF-only CSV file, and sanitizing markup whose
// tags never close.
#include "exchange/CsvFiles.h"
#include "exchange/HTMLExport.h"
#include "listview/TOrvListView.h"
#include "platform/TClipboard.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QTemporaryDir& Scratch()
{
    static QTemporaryDir dir;
    return dir;
}

std::unique_ptr<TOrvListView> ShownList()
{
    auto list = std::make_unique<TOrvListView>();
    list->resize(800, 600);
    list->show();
    return list;
}

QString FieldLine(int fields, QChar separator)
{
    QString line;
    for (int f = 0; f < fields; ++f) {
        if (f)
            line += separator;
        line += QStringLiteral("field%1").arg(f);
    }
    return line;
}

// Columns added one at a time to a shown list, outside any update bracket.
void BM_AddColumnsToShownList(benchmark::State& state)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto list = ShownList();
        state.ResumeTiming();
        for (int c = 0; c < count; ++c)
            list->Columns().Add().SetCaption(QStringLiteral("c"));
        benchmark::DoNotOptimize(list->ContentWidth());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// One tab-separated line of that many fields pasted into an empty shown list.
void BM_PasteWideLine(benchmark::State& state)
{
    const int fields = int(state.range(0));
    TClipboard::SetAsText(FieldLine(fields, u'\t') + QStringLiteral("\r\n"));
    for (auto _ : state) {
        state.PauseTiming();
        auto list = ShownList();
        state.ResumeTiming();
        list->PasteFromClipboard();
        benchmark::DoNotOptimize(list->Columns().Count());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}

// A header line and a data line of that many fields, loaded into a shown list.
void BM_LoadWideCsvLine(benchmark::State& state)
{
    const int fields = int(state.range(0));
    const QString path = Scratch().filePath(QStringLiteral("wide%1.csv").arg(fields));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write((FieldLine(fields, u',') + u'\n' + FieldLine(fields, u',') + u'\n').toUtf8());
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto list = ShownList();
        list->SetLoadHeader(true);
        state.ResumeTiming();
        list->LoadFromCSV(path);
        benchmark::DoNotOptimize(list->Columns().Count());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}

// An LF-only export of a public data set (as Python's csv module, pandas and most Linux tools
// write it): that many records of twenty fields, about 540 bytes each, every seventh record
// holding a quoted line break. Read as one line it became a single row of thousands of columns.
void BM_LoadLfOnlyCsv(benchmark::State& state)
{
    const int records = int(state.range(0));
    const QString path = Scratch().filePath(QStringLiteral("survey%1.csv").arg(records));
    {
        QByteArray bytes;
        for (int f = 0; f < 20; ++f)
            bytes += (f ? "," : "") + QByteArray("column_") + QByteArray::number(f);
        bytes += '\n';
        for (int r = 0; r < records; ++r) {
            for (int f = 0; f < 20; ++f) {
                if (f)
                    bytes += ',';
                if (f == 5 && r % 7 == 3)
                    bytes += "\"Remark with\na second line, and a comma\"";
                else
                    bytes
                        += "value " + QByteArray::number(r) + "/" + QByteArray::number(f) + " abcdefghijklmn";
            }
            bytes += '\n';
        }
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto list = ShownList();
        list->SetLoadHeader(true);
        state.ResumeTiming();
        list->LoadFromCSV(path);
        benchmark::DoNotOptimize(list->Items().Count());
        state.PauseTiming();
        state.counters["rows"] = list->Items().Count();
        state.counters["columns"] = list->Columns().Count();
        list.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

// "</b>" and then that many kilobytes of "<a x=\"": attribute quotes that never close.
void BM_SanitizeUnclosedQuotes(benchmark::State& state)
{
    const qsizetype bytes = state.range(0) * 1024;
    const QString unit = QStringLiteral("<a x=\"");
    const QString markup = QStringLiteral("</b>") + unit.repeated(bytes / unit.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(SanitizeHTMLMarkup(markup).size());
    state.SetBytesProcessed(state.iterations() * bytes);
}

} // namespace

BENCHMARK(BM_AddColumnsToShownList)
    ->Name("AddColumnsToShownList/columns")
    ->Arg(2000)
    ->Arg(8000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteWideLine)
    ->Name("PasteWideLine/fields")
    ->Arg(16000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWideCsvLine)
    ->Name("LoadWideCsvLine/fields")
    ->Arg(16000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLfOnlyCsv)
    ->Name("LoadLfOnlyCsv/records_x20")
    ->Arg(250)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SanitizeUnclosedQuotes)
    ->Name("SanitizeUnclosedQuotes/KB")
    ->Arg(120)
    ->Arg(240)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
