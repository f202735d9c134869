#include "listview/ops/ClipboardText.h"

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

namespace {

// Calls `take(line)` for every line a paste takes from `text`, until it returns false.
template <class Take> void ForEachPastedLine(QStringView all, Take take)
{
    if (!all.contains(QLatin1Char('\r'))) {
        take(all);
        return;
    }
    qsizetype start = 0;
    while (true) {
        const qsizetype cr = all.indexOf(QLatin1Char('\r'), start);
        if (cr < 0)
            break; // a final line without CR is not taken
        if (!take(all.mid(start, cr - start)))
            return;
        start = cr + 2; // the character after the CR (normally LF) is skipped
        if (start > all.size())
            break;
    }
}

} // namespace

TOverlongLine FindOverlongLine(const QString& text)
{
    TOverlongLine found;
    int number = 0;
    ForEachPastedLine(text, [&](QStringView line) {
        ++number;
        const qsizetype fields = line.count(QLatin1Char('\t')) + 1;
        if (fields <= kMaxTextFields)
            return true;
        found = { number, int(fields) };
        return false;
    });
    return found;
}

int AppendRowsFromText(TListItems& items, TListColumns& columns, const QString& text)
{
    if (text.isEmpty() || FindOverlongLine(text).line > 0)
        return -1;
    int last = -1;
    items.BeginUpdate();
    ForEachPastedLine(text, [&](QStringView line) {
        AppendLine(items, columns, line);
        last = items.Count() - 1;
        return true;
    });
    items.EndUpdate();
    return last;
}

int DeleteSelectedRows(TListItems& items)
{
    return items.DeleteSelected();
}

} // namespace orvops
