// Row painting: selection colours, check boxes, images, URLs, markup, rich text, the detail
// line, the wallpaper and the per-cell property event, checked on rendered pixels and on the
// drawing calls the list's canvas records.
#include "listview/TOrvListView.h"
#include "listview/private/TRowPainter.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Paints through the row painter whatever the list's own DrawItem currently does.
class TPaintedList : public TOrvListView {
public:
    TPaintedList() { m_painter = std::make_unique<TRowPainter>(*this); }
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override
    {
        m_painter->DrawItem(Index, Rect, State);
    }
    TRowPainter& Painter() { return *m_painter; }
    // The current cell's column, as a click on the cell sets it.
    void SetCurrentColumn(int column) { m_selectedColumn = column; }

private:
    std::unique_ptr<TRowPainter> m_painter;
};

constexpr TColor kSelection = 0x0000C8; // red
constexpr TColor kSelectionText = 0x00FFFF; // yellow
constexpr TColor kBackground = clWhite;

QColor Q(TColor c)
{
    return ToQColor(c);
}

class RenderRowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(420, 200);
        list.CreateWnd();
        list.Loaded();
        list.SetColor(kBackground);
        list.SetSelectionColor(kSelection);
        list.SetSelectionTextColor(kSelectionText);
        list.SetItemHeight(20);
        for (int w : { 80, 100, 120 })
            list.Columns().Add().SetWidth(w);
        TListItem& a = list.Items().Add();
        a.SetCaption(QStringLiteral("Alpha"));
        a.SubItems() << QStringLiteral("Beta") << QStringLiteral("Gamma");
        TListItem& b = list.Items().Add();
        b.SetCaption(QStringLiteral("Delta"));
    }

    QImage Paint()
    {
        QImage image(420, 120, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        list.PaintRows(painter, TRect { 0, 0, 420, 120 });
        return image;
    }

    // Records the drawing calls of one paint.
    std::vector<TCanvasRecord> Record()
    {
        std::vector<TCanvasRecord> records;
        list.DrawingCanvas().SetRecorder(&records);
        Paint();
        list.DrawingCanvas().SetRecorder(nullptr);
        return records;
    }

    static std::vector<TCanvasRecord> OfKind(const std::vector<TCanvasRecord>& all, TCanvasRecord::Kind kind)
    {
        std::vector<TCanvasRecord> out;
        for (const auto& r : all)
            if (r.kind == kind)
                out.push_back(r);
        return out;
    }

    static const TCanvasRecord* TextRecord(const std::vector<TCanvasRecord>& all, const QString& text)
    {
        for (const auto& r : all)
            if (r.kind == TCanvasRecord::Text && r.text == text)
                return &r;
        return nullptr;
    }

    void Select(int row)
    {
        list.Items()[row].SetSelected(true);
        list.Items()[row].SetFocused(true);
    }

    TPaintedList list;
};

struct SelectionCase {
    const char* name;
    bool rowSelect;
    bool subItemSelect;
    bool subItemEdit;
    int selectedColumn;
    std::vector<int> order;
    std::vector<bool> highlightedAtPosition; // by display position
};

TEST_F(RenderRowTest, SelectionColoursFollowRowSelectCellSelectAndDisplayOrder)
{
    const SelectionCase cases[] = {
        { "row select", true, false, false, 0, { 0, 1, 2 }, { true, true, true } },
        { "plain list: caption only", false, false, false, 0, { 0, 1, 2 }, { true, false, false } },
        { "cell select: current cell only", false, true, false, 2, { 0, 1, 2 }, { false, false, true } },
        { "cell edit: caption and current cell", false, false, true, 1, { 0, 1, 2 }, { true, true, false } },
        { "cell select with moved columns", false, true, false, 2, { 2, 0, 1 }, { true, false, false } },
    };
    Select(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        list.SetRowSelect(c.rowSelect);
        list.SetSubItemSelect(c.subItemSelect);
        list.SetSubItemEdit(c.subItemEdit);
        list.SetColumnOrder(c.order);
        list.SetCurrentColumn(c.selectedColumn);
        const QImage image = Paint();
        int left = 0;
        for (int p = 0; p < 3; ++p) {
            const int width = list.Columns()[c.order[size_t(p)]].Width();
            // The right end of a cell is free of text: it shows the cell's background.
            const QColor pixel = image.pixelColor(left + width - 4, 10);
            EXPECT_EQ(pixel, c.highlightedAtPosition[size_t(p)] ? Q(kSelection) : Q(kBackground))
                << "position " << p;
            left += width;
        }
        // The unselected second row never shows the selection.
        EXPECT_EQ(image.pixelColor(76, 30), Q(kBackground));
    }
}

