#include "platform/office/TXlsxWriter.h"

#include "platform/office/TZipWriter.h"

namespace {

QString ColumnLetters(int column)
{
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

bool IsHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QString AttributeEscape(const QString& s)
{
    return s.toHtmlEscaped();
}

QByteArray SheetXml(const TSheetData& sheet)
{
    QString xml;
    xml.reserve(4096);
    xml += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                          "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">");
    const int rows = sheet.UsedRows();
    const int columns = sheet.UsedColumns();
    if (rows > 0 && columns > 0)
        xml += QStringLiteral("<dimension ref=\"A1:%1%2\"/>").arg(ColumnLetters(columns - 1)).arg(rows);
    else
        xml += QStringLiteral("<dimension ref=\"A1\"/>");
    xml += QStringLiteral("<sheetData>");
    for (int r = 0; r < rows; ++r) {
        const auto& cells = sheet.rows[size_t(r)];
        bool any = false;
        for (const QString& c : cells)
            any = any || !c.isEmpty();
        if (!any)
            continue;
        const QString rowNumber = QString::number(r + 1);
        xml += QStringLiteral("<row r=\"") + rowNumber + QStringLiteral("\">");
        for (size_t c = 0; c < cells.size(); ++c) {
            if (cells[c].isEmpty())
                continue;
            xml += QStringLiteral("<c r=\"") + ColumnLetters(int(c)) + rowNumber
                + QStringLiteral("\" t=\"inlineStr\"><is><t xml:space=\"preserve\">")
                + TXlsxWriter::EscapeText(cells[c]) + QStringLiteral("</t></is></c>");
        }
        xml += QStringLiteral("</row>");
    }
    xml += QStringLiteral("</sheetData></worksheet>");
    return xml.toUtf8();
}

} // namespace

QString TXlsxWriter::EscapeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        const char16_t u = ch.unicode();
        if (u == u'&')
            out += QStringLiteral("&amp;");
        else if (u == u'<')
            out += QStringLiteral("&lt;");
        else if (u == u'>')
            out += QStringLiteral("&gt;");
        else if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF
            || (ch.isHighSurrogate() && !(i + 1 < text.size() && text[i + 1].isLowSurrogate()))
            || (ch.isLowSurrogate() && !(i > 0 && text[i - 1].isHighSurrogate())))
            out += QStringLiteral("_x") + QString::number(u, 16).rightJustified(4, QLatin1Char('0')).toUpper()
                + QLatin1Char('_');
        else if (u == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && IsHex(text[i + 2])
            && IsHex(text[i + 3]) && IsHex(text[i + 4]) && IsHex(text[i + 5]) && text[i + 6] == u'_')
            out += QStringLiteral("_x005F_"); // a literal escape sequence must not be decoded
        else if (u == u'\r')
            out += QStringLiteral("&#13;"); // a bare CR would be normalised away by XML readers
        else
            out += ch;
    }
    return out;
}

QByteArray TXlsxWriter::Write(const std::vector<TSheetData>& sheets)
{
    TZipWriter zip;
    QString types = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>");
    QString workbook = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>");
    QString workbookRels = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">");
    for (size_t i = 0; i < sheets.size(); ++i) {
        const QString n = QString::number(i + 1);
        types += QStringLiteral("<Override PartName=\"/xl/worksheets/sheet") + n
            + QStringLiteral(
                ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml."
                "worksheet+xml\"/>");
        workbook += QStringLiteral("<sheet name=\"") + AttributeEscape(sheets[i].name)
            + QStringLiteral("\" sheetId=\"") + n + QStringLiteral("\" r:id=\"rId") + n
            + QStringLiteral("\"/>");
        workbookRels += QStringLiteral("<Relationship Id=\"rId") + n
            + QStringLiteral("\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                             "worksheet\" Target=\"worksheets/sheet")
            + n + QStringLiteral(".xml\"/>");
    }
    const QString stylesId = QString::number(sheets.size() + 1);
    workbookRels += QStringLiteral("<Relationship Id=\"rId") + stylesId
        + QStringLiteral(
            "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
            "Target=\"styles.xml\"/></Relationships>");
    types += QStringLiteral("</Types>");
    workbook += QStringLiteral("</sheets></workbook>");

    zip.Add(QStringLiteral("[Content_Types].xml"), types.toUtf8());
    zip.Add(QStringLiteral("_rels/.rels"),
        QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"));
    zip.Add(QStringLiteral("xl/workbook.xml"), workbook.toUtf8());
    zip.Add(QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRels.toUtf8());
    zip.Add(QStringLiteral("xl/styles.xml"),
        QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<fonts count=\"1\"><font><sz val=\"10\"/><name val=\"Arial\"/></font></fonts>"
            "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
            "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
            "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
            "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
            "</cellStyleXfs><cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
            "borderId=\"0\" xfId=\"0\"/></cellXfs>"
            "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
            "</cellStyles></styleSheet>"));
    for (size_t i = 0; i < sheets.size(); ++i)
        zip.Add(QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1), SheetXml(sheets[i]));
    return zip.Finish();
}
