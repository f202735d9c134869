// The list under the mouse: the hand cursor and the enter and exit events of URLs and anchors,
// clicks on anchors, URL cells and check boxes, the current cell a click makes, and dragging rows
// with the auto-scroll near the edges. Driven with QTest on a shown list.
#include "listview/TOrvListView.h"
#include "platform/TShell.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Reaches the window timer's tick without waiting for it.
class TMouseList : public TOrvListView {
public:
    using TOrvListView::WindowTimer;
};

QPoint Centre(const TRect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Records what the platform opener is asked to open instead of opening it.
struct RecordingOpener {
    std::vector<QString> opened;
    RecordingOpener()
    {
        TShell::SetOpener([this](const QUrl& url) {
            opened.push_back(url.toString());
            return true;
        });
    }
    ~RecordingOpener() { TShell::SetOpener({}); }
};

class ListMouseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int w : { 120, 160, 260 })
            list.Columns().Add().SetWidth(w);
        for (int r = 0; r < 6; ++r) {
            TListItem& item = list.Items().Add();
            item.SetCaption(QStringLiteral("row %1").arg(r));
            item.SubItems() << QStringLiteral("plain %1").arg(r) << QStringLiteral("text %1").arg(r);
        }
        list.resize(560, 240);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        list.Loaded();
        list.SetItemHeight(20);
        list.OnAnchorEnter = [this](TOrvListView&, const QString& a) { events << "enter:" + a; };
        list.OnAnchorExit = [this](TOrvListView&, const QString& a) { events << "exit:" + a; };
        list.OnAnchorClick = [this](TOrvListView&, const QString& a) { events << "click:" + a; };
        list.OnURLClick = [this](TOrvListView&, int row, const QString& url, bool& handled) {
            events << QStringLiteral("url:%1:%2").arg(row).arg(url);
            handled = handleURLs;
        };
        list.OnCheckboxClick = [this](TOrvListView&, int row, bool state) {
            events << QStringLiteral("check:%1:%2").arg(row).arg(state ? "on" : "off");
        };
    }

    void Move(QPoint p) { QTest::mouseMove(list.viewport(), p); }
    Qt::CursorShape Shape() { return list.viewport()->cursor().shape(); }

    // The x of the first point of the cell's row where the anchor hit test finds `anchor`.
    int FindAnchor(int row, int column, const QString& anchor)
    {
        const TRect cell = list.CellRect(row, column);
        for (int x = cell.left; x < cell.right; ++x)
            if (list.AnchorHitTest(x, Centre(cell).y()) == anchor)
                return x;
        return -1;
    }

    TMouseList list;
    QStringList events;
    bool handleURLs = true;
};

TEST_F(ListMouseTest, AnchorsRaiseEnterOnceAndExitWhenLeft)
{
    list.Items()[1].SubItems()[1]
        = QStringLiteral("go <A HREF=\"first\">first</A> or <A HREF=\"second\">second</A> now");
    const int y = Centre(list.CellRect(1, 2)).y();
    const int first = FindAnchor(1, 2, "first");
    const int second = FindAnchor(1, 2, "second");
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);
    const int plain = list.CellRect(1, 2).left + 4; // on "go"

    // The entered flag starts set: the first move over plain text leaves an empty anchor.
    Move(QPoint(10, y));
    EXPECT_EQ(events, QStringList { "exit:" });
    EXPECT_EQ(Shape(), Qt::ArrowCursor);

    Move(QPoint(first + 1, y));
    Move(QPoint(first + 3, y)); // within the same anchor: nothing more
    EXPECT_EQ(events, (QStringList { "exit:", "enter:first" }));
    EXPECT_EQ(Shape(), Qt::PointingHandCursor);
    EXPECT_EQ(list.HoverAnchor(), "first");

    // Straight onto the next anchor: the first is left, the second entered.
    Move(QPoint(second + 1, y));
    EXPECT_EQ(events, (QStringList { "exit:", "enter:first", "exit:first", "enter:second" }));

    Move(QPoint(plain, y));
    EXPECT_EQ(events.last(), "exit:second");
    EXPECT_EQ(Shape(), Qt::ArrowCursor);
    events.clear();
    Move(QPoint(plain + 1, y)); // over no anchor again: no second exit
    EXPECT_TRUE(events.isEmpty());

    // Leaving the list while over an anchor leaves the anchor.
    Move(QPoint(first + 1, y));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(list.viewport(), &leave);
    EXPECT_EQ(events, (QStringList { "enter:first", "exit:first" }));
    EXPECT_EQ(Shape(), Qt::ArrowCursor);
}

