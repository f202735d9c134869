#include "listview/ops/TClipboardText.h"

#include "platform/TListItems.h"

namespace orvops {

QString RowsToText(const TListItems& items, bool selectedOnly)
{
    QString text;
    for (int i = 0; i < items.Count(); ++i) {
        const TListItem& item = items[i];
        if (selectedOnly && !item.Selected())
            continue;
        text += item.Caption();
        for (const QString& sub : item.SubItems()) {
            text += QLatin1Char('\t');
            text += sub;
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

namespace {

void AppendLine(TListItems& items, TListColumns& columns, QStringView line)
{
    TListItem& item = items.Add();
    item.SetImageIndex(-1);
    item.SetSelected(true);
    int fields = 0;
    qsizetype start = 0;
    while (true) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'), start);
        const QStringView field = line.mid(start, tab < 0 ? -1 : tab - start);
        if (fields == 0)
            item.SetCaption(field.toString());
        else
            item.SubItems().append(field.toString());
        ++fields;
        if (columns.Count() < fields)
            columns.Add();
        if (tab < 0)
            break;
        start = tab + 1;
    }
}

} // namespace

int AppendRowsFromText(TListItems& items, TListColumns& columns, const QString& text)
{
    const QStringView all(text);
    if (all.isEmpty())
        return -1;
    int last = -1;
    items.BeginUpdate();
    if (!all.contains(QLatin1Char('\r'))) {
        AppendLine(items, columns, all);
        last = items.Count() - 1;
    } else {
        qsizetype start = 0;
        while (true) {
            const qsizetype cr = all.indexOf(QLatin1Char('\r'), start);
            if (cr < 0)
                break; // a final line without CR is not taken
            AppendLine(items, columns, all.mid(start, cr - start));
            last = items.Count() - 1;
            start = cr + 2; // the character after the CR (normally LF) is skipped
            if (start > all.size())
                break;
        }
    }
    items.EndUpdate();
    return last;
}

int DeleteSelectedRows(TListItems& items)
{
    return items.DeleteSelected();
}

} // namespace orvops
