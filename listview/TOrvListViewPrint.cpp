// TOrvListView: printing and the print preview, thin members over the print layout.
#include "platform/OrvExceptions.h"
#include "listview/TOrvListView.h"
#include "listview/private/TListPrintSource.h"
#include "platform/TPrinter.h"

#include <QPrinter>
#include <QPrinterInfo>

void TOrvListView::Print()
{
    if (!TPrinter::Available())
        throw EOrvListViewError(QStringLiteral("No printer available"));
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        info = QPrinterInfo::printerInfo(QPrinterInfo::availablePrinterNames().constFirst());
    QPrinter printer(info, QPrinter::HighResolution);
    Print(printer);
}

void TOrvListView::Print(QPrinter& printer)
{
    TPrinter target(printer);
    TListPrintSource source(*this);
    TPrintLayout(source, PrintSettings(), m_printState).Print(target);
}

void TOrvListView::PreviewPaint(TCanvas& Canvas, const TRect& Rect)
{
    TListPrintSource source(*this);
    TPrintLayout(source, PrintSettings(), m_printState).PreviewPaint(Canvas, Rect);
}