TEST_F(ListMouseTest, AnchorHitTestFollowsTheCellFontAndPlace)
{
    list.Items()[2].SubItems()[0] = QStringLiteral("<A HREF=\"x\">xxxxxxxx</A>");
    const TRect cell = list.CellRect(2, 1);
    const int y = Centre(cell).y();
    // The markup starts two pixels right of the label.
    EXPECT_EQ(list.AnchorHitTest(cell.left + 1, y), QString());
    EXPECT_EQ(list.AnchorHitTest(cell.left + 3, y), "x");
    int plainEnd = cell.left;
    while (list.AnchorHitTest(plainEnd, y) == "x" || plainEnd == cell.left)
        ++plainEnd;
    // A larger font for that cell (as the application draws it) makes the anchor wider.
    list.OnDrawItemProp
        = [](TOrvListView&, int, int sub, TOwnerDrawState, TBrush&, TFont& font, const QString&) {
              if (sub == 0)
                  font.SetSize(20);
          };
    EXPECT_EQ(list.AnchorHitTest(plainEnd + 5, y), "x");
    // Outside any cell and over plain cells there is no anchor.
    EXPECT_EQ(list.AnchorHitTest(10, y), QString());
    EXPECT_EQ(list.AnchorHitTest(cell.left + 5, 239), QString());
}

TEST_F(ListMouseTest, URLCellsShowTheHandRightOfTheCheckBoxes)
{
    list.Items()[0].SetCaption(QStringLiteral("https://example.org/page"));
    list.Items()[0].SubItems()[0] = QStringLiteral("mailto:office@example.org");
    list.Items()[0].SubItems()[1] = QStringLiteral("<B>https://example.org</B>");
    const int y = Centre(list.CellRect(0, 0)).y();
    Move(QPoint(60, y));
    EXPECT_EQ(Shape(), Qt::ArrowCursor); // URLShow is off
    list.SetURLShow(true);
    Move(QPoint(61, y));
    EXPECT_EQ(Shape(), Qt::PointingHandCursor);
    Move(QPoint(Centre(list.CellRect(0, 1)).x(), y));
    EXPECT_EQ(Shape(), Qt::PointingHandCursor);
    Move(QPoint(Centre(list.CellRect(0, 2)).x(), y)); // markup is never a URL
    EXPECT_EQ(Shape(), Qt::ArrowCursor);
    Move(QPoint(60, Centre(list.CellRect(1, 0)).y())); // a plain caption
    EXPECT_EQ(Shape(), Qt::ArrowCursor);

    // With check boxes the hand starts right of x = 16.
    list.SetCheckboxes(true);
    Move(QPoint(16, y));
    EXPECT_EQ(Shape(), Qt::ArrowCursor);
    Move(QPoint(17, y));
    EXPECT_EQ(Shape(), Qt::PointingHandCursor);
}

TEST_F(ListMouseTest, AnchorClicksGoToURLOrAnchorEvents)
{
    RecordingOpener opener;
    list.Items()[0].SubItems()[1] = QStringLiteral("<A HREF=\"https://example.org/a\">web</A>");
    list.Items()[1].SubItems()[1] = QStringLiteral("<A HREF=\"mailto:me@example.org\">mail</A>");
    list.Items()[2].SubItems()[1] = QStringLiteral("<A HREF=\"action\">act</A>");
    const int y0 = Centre(list.CellRect(0, 2)).y();
    const int webX = FindAnchor(0, 2, "https://example.org/a");
    ASSERT_GT(webX, 0);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(webX + 1, y0));
    EXPECT_EQ(events, QStringList { "url:0:https://example.org/a" });
    EXPECT_TRUE(opener.opened.empty()); // handled: nothing opens

    handleURLs = false;
    events.clear();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(webX + 1, y0));
    EXPECT_EQ(events, QStringList { "url:0:https://example.org/a" });
    EXPECT_EQ(opener.opened, std::vector<QString> { "https://example.org/a" });

    // Without "://" the application gets the anchor, "mailto:" included.
    events.clear();
    const int mailX = FindAnchor(1, 2, "mailto:me@example.org");
    QTest::mouseClick(
        list.viewport(), Qt::LeftButton, {}, QPoint(mailX + 1, Centre(list.CellRect(1, 2)).y()));
    const int actX = FindAnchor(2, 2, "action");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(actX + 1, Centre(list.CellRect(2, 2)).y()));
    EXPECT_EQ(events, (QStringList { "click:mailto:me@example.org", "click:action" }));
    EXPECT_EQ(opener.opened.size(), 1u);

    // Beside the anchor nothing is clicked, but the row still is.
    events.clear();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
        QPoint(list.CellRect(2, 2).right - 5, Centre(list.CellRect(2, 2)).y()));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(list.Items()[2].Selected());
}

