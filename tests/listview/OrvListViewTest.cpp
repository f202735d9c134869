// TOrvListView as a component: start values, setter rules, window life cycle, free
// notification and the row drawing hooks.
#include "listview/TOrvListView.h"

#include "pictures/TPictureContainer.h"
#include "platform/THeaderControl.h"
#include "platform/TImageList.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Counts repaint requests so that "the setter invalidates" can be observed.
class CountingList : public TOrvListView {
public:
    using TOrvListView::TOrvListView;
    void Invalidate() override
    {
        ++invalidations;
        TOrvListView::Invalidate();
    }
    void ItemSelected(int index) override { selected.push_back(index); }
    int invalidations = 0;
    std::vector<int> selected;
};

TEST(OrvListView, StartValuesAfterConstruction)
{
    TOrvListView list;
    EXPECT_TRUE(list.OwnerDraw());
    EXPECT_TRUE(list.OwnerDrawFixed());
    EXPECT_TRUE(list.HeaderOwnerDraw());
    EXPECT_EQ(list.ItemHeight(), 13);
    EXPECT_EQ(list.HeaderHeight(), 13);
    EXPECT_EQ(list.ViewStyle(), vsReport);
    EXPECT_EQ(list.URLColor(), clBlue);
    EXPECT_EQ(list.SelectionColor(), clHighlight);
    EXPECT_EQ(list.SelectionTextColor(), clHighlightText);
    EXPECT_EQ(list.VAlignment(), vtaCenter);
    EXPECT_EQ(list.VerticalTextFlag(), unsigned(DT_VCENTER));
    EXPECT_EQ(list.SortColumn(), -1);
    EXPECT_EQ(list.SortIndicatorColumn(), -2);
    EXPECT_EQ(list.SortDirection(), sdAscending);
    EXPECT_EQ(list.SortIndicator(), siLeft);
    EXPECT_EQ(list.SelectedColumn(), 0);
    EXPECT_EQ(list.FilterTimeOut(), 0);
    EXPECT_EQ(list.HoverTime(), 0);
    EXPECT_FALSE(list.TimerRunning());
    EXPECT_EQ(list.Delimiter(), QChar(0));
    EXPECT_FALSE(list.HandleAllocated());
    for (bool flag : { list.AutoHint(), list.FlatScrollBar(), list.ClipboardEnable(), list.FilterBar(),
             list.HTMLHint(), list.HeaderHotTrack(), list.HeaderDragDrop(), list.HeaderFlatStyle(),
             list.SelectionRTFKeep(), list.ScrollHint(), list.SizeWithForm(), list.SortShow(),
             list.SubImages(), list.SubItemEdit(), list.SubItemSelect(), list.URLShow(), list.URLFull(),
             list.WordWrap(), list.SaveHeader(), list.LoadHeader(), list.ReArrangeItems() })
        EXPECT_FALSE(flag);
    EXPECT_EQ(list.HeaderImages(), nullptr);
    EXPECT_EQ(list.PictureContainer(), nullptr);
    for (const TBitmap* glyph : { &list.CheckTrueGlyph(), &list.CheckFalseGlyph(), &list.SortUpGlyph(),
             &list.SortDownGlyph(), &std::as_const(list).Wallpaper() })
        EXPECT_TRUE(glyph->Empty());

    EXPECT_EQ(list.DetailView().Height(), 16);
    EXPECT_EQ(list.DetailView().Font().Color(), clBlue);
    EXPECT_FALSE(list.DetailView().Visible());
    EXPECT_EQ(list.DetailView().Column(), 0);
    EXPECT_EQ(list.HTMLSettings().Width(), 100);
    EXPECT_EQ(list.HTMLSettings().BorderSize(), 1);
    EXPECT_TRUE(list.HTMLSettings().SaveColor());
    EXPECT_EQ(list.PrintSettings().PageNumSep(), QStringLiteral("/"));
    EXPECT_EQ(list.PrintSettings().DateFormat(), QStringLiteral("dd/mm/yyyy"));
    EXPECT_FALSE(list.ColumnSize().Save());
    EXPECT_EQ(list.ColumnSize().Storage(), stInifile);
    EXPECT_EQ(list.ColumnSize().List(), &list);

    EXPECT_EQ(list.VersionNumber(), 0x00360001);
    EXPECT_EQ(list.VersionNumber() & 0xFFFF, 1);
    EXPECT_EQ(list.VersionNumber() >> 16, 54);
    EXPECT_EQ(list.VersionText(), QStringLiteral("1.54, August 2001"));
}