TEST_F(RenderRowTest, HighlightedCellTextTakesSelectionTextColour)
{
    Select(0);
    list.SetRowSelect(true);
    const auto records = Record();
    for (const QString& text : { QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma") }) {
        const TCanvasRecord* r = TextRecord(records, text);
        ASSERT_NE(r, nullptr) << text.toStdString();
        EXPECT_EQ(r->color, kSelectionText);
    }
    const TCanvasRecord* other = TextRecord(records, QStringLiteral("Delta"));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->color, list.Font().Color());
    const QImage image = Paint();
    EXPECT_GT(orvtest::CountPixels(image, QRect(0, 0, 80, 20), Q(kSelectionText), 60), 0);
}

TEST_F(RenderRowTest, CheckBoxSitsTwoPixelsInAndTextStartsAfterIt)
{
    list.SetCheckboxes(true);
    list.Items()[1].SetChecked(true);
    struct Case {
        TVAlignment align;
        int top; // of the box in row 0 (row height 20)
    } cases[] = { { vtaCenter, 3 }, { vtaTop, 0 }, { vtaBottom, 6 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.align));
        list.SetVAlignment(c.align);
        const auto records = Record();
        const auto boxes = OfKind(records, TCanvasRecord::CheckBox);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].rect, (TRect { 2, c.top, 16, c.top + 14 }));
        EXPECT_FALSE(boxes[0].checked);
        EXPECT_TRUE(boxes[1].checked);
        const TCanvasRecord* caption = TextRecord(records, QStringLiteral("Alpha"));
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->rect.left, 18 + 2); // text rectangle at 18, plus the text margin
    }
    list.SetVAlignment(vtaCenter);
    const QImage image = Paint();
    // Frame of the box on its left edge, background just outside it.
    EXPECT_EQ(image.pixel(2, 10), Q(clBtnShadow).rgb());
    EXPECT_EQ(image.pixel(1, 10), Q(kBackground).rgb());
    EXPECT_EQ(image.pixel(15, 10), Q(clBtnShadow).rgb());
}

TEST_F(RenderRowTest, CheckGlyphsReplaceTheBoxAndMoveTheTextByTheirWidth)
{
    // The bottom-left pixel names the transparent colour: a magenta left column stays unseen.
    QImage on(10, 12, QImage::Format_RGB32);
    on.fill(Qt::green);
    QImage off(10, 12, QImage::Format_RGB32);
    off.fill(Qt::blue);
    for (int y = 0; y < 12; ++y) {
        on.setPixelColor(0, y, Qt::magenta);
        off.setPixelColor(0, y, Qt::magenta);
    }
    list.SetCheckTrueGlyph(TBitmap(on));
    list.SetCheckFalseGlyph(TBitmap(off));
    list.SetCheckboxes(true);
    list.Items()[0].SetChecked(true);
    const auto records = Record();
    EXPECT_TRUE(OfKind(records, TCanvasRecord::CheckBox).empty());
    const auto images = OfKind(records, TCanvasRecord::Image);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].rect, (TRect { 2, 4, 12, 16 })); // centred: (20 - 12) / 2
    // The text rectangle moves by the glyph width + 4; the text keeps its 2-pixel margin.
    EXPECT_EQ(TextRecord(records, QStringLiteral("Alpha"))->rect.left, 10 + 4 + 2);
    const QImage image = Paint();
    EXPECT_EQ(image.pixelColor(6, 10), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(6, 30), QColor(Qt::blue));
    EXPECT_EQ(image.pixel(2, 10), Q(kBackground).rgb()); // transparent column
    // The list's own glyphs are not altered by drawing them transparently.
    EXPECT_FALSE(list.CheckTrueGlyph().Transparent());
}

