// The built-in spreadsheet automation server: an application with workbooks of worksheets whose
// ranges take values; SaveAs writes ".xls" as an Excel 97-2003 workbook, any other name as
// Office Open XML (.xlsx).
#pragma once

#include "platform/TAutomation.h"

#include <memory>

class TExcelServer {
public:
    static std::shared_ptr<TDispatchObject> CreateApplication();

    // Parses an A1 reference ("B3", "$A$1", "A1:C2"); 0-based inclusive bounds. False when malformed.
    struct CellBlock {
        int top = 0, left = 0, bottom = 0, right = 0;
    };
    static bool ParseReference(const QString& text, CellBlock& block);

    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
    static constexpr int kMaxCellText = 32767; // characters a cell holds
};