TEST(OrvListView, ItemHeightIgnoresNonPositiveValuesAndRemeasures)
{
    TOrvListView list;
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    EXPECT_EQ(list.RowHeight(), 13);
    for (int bad : { 0, -1, -40 }) {
        list.SetItemHeight(bad);
        EXPECT_EQ(list.ItemHeight(), 13) << bad;
    }
    list.SetItemHeight(60);
    EXPECT_EQ(list.ItemHeight(), 60);
    EXPECT_EQ(list.RowHeight(), 60); // the platform asked for the height again
}

TEST(OrvListView, ExtendedStyleBitsFollowTheirProperties)
{
    struct Case {
        const char* name;
        void (TOrvListView::*set)(bool);
        unsigned bit;
    };
    const Case cases[] = {
        { "FlatScrollBar", &TOrvListView::SetFlatScrollBar, LVS_EX_FLATSB },
        { "SubImages", &TOrvListView::SetSubImages, LVS_EX_SUBITEMIMAGES },
        { "HeaderDragDrop", &TOrvListView::SetHeaderDragDrop, LVS_EX_HEADERDRAGDROP },
    };
    for (const Case& c : cases) {
        TOrvListView list;
        list.SetCheckboxes(true); // an unrelated bit that must stay
        (list.*c.set)(true);
        EXPECT_EQ(list.ExtendedStyle() & c.bit, c.bit) << c.name;
        EXPECT_TRUE(list.ExtendedStyle() & LVS_EX_CHECKBOXES) << c.name;
        (list.*c.set)(false);
        EXPECT_EQ(list.ExtendedStyle() & c.bit, 0u) << c.name;
        EXPECT_TRUE(list.ExtendedStyle() & LVS_EX_CHECKBOXES) << c.name;
    }
}

TEST(OrvListView, OwnerDrawRecreatesTheWindowAndKeepsTheExtendedStyle)
{
    TOrvListView list;
    list.SetHeaderDragDrop(true);
    list.SetFlatScrollBar(true);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const unsigned exStyle = list.ExtendedStyle();
    list.SetFilterTimeOut(2000);
    list.RichEdit().SetText(QStringLiteral("left over"));

    list.SetOwnerDraw(false);
    EXPECT_FALSE(list.OwnerDraw());
    EXPECT_FALSE(list.OwnerDrawFixed());
    EXPECT_TRUE(list.HandleAllocated());
    EXPECT_EQ(list.ExtendedStyle(), exStyle);
    // Window creation ran again: time-out reset, a fresh rich-edit, the timer running.
    EXPECT_EQ(list.FilterTimeOut(), 500);
    EXPECT_TRUE(list.RichEdit().PlainText().isEmpty());
    EXPECT_EQ(list.TimerId(), 1222);

    list.SetOwnerDraw(true);
    EXPECT_TRUE(list.OwnerDrawFixed());
    EXPECT_EQ(list.ExtendedStyle(), exStyle);
}

TEST(OrvListView, WindowCreationTakesTimeOutsAndStartsTheTimer)
{
    TOrvListView list;
    list.SetFilterTimeOut(1234);
    EXPECT_EQ(list.FilterTimeOut(), 1234);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    EXPECT_EQ(list.FilterTimeOut(), 500);
    EXPECT_EQ(list.HoverTime(), list.TCustomListView::HoverTime());
    EXPECT_TRUE(list.TimerRunning());
    EXPECT_EQ(list.TimerId(), 1222);

    list.DestroyWnd();
    EXPECT_FALSE(list.TimerRunning());
    list.SetFilterTimeOut(77);
    list.CreateWnd();
    EXPECT_EQ(list.FilterTimeOut(), 500);
    EXPECT_TRUE(list.TimerRunning());

    // The hover time setter hands the value on and ignores repeats.
    list.SetHoverTime(250);
    EXPECT_EQ(list.HoverTime(), 250);
    EXPECT_EQ(list.TCustomListView::HoverTime(), 250);

    // -1 is the platform's default, not an instant hover.
    TOrvListView fresh;
    const int platformDefault = fresh.TCustomListView::HoverTime();
    ASSERT_GT(platformDefault, 0);
    fresh.SetHoverTime(-1);
    EXPECT_EQ(fresh.HoverTime(), -1);
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    EXPECT_EQ(fresh.HoverTime(), platformDefault);
}

