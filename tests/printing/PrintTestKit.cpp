#include "PrintTestKit.h"

#include <algorithm>

namespace printtest {

TTableSource TTableSource::Grid(int columns, int count)
{
    TTableSource s;
    for (int c = 0; c < columns; ++c)
        s.captions << QStringLiteral("H%1").arg(c);
    for (int r = 0; r < count; ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row << QStringLiteral("r%1c%2").arg(r).arg(c);
        s.rows.push_back(row);
    }
    return s;
}

QString TTableSource::CellText(int col, int row) const
{
    ++cellReads[{ col, row }];
    if (row < 0)
        return col < captions.size() ? captions[col] : QString();
    if (row >= int(rows.size()))
        return QString();
    const QStringList& r = rows[size_t(row)];
    return col < r.size() ? r[col] : QString();
}

TAlignment TTableSource::ColumnAlignment(int col) const
{
    return col < int(alignments.size()) ? alignments[size_t(col)] : taLeftJustify;
}

bool TTableSource::RowChecked(int row) const
{
    return row >= 0 && row < int(checked.size()) && checked[size_t(row)];
}

void TTableSource::CellProperties(int row, int subItem, TBrush& brush, TFont& font, const QString& text)
{
    properties.push_back({ row, subItem });
    if (onProperties)
        onProperties(row, subItem, brush, font, text);
}

QString TTableSource::RichPlainText(int row, int subItem)
{
    richPlainReads.push_back({ row, subItem });
    return QStringLiteral("plain%1").arg(row);
}

void TTableSource::DrawRichText(int row, int subItem, const TRect& rect, TCanvas& /*canvas*/)
{
    richDraws.push_back({ row, subItem });
    richRects.push_back(rect);
}

void TTableSource::PrintPage(TCanvas& canvas, int pageNr, int pageWidth, int pageBottom)
{
    pageEvents.push_back(pageNr);
    pageSizes.push_back({ pageWidth, pageBottom });
    if (onPage)
        onPage(canvas, pageNr);
}

void TTableSource::FitToPage(double& scaleFactor, bool& allow)
{
    fitFactors.push_back(scaleFactor);
    if (onFit)
        onFit(scaleFactor, allow);
}

void TTableSource::PrintSetColumnWidth(int col, int& width)
{
    widthEvents.push_back({ col, width });
    if (onWidth)
        onWidth(col, width);
}

void TTableSource::PrintNewPage(int row, bool& newPage)
{
    newPageRows.push_back(row);
    if (onNewPage)
        onNewPage(row, newPage);
}

TLayoutHarness::TLayoutHarness(QSize pageUnits, int dpi)
{
    m_canvas.SetRecorder(&records);
    // Fixed metrics are device pixels: scale them so that they stay the same in layout units.
    const double pixelsPerUnit = dpi / 254.0;
    m_canvas.SetFixedMetrics(
        int(kCharWidth * pixelsPerUnit + 0.5), int(32 * pixelsPerUnit + 0.5), int(8 * pixelsPerUnit + 0.5));
    m_canvas.SetFixedDevice(dpi, dpi,
        QSize(int(pageUnits.width() * pixelsPerUnit + 0.5), int(pageUnits.height() * pixelsPerUnit + 0.5)));
}

void TLayoutHarness::Print()
{
    TPrintLayout layout(source, settings, state);
    layout.Clock = [this] { return now; };
    layout.Progress = progress;
    m_canvas.SetMapMode(mmLoMetric);
    layout.LayoutPages(m_canvas, TPrintLayout::lmPrint, this);
    pageCount = layout.PageCount();
}

void TLayoutHarness::Preview(const TRect& rectPixels)
{
    TPrintLayout layout(source, settings, state);
    layout.Clock = [this] { return now; };
    layout.Progress = progress; // the preview must not report
    layout.PreviewPaint(m_canvas, rectPixels);
    pageCount = layout.PageCount();
}

int TLayoutHarness::PageOf(size_t recordIndex) const
{
    const auto it = std::upper_bound(pageStarts.begin(), pageStarts.end(), recordIndex);
    return int(it - pageStarts.begin()) - 1;
}

std::vector<TDrawnText> TLayoutHarness::Texts() const
{
    std::vector<TDrawnText> out;
    for (size_t i = 0; i < records.size(); ++i) {
        const TCanvasRecord& r = records[i];
        if (r.kind == TCanvasRecord::Text)
            out.push_back({ PageOf(i), r.text, r.rect, r.color, r.background, r.fontHeight });
    }
    return out;
}

std::vector<TDrawnText> TLayoutHarness::TextsOn(int page) const
{
    std::vector<TDrawnText> out;
    for (const TDrawnText& t : Texts())
        if (t.page == page)
            out.push_back(t);
    return out;
}

TDrawnText TLayoutHarness::Find(const QString& text, int page) const
{
    for (const TDrawnText& t : Texts())
        if (t.text == text && (page < 0 || t.page == page))
            return t;
    return {};
}

std::vector<TCanvasRecord> TLayoutHarness::Lines(int page) const
{
    std::vector<TCanvasRecord> out;
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].kind == TCanvasRecord::Line && PageOf(i) == page)
            out.push_back(records[i]);
    return out;
}

std::vector<TCanvasRecord> TLayoutHarness::CheckBoxes() const
{
    std::vector<TCanvasRecord> out;
    for (const TCanvasRecord& r : records)
        if (r.kind == TCanvasRecord::CheckBox)
            out.push_back(r);
    return out;
}

} // namespace printtest