TEST_F(RenderRowTest, ImagesAcceptIndexesUpTo65534AndMoveTheText)
{
    TImageList images(16, 16);
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    images.Add(red);
    list.SetSmallImages(&images);
    struct Case {
        int index;
        bool drawn;
    } cases[] = { { 0, true }, { -1, false }, { 65535, false }, { 70000, false }, { -5, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        list.Items()[0].SetImageIndex(c.index);
        const auto records = Record();
        const auto drawn = OfKind(records, TCanvasRecord::Image);
        const int textLeft = TextRecord(records, QStringLiteral("Alpha"))->rect.left;
        if (c.drawn) {
            ASSERT_EQ(drawn.size(), 1u);
            EXPECT_EQ(drawn[0].rect, (TRect { 2, 2, 18, 18 }));
            EXPECT_EQ(textLeft, 16 + 2 + 2); // the text rectangle moves by the image width + 2
        } else {
            EXPECT_TRUE(drawn.empty());
            EXPECT_EQ(textLeft, 2);
        }
    }
    // Vertical place by VAlignment inside the cell area (row height 20, image 16).
    list.Items()[0].SetImageIndex(0);
    const std::pair<TVAlignment, int> places[] = { { vtaTop, 0 }, { vtaBottom, 4 }, { vtaCenter, 2 } };
    for (const auto& [align, top] : places) {
        list.SetVAlignment(align);
        const auto drawn = OfKind(Record(), TCanvasRecord::Image);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].rect.top, top) << int(align);
    }
    // With a check box in the cell the image moves to 18.
    list.Items()[0].SetImageIndex(0);
    list.SetCheckboxes(true);
    const auto records = Record();
    ASSERT_FALSE(OfKind(records, TCanvasRecord::Image).empty());
    EXPECT_EQ(OfKind(records, TCanvasRecord::Image)[0].rect.left, 18);
    EXPECT_EQ(TextRecord(records, QStringLiteral("Alpha"))->rect.left, 18 + 16 + 2 + 2);
    list.SetSmallImages(nullptr);
}

TEST_F(RenderRowTest, SubItemImagesOnlyWithSubImages)
{
    TImageList images(16, 16);
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    images.Add(red);
    list.SetSmallImages(&images);
    list.Items()[0].SetSubItemImage(2, 0); // "Gamma", platform sub-item 2
    EXPECT_TRUE(OfKind(Record(), TCanvasRecord::Image).empty());
    list.SetSubImages(true);
    const auto records = Record();
    const auto drawn = OfKind(records, TCanvasRecord::Image);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].rect.left, 180 + 2);
    EXPECT_EQ(TextRecord(records, QStringLiteral("Gamma"))->rect.left, 180 + 16 + 2 + 2);
    list.SetSmallImages(nullptr);
}

TEST_F(RenderRowTest, IndentMovesOnlyTheFirstDisplayedCell)
{
    list.Items()[0].SetIndent(2);
    const auto records = Record();
    EXPECT_EQ(TextRecord(records, QStringLiteral("Alpha"))->rect.left, 2 * 16 + 2);
    EXPECT_EQ(TextRecord(records, QStringLiteral("Beta"))->rect.left, 80 + 2);
}

