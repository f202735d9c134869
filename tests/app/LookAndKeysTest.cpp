// The demo window on a desktop: controls fitted to the style's metrics (nothing overlaps, group
// titles stay free), the fitter behind it, and the keyboard: access keys and standard shortcuts.
#include "app/DemoMessages.h"
#include "app/TForm1.h"
#include "DemoWindowTest.h"
#include "app/TFormFitter.h"
#include "app/TRadioGroup.h"
#include "listview/TOrvListView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// ---- the fitter on plain widgets -----------------------------------------------------------------

// A widget that asks for a fixed size, like a control whose text needs that much room.
class THinted : public QWidget {
public:
    THinted(QSize hint, QWidget* parent)
        : QWidget(parent)
        , m_hint(hint)
    { }
    QSize sizeHint() const override { return m_hint; }

private:
    QSize m_hint;
};

// True when a and b share a pixel or lie edge to edge (corners included).
bool Touch(const QRect& a, const QRect& b)
{
    return a.adjusted(-1, -1, 1, 1).intersects(b);
}

TEST(FormFitter, SideBySideControlsKeepAMinimumGapAndTheirColumnMovesTogether)
{
    // The right-hand control is designed at several distances from the left one's right edge
    // (x 60): closer than the gap moves it (with the one below it in its column), the gap or
    // more leaves it.
    struct Case {
        int designedLeft;
        int expectedLeft;
    };
    const Case cases[] = { { 50, 64 }, { 63, 64 }, { 64, 64 }, { 65, 65 }, { 90, 90 } };
    for (const Case& c : cases) {
        QWidget page;
        TFormFitter fitter;
        auto* a = new THinted(QSize(50, 20), &page);
        auto* b = new THinted(QSize(30, 20), &page);
        auto* below = new THinted(QSize(30, 20), &page);
        fitter.Design(a, QRect(10, 10, 0, 0));
        fitter.Design(b, QRect(c.designedLeft, 12, 0, 0));
        fitter.Design(below, QRect(c.designedLeft + 1, 60, 0, 0)); // one column within the tolerance
        fitter.Design(new THinted(QSize(300, 50), &page), QRect(0, 100, 0, 0)); // the right edge
        fitter.Fit();
        EXPECT_EQ(a->geometry(), QRect(10, 10, 50, 20)) << c.designedLeft;
        EXPECT_EQ(b->x(), c.expectedLeft) << c.designedLeft;
        EXPECT_EQ(b->y(), 12) << c.designedLeft; // side by side: not moved down
        EXPECT_EQ(below->x() - b->x(), 1) << c.designedLeft;
        EXPECT_EQ(below->y(), 60) << c.designedLeft;
    }
}

TEST(FormFitter, StackedControlsKeepTheirDesignedSpacingAndAtLeastOnePixel)
{
    QWidget page;
    TFormFitter fitter;
    auto* top = new THinted(QSize(100, 30), &page); // designed as if 20 high
    auto* overlapped = new THinted(QSize(100, 20), &page);
    auto* spaced = new THinted(QSize(100, 20), &page);
    auto* sameRow = new THinted(QSize(50, 20), &page);
    auto* aside = new THinted(QSize(50, 20), &page);
    auto* list = new THinted(QSize(100, 100), &page);
    fitter.Design(top, QRect(10, 10, 0, 0));
    fitter.Design(overlapped, QRect(10, 35, 0, 0)); // designed 5 px into the one above
    fitter.Design(sameRow, QRect(200, 37, 0, 0)); // one row with it (within the tolerance)
    fitter.Design(spaced, QRect(10, 70, 0, 0)); // designed 15 px below the one above
    fitter.Design(aside, QRect(200, 40, 0, 0)); // its own row, nothing above it but `sameRow`
    fitter.Design(list, QRect(10, 100, 100, 200), TFormFitter::faBottom);
    fitter.Fit();
    EXPECT_EQ(top->y(), 10);
    EXPECT_EQ(overlapped->y(), 41); // 1 px below the 40 the top one ends at
    EXPECT_EQ(sameRow->y(), 43); // moved with its row
    EXPECT_EQ(spaced->y(), 41 + 20 + 15);
    EXPECT_EQ(aside->y(), 43 + 20 + 1); // designed 17 px into `sameRow`'s 20
    // Designed 10 px below `spaced`; it keeps its bottom edge and gives up height.
    EXPECT_EQ(list->y(), 76 + 20 + 10);
    EXPECT_EQ(list->geometry().bottom(), 299);
}

