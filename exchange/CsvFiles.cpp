#include "exchange/CsvFiles.h"

#include "exchange/private/TTextFileReader.h"
#include "exchange/private/TTextFileWriter.h"
#include "platform/CodePage1252.h"
#include "platform/OrvExceptions.h"
#include "platform/TSharedTextBlock.h"

#include <cstring>
#include <iterator>
#include <vector>

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

// A line as the splitter sees it: UTF-16 text, or the file's bytes when every character the
// splitter looks for (the delimiter and the double quote) is one byte that no other character's
// encoding contains, so that fields are found without decoding the line first.
template <class Ch> struct TChars {
    const Ch* data = nullptr;
    qsizetype size = 0;
    Ch operator[](qsizetype i) const { return data[i]; }
    qsizetype IndexOf(Ch c, qsizetype from) const
    {
        if (from >= size)
            return -1;
        if constexpr (sizeof(Ch) == 1) {
            const void* hit = std::memchr(data + from, c, size_t(size - from));
            return hit ? static_cast<const Ch*>(hit) - data : -1;
        } else {
            const qsizetype hit = QStringView(data + from, size - from).indexOf(QChar(c));
            return hit < 0 ? -1 : from + hit;
        }
    }
};

constexpr char16_t kQuoteUnit = u'"';

// The quote closing a quoted field that starts at `from`. A lone quote closes it, as does the
// last quote of a run at the end of the line. A run of three, five ... quotes closes it too at its
// last quote: the pairs before it are doubled quotes (kept doubled), so *"say ""hi""",x* reads
// *say ""hi""* instead of losing the field.
template <class Ch> qsizetype ClosingQuote(TChars<Ch> s, qsizetype from)
{
    const Ch quote = Ch(kQuoteUnit);
    for (qsizetype i = s.IndexOf(quote, from); i >= 0; i = s.IndexOf(quote, i + 1)) {
        qsizetype runEnd = i;
        while (runEnd + 1 < s.size && s[runEnd + 1] == quote)
            ++runEnd;
        const qsizetype run = runEnd - i + 1;
        if (runEnd == s.size - 1 || run % 2 == 1)
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

// Walks a line by the splitting rules, which header and data lines share: `field(index, from,
// length, closed, unquoted)` for every field a delimiter ends (`closed` is false for a quoted
// field without its closing quote, whose text is then empty and whose rest up to the next
// delimiter is dropped), then `last(index, from, length)` for the rest after the last delimiter
// when it is not empty, one leading and one trailing quote dropped. Fields are given as
// positions in the line: a field's text is always one piece of it.
template <class Ch, class Field, class Last> void WalkLine(TChars<Ch> line, Ch d, Field field, Last last)
{
    const Ch quote = Ch(kQuoteUnit);
    qsizetype pos = 0; // the rest of the line is line[pos..]
    int index = 0;
    for (;;) {
        const qsizetype delim = line.IndexOf(d, pos);
        if (delim < 0)
            break;
        if (line[pos] == quote) {
            ++pos;
            const qsizetype q = ClosingQuote(line, pos);
            qsizetype from = pos, length = 0;
            if (q >= 0) {
                length = q - pos;
                pos = q + 1;
            }
            const qsizetype next = line.IndexOf(d, pos);
            if (next >= 0)
                pos = next + 1;
            field(index, from, length, q >= 0, false);
        } else {
            field(index, pos, delim - pos, true, true);
            pos = delim + 1;
        }
        ++index;
    }
    if (pos < line.size) {
        qsizetype from = pos, end = line.size;
        if (line[from] == quote)
            ++from;
        if (from < end && line[end - 1] == quote)
            --end;
        last(index, from, end - from);
    }
}

TChars<char16_t> CharsOf(QStringView text)
{
    return { text.utf16(), text.size() };
}

int FieldCount(QStringView line, QChar d)
{
    int count = 0;
    WalkLine(
        CharsOf(line), d.unicode(), [&](int, qsizetype, qsizetype, bool, bool) { ++count; },
        [&](int, qsizetype, qsizetype) { ++count; });
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
        CharsOf(line), d.unicode(),
        [&](int index, qsizetype from, qsizetype length, bool closed, bool) {
            TListColumn& column = ColumnAt(columns, index);
            if (closed)
                column.SetCaption(line.mid(from, length).toString());
        },
        [&](int index, qsizetype from, qsizetype length) {
            if (length > 0)
                ColumnAt(columns, index).SetCaption(line.mid(from, length).toString());
        });
}

// How the characters of a line reach UTF-16: already there, or bytes of the file's encoding.
enum class TLineCoding { Utf16, Utf8, Windows1252 };

bool IsAscii(const char* p, qsizetype n)
{
    unsigned char any = 0;
    for (qsizetype i = 0; i < n; ++i)
        any |= static_cast<unsigned char>(p[i]);
    return any < 0x80;
}

// UTF-16 units of valid UTF-8: one per character, two for those beyond U+FFFF.
qsizetype Utf16Length(const char* p, qsizetype n)
{
    qsizetype units = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        units += (b & 0xC0) != 0x80;
        units += b >= 0xF0;
    }
    return units;
}