TEST_F(RenderRowTest, URLsAreUnderlinedInURLColourAndShortenedUnlessFull)
{
    const TColor urlColor = 0x008000;
    list.SetURLShow(true);
    list.SetURLColor(urlColor);
    list.Columns()[1].SetWidth(200);
    list.Items()[0].SubItems()[0] = QStringLiteral("http://example.org/page");
    list.Items()[0].SubItems()[1] = QStringLiteral("mailto:office");
    list.Items()[1].SubItems() << QStringLiteral("<b>http://bold.org</b>");

    auto records = Record();
    const TCanvasRecord* url = TextRecord(records, QStringLiteral("example.org/page"));
    ASSERT_NE(url, nullptr);
    EXPECT_EQ(url->color, urlColor);
    EXPECT_TRUE(url->style & fsUnderline);
    const TCanvasRecord* mail = TextRecord(records, QStringLiteral("office"));
    ASSERT_NE(mail, nullptr);
    EXPECT_TRUE(mail->style & fsUnderline);
    // Markup is never a URL, even with a scheme in it.
    for (const auto& r : OfKind(records, TCanvasRecord::Text))
        if (r.text.contains(QLatin1String("bold.org"))) {
            EXPECT_FALSE(r.style & fsUnderline);
        }
    // The caption keeps its plain look.
    EXPECT_FALSE(TextRecord(records, QStringLiteral("Alpha"))->style & fsUnderline);

    const QImage image = Paint();
    // The underline is a run of URL-coloured pixels below the text.
    EXPECT_GT(orvtest::CountPixels(image, QRect(80, 0, 200, 20), Q(urlColor)), 8);

    list.SetURLFull(true);
    records = Record();
    url = TextRecord(records, QStringLiteral("http://example.org/page"));
    ASSERT_NE(url, nullptr);
    EXPECT_TRUE(url->style & fsUnderline);

    // A selected row under row select shows URLs in the selection text colour.
    Select(0);
    list.SetRowSelect(true);
    records = Record();
    url = TextRecord(records, QStringLiteral("http://example.org/page"));
    ASSERT_NE(url, nullptr);
    EXPECT_EQ(url->color, kSelectionText);
    EXPECT_FALSE(url->style & fsUnderline);
}

TEST_F(RenderRowTest, ShortenURLCutsSchemeAndMailto)
{
    EXPECT_EQ(TRowPainter::ShortenURL(QStringLiteral("https://host/a")), QStringLiteral("host/a"));
    EXPECT_EQ(TRowPainter::ShortenURL(QStringLiteral("mailto:me@x.org")), QStringLiteral("me@x.org"));
    EXPECT_EQ(TRowPainter::ShortenURL(QStringLiteral("see ftp://x")), QStringLiteral("x"));
    EXPECT_EQ(TRowPainter::ShortenURL(QStringLiteral("plain")), QStringLiteral("plain"));
}

TEST_F(RenderRowTest, LongTextEndsInEllipsisButTextWithCarriageReturnDoesNot)
{
    list.Items()[0].SubItems()[0] = QStringLiteral("A text far too long for a hundred pixels of column");
    list.Items()[1].SubItems() << QStringLiteral("Line one of a text too long for the cell\rline two");
    const auto records = Record();
    bool ellipsis = false;
    bool crWithDots = false;
    for (const auto& r : OfKind(records, TCanvasRecord::Text)) {
        if (r.text.startsWith(QLatin1String("A text")))
            ellipsis = r.text.endsWith(QLatin1String("..."));
        if (r.text.startsWith(QLatin1String("Line one")) && r.text.endsWith(QLatin1String("...")))
            crWithDots = true;
        EXPECT_LE(r.rect.right, 420);
    }
    EXPECT_TRUE(ellipsis);
    EXPECT_FALSE(crWithDots);
}