TEST(OrvListView, HeaderStylesFollowTheirProperties)
{
    TOrvListView list;
    list.SetHeaderHotTrack(true);
    EXPECT_TRUE(list.Header().Style() & HDS_HOTTRACK);
    list.SetHeaderFlatStyle(true);
    EXPECT_FALSE(list.Header().Style() & HDS_BUTTONS);
    list.SetHeaderFlatStyle(false);
    EXPECT_TRUE(list.Header().Style() & HDS_BUTTONS);
    list.SetFilterBar(true);
    EXPECT_TRUE(list.Header().Style() & HDS_FILTERBAR);
    list.SetFilterTimeOut(2000);
    EXPECT_EQ(list.Header().FilterTimeOut(), 2000);

    list.Columns().Add().SetCaption(QStringLiteral("A"));
    list.Columns().Add().SetCaption(QStringLiteral("B"));
    list.SetHeaderOwnerDraw(true);
    EXPECT_EQ(list.Header().Format(0), unsigned(HDF_OWNERDRAW));
    EXPECT_EQ(list.Header().Format(1), unsigned(HDF_OWNERDRAW));
    list.SetHeaderOwnerDraw(false);
    EXPECT_EQ(list.Header().Format(0), unsigned(HDF_STRING));
    list.SetHeaderHeight(32); // stored only while the header is not owner drawn
    EXPECT_EQ(list.HeaderHeight(), 32);
}

TEST(OrvListView, HeaderChangesLayTheRowsOutAgain)
{
    TOrvListView list;
    list.Columns().Add().SetCaption(QStringLiteral("A"));
    list.Items().Add().SetCaption(QStringLiteral("row"));
    list.resize(300, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const int plainTop = list.viewport()->geometry().top();
    EXPECT_GE(plainTop, list.Header().height());

    list.SetFilterBar(true);
    const int filterTop = list.viewport()->geometry().top();
    EXPECT_GT(filterTop, plainTop);
    EXPECT_GE(filterTop, list.Header().geometry().bottom());

    list.SetFilterBar(false);
    list.SetHeaderHeight(32);
    EXPECT_GT(list.viewport()->geometry().top(), plainTop);
    EXPECT_GE(list.viewport()->geometry().top(), list.Header().geometry().bottom());
}

TEST(OrvListView, WallpaperBecomesTheBackgroundBrush)
{
    TOrvListView list;
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::green);
    TBitmap picture(tile);
    list.SetWallpaper(picture);
    EXPECT_TRUE(list.BackgroundBrush().HasPattern());
    EXPECT_EQ(list.TextBkColor(), clNone); // text over the picture has no background of its own
    picture.Clear(); // a copy was taken
    EXPECT_FALSE(list.Wallpaper().Empty());

    list.Wallpaper().Clear(); // editing the owned picture applies the background again
    EXPECT_FALSE(list.BackgroundBrush().HasPattern());
    EXPECT_EQ(list.TextBkColor(), list.Color());
}

TEST(OrvListView, VAlignmentChoosesTheVerticalTextFlag)
{
    TOrvListView list;
    list.SetVAlignment(vtaTop);
    EXPECT_EQ(list.VerticalTextFlag(), unsigned(DT_TOP));
    list.SetVAlignment(vtaBottom);
    EXPECT_EQ(list.VerticalTextFlag(), unsigned(DT_BOTTOM));
    list.SetVAlignment(vtaCenter);
    EXPECT_EQ(list.VerticalTextFlag(), unsigned(DT_VCENTER));
}

