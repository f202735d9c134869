#include "exchange/XMLExport.h"

#include "platform/OrvExceptions.h"
#include "exchange/private/TTextFileWriter.h"

namespace {

// Escaped so that a parser reads back exactly the text: markup characters as entities, a CR
// as a reference (a parser would fold a literal CR LF into LF), and characters XML cannot
// carry at all (most controls, lone surrogates, U+FFFE/U+FFFF) left out.
void AppendEscaped(QString& out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u == u'&')
            out += u"&amp;";
        else if (u == u'<')
            out += u"&lt;";
        else if (u == u'>')
            out += u"&gt;";
        else if (u == u'\r')
            out += u"&#13;";
        else if (u < 0x20 && u != u'\t' && u != u'\n')
            continue;
        else if (u == 0xFFFE || u == 0xFFFF)
            continue;
        else if (c.isHighSurrogate()) {
            if (i + 1 < n && text[i + 1].isLowSurrogate()) {
                out += c;
                out += text[++i];
            }
        } else if (c.isLowSurrogate())
            continue;
        else
            out += c;
    }
}

} // namespace

void SaveListToXML(const TListColumns& columns, const TListItems& items, const QString& file,
    const QString& listTag, const QString& recordTag, const QStringList& fieldNames,
    const TProgressCallback& progress)
{
    TTextFileWriter writer(file);
    if (!writer.Open())
        throw EOrvListViewError("Cannot create file " + file);
    const int columnCount = columns.Count();
    QStringList openTags, closeTags;
    for (int i = 0; i < columnCount; ++i) {
        const QString name
            = i < fieldNames.size() ? fieldNames[i] : QStringLiteral("FIELD") + QString::number(i);
        openTags << u'<' + name + u'>';
        closeTags << QStringLiteral("</") + name + u'>';
    }
    const QString recordOpen = u'<' + recordTag + u'>';
    const QString recordClose = QStringLiteral("</") + recordTag + u'>';
    writer.WriteLine(u"<?xml version=\"1.0\"?>");
    writer.WriteLine(QString(u'<' + listTag + u'>'));
    QString line;
    TProgressMeter meter(progress, items.Count());
    for (int r = 0; r < items.Count(); ++r) {
        meter.Step(r);
        const TListItem& item = items[r];
        writer.WriteLine(recordOpen);
        for (int i = 0; i < columnCount; ++i) {
            line = openTags[i];
            if (i == 0)
                AppendEscaped(line, item.Caption());
            else if (i - 1 < item.SubItems().size())
                AppendEscaped(line, item.SubItems()[i - 1]);
            line += closeTags[i];
            writer.WriteLine(line);
        }
        writer.WriteLine(recordClose);
    }
    writer.WriteLine(QString(QStringLiteral("</") + listTag + u'>'));
    meter.Finish();
    writer.Commit();
}