TEST_F(RenderRowTest, DetailLineUsesTheBottomOfTheRowUnderASplitLine)
{
    TDetails& details = list.DetailView();
    details.SetVisible(true);
    details.SetHeight(20);
    details.SetSplitLine(true);
    details.SetIndent(20);
    details.SetColumn(3);
    TFont font;
    font.SetColor(clBlue);
    details.SetFont(font);
    list.SetItemHeight(60);
    list.Items()[0].SubItems() << QStringLiteral("Detail text");
    std::vector<TRect> drawnRows;
    list.OnDrawItem
        = [&](TOrvListView&, TCanvas&, int, const TRect& r, TOwnerDrawState) { drawnRows.push_back(r); };

    const auto records = Record();
    const TCanvasRecord* caption = TextRecord(records, QStringLiteral("Alpha"));
    ASSERT_NE(caption, nullptr);
    EXPECT_LE(caption->rect.bottom, 40); // cells use the top 40 pixels
    const TCanvasRecord* detail = TextRecord(records, QStringLiteral("Detail text"));
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->rect.left, 20);
    EXPECT_EQ(detail->rect.top, 41);
    EXPECT_EQ(detail->color, clBlue);
    const auto lines = OfKind(records, TCanvasRecord::Line);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0].rect, (TRect { 0, 40, 300, 40 }));
    // Row 1 has no fourth sub-item: its detail line is empty.
    for (const auto& r : OfKind(records, TCanvasRecord::Text))
        EXPECT_FALSE(r.rect.top >= 60 + 40 && !r.text.isEmpty()) << r.text.toStdString();
    ASSERT_EQ(drawnRows.size(), 2u);
    EXPECT_EQ(drawnRows[0].right, 300); // the row ends at the last cell

    const QImage image = Paint();
    EXPECT_EQ(image.pixelColor(150, 40), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(150, 39), Q(kBackground));
    EXPECT_GT(orvtest::CountPixels(image, QRect(20, 41, 200, 19), Q(clBlue), 40), 0);
}

TEST_F(RenderRowTest, DrawItemPropChangesOneCellAndIsUndoneForTheNext)
{
    std::vector<int> subItems;
    list.OnDrawItemProp
        = [&](TOrvListView&, int row, int sub, TOwnerDrawState, TBrush& brush, TFont& font, const QString&) {
              if (row == 0)
                  subItems.push_back(sub);
              if (sub == 0) {
                  brush.SetColor(clYellow);
                  font.SetColor(clRed);
                  font.SetStyle(fsBold);
              }
          };
    const auto records = Record();
    EXPECT_EQ(subItems, (std::vector<int> { -1, 0, 1 }));
    EXPECT_EQ(TextRecord(records, QStringLiteral("Beta"))->color, clRed);
    EXPECT_TRUE(TextRecord(records, QStringLiteral("Beta"))->style & fsBold);
    EXPECT_EQ(TextRecord(records, QStringLiteral("Gamma"))->color, list.Font().Color());
    EXPECT_FALSE(TextRecord(records, QStringLiteral("Gamma"))->style & fsBold);
    const QImage image = Paint();
    EXPECT_EQ(image.pixelColor(176, 10), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(296, 10), Q(kBackground));
}

TEST_F(RenderRowTest, MarkupCellIsRenderedAfterTheMarkupOffset)
{
    list.Items()[0].SubItems()[0] = QStringLiteral("<b>Bold</b> <font color=\"clred\">red</font>");
    const auto records = Record();
    const TCanvasRecord* bold = nullptr;
    const auto texts = OfKind(records, TCanvasRecord::Text); // `bold` points into it
    for (const auto& r : texts)
        if (r.text.contains(QLatin1String("Bold")))
            bold = &r;
    ASSERT_NE(bold, nullptr);
    EXPECT_TRUE(bold->style & fsBold);
    EXPECT_GE(bold->rect.left, 80 + 2);
    EXPECT_EQ(TextRecord(records, QStringLiteral("<b>Bold</b> <font color=\"clred\">red</font>")), nullptr);
    const QImage image = Paint();
    EXPECT_GT(orvtest::CountPixels(image, QRect(80, 0, 100, 20), QColor(Qt::red), 60), 0);
}

