// The list under the keyboard and the cell editor: Left and Right move the current cell in cell
// modes, Space and F2 open the editor over the current cell, Space toggles check boxes, the
// clipboard keys in their order, and how an edit ends. Driven with QTest on a shown list.
#include "listview/TOrvListView.h"
#include "platform/TClipboard.h"
#include "platform/TImageList.h"
#include "platform/TInPlaceEdit.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QPoint Centre(const TRect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class ListKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int c = 0; c < 4; ++c)
            list.Columns().Add().SetWidth(150);
        for (int r = 0; r < 8; ++r) {
            TListItem& item = list.Items().Add();
            item.SetCaption(QStringLiteral("r%1").arg(r));
            for (int c = 1; c < 4; ++c)
                item.SubItems() << QStringLiteral("r%1c%2").arg(r).arg(c);
        }
        list.resize(320, 220); // narrower than the columns: the view scrolls sideways
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        QApplication::setActiveWindow(&list);
        list.Loaded();
        list.SetItemHeight(20);
        list.setFocus();
    }
    void Click(int row, int column)
    {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(row, column)));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(&list, key, mods); }
    TInPlaceEdit* Editor() { return list.EditControl(); }

    TOrvListView list;
};

TEST_F(ListKeyboardTest, LeftAndRightMoveTheCurrentCellAndScrollOnlyAsNeeded)
{
    // Without a cell mode the arrows scroll sideways.
    Key(Qt::Key_Right);
    EXPECT_GT(list.HorizontalOffset(), 0);
    EXPECT_EQ(list.SelectedColumn(), 0);
    Key(Qt::Key_Left);
    EXPECT_EQ(list.HorizontalOffset(), 0);

    list.SetSubItemSelect(true);
    Click(2, 0);
    const int width = list.viewport()->width();
    Key(Qt::Key_Left); // already the first column
    EXPECT_EQ(list.SelectedColumn(), 0);
    EXPECT_EQ(list.HorizontalOffset(), 0);
    Key(Qt::Key_Right);
    EXPECT_EQ(list.SelectedColumn(), 1);
    // Column 1 spans 150..300 of the content: just enough scrolling to show its right edge.
    EXPECT_EQ(list.HorizontalOffset(), std::max(0, 300 - width));
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(list.SelectedColumn(), 3);
    EXPECT_EQ(list.HorizontalOffset(), 600 - width);
    Key(Qt::Key_Right); // already the last column
    EXPECT_EQ(list.SelectedColumn(), 3);
    EXPECT_EQ(list.HorizontalOffset(), 600 - width);
    Key(Qt::Key_Left);
    EXPECT_EQ(list.SelectedColumn(), 2);
    EXPECT_EQ(list.HorizontalOffset(), 600 - width); // column 2 is already in view
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(list.SelectedColumn(), 0);
    EXPECT_EQ(list.HorizontalOffset(), 0);

    // Moved columns: the arrows follow the columns as shown.
    list.SetColumnOrder({ 0, 3, 1, 2 });
    Key(Qt::Key_Right);
    EXPECT_EQ(list.SelectedColumn(), 3);
    Key(Qt::Key_Right);
    EXPECT_EQ(list.SelectedColumn(), 1);
    Key(Qt::Key_Left);
    EXPECT_EQ(list.SelectedColumn(), 3);
}

TEST_F(ListKeyboardTest, SpaceReportsTheToggleOnTheRowItHappensTo)
{
    list.SetCheckboxes(true);
    std::vector<std::pair<int, bool>> toggles;
    list.OnCheckboxClick = [&](TOrvListView&, int row, bool state) { toggles.emplace_back(row, state); };
    Click(1, 1);
    Key(Qt::Key_Space);
    EXPECT_TRUE(list.Items()[1].Checked());
    Key(Qt::Key_Down); // the focus moves on; so does the current cell
    EXPECT_EQ(list.FocusRow(), 2);
    Key(Qt::Key_Space);
    Key(Qt::Key_Space);
    EXPECT_FALSE(list.Items()[2].Checked());
    EXPECT_EQ(toggles, (std::vector<std::pair<int, bool>> { { 1, true }, { 2, true }, { 2, false } }));

    // Ctrl+Space in a multi-selection list selects; no check changes, no event.
    list.SetMultiSelect(true);
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(toggles.size(), 3u);
}

