// Rearranging rows and the on-screen order of columns.
#pragma once

#include <vector>

class TListItems;

namespace orvops {

// Exchanges the contents of two rows (caption, data, image indexes, sub-items) and their check
// marks, which belong to the contents; selection and focus stay with the positions.
// Out-of-range rows: nothing.
void SwapRows(TListItems& items, int row1, int row2);

// Moves row `from` so that it ends at index `to` (-1: to the end). The moved row keeps its
// check mark and selection state and becomes the focused row. Returns the row's new index, or -1 when nothing
// was moved (from = -1, from = to, or an index out of range).
int MoveRow(TListItems& items, int from, int to);

// Exchange two display positions of the columns (order maps position -> column index).
// False (order untouched) for equal positions or positions outside 0 .. columnCount - 1.
bool SwapPositions(std::vector<int>& order, int columnCount, int pos1, int pos2);

// Moves the column at display position `from` to position `to`, shifting those between.
bool MovePosition(std::vector<int>& order, int columnCount, int from, int to);

} // namespace orvops
