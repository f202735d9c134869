// Export of the rows as a flat XML document: a list element, one record element per row and one
// field element per column.
#pragma once

#include "platform/TListItems.h"
#include "platform/TProgress.h"

#include <QString>
#include <QStringList>

// Field i is named fieldNames[i], or "FIELD<i>" past the end of the names. Field texts are
// escaped (&, <, >) so that a parser reads back exactly the cell texts.
// Throws EOrvListViewError "Cannot create file <name>" / "Error writing file <name>". `progress`
// hears of the rows written; a cancel from it throws EProgressCancelled and leaves the previous
// file intact.
void SaveListToXML(const TListColumns& columns, const TListItems& items, const QString& file,
    const QString& listTag, const QString& recordTag, const QStringList& fieldNames,
    const TProgressCallback& progress = {});