TEST(FormFitter, GroupBoxChildrenStartBelowTheTitleAndTheBoxGrowsPushingWhatFollows)
{
    QWidget page;
    page.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    TFormFitter fitter;
    auto* group = new QGroupBox(QStringLiteral("Options"), &page);
    auto* first = new THinted(QSize(80, 20), group);
    auto* second = new THinted(QSize(80, 20), group);
    auto* after = new THinted(QSize(200, 20), &page);
    fitter.Design(group, QRect(5, 5, 200, 40));
    fitter.Design(first, QRect(10, TFormFitter::kDesignContentTop, 0, 0));
    fitter.Design(second, QRect(10, TFormFitter::kDesignContentTop + 16, 0, 0));
    fitter.Design(after, QRect(5, 52, 0, 0)); // 7 px below the box as designed
    fitter.Fit();
    const QRect contents = group->contentsRect();
    EXPECT_EQ(first->y(), contents.top());
    EXPECT_EQ(second->y(), first->geometry().bottom() + 2);
    EXPECT_TRUE(contents.contains(first->geometry()));
    EXPECT_TRUE(contents.contains(second->geometry()));
    EXPECT_EQ(group->width(), 200);
    EXPECT_GT(group->height(), 40);
    EXPECT_GE(group->geometry().bottom() - 5 - second->geometry().bottom(), TFormFitter::kFramePad);
    EXPECT_EQ(after->y(), group->geometry().bottom() + 1 + 7);

    // A second fit (after a font change, say) starts again from the design.
    group->setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
    fitter.Fit();
    EXPECT_EQ(first->y(), group->contentsRect().top());
    EXPECT_EQ(after->y(), group->geometry().bottom() + 1 + 7);
}

TEST(FormFitter, ControlsPushedPastTheRightEdgeComeBackWithTheirNeighbours)
{
    // Two labels at the top right of a page whose widest control ends at x 537. A wider first
    // label pushes the second one out; both then move left just far enough. When they fit
    // (the first label 93 wide ends 4 px before the second) nothing moves.
    const struct {
        int firstWidth;
        int expectedFirstLeft;
        int expectedSecondLeft;
    } cases[] = { { 93, 373, 470 }, { 94, 373, 471 }, { 112, 355, 471 } };
    for (const auto& c : cases) {
        QWidget page;
        TFormFitter fitter;
        auto* first = new THinted(QSize(c.firstWidth, 13), &page);
        auto* second = new THinted(QSize(66, 13), &page);
        auto* list = new THinted(QSize(100, 100), &page);
        fitter.Design(first, QRect(373, 0, 0, 0));
        fitter.Design(second, QRect(470, 0, 0, 0));
        fitter.Design(list, QRect(8, 20, 529, 200));
        fitter.Fit();
        EXPECT_EQ(first->x(), c.expectedFirstLeft) << c.firstWidth;
        EXPECT_EQ(second->x(), c.expectedSecondLeft) << c.firstWidth;
        EXPECT_LE(second->geometry().right(), 536) << c.firstWidth;
        EXPECT_GE(second->x() - first->geometry().right() - 1, TFormFitter::kMinGapX) << c.firstWidth;
    }
}

TEST(FormFitter, PairedLabelIsCentredOnItsField)
{
    QWidget page;
    TFormFitter fitter;
    auto* label = new THinted(QSize(40, 13), &page);
    auto* field = new THinted(QSize(60, 25), &page);
    fitter.Design(label, QRect(10, 21, 0, 0));
    fitter.Design(field, QRect(45, 17, 0, 0));
    fitter.Pair(label, field);
    fitter.Fit();
    EXPECT_EQ(label->y() + label->height() / 2, field->y() + field->height() / 2);
    EXPECT_EQ(fitter.Children(&page), (std::vector<QWidget*> { label, field }));
    EXPECT_EQ(fitter.Designed(label), QRect(10, 21, 0, 0));
    EXPECT_TRUE(fitter.IsDesigned(label));
    EXPECT_FALSE(fitter.IsDesigned(&page));
}

