// Writes worksheets of text cells as an Office Open XML workbook (.xlsx) with inline strings.
#pragma once

#include "platform/office/TSheetData.h"

#include <QByteArray>
#include <vector>

class TXlsxWriter {
public:
    static QByteArray Write(const std::vector<TSheetData>& sheets);
    // Cell text as XML character data: markup characters escaped, characters XML cannot carry
    // (and a literal "_xHHHH_") written in the format's _xHHHH_ notation.
    static QString EscapeText(const QString& text);
};
