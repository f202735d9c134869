// The demo window used with the mouse and keyboard: the "action" anchor in the status bar and in
// a message, the URL anchor opened through the platform opener, rearranging rows, editing cells,
// the column-size switch and the check boxes of Sample 2.
#include "app/DemoMessages.h"
#include "app/TForm1.h"
#include "app/TRadioGroup.h"
#include "listview/TOrvListView.h"
#include "platform/THeaderControl.h"
#include "platform/TInPlaceEdit.h"
#include "platform/TShell.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QPoint Centre(const TRect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class DemoInteraction : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        for (const char* name : { "test.csv", "cars.csv" }) {
            const QString source = QStringLiteral(ORV_SOURCE_DIR "/app/data/") + QString::fromLatin1(name);
            ASSERT_TRUE(QFile::copy(source, m_dir.filePath(QString::fromLatin1(name)))) << name;
        }
        DemoMessages::SetSink([this](DemoMessages::TMessageKind kind, const QString& text) {
            messages.emplace_back(kind, text);
        });
        TShell::SetOpener([this](const QUrl& url) {
            opened.push_back(url.toString());
            return true;
        });
        form = std::make_unique<TForm1>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        TShell::SetOpener({});
        DemoMessages::SetSink({});
        QDir::setCurrent(m_previous);
    }
    // The first x of the cell's middle line where the anchor `value` is hit.
    int AnchorX(TOrvListView& list, int row, int column, const QString& value)
    {
        const TRect cell = list.CellRect(row, column);
        for (int x = cell.left; x < cell.right; ++x)
            if (list.AnchorHitTest(x, Centre(cell).y()) == value)
                return x;
        return -1;
    }

    std::unique_ptr<TForm1> form;
    std::vector<std::pair<DemoMessages::TMessageKind, QString>> messages;
    std::vector<QString> opened;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

TEST_F(DemoInteraction, TheActionAnchorShowsInTheStatusBarAndInAMessage)
{
    TOrvListView& list = *form->OrvListView2;
    form->HTMLText1Click();
    form->Button4Click(); // "Autosize": the new texts get the room to show on one line
    list.EnsureCellVisible(1, 6);
    const int x = AnchorX(list, 1, 6, "action");
    ASSERT_GE(x, 0);
    const int y = Centre(list.CellRect(1, 6)).y();

    QTest::mouseMove(list.viewport(), QPoint(x + 1, y));
    EXPECT_EQ(form->StatusBar1->currentMessage(), "action");
    EXPECT_EQ(list.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(list.viewport(), QPoint(list.CellRect(1, 6).left + 3, y)); // on "This"
    EXPECT_EQ(form->StatusBar1->currentMessage(), QString());

    QTest::mouseMove(list.viewport(), QPoint(x + 1, y));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(x + 1, y));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, DemoMessages::mkInformation);
    EXPECT_EQ(messages[0].second, "action");
    EXPECT_TRUE(opened.empty());

    // The product's address in row 2 opens through the list's own URL handling.
    const TRect cell = list.CellRect(2, 6);
    int urlX = -1;
    QString href;
    for (int px = cell.left; px < cell.right && urlX < 0; ++px) {
        href = list.AnchorHitTest(px, Centre(cell).y());
        if (href.contains("://"))
            urlX = px;
    }
    ASSERT_GE(urlX, 0);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(urlX + 1, Centre(cell).y()));
    EXPECT_EQ(opened, std::vector<QString> { href });
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(DemoInteraction, ItemRearrangeMovesADraggedRow)
{
    TOrvListView& list = *form->OrvListView2;
    form->RadioGroup1->SetItemIndex(0);
    form->RadioGroup1Click();
    ASSERT_TRUE(list.ReArrangeItems());
    const QString moved = list.Cells(0, 1);
    const QString next = list.Cells(0, 2);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(1, 1)));
    QTest::mouseMove(list.viewport(), Centre(list.CellRect(4, 1)));
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(4, 1)));
    EXPECT_EQ(list.Cells(0, 4), moved);
    EXPECT_EQ(list.Cells(0, 1), next);
}

TEST_F(DemoInteraction, SubitemEditingEditsTheCellUnderTheKeys)
{
    TOrvListView& list = *form->OrvListView2;
    form->subedit->click();
    ASSERT_TRUE(list.SubItemEdit());
    list.setFocus();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list.CellRect(2, 1)));
    EXPECT_EQ(list.SelectedColumn(), 1);
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_EQ(list.SelectedColumn(), 2);
    QTest::keyClick(&list, Qt::Key_F2);
    ASSERT_TRUE(list.Editing());
    TInPlaceEdit* editor = list.EditControl();
    EXPECT_EQ(editor->geometry(), list.CellRect(2, 2).ToQRect());
    EXPECT_EQ(editor->height(), list.RowHeight());
    const QString caption = list.Cells(0, 2);
    editor->selectAll();
    QTest::keyClicks(editor, "1999");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(list.Cells(2, 2), "1999");
    EXPECT_EQ(list.Cells(0, 2), caption);

    // "Subitem select" alone moves the current cell but edits nothing.
    form->subedit->click();
    form->subsel->click();
    QTest::keyClick(&list, Qt::Key_Left);
    EXPECT_EQ(list.SelectedColumn(), 1);
    QTest::keyClick(&list, Qt::Key_F2);
    EXPECT_FALSE(list.Editing());
}

TEST_F(DemoInteraction, EnableColumnSizeDecidesWhetherDividersMove)
{
    TOrvListView& list = *form->OrvListView2;
    THeaderControl& header = list.Header();
    const int width = list.Columns()[0].Width();
    auto drag = [&](int dx) {
        QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(width, 5));
        QTest::mouseMove(&header, QPoint(width + dx, 5));
        QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(width + dx, 5));
    };
    form->CheckBox7->setChecked(false);
    drag(30);
    EXPECT_EQ(list.Columns()[0].Width(), width);
    form->CheckBox7->setChecked(true);
    drag(30);
    EXPECT_EQ(list.Columns()[0].Width(), width + 30);
}

TEST_F(DemoInteraction, SampleTwoCheckBoxesToggleWhereTheyAreDrawn)
{
    form->PageControl1->setCurrentIndex(1);
    TOrvListView& list = *form->OrvListView1;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list.viewport()));
    ASSERT_GE(list.Items().Count(), 2);
    const TRect box = list.CheckBoxRect(1);
    const TRect row = list.ItemRect(1);
    // The glyph sits at the top of the 60-pixel row (VAlignment top).
    EXPECT_EQ(box.top, row.top);
    const bool was = list.Items()[1].Checked();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(box));
    EXPECT_NE(list.Items()[1].Checked(), was);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(box.right - 2, box.top + 3));
    EXPECT_EQ(list.Items()[1].Checked(), was);
}

} // namespace
