// File exchange of TOrvListView (CSV, native file, HTML, XML, office documents): thin calls into the
// exchange module with the list's settings.
#include "listview/TOrvListView.h"

#include "exchange/CsvFiles.h"
#include "exchange/HTMLExport.h"
#include "exchange/NativeListFiles.h"
#include "exchange/OfficeExport.h"
#include "exchange/XMLExport.h"

namespace {

// Holds repaints back while a file replaces many rows, also when the reader throws.
class UpdateScope {
public:
    explicit UpdateScope(TListItems& items)
        : m_items(items)
    {
        m_items.BeginUpdate();
    }
    ~UpdateScope() { m_items.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    TListItems& m_items;
};

} // namespace

void TOrvListView::SaveToCSV(const QString& FileName)
{
    SaveListToCSV(Columns(), Items(), m_delimiter, m_saveHeader, FileName);
}

void TOrvListView::LoadFromCSV(const QString& FileName)
{
    UpdateScope scope(Items());
    LoadListFromCSV(Columns(), Items(), m_delimiter, m_loadHeader, FileName);
}

void TOrvListView::SaveToFile(const QString& FileName)
{
    SaveListToFile(Columns(), Items(), m_subImages, m_saveHeader, FileName);
}

void TOrvListView::LoadFromFile(const QString& FileName)
{
    bool subImages = m_subImages;
    {
        UpdateScope scope(Items());
        LoadListFromFile(Columns(), Items(), subImages, m_loadHeader, FileName);
    }
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
