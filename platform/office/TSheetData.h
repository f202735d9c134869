// One worksheet's contents as the spreadsheet server keeps them: a name and rows of cell texts
// (an empty text is an empty cell).
#pragma once

#include <QString>
#include <vector>

struct TSheetData {
    QString name;
    std::vector<std::vector<QString>> rows; // rows[r][c], 0-based; rows may be shorter than others

    // One past the last row and column that hold a non-empty cell.
    int UsedRows() const;
    int UsedColumns() const;
    const QString& Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
};
