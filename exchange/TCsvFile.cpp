#include "exchange/TCsvFile.h"

#include "exchange/EOrvListViewError.h"
#include "exchange/private/TTextFileReader.h"
#include "exchange/private/TTextFileWriter.h"

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kDetectCandidates[] = { u',', u';', u'#', u'\t', u'|' };

// Single position of c in s[from..]: as if the string began at `from` (no left neighbour there).
// Returns an index into s, or -1.
qsizetype SinglePositionFrom(QStringView s, QChar c, qsizetype from)
{
    const qsizetype last = s.size() - 1;
    for (qsizetype i = from; i <= last; ++i) {
        if (s[i] != c)
            continue;
        if (i == last)
            return i;
        if (s[i + 1] != c && (i == from || s[i - 1] != c))
            return i;
    }
    return -1;
}

// The quote closing a quoted field that starts at `from`. A lone quote closes it, as does the
// last quote of a run at the end of the line. A run of three, five ... quotes closes it too at its
// last quote: the pairs before it are doubled quotes (kept doubled), so *"say ""hi""",x* reads
// *say ""hi""* instead of losing the field.
qsizetype ClosingQuote(QStringView s, qsizetype from)
{
    const qsizetype size = s.size();
    for (qsizetype i = from; i < size; ++i) {
        if (s[i] != kQuote)
            continue;
        qsizetype runEnd = i;
        while (runEnd + 1 < size && s[runEnd + 1] == kQuote)
            ++runEnd;
        const qsizetype run = runEnd - i + 1;
        if (runEnd == size - 1 || run % 2 == 1)
            return runEnd;
        i = runEnd;
    }
    return -1;
}

int SingleCountOf(QStringView s, QChar c)
{
    int count = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype found = SinglePositionFrom(s, c, from);
        if (found < 0)
            return count;
        ++count;
        from = found + 1;
    }
}

// One field of the last-field rule: one leading quote dropped, then one trailing quote.
QStringView StripOuterQuotes(QStringView rest)
{
    if (rest.startsWith(kQuote))
        rest = rest.mid(1);
    if (!rest.isEmpty() && rest.endsWith(kQuote))
        rest.chop(1);
    return rest;
}

TListColumn& ColumnAt(TListColumns& columns, int index)
{
    // Header fields fill existing columns first, then each appends one.
    if (index < columns.Count())
        return columns[index];
    return columns.Add();
}

void SplitHeaderLine(QStringView line, QChar d, TListColumns& columns)
{
    qsizetype pos = 0; // the rest of the line is line[pos..]
    int field = 0;
    for (;;) {
        const qsizetype delim = line.indexOf(d, pos);
        if (delim < 0)
            break;
        TListColumn& column = ColumnAt(columns, field);
        if (line[pos] == kQuote) {
            ++pos;
            const qsizetype q = ClosingQuote(line, pos);
            if (q >= 0) {
                column.SetCaption(line.mid(pos, q - pos).toString());
                pos = q + 1;
            }
        } else {
            column.SetCaption(line.mid(pos, delim - pos).toString());
        }
        const qsizetype next = line.indexOf(d, pos);
        if (next >= 0)
            pos = next + 1;
        ++field;
    }
    if (pos < line.size()) {
        const QStringView caption = StripOuterQuotes(line.mid(pos));
        if (!caption.isEmpty())
            ColumnAt(columns, field).SetCaption(caption.toString());
    }
}

