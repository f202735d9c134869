#include "listview/private/TColumnAutoSizer.h"

#include "platform/OrvExceptions.h"
#include "listview/CellContent.h"
#include "listview/TOrvListView.h"
#include "markup/DrawMarkup.h"
#include "platform/ListCells.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"
#include "platform/TProfileStore.h"

#include <algorithm>

TColumnAutoSizer::TColumnAutoSizer(TOrvListView& list)
    : m_list(list)
{ }

void TColumnAutoSizer::AutoSizeColumn(int ACol)
{
    const int rows = m_list.Items().Count();
    if (rows == 0 || ACol < 0 || ACol >= m_list.Columns().Count())
        return;
    TCanvas& canvas = m_list.DrawingCanvas();
    // Measuring works without a device; an attached canvas (a paint in progress) is left as is.
    const TFont savedFont(canvas.Font());
    TBrush savedBrush;
    savedBrush.Assign(canvas.Brush());
    const TFont& listFont = m_list.Font();
    TBrush listBrush;
    listBrush.SetColor(m_list.Color());

    const int s = ACol - 1;
    TImageList* images = m_list.SmallImages();
    const bool checkBoxes = s == -1 && m_list.Checkboxes();
    int widest = 0;
    for (int r = 0; r < rows; ++r) {
        const TListItem& item = m_list.Items()[r];
        QString text = ListCells::Text(item, ACol);
        if (text.contains(QLatin1String("{\\"))) {
            TOrvRichEdit& rich = m_list.RichEdit();
            m_list.CellToRich(r, s, rich);
            text = rich.PlainText();
        }
        // Every cell starts from the list's font, as drawing does, so that one cell's handler
        // changes cannot widen or narrow the cells measured after it.
        canvas.Font().Assign(listFont);
        canvas.Brush().Assign(listBrush);
        m_list.DoDrawItemProp(r, s, 0, canvas.Brush(), canvas.Font(), text);

        int w = 0;
        if (CellContent::IsMarkup(text)) {
            QString anchor, plain;
            int height = 0;
            DrawMarkupSimple(canvas, text, TRect { 0, 0, 65535, 65535 }, images, 0, 0, false, true, false,
                true, true, 0.0, m_list.URLColor(), anchor, plain, w, height);
        } else {
            w = canvas.TextWidth(text);
        }
        if (images) {
            // Sub-item images count only while the list shows them (the platform counts from 1).
            const int index
                = s == -1 ? item.ImageIndex() : (m_list.SubImages() ? item.SubItemImage(s + 1) : -1);
            if (index != -1)
                w += images->Width();
        }
        if (checkBoxes)
            w += kCheckBoxWidth;
        widest = std::max(widest, w);
    }
    canvas.Font().Assign(savedFont);
    canvas.Brush().Assign(savedBrush);
    m_list.Columns()[ACol].SetWidth(widest + kMargin);
}

void TColumnAutoSizer::AutoSizeColumns()
{
    const int count = m_list.Columns().Count();
    if (count == 0)
        return;
    m_list.BeginPaintSuspend();
    try {
        for (int i = 0; i < count; ++i)
            AutoSizeColumn(i);
    } catch (...) {
        m_list.EndPaintSuspend();
        throw;
    }
    m_list.EndPaintSuspend();
}

void TColumnAutoSizer::SaveColumnSizes()
{
    const TColumnSize& settings = m_list.ColumnSize();
    if (!settings.Save() || settings.Key().isEmpty() || settings.Section().isEmpty())
        return;
    const bool ini = settings.Storage() == stInifile;
    TProfileStore store(settings.Key(), ini ? pkIniFile : pkRegistry);
    const int count = m_list.Columns().Count();
    for (int i = 0; i < count; ++i) {
        const bool written = store.WriteInteger(
            settings.Section(), QStringLiteral("col%1").arg(i), m_list.Columns()[i].Width());
        if (!written && ini)
            throw EOrvListViewError(QStringLiteral("Unable to write to ") + settings.Key());
    }
}
