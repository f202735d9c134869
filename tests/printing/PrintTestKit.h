// A table to print without a list, and a recording canvas that stands for a printer page with
// simple metrics: at 254 dots per inch one device pixel is one layout unit (0.1 mm), every
// character is 10 units wide and every line 40 units high (pad 5, "a" 10).
#pragma once

#include "platform/TBrush.h"
#include "platform/TCanvas.h"
#include "platform/TFont.h"
#include "printing/TPrintLayout.h"
#include "printing/TPrintSource.h"
#include "printing/TPrintsettings.h"

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

namespace printtest {

constexpr int kCharWidth = 10;
constexpr int kLineHeight = 40;
constexpr int kPad = kLineHeight / 8;

// Cells by column and row (row -1 = captions); events recorded and optionally handled.
class TTableSource : public TPrintSource {
public:
    QStringList captions;
    std::vector<QStringList> rows; // one list per row, column 0 first
    std::vector<TAlignment> alignments;
    std::vector<bool> checked;
    bool checkBoxes = false;
    int screenDpi = 96;

    // What the layout asked for.
    mutable std::map<std::pair<int, int>, int> cellReads; // (col, row) -> CellText calls
    std::vector<std::pair<int, int>> properties; // (row, subItem) of every CellProperties call
    std::vector<std::pair<int, int>> richPlainReads; // (row, subItem)
    std::vector<std::pair<int, int>> richDraws; // (row, subItem)
    std::vector<TRect> richRects;
    std::vector<int> pageEvents; // pagenr of every OnPrintPage
    std::vector<std::pair<int, int>> pageSizes; // (pagexsize, pageysize)
    std::vector<int> newPageRows; // aRow of every OnPrintNewPage
    std::vector<double> fitFactors; // scalefactor as OnFitToPage received it
    std::vector<std::pair<int, int>> widthEvents; // (aCol, width) as received

    std::function<void(int row, int subItem, TBrush&, TFont&, const QString&)> onProperties;
    std::function<void(TCanvas&, int pageNr)> onPage;
    std::function<void(double&, bool&)> onFit;
    std::function<void(int, int&)> onWidth;
    std::function<void(int, bool&)> onNewPage;

    // Captions and `count` rows "r<row>c<col>".
    static TTableSource Grid(int columns, int count);

    int ColumnCount() const override { return int(captions.size()); }
    int RowCount() const override { return int(rows.size()); }
    QString CellText(int col, int row) const override;
    TAlignment ColumnAlignment(int col) const override;
    bool ShowsCheckBoxes() const override { return checkBoxes; }
    bool RowChecked(int row) const override;
    int ScreenPixelsPerInch() const override { return screenDpi; }
    TPrintMarkupResources MarkupResources() override { return {}; }
    void CellProperties(int row, int subItem, TBrush& brush, TFont& font, const QString& text) override;
    QString RichPlainText(int row, int subItem) override;
    void DrawRichText(int row, int subItem, const TRect& rect, TCanvas& canvas) override;
    void PrintPage(TCanvas& canvas, int pageNr, int pageWidth, int pageBottom) override;
    void FitToPage(double& scaleFactor, bool& allow) override;
    void PrintSetColumnWidth(int col, int& width) override;
    void PrintNewPage(int row, bool& newPage) override;
};

// One text as drawn on a page.
struct TDrawnText {
    int page = 0;
    QString text;
    TRect rect; // 0.1 mm, top above bottom
    TColor color = clNone;
    TColor background = clNone;
    int fontHeight = 0;
};

// A layout run on the recording canvas; pages are told apart by the page feed.
class TLayoutHarness : public TPrintLayout::TPageFeed {
public:
    TTableSource source;
    TPrintsettings settings;
    TPrintState state;
    std::vector<TCanvasRecord> records;
    std::vector<size_t> pageStarts { 0 }; // index of the first record of every page
    QDateTime now = QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9));
    int pageCount = 0;
    TProgressCallback progress; // heard while printing

    // A page of 200 x 280 mm at 254 dots per inch.
    explicit TLayoutHarness(QSize pageUnits = QSize(2000, 2800), int dpi = 254);
    TCanvas& Canvas() { return m_canvas; }

    void Print();
    void Preview(const TRect& rectPixels);
    void NewPage() override { pageStarts.push_back(records.size()); }

    int PageOf(size_t recordIndex) const;
    std::vector<TDrawnText> Texts() const;
    std::vector<TDrawnText> TextsOn(int page) const;
    // The first text on any page that equals `text` (an empty text when none does).
    TDrawnText Find(const QString& text, int page = -1) const;
    std::vector<TCanvasRecord> Lines(int page) const;
    std::vector<TCanvasRecord> CheckBoxes() const;

private:
    TCanvas m_canvas;
};

} // namespace printtest
