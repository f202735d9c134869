// Native file, HTML and XML exchange of TOrvListView: thin calls into the exchange module.
#include "listview/TOrvListView.h"

#include "exchange/THTMLExport.h"
#include "exchange/TNativeListFile.h"
#include "exchange/TOfficeExport.h"
#include "exchange/TXMLExport.h"

void TOrvListView::SaveToFile(const QString& FileName)
{
    SaveListToFile(Columns(), Items(), m_subImages, m_saveHeader, FileName);
}

void TOrvListView::LoadFromFile(const QString& FileName)
{
    bool subImages = m_subImages;
    Items().BeginUpdate();
    try {
        LoadListFromFile(Columns(), Items(), subImages, m_loadHeader, FileName);
    } catch (...) {
        Items().EndUpdate();
        throw;
    }
    Items().EndUpdate();
    SetSubImages(subImages);
}

void TOrvListView::SaveToHTML(const QString& FileName)
{
    THTMLExportContext context { Columns(), Items(), HTMLSettings(), m_urlShow, m_urlFull, {}, {} };
    context.drawItemProp = [this](int row, int subItem, TBrush& brush, TFont& font, const QString& text) {
        DoDrawItemProp(row, subItem, 0, brush, font, text);
    };
    context.richPlainText = [this](int row, int subItem) {
        TRichEdit engine;
        CellToRich(row, subItem, engine);
        return engine.PlainText();
    };
    SaveListToHTML(context, FileName);
}

void TOrvListView::SaveToXML(
    const QString& FileName, const QString& ListTag, const QString& RecordTag, const QStringList& FieldNames)
{
    SaveListToXML(Columns(), Items(), FileName, ListTag, RecordTag, FieldNames);
}

void TOrvListView::SaveToXLS(const QString& FileName)
{
    SaveListToXLS(Columns(), Items(), FileName);
}

void TOrvListView::SaveToDOC(const QString& FileName)
{
    SaveListToDOC(Columns(), Items(), FileName);
}
