#include "platform/office/TXlsWriter.h"

#include "platform/office/TCompoundFileWriter.h"

#include <QHash>
#include <QtEndian>

namespace {

constexpr int kMaxRecordData = 8224; // BIFF8 record body limit; longer data goes on in CONTINUE
constexpr int kCellXf = 15; // first cell XF after the 15 style XFs

class Stream {
public:
    QByteArray bytes;

    qsizetype Pos() const { return bytes.size(); }
    void U8(int v) { bytes.append(char(v)); }
    void U16(int v)
    {
        char b[2];
        qToLittleEndian(quint16(v), b);
        bytes.append(b, 2);
    }
    void U32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    }
    void Patch32(qsizetype at, quint32 v) { qToLittleEndian(v, bytes.data() + at); }
    void Patch16(qsizetype at, int v) { qToLittleEndian(quint16(v), bytes.data() + at); }
    // Starts a record and returns where its length goes; EndRecord fills it in.
    qsizetype BeginRecord(int type)
    {
        U16(type);
        U16(0);
        return Pos();
    }
    void EndRecord(qsizetype dataStart) { Patch16(dataStart - 2, int(Pos() - dataStart)); }
};

bool NeedsHighBytes(const QString& s)
{
    for (QChar ch : s)
        if (ch.unicode() > 0xFF)
            return true;
    return false;
}

void Chars(Stream& out, QStringView s, bool high)
{
    if (!high) {
        out.bytes.append(s.toLatin1()); // every character is below 256 here
        return;
    }
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        out.bytes.append(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    } else {
        for (QChar ch : s)
            out.U16(ch.unicode());
    }
}

// Font or sheet name: 8-bit length, flags, characters.
void ShortString(Stream& out, const QString& s)
{
    const bool high = NeedsHighBytes(s);
    out.U8(int(s.size()));
    out.U8(high ? 1 : 0);
    Chars(out, s, high);
}

void WriteBof(Stream& out, int kind)
{
    const auto at = out.BeginRecord(0x0809);
    out.U16(0x0600); // BIFF8
    out.U16(kind);
    out.U16(0x0DBB); // build
    out.U16(0x07CC); // year
    out.U32(0);
    out.U32(0x06); // lowest version that can read the file
    out.EndRecord(at);
}

void WriteEof(Stream& out)
{
    out.BeginRecord(0x000A);
}

void WriteFont(Stream& out)
{
    const auto at = out.BeginRecord(0x0031);
    out.U16(200); // height, twips
    out.U16(0); // no bold/italic flags
    out.U16(0x7FFF); // automatic colour
    out.U16(400); // normal weight
    out.U16(0);
    out.U8(0);
    out.U8(0);
    out.U8(0);
    out.U8(0);
    ShortString(out, QStringLiteral("Arial"));
    out.EndRecord(at);
}

void WriteXf(Stream& out, bool style, int usedAttributes)
{
    const auto at = out.BeginRecord(0x00E0);
    out.U16(0); // font
    out.U16(0); // General number format
    out.U16(style ? 0xFFF5 : 0x0001); // locked; a style XF has no parent (0xFFF)
    out.U8(0x20); // bottom-aligned, general horizontal
    out.U8(0);
    out.U8(0);
    out.U8(usedAttributes);
    out.U32(0); // no borders
    out.U32(0);
    out.U16(0x20C0); // pattern colours: system foreground 64, background 65
    out.EndRecord(at);
}

struct SharedStrings {
    QHash<QString, quint32> index;
    std::vector<QString> strings;
    quint32 references = 0;

    quint32 Add(const QString& s)
    {
        ++references;
        auto it = index.constFind(s);
        if (it != index.constEnd())
            return it.value();
        const quint32 i = quint32(strings.size());
        index.insert(s, i);
        strings.push_back(s);
        return i;
    }
};

// SST split into CONTINUE records; a string's header never splits, its characters may, and then
// the continuation repeats the compression flag. Returns the EXTSST bucket positions.
void WriteSst(
    Stream& out, const SharedStrings& sst, int bucketSize, std::vector<std::pair<quint32, quint16>>& buckets)
{
    qsizetype recordStart = out.BeginRecord(0x00FC);
    out.U32(sst.references);
    out.U32(quint32(sst.strings.size()));
    auto room = [&] { return kMaxRecordData - int(out.Pos() - recordStart); };
    auto continueRecord = [&] {
        out.EndRecord(recordStart);
        recordStart = out.BeginRecord(0x003C);
    };
    for (size_t i = 0; i < sst.strings.size(); ++i) {
        const QString& s = sst.strings[i];
        const bool high = NeedsHighBytes(s);
        const int charSize = high ? 2 : 1;
        if (room() < 3 + charSize)
            continueRecord();
        if (i % size_t(bucketSize) == 0)
            buckets.emplace_back(quint32(out.Pos()), quint16(out.Pos() - recordStart + 4));
        out.U16(int(s.size()));
        out.U8(high ? 1 : 0);
        qsizetype done = 0;
        while (done < s.size()) {
            const qsizetype fit = std::min<qsizetype>(s.size() - done, room() / charSize);
            Chars(out, QStringView(s).mid(done, fit), high);
            done += fit;
            if (done < s.size()) {
                continueRecord();
                out.U8(high ? 1 : 0);
            }
        }
    }
    out.EndRecord(recordStart);
}

