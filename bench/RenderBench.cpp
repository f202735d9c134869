// Cell rendering and column sizing at scale: one viewport of a 1,000,000-row list whose cells
// hold markup and URLs, and autosizing every column of 100,000 rows.
#include "BenchApp.h"
#include "listview/TOrvListView.h"
#include "listview/private/TColumnAutoSizer.h"
#include "listview/private/TRowPainter.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kCells = 5;

// Paints through the row painter whatever the list's own DrawItem does.
class TBenchList : public TOrvListView {
public:
    TBenchList()
        : m_painter(*this)
    { }
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override
    {
        m_painter.DrawItem(Index, Rect, State);
    }

private:
    TRowPainter m_painter;
};

void Fill(TOrvListView& list, int rows)
{
    for (int c = 0; c < kCells; ++c) {
        TListColumn& column = list.Columns().Add();
        column.SetCaption(QStringLiteral("Column %1").arg(c));
        column.SetWidth(150);
    }
    list.SetURLShow(true);
    TListItems& items = list.Items();
    items.BeginUpdate();
    items.Reserve(rows);
    for (int r = 0; r < rows; ++r) {
        TListItem& item = items.Add();
        item.SetCaption(QStringLiteral("<b>Row</b> <font color=\"clred\">%1</font>").arg(r));
        QStringList& subItems = item.SubItems();
        subItems.reserve(kCells - 1);
        subItems << QStringLiteral("http://www.example.org/item/%1").arg(r)
                 << QStringLiteral("plain cell text") << QStringLiteral("<i>italic</i> and <u>underlined</u>")
                 << QString::number(r * 7);
    }
    items.EndUpdate();
}

void BM_PaintViewportMarkupURL_1000000x5(benchmark::State& state)
{
    static std::unique_ptr<TBenchList> list = [] {
        auto l = std::make_unique<TBenchList>();
        Fill(*l, 1000000);
        l->SetItemHeight(18);
        l->resize(800, 600);
        l->show();
        l->Loaded();
        benchapp::ReleaseBeforeExit([] { list.reset(); });
        return l;
    }();
    list->EnsureVisible(500000);
    list->Items()[list->TopIndex()].SetSelected(true);
    QImage image(list->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        list->PaintRows(painter, TRect { 0, 0, image.width(), image.height() });
    }
    state.counters["rows"] = list->VisibleRowCount();
}
BENCHMARK(BM_PaintViewportMarkupURL_1000000x5)->Unit(benchmark::kMillisecond);

void BM_AutoSizeColumns_100000x5(benchmark::State& state)
{
    TBenchList list;
    Fill(list, 100000);
    TColumnAutoSizer sizer(list);
    for (auto _ : state) {
        sizer.AutoSizeColumns();
        benchmark::DoNotOptimize(list.Columns()[0].Width());
    }
}
BENCHMARK(BM_AutoSizeColumns_100000x5)->Unit(benchmark::kMillisecond)->Iterations(2);

// Plain cells only: the part of autosizing that is one text measurement per cell.
void BM_AutoSizePlainColumn_100000(benchmark::State& state)
{
    TBenchList list;
    Fill(list, 100000);
    TColumnAutoSizer sizer(list);
    for (auto _ : state) {
        sizer.AutoSizeColumn(2);
        benchmark::DoNotOptimize(list.Columns()[2].Width());
    }
}
BENCHMARK(BM_AutoSizePlainColumn_100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
