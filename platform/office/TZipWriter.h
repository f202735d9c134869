// A minimal ZIP archive writer (deflated or stored entries, CRC-32, no ZIP64), enough for
// Office Open XML packages.
#pragma once

#include <QByteArray>
#include <QString>

class TZipWriter {
public:
    // Adds an entry; it is deflated when that makes it smaller, stored otherwise.
    void Add(const QString& name, const QByteArray& data);
    QByteArray Finish(); // the archive; the writer is empty afterwards

    static quint32 Crc32(const QByteArray& data);

private:
    QByteArray m_body;
    QByteArray m_directory;
    int m_count = 0;
};