TEST_F(ListMouseTest, ADoubleClickOpensALinkOnceAndTogglesTwice)
{
    RecordingOpener opener;
    handleURLs = false;
    list.Items()[2].SubItems()[1] = QStringLiteral("<A HREF=\"action\">act</A>");
    list.Items()[3].SubItems()[1] = QStringLiteral("<A HREF=\"https://example.org/\">web</A>");
    // A double click reaches a widget as a press and then a double-click event.
    auto doubleClick = [&](QPoint p) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, p);
    };
    doubleClick(QPoint(FindAnchor(2, 2, "action") + 1, Centre(list.CellRect(2, 2)).y()));
    doubleClick(QPoint(FindAnchor(3, 2, "https://example.org/") + 1, Centre(list.CellRect(3, 2)).y()));
    EXPECT_EQ(events, (QStringList { "click:action", "url:3:https://example.org/" }));
    EXPECT_EQ(opener.opened.size(), 1u);

    list.SetCheckboxes(true);
    events.clear();
    doubleClick(QPoint(6, Centre(list.CellRect(4, 0)).y()));
    EXPECT_EQ(events, (QStringList { "check:4:on", "check:4:off" }));
    EXPECT_FALSE(list.Items()[4].Checked());
}

TEST_F(ListMouseTest, URLCellsOpenTheirFullTextWhenNotHandled)
{
    RecordingOpener opener;
    list.SetURLShow(true);
    list.Items()[3].SubItems()[0] = QStringLiteral("https://example.org/full/path");
    list.Items()[4].SubItems()[0] = QStringLiteral("evil://example.org/run");
    list.Items()[5].SetCaption(QStringLiteral("https://example.org/caption"));
    handleURLs = false;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(3, 1)));
    EXPECT_EQ(events, QStringList { "url:3:https://example.org/full/path" });
    EXPECT_EQ(opener.opened, std::vector<QString> { "https://example.org/full/path" });

    // Any "://" reaches the event, but only safe schemes open.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(4, 1)));
    EXPECT_EQ(events.last(), "url:4:evil://example.org/run");
    EXPECT_EQ(opener.opened.size(), 1u);

    handleURLs = true;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(3, 1)));
    EXPECT_EQ(opener.opened.size(), 1u);

    // With check boxes, a click at x <= 14 is the check box, not the URL.
    list.SetCheckboxes(true);
    events.clear();
    const int y = Centre(list.CellRect(5, 0)).y();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(14, y));
    EXPECT_EQ(events, QStringList { "check:5:on" });
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(60, y));
    EXPECT_EQ(events.last(), "url:5:https://example.org/caption");
}

// Check boxes on rows of 60 pixels: the click zone x <= 14 toggles without selecting, and the
// platform's own toggle area is where the box is drawn, whatever the vertical alignment.
TEST_F(ListMouseTest, CheckBoxesToggleWhereTheyAreDrawn)
{
    list.SetCheckboxes(true);
    list.SetItemHeight(60);
    list.SetColor(clWhite);
    for (TVAlignment align : { vtaTop, vtaCenter, vtaBottom }) {
        SCOPED_TRACE(int(align));
        list.SetVAlignment(align);
        list.Items()[1].SetChecked(false);
        list.Items().Item(0)->SetSelected(false);
        list.Items()[1].SetSelected(false);
        const TRect row = list.ItemRect(1);
        const TRect box = list.CheckBoxRect(1);
        ASSERT_FALSE(box.IsEmpty());
        EXPECT_EQ(box.Width(), 14);
        EXPECT_EQ(box.left, row.left + 2);
        const int expectedTop = align == vtaTop ? row.top
            : align == vtaBottom                ? row.bottom - 14
                                                : row.top + 23;
        EXPECT_EQ(box.top, expectedTop);

        // The picture agrees: the frame is drawn inside the rectangle and nowhere above or below it.
        QImage image(list.viewport()->size(), QImage::Format_RGB32);
        list.viewport()->render(&image);
        const QColor white(255, 255, 255);
        const int inside = box.Width() * box.Height() - orvtest::CountPixels(image, box.ToQRect(), white, 10);
        EXPECT_GT(inside, 20);
        const QRect column(box.left, row.top, box.Width(), row.Height());
        const int all = column.width() * column.height() - orvtest::CountPixels(image, column, white, 10);
        EXPECT_EQ(all, inside);

        events.clear();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(8, box.top + 7));
        EXPECT_TRUE(list.Items()[1].Checked());
        EXPECT_FALSE(list.Items()[1].Selected()); // the zone does not select
        // x = 15 is past the zone but still on the drawn box: the platform toggles there.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(15, box.top + 7));
        EXPECT_FALSE(list.Items()[1].Checked());
        EXPECT_TRUE(list.Items()[1].Selected());
        EXPECT_EQ(events, (QStringList { "check:1:on", "check:1:off" }));
        // Beside the drawn box (same x, another height) the platform does not toggle.
        const int away = align == vtaTop ? row.bottom - 5 : row.top + 3;
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(15, away));
        EXPECT_FALSE(list.Items()[1].Checked());
    }
}

