// Export of the list as one HTML table, coloured and styled through the list's per-cell hook.
#pragma once

#include "exchange/THTMLSettings.h"
#include "platform/TBrush.h"
#include "platform/TFont.h"
#include "platform/TListItems.h"
#include "platform/TProgress.h"

#include <QString>
#include <functional>

// Colour a cell hook leaves untouched: the brush and font colours are preset to it.
constexpr TColor HTMLExportColorMarker = 0x7FFFFFFF;

struct THTMLExportContext {
    const TListColumns& columns;
    const TListItems& items;
    const THTMLSettings& settings;
    bool urlShow = false;
    bool urlFull = false;
    // The list's per-cell hook (subItem -1 = caption); may be empty.
    std::function<void(int row, int subItem, TBrush& brush, TFont& font, const QString& text)> drawItemProp;
    // Plain text of a rich-text ("{\") cell; may be empty (the text is then shown as written).
    std::function<QString(int row, int subItem)> richPlainText;
};

// Writes header file, prefix tag, table, suffix tag and footer file. A model without columns or
// rows writes nothing. Plain cell texts are HTML-escaped; marked-up cells pass with active content
// (scripts, styles, frames, objects, event attributes, script URLs) and anything that would
// change the page's structure removed; in both, and in the tags, characters past ASCII are
// written as character references. A cell that would link to script stays text. Header and
// footer files are copied byte for byte (a missing one is skipped).
// Throws EOrvListViewError "File <name> not found" when the file cannot be created ("Cannot
// create file <name>: it is a folder" when a folder has its name), "Error writing file <name>"
// when writing fails and "Error reading file <name>" when a header or footer file opened but
// could not be read (the previous file is then intact). `progress` hears of the rows converted;
// a cancel from it throws EProgressCancelled before the file is touched.
void SaveListToHTML(
    const THTMLExportContext& context, const QString& file, const TProgressCallback& progress = {});

// The table lines of the export (without header and footer files), as written to the file.
QStringList BuildHTMLLines(const THTMLExportContext& context, const TProgressCallback& progress = {});

// Markup with active content removed; plain text and every other tag pass through.
QString SanitizeHTMLMarkup(const QString& markup);