// Decodes valid UTF-8 (the file was checked whole); returns the units written.
qsizetype DecodeUtf8(const char* p, qsizetype n, char16_t* out)
{
    char16_t* o = out;
    qsizetype i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(p[i]);
        if (b < 0x80) {
            *o++ = b;
            ++i;
            continue;
        }
        const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
        char32_t cp = b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(p[i + k]) & 0x3F);
        i += extra + 1;
        if (cp >= 0x10000) {
            *o++ = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            *o++ = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            *o++ = char16_t(cp);
        }
    }
    return o - out;
}

// The pieces of one data line that become the row's cells, reused from line to line.
struct TRowFields {
    struct TSpan {
        qsizetype from;
        qsizetype length;
    };
    std::vector<TSpan> spans; // the caption's first, then the sub-items'
    bool hasCaption = false;
};

// Splits a data line and appends its row, all of whose texts share one block.
template <class Ch>
void SplitDataLine(
    TChars<Ch> line, Ch d, TLineCoding coding, TListColumns& columns, TListItems& items, TRowFields& fields)
{
    fields.spans.clear();
    fields.hasCaption = false;
    WalkLine(
        line, d,
        [&](int index, qsizetype from, qsizetype length, bool, bool unquoted) {
            if (unquoted && index >= 1 && columns.Count() < index + 2)
                columns.Add();
            if (index == 0)
                fields.hasCaption = true;
            fields.spans.push_back({ from, length });
        },
        [&](int index, qsizetype from, qsizetype length) {
            if (index == 0) {
                if (length == 0)
                    return;
                fields.hasCaption = true;
            }
            fields.spans.push_back({ from, length });
        });

    TListItem& item = items.Add();
    const int texts = int(fields.spans.size());
    if (texts == 0)
        return; // an empty row costs no text at all
    bool wide = false; // UTF-8 beyond ASCII: lengths change in decoding
    qsizetype units = 0;
    if constexpr (sizeof(Ch) == 1) {
        if (coding == TLineCoding::Utf8 && !IsAscii(line.data, line.size)) {
            wide = true;
            for (const auto& span : fields.spans)
                units += Utf16Length(line.data + span.from, span.length);
        }
    }
    if (!wide)
        for (const auto& span : fields.spans)
            units += span.length;

    TSharedTextBlock block(units, texts);
    auto take = [&](const TRowFields::TSpan& span) {
        char16_t* out = block.Next();
        const Ch* in = line.data + span.from;
        qsizetype length = span.length;
        if constexpr (sizeof(Ch) == 2) {
            std::memcpy(out, in, size_t(length) * sizeof(char16_t));
        } else if (wide) {
            length = DecodeUtf8(in, length, out);
        } else if (coding == TLineCoding::Windows1252) {
            for (qsizetype i = 0; i < length; ++i)
                out[i] = cp1252::Decode(static_cast<unsigned char>(in[i]));
        } else {
            for (qsizetype i = 0; i < length; ++i)
                out[i] = static_cast<unsigned char>(in[i]);
        }
        return block.Take(length);
    };
    size_t next = 0;
    if (fields.hasCaption) {
        QString caption = take(fields.spans[next++]);
        if (!caption.isEmpty())
            item.SetCaption(caption);
    }
    if (next < fields.spans.size()) {
        QStringList subItems;
        subItems.reserve(qsizetype(fields.spans.size() - next));
        for (; next < fields.spans.size(); ++next)
            subItems.append(take(fields.spans[next]));
        item.SubItems().swap(subItems);
    }
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
    // Data lines are split on the file's bytes when the delimiter is a single byte of the
    // encoding that no other character contains; otherwise each line is decoded first.
    const bool utf8 = reader.Encoding() == TTextFileReader::TEncoding::Utf8;
    const QByteArray encodedDelimiter = reader.Encode(QString(d));
    const bool splitBytes = encodedDelimiter.size() == 1 && (!utf8 || d.unicode() < 0x80);
    const TLineCoding coding = utf8 ? TLineCoding::Utf8 : TLineCoding::Windows1252;
    TRowFields fields;
    QByteArrayView raw;
    // Each step tells the bytes whose lines are in the model.
    for (meter.Step(size); reader.NextRawLine(raw); meter.Step(size + reader.Position())) {
        if (header) {
            SplitHeaderLine(reader.Decode(raw), d, columns);
            header = false;
        } else if (splitBytes) {
            SplitDataLine(
                TChars<char> { raw.data(), raw.size() }, encodedDelimiter[0], coding, columns, items, fields);
        } else {
            const QString line = reader.Decode(raw);
            SplitDataLine(CharsOf(line), d.unicode(), TLineCoding::Utf16, columns, items, fields);
        }
    }
    meter.Finish();
}
