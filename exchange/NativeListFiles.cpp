#include "exchange/NativeListFiles.h"

#include "exchange/private/TTextFileReader.h"
#include "exchange/private/TTextFileWriter.h"
#include "platform/OrvExceptions.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// A written file holds one width line ("cw i,w" and CR LF, at least 8 bytes) per column, so a
// size line claiming many more columns than that is not ours (a few hundred are allowed for
// hand-made files without width lines).
constexpr qint64 kMinWidthLineBytes = 8;
constexpr qint64 kColumnsWithoutWidthLines = 256;
// Empty cells leave no line, so a small file may stand for a big list; what its lines write is
// paid for by its own bytes. The rest, the rows and the empty sub-items that rows with written
// sub-items get, is held to a fixed budget: about two million empty rows.
constexpr qint64 kUnwrittenBudgetBytes = qint64(256) << 20;
// What an empty row is charged, bytes: a fixed figure (what a row cost when the budget was set),
// so that the files a list accepts do not change with the way rows are stored.
constexpr qint64 kRowBytes = 120;
constexpr qint64 kCellBytes = qint64(sizeof(QString));

QString EncodeText(const QString& text)
{
    QString encoded = text;
    for (QChar& ch : encoded) {
        if (ch == u'\r')
            ch = u'\t';
        else if (ch == u'\n')
            ch = u'\b';
    }
    return encoded;
}

QString DecodeText(QStringView text)
{
    QString decoded = text.toString();
    for (QChar& ch : decoded) {
        if (ch == u'\t')
            ch = u'\r';
        else if (ch == u'\b')
            ch = u'\n';
    }
    return decoded;
}

// Leading blanks, an optional sign, digits; stops at anything else. No digits reads as 0; values
// beyond the int range saturate.
qint64 ReadInteger(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
        value = value * 10 + (s[i].unicode() - u'0');
        if (value > limit)
            value = limit;
    }
    value = negative ? -value : value;
    return std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

// ReadInteger over the bytes before the next comma of `rest`, which moves past that comma.
qint64 TakeIntegerField(QByteArrayView& rest)
{
    const qsizetype comma = rest.indexOf(',');
    const QByteArrayView field = comma < 0 ? rest : rest.first(comma);
    rest = comma < 0 ? QByteArrayView() : rest.sliced(comma + 1);
    qsizetype i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = std::min(value * 10 + (field[i] - '0'), limit);
    value = negative ? -value : value;
    return std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

// What a load would allocate beyond what the file's lines write: every row, and the empty
// sub-items of the rows that get a written sub-item (a row's sub-items are shared with every
// other empty row until one is written). Reads the cell lines once, before anything is built.
qint64 UnwrittenBytes(
    TTextFileReader& reader, qint64 columnCount, qint64 rowCount, bool loadHeader, TProgressMeter& meter)
{
    const qint64 rows = rowCount * kRowBytes;
    if (rows > kUnwrittenBudgetBytes)
        return rows;
    std::vector<bool> written(size_t(rowCount), false);
    qint64 writtenRows = 0;
    qint64 cellLines = 0;
    const qint64 rowOffset = loadHeader ? 1 : 0;
    QByteArrayView line;
    while (reader.NextRawLine(line)) {
        meter.Step(reader.Position());
        if (line.isEmpty() || line.startsWith("cw"))
            continue;
        const qint64 column = TakeIntegerField(line);
        const qint64 row = TakeIntegerField(line) - rowOffset;
        if (column < 1 || column >= columnCount || row < 0 || row >= rowCount)
            continue; // captions, header lines and ignored lines write no sub-item
        ++cellLines;
        if (!written[size_t(row)]) {
            written[size_t(row)] = true;
            ++writtenRows;
        }
    }
    return rows + std::max<qint64>(0, writtenRows * columnCount - cellLines) * kCellBytes;
}

// Takes the text before the next comma as a field; the rest continues after that comma (or is
// empty when there is none).
QStringView TakeField(QStringView& rest)
{
    const qsizetype comma = rest.indexOf(u',');
    if (comma < 0) {
        const QStringView field = rest;
        rest = QStringView();
        return field;
    }
    const QStringView field = rest.left(comma);
    rest = rest.mid(comma + 1);
    return field;
}

[[noreturn]] void ThrowCorrupt(const QString& file)
{
    throw EOrvListViewError("File contains no data or corrupt file " + file);
}

} // namespace

