#include "listview/ops/RowColumnOps.h"

#include "platform/TListItems.h"

#include <algorithm>

namespace orvops {

namespace {

bool ValidRow(const TListItems& items, int row)
{
    return row >= 0 && row < items.Count();
}

bool ValidPositions(const std::vector<int>& order, int columnCount, int a, int b)
{
    const int n = std::min<int>(columnCount, int(order.size()));
    return a != b && a >= 0 && b >= 0 && a < n && b < n;
}

} // namespace

void SwapRows(TListItems& items, int row1, int row2)
{
    if (row1 == row2 || !ValidRow(items, row1) || !ValidRow(items, row2))
        return;
    const bool checked1 = items[row1].Checked();
    const bool checked2 = items[row2].Checked();
    TListItem temp;
    temp.Assign(items[row1]);
    items[row1].Assign(items[row2]);
    items[row2].Assign(temp);
    items[row1].SetChecked(checked2);
    items[row2].SetChecked(checked1);
}

int MoveRow(TListItems& items, int from, int to)
{
    if (from == to || from == -1 || !ValidRow(items, from))
        return -1;
    if (to < -1 || to >= items.Count())
        to = -1;
    const bool wasSelected = items[from].Selected();
    const bool wasChecked = items[from].Checked();
    items[from].SetSelected(false);
    TListItem temp;
    temp.Assign(items[from]);
    items.Delete(from);
    TListItem* target = nullptr;
    if (to == -1) {
        target = &items.Add();
        to = items.Count() - 1;
    } else {
        target = &items.Insert(to);
    }
    target->Assign(temp);
    target->SetChecked(wasChecked);
    target->SetSelected(wasSelected);
    target->SetFocused(true);
    return to;
}

bool SwapPositions(std::vector<int>& order, int columnCount, int pos1, int pos2)
{
    if (!ValidPositions(order, columnCount, pos1, pos2))
        return false;
    std::swap(order[size_t(pos1)], order[size_t(pos2)]);
    return true;
}

bool MovePosition(std::vector<int>& order, int columnCount, int from, int to)
{
    if (!ValidPositions(order, columnCount, from, to))
        return false;
    const int moved = order[size_t(from)];
    if (from < to)
        std::copy(order.begin() + from + 1, order.begin() + to + 1, order.begin() + from);
    else
        std::copy_backward(order.begin() + to, order.begin() + from, order.begin() + from + 1);
    order[size_t(to)] = moved;
    return true;
}

} // namespace orvops
