#include "exchange/private/TTextFileReader.h"

#include "exchange/EOrvListViewError.h"
#include "platform/TCodePage1252.h"

#include <QFile>
#include <cstdint>
#include <cstring>

TTextFileReader::TTextFileReader(TLineEnds lineEnds)
    : m_lineEnds(lineEnds)
{ }

bool TTextFileReader::Open(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EOrvListViewError("Error reading file " + fileName);
    SetData(std::move(bytes));
    return true;
}

void TTextFileReader::SetData(QByteArray bytes, bool stopAtCtrlZ)
{
    m_bytes = std::move(bytes);
    m_end = m_bytes.size();
    if (stopAtCtrlZ) {
        const qsizetype eof = m_bytes.indexOf('\x1a');
        if (eof >= 0)
            m_end = eof;
    }
    m_start = 0;
    if (m_end >= 3 && m_bytes.startsWith("\xEF\xBB\xBF"))
        m_start = 3;
    m_pos = m_start;
    m_encoding = IsValidUtf8(m_bytes.constData() + m_start, m_end - m_start) ? TEncoding::Utf8
                                                                             : TEncoding::Windows1252;
}

bool TTextFileReader::NextLine(QString& line)
{
    if (m_pos >= m_end)
        return false;
    const char* data = m_bytes.constData();
    qsizetype stop = m_pos;
    if (m_lineEnds == TLineEnds::CarriageReturn) {
        const void* cr = std::memchr(data + m_pos, '\r', size_t(m_end - m_pos));
        stop = cr ? static_cast<const char*>(cr) - data : m_end;
    } else {
        while (stop < m_end && data[stop] != '\r' && data[stop] != '\n')
            ++stop;
    }
    const qsizetype length = stop - m_pos;
    line = m_encoding == TEncoding::Utf8 ? QString::fromUtf8(data + m_pos, length)
                                         : DecodeWindows1252(data + m_pos, length);
    m_pos = stop;
    if (m_pos < m_end) {
        const bool wasCr = data[m_pos] == '\r';
        ++m_pos;
        if (wasCr && m_pos < m_end && data[m_pos] == '\n')
            ++m_pos;
    }
    return true;
}

bool TTextFileReader::IsValidUtf8(const char* data, qsizetype size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* end = p + size;
    while (p < end) {
        // Long ASCII runs are the common case: skip them eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p >= end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

QString TTextFileReader::DecodeWindows1252(const char* data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        // The five undefined codes map to the C1 controls of the same value, as the platform's
        // own conversion does.
        const char16_t mapped = cp1252::ToUnicode(b);
        out[i] = mapped || b == 0 ? mapped : char16_t(b);
    }
    return text;
}