TEST_F(ListKeyboardTest, ClipboardKeysInTheirOrderOnlyWhenEnabled)
{
    Click(1, 0);
    TClipboard::SetAsText("before");
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(TClipboard::AsText(), "before"); // disabled: the keys do nothing of the kind
    EXPECT_EQ(list.Items().Count(), 8);

    list.SetClipboardEnable(true);
    Key(Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier); // copies: Ctrl+Insert comes first
    EXPECT_EQ(TClipboard::AsText(), "r1\tr1c1\tr1c2\tr1c3\r\n");
    EXPECT_EQ(list.Items().Count(), 8);
    Key(Qt::Key_Insert, Qt::ShiftModifier); // pastes the row at the end
    EXPECT_EQ(list.Items().Count(), 9);
    EXPECT_EQ(list.Items()[8].Caption(), "r1");
    Click(3, 0);
    Key(Qt::Key_Delete, Qt::ShiftModifier); // cuts
    EXPECT_EQ(list.Items().Count(), 8);
    EXPECT_EQ(TClipboard::AsText(), "r3\tr3c1\tr3c2\tr3c3\r\n");

    // In a cell mode the keys work on the current cell.
    list.SetSubItemSelect(true);
    Click(4, 2);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(TClipboard::AsText(), list.Cells(2, 4));
    TClipboard::SetAsText("pasted");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(list.Cells(2, 4), "pasted");
}

class ListEditTest : public ListKeyboardTest {
protected:
    void SetUp() override
    {
        ListKeyboardTest::SetUp();
        list.SetSubItemEdit(true);
        list.OnCanEditCell = [this](TOrvListView&, int row, int col, bool& allow) {
            asked.emplace_back(row, col);
            allow = allowEdit;
        };
    }
    std::vector<std::pair<int, int>> asked;
    bool allowEdit = true;
};

TEST_F(ListEditTest, F2OpensTheEditorExactlyOverTheCurrentCell)
{
    Click(3, 1);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    ASSERT_NE(Editor(), nullptr);
    EXPECT_TRUE(Editor()->isVisible());
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>> { { 3, 1 } }));
    EXPECT_EQ(Editor()->geometry(), list.CellRect(3, 1).ToQRect());
    EXPECT_EQ(Editor()->height(), list.RowHeight());
    EXPECT_EQ(Editor()->Text(), "r3c1");
    EXPECT_EQ(Editor()->MaxLength(), TOrvListView::kMaxEditLength);

    // Typing and Enter write the cell; the caption stays.
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "new text");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_FALSE(list.Editing());
    EXPECT_EQ(list.Cells(1, 3), "new text");
    EXPECT_EQ(list.Cells(0, 3), "r3");

    // Escape leaves the cell as it was.
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    QTest::keyClicks(Editor(), "discarded");
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_FALSE(list.Editing());
    EXPECT_EQ(list.Cells(1, 3), "new text");

    // Space opens it too, here over the caption after a Left.
    Key(Qt::Key_Left);
    Key(Qt::Key_Space);
    ASSERT_TRUE(list.Editing());
    EXPECT_EQ(Editor()->geometry(), list.CellRect(3, 0).ToQRect());
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "caption");
    QTest::keyClick(Editor(), Qt::Key_Enter);
    EXPECT_EQ(list.Cells(0, 3), "caption");
    EXPECT_EQ(list.Cells(1, 3), "new text");
}

TEST_F(ListEditTest, TheEditorFollowsTheCellAfterScrollingToIt)
{
    Click(2, 0);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    const QRect cell = list.CellRect(2, 3).ToQRect();
    EXPECT_EQ(Editor()->geometry(), cell);
    EXPECT_TRUE(list.viewport()->rect().contains(cell.adjusted(0, 0, -1, -1).topRight()));
    // The editor's own layout cannot move it off the cell.
    Editor()->setGeometry(0, 0, 30, 50);
    EXPECT_EQ(Editor()->geometry(), cell);
    list.EndEditing(false);
}