void WriteSheet(
    Stream& out, const TSheetData& sheet, const std::vector<std::vector<quint32>>& cellStrings, bool first)
{
    WriteBof(out, 0x0010);
    const int rows = sheet.UsedRows();
    const int columns = sheet.UsedColumns();
    auto at = out.BeginRecord(0x0200); // DIMENSIONS: first row, last row + 1, first col, last col + 1
    out.U32(0);
    out.U32(quint32(rows));
    out.U16(0);
    out.U16(columns);
    out.U16(0);
    out.EndRecord(at);
    for (int r = 0; r < rows && size_t(r) < sheet.rows.size(); ++r) {
        const auto& cells = sheet.rows[size_t(r)];
        for (size_t c = 0; c < cells.size(); ++c) {
            if (cells[c].isEmpty())
                continue;
            at = out.BeginRecord(0x00FD); // LABELSST
            out.U16(r);
            out.U16(int(c));
            out.U16(kCellXf);
            out.U32(cellStrings[size_t(r)][c]);
            out.EndRecord(at);
        }
    }
    at = out.BeginRecord(0x023E); // WINDOW2
    out.U16(
        first ? 0x06B6 : 0x00B6); // gridlines, headings, zeros, outline, default colour (+ selected, shown)
    out.U16(0);
    out.U16(0);
    out.U32(0x40);
    out.U16(0);
    out.U16(0);
    out.U32(0);
    out.EndRecord(at);
    WriteEof(out);
}

} // namespace

QByteArray TXlsWriter::WriteWorkbookStream(const std::vector<TSheetData>& sheets)
{
    // Shared strings first: the globals carry the table, the sheets refer to it by index.
    SharedStrings sst;
    size_t cells = 0;
    for (const TSheetData& sheet : sheets)
        for (const auto& row : sheet.rows)
            cells += row.size();
    sst.index.reserve(qsizetype(std::min<size_t>(cells, 1u << 22)));
    std::vector<std::vector<std::vector<quint32>>> refs(sheets.size());
    for (size_t s = 0; s < sheets.size(); ++s) {
        const auto& rows = sheets[s].rows;
        refs[s].resize(rows.size());
        for (size_t r = 0; r < rows.size(); ++r) {
            refs[s][r].resize(rows[r].size());
            for (size_t c = 0; c < rows[r].size(); ++c)
                if (!rows[r][c].isEmpty())
                    refs[s][r][c] = sst.Add(rows[r][c].left(32767));
        }
    }

    Stream out;
    out.bytes.reserve(qsizetype(sst.references) * 14 + 64 * 1024);
    WriteBof(out, 0x0005);
    auto at = out.BeginRecord(0x0042); // CODEPAGE: UTF-16
    out.U16(1200);
    out.EndRecord(at);
    at = out.BeginRecord(0x003D); // WINDOW1
    out.U16(0);
    out.U16(0);
    out.U16(0x3A5C);
    out.U16(0x2300);
    out.U16(0x0038);
    out.U16(0);
    out.U16(0);
    out.U16(1);
    out.U16(0x0258);
    out.EndRecord(at);
    for (int i = 0; i < 4; ++i) // index 4 is never used by readers, so four fonts are the set
        WriteFont(out);
    WriteXf(out, true, 0);
    for (int i = 1; i < 15; ++i)
        WriteXf(out, true, 0xF4);
    WriteXf(out, false, 0);
    at = out.BeginRecord(0x0293); // STYLE: built-in "Normal" on XF 0
    out.U16(0x8000);
    out.U8(0);
    out.U8(0xFF);
    out.EndRecord(at);

    std::vector<qsizetype> sheetOffsets;
    for (const TSheetData& sheet : sheets) {
        at = out.BeginRecord(0x0085); // BOUNDSHEET
        sheetOffsets.push_back(out.Pos());
        out.U32(0); // patched once the sheet's position is known
        out.U8(0);
        out.U8(0);
        ShortString(out, sheet.name.left(31));
        out.EndRecord(at);
    }

    const int bucketSize = std::max<int>(8, int((sst.strings.size() + 127) / 128));
    std::vector<std::pair<quint32, quint16>> buckets;
    WriteSst(out, sst, bucketSize, buckets);
    at = out.BeginRecord(0x00FF); // EXTSST
    out.U16(bucketSize);
    for (const auto& [pos, offset] : buckets) {
        out.U32(pos);
        out.U16(offset);
        out.U16(0);
    }
    out.EndRecord(at);
    WriteEof(out);

    for (size_t s = 0; s < sheets.size(); ++s) {
        out.Patch32(sheetOffsets[s], quint32(out.Pos()));
        WriteSheet(out, sheets[s], refs[s], s == 0);
    }
    return out.bytes;
}

QByteArray TXlsWriter::Write(const std::vector<TSheetData>& sheets, QString* error)
{
    for (const TSheetData& sheet : sheets) {
        if (sheet.UsedRows() > kMaxRows || sheet.UsedColumns() > kMaxColumns) {
            if (error)
                *error = QStringLiteral(
                    "Sheet '%1' does not fit the .xls format (at most %2 rows and %3 columns); "
                    "save it as .xlsx")
                             .arg(sheet.name)
                             .arg(kMaxRows)
                             .arg(kMaxColumns);
            return QByteArray();
        }
    }
    if (error)
        error->clear();
    return TCompoundFileWriter::Write(QStringLiteral("Workbook"), WriteWorkbookStream(sheets));
}
