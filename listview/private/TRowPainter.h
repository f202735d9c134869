// TRowPainter: paints one row of a TOrvListView cell by cell (background, check box, image,
// plain text, URL, markup or rich text), then the detail line, the focus rectangle and the
// application's OnDrawItem.
#pragma once

#include "platform/TBitmap.h"
#include "platform/TTypes.h"

#include <QString>

class TCanvas;
struct TCellPieces;
class TOrvListView;

class TRowPainter {
public:
    explicit TRowPainter(TOrvListView& list);

    // Draws row `Index` into `Rect` (the full row, client pixels) on the list's drawing canvas,
    // which the caller has attached and preset with the row's font and brush.
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

    // Renders the rich-text cell (ARow, ASubItem; -1 = caption) into `Rect` of `Canvas`. Selection
    // colours apply only on the list's own drawing canvas, never on a printer's.
    void DrawRichText(int ARow, int ASubItem, const TRect& Rect, TCanvas& Canvas);

    // The text a URL cell shows without URLFull: everything up to "://" and "mailto:" removed.
    static QString ShortenURL(const QString& text);

    // Text insets inside the label rectangle (pixels); the rest of the geometry is TCellLayout's.
    static constexpr int kTextMargin = 2;
    static constexpr int kMarkupOffset = 2;

private:
    void DrawCheckBox(int Index, const TCellPieces& pieces);
    void DrawDetailLine(int Index, TRect& row, int cellsRight, TOwnerDrawState State);
    // Glyphs are drawn with the transparent colour taken from their own picture; the copies keep
    // the list's bitmaps untouched and their transparency masks are made once, not per row.
    const TBitmap& TransparentGlyph(const TBitmap& source, TBitmap& copy);

    TOrvListView& m_list;
    TBitmap m_checkTrue;
    TBitmap m_checkFalse;
};
