#include "platform/office/TZipWriter.h"

#include <QtEndian>
#include <array>

namespace {

void Append16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void Append32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

const std::array<quint32, 256>& CrcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t {};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

} // namespace

quint32 TZipWriter::Crc32(const QByteArray& data)
{
    const auto& table = CrcTable();
    quint32 c = 0xFFFFFFFFu;
    for (char ch : data)
        c = table[(c ^ quint8(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void TZipWriter::Add(const QString& name, const QByteArray& data)
{
    // qCompress gives a zlib stream behind a 4-byte size; the raw deflate data ZIP wants sits
    // between the 2-byte zlib header and the 4-byte Adler-32 trailer.
    QByteArray payload = data;
    quint16 method = 0;
    if (data.size() > 64) {
        const QByteArray zlib = qCompress(data, 6);
        if (zlib.size() > 10 && zlib.size() - 10 < data.size()) {
            payload = zlib.mid(6, zlib.size() - 10);
            method = 8;
        }
    }
    const QByteArray fileName = name.toUtf8();
    const quint32 crc = Crc32(data);
    const quint32 offset = quint32(m_body.size());
    const quint16 flags = 0x0800; // names are UTF-8
    const quint16 dosTime = 0, dosDate = (1 << 5) | 1 | ((2020 - 1980) << 9);

    Append32(m_body, 0x04034B50);
    Append16(m_body, 20);
    Append16(m_body, flags);
    Append16(m_body, method);
    Append16(m_body, dosTime);
    Append16(m_body, dosDate);
    Append32(m_body, crc);
    Append32(m_body, quint32(payload.size()));
    Append32(m_body, quint32(data.size()));
    Append16(m_body, quint16(fileName.size()));
    Append16(m_body, 0);
    m_body.append(fileName);
    m_body.append(payload);

    Append32(m_directory, 0x02014B50);
    Append16(m_directory, 20);
    Append16(m_directory, 20);
    Append16(m_directory, flags);
    Append16(m_directory, method);
    Append16(m_directory, dosTime);
    Append16(m_directory, dosDate);
    Append32(m_directory, crc);
    Append32(m_directory, quint32(payload.size()));
    Append32(m_directory, quint32(data.size()));
    Append16(m_directory, quint16(fileName.size()));
    Append16(m_directory, 0);
    Append16(m_directory, 0);
    Append16(m_directory, 0);
    Append16(m_directory, 0);
    Append32(m_directory, 0);
    Append32(m_directory, offset);
    m_directory.append(fileName);
    ++m_count;
}

QByteArray TZipWriter::Finish()
{
    QByteArray out = std::move(m_body);
    const quint32 directoryOffset = quint32(out.size());
    out.append(m_directory);
    Append32(out, 0x06054B50);
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, quint16(m_count));
    Append16(out, quint16(m_count));
    Append32(out, quint32(m_directory.size()));
    Append32(out, directoryOffset);
    Append16(out, 0);
    m_body.clear();
    m_directory.clear();
    m_count = 0;
    return out;
}
