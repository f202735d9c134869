// In-place label editing of the platform list: the editor, its text and limits, how an edit
// ends, and the pin that keeps it on its rectangle.
#include "platform/TCustomListView.h"
#include "platform/TInPlaceEdit.h"
#include "platform/TPinnedEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class EditList : public TCustomListView {
public:
    bool allow = true;
    QStringList events;
    QWidget* editorSeenAtBegin = nullptr;

    using TCustomListView::TCustomListView;

protected:
    bool BeginLabelEdit(int item) override
    {
        editorSeenAtBegin = EditWindow();
        events.push_back(QString("begin %1").arg(item));
        return allow;
    }
    void EndLabelEdit(int item, const QString& text, bool accepted) override
    {
        events.push_back(QString("end %1 %2 %3").arg(item).arg(text).arg(accepted ? "ok" : "cancel"));
        TCustomListView::EndLabelEdit(item, text, accepted);
    }
};

struct Fixture {
    EditList list;
    QLineEdit other; // something else to take the focus
    Fixture()
    {
        list.Columns().Add().SetWidth(120);
        for (int r = 0; r < 5; ++r)
            list.Items().Add().SetCaption(QString("item %1").arg(r));
        list.resize(300, 200);
        list.show();
        other.show();
        QApplication::setActiveWindow(&list);
    }
    TInPlaceEdit* Editor() { return qobject_cast<TInPlaceEdit*>(list.EditWindow()); }
};

} // namespace

TEST(LabelEdit, EnterAcceptsAndEscapeCancels)
{
    Fixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    f.list.EditCaption(2);
    ASSERT_TRUE(f.list.IsEditing());
    TInPlaceEdit* editor = f.Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(f.list.editorSeenAtBegin, editor); // the override can reach the editor
    EXPECT_EQ(editor->Text(), "item 2");
    // Exactly over the caption label and one row high: it covers no other row.
    EXPECT_EQ(editor->geometry(), f.list.SubItemRect(2, 0).ToQRect());
    EXPECT_EQ(editor->height(), f.list.RowHeight());
    editor->setPlainText("renamed");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(f.list.IsEditing());
    EXPECT_EQ(f.list.EditWindow(), nullptr);
    EXPECT_EQ(f.list.Items()[2].Caption(), "renamed");

    f.list.EditCaption(3);
    f.Editor()->setPlainText("discarded");
    QTest::keyClick(f.Editor(), Qt::Key_Escape);
    EXPECT_EQ(f.list.Items()[3].Caption(), "item 3");
    EXPECT_EQ(
        f.list.events, (QStringList { "begin 2", "end 2 renamed ok", "begin 3", "end 3 discarded cancel" }));
}

TEST(LabelEdit, VetoedBeginShowsNoEditor)
{
    Fixture f;
    f.list.allow = false;
    f.list.EditCaption(1);
    EXPECT_FALSE(f.list.IsEditing());
    EXPECT_EQ(f.list.EditWindow(), nullptr);
    EXPECT_EQ(f.list.events, QStringList { "begin 1" });
    f.list.SetReadOnly(true);
    f.list.allow = true;
    f.list.EditCaption(1); // a read-only list never asks
    EXPECT_EQ(f.list.events.size(), 1);
}

TEST(LabelEdit, FocusLossAcceptsAndF2Starts)
{
    Fixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    f.list.setFocus();
    f.list.Items()[4].SetFocused(true);
    QTest::keyClick(&f.list, Qt::Key_F2);
    ASSERT_TRUE(f.list.IsEditing());
    EXPECT_EQ(f.list.EditingItem(), 4);
    f.Editor()->setPlainText("kept");
    f.list.EndEditing(true);
    EXPECT_EQ(f.list.Items()[4].Caption(), "kept");

    f.list.EditCaption(0);
    TInPlaceEdit* editor = f.Editor();
    ASSERT_NE(editor, nullptr);
    editor->setPlainText("by focus");
    QFocusEvent focusOut(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(editor, &focusOut);
    EXPECT_FALSE(f.list.IsEditing());
    EXPECT_EQ(f.list.Items()[0].Caption(), "by focus");

    // Deleting the edited row ends the edit without touching another row.
    f.list.EditCaption(4);
    f.Editor()->setPlainText("gone");
    f.list.Items().Delete(4);
    EXPECT_FALSE(f.list.IsEditing());
    EXPECT_EQ(f.list.events.back(), "end 4 gone cancel");
}

TEST(LabelEdit, SlowSecondClickOnTheCurrentCaptionStartsEditing)
{
    Fixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    const TRect label = f.list.SubItemRect(1, 0);
    const QPoint at(label.left + 5, (label.top + label.bottom) / 2);
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(f.list.IsEditing());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.list.IsEditing(); }, 2000));
    EXPECT_EQ(f.list.EditingItem(), 1);
}

