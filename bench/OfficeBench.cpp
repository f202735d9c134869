// Office export of large lists through the built-in servers, file written included.
#include "exchange/OfficeExport.h"
#include "platform/TListItems.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct BigList {
    TListColumns columns;
    TListItems items;
    BigList(int rows, int cols)
    {
        for (int c = 0; c < cols; ++c)
            columns.Add().SetAlignment(c % 3 == 1 ? taRightJustify : c % 3 == 2 ? taCenter : taLeftJustify);
        items.Reserve(rows);
        for (int r = 0; r < rows; ++r) {
            TListItem& item = items.Add();
            item.SetCaption(QStringLiteral("Row %1").arg(r));
            for (int c = 1; c < cols; ++c)
                item.SubItems() << QStringLiteral("cell %1.%2 text").arg(r).arg(c);
        }
    }
};

void Export(benchmark::State& state, const QString& name, bool document)
{
    const BigList list(int(state.range(0)), int(state.range(1)));
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    for (auto _ : state) {
        if (document)
            SaveListToDOC(list.columns, list.items, path);
        else
            SaveListToXLS(list.columns, list.items, path);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void BM_SaveListToXLS_Xls(benchmark::State& state)
{
    Export(state, QStringLiteral("bench.xls"), false);
}
void BM_SaveListToXLS_Xlsx(benchmark::State& state)
{
    Export(state, QStringLiteral("bench.xlsx"), false);
}
void BM_SaveListToDOC(benchmark::State& state)
{
    Export(state, QStringLiteral("bench.doc"), true);
}

} // namespace

// .xls holds at most 65,536 rows; the newer format and the document take the full 100,000.
BENCHMARK(BM_SaveListToXLS_Xls)->Args({ 65536, 7 })->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveListToXLS_Xlsx)->Args({ 100000, 7 })->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveListToDOC)->Args({ 100000, 7 })->Unit(benchmark::kMillisecond);