void SplitDataLine(QStringView line, QChar d, TListColumns& columns, TListItems& items)
{
    TListItem& item = items.Add();
    QStringList& subItems = item.SubItems();
    // Rows usually fill every column; sizing the list once saves its growth slack, which is a
    // good part of what a loaded cell costs.
    if (columns.Count() > 1)
        subItems.reserve(columns.Count() - 1);
    auto store = [&](int field, QStringView text) {
        if (field == 0)
            item.SetCaption(text.toString());
        else
            subItems.append(text.toString());
    };
    qsizetype pos = 0;
    int field = 0;
    for (;;) {
        const qsizetype delim = line.indexOf(d, pos);
        if (delim < 0)
            break;
        if (line[pos] == kQuote) {
            ++pos;
            const qsizetype q = ClosingQuote(line, pos);
            QStringView text;
            if (q >= 0) {
                text = line.mid(pos, q - pos);
                pos = q + 1;
            }
            // A quoted field without its closing quote is empty; the text up to the next
            // delimiter goes with it.
            const qsizetype next = line.indexOf(d, pos);
            if (next >= 0)
                pos = next + 1;
            store(field, text);
        } else {
            if (field >= 1 && columns.Count() < field + 2)
                columns.Add();
            store(field, line.mid(pos, delim - pos));
            pos = delim + 1;
        }
        ++field;
    }
    if (pos >= line.size())
        return;
    const QStringView last = StripOuterQuotes(line.mid(pos));
    if (field > 0)
        subItems.append(last.toString());
    else if (!last.isEmpty())
        item.SetCaption(last.toString());
}

// Holds the rows' repaints until the load is over, however it ends.
class TUpdateBracket {
public:
    explicit TUpdateBracket(TListItems& items)
        : m_items(items)
    {
        m_items.BeginUpdate();
    }
    ~TUpdateBracket() { m_items.EndUpdate(); }
    TUpdateBracket(const TUpdateBracket&) = delete;
    TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
    TListItems& m_items;
};

} // namespace

int CsvSinglePosition(QChar c, QStringView s)
{
    return int(SinglePositionFrom(s, c, 0) + 1);
}

int CsvSingleCount(QChar c, QStringView s)
{
    return SingleCountOf(s, c);
}

void SaveListToCSV(const TListColumns& columns, const TListItems& items, QChar delimiter, bool saveHeader,
    const QString& file)
{
    if (columns.Count() == 0 || items.Count() == 0)
        return;
    const QChar d = delimiter.isNull() ? QChar(u',') : delimiter;
    TTextFileWriter writer(file);
    if (!writer.Open())
        throw EOrvListViewError("Cannot create file " + file);
    const int columnCount = columns.Count();
    QString line;
    if (saveHeader) {
        line = columns[0].Caption();
        for (int c = 1; c < columnCount; ++c) {
            line += d;
            line += columns[c].Caption();
        }
        writer.WriteLine(line);
    }
    for (int r = 0; r < items.Count(); ++r) {
        const TListItem& item = items[r];
        line = item.Caption();
        // Up to one sub-item per column, so a row carrying one more than the sub-item columns
        // keeps it.
        const QStringList& subItems = item.SubItems();
        const qsizetype n = std::min<qsizetype>(subItems.size(), columnCount);
        for (qsizetype j = 0; j < n; ++j) {
            line += d;
            line += subItems[j];
        }
        writer.WriteLine(line);
    }
    writer.Commit();
}

void LoadListFromCSV(
    TListColumns& columns, TListItems& items, QChar& delimiter, bool loadHeader, const QString& file)
{
    TTextFileReader reader;
    if (!reader.Open(file))
        throw EOrvListViewError("File cannot be opened");

    QString line;
    if (delimiter.isNull()) {
        QString first, second;
        reader.NextLine(first);
        reader.NextLine(second);
        int best = 0;
        for (QChar candidate : kDetectCandidates) {
            const int count = SingleCountOf(first, candidate);
            if (count == SingleCountOf(second, candidate) && count > best) {
                delimiter = candidate;
                best = count;
            }
        }
        reader.Rewind();
    }
    const QChar d = delimiter.isNull() ? QChar(u',') : delimiter;

    TUpdateBracket bracket(items);
    bool header = loadHeader;
    if (loadHeader) {
        items.Clear();
        columns.Clear();
    }
    while (reader.NextLine(line)) {
        if (header) {
            SplitHeaderLine(line, d, columns);
            header = false;
        } else {
            SplitDataLine(line, d, columns, items);
        }
    }
}
