#include "platform/office/TWordDocument.h"

namespace {

constexpr int kTextWidthTwips = 9026; // A4 less 1-inch margins

int CellLength(const TWordCell& cell)
{
    return int(cell.text.size()) + 1;
}

const char* AlignmentControl(int alignment)
{
    switch (alignment) {
    case waCenter:
        return "\\qc";
    case waRight:
        return "\\qr";
    case waJustify:
        return "\\qj";
    default:
        return "\\ql";
    }
}

} // namespace

TWordDocument::TWordDocument()
{
    m_blocks.push_back(Block {});
}

int TWordDocument::TableLength(const TWordTable& table)
{
    int length = table.rows; // end-of-row marks
    for (const TWordCell& cell : table.cells)
        length += CellLength(cell);
    return length;
}

int TWordDocument::Length() const
{
    int length = 0;
    for (const Block& b : m_blocks)
        length += b.table ? TableLength(*b.table) : CellLength(b.paragraph);
    return length;
}

TWordDocument::Location TWordDocument::Locate(int position) const
{
    int pos = std::max(0, position);
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        const Block& b = m_blocks[i];
        if (!b.table) {
            const int len = CellLength(b.paragraph);
            if (pos < len)
                return Location { i, -1, pos };
            pos -= len;
            continue;
        }
        const TWordTable& t = *b.table;
        for (int r = 0; r < t.rows; ++r) {
            for (int c = 0; c < t.columns; ++c) {
                const int index = r * t.columns + c;
                const int len = CellLength(t.cells[size_t(index)]);
                if (pos < len)
                    return Location { i, index, pos };
                pos -= len;
            }
            if (pos == 0) // the end-of-row mark belongs to the row's last cell
                return Location { i, r * t.columns + t.columns - 1,
                    int(t.cells[size_t(r * t.columns + t.columns - 1)].text.size()) };
            pos -= 1;
        }
    }
    // Past the end: the final paragraph mark (a document always ends in a paragraph).
    const size_t last = m_blocks.size() - 1;
    return Location { last, -1, int(m_blocks[last].paragraph.text.size()) };
}

std::shared_ptr<TWordTable> TWordDocument::InsertTable(int position, int rows, int columns)
{
    auto table = std::make_shared<TWordTable>();
    table->rows = rows;
    table->columns = columns;
    table->cells.resize(size_t(rows) * size_t(columns));
    Location at = Locate(position);
    if (at.cell >= 0) {
        // Tables do not nest here: the new one goes after the table holding the position.
        m_blocks.insert(m_blocks.begin() + qsizetype(at.block) + 1, Block { {}, table });
        if (at.block + 2 >= m_blocks.size())
            m_blocks.push_back(Block {});
        return table;
    }
    Block& paragraph = m_blocks[at.block];
    if (at.offset > 0) {
        // Split: the text before the position keeps its own paragraph above the table.
        Block before { TWordCell { paragraph.paragraph.text.left(at.offset), paragraph.paragraph.alignment },
            nullptr };
        paragraph.paragraph.text.remove(0, at.offset);
        m_blocks.insert(m_blocks.begin() + qsizetype(at.block), before);
        ++at.block;
    }
    m_blocks.insert(m_blocks.begin() + qsizetype(at.block), Block { {}, table });
    return table;
}

int TWordDocument::InsertText(int position, const QString& text)
{
    const Location at = Locate(position);
    Block& b = m_blocks[at.block];
    if (at.cell >= 0) {
        b.table->cells[size_t(at.cell)].text.insert(at.offset, text);
        return int(text.size());
    }
    QString& target = b.paragraph.text;
    const QString tail = target.mid(at.offset);
    target.truncate(at.offset);
    const QStringList parts = text.split(QLatin1Char('\r'));
    target += parts[0];
    size_t index = at.block;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        Block next { TWordCell { parts[i], m_blocks[index].paragraph.alignment }, nullptr };
        m_blocks.insert(m_blocks.begin() + qsizetype(++index), next);
    }
    m_blocks[index].paragraph.text += tail;
    return int(text.size());
}

