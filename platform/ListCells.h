// Reading a row's cells by column and laying a column's text out by its alignment: the one
// place that knows column 0 is the caption and column c >= 1 is sub-item c - 1.
#pragma once

#include "platform/TCanvas.h"
#include "platform/TListItems.h"
#include "platform/TTypes.h"

#include <QString>

namespace ListCells {

// The caption for column 0, sub-item column - 1 for column >= 1, and "" when the row has fewer
// sub-items or the column is negative.
inline QString Text(const TListItem& item, int column)
{
    if (column == 0)
        return item.Caption();
    if (column < 0 || item.SubItems().size() < column)
        return QString();
    return item.SubItems()[column - 1];
}

// The horizontal DrawText flag of a column's alignment.
inline unsigned TextFlags(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

} // namespace ListCells
