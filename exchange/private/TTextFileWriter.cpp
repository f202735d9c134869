#include "exchange/private/TTextFileWriter.h"

#include "platform/OrvExceptions.h"

namespace {
// Text is handed to the file in pieces of about this many characters, so that a large export
// never holds its whole output twice (as UTF-16 and as UTF-8).
constexpr qsizetype kFlushChars = 1 << 18;
} // namespace

TTextFileWriter::TTextFileWriter(const QString& fileName)
    : m_fileName(fileName)
    , m_file(fileName)
{ }

bool TTextFileWriter::Open()
{
    if (m_fileName.isEmpty() || !m_file.open(QIODevice::WriteOnly))
        return false;
    m_buffer.reserve(kFlushChars + 1024);
    return true;
}

void TTextFileWriter::Write(QStringView text)
{
    m_buffer.append(text);
}

void TTextFileWriter::WriteLine(QStringView line)
{
    m_buffer.append(line);
    m_buffer.append(u"\r\n");
    // Flushing only at line ends keeps surrogate pairs whole.
    if (m_buffer.size() >= kFlushChars)
        Flush();
}

void TTextFileWriter::WriteBytes(QByteArrayView bytes)
{
    Flush();
    if (!m_failed && m_file.write(bytes.data(), bytes.size()) != bytes.size())
        m_failed = true;
}

void TTextFileWriter::Flush()
{
    if (m_buffer.isEmpty())
        return;
    const QByteArray bytes = m_buffer.toUtf8();
    if (!m_failed && m_file.write(bytes) != bytes.size())
        m_failed = true;
    m_buffer.clear();
}

void TTextFileWriter::Commit()
{
    Flush();
    if (m_failed) {
        m_file.cancelWriting();
        m_file.commit();
        throw EOrvListViewError("Error writing file " + m_fileName);
    }
    if (!m_file.commit())
        throw EOrvListViewError("Error writing file " + m_fileName);
}
