#include "platform/office/TSheetData.h"

int TSheetData::UsedRows() const
{
    for (int r = int(rows.size()); r > 0; --r) {
        for (const QString& text : rows[size_t(r - 1)]) {
            if (!text.isEmpty())
                return r;
        }
    }
    return 0;
}

int TSheetData::UsedColumns() const
{
    int used = 0;
    for (const auto& row : rows) {
        for (int c = int(row.size()); c > used; --c) {
            if (!row[size_t(c - 1)].isEmpty()) {
                used = c;
                break;
            }
        }
    }
    return used;
}

const QString& TSheetData::Cell(int row, int column) const
{
    static const QString empty;
    if (row < 0 || size_t(row) >= rows.size() || column < 0 || size_t(column) >= rows[size_t(row)].size())
        return empty;
    return rows[size_t(row)][size_t(column)];
}

void TSheetData::SetCell(int row, int column, const QString& text)
{
    if (text.isEmpty() && Cell(row, column).isEmpty())
        return; // clearing a cell never grows the sheet
    if (size_t(row) >= rows.size())
        rows.resize(size_t(row) + 1);
    auto& cells = rows[size_t(row)];
    if (size_t(column) >= cells.size())
        cells.resize(size_t(column) + 1);
    cells[size_t(column)] = text;
}
