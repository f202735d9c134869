#include "exchange/CsvFiles.h"

#include "exchange/private/TTextFileReader.h"
#include "exchange/private/TTextFileWriter.h"
#include "platform/OrvExceptions.h"

#include <iterator>

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

// Occurrences of c outside quoted fields when c separates the fields: a double quote at the
// start of a field opens it, two quotes inside stand for one, a single one closes it.
int CountOutsideQuotes(QStringView s, QChar c)
{
    int count = 0;
    bool fieldStart = true;
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (fieldStart && s[i] == kQuote) {
            qsizetype j = i + 1;
            for (;;) {
                j = s.indexOf(kQuote, j);
                if (j < 0)
                    return count;
                if (j + 1 < n && s[j + 1] == kQuote) {
                    j += 2;
                    continue;
                }
                break;
            }
            i = j;
            fieldStart = false;
            continue;
        }
        fieldStart = s[i] == c;
        if (fieldStart)
            ++count;
    }
    return count;
}

// Walks a line by the splitting rules, which header and data lines share: `field(index, text,
// closed, unquoted)` for every field a delimiter ends (`closed` is false for a quoted field
// without its closing quote, whose text is then empty and whose rest up to the next delimiter
// is dropped), then `last(index, text)` for the rest after the last delimiter when it is not
// empty, one leading and one trailing quote dropped.
template <class Field, class Last> void WalkLine(QStringView line, QChar d, Field field, Last last)
{
    qsizetype pos = 0; // the rest of the line is line[pos..]
    int index = 0;
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
            const qsizetype next = line.indexOf(d, pos);
            if (next >= 0)
                pos = next + 1;
            field(index, text, q >= 0, false);
        } else {
            field(index, line.mid(pos, delim - pos), true, true);
            pos = delim + 1;
        }
        ++index;
    }
    if (pos < line.size())
        last(index, StripOuterQuotes(line.mid(pos)));
}

int FieldCount(QStringView line, QChar d)
{
    int count = 0;
    WalkLine(
        line, d, [&](int, QStringView, bool, bool) { ++count; }, [&](int, QStringView) { ++count; });
    return count;
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
    WalkLine(
        line, d,
        [&](int index, QStringView text, bool closed, bool) {
            TListColumn& column = ColumnAt(columns, index);
            if (closed)
                column.SetCaption(text.toString());
        },
        [&](int index, QStringView text) {
            if (!text.isEmpty())
                ColumnAt(columns, index).SetCaption(text.toString());
        });
}

void SplitDataLine(QStringView line, QChar d, TListColumns& columns, TListItems& items)
{
    TListItem& item = items.Add();
    QStringList& subItems = item.SubItems();
    // Rows usually fill every column; sizing the list once saves its growth slack, which is a
    // good part of what a loaded cell costs.
    if (columns.Count() > 1)
        subItems.reserve(columns.Count() - 1);
    WalkLine(
        line, d,
        [&](int index, QStringView text, bool, bool unquoted) {
            if (unquoted && index >= 1 && columns.Count() < index + 2)
                columns.Add();
            if (index == 0)
                item.SetCaption(text.toString());
            else
                subItems.append(text.toString());
        },
        [&](int index, QStringView text) {
            if (index > 0)
                subItems.append(text.toString());
            else if (!text.isEmpty())
                item.SetCaption(text.toString());
        });
}

// The delimiter the first two lines agree on, or QChar() when none does: first by single counts
// (a candidate standing next to a copy of itself is not counted), then, when no candidate
// qualifies, by every occurrence outside quotes. The highest count wins; ties go to the earlier
// candidate.
QChar DetectDelimiter(const QString& first, const QString& second)
{
    QChar detected;
    int best = 0;
    for (QChar candidate : kDetectCandidates) {
        const int count = SingleCountOf(first, candidate);
        if (count == SingleCountOf(second, candidate) && count > best) {
            detected = candidate;
            best = count;
        }
    }
    if (!detected.isNull())
        return detected;
    for (QChar candidate : kDetectCandidates) {
        const int count = CountOutsideQuotes(first, candidate);
        if (count == CountOutsideQuotes(second, candidate) && count > best) {
            detected = candidate;
            best = count;
        }
    }
    return detected;
}

// Throws when a line has more fields than a list takes, before anything is loaded. A line holds
// at most one field more than delimiters, so only lines with that many are split to count. The
// bytes scanned are the first half of the load's progress.
void CheckFieldCounts(TTextFileReader& reader, QChar d, const QString& file, TProgressMeter& meter)
{
    const QByteArray encoded = reader.Encode(QString(d));
    QByteArrayView raw;
    int lineNumber = 0;
    reader.Rewind();
    while (reader.NextRawLine(raw)) {
        meter.Step(reader.Position());
        ++lineNumber;
        if (encoded.isEmpty() || raw.count(encoded) < kMaxTextFields)
            continue;
        const int fields = FieldCount(reader.Decode(raw), d);
        if (fields > kMaxTextFields)
            throw EOrvListViewError(QStringLiteral("Line %1 of %2 has %3 fields; a list takes at most %4")
                                        .arg(lineNumber)
                                        .arg(file)
                                        .arg(fields)
                                        .arg(kMaxTextFields));
    }
    reader.Rewind();
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
    const QString& file, const TProgressCallback& progress)
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
    TProgressMeter meter(progress, items.Count());
    for (int r = 0; r < items.Count(); ++r) {
        meter.Step(r);
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
    meter.Finish();
    writer.Commit();
}

void LoadListFromCSV(TListColumns& columns, TListItems& items, QChar& delimiter, bool loadHeader,
    const QString& file, const TProgressCallback& progress)
{
    TTextFileReader reader;
    if (!reader.Open(file))
        throw EOrvListViewError("File cannot be opened");
    // Files from most tools end their lines at LF alone; a quoted field may hold line breaks.
    const bool lineFeedLines = reader.FirstLineFeedHasNoCarriageReturn();
    if (lineFeedLines) {
        reader.SetLineEnds(TTextFileReader::TLineEnds::LineFeedQuoted);
        reader.SetFieldSeparators(QString(kDetectCandidates, std::size(kDetectCandidates)));
    }

    QChar detected = delimiter;
    if (detected.isNull()) {
        QString first, second;
        reader.NextLine(first);
        reader.NextLine(second);
        detected = DetectDelimiter(first, second);
    }
    const QChar d = detected.isNull() ? QChar(u',') : detected;
    if (lineFeedLines)
        reader.SetFieldSeparators(QString(d));
    // Progress in bytes: those the field count check scans, then those read into rows.
    const qint64 size = reader.DataSize();
    TProgressMeter meter(progress, 2 * size);
    meter.Step(0);
    CheckFieldCounts(reader, d, file, meter);
    delimiter = detected;

    TUpdateBracket bracket(items);
    bool header = loadHeader;
    if (loadHeader) {
        items.Clear();
        columns.Clear();
    }
    QString line;
    // Each step tells the bytes whose lines are in the model.
    for (meter.Step(size); reader.NextLine(line); meter.Step(size + reader.Position())) {
        if (header) {
            SplitHeaderLine(line, d, columns);
            header = false;
        } else {
            SplitDataLine(line, d, columns, items);
        }
    }
    meter.Finish();
}
