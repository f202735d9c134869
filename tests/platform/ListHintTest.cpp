// Hints of the platform list: the control is asked before a hint shows, may change text, place
// and content or refuse, and the hint goes when the mouse leaves, presses or scrolls.
#include "platform/TCanvas.h"
#include "platform/TCustomListView.h"
#include "platform/THintWindow.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class HintList : public TCustomListView {
public:
    std::vector<THintRequest> asked;
    std::function<bool(THintRequest&)> answer;

protected:
    bool HintShow(THintRequest& request) override
    {
        const bool show = answer ? answer(request) : TCustomListView::HintShow(request);
        asked.push_back(request);
        return show;
    }
};

struct HintFixture {
    HintList list;
    HintFixture()
    {
        list.SetToolTipsEnabled(false);
        list.Columns().Add().SetWidth(120);
        for (int r = 0; r < 5; ++r)
            list.Items().Add().SetCaption(QString("row %1").arg(r));
        list.resize(300, 200);
        list.show();
    }
    void Ask(QPoint pos)
    {
        QHelpEvent help(QEvent::ToolTip, pos, list.viewport()->mapToGlobal(pos));
        QApplication::sendEvent(list.viewport(), &help);
    }
};

} // namespace

TEST(ListHint, TheControlDecidesTextPlaceAndWhetherItShows)
{
    HintFixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));

    // Nothing to say: no tool tip, no answer, no hint.
    f.Ask(QPoint(10, 5));
    ASSERT_EQ(f.list.asked.size(), 1u);
    EXPECT_EQ(f.list.asked[0].cursorPos, (TPoint { 10, 5 }));
    EXPECT_GT(f.list.asked[0].maxWidth, 0);
    EXPECT_FALSE(f.list.HintWindow().Visible());

    // The widget's tool tip is the ordinary hint, below the pointer.
    f.list.setToolTip("ordinary");
    f.Ask(QPoint(10, 5));
    ASSERT_TRUE(f.list.HintWindow().Visible());
    EXPECT_EQ(f.list.HintWindow().Text(), "ordinary");
    const QPoint global = f.list.viewport()->mapToGlobal(QPoint(10, 5));
    EXPECT_EQ(f.list.HintWindow().ScreenRect().left, global.x());
    EXPECT_EQ(f.list.HintWindow().ScreenRect().top, global.y() + TCustomListView::kHintCursorGap);

    // The control moves it and changes its text, or refuses it.
    f.list.answer = [](THintRequest& r) {
        r.text = "changed";
        r.hintPos = TPoint { 200, 300 };
        return true;
    };
    f.Ask(QPoint(10, 20));
    EXPECT_EQ(f.list.HintWindow().Text(), "changed");
    EXPECT_EQ(f.list.HintWindow().ScreenRect().left, 200);
    EXPECT_EQ(f.list.HintWindow().ScreenRect().top, 300);
    const TRect size = f.list.HintWindow().CalcHintRect(10000, "changed");
    EXPECT_EQ(f.list.HintWindow().ScreenRect().Width(), size.Width());
    f.list.answer = [](THintRequest&) { return false; };
    f.Ask(QPoint(10, 20));
    EXPECT_FALSE(f.list.HintWindow().Visible());
}

TEST(ListHint, OwnerDrawnContentGetsItsSizeAndPaints)
{
    HintFixture f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    int painted = 0;
    TRect paintedIn;
    f.list.answer = [&](THintRequest& r) {
        r.text = "<b>x</b>";
        r.contentWidth = 70;
        r.contentHeight = 30;
        r.paint = [&](TCanvas&, const TRect& content) {
            ++painted;
            paintedIn = content;
        };
        return true;
    };
    f.Ask(QPoint(10, 5));
    ASSERT_TRUE(f.list.HintWindow().Visible());
    EXPECT_EQ(f.list.HintWindow().ScreenRect().Width(), THintWindow::RectForContent(70, 30).Width());
    EXPECT_EQ(f.list.HintWindow().ScreenRect().Height(), THintWindow::RectForContent(70, 30).Height());
    EXPECT_TRUE(QTest::qWaitFor([&] { return painted > 0; }, 2000));
    EXPECT_EQ(paintedIn.Width(), 70);
    EXPECT_EQ(paintedIn.Height(), 30);
}

TEST(ListHint, LeavingPressingOrScrollingCancelsTheHint)
{
    HintFixture f;
    for (int r = 5; r < 50; ++r)
        f.list.Items().Add().SetCaption(QString("row %1").arg(r));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.list));
    f.list.setToolTip("tip");
    f.Ask(QPoint(10, 5));
    ASSERT_TRUE(f.list.HintWindow().Visible());
    // A hint over the pointer may take it from the rows: that is no leaving while the pointer
    // is still over them.
    QCursor::setPos(f.list.viewport()->mapToGlobal(QPoint(10, 5)));
    QEvent leave(QEvent::Leave);
    if (QCursor::pos() == f.list.viewport()->mapToGlobal(QPoint(10, 5))) {
        QApplication::sendEvent(f.list.viewport(), &leave);
        EXPECT_TRUE(f.list.HintWindow().Visible());
    }
    QCursor::setPos(f.list.viewport()->mapToGlobal(QPoint(10, -30)));
    QApplication::sendEvent(f.list.viewport(), &leave);
    EXPECT_FALSE(f.list.HintWindow().Visible());

    f.Ask(QPoint(10, 5));
    ASSERT_TRUE(f.list.HintWindow().Visible());
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, {}, QPoint(10, 40));
    EXPECT_FALSE(f.list.HintWindow().Visible());

    f.Ask(QPoint(10, 5));
    ASSERT_TRUE(f.list.HintWindow().Visible());
    f.list.ScrollLines(2);
    EXPECT_FALSE(f.list.HintWindow().Visible());

    f.Ask(QPoint(10, 5));
    ASSERT_TRUE(f.list.HintWindow().Visible());
    f.list.CancelHint();
    EXPECT_FALSE(f.list.HintWindow().Visible());
}

TEST(HintWindow, LinesWrapAtTheMaximumWidth)
{
    THintWindow window;
    const QString text = "one two three four five six seven eight nine ten";
    const TRect wide = window.CalcHintRect(10000, text);
    const TRect narrow = window.CalcHintRect(100, text);
    const int frame = THintWindow::RectForContent(0, 0).Width();
    EXPECT_LE(narrow.Width() - frame, 100);
    EXPECT_GT(wide.Width() - frame, 100);
    EXPECT_GE(narrow.Height(), 2 * (wide.Height() - frame));
    EXPECT_FALSE(window.Visible());
    window.ActivateHint(TRect { 10, 10, 60, 30 }, "x");
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(window.ScreenRect(), (TRect { 10, 10, 60, 30 }));
    window.ReleaseHint();
    EXPECT_FALSE(window.Visible());

    // A pause hides it by itself.
    window.ActivateHint(TRect { 10, 10, 60, 30 }, "x", 50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.Visible(); }, 2000));
}
