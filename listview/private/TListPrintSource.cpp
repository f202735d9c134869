#include "listview/private/TListPrintSource.h"

#include "listview/TOrvListView.h"

TListPrintSource::TListPrintSource(TOrvListView& list)
    : m_list(list)
{ }

int TListPrintSource::ColumnCount() const
{
    return m_list.Columns().Count();
}

int TListPrintSource::RowCount() const
{
    return m_list.Items().Count();
}

QString TListPrintSource::CellText(int col, int row) const
{
    return m_list.Cells(col, row);
}

TAlignment TListPrintSource::ColumnAlignment(int col) const
{
    return m_list.Columns()[col].Alignment();
}

bool TListPrintSource::ShowsCheckBoxes() const
{
    return m_list.Checkboxes();
}

bool TListPrintSource::RowChecked(int row) const
{
    return m_list.Items()[row].Checked();
}

int TListPrintSource::ScreenPixelsPerInch() const
{
    return m_list.logicalDpiX();
}

TPrintMarkupResources TListPrintSource::MarkupResources()
{
    return TPrintMarkupResources { m_list.SmallImages(), m_list.URLColor(), &m_list.PictureCache(),
        m_list.PictureContainer() };
}

void TListPrintSource::CellProperties(int row, int subItem, TBrush& brush, TFont& font, const QString& text)
{
    m_list.DoDrawItemProp(row, subItem, 0, brush, font, text);
}

QString TListPrintSource::RichPlainText(int row, int subItem)
{
    m_list.CellToRich(row, subItem, m_list.RichEdit());
    return m_list.RichEdit().PlainText();
}

void TListPrintSource::DrawRichText(int row, int subItem, const TRect& rect, TCanvas& canvas)
{
    m_list.DrawRichText(row, subItem, rect, canvas);
}

void TListPrintSource::PrintPage(TCanvas& canvas, int pageNr, int pageWidth, int pageBottom)
{
    if (m_list.OnPrintPage)
        m_list.OnPrintPage(m_list, canvas, pageNr, pageWidth, pageBottom);
}

void TListPrintSource::FitToPage(double& scaleFactor, bool& allow)
{
    if (m_list.OnFitToPage)
        m_list.OnFitToPage(m_list, scaleFactor, allow);
}

void TListPrintSource::PrintSetColumnWidth(int col, int& width)
{
    if (m_list.OnPrintSetColumnWidth)
        m_list.OnPrintSetColumnWidth(m_list, col, width);
}

void TListPrintSource::PrintNewPage(int row, bool& newPage)
{
    if (m_list.OnPrintNewPage)
        m_list.OnPrintNewPage(m_list, row, newPage);
}