TEST_F(RenderRowTest, RichTextOnASelectedRowTakesTheSelectionColours)
{
    list.Columns()[1].SetWidth(160);
    list.Items()[0].SubItems()[0]
        = QStringLiteral("{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue0;}\\cf1 WWWW MMMM}");
    QImage image = Paint();
    const QRect cell(80, 0, 160, 20);
    EXPECT_GT(orvtest::CountPixels(image, cell, QColor(Qt::black), 60), 10);

    Select(0);
    list.SetRowSelect(true);
    image = Paint();
    EXPECT_GT(orvtest::CountPixels(image, cell, Q(kSelectionText), 60), 10);
    EXPECT_EQ(orvtest::CountPixels(image, cell, QColor(Qt::black), 60), 0);
    EXPECT_EQ(image.pixelColor(80 + 158, 18), Q(kSelection));

    // Kept colours: the text stays black on the selection background.
    list.SetSelectionRTFKeep(true);
    image = Paint();
    EXPECT_GT(orvtest::CountPixels(image, cell, QColor(Qt::black), 60), 10);
    list.SetSelectionRTFKeep(false);

    // Any other canvas (a printer's) never shows selection colours.
    QImage other(200, 40, QImage::Format_RGB32);
    other.fill(Qt::white);
    {
        QPainter painter(&other);
        TCanvas canvas;
        canvas.Attach(&painter);
        list.Painter().DrawRichText(0, 0, TRect { 0, 0, 160, 20 }, canvas);
        canvas.Detach();
    }
    EXPECT_GT(orvtest::CountPixels(other, QRect(0, 0, 160, 20), QColor(Qt::black), 60), 10);
    EXPECT_EQ(orvtest::CountPixels(other, QRect(0, 0, 160, 20), Q(kSelectionText), 60), 0);
}

TEST_F(RenderRowTest, RichTextStaysInsideItsCell)
{
    // A long word in a narrow cell over a wallpaper, where nothing painted later would cover a spill.
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(QColor(0, 160, 0));
    list.SetWallpaper(TBitmap(tile));
    list.Items()[0].SubItems()[0] = QStringLiteral(
        "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue0;}\\cf1 WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW}");
    list.Items()[0].SubItems()[1].clear();
    const QImage image = Paint();
    EXPECT_GT(orvtest::CountPixels(image, QRect(80, 0, 100, 20), QColor(Qt::black), 60), 10);
    // Column 2 starts at x = 180 and the next row at y = 20: the wrapped text must reach neither.
    EXPECT_EQ(orvtest::CountPixels(image, QRect(180, 0, 20, 20), QColor(Qt::black), 60), 0);
    EXPECT_EQ(orvtest::CountPixels(image, QRect(80, 20, 100, 4), QColor(Qt::black), 60), 0);
}

TEST_F(RenderRowTest, WallpaperShowsThroughCellsButNotThroughTheHighlight)
{
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(QColor(0, 160, 0));
    list.SetWallpaper(TBitmap(tile));
    Select(0);
    const QImage image = Paint();
    // Column 0 of the selected row is highlighted; the other cells show the wallpaper.
    EXPECT_EQ(image.pixelColor(76, 10), Q(kSelection));
    EXPECT_EQ(image.pixelColor(176, 10), QColor(0, 160, 0));
    EXPECT_EQ(image.pixelColor(176, 30), QColor(0, 160, 0));
    // Text on the wallpaper has no box behind it; the highlighted caption keeps its colour.
    const auto records = Record();
    EXPECT_EQ(TextRecord(records, QStringLiteral("Beta"))->background, clNone);
    EXPECT_EQ(TextRecord(records, QStringLiteral("Alpha"))->background, kSelection);
}

TEST_F(RenderRowTest, FocusRectangleMarksTheCurrentCellOnlyWithKeyboardFocus)
{
    Select(0);
    list.SetSubItemSelect(true);
    auto focusRects = OfKind(Record(), TCanvasRecord::FocusRect);
    EXPECT_TRUE(focusRects.empty()); // no keyboard focus
    list.show();
    list.activateWindow();
    list.setFocus();
    if (!QTest::qWaitForWindowActive(&list) || !list.hasFocus())
        GTEST_SKIP() << "the platform gives no keyboard focus";
    list.SetCurrentColumn(1);
    focusRects = OfKind(Record(), TCanvasRecord::FocusRect);
    ASSERT_EQ(focusRects.size(), 1u);
    EXPECT_EQ(focusRects[0].rect, (TRect { 80, 0, 180, 20 }));
    list.SetSubItemSelect(false);
    list.SetRowSelect(true);
    focusRects = OfKind(Record(), TCanvasRecord::FocusRect);
    ASSERT_EQ(focusRects.size(), 1u);
    EXPECT_EQ(focusRects[0].rect.right, 300);
}

} // namespace
