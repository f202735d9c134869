// TColumnAutoSizer: fits TOrvListView columns to their widest cell, measured the way the cell is
// drawn (plain text, rich text as its plain text, markup as rendered, plus image and check box),
// and writes the column widths to the INI file or registry key the list's ColumnSize names.
#pragma once

class TOrvListView;

class TColumnAutoSizer {
public:
    explicit TColumnAutoSizer(TOrvListView& list);

    // Column form: 0 = caption. A list without rows keeps its widths.
    void AutoSizeColumn(int ACol);
    // Every column, with painting held back until the last width is set.
    void AutoSizeColumns();
    // Writes col0, col1, ... when ColumnSize().Save() is set and Key and Section are given;
    // throws EOrvListViewError("Unable to write to " + file) when an INI file cannot be written.
    void SaveColumnSizes();

    static constexpr int kCheckBoxWidth = 16; // pixels added to column 0 with check boxes
    static constexpr int kMargin = 10; // pixels added to the widest cell

private:
    TOrvListView& m_list;
};
