// Rich-text cells: loading the RTF and rendering it into a cell, the work a list repeats for
// every visible rich-text cell on every paint; and a large document to show the reader is linear.
#include "platform/TCanvas.h"
#include "platform/TRichEdit.h"

#include <QImage>
#include <array>
#include <benchmark/benchmark.h>

namespace {

// About `bytes` of RTF as a word processor writes it: a font and colour table, then runs of
// formatted words with escapes.
QByteArray RichCell(int bytes)
{
    QByteArray rtf
        = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
          "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\f0\\fs16 ";
    int i = 0;
    while (rtf.size() < bytes - 10) {
        switch (i++ % 6) {
        case 0:
            rtf += "plain words ";
            break;
        case 1:
            rtf += "{\\b bold} ";
            break;
        case 2:
            rtf += "\\cf1 red\\cf0  ";
            break;
        case 3:
            rtf += "caf\\'e9 \\u8364\\'80 ";
            break;
        case 4:
            rtf += "{\\i\\f1 italic} ";
            break;
        case 5:
            rtf += "x\\super 2\\nosupersub  ";
            break;
        }
    }
    rtf += "\\par}";
    return rtf;
}

// Two cells that differ, loaded in turn, as a list loads the cells of different rows.
std::array<QByteArray, 2> TwoCells(int bytes)
{
    const QByteArray a = RichCell(bytes);
    QByteArray b = a;
    b.replace("plain", "Plain");
    return { a, b };
}

void BM_RichCell1KB_Load(benchmark::State& state)
{
    const auto cells = TwoCells(1024);
    TRichEdit edit;
    std::size_t i = 0;
    for (auto _ : state) {
        edit.LoadFromRtf(cells[i++ & 1]);
        benchmark::DoNotOptimize(edit.TextLength());
    }
    state.SetBytesProcessed(state.iterations() * cells[0].size());
}
BENCHMARK(BM_RichCell1KB_Load);

void BM_RichCell1KB_LoadAndRender(benchmark::State& state)
{
    const auto cells = TwoCells(1024);
    TRichEdit edit;
    QImage image(400, 40, QImage::Format_RGB32);
    TCanvas canvas(&image);
    const TRect cell { 0, 0, 400 * 15, 40 * 15 }; // a 400 x 40 pixel cell at 96 dpi
    std::size_t i = 0;
    for (auto _ : state) {
        edit.LoadFromRtf(cells[i++ & 1]);
        benchmark::DoNotOptimize(edit.Render(canvas, cell, cell));
    }
}
BENCHMARK(BM_RichCell1KB_LoadAndRender);

// The same cell painted again: the load and the layout are both kept.
void BM_RichCell1KB_RepaintSameCell(benchmark::State& state)
{
    const QByteArray rtf = RichCell(1024);
    TRichEdit edit;
    QImage image(400, 40, QImage::Format_RGB32);
    TCanvas canvas(&image);
    const TRect cell { 0, 0, 400 * 15, 40 * 15 };
    for (auto _ : state) {
        edit.LoadFromRtf(rtf);
        benchmark::DoNotOptimize(edit.Render(canvas, cell, cell));
    }
}
BENCHMARK(BM_RichCell1KB_RepaintSameCell);

void BM_RichCell1KB_SaveToRtf(benchmark::State& state)
{
    TRichEdit edit;
    edit.LoadFromRtf(RichCell(1024));
    for (auto _ : state)
        benchmark::DoNotOptimize(edit.SaveToRtf());
}
BENCHMARK(BM_RichCell1KB_SaveToRtf);

void BM_RtfDocument_Load(benchmark::State& state)
{
    const auto docs = TwoCells(int(state.range(0)));
    TRichEdit edit;
    std::size_t i = 0;
    for (auto _ : state) {
        edit.LoadFromRtf(docs[i++ & 1]);
        benchmark::DoNotOptimize(edit.TextLength());
    }
    state.SetBytesProcessed(state.iterations() * docs[0].size());
}
BENCHMARK(BM_RtfDocument_Load)->Arg(64 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

void BM_RichCell1KB_Render(benchmark::State& state)
{
    TRichEdit edit;
    edit.LoadFromRtf(RichCell(1024));
    QImage image(400, 40, QImage::Format_RGB32);
    TCanvas canvas(&image);
    const TRect cell { 0, 0, 400 * 15, 40 * 15 };
    for (auto _ : state)
        benchmark::DoNotOptimize(edit.Render(canvas, cell, cell));
}
BENCHMARK(BM_RichCell1KB_Render);

} // namespace

namespace {

// The demo's own rich-text cell (four words, three formats): the common case on screen.
void BM_RichCellDemo_LoadAndRender(benchmark::State& state)
{
    TRichEdit builder;
    builder.SetText(QStringLiteral("This is rich text"));
    builder.SetSelection(0, 4);
    builder.SetSelColor(clBlue);
    builder.SetSelection(8, 4);
    builder.SetSelStyle(fsBold);
    builder.SetSelection(13, 4);
    builder.SetSuperscript();
    const QByteArray rtf = builder.SaveToRtf();
    const std::array<QByteArray, 2> cells = { rtf, QByteArray(rtf).replace("This", "That") };
    TRichEdit edit;
    QImage image(200, 20, QImage::Format_RGB32);
    TCanvas canvas(&image);
    const TRect cell { 0, 0, 200 * 15, 20 * 15 };
    std::size_t i = 0;
    for (auto _ : state) {
        edit.LoadFromRtf(cells[i++ & 1]);
        benchmark::DoNotOptimize(edit.Render(canvas, cell, cell));
    }
    state.counters["rtf_bytes"] = double(rtf.size());
}
BENCHMARK(BM_RichCellDemo_LoadAndRender);

} // namespace
