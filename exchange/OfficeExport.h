// Export of a list's rows to a spreadsheet or a word-processor document through the
// "excel.application" and "word.application" automation servers.
#pragma once

#include "platform/OrvExceptions.h"
#include "platform/TProgress.h"

#include <QString>

class TListColumns;
class TListItems;

// Letters of a 1-based column in A1 notation: 1 -> "A", 26 -> "Z", 27 -> "AA", 52 -> "AZ".
QString SpreadsheetColumnName(int column);

// Fills a new worksheet with the rows (captions in column A, no header line) and saves the workbook
// under `fileName`; "Excel OLE server not found" (EOrvListViewError) when the server is missing.
// A list without rows or columns saves an empty workbook. Shows the hourglass while it runs.
// `progress` hears of the rows filled in (the save counts as many again); a cancel from it throws
// EProgressCancelled before the workbook is saved.
void SaveListToXLS(const TListColumns& columns, const TListItems& items, const QString& fileName,
    const TProgressCallback& progress = {});

// Builds a document holding one table of the rows, keeping right and centred column alignment,
// and saves it under `fileName`; "Word OLE server not found" (EOfficeError) when the server is
// missing. A list without rows or columns saves an empty document. `progress` hears of the rows
// filled in; a cancel from it throws EProgressCancelled before the document is saved.
void SaveListToDOC(const TListColumns& columns, const TListItems& items, const QString& fileName,
    const TProgressCallback& progress = {});
