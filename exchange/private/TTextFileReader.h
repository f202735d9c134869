// Reads a whole text file once and hands it out line by line, decoding each line on demand.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

class TTextFileReader {
public:
    enum class TLineEnds {
        CarriageReturn, // a line ends at CR; one LF right after it is skipped; a lone LF is text
        // A line ends at LF (a CR right before it belongs to the line end), except inside a field
        // that a double quote opened: at the start of the line or right after a field separator;
        // inside, two quotes stand for one and a single quote ends the field. A lone CR is text.
        LineFeedQuoted,
    };
    enum class TEncoding { Utf8, Windows1252 };

    explicit TTextFileReader(TLineEnds lineEnds = TLineEnds::CarriageReturn);

    // False when the file cannot be opened; throws EOrvListViewError "Error reading file <name>"
    // when it opened but could not be read. Byte 26 (Ctrl-Z) ends the data.
    bool Open(const QString& fileName);
    // Uses `bytes` as the file's contents (no Ctrl-Z cut when `stopAtCtrlZ` is false).
    void SetData(QByteArray bytes, bool stopAtCtrlZ = true);

    void SetLineEnds(TLineEnds lineEnds) { m_lineEnds = lineEnds; }
    // The characters after which a double quote opens a quoted field (TLineEnds::LineFeedQuoted).
    // Kept across SetData and Open.
    void SetFieldSeparators(const QString& separators);
    // True when no CR comes before the data's first LF: such data ends its lines at LF.
    bool FirstLineFeedHasNoCarriageReturn() const;

    // The next line in `line`; false at the end of the data.
    bool NextLine(QString& line);
    // The next line's bytes, undecoded (valid until the data changes); false at the end.
    bool NextRawLine(QByteArrayView& line);
    QString Decode(QByteArrayView bytes) const;
    // `text` in the data's encoding (characters it cannot hold are left out).
    QByteArray Encode(const QString& text) const;

    bool AtEnd() const { return m_pos >= m_end; }
    void Rewind() { m_pos = m_start; }

    qint64 DataSize() const { return m_end - m_start; } // bytes after the byte-order mark
    qint64 Position() const { return m_pos - m_start; } // bytes of it read so far
    TEncoding Encoding() const { return m_encoding; }

    static bool IsValidUtf8(const char* data, qsizetype size);
    static QString DecodeWindows1252(const char* data, qsizetype size);

private:
    qsizetype QuotedLineEnd(qsizetype from) const; // index of the LF ending the line, or m_end
    bool OpensQuotedField(qsizetype lineStart, qsizetype quote) const;

    QByteArray m_bytes;
    qsizetype m_start = 0;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    TLineEnds m_lineEnds;
    TEncoding m_encoding = TEncoding::Utf8;
    QString m_separatorText;
    QByteArrayList m_separators; // m_separatorText's characters, encoded
};
