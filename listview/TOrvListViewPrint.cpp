// TOrvListView: printing and the print preview, thin members over the print layout.
#include "listview/TOrvListView.h"
#include "listview/private/TListPrintSource.h"
#include "platform/OrvExceptions.h"
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
    TPrintLayout layout(source, PrintSettings(), m_printState);
    layout.Progress = ProgressCallback();
    try {
        layout.Print(target);
    } catch (const EProgressCancelled&) {
        // The document was aborted: nothing printed, a PDF target left as it was.
    }
}

void TOrvListView::PreviewPaint(TCanvas& Canvas, const TRect& Rect)
{
    TListPrintSource source(*this);
    TPrintLayout(source, PrintSettings(), m_printState).PreviewPaint(Canvas, Rect);
}