TEST(FormFitter, GridsOfControlsLargerThanTheirDesignNeverOverlap)
{
    // Controls designed on a grid at 16 x 60 px pitch that turn out up to half as large again
    // as the grid allows, with jittered places: after fitting no two touch.
    QRandomGenerator random(1515);
    for (int layout = 0; layout < 40; ++layout) {
        QWidget page;
        TFormFitter fitter;
        std::vector<QWidget*> widgets;
        for (int row = 0; row < 6; ++row) {
            for (int column = 0; column < 5; ++column) {
                const QSize hint(40 + random.bounded(50), 12 + random.bounded(12));
                auto* w = new THinted(hint, &page);
                fitter.Design(w, QRect(column * 60 + random.bounded(5), row * 16 + random.bounded(5), 0, 0));
                widgets.push_back(w);
            }
        }
        // A wide control below them sets the right edge, as the lists of the demo do.
        auto* wide = new THinted(QSize(600, 50), &page);
        fitter.Design(wide, QRect(0, 200, 0, 0));
        widgets.push_back(wide);
        fitter.Fit();
        for (size_t i = 0; i < widgets.size(); ++i) {
            EXPECT_LE(widgets[i]->geometry().right(), 599);
            const QRect designed = fitter.Designed(widgets[i]);
            EXPECT_GE(widgets[i]->x(), designed.x()); // only ever right or down
            EXPECT_GE(widgets[i]->y(), designed.y());
            for (size_t j = i + 1; j < widgets.size(); ++j)
                EXPECT_FALSE(Touch(widgets[i]->geometry(), widgets[j]->geometry()))
                    << "layout " << layout << ": " << i << " and " << j;
        }
    }
}

// ---- the demo window -----------------------------------------------------------------------------

class DemoLook : public DemoWindowTest {
protected:
    void Prepare(TForm1& f) override
    {
        f.OpenURL = [](const QString&) {};
    }

    // Every visible control directly in `container`: none overlaps or touches another; in a group
    // box each lies inside the contents the style leaves below the title and inside the frame.
    void ExpectApart(QWidget* container, const char* name)
    {
        std::vector<QWidget*> children;
        for (QWidget* w : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!w->isWindow() && !w->isHidden())
                children.push_back(w);
        ASSERT_FALSE(children.empty()) << name;
        auto* group = qobject_cast<QGroupBox*>(container);
        const QRect inside = group ? group->contentsRect() : container->rect();
        for (size_t i = 0; i < children.size(); ++i) {
            const QRect a = children[i]->geometry();
            EXPECT_TRUE(inside.contains(a))
                << name << ": " << children[i]->objectName().toStdString() << " at " << a.x() << "," << a.y()
                << " " << a.width() << "x" << a.height();
            for (size_t j = i + 1; j < children.size(); ++j)
                EXPECT_FALSE(Touch(a, children[j]->geometry()))
                    << name << ": " << children[i]->objectName().toStdString() << " and "
                    << children[j]->objectName().toStdString();
        }
    }
    void ExpectEveryPageApart()
    {
        TForm1& f = *form;
        // Pages not showing are laid out too; show each so that its size is the real one.
        for (int page = 0; page < 3; ++page) {
            f.PageControl1->setCurrentIndex(page);
            QApplication::processEvents();
            ExpectApart(f.PageControl1->currentWidget(), "page");
        }
        f.PageControl1->setCurrentIndex(0);
        ExpectApart(f.RadioGroup1, "Mouse control");
        ExpectApart(f.GroupBox1, "Various");
        ExpectApart(f.GroupBox2, "Printing");
        // The cases a user saw: the label reads clear of its spin box, the button is inside
        // "Printing", the radio buttons are inside "Mouse control".
        EXPECT_LT(f.Label1->geometry().right() + 1, f.SpinEdit1->x());
        EXPECT_TRUE(f.GroupBox2->contentsRect().contains(f.Button8->geometry()));
        for (int i = 0; i < f.RadioGroup1->Count(); ++i)
            EXPECT_TRUE(f.RadioGroup1->contentsRect().contains(f.RadioGroup1->Button(i)->geometry())) << i;
    }

};

