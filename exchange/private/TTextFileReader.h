// Reads a whole text file once and hands it out line by line, decoding each line on demand.
#pragma once

#include <QByteArray>
#include <QString>

class TTextFileReader {
public:
    enum class TLineEnds {
        CarriageReturn, // a line ends at CR; one LF right after it is skipped; a lone LF is text
        Any, // CR LF, CR or LF end a line
    };
    enum class TEncoding { Utf8, Windows1252 };

    explicit TTextFileReader(TLineEnds lineEnds = TLineEnds::CarriageReturn);

    // False when the file cannot be opened; throws EOrvListViewError "Error reading file <name>"
    // when it opened but could not be read. Byte 26 (Ctrl-Z) ends the data.
    bool Open(const QString& fileName);
    // Uses `bytes` as the file's contents (no Ctrl-Z cut when `stopAtCtrlZ` is false).
    void SetData(QByteArray bytes, bool stopAtCtrlZ = true);

    // The next line in `line`; false at the end of the data.
    bool NextLine(QString& line);
    bool AtEnd() const { return m_pos >= m_end; }
    void Rewind() { m_pos = m_start; }

    qint64 DataSize() const { return m_end - m_start; } // bytes after the byte-order mark
    TEncoding Encoding() const { return m_encoding; }

    static bool IsValidUtf8(const char* data, qsizetype size);
    static QString DecodeWindows1252(const char* data, qsizetype size);

private:
    QByteArray m_bytes;
    qsizetype m_start = 0;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    TLineEnds m_lineEnds;
    TEncoding m_encoding = TEncoding::Utf8;
};
