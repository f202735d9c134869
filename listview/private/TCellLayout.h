// TCellLayout: where the pieces of one cell of a TOrvListView row go - the cell, the check box,
// the image and the text rectangles. Painting, hit tests, the editor and the check box clicks all
// read this one description, so that what the user clicks is what was drawn.
#pragma once

#include "platform/TTypes.h"

class TOrvListView;

struct TCellPieces {
    TRect cell; // C: the column's share of the row, top to the cell-area bottom B (client pixels)
    TRect checkBox; // the drawn box or glyph; empty when this cell has none
    bool checkGlyph = false; // the box is a glyph bitmap, not the flat frame
    int imageIndex = -1; // image drawn in the cell, -1 for none
    TPoint imageAt; // its top-left
    TRect text; // T: the cell after check box and image
    TRect label; // T': T with the row's indent at the first position
};

class TCellLayout {
public:
    explicit TCellLayout(const TOrvListView& list);

    // Bottom of the cell area of a row: above the detail line when that shows.
    int CellBottom(const TRect& row) const;
    // The pieces of the cell at display position `position` (showing `column`) of row `item`,
    // whose left edge is `left`; `row` is the full row rectangle.
    TCellPieces Layout(int item, const TRect& row, int position, int column, int left) const;
    // The same for a column found by its index; false when the row or column has no cell.
    bool LayoutColumn(int item, const TRect& row, int column, TCellPieces& pieces) const;

    // Geometry of the drawn pieces (client pixels).
    static constexpr int kCheckBoxSize = 14;
    static constexpr int kCheckBoxOffset = 2;
    static constexpr int kTextAfterCheckBox = 18;
    static constexpr int kGlyphGap = 4; // after a check glyph
    static constexpr int kImageOffset = 2;
    static constexpr int kImageGap = 2; // after an image
    static constexpr int kIndentStep = 16;
    static constexpr int kMaxImageIndex = 65534;

private:
    const TOrvListView& m_list;
};