TEST(LabelEdit, ADoubleClickSelectsButNeverStartsEditing)
{
    Fixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    const TRect first = f.list.SubItemRect(1, 0);
    const TRect second = f.list.SubItemRect(3, 0);
    // Two quick clicks on different rows: the second selects its row.
    // (A widget sees a double click as a press and then a double-click event.)
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, {}, QPoint(first.left + 5, first.top + 3));
    QTest::mouseDClick(f.list.viewport(), Qt::LeftButton, {}, QPoint(second.left + 5, second.top + 3));
    EXPECT_TRUE(f.list.Items()[3].Selected());
    EXPECT_FALSE(f.list.Items()[1].Selected());
    // A double click on the current caption does not turn into a slow second click.
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, {}, QPoint(second.left + 5, second.top + 3));
    QTest::mouseDClick(f.list.viewport(), Qt::LeftButton, {}, QPoint(second.left + 5, second.top + 3));
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_FALSE(f.list.IsEditing());
}

TEST(LabelEdit, RowsShiftingUnderTheEditorEndItWithoutWriting)
{
    Fixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    f.list.EditCaption(3);
    f.Editor()->setPlainText("typed");
    f.list.Items().Insert(0).SetCaption("new first"); // row 3 is now "item 2"
    EXPECT_FALSE(f.list.IsEditing());
    EXPECT_EQ(f.list.events.back(), "end 3 typed cancel");
    EXPECT_EQ(f.list.Items()[3].Caption(), "item 2");
    EXPECT_EQ(f.list.Items()[4].Caption(), "item 3");

    // Changing another row's text leaves the edit open.
    f.list.EditCaption(1);
    f.list.Items()[4].SetCaption("other");
    EXPECT_TRUE(f.list.IsEditing());
    f.list.EndEditing(false);
}

TEST(LabelEdit, ScrollingEndsTheEditAndKeepsTheText)
{
    Fixture f;
    for (int r = 5; r < 60; ++r)
        f.list.Items().Add().SetCaption(QString("item %1").arg(r));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    f.list.EditCaption(1);
    f.Editor()->setPlainText("scrolled away");
    f.list.ScrollLines(3);
    EXPECT_FALSE(f.list.IsEditing());
    EXPECT_EQ(f.list.Items()[1].Caption(), "scrolled away");
}

TEST(InPlaceEdit, TextKeepsItsLineEndsUnlessChanged)
{
    TInPlaceEdit edit;
    edit.SetMultiLine(true);
    edit.SetText("one\r\ntwo\rthree");
    EXPECT_EQ(edit.toPlainText(), "one\ntwo\nthree");
    EXPECT_EQ(edit.Text(), "one\r\ntwo\rthree"); // unchanged: exactly what was set
    edit.setPlainText("one\ntwo");
    EXPECT_EQ(edit.Text(), "one\r\ntwo");

    // Enter ends the edit (the list decides); Ctrl+Enter breaks the line where lines are kept.
    edit.SetText("ab");
    edit.moveCursor(QTextCursor::End);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.toPlainText(), "ab");
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(edit.toPlainText(), "ab\n");
    edit.SetMultiLine(false);
    edit.SetText("ab");
    edit.moveCursor(QTextCursor::End);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(edit.toPlainText(), "ab");

    // A single line takes pasted lines as one.
    QMimeData lines;
    lines.setText("x\r\ny\nz");
    edit.SetText("");
    edit.insertFromMimeData(&lines);
    EXPECT_EQ(edit.Text(), "x y z");
}

