// TListPrintSource: the list as the print layout reads it: cells, columns, check boxes, the
// per-cell event, rich-text cells, markup resources and the four print events.
#pragma once

#include "printing/TPrintSource.h"

class TOrvListView;

class TListPrintSource : public TPrintSource {
public:
    explicit TListPrintSource(TOrvListView& list);

    int ColumnCount() const override;
    int RowCount() const override;
    QString CellText(int col, int row) const override;
    TAlignment ColumnAlignment(int col) const override;
    bool ShowsCheckBoxes() const override;
    bool RowChecked(int row) const override;
    int ScreenPixelsPerInch() const override;
    TPrintMarkupResources MarkupResources() override;
    void CellProperties(int row, int subItem, TBrush& brush, TFont& font, const QString& text) override;
    QString RichPlainText(int row, int subItem) override;
    void DrawRichText(int row, int subItem, const TRect& rect, TCanvas& canvas) override;

    void PrintPage(TCanvas& canvas, int pageNr, int pageWidth, int pageBottom) override;
    void FitToPage(double& scaleFactor, bool& allow) override;
    void PrintSetColumnWidth(int col, int& width) override;
    void PrintNewPage(int row, bool& newPage) override;

private:
    TOrvListView& m_list;
};