TEST_F(ListEditTest, CanEditCellVetoesAndReadOnlyListsDoNotEdit)
{
    allowEdit = false;
    Click(1, 2);
    Key(Qt::Key_F2);
    EXPECT_FALSE(list.Editing());
    EXPECT_EQ(list.EditWindow(), nullptr);
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>> { { 1, 2 } }));
    EXPECT_EQ(list.Cells(2, 1), "r1c2");

    allowEdit = true;
    list.SetReadOnly(true);
    Key(Qt::Key_F2);
    EXPECT_FALSE(list.Editing());
    EXPECT_EQ(asked.size(), 1u); // never asked
}

TEST_F(ListEditTest, FocusLossWritesTheEditedCellAndTheClickMovesOn)
{
    Click(4, 2);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "typed");
    Click(6, 1);
    EXPECT_FALSE(list.Editing());
    EXPECT_EQ(list.Cells(2, 4), "typed");
    EXPECT_EQ(list.Cells(1, 6), "r6c1");
    EXPECT_EQ(list.FocusRow(), 6);
    EXPECT_EQ(list.SelectedColumn(), 1);
}

TEST_F(ListEditTest, TheEditorTakesAtMost1024Characters)
{
    Click(0, 1);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    Editor()->selectAll();
    QTest::keyClicks(Editor(), QString(1023, 'a'));
    QTest::keyClicks(Editor(), "b");
    EXPECT_EQ(Editor()->Text().size(), 1024);
    QTest::keyClicks(Editor(), "c");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(list.Cells(1, 0), QString(1023, 'a') + "b");

    // A cell that already holds more keeps all of it.
    const QString longer(3000, 'x');
    list.SetCells(2, 0, longer);
    Key(Qt::Key_Right);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(list.Cells(2, 0), longer);
}

TEST_F(ListEditTest, CaptionEditorStartsWhereTheLabelIsDrawn)
{
    TImageList images(16, 16);
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    images.Add(picture);
    list.SetSmallImages(&images);
    list.SetCheckboxes(true);
    list.Items()[1].SetImageIndex(0);
    list.Items()[2].SetIndent(1);
    const TRect row1 = list.ItemRect(1);
    const TRect row2 = list.ItemRect(2);
    // Check box 18, image 16 + 2; a row without an image has no gap for one; indents 16 each.
    EXPECT_EQ(list.CellRect(1, 0), (TRect { row1.left + 36, row1.top, row1.left + 150, row1.bottom }));
    EXPECT_EQ(list.CellRect(2, 0), (TRect { row2.left + 34, row2.top, row2.left + 150, row2.bottom }));
    list.SetSubItemSelect(true);
    Click(1, 0);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    EXPECT_EQ(Editor()->geometry(), list.CellRect(1, 0).ToQRect());
    list.EndEditing(false);
    list.SetSmallImages(nullptr);
}

TEST_F(ListEditTest, TallRowsGetAMultiLineEditorTheirHeight)
{
    list.SetItemHeight(60);
    list.SetVAlignment(vtaTop);
    list.SetCells(1, 2, "first line\r\nsecond line");
    Click(2, 1);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    EXPECT_EQ(Editor()->height(), 60);
    EXPECT_TRUE(Editor()->MultiLine());
    EXPECT_EQ(Editor()->VerticalAlignment(), Qt::AlignTop);
    EXPECT_EQ(Editor()->toPlainText(), "first line\nsecond line");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(list.Cells(1, 2), "first line\r\nsecond line");

    list.SetItemHeight(20);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    EXPECT_FALSE(Editor()->MultiLine());
    list.EndEditing(false);
}

TEST_F(ListEditTest, WithoutSubItemEditF2EditsTheCaption)
{
    list.SetSubItemEdit(false);
    Click(5, 2);
    Key(Qt::Key_F2);
    ASSERT_TRUE(list.IsEditing());
    EXPECT_FALSE(list.Editing());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Editor()->Text(), "r5");
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "renamed");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(list.Cells(0, 5), "renamed");
    EXPECT_EQ(list.Cells(2, 5), "r5c2");
}

} // namespace