void SaveListToFile(const TListColumns& columns, const TListItems& items, bool subImages, bool saveHeader,
    const QString& file, const TProgressCallback& progress)
{
    TTextFileWriter writer(file);
    if (!writer.Open())
        throw EOrvListViewError("Cannot create file " + file);
    const int columnCount = columns.Count();
    writer.WriteLine(QString::number(columnCount) + u',' + QString::number(items.Count()));
    for (int c = 0; c < columnCount; ++c)
        writer.WriteLine(
            QStringLiteral("cw ") + QString::number(c) + u',' + QString::number(columns[c].Width()));
    int rowOffset = 0;
    if (saveHeader) {
        for (int c = 0; c < columnCount; ++c) {
            const QString caption = columns[c].Caption();
            if (!caption.isEmpty())
                writer.WriteLine(QString::number(c) + QStringLiteral(",0,") + EncodeText(caption));
        }
        rowOffset = 1;
    }
    QString line;
    TProgressMeter meter(progress, items.Count());
    for (int r = 0; r < items.Count(); ++r) {
        meter.Step(r);
        const TListItem& item = items[r];
        const QString rowNumber = QString::number(r + rowOffset);
        for (int c = 0; c < columnCount; ++c) {
            const QString* text = nullptr;
            if (c == 0) {
                if (item.Caption().isEmpty())
                    continue;
            } else {
                if (c - 1 >= item.SubItems().size() || item.SubItems()[c - 1].isEmpty())
                    continue;
                text = &item.SubItems()[c - 1];
            }
            const int image = c == 0 ? item.ImageIndex() : (subImages ? item.SubItemImage(c) : -1);
            line = QString::number(c);
            line += u',';
            line += rowNumber;
            line += u',';
            line += QString::number(image);
            line += u',';
            line += EncodeText(text ? *text : item.Caption());
            writer.WriteLine(line);
        }
    }
    meter.Finish();
    writer.Commit();
}

void LoadListFromFile(TListColumns& columns, TListItems& items, bool& subImages, bool loadHeader,
    const QString& file, const TProgressCallback& progress)
{
    // The whole file is read and its size line checked before the model is touched, so that
    // every failure leaves the list as it was.
    TTextFileReader reader;
    if (!reader.Open(file))
        throw EOrvListViewError("File " + file + " not found");
    QString line;
    if (!reader.NextLine(line) || line.isEmpty())
        ThrowCorrupt(file);
    QStringView rest = line;
    const qint64 columnCount = ReadInteger(TakeField(rest));
    const qint64 rowCount = ReadInteger(rest);
    if (columnCount <= 0 || rowCount <= 0)
        ThrowCorrupt(file);
    const qint64 size = reader.DataSize();
    if (columnCount > kColumnsWithoutWidthLines + size / kMinWidthLineBytes)
        ThrowCorrupt(file);
    // Progress in thirds of the file's size: the budget check scans the bytes, the empty rows are
    // made, the bytes are read into the rows.
    TProgressMeter meter(progress, 3 * size);
    meter.Step(0);
    if (UnwrittenBytes(reader, columnCount, rowCount, loadHeader, meter) > kUnwrittenBudgetBytes)
        ThrowCorrupt(file);
    reader.Rewind();
    reader.NextLine(line); // the size line again

    const int C = int(columnCount);
    const int R = int(rowCount);
    items.BeginUpdate();
    // Closed however the reading ends, a cancel included.
    struct TEndUpdate {
        TListItems& items;
        ~TEndUpdate() { items.EndUpdate(); }
    } endUpdate { items };
    items.Clear();
    while (columns.Count() < C)
        columns.Add();
    for (int c = 0; c < C; ++c)
        columns[c].SetCaption(QString());
    items.Reserve(R);
    // Every row starts with the same C empty sub-items, shared until a cell line writes one; a
    // fresh row already reports -1 (none) as the image of every sub-item.
    const QStringList emptySubItems(C);
    for (int r = 0; r < R; ++r) {
        meter.Step(size + qint64(r) * size / R);
        TListItem& item = items.Add();
        item.SetImageIndex(-1);
        item.SubItems() = emptySubItems;
    }

    const int rowOffset = loadHeader ? 1 : 0;
    // Each step tells the bytes whose lines are in the model (the size line among them).
    for (meter.Step(2 * size + reader.Position()); reader.NextLine(line);
         meter.Step(2 * size + reader.Position())) {
        if (line.isEmpty())
            continue;
        rest = line;
        if (line.startsWith(u"cw")) {
            const QStringView text = line;
            const qsizetype comma = text.indexOf(u',');
            QStringView indexText;
            if (comma < 0)
                indexText = text.mid(std::min<qsizetype>(3, text.size()));
            else if (comma > 3)
                indexText = text.mid(3, comma - 3);
            const qint64 column = ReadInteger(indexText);
            const qint64 width = comma < 0 ? 0 : ReadInteger(text.mid(comma + 1, 255));
            if (column >= 0 && column < C)
                columns[int(column)].SetWidth(int(width));
            continue;
        }
        const qint64 column = ReadInteger(TakeField(rest));
        const qint64 row = ReadInteger(TakeField(rest));
        if (loadHeader && row == 0) {
            if (column >= 0 && column < C)
                columns[int(column)].SetCaption(DecodeText(rest));
            continue;
        }
        const qint64 image = ReadInteger(TakeField(rest));
        const qint64 target = row - rowOffset;
        if (column < 0 || column >= C || target < 0 || target >= R)
            continue;
        if (image >= 0)
            subImages = true;
        TListItem& item = items[int(target)];
        if (column == 0) {
            item.SetCaption(DecodeText(rest));
            item.SetImageIndex(int(image));
        } else {
            item.SubItems()[column - 1] = DecodeText(rest);
            if (image != -1 || item.SubItemImage(int(column)) != -1)
                item.SetSubItemImage(int(column), int(image));
        }
    }
    meter.Finish();
}