TEST(InPlaceEdit, MaxLengthLimitsTypingOnBothSidesOfTheLimit)
{
    TInPlaceEdit edit;
    edit.SetMaxLength(8);
    edit.SetText("1234567");
    edit.moveCursor(QTextCursor::End);
    QTest::keyClicks(&edit, "8");
    EXPECT_EQ(edit.Text(), "12345678"); // exactly the limit
    QTest::keyClicks(&edit, "9");
    EXPECT_EQ(edit.Text(), "12345678"); // one more is refused
    edit.moveCursor(QTextCursor::Start);
    QTest::keyClicks(&edit, "ab");
    EXPECT_EQ(edit.Text(), "12345678"); // wherever it is typed

    // Pasting more than fits keeps what fits.
    QMimeData more;
    more.setText("abcdef");
    edit.SetText("1234");
    edit.moveCursor(QTextCursor::End);
    edit.insertFromMimeData(&more);
    EXPECT_EQ(edit.Text(), "1234abcd");

    // A longer text that was set stays whole; it cannot grow.
    edit.SetText("0123456789AB");
    EXPECT_EQ(edit.Text(), "0123456789AB");
    edit.moveCursor(QTextCursor::End);
    QTest::keyClicks(&edit, "Z");
    EXPECT_EQ(edit.Text(), "0123456789AB");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, "Z");
    EXPECT_EQ(edit.Text(), "0123456789AZ");
}

TEST(InPlaceEdit, ShortTextSitsWhereTheCellShowsIt)
{
    QWidget parent;
    parent.resize(300, 200);
    auto* edit = new TInPlaceEdit(&parent);
    edit->setGeometry(0, 0, 200, 80);
    edit->SetText("short");
    parent.show();
    edit->SetVerticalAlignment(Qt::AlignTop);
    const int top = edit->viewport()->geometry().top();
    edit->SetVerticalAlignment(Qt::AlignVCenter);
    const int centre = edit->viewport()->geometry().top();
    edit->SetVerticalAlignment(Qt::AlignBottom);
    const int bottom = edit->viewport()->geometry().top();
    EXPECT_LT(top, centre);
    EXPECT_LT(centre, bottom);
    EXPECT_NEAR(centre - top, bottom - centre, 1);
}

TEST(PinnedEditor, KeepsTheEditorOnItsRectangle)
{
    QWidget parent;
    parent.resize(300, 200);
    auto* editor = new QLineEdit(&parent);
    parent.show(); // hidden widgets only note a move; it is sent when they are shown
    TPinnedEditor pin;
    pin.Pin(editor, TRect { 10, 20, 110, 45 });
    EXPECT_EQ(editor->geometry(), QRect(10, 20, 100, 25));
    EXPECT_EQ(pin.Editor(), editor);

    editor->move(50, 50);
    EXPECT_EQ(editor->geometry(), QRect(10, 20, 100, 25));
    editor->resize(30, 10);
    EXPECT_EQ(editor->geometry(), QRect(10, 20, 100, 25));
    editor->setGeometry(0, 0, 5, 5);
    EXPECT_EQ(editor->geometry(), QRect(10, 20, 100, 25));

    pin.SetRect(TRect { 0, 0, 50, 20 });
    EXPECT_EQ(editor->geometry(), QRect(0, 0, 50, 20));

    pin.Release();
    EXPECT_FALSE(pin.Active());
    editor->move(70, 70);
    EXPECT_EQ(editor->pos(), QPoint(70, 70));

    // An editor that goes away while pinned is simply forgotten.
    pin.Pin(editor, TRect { 1, 1, 20, 20 });
    delete editor;
    EXPECT_FALSE(pin.Active());
    pin.SetRect(TRect { 2, 2, 30, 30 }); // nothing to place
}

TEST(LabelEdit, PinnedEditorStaysOverItsRectangleUntilTheEditEnds)
{
    Fixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    f.list.EditCaption(0);
    const TRect pinned { 30, 40, 100, 57 };
    f.list.PinEditWindow(pinned);
    EXPECT_EQ(f.list.PinnedEditRect(), pinned);
    f.Editor()->move(0, 0);
    EXPECT_EQ(f.Editor()->geometry(), pinned.ToQRect());
    f.list.EndEditing(true);
    EXPECT_EQ(f.list.PinnedEditRect(), TRect {});
}
