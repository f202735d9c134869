// Clipboard paste: any text becomes rows (and columns) without crashing, and copying the rows
// back gives one CR LF line per pasted row.
#include "listview/ops/ClipboardText.h"
#include "platform/TListItems.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    TListItems items;
    TListColumns columns;
    const int last = orvops::AppendRowsFromText(items, columns, text);
    if (last != items.Count() - 1)
        std::abort();
    const QString copied = orvops::RowsToText(items, false);
    if (copied.count(QStringLiteral("\r\n")) < items.Count())
        std::abort();
    orvops::DeleteSelectedRows(items);
    if (items.Count() != 0)
        std::abort();
    return 0;
}
