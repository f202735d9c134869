// Delimiter-separated text files of the list: one row per line, optional caption line.
//
// Files are read as UTF-8 (a leading byte-order mark skipped), or as Windows-1252 when the bytes
// are not valid UTF-8, and written as UTF-8 through an atomic replace.
#pragma once

#include "platform/TListItems.h"
#include "platform/TProgress.h"

#include <QChar>
#include <QString>

// Writes every row (the column captions first when `saveHeader`), fields joined by `delimiter`
// (a comma when it is QChar(0)), lines ended by CR LF. Nothing is quoted or escaped. A model
// without columns or without rows writes nothing and leaves an existing file alone.
// Throws EOrvListViewError "Cannot create file <name>" or "Error writing file <name>"; the
// previous file is then intact. `progress` hears of the rows written; a cancel from it throws
// EProgressCancelled and leaves the previous file intact too.
void SaveListToCSV(const TListColumns& columns, const TListItems& items, QChar delimiter, bool saveHeader,
    const QString& file, const TProgressCallback& progress = {});

// Reads `file` into the model. A file whose first LF has no CR before it ends its lines at LF
// (or CR LF), except inside a field opened by a double quote; any other file ends them at CR,
// and a lone LF is text. When `delimiter` is QChar(0) it is detected from the first two lines
// and, when one qualifies, stored back into `delimiter`. With `loadHeader` the model is cleared
// and the first line gives the column captions; otherwise the rows are appended.
// Throws EOrvListViewError "File cannot be opened"; "Error reading file <name>" when it opened
// but could not be read; "Line <n> of <name> has <k> fields; a list takes at most 16384" when a
// line holds more than kMaxTextFields fields. The model and delimiter are then unchanged (the
// file is read and checked whole first).
// `progress` hears of the bytes read; a cancel from it throws EProgressCancelled with the rows read
// so far in the model: callers that must not show a half-read file read into a model of their own.
void LoadListFromCSV(TListColumns& columns, TListItems& items, QChar& delimiter, bool loadHeader,
    const QString& file, const TProgressCallback& progress = {});

// The reader's character searches, exposed for the clipboard and tests. Positions count from 1;
// 0 means none. A character standing next to a copy of itself is skipped, except at the very end.
int CsvSinglePosition(QChar c, QStringView s);
int CsvSingleCount(QChar c, QStringView s);
