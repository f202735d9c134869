// The plain-text form of rows exchanged through the clipboard: one line per row, cells
// separated by tabs, every line ended by CR LF.
#pragma once

#include <QString>

class TListItems;
class TListColumns;

namespace orvops {

// The lines of every row, or of the selected rows only. Every sub-item a row carries is
// written, whatever the column count; texts are copied as stored.
QString RowsToText(const TListItems& items, bool selectedOnly);

// The first line of `text`, as AppendRowsFromText splits it, that has more fields than a row
// read from text may have (kMaxTextFields).
struct TOverlongLine {
    int line = 0; // 1-based; 0 when every line fits
    int fields = 0;
};
TOverlongLine FindOverlongLine(const QString& text);

// Appends the lines of `text` as new, selected rows; a line ends at CR (the character after
// the CR is skipped). A final line without CR is not taken, except when the whole text holds
// no CR at all: then that single line becomes one row. Columns are appended while a line has
// more fields than the list has columns. Returns the index of the last row added, or -1 (also
// when a line has more than kMaxTextFields fields: then nothing is added).
int AppendRowsFromText(TListItems& items, TListColumns& columns, const QString& text);

// Deletes every selected row; returns how many were deleted.
int DeleteSelectedRows(TListItems& items);

} // namespace orvops
