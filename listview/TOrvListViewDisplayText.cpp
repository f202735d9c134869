// The text TOrvListView shows in a cell or a header section, as plain text.
#include "listview/TOrvListView.h"

#include "listview/private/TRowPainter.h"
#include "markup/MarkupText.h"

QString TOrvListView::DisplayText(int item, int column) const
{
    const QString text = Cells(column, item);
    if (item == -1) // header sections draw markup or the caption as it is
        return CellContent::IsMarkup(text) ? MarkupShownText(text) : text;
    switch (ContentKind(text)) {
    case ckRichText: {
        // A scratch engine: the list's own RichEdit belongs to the application.
        TRichEdit rich;
        CellToRich(item, column - 1, rich);
        return rich.PlainText().replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }
    case ckMarkup:
        return MarkupShownText(text);
    case ckURL:
        return m_urlFull ? text : TRowPainter::ShortenURL(text);
    case ckPlain:
        break;
    }
    return text;
}