TEST_F(DemoLook, NoControlOverlapsOrTouchesAnotherOnAnyPage)
{
    ExpectEveryPageApart();
    // The three group boxes follow one another down the page, and the list stays below them.
    TForm1& f = *form;
    EXPECT_LT(f.RadioGroup1->geometry().bottom(), f.GroupBox1->y());
    EXPECT_LT(f.GroupBox1->geometry().bottom(), f.GroupBox2->y());
    EXPECT_LT(f.GroupBox2->geometry().bottom(), f.OrvListView2->y());
    EXPECT_GT(f.OrvListView2->height(), 150); // still a list worth looking at
}

TEST_F(DemoLook, ALargerFontIsFittedAgain)
{
    TForm1& f = *form;
    const int listHeight = f.OrvListView2->height();
    QFont font = f.font();
    font.setPixelSize(font.pixelSize() + 2);
    f.setFont(font);
    QApplication::processEvents();
    ExpectEveryPageApart();
    EXPECT_LT(f.OrvListView2->height(), listHeight); // the taller controls took room from the list
    EXPECT_EQ(f.OrvListView2->geometry().bottom(), 208 + 273 - 1);
}

TEST(DemoWindowPlace, TheDesignedPlaceUnlessTheScreenHasNoRoomThere)
{
    const QSize window(554, 560);
    const struct {
        QRect screen;
        QPoint expected;
    } cases[] = {
        { QRect(0, 0, 1280, 1024), QPoint(446, 106) }, // room to spare
        { QRect(0, 0, 1000, 666), QPoint(446, 106) }, // just room: right and bottom edges meet
        { QRect(0, 0, 999, 665), QPoint(445, 105) }, // a pixel short each way
        { QRect(0, 0, 853, 682), QPoint(299, 106) }, // 1280 x 1024 at 144 dpi
        { QRect(0, 30, 1280, 600), QPoint(446, 70) }, // a panel along the top
        { QRect(100, 50, 400, 300), QPoint(100, 50) }, // smaller than the window: its corner shows
    };
    for (const auto& c : cases)
        EXPECT_EQ(TForm1::PlaceOnScreen(QPoint(446, 106), window, c.screen), c.expected)
            << c.screen.width() << "x" << c.screen.height();
}

// ---- keyboard ------------------------------------------------------------------------------------

QChar AccessKey(const QString& caption)
{
    const qsizetype amp = caption.indexOf(u'&');
    return amp >= 0 && amp + 1 < caption.size() ? caption[amp + 1].toUpper() : QChar();
}

TEST_F(DemoLook, EveryMenuAndItemHasItsOwnAccessKey)
{
    TForm1& f = *form;
    QSet<QChar> topKeys;
    for (QAction* top : f.MainMenu1->actions()) {
        const QChar key = AccessKey(top->text());
        ASSERT_FALSE(key.isNull()) << top->text().toStdString();
        EXPECT_EQ(top->text().count(u'&'), 1) << top->text().toStdString();
        EXPECT_FALSE(topKeys.contains(key)) << top->text().toStdString();
        topKeys.insert(key);
        if (!top->menu())
            continue;
        QSet<QChar> keys;
        for (QAction* item : top->menu()->actions()) {
            if (item->isSeparator())
                continue;
            const QChar itemKey = AccessKey(item->text());
            ASSERT_FALSE(itemKey.isNull()) << item->text().toStdString();
            EXPECT_EQ(item->text().count(u'&'), 1) << item->text().toStdString();
            EXPECT_FALSE(keys.contains(itemKey)) << item->text().toStdString();
            keys.insert(itemKey);
        }
    }
}

