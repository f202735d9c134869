#include "platform/TBrush.h"
#include "platform/TCanvas.h"
#include "platform/TFont.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(Font, SizeAndHeightFollowEachOther)
{
    struct Case {
        int ppi;
        int points;
        int height;
    };
    for (const Case& tc : { Case { 96, 8, -11 }, Case { 96, 10, -13 }, Case { 96, 12, -16 },
             Case { 120, 9, -15 }, Case { 72, 10, -10 }, Case { 254, 10, -35 } }) {
        SCOPED_TRACE(testing::Message() << tc.ppi << " dpi " << tc.points << " pt");
        TFont f;
        f.SetPixelsPerInch(tc.ppi);
        f.SetSize(tc.points);
        EXPECT_EQ(f.Height(), tc.height);
        EXPECT_EQ(f.Size(), tc.points);
        f.SetHeight(tc.height);
        EXPECT_EQ(f.Size(), tc.points);
    }
    TFont cell;
    cell.SetHeight(16); // a positive height names the cell: the size reads negative, as GDI has it
    EXPECT_EQ(cell.Size(), -12);
}

TEST(Font, ChangeNotificationCountsRealChangesAndAssignOnce)
{
    TFont f;
    int changes = 0;
    f.OnChange = [&] { ++changes; };
    f.SetName(QStringLiteral("DejaVu Serif"));
    f.SetSize(14);
    f.SetColor(clRed);
    f.SetStyle(fsBold | fsItalic);
    f.SetEscapement(450);
    EXPECT_EQ(changes, 5);
    f.SetColor(clRed); // unchanged: no notification
    f.SetSize(14);
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(f.Bold());

    TFont other;
    other.SetName(QStringLiteral("DejaVu Sans Mono"));
    other.SetHeight(-20);
    other.SetStyle(fsUnderline);
    changes = 0;
    f.Assign(other);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(f.SameAs(other));
    EXPECT_EQ(f.Escapement(), 0);
    f = other; // assignment keeps the listener and notifies
    EXPECT_EQ(changes, 2);
    ASSERT_TRUE(bool(f.OnChange));

    // A copy describes the same font but does not call the original's listener.
    TFont copy(f);
    EXPECT_TRUE(copy.SameAs(f));
    EXPECT_FALSE(bool(copy.OnChange));
}

TEST(Font, QtFontCarriesStyleAndDeviceSize)
{
    TFont f;
    f.SetName(QStringLiteral("DejaVu Sans"));
    f.SetHeight(-20);
    f.SetStyle(fsBold | fsItalic | fsUnderline | fsStrikeOut);
    const QFont q = f.ToQFont();
    EXPECT_EQ(q.pixelSize(), 20);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_TRUE(q.strikeOut());
    EXPECT_EQ(f.ToQFont(600, 600.0 / 254.0).pixelSize(), 47); // 2 mm em at 600 dpi, in 0.1 mm units

    // A positive height is the cell (ascent + descent), a negative one the em: the cell is taller.
    TFont cell = f;
    cell.SetStyle(0);
    cell.SetHeight(20);
    const QFontMetrics cm(cell.ToQFont());
    EXPECT_NEAR(cm.ascent() + cm.descent(), 20, 1);
    TFont em = cell;
    em.SetHeight(-20);
    const QFontMetrics emMetrics(em.ToQFont());
    EXPECT_GT(emMetrics.ascent() + emMetrics.descent(), cm.ascent() + cm.descent());

    const TFont back = TFont::FromQFont(q, clBlue);
    EXPECT_EQ(back.Height(), -20);
    EXPECT_EQ(back.Style(), fsBold | fsItalic | fsUnderline | fsStrikeOut);
    EXPECT_EQ(back.Color(), clBlue);
}

TEST(Font, CanvasMeasuresWithTheFontsCurrentDescription)
{
    TCanvas c;
    c.Font().SetName(QStringLiteral("DejaVu Sans"));
    c.Font().SetHeight(-12);
    const int small = c.TextWidth(QStringLiteral("Measure me"));
    c.Font().SetHeight(-24);
    const int large = c.TextWidth(QStringLiteral("Measure me"));
    EXPECT_NEAR(large, 2 * small, 3);
    c.Font().SetStyle(fsBold);
    EXPECT_GT(c.TextWidth(QStringLiteral("Measure me")), large);
}

TEST(Brush, NotifiesAndAssignsPattern)
{
    TBrush b;
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    b.SetColor(clRed);
    b.SetColor(clRed);
    b.SetStyle(bsClear);
    QImage pattern(4, 4, QImage::Format_RGB32);
    pattern.fill(Qt::green);
    b.SetPattern(pattern);
    EXPECT_EQ(changes, 3);
    TBrush other;
    other.Assign(b);
    EXPECT_TRUE(other.HasPattern());
    EXPECT_EQ(other.Color(), clRed);
    EXPECT_EQ(other.Style(), bsClear);
    b.SetPattern(QImage());
    EXPECT_FALSE(b.HasPattern());
    EXPECT_EQ(changes, 4);
}
