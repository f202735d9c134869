// Feeds arbitrary bytes to the native list file reader in both header modes and saves the
// result again.
#include "exchange/EOrvListViewError.h"
#include "exchange/TNativeListFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath("in.dat");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    for (bool header : {false, true}) {
        TListColumns columns;
        TListItems items;
        bool subImages = false;
        try {
            LoadListFromFile(columns, items, subImages, header, path);
            SaveListToFile(columns, items, subImages, header, dir.filePath("out.dat"));
        } catch (const EOrvListViewError&) {
        }
    }
    return 0;
}