TEST(OrvListView, RemovedHeaderImagesAndPicturesAreForgotten)
{
    TOrvListView list;
    {
        TImageList images;
        list.SetHeaderImages(&images);
        EXPECT_EQ(list.HeaderImages(), &images);
    }
    EXPECT_EQ(list.HeaderImages(), nullptr);
    {
        TPictureContainer pictures;
        list.SetPictureContainer(&pictures);
        EXPECT_EQ(list.PictureContainer(), &pictures);
    }
    EXPECT_EQ(list.PictureContainer(), nullptr);

    // A replaced image list no longer reaches the list when it goes.
    auto first = std::make_unique<TImageList>();
    TImageList second;
    list.SetHeaderImages(first.get());
    list.SetHeaderImages(&second);
    first.reset();
    EXPECT_EQ(list.HeaderImages(), &second);

    // And a list that goes first leaves nothing behind in the image list.
    {
        TOrvListView shortLived;
        shortLived.SetHeaderImages(&second);
    }
    second.Add(QImage(16, 16, QImage::Format_ARGB32)); // would call into the dead list
    EXPECT_EQ(second.Count(), 1);
}

TEST(OrvListView, DetailSettingsIgnoreBadValuesAndRepaint)
{
    CountingList list;
    TDetails& d = list.DetailView();
    int before = list.invalidations;

    d.SetHeight(-5);
    d.SetColumn(-1);
    d.SetHeight(16); // unchanged
    d.SetColumn(0);
    d.SetVisible(false);
    d.SetIndent(0);
    d.SetSplitLine(false);
    EXPECT_EQ(list.invalidations, before);
    EXPECT_EQ(d.Height(), 16);
    EXPECT_EQ(d.Column(), 0);

    d.SetHeight(40);
    d.SetColumn(4);
    d.SetVisible(true);
    d.SetIndent(20);
    d.SetSplitLine(true);
    EXPECT_EQ(list.invalidations, before + 5);
    EXPECT_EQ(d.Height(), 40);
    EXPECT_EQ(d.Column(), 4);
    EXPECT_EQ(d.Indent(), 20);
    EXPECT_TRUE(d.Visible() && d.SplitLine());
    d.SetHeight(0); // zero is a valid height
    EXPECT_EQ(d.Height(), 0);

    // The font is a copy: changing the source later does nothing, changing the copy repaints.
    TFont source;
    source.SetName(QStringLiteral("Tahoma"));
    source.SetColor(clRed);
    d.SetFont(source);
    EXPECT_EQ(d.Font().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(d.Font().Color(), clRed);
    source.SetColor(clGreen);
    EXPECT_EQ(d.Font().Color(), clRed);
    before = list.invalidations;
    d.Font().SetColor(clNavy);
    EXPECT_GT(list.invalidations, before);
}

TEST(OrvListView, SettingFontsAreCopies)
{
    TOrvListView list;
    TFont font;
    font.SetName(QStringLiteral("Courier"));
    font.SetSize(12);
    list.PrintSettings().SetFont(font);
    list.PrintSettings().SetHeaderFont(font);
    list.PrintSettings().SetFooterFont(font);
    font.SetSize(20);
    for (const TFont* f : { &list.PrintSettings().Font(), &list.PrintSettings().HeaderFont(),
             &list.PrintSettings().FooterFont() }) {
        EXPECT_EQ(f->Name(), QStringLiteral("Courier"));
        EXPECT_EQ(f->Size(), 12);
    }
    list.SetHeaderFont(font);
    font.SetSize(8);
    EXPECT_EQ(list.HeaderFont().Size(), 20);
}

TEST(OrvListView, PrintSettingsStartAtTheirDefaults)
{
    TPrintsettings p;
    EXPECT_EQ(p.Time(), ppNone);
    EXPECT_EQ(p.Date(), ppNone);
    EXPECT_EQ(p.PageNr(), ppNone);
    EXPECT_EQ(p.Title(), ppNone);
    EXPECT_EQ(p.Borders(), pbNoborder);
    EXPECT_EQ(p.BorderStyle(), psSolid);
    EXPECT_EQ(p.Orientation(), poPortrait);
    EXPECT_EQ(p.FitToPage(), fpNever);
    for (int v : { p.FooterSize(), p.HeaderSize(), p.LeftSize(), p.RightSize(), p.ColumnSpacing(),
             p.RowSpacing(), p.FixedWidth(), p.FixedHeight() })
        EXPECT_EQ(v, 0);
    EXPECT_FALSE(p.Centered() || p.RepeatHeaders() || p.UseFixedHeight() || p.UseFixedWidth());
    EXPECT_TRUE(p.PagePrefix().isEmpty() && p.PageSuffix().isEmpty() && p.TitleText().isEmpty()
        && p.JobName().isEmpty());

    TPrintsettings q;
    q.SetTitleText(QStringLiteral("This is a test"));
    q.SetPagePrefix(QStringLiteral("page"));
    q.SetFitToPage(fpAlways);
    q.Font().SetName(QStringLiteral("Tahoma"));
    p.Assign(q);
    EXPECT_EQ(p.TitleText(), QStringLiteral("This is a test"));
    EXPECT_EQ(p.PagePrefix(), QStringLiteral("page"));
    EXPECT_EQ(p.FitToPage(), fpAlways);
    EXPECT_EQ(p.Font().Name(), QStringLiteral("Tahoma"));
}

// Paints a shown list into an image and returns what DoDrawItemProp saw.
TEST(OrvListView, PaintingAsksForEveryCellAndUsesTheChangedColours)
{
    TOrvListView list;
    list.Columns().Add().SetWidth(60);
    list.Columns().Add().SetWidth(60);
    for (int r = 0; r < 3; ++r) {
        TListItem& item = list.Items().Add();
        item.SetCaption(QStringLiteral("row %1").arg(r));
        item.SubItems() << QStringLiteral("x");
    }
    std::vector<std::pair<int, int>> seen;
    list.OnDrawItemProp = [&](TOrvListView& sender, int row, int sub, TOwnerDrawState, TBrush& brush, TFont&,
                              const QString& text) {
        EXPECT_EQ(&sender, &list);
        EXPECT_EQ(text, list.Cells(sub + 1, row));
        seen.emplace_back(row, sub);
        if (sub == 0)
            brush.SetColor(clYellow);
    };
    int rowsDrawn = 0;
    list.OnDrawItem = [&](TOrvListView&, TCanvas&, int, const TRect&, TOwnerDrawState) { ++rowsDrawn; };
    list.resize(200, 120);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    seen.clear();
    rowsDrawn = 0;

    QImage image(list.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    list.viewport()->render(&image);
    EXPECT_EQ(rowsDrawn, 3);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0], std::make_pair(0, -1));
    EXPECT_EQ(seen[1], std::make_pair(0, 0));

    // Column 1 of each row was filled yellow by the handler; column 0 was not.
    const TRect cell = list.CellRect(1, 1);
    const QRect yellowArea(list.Columns()[0].Width() + 2, cell.top + 2, 40, 6);
    EXPECT_GT(orvtest::CountPixels(image, yellowArea, QColor(255, 255, 0)), 100);
    EXPECT_EQ(orvtest::CountPixels(image, QRect(2, cell.top + 2, 40, 6), QColor(255, 255, 0)), 0);
}

TEST(OrvListView, SelectionAndClicksReachTheHooks)
{
    CountingList list;
    list.Columns().Add().SetWidth(80);
    list.Columns().Add().SetWidth(80);
    for (int r = 0; r < 3; ++r) {
        TListItem& item = list.Items().Add();
        item.SetCaption(QStringLiteral("r%1").arg(r));
        item.SubItems() << QStringLiteral("s%1").arg(r);
    }
    std::vector<std::pair<int, int>> clicks;
    list.OnLeftClickCell = [&](TOrvListView&, int item, int col) { clicks.emplace_back(item, col); };
    list.resize(240, 120);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    const TRect cell = list.CellRect(2, 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(cell.left + 5, cell.top + 3));
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.back(), std::make_pair(2, 1));
    // Without cell selection the row's caption is the current cell, whichever cell was clicked.
    EXPECT_EQ(list.SelectedColumn(), 0);
    EXPECT_EQ(list.FocusRow(), 2);
    ASSERT_FALSE(list.selected.empty());
    EXPECT_EQ(list.selected.back(), 2);
}

} // namespace
