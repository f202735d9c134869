// The document model of the built-in word-processor server: paragraphs and tables in order,
// addressed by character positions as the word processor counts them, and its RTF form.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

// Paragraph alignment values of the word processor's object model.
enum TWordAlignment { waLeft = 0, waCenter = 1, waRight = 2, waJustify = 3 };

struct TWordCell {
    QString text; // '\r' separates paragraphs, '\n' is a line break within one
    int alignment = waLeft;
};

struct TWordTable {
    int rows = 0;
    int columns = 0;
    std::vector<TWordCell> cells; // row-major
    TWordCell& Cell(int row, int column) { return cells[size_t(row) * size_t(columns) + size_t(column)]; }
    const TWordCell& Cell(int row, int column) const
    {
        return cells[size_t(row) * size_t(columns) + size_t(column)];
    }
};

class TWordDocument {
public:
    struct Block {
        TWordCell paragraph; // used when table is null
        std::shared_ptr<TWordTable> table; // a table block
    };

    TWordDocument(); // a new document holds one empty paragraph

    // Positions: a paragraph counts its characters plus its mark; a table counts each cell's
    // characters plus an end-of-cell mark, and one end-of-row mark per row.
    int Length() const;
    // Inserts a rows x columns table at `position`, splitting the paragraph there. Returns it.
    std::shared_ptr<TWordTable> InsertTable(int position, int rows, int columns);
    // Inserts text at `position` ('\r' starts a new paragraph outside tables); returns its length.
    int InsertText(int position, const QString& text);
    QString Text(int start, int end) const;
    // Sets the alignment of every paragraph and cell the span touches.
    void SetAlignment(int start, int end, int alignment);
    int Alignment(int position) const;

    const std::vector<Block>& Blocks() const { return m_blocks; }
    int TableCount() const;
    std::shared_ptr<TWordTable> Table(int index) const; // 0-based; nullptr when out of range

    QByteArray ToRtf() const;
    // RTF text for one run of characters: escapes, \uN? for non-ASCII, \line / \par for breaks.
    static QString RtfText(const QString& text);

private:
    struct Location {
        size_t block = 0;
        int cell = -1; // index into the table's cells, -1 for a paragraph
        int offset = 0; // within the paragraph or cell text
    };
    Location Locate(int position) const;
    static int TableLength(const TWordTable& table);

    std::vector<Block> m_blocks;
};
