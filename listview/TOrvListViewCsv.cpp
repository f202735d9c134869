// CSV exchange of TOrvListView: thin calls into the exchange module with the list's settings.
#include "listview/TOrvListView.h"

#include "exchange/TCsvFile.h"

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
