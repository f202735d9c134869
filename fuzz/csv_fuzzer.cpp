// Feeds arbitrary bytes to the CSV reader, in both header modes, with and without detection.
#include "platform/OrvExceptions.h"
#include "exchange/CsvFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath("in.csv");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    for (int mode = 0; mode < 3; ++mode) {
        TListColumns columns;
        TListItems items;
        QChar delimiter = mode == 2 ? QChar(u';') : QChar();
        if (mode == 1) // a list that already has rows and columns
            for (int i = 0; i < 2; ++i) {
                columns.Add().SetCaption("c");
                items.Add().SetCaption("r");
            }
        try {
            LoadListFromCSV(columns, items, delimiter, mode == 0, path);
        } catch (const EOrvListViewError&) { }
    }
    return 0;
}
