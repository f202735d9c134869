// File exchange of TOrvListView (CSV, native file, HTML, XML, office documents): thin calls into the
// exchange module with the list's settings, and the progress that module and printing report.
//
// A cancel heard through OnProgress stops the work with EProgressCancelled; each member here
// catches it once nothing is left changed: a load has not touched the list (it reads into a
// staged copy that goes into the list only when complete), a save has not replaced its file, an
// office document was not saved.
#include "listview/TOrvListView.h"

#include "exchange/CsvFiles.h"
#include "exchange/HTMLExport.h"
#include "exchange/NativeListFiles.h"
#include "exchange/OfficeExport.h"
#include "exchange/XMLExport.h"
#include "listview/private/TStagedModel.h"

TProgressCallback TOrvListView::ProgressCallback()
{
    if (!OnProgress)
        return {};
    return [this](qint64 done, qint64 total, bool& cancel) {
        if (OnProgress)
            OnProgress(*this, done, total, cancel);
    };
}

void TOrvListView::SaveToCSV(const QString& FileName)
{
    try {
        SaveListToCSV(Columns(), Items(), m_delimiter, m_saveHeader, FileName, ProgressCallback());
    } catch (const EProgressCancelled&) { }
}

void TOrvListView::LoadFromCSV(const QString& FileName)
{
    TStagedModel staged(Columns());
    QChar delimiter = m_delimiter;
    try {
        LoadListFromCSV(
            staged.Columns(), staged.Items(), delimiter, m_loadHeader, FileName, ProgressCallback());
    } catch (const EProgressCancelled&) {
        return; // the list and its delimiter stay as they were
    }
    staged.CommitTo(Columns(), Items(), m_loadHeader ? TStagedModel::cmReplace : TStagedModel::cmExtend,
        m_loadHeader ? TStagedModel::rmReplace : TStagedModel::rmAppend);
    m_delimiter = delimiter;
}

void TOrvListView::SaveToFile(const QString& FileName)
{
    try {
        SaveListToFile(Columns(), Items(), m_subImages, m_saveHeader, FileName, ProgressCallback());
    } catch (const EProgressCancelled&) { }
}

void TOrvListView::LoadFromFile(const QString& FileName)
{
    TStagedModel staged(Columns());
    bool subImages = m_subImages;
    try {
        LoadListFromFile(
            staged.Columns(), staged.Items(), subImages, m_loadHeader, FileName, ProgressCallback());
    } catch (const EProgressCancelled&) {
        return;
    }
    staged.CommitTo(Columns(), Items(), TStagedModel::cmExtend, TStagedModel::rmReplace);
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
    try {
        SaveListToHTML(context, FileName, ProgressCallback());
    } catch (const EProgressCancelled&) { }
}

void TOrvListView::SaveToXML(
    const QString& FileName, const QString& ListTag, const QString& RecordTag, const QStringList& FieldNames)
{
    try {
        SaveListToXML(Columns(), Items(), FileName, ListTag, RecordTag, FieldNames, ProgressCallback());
    } catch (const EProgressCancelled&) { }
}

void TOrvListView::SaveToXLS(const QString& FileName)
{
    try {
        SaveListToXLS(Columns(), Items(), FileName, ProgressCallback());
    } catch (const EProgressCancelled&) { }
}

void TOrvListView::SaveToDOC(const QString& FileName)
{
    try {
        SaveListToDOC(Columns(), Items(), FileName, ProgressCallback());
    } catch (const EProgressCancelled&) { }
}