TEST_F(ListMouseTest, CheckGlyphsMakeTheBoxTheirSize)
{
    list.SetCheckboxes(true);
    list.SetItemHeight(40);
    list.SetVAlignment(vtaTop);
    QImage glyph(16, 18, QImage::Format_RGB32);
    glyph.fill(Qt::green);
    list.SetCheckTrueGlyph(TBitmap(glyph));
    list.SetCheckFalseGlyph(TBitmap(glyph));
    const TRect row = list.ItemRect(2);
    EXPECT_EQ(list.CheckBoxRect(2), (TRect { row.left + 2, row.top, row.left + 18, row.top + 18 }));
    // The caption label starts after the glyph and its gap.
    EXPECT_EQ(list.CellRect(2, 0).left, row.left + 2 + 16 + 2);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(17, row.top + 5));
    EXPECT_TRUE(list.Items()[2].Checked());
    EXPECT_EQ(events, QStringList { "check:2:on" });
}

// Exactly one cell is current after a click, and the highlight shows on it alone.
TEST_F(ListMouseTest, ClickMakesOneCurrentCell)
{
    const TColor selection = 0x0000C8;
    list.SetSelectionColor(selection);
    list.SetColor(clWhite);
    std::vector<std::pair<int, int>> clicks;
    list.OnLeftClickCell = [&](TOrvListView&, int row, int col) { clicks.emplace_back(row, col); };
    auto highlighted = [&](int row, int column) {
        QImage image(list.viewport()->size(), QImage::Format_RGB32);
        list.viewport()->render(&image);
        const TRect cell = list.CellRect(row, column);
        const QRect probe(cell.right - 12, cell.top + 2, 8, 6);
        return orvtest::CountPixels(image, probe, ToQColor(selection), 10) > 30;
    };

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(2, 2)));
    EXPECT_EQ(list.SelectedColumn(), 0);
    EXPECT_EQ(list.FocusRow(), 2);
    EXPECT_EQ(clicks.back(), std::make_pair(2, 2));
    EXPECT_TRUE(highlighted(2, 0));
    EXPECT_FALSE(highlighted(2, 2));

    list.SetSubItemSelect(true);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(3, 2)));
    EXPECT_EQ(list.SelectedColumn(), 2);
    EXPECT_EQ(list.FocusRow(), 3);
    EXPECT_TRUE(highlighted(3, 2));
    EXPECT_FALSE(highlighted(3, 0));
    // Another cell of the same row: the highlight moves, none stays behind.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(3, 1)));
    EXPECT_EQ(list.SelectedColumn(), 1);
    EXPECT_TRUE(highlighted(3, 1));
    EXPECT_FALSE(highlighted(3, 2));

    // Below the last row nothing becomes current.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(30, 230));
    EXPECT_EQ(list.FocusRow(), 3);
    EXPECT_EQ(list.SelectedColumn(), 1);

    // Right clicks report their cell.
    std::vector<std::pair<int, int>> right;
    list.OnRightClickCell = [&](TOrvListView&, int row, int col) { right.emplace_back(row, col); };
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, Centre(list.CellRect(4, 2)));
    EXPECT_EQ(right, (std::vector<std::pair<int, int>> { { 4, 2 } }));
}

std::vector<QString> Captions(const TOrvListView& list)
{
    std::vector<QString> out;
    for (int r = 0; r < list.Items().Count(); ++r)
        out.push_back(list.Items()[r].Caption());
    return out;
}

