// Writes a Compound File Binary container (version 3, 512-byte sectors) holding one stream, the
// shape in which Excel 97-2003 keeps its "Workbook" stream.
#pragma once

#include <QByteArray>
#include <QString>

class TCompoundFileWriter {
public:
    // Streams shorter than the 4096-byte mini-stream cutoff are padded with zero bytes up to it, so
    // every stream lives in regular sectors and no mini stream is needed.
    static QByteArray Write(const QString& streamName, const QByteArray& stream);
};
