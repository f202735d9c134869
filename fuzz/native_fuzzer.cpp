// Feeds arbitrary bytes to the native list file reader in both header modes and checks the
// shape of what it built.
#include "platform/OrvExceptions.h"
#include "exchange/NativeListFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
    for (bool header : { false, true }) {
        TListColumns columns;
        TListItems items;
        bool subImages = false;
        try {
            LoadListFromFile(columns, items, subImages, header, path);
            // A fresh model gets exactly the declared columns, and every row one sub-item each.
            for (int r = 0; r < items.Count(); ++r)
                if (items[r].SubItems().size() != columns.Count())
                    std::abort();
        } catch (const EOrvListViewError&) { }
    }
    return 0;
}
