// The list's own line-oriented file: sizes, column widths, optional captions and every non-empty
// cell with its image index. Line breaks inside texts are kept (CR as tab, LF as backspace).
#pragma once

#include "platform/TListItems.h"
#include "platform/TProgress.h"

#include <QString>

// Writes the model. `subImages` off writes -1 as the image of every sub-item cell; `saveHeader`
// writes the captions and numbers the rows from 1. Always writes, even an empty model.
// Throws EOrvListViewError "Cannot create file <name>" / "Error writing file <name>"; the
// previous file is then intact. `progress` hears of the rows written; a cancel from it throws
// EProgressCancelled and leaves the previous file intact too.
void SaveListToFile(const TListColumns& columns, const TListItems& items, bool subImages, bool saveHeader,
    const QString& file, const TProgressCallback& progress = {});

// Replaces the rows by the file's contents (extra columns of the model stay). `subImages` is
// switched on when a loaded cell carries an image. `loadHeader` must match the save's `saveHeader`.
// Every file SaveListToFile writes loads back, as long as its rows and the empty sub-items its
// file does not write fit a fixed budget (256 MB: about two million empty rows).
// Throws EOrvListViewError "File <name> not found", or "File contains no data or corrupt file
// <name>" for a missing, zero or negative size line, or one that claims more columns than the
// file could describe or more rows than the budget holds; the model is unchanged by every error.
// `progress` hears of the bytes read; a cancel from it throws EProgressCancelled with the model
// half filled: callers that must not show a half-read file read into a model of their own.
void LoadListFromFile(TListColumns& columns, TListItems& items, bool& subImages, bool loadHeader,
    const QString& file, const TProgressCallback& progress = {});
