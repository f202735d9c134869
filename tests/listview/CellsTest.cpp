// Cell addressing: reading and writing cells by (column, row), and the rich-text cell bridge.
#include "listview/TOrvListView.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Three columns; row 0 has one sub-item, row 1 has four (more than the columns).
void Fill(TOrvListView& list)
{
    for (const char* caption : { "Car", "Type", "Power" })
        list.Columns().Add().SetCaption(QString::fromLatin1(caption));
    TListItem& a = list.Items().Add();
    a.SetCaption(QStringLiteral("BMW"));
    a.SubItems() << QStringLiteral("M3");
    TListItem& b = list.Items().Add();
    b.SetCaption(QStringLiteral("Audi"));
    b.SubItems() << QStringLiteral("A4") << QStringLiteral("150pk") << QStringLiteral("x")
                 << QStringLiteral("detail");
}

struct ReadCase {
    const char* name;
    int col;
    int row;
    const char* expected;
};

TEST(Cells, ReadFollowsTheAddressingRules)
{
    TOrvListView list;
    Fill(list);
    const ReadCase cases[] = {
        { "caption of row 0", 0, 0, "BMW" },
        { "first sub-item", 1, 0, "M3" },
        { "beyond the row's sub-items", 2, 0, "" },
        { "far beyond the row's sub-items", 3, 0, "" },
        { "sub-item past the columns", 4, 1, "detail" },
        { "row -1 gives the column caption", 1, -1, "Type" },
        { "row -1 past the columns", 3, -1, "" },
        { "row past the items", 0, 2, "" },
        { "negative column", -1, 0, "" },
        { "negative column on the caption row", -1, -1, "" },
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(list.Cells(c.col, c.row), QString::fromLatin1(c.expected)) << c.name;
}

TEST(Cells, WritingPadsSubItemsAndIgnoresOutOfRange)
{
    TOrvListView list;
    Fill(list);
    for (int i = 0; i < 2; ++i)
        list.Columns().Add(); // five columns now

    // Writing column 3 of a row with one sub-item grows it to three, keeping the first.
    list.SetCells(3, 0, QStringLiteral("new"));
    const QStringList expected { QStringLiteral("M3"), QString(), QStringLiteral("new") };
    EXPECT_EQ(list.Items()[0].SubItems(), expected);
    EXPECT_EQ(list.Cells(3, 0), QStringLiteral("new"));

    list.SetCells(0, 1, QStringLiteral("Porsche"));
    EXPECT_EQ(list.Items()[1].Caption(), QStringLiteral("Porsche"));

    // Out of range writes change nothing.
    list.SetCells(5, 0, QStringLiteral("past the columns"));
    list.SetCells(1, 2, QStringLiteral("past the rows"));
    list.SetCells(1, -1, QStringLiteral("caption row"));
    list.SetCells(-1, 0, QStringLiteral("negative column"));
    EXPECT_EQ(list.Items()[0].SubItems(), expected);
    EXPECT_EQ(list.Items().Count(), 2);
    EXPECT_EQ(list.Columns()[1].Caption(), QStringLiteral("Type"));
    EXPECT_EQ(list.Items()[0].Caption(), QStringLiteral("BMW"));
}

TEST(Cells, ContentKindTestsRichThenMarkupThenUrl)
{
    struct Case {
        const char* text;
        bool urlShow;
        TCellContentKind kind;
    };
    const Case cases[] = {
        { "{\\rtf1 hello}", true, ckRichText },
        { "{\\rtf1 <b>x</b>}", true, ckRichText }, // rich text wins over markup
        { "x {\\rtf1", true, ckPlain }, // only at the start
        { "<b>bold</b>", true, ckMarkup },
        { "<a href=\"http://x\">x</a>", true, ckMarkup }, // markup wins over URL
        { "http://www.example.com", true, ckURL },
        { "mailto:someone@example.com", true, ckURL },
        { "http://www.example.com", false, ckPlain }, // URLs only when shown
        { "<b>not closed", true, ckPlain },
        { "", true, ckPlain },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellContent::Classify(QString::fromLatin1(c.text), c.urlShow), c.kind) << c.text;

    TOrvListView list;
    EXPECT_EQ(list.ContentKind(QStringLiteral("http://a")), ckPlain);
    list.SetURLShow(true);
    EXPECT_EQ(list.ContentKind(QStringLiteral("http://a")), ckURL);
}

TEST(Cells, RichTextSurvivesACellRoundTrip)
{
    TOrvListView list;
    Fill(list);
    TRichEdit& rich = list.RichEdit();
    rich.SetText(QStringLiteral("This is rich text"));
    rich.SetSelection(8, 4);
    rich.SetSelStyle(fsBold);
    rich.SetSelColor(clRed);
    list.RichToCell(1, 1); // sub-item 1 = column 2

    const QString cell = list.Cells(2, 1);
    EXPECT_TRUE(CellContent::IsRichText(cell)) << cell.toStdString();
    EXPECT_EQ(list.Items()[1].SubItems()[0], QStringLiteral("A4")); // neighbours untouched

    TRichEdit other;
    list.CellToRich(1, 1, other);
    EXPECT_EQ(other.PlainText(), QStringLiteral("This is rich text"));
    EXPECT_EQ(other.CharStyle(9) & fsBold, fsBold);
    EXPECT_EQ(other.CharColor(9), clRed);
    EXPECT_EQ(other.CharStyle(1) & fsBold, 0);

    // The caption form, and a row with too few texts grows to hold the sub-item.
    list.RichToCell(0, -1);
    EXPECT_TRUE(CellContent::IsRichText(list.Items()[0].Caption()));
    list.RichToCell(0, 4);
    EXPECT_EQ(list.Items()[0].SubItems().size(), 5);
    EXPECT_TRUE(CellContent::IsRichText(list.Items()[0].SubItems()[4]));
    list.RichToCell(7, 0); // no such row: nothing
    EXPECT_EQ(list.Items().Count(), 2);
}

TEST(Cells, CellToRichClearsOnEmptyAndKeepsWideCharacters)
{
    TOrvListView list;
    Fill(list);
    TRichEdit rich;
    rich.SetText(QStringLiteral("old content"));
    list.CellToRich(0, 2, rich); // empty cell
    EXPECT_TRUE(rich.PlainText().isEmpty());

    // A rich cell holding a character beyond Latin-1 must not lose it on the way in.
    list.SetCells(1, 0, QStringLiteral("{\\rtf1\\ansi Price \u20AC 5}"));
    list.CellToRich(0, 0, rich);
    EXPECT_TRUE(rich.PlainText().contains(QChar(0x20AC))) << rich.PlainText().toStdString();
}

TEST(Cells, HitTestsOnAShownList)
{
    TOrvListView list;
    Fill(list);
    list.Columns()[0].SetWidth(80);
    list.Columns()[1].SetWidth(60);
    list.Columns()[2].SetWidth(70);
    EXPECT_EQ(list.CellTextAtPoint(5, 5), QString()); // no window yet
    list.resize(400, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    const TRect caption = list.CellRect(1, 0);
    const TRect type = list.CellRect(1, 1);
    const TRect power = list.CellRect(1, 2);
    ASSERT_FALSE(caption.IsEmpty());
    int col = -9;
    int row = -9;
    ASSERT_TRUE(list.CellAtPoint(type.left + 3, type.top + 2, col, row));
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(list.CellTextAtPoint(caption.left + 3, caption.top + 2), QStringLiteral("Audi"));
    EXPECT_EQ(list.CellTextAtPoint(type.left + 3, type.top + 2), QStringLiteral("A4"));
    EXPECT_EQ(list.CellTextAtPoint(power.left + 3, power.top + 2), QStringLiteral("150pk"));

    // Row 0 has no text in column 2.
    const TRect empty = list.CellRect(0, 2);
    EXPECT_EQ(list.CellTextAtPoint(empty.left + 3, empty.top + 2), QString());

    // Below the last row there is no cell.
    const int below = list.CellRect(1, 0).bottom + 30;
    EXPECT_FALSE(list.CellAtPoint(5, below, col, row));
    EXPECT_EQ(list.CellTextAtPoint(5, below), QString());
}

} // namespace
