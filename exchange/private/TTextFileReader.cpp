#include "exchange/private/TTextFileReader.h"

#include "platform/OrvExceptions.h"
#include "platform/CodePage1252.h"

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
    SetFieldSeparators(m_separatorText);
}

void TTextFileReader::SetFieldSeparators(const QString& separators)
{
    m_separatorText = separators;
    m_separators.clear();
    for (const QChar c : separators) {
        const QByteArray encoded = Encode(QString(c));
        if (!encoded.isEmpty())
            m_separators << encoded;
    }
}

bool TTextFileReader::FirstLineFeedHasNoCarriageReturn() const
{
    const char* data = m_bytes.constData();
    const void* lf = std::memchr(data + m_start, '\n', size_t(m_end - m_start));
    if (!lf)
        return false;
    const size_t before = size_t(static_cast<const char*>(lf) - (data + m_start));
    return std::memchr(data + m_start, '\r', before) == nullptr;
}

bool TTextFileReader::OpensQuotedField(qsizetype lineStart, qsizetype quote) const
{
    if (quote == lineStart)
        return true;
    const char* data = m_bytes.constData();
    for (const QByteArray& separator : m_separators) {
        const qsizetype n = separator.size();
        if (quote - lineStart >= n && std::memcmp(data + quote - n, separator.constData(), size_t(n)) == 0)
            return true;
    }
    return false;
}

qsizetype TTextFileReader::QuotedLineEnd(qsizetype from) const
{
    const char* data = m_bytes.constData();
    qsizetype i = from;
    for (;;) {
        // Outside quotes: the next LF ends the line unless a field before it opens a quote.
        const void* lf = std::memchr(data + i, '\n', size_t(m_end - i));
        const qsizetype lineEnd = lf ? static_cast<const char*>(lf) - data : m_end;
        qsizetype quote = -1;
        while (i < lineEnd) {
            const void* q = std::memchr(data + i, '"', size_t(lineEnd - i));
            if (!q)
                break;
            const qsizetype at = static_cast<const char*>(q) - data;
            i = at + 1;
            if (OpensQuotedField(from, at)) {
                quote = at;
                break;
            }
        }
        if (quote < 0)
            return lineEnd;
        // Inside quotes: two quotes stand for one; a single one closes the field.
        for (;;) {
            const void* q = std::memchr(data + i, '"', size_t(m_end - i));
            if (!q)
                return m_end;
            const qsizetype at = static_cast<const char*>(q) - data;
            if (at + 1 < m_end && data[at + 1] == '"') {
                i = at + 2;
                continue;
            }
            i = at + 1;
            break;
        }
    }
}

bool TTextFileReader::NextRawLine(QByteArrayView& line)
{
    if (m_pos >= m_end)
        return false;
    const char* data = m_bytes.constData();
    if (m_lineEnds == TLineEnds::CarriageReturn) {
        const void* cr = std::memchr(data + m_pos, '\r', size_t(m_end - m_pos));
        const qsizetype stop = cr ? static_cast<const char*>(cr) - data : m_end;
        line = QByteArrayView(data + m_pos, stop - m_pos);
        m_pos = stop;
        if (m_pos < m_end) {
            ++m_pos;
            if (m_pos < m_end && data[m_pos] == '\n')
                ++m_pos;
        }
        return true;
    }
    const qsizetype stop = QuotedLineEnd(m_pos);
    qsizetype length = stop - m_pos;
    if (stop < m_end && length > 0 && data[stop - 1] == '\r')
        --length; // CR LF
    line = QByteArrayView(data + m_pos, length);
    m_pos = stop < m_end ? stop + 1 : m_end;
    return true;
}

bool TTextFileReader::NextLine(QString& line)
{
    QByteArrayView raw;
    if (!NextRawLine(raw))
        return false;
    line = Decode(raw);
    return true;
}

QString TTextFileReader::Decode(QByteArrayView bytes) const
{
    return m_encoding == TEncoding::Utf8 ? QString::fromUtf8(bytes)
                                         : DecodeWindows1252(bytes.data(), bytes.size());
}

QByteArray TTextFileReader::Encode(const QString& text) const
{
    if (m_encoding == TEncoding::Utf8)
        return text.toUtf8();
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        int b = cp1252::FromUnicode(u);
        // The five undefined bytes decode to the C1 controls of the same value.
        if (b < 0 && u >= 0x80 && u < 0xA0 && cp1252::ToUnicode(static_cast<unsigned char>(u)) == 0)
            b = u;
        if (b >= 0)
            out += char(b);
    }
    return out;
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
    for (qsizetype i = 0; i < size; ++i)
        out[i] = cp1252::Decode(static_cast<unsigned char>(data[i]));
    return text;
}
