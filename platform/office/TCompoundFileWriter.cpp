#include "platform/office/TCompoundFileWriter.h"

#include <QtEndian>
#include <cstring>

namespace {

constexpr quint32 kFreeSect = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSect = 0xFFFFFFFD;
constexpr quint32 kDifSect = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr int kSector = 512;
constexpr int kEntriesPerSector = kSector / 4;
constexpr int kHeaderDifat = 109;
constexpr int kMiniStreamCutoff = 4096;

void Put16(char* p, quint16 v)
{
    qToLittleEndian(v, p);
}
void Put32(char* p, quint32 v)
{
    qToLittleEndian(v, p);
}

void WriteDirEntry(char* e, const QString& name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    std::memset(e, 0, 128);
    const int chars = std::min<int>(int(name.size()), 31);
    for (int i = 0; i < chars; ++i)
        Put16(e + 2 * i, name[i].unicode());
    Put16(e + 0x40, quint16(type == 0 ? 0 : (chars + 1) * 2));
    e[0x42] = char(type);
    e[0x43] = 1; // black: a one-node tree is trivially balanced
    Put32(e + 0x44, kNoStream);
    Put32(e + 0x48, kNoStream);
    Put32(e + 0x4C, child);
    Put32(e + 0x74, start);
    Put32(e + 0x78, size);
}

} // namespace

QByteArray TCompoundFileWriter::Write(const QString& streamName, const QByteArray& stream)
{
    QByteArray data = stream;
    if (data.size() < kMiniStreamCutoff)
        data.append(kMiniStreamCutoff - data.size(), '\0');
    const quint32 dataSectors = quint32((data.size() + kSector - 1) / kSector);
    const quint32 dirSector = dataSectors;

    // FAT and DIFAT sectors are themselves listed in the FAT: iterate to the fixed point.
    quint32 fatSectors = 1, difatSectors = 0;
    for (;;) {
        const quint32 total = dataSectors + 1 + fatSectors + difatSectors;
        const quint32 needFat = (total + kEntriesPerSector - 1) / kEntriesPerSector;
        const quint32 needDifat = needFat > kHeaderDifat
            ? (needFat - kHeaderDifat + kEntriesPerSector - 2) / (kEntriesPerSector - 1)
            : 0;
        if (needFat == fatSectors && needDifat == difatSectors)
            break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const quint32 firstFat = dirSector + 1;
    const quint32 firstDifat = firstFat + fatSectors;
    const quint32 totalSectors = firstDifat + difatSectors;

    QByteArray out(qsizetype(kSector) * (1 + totalSectors), '\0');
    char* header = out.data();
    static const unsigned char signature[8] = { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 };
    std::memcpy(header, signature, 8);
    Put16(header + 0x18, 0x003E);
    Put16(header + 0x1A, 0x0003);
    Put16(header + 0x1C, 0xFFFE);
    Put16(header + 0x1E, 9);
    Put16(header + 0x20, 6);
    Put32(header + 0x2C, fatSectors);
    Put32(header + 0x30, dirSector);
    Put32(header + 0x38, kMiniStreamCutoff);
    Put32(header + 0x3C, kEndOfChain);
    Put32(header + 0x44, difatSectors ? firstDifat : kEndOfChain);
    Put32(header + 0x48, difatSectors);
    for (int i = 0; i < kHeaderDifat; ++i)
        Put32(header + 0x4C + 4 * i, quint32(i) < fatSectors ? firstFat + quint32(i) : kFreeSect);

    auto sector = [&](quint32 index) { return out.data() + kSector * (qsizetype(index) + 1); };
    std::memcpy(sector(0), data.constData(), size_t(data.size()));

    char* dir = sector(dirSector);
    WriteDirEntry(dir, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    WriteDirEntry(dir + 128, streamName, 2, kNoStream, 0, quint32(data.size()));
    WriteDirEntry(dir + 256, QString(), 0, kNoStream, 0, 0);
    WriteDirEntry(dir + 384, QString(), 0, kNoStream, 0, 0);

    auto setFat = [&](quint32 index, quint32 value) {
        Put32(sector(firstFat + index / kEntriesPerSector) + 4 * (index % kEntriesPerSector), value);
    };
    for (quint32 i = 0; i < fatSectors * kEntriesPerSector; ++i)
        setFat(i, kFreeSect);
    for (quint32 i = 0; i < dataSectors; ++i)
        setFat(i, i + 1 < dataSectors ? i + 1 : kEndOfChain);
    setFat(dirSector, kEndOfChain);
    for (quint32 i = 0; i < fatSectors; ++i)
        setFat(firstFat + i, kFatSect);
    for (quint32 i = 0; i < difatSectors; ++i)
        setFat(firstDifat + i, kDifSect);

    // FAT sectors past the header's 109 are listed in the DIFAT chain, 127 per sector plus a link.
    quint32 fatIndex = kHeaderDifat;
    for (quint32 d = 0; d < difatSectors; ++d) {
        char* s = sector(firstDifat + d);
        for (int i = 0; i < kEntriesPerSector - 1; ++i, ++fatIndex)
            Put32(s + 4 * i, fatIndex < fatSectors ? firstFat + fatIndex : kFreeSect);
        Put32(s + 4 * (kEntriesPerSector - 1), d + 1 < difatSectors ? firstDifat + d + 1 : kEndOfChain);
    }
    return out;
}
