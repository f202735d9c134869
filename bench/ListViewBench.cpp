// The list control at 1,000,000 rows: filling it, painting one viewport, jumping to the end.
#include "BenchApp.h"
#include "platform/TCustomListView.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kRows = 1000000;
constexpr int kCells = 7;

void AddColumns(TCustomListView& list)
{
    for (int c = 0; c < kCells; ++c) {
        TListColumn& column = list.Columns().Add();
        column.SetCaption(QString("Column %1").arg(c));
        column.SetWidth(90);
    }
}

void AddRows(TCustomListView& list, int rows)
{
    TListItems& items = list.Items();
    items.BeginUpdate();
    items.Reserve(rows);
    for (int r = 0; r < rows; ++r) {
        TListItem& item = items.Add();
        item.SetCaption(QString::number(r));
        QStringList& subItems = item.SubItems();
        subItems.reserve(kCells - 1);
        for (int c = 1; c < kCells; ++c)
            subItems << QStringLiteral("cell text");
    }
    items.EndUpdate();
}

// One filled, shown list shared by the benchmarks that only read it.
TCustomListView& BigList()
{
    static std::unique_ptr<TCustomListView> list = [] {
        auto l = std::make_unique<TCustomListView>();
        AddColumns(*l);
        AddRows(*l, kRows);
        l->resize(800, 600);
        l->show();
        benchapp::ReleaseBeforeExit([] { list.reset(); });
        return l;
    }();
    return *list;
}

void BM_AddRows_1000000x7(benchmark::State& state)
{
    for (auto _ : state) {
        auto list = std::make_unique<TCustomListView>();
        AddColumns(*list);
        AddRows(*list, kRows);
        benchmark::DoNotOptimize(list->Items().Count());
        state.PauseTiming(); // the destruction of a million rows is not what is measured
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_AddRows_1000000x7)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PaintViewport_1000000x7(benchmark::State& state)
{
    TCustomListView& list = BigList();
    list.EnsureVisible(kRows / 2);
    QImage image(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        list.PaintRows(painter, TRect { 0, 0, image.width(), image.height() });
    }
    state.counters["rows"] = list.VisibleRowCount();
}
BENCHMARK(BM_PaintViewport_1000000x7)->Unit(benchmark::kMillisecond);

void BM_SelectLastAndScroll_1000000x7(benchmark::State& state)
{
    TCustomListView& list = BigList();
    // Select as a click does: the old selection goes, the new row is selected, focused and
    // scrolled to. Each iteration goes to the first row and back to the last.
    auto select = [&](int row) {
        list.ClearSelection();
        list.Items()[row].SetSelected(true);
        list.Items()[row].SetFocused(true);
        list.EnsureVisible(row);
    };
    for (auto _ : state) {
        select(0);
        select(kRows - 1);
        benchmark::DoNotOptimize(list.TopIndex());
    }
}
BENCHMARK(BM_SelectLastAndScroll_1000000x7)->Unit(benchmark::kMicrosecond);

} // namespace
