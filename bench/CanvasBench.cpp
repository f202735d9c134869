// Canvas text costs that a list pays per cell on every paint.
#include "platform/TCanvas.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

void SetUpFont(TCanvas& c)
{
    c.Font().SetName(QStringLiteral("DejaVu Sans"));
    c.Font().SetHeight(-13);
    c.SetBkMode(bkTransparent);
}

// One viewport: 40 rows x 8 columns of single-line, ellipsised cells.
void BM_DrawTextCells_40x8(benchmark::State& state)
{
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    TCanvas c(&image);
    SetUpFont(c);
    const unsigned flags
        = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL;
    for (auto _ : state) {
        for (int row = 0; row < 40; ++row) {
            for (int col = 0; col < 8; ++col) {
                TRect r = Rect(col * 100, row * 15, col * 100 + 100, row * 15 + 15);
                c.DrawTextEx(QStringLiteral("Cell %1 of row %2 with text").arg(col).arg(row), r, flags, 2, 2);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 320);
}
BENCHMARK(BM_DrawTextCells_40x8)->Unit(benchmark::kMicrosecond);

// The same viewport with texts never seen before (a fast scroll through a large list): every
// measurement misses the width cache.
void BM_DrawTextCellsUncached_40x8(benchmark::State& state)
{
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    TCanvas c(&image);
    SetUpFont(c);
    const unsigned flags
        = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL;
    qint64 serial = 0;
    for (auto _ : state) {
        for (int row = 0; row < 40; ++row) {
            for (int col = 0; col < 8; ++col) {
                TRect r = Rect(col * 100, row * 15, col * 100 + 100, row * 15 + 15);
                c.DrawTextEx(QStringLiteral("Cell %1 with text").arg(++serial), r, flags, 2, 2);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 320);
}
BENCHMARK(BM_DrawTextCellsUncached_40x8)->Unit(benchmark::kMicrosecond);

// Measuring as the markup renderer does: calc-rect per segment, alternating two fonts.
void BM_CalcRectSegments_1000(benchmark::State& state)
{
    TCanvas c;
    SetUpFont(c);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            c.Font().SetStyle(i % 2 ? fsBold : 0);
            TRect r = Rect(0, 0, 0, 0);
            benchmark::DoNotOptimize(c.DrawText(QStringLiteral("segment"), r, DT_SINGLELINE | DT_CALCRECT));
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CalcRectSegments_1000)->Unit(benchmark::kMicrosecond);

// Word wrapping grows linearly with the text: a 20,000-character paragraph into 300 pixels.
void BM_WordBreak_20000chars(benchmark::State& state)
{
    TCanvas c;
    SetUpFont(c);
    QString text;
    while (text.size() < 20000)
        text += QStringLiteral("lorem ipsum dolor sit amet ");
    for (auto _ : state) {
        TRect r = Rect(0, 0, 300, 0);
        benchmark::DoNotOptimize(c.DrawText(text, r, DT_WORDBREAK | DT_CALCRECT));
    }
}
BENCHMARK(BM_WordBreak_20000chars)->Unit(benchmark::kMillisecond);

// A long line cut with an ellipsis: the cut is a binary search, not a character-by-character walk.
void BM_Ellipsis_100000chars(benchmark::State& state)
{
    QImage image(200, 20, QImage::Format_ARGB32_Premultiplied);
    TCanvas c(&image);
    SetUpFont(c);
    const QString text(100000, QLatin1Char('x'));
    for (auto _ : state) {
        TRect r = Rect(0, 0, 200, 20);
        c.DrawText(text, r, DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}
BENCHMARK(BM_Ellipsis_100000chars)->Unit(benchmark::kMillisecond);

} // namespace