TEST_F(ListMouseTest, DraggedRowsMoveWhereTheyAreDropped)
{
    list.SetReArrangeItems(true);
    for (int r = 6; r < 10; ++r)
        list.Items().Add().SetCaption(QStringLiteral("row %1").arg(r));
    auto drag = [&](QPoint from, QPoint to) {
        QTest::mousePress(list.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(list.viewport(), to);
        QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, to);
    };

    // Row 1 onto row 5.
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(1, 1)));
    EXPECT_EQ(list.DragRow(), 1);
    QTest::mouseMove(list.viewport(), Centre(list.CellRect(5, 1)));
    EXPECT_EQ(list.viewport()->cursor().shape(), TOrvListView::DragCursor().shape());
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(5, 1)));
    EXPECT_EQ(list.DragRow(), -1);
    EXPECT_EQ(Captions(list)[5], "row 1");
    EXPECT_EQ(Captions(list)[1], "row 2");
    EXPECT_EQ(list.FocusRow(), 5);
    EXPECT_EQ(list.viewport()->cursor().shape(), Qt::ArrowCursor);

    // Below the last row: to the end. Right of the columns still counts as the row.
    drag(Centre(list.CellRect(0, 0)), QPoint(30, list.ItemRect(9).bottom + 10));
    EXPECT_EQ(Captions(list).back(), "row 0");
    const QString third = Captions(list)[3];
    drag(Centre(list.CellRect(0, 0)), QPoint(550, Centre(list.ItemRect(3)).y()));
    EXPECT_EQ(Captions(list)[3], "row 2");
    EXPECT_EQ(Captions(list)[2], third);

    // A click without moving moves nothing.
    const std::vector<QString> before = Captions(list);
    drag(Centre(list.CellRect(4, 0)), Centre(list.CellRect(4, 1)));
    EXPECT_EQ(Captions(list), before);

    // Leaving the rows cancels, even when the button is released back over a row.
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(2, 0)));
    QTest::mouseMove(list.viewport(), QPoint(30, -5));
    EXPECT_EQ(list.DragRow(), -1);
    QTest::mouseMove(list.viewport(), Centre(list.CellRect(6, 0)));
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(6, 0)));
    EXPECT_EQ(Captions(list), before);
    EXPECT_EQ(list.viewport()->cursor().shape(), Qt::ArrowCursor);

    // Without ReArrangeItems a drag only selects.
    list.SetReArrangeItems(false);
    drag(Centre(list.CellRect(1, 0)), Centre(list.CellRect(7, 0)));
    EXPECT_EQ(Captions(list), before);
}

TEST_F(ListMouseTest, DraggingNearTheEdgesScrollsALineEachTick)
{
    list.SetReArrangeItems(true);
    for (int r = 6; r < 60; ++r)
        list.Items().Add().SetCaption(QStringLiteral("row %1").arg(r));
    ASSERT_TRUE(list.TimerRunning());
    EXPECT_EQ(list.TimerId(), 1222);
    const int height = list.viewport()->height();
    auto cursorAt = [&](int y) { QCursor::setPos(list.viewport()->mapToGlobal(QPoint(40, y))); };
    cursorAt(20);
    if (QCursor::pos() != list.viewport()->mapToGlobal(QPoint(40, 20)))
        GTEST_SKIP() << "this platform cannot place the pointer";

    // Not dragging: the timer scrolls nothing.
    cursorAt(height - 2);
    list.WindowTimer();
    EXPECT_EQ(list.TopIndex(), 0);

    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(3, 0)));
    ASSERT_EQ(list.DragRow(), 3);
    // The bottom band is the last ItemHeight pixels: one pixel above it does nothing.
    cursorAt(height - 20);
    list.WindowTimer();
    EXPECT_EQ(list.TopIndex(), 0);
    cursorAt(height - 19);
    list.WindowTimer();
    list.WindowTimer();
    EXPECT_EQ(list.TopIndex(), 2);
    // The top band is the first ItemHeight pixels of the rows.
    cursorAt(20);
    list.WindowTimer();
    EXPECT_EQ(list.TopIndex(), 2);
    cursorAt(19);
    list.WindowTimer();
    EXPECT_EQ(list.TopIndex(), 1);

    // The real 300 ms timer does the same.
    cursorAt(height - 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.TopIndex() >= 3; }, 3000));
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, QPoint(40, height - 5));
    const int top = list.TopIndex();
    QTest::qWait(400);
    EXPECT_EQ(list.TopIndex(), top); // the drag is over
}

} // namespace
