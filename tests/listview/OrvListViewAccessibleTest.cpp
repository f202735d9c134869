// What a screen reader reads of TOrvListView: cell and header texts as the list shows them
// (markup and rich text as plain text, URLs as drawn) and the current cell after a click.
#include "listview/TOrvListView.h"
#include "markup/DrawMarkup.h"
#include "platform/THeaderControl.h"

#include "support/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QAccessibleTableInterface* TableOf(TOrvListView& list)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&list);
    return iface ? iface->tableInterface() : nullptr;
}

QString CellName(TOrvListView& list, int row, int position)
{
    QAccessibleInterface* cell = TableOf(list)->cellAt(row, position);
    return cell ? cell->text(QAccessible::Name) : QStringLiteral("<no cell>");
}

void AddColumns(TOrvListView& list, int count)
{
    for (int c = 0; c < count; ++c) {
        TListColumn& column = list.Columns().Add();
        column.SetCaption(QString("Col %1").arg(c));
        column.SetWidth(120);
    }
}

} // namespace

TEST(OrvListViewAccessible, CellsReadAsTheListShowsThem)
{
    struct Case {
        const char* name;
        QString text;
        bool urlShow;
        bool urlFull;
        QString shown;
    };
    const Case cases[] = {
        { "plain text is drawn without prefix marks", "Fish & chips", false, false, "Fish & chips" },
        { "markup as its plain text", "<B>Bold</B> and <FONT COLOR=\"clRed\">red</FONT>", false, false,
            "Bold and red" },
        { "markup line breaks", "first<BR>second</B>", false, false, "first\nsecond" },
        { "markup entities", "Fish &amp; chips</B>", false, false, "Fish & chips" },
        { "markup anchor", "see <A HREF=\"https://example.com\">the site</A>", true, false, "see the site" },
        { "URL without URLShow is plain", "https://example.com/a", false, false, "https://example.com/a" },
        { "URL shortened as drawn", "https://example.com/a", true, false, "example.com/a" },
        { "mail address shortened as drawn", "mailto:someone@example.com", true, false,
            "someone@example.com" },
        { "URL in full with URLFull", "https://example.com/a", true, true, "https://example.com/a" },
        { "rich text as plain text", "{\\rtf1\\ansi Hello {\\b bold} world\\par}", false, false,
            "Hello bold world" },
        { "two rich paragraphs", "{\\rtf1\\ansi one\\par two\\par}", false, false, "one\ntwo" },
        { "rich text marker not at the start is plain", " {\\rtf1 x}", false, false, " {\\rtf1 x}" },
        { "empty", "", false, false, "" },
    };
    TOrvListView list;
    AddColumns(list, 2);
    for (const Case& c : cases) {
        list.SetURLShow(c.urlShow);
        list.SetURLFull(c.urlFull);
        list.Items().Clear();
        TListItem& item = list.Items().Add();
        item.SetCaption(QStringLiteral("caption"));
        item.SubItems() << c.text;
        EXPECT_EQ(CellName(list, 0, 1), c.shown) << c.name;
        EXPECT_EQ(list.DisplayText(0, 1), c.shown) << c.name;
    }
}

TEST(OrvListViewAccessible, AMarkupCellReadsTheRenderersPlainText)
{
    // Whole sample cells of the demo kind, compared with what the renderer itself reports.
    const QString markups[] = {
        "<FONT FACE=\"Arial\" SIZE=\"3\">Text in <B>bold</B>, <I>italic</I> and <U>underline</U></FONT>",
        "This is an <A HREF=\"action\">anchor</A>",
        "<P ALIGN=\"CENTER\">Centred&nbsp;text &euro; 10</P>",
        "Image <IMG SRC=\"idx:0\"> between words</B>",
        "E = mc<SUP>2</SUP> and H<SUB>2</SUB>O",
    };
    TOrvListView list;
    AddColumns(list, 1);
    QImage image(400, 100, QImage::Format_RGB32);
    TCanvas canvas(&image);
    for (const QString& markup : markups) {
        list.Items().Clear();
        list.Items().Add().SetCaption(markup);
        QString anchor, plain;
        int width = 0, height = 0;
        DrawMarkupSimple(canvas, markup, TRect { 0, 0, 65535, 65535 }, nullptr, 0, 0, false, true, false,
            true, true, 0.0, clBlue, anchor, plain, width, height);
        plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        while (plain.endsWith(QLatin1Char('\n')))
            plain.chop(1);
        EXPECT_EQ(CellName(list, 0, 0), plain) << markup.toStdString();
    }
}

TEST(OrvListViewAccessible, HeaderCaptionsReadAsTheHeaderShowsThem)
{
    TOrvListView list;
    AddColumns(list, 3);
    list.Columns()[0].SetCaption(QStringLiteral("<B>Price</B><BR>in &euro;"));
    list.Columns()[1].SetCaption(QStringLiteral("https://example.com")); // captions are never links
    list.SetURLShow(true);
    list.SetColumnOrder({ 1, 0, 2 });
    QAccessibleTableInterface* table = TableOf(list);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnDescription(0), QStringLiteral("https://example.com"));
    EXPECT_EQ(table->columnDescription(1), QString::fromUtf8("Price\nin \u20ac"));
    EXPECT_EQ(table->columnDescription(2), QStringLiteral("Col 2"));
    QAccessibleInterface* header = QAccessible::queryAccessibleInterface(&list.Header());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->child(1)->text(QAccessible::Name), QString::fromUtf8("Price\nin \u20ac"));
}

TEST(OrvListViewAccessible, ReadingARichCellLeavesTheListsRichEditAlone)
{
    TOrvListView list;
    AddColumns(list, 1);
    list.Items().Add().SetCaption(QStringLiteral("{\\rtf1\\ansi cell text\\par}"));
    list.RichEdit().SetText(QStringLiteral("the application's text"));
    EXPECT_EQ(CellName(list, 0, 0), QStringLiteral("cell text"));
    EXPECT_EQ(list.RichEdit().PlainText(), QStringLiteral("the application's text"));
}

TEST(OrvListViewAccessible, TheCurrentCellFollowsTheClickedColumn)
{
    QWidget window;
    window.resize(500, 200);
    auto* list = new TOrvListView(&window);
    list->setGeometry(0, 0, 500, 200);
    AddColumns(*list, 3);
    for (int r = 0; r < 5; ++r) {
        TListItem& item = list->Items().Add();
        item.SetCaption(QString("Row %1").arg(r));
        item.SubItems() << QString("r%1c1").arg(r) << QString("r%1c2").arg(r);
    }
    list->SetColumnOrder({ 2, 0, 1 });
    // The clicked cell is current in cell selection mode; otherwise the row's caption is.
    list->SetSubItemSelect(true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    list->setFocus();
    QApplication::processEvents();

    const TRect cell = list->CellRect(3, 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
        QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    ASSERT_EQ(list->SelectedColumn(), 2);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface* focused = table->focusChild();
    ASSERT_NE(focused, nullptr);
    // Column 2 is shown first.
    EXPECT_EQ(focused, table->tableInterface()->cellAt(3, 0));
    EXPECT_EQ(focused->text(QAccessible::Name), QStringLiteral("r3c2"));
    EXPECT_TRUE(focused->state().focused);
    EXPECT_TRUE(focused->state().selected);
    EXPECT_EQ(table->tableInterface()->selectedRows(), QList<int> { 3 });
}
