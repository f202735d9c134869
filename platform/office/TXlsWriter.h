// Writes worksheets of text cells as an Excel 97-2003 workbook: BIFF8 records in the "Workbook"
// stream of a compound file, strings shared through the SST.
#pragma once

#include "platform/office/TSheetData.h"

#include <QByteArray>
#include <vector>

class TXlsWriter {
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;

    // The whole .xls file. A sheet beyond the format's 65,536 rows or 256 columns is refused with a
    // message in *error (and an empty result) rather than silently cut.
    static QByteArray Write(const std::vector<TSheetData>& sheets, QString* error = nullptr);
    // Just the BIFF8 "Workbook" stream.
    static QByteArray WriteWorkbookStream(const std::vector<TSheetData>& sheets);
};
