#include "platform/TCustomListView.h"

#include <QApplication>
#include <QLineEdit>
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
    QLineEdit* Editor() { return qobject_cast<QLineEdit*>(list.EditWindow()); }
};

} // namespace

TEST(LabelEdit, EnterAcceptsAndEscapeCancels)
{
    Fixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    f.list.EditCaption(2);
    ASSERT_TRUE(f.list.IsEditing());
    QLineEdit* editor = f.Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(f.list.editorSeenAtBegin, editor); // the override can reach the editor
    EXPECT_EQ(editor->text(), "item 2");
    EXPECT_EQ(editor->geometry().left(), f.list.SubItemRect(2, 0).left);
    editor->setText("renamed");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(f.list.IsEditing());
    EXPECT_EQ(f.list.EditWindow(), nullptr);
    EXPECT_EQ(f.list.Items()[2].Caption(), "renamed");

    f.list.EditCaption(3);
    f.Editor()->setText("discarded");
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
    f.Editor()->setText("kept");
    f.list.EndEditing(true);
    EXPECT_EQ(f.list.Items()[4].Caption(), "kept");

    f.list.EditCaption(0);
    QLineEdit* editor = f.Editor();
    ASSERT_NE(editor, nullptr);
    editor->setText("by focus");
    QFocusEvent focusOut(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(editor, &focusOut);
    EXPECT_FALSE(f.list.IsEditing());
    EXPECT_EQ(f.list.Items()[0].Caption(), "by focus");

    // Deleting the edited row ends the edit without touching another row.
    f.list.EditCaption(4);
    f.Editor()->setText("gone");
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
