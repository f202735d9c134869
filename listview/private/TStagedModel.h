// TStagedModel: a model that a file is read into before its contents go into the list, so that a
// read that fails or is cancelled half-way leaves the list as it was, and the list never shows a
// half-read file (it may repaint while progress is reported).
#pragma once

#include "platform/TListItems.h"

class TStagedModel {
public:
    enum TColumnsMode {
        cmExtend, // the read may add columns and change the existing ones
        cmReplace, // the read cleared the columns and built its own
    };
    enum TRowsMode {
        rmAppend, // the rows read follow the list's rows
        rmReplace, // the rows read replace the list's rows
    };

    // Starts with copies of `columns` (caption, width, alignment, image) and no rows.
    explicit TStagedModel(const TListColumns& columns);
    TStagedModel(const TStagedModel&) = delete;
    TStagedModel& operator=(const TStagedModel&) = delete;

    TListColumns& Columns() { return m_columns; }
    TListItems& Items() { return m_items; }

    // Moves what was read into the list's model in one update: rows without a copy, columns by
    // their properties. The staged model is empty afterwards.
    void CommitTo(TListColumns& columns, TListItems& items, TColumnsMode columnsMode, TRowsMode rowsMode);

private:
    TListColumns m_columns;
    TListItems m_items;
};