TEST_F(DemoLook, UsualCommandsHaveTheStandardShortcutsAndNoKeyIsShared)
{
    TForm1& f = *form;
    const struct {
        QAction* action;
        QKeySequence::StandardKey key;
    } expected[] = {
        { f.Savetofile1, QKeySequence::Save },
        { f.Loadfromfile1, QKeySequence::Open },
        { f.Print1, QKeySequence::Print },
        { f.Cut1, QKeySequence::Cut },
        { f.Copyselected1, QKeySequence::Copy },
        { f.Paste1, QKeySequence::Paste },
    };
    for (const auto& e : expected) {
        EXPECT_EQ(e.action->shortcuts(), QKeySequence::keyBindings(e.key))
            << e.action->objectName().toStdString();
        EXPECT_FALSE(e.action->shortcuts().isEmpty());
    }
    EXPECT_EQ(f.Copyselected1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(f.Cut1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(f.Paste1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    EXPECT_TRUE(f.Copy1->shortcuts().isEmpty());

    QHash<QKeySequence, QString> owners;
    for (QAction* action : f.findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            EXPECT_FALSE(owners.contains(key))
                << key.toString().toStdString() << " on " << action->objectName().toStdString() << " and "
                << owners.value(key).toStdString();
            owners.insert(key, action->objectName());
        }
    }
}

TEST_F(DemoLook, MenusOpenWithAltAndTheirLettersPickItems)
{
    TForm1& f = *form;
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    TOrvListView& list = *f.OrvListView2;
    const int rows = list.Items().Count();
    ASSERT_GT(rows, 0);

    const struct {
        Qt::Key key;
        QMenu* menu;
    } menus[] = { { Qt::Key_F, f.File1 }, { Qt::Key_E, f.Edit1 }, { Qt::Key_S, f.Sort1 },
        { Qt::Key_D, f.Draw1 }, { Qt::Key_M, f.Move1 } };
    for (const auto& m : menus) {
        QTest::keyClick(&f, m.key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return m.menu->isVisible(); }, 2000))
            << m.menu->objectName().toStdString();
        QTest::keyClick(m.menu, Qt::Key_Escape);
        QTest::keyClick(f.MainMenu1, Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !m.menu->isVisible(); }, 2000));
    }

    // Keyboard only: Ctrl+S saves the list, File > Clear empties it (Alt+F, E), File > Load
    // from file (Alt+F, L) brings the rows back.
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("test.dat"))));
    QTest::keyClick(&f, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.File1->isVisible(); }, 2000));
    QTest::keyClick(f.File1, Qt::Key_E);
    EXPECT_EQ(list.Items().Count(), 0);
    QTest::keyClick(&f, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.File1->isVisible(); }, 2000));
    QTest::keyClick(f.File1, Qt::Key_L);
    EXPECT_EQ(list.Items().Count(), rows);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST_F(DemoLook, ClipboardKeysActThroughTheListButLeaveEditBoxesTheirOwn)
{
    TForm1& f = *form;
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    TOrvListView& list = *f.OrvListView2;
    const int rows = list.Items().Count();
    ASSERT_GE(rows, 3);
    const QString secondCar = list.Cells(0, 1);
    list.Items()[1].SetSelected(true);
    list.setFocus();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();

    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    const QString copied = clipboard->text();
    EXPECT_TRUE(copied.startsWith(secondCar + u'\t')) << copied.toStdString();
    EXPECT_EQ(copied.count(QStringLiteral("\r\n")), 1); // the selected row only
    EXPECT_EQ(list.Items().Count(), rows);

    QTest::keyClick(&list, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(list.Items().Count(), rows - 1);
    EXPECT_NE(list.Cells(0, 1), secondCar);

    QTest::keyClick(&list, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(list.Items().Count(), rows);
    bool back = false;
    for (int r = 0; r < list.Items().Count(); ++r)
        back = back || list.Cells(0, r) == secondCar;
    EXPECT_TRUE(back);

    // In the title box Ctrl+C copies the box's text: the edit box takes its own keys first.
    f.Edit2->setText(QStringLiteral("My title"));
    f.Edit2->setFocus();
    f.Edit2->selectAll();
    QTest::keyClick(f.Edit2, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("My title"));
    EXPECT_EQ(list.Items().Count(), rows);
}

} // namespace
