#include "platform/TSharedTextBlock.h"

#include <new>

TSharedTextBlock::TSharedTextBlock(qsizetype units, int texts)
    : m_texts(texts > 0 ? texts : 0)
{
    if (m_texts == 0)
        return;
    // Every text ends in a 0 of its own, as QString's data does.
    const auto [header, data] = QTypedArrayData<char16_t>::allocate(units + m_texts);
    if (!header)
        throw std::bad_alloc();
    // One reference per text: the texts handed out release them one by one, like copies.
    header->ref_.storeRelaxed(m_texts);
    m_header = header;
    m_next = data;
}

TSharedTextBlock::~TSharedTextBlock()
{
    const int unused = m_texts - m_taken;
    if (unused > 0 && m_header->ref_.fetchAndAddOrdered(-unused) == unused)
        QTypedArrayData<char16_t>::deallocate(m_header);
}

QString TSharedTextBlock::Take(qsizetype length)
{
    Q_ASSERT(m_taken < m_texts);
    if (m_taken >= m_texts) // more texts than room was made for: a copy of its own
        return QString(reinterpret_cast<const QChar*>(m_next), length);
    m_next[length] = u'\0';
    QString text(QString::DataPointer(m_header, m_next, length));
    m_next += length + 1;
    ++m_taken;
    return text;
}
