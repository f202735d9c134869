// Column sort of 1,000,000 rows by each kind of comparison.
#include "listview/ops/SortEngine.h"
#include "platform/TListItems.h"

#include <QRandomGenerator>
#include <numeric>
#include <random>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 1000000;

// Rows with: caption = random word, sub-item 0 = "<n>pk", sub-item 1 = dd-mm-yyyy,
// sub-item 2 = m/d/yyyy h:mm (the C locale's short date order).
void Fill(TListItems& items)
{
    QRandomGenerator rng(42);
    items.Reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        TListItem& item = items.Add();
        QString word;
        for (int k = 0; k < 8; ++k)
            word += QChar('a' + rng.bounded(26));
        item.SetCaption(word);
        const int d = 1 + rng.bounded(28), m = 1 + rng.bounded(12), y = 1950 + rng.bounded(70);
        item.SubItems() << QString::number(rng.bounded(100000)) + QStringLiteral("pk")
                        << QStringLiteral("%1-%2-%3").arg(d, 2, 10, QChar('0')).arg(m, 2, 10, QChar('0')).arg(y)
                        << QStringLiteral("%1/%2/%3 %4:%5").arg(m).arg(d).arg(y).arg(rng.bounded(24)).arg(rng.bounded(60), 2, 10, QChar('0'));
    }
}

TListItems& Rows()
{
    static TListItems items;
    if (items.Count() == 0)
        Fill(items);
    return items;
}

void RunSort(benchmark::State& state, int column, TSortStyle style, const QString& suffix)
{
    TListItems& items = Rows();
    orvsort::TSortHandlers handlers;
    handlers.getFormat = [&](int, TSortStyle& s, QString&, QString& sfx) {
        s = style;
        if (!suffix.isEmpty())
            sfx = suffix;
    };
    for (auto _ : state) {
        // Each run starts from the same shuffled order.
        state.PauseTiming();
        std::vector<int> order(static_cast<size_t>(items.Count()));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), std::mt19937(7));
        items.ApplyOrder(order);
        state.ResumeTiming();
        orvsort::TSortRun run(column, 1, handlers, QLocale::c());
        run.Sort(items);
    }
}

void BM_Sort_Text_1000000x1(benchmark::State& state)
{
    // Random eight-letter words in the caption.
    RunSort(state, -1, ssText, {});
}
void BM_Sort_NumberSuffix_1000000x1(benchmark::State& state)
{
    RunSort(state, 0, ssNumber, QStringLiteral("pk"));
}
void BM_Sort_DateDMY_1000000x1(benchmark::State& state)
{
    RunSort(state, 1, ssDateDMY, {});
}
void BM_Sort_DateTime_1000000x1(benchmark::State& state)
{
    RunSort(state, 2, ssDateTime, {});
}

} // namespace

BENCHMARK(BM_Sort_Text_1000000x1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort_NumberSuffix_1000000x1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort_DateDMY_1000000x1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort_DateTime_1000000x1)->Unit(benchmark::kMillisecond)->Iterations(3);
