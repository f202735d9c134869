// Markup renderer throughput: typical list cells measured and drawn, one anchor hit test, and
// the layout of one large text.
#include "markup/DrawMarkup.h"
#include "platform/TCanvas.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

// About 60 characters with three tags and an anchor, varied so no two cells are alike.
std::vector<QString> TypicalCells(int count)
{
    std::vector<QString> cells;
    cells.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        cells.push_back(QStringLiteral(
            "<B>Item %1</B> costs <FONT COLOR=\"clred\">%2</FONT> see <A HREF=\"i%1\">info</A>")
                            .arg(i)
                            .arg(i % 997));
    }
    return cells;
}

struct Outputs {
    QString href, plain, focusHref;
    int width = 0, height = 0, anchors = 0, hoverAnchor = -1;
    TRect hoverRect;
};

bool Call(TCanvas& canvas, const QString& text, const TRect& rect, int x, int y, bool hitTestOnly,
    bool measureOnly, Outputs& o)
{
    return DrawMarkup(canvas, text, rect, nullptr, x, y, -1, -1, 1, hitTestOnly, measureOnly, false, false,
        true, false, true, 1.0, clBlue, clNone, clNone, clGray, o.href, o.plain, o.focusHref, o.width,
        o.height, o.anchors, o.hoverAnchor, o.hoverRect, nullptr, nullptr);
}

void BM_MarkupMeasureCells_100000x1(benchmark::State& state)
{
    const std::vector<QString> cells = TypicalCells(100000);
    TCanvas canvas;
    Outputs o;
    for (auto _ : state) {
        long long total = 0;
        for (const QString& cell : cells) {
            Call(canvas, cell, TRect { 0, 0, 400, 40 }, 0, 0, false, true, o);
            total += o.width;
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * qint64(cells.size()));
}
BENCHMARK(BM_MarkupMeasureCells_100000x1)->Unit(benchmark::kMillisecond);

void BM_MarkupDrawCells_100000x1(benchmark::State& state)
{
    const std::vector<QString> cells = TypicalCells(100000);
    QImage image(400, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    Outputs o;
    for (auto _ : state) {
        for (const QString& cell : cells)
            Call(canvas, cell, TRect { 0, 0, 400, 40 }, 0, 0, false, false, o);
    }
    state.SetItemsProcessed(state.iterations() * qint64(cells.size()));
}
BENCHMARK(BM_MarkupDrawCells_100000x1)->Unit(benchmark::kMillisecond);

void BM_MarkupAnchorHitTest_1x1(benchmark::State& state)
{
    const QString cell = TypicalCells(1).front();
    TCanvas canvas;
    Outputs o;
    Call(canvas, cell, TRect { 0, 0, 400, 40 }, 0, 0, false, true, o);
    const int x = o.width - 5; // on "info"
    const int y = o.height / 2;
    bool hit = false;
    for (auto _ : state) {
        hit = Call(canvas, cell, TRect { 0, 0, 400, 40 }, x, y, true, false, o);
        benchmark::DoNotOptimize(hit);
    }
    if (!hit)
        state.SkipWithError("the anchor was not hit");
}
BENCHMARK(BM_MarkupAnchorHitTest_1x1)->Unit(benchmark::kMicrosecond);

void BM_MarkupLayout100KB_1x1(benchmark::State& state)
{
    QString text;
    while (text.size() < 100 * 1024)
        text += QStringLiteral(
            "Some <B>bold</B> and <I>italic</I> words with an <A HREF=\"x\">anchor</A> &amp; more. ");
    TCanvas canvas;
    Outputs o;
    for (auto _ : state) {
        Call(canvas, text, TRect { 0, 0, 400, 100000 }, 0, 0, false, true, o);
        benchmark::DoNotOptimize(o.height);
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_MarkupLayout100KB_1x1)->Unit(benchmark::kMillisecond);

} // namespace
