// TPrintSource: what the print layout reads from the list it prints and the events it raises on
// it. The list implements it; tests implement it without a list.
#pragma once

#include "platform/TColor.h"
#include "platform/TTypes.h"

#include <QString>

class TBrush;
class TCanvas;
class TFont;
class THTMLPictureCache;
class TImageList;
class TPictureContainer;

// What the markup renderer draws images and links with.
struct TPrintMarkupResources {
    TImageList* images = nullptr;
    TColor urlColor = clBlue;
    THTMLPictureCache* pictureCache = nullptr;
    TPictureContainer* pictures = nullptr;
};

class TPrintSource {
public:
    virtual ~TPrintSource() = default;

    virtual int ColumnCount() const = 0;
    virtual int RowCount() const = 0;
    // Column c (0 = caption) of row r; row -1 is the column captions.
    virtual QString CellText(int col, int row) const = 0;
    virtual TAlignment ColumnAlignment(int col) const = 0;
    virtual bool ShowsCheckBoxes() const = 0;
    virtual bool RowChecked(int row) const = 0;
    // Horizontal resolution of the list's window on screen; 0 when it cannot be read.
    virtual int ScreenPixelsPerInch() const = 0;
    virtual TPrintMarkupResources MarkupResources() = 0;

    // The per-cell event (row -1 = the column-header row, subItem -1 = the caption column) with
    // an empty state: the handler may change brush and font.
    virtual void CellProperties(int row, int subItem, TBrush& brush, TFont& font, const QString& text) = 0;
    // Plain text of a rich-text cell.
    virtual QString RichPlainText(int row, int subItem) = 0;
    // Renders a rich-text cell into a rectangle (logical units of the canvas).
    virtual void DrawRichText(int row, int subItem, const TRect& rect, TCanvas& canvas) = 0;

    // Print events; the defaults are what an unassigned event does.
    virtual void PrintPage(TCanvas& /*canvas*/, int /*pageNr*/, int /*pageWidth*/, int /*pageBottom*/) { }
    virtual void FitToPage(double& /*scaleFactor*/, bool& /*allow*/) { }
    virtual void PrintSetColumnWidth(int /*col*/, int& /*width*/) { }
    virtual void PrintNewPage(int /*row*/, bool& /*newPage*/) { }
};