QString TWordDocument::Text(int start, int end) const
{
    QString all;
    for (const Block& b : m_blocks) {
        if (!b.table) {
            all += b.paragraph.text + QLatin1Char('\r');
            continue;
        }
        for (int r = 0; r < b.table->rows; ++r) {
            for (int c = 0; c < b.table->columns; ++c)
                all += b.table->Cell(r, c).text + QChar(7);
            all += QChar(7);
        }
    }
    start = std::clamp(start, 0, int(all.size()));
    end = std::clamp(end, start, int(all.size()));
    return all.mid(start, end - start);
}

void TWordDocument::SetAlignment(int start, int end, int alignment)
{
    int pos = 0;
    const int last = std::max(start, end);
    for (Block& b : m_blocks) {
        if (!b.table) {
            const int len = CellLength(b.paragraph);
            if (pos + len > start && pos <= last)
                b.paragraph.alignment = alignment;
            pos += len;
            continue;
        }
        for (int r = 0; r < b.table->rows; ++r) {
            for (int c = 0; c < b.table->columns; ++c) {
                TWordCell& cell = b.table->Cell(r, c);
                const int len = CellLength(cell);
                if (pos + len > start && pos <= last)
                    cell.alignment = alignment;
                pos += len;
            }
            pos += 1;
        }
    }
}

int TWordDocument::Alignment(int position) const
{
    const Location at = Locate(position);
    const Block& b = m_blocks[at.block];
    return at.cell >= 0 ? b.table->cells[size_t(at.cell)].alignment : b.paragraph.alignment;
}

int TWordDocument::TableCount() const
{
    int n = 0;
    for (const Block& b : m_blocks)
        n += b.table ? 1 : 0;
    return n;
}

std::shared_ptr<TWordTable> TWordDocument::Table(int index) const
{
    for (const Block& b : m_blocks) {
        if (b.table && index-- == 0)
            return b.table;
    }
    return nullptr;
}

QString TWordDocument::RtfText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        switch (u) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'{':
            out += QLatin1String("\\{");
            break;
        case u'}':
            out += QLatin1String("\\}");
            break;
        case u'\t':
            out += QLatin1String("\\tab ");
            break;
        case u'\n':
            out += QLatin1String("\\line ");
            break;
        case u'\r':
            // CR LF is one break, as typed text carries it.
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QLatin1String("\\par ");
            break;
        default:
            if (u < 0x20)
                break; // other control characters have no place in a document
            if (u < 0x80)
                out += QChar(u);
            else // UTF-16 units as signed 16-bit numbers; an escaped '?' for readers without Unicode
                out += QLatin1String("\\u") + QString::number(int(qint16(u))) + QLatin1String("\\'3f");
        }
    }
    return out;
}

QByteArray TWordDocument::ToRtf() const
{
    // Built as bytes: after escaping only ASCII remains, and large tables stay half the size.
    QByteArray rtf("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
                   "{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}}"
                   "\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1440\\margb1440\n");
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        const Block& b = m_blocks[i];
        if (!b.table) {
            rtf += "\\pard\\plain\\f0\\fs24";
            rtf += AlignmentControl(b.paragraph.alignment);
            rtf += ' ';
            rtf += RtfText(b.paragraph.text).toLatin1();
            // The document's last paragraph mark is implicit at the closing brace.
            rtf += i + 1 < m_blocks.size() ? "\\par\n" : "\n";
            continue;
        }
        const TWordTable& t = *b.table;
        QByteArray rowDefinition("\\trowd\\trgaph108\\trleft-108");
        const int width = std::max(1, kTextWidthTwips / std::max(1, t.columns));
        for (int c = 0; c < t.columns; ++c) {
            rowDefinition += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                             "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx";
            rowDefinition += QByteArray::number(width * (c + 1));
        }
        rowDefinition += '\n';
        rtf.reserve(rtf.size() + qsizetype(t.rows) * (rowDefinition.size() + t.columns * 40));
        for (int r = 0; r < t.rows; ++r) {
            rtf += rowDefinition;
            for (int c = 0; c < t.columns; ++c) {
                const TWordCell& cell = t.Cell(r, c);
                rtf += "\\pard\\plain\\intbl\\f0\\fs24";
                rtf += AlignmentControl(cell.alignment);
                rtf += ' ';
                rtf += RtfText(cell.text).toLatin1();
                rtf += "\\cell\n";
            }
            rtf += "\\row\n";
        }
    }
    rtf += "}\n";
    return rtf;
}
