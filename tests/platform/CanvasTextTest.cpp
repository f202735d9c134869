#include "platform/TCanvas.h"
#include "platform/private/TextLayout.h"

#include <QFontMetrics>
#include <gtest/gtest.h>
#include <random>

namespace {

QImage WhiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

QRect InkBox(const QImage& image, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
        }
    }
    return l == INT_MAX ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

void UseTestFont(TCanvas& c, int height = -16)
{
    c.Font().SetName(QStringLiteral("DejaVu Sans"));
    c.Font().SetHeight(height);
    c.Font().SetColor(clBlack);
    c.SetBkMode(bkTransparent);
}

// Lines a DrawText call would produce, counted through the calc-rect height.
int LineCount(TCanvas& c, const QString& text, int width, unsigned flags)
{
    TRect r = Rect(0, 0, width, 0);
    const int h = c.DrawText(text, r, flags | DT_CALCRECT);
    EXPECT_EQ(h, r.Height());
    return h / c.TextHeight(QStringLiteral("Ag"));
}

} // namespace

TEST(CanvasText, HorizontalAndVerticalAlignment)
{
    const QString text = QStringLiteral("Hello");
    struct Case {
        const char* name;
        unsigned flags;
    };
    const TRect cell = Rect(20, 10, 220, 70);
    for (const Case& tc : { Case { "left top", DT_LEFT | DT_TOP }, Case { "right", DT_RIGHT },
             Case { "centre", DT_CENTER }, Case { "vcentre", DT_VCENTER }, Case { "bottom", DT_BOTTOM },
             Case { "centre vcentre", DT_CENTER | DT_VCENTER } }) {
        SCOPED_TRACE(tc.name);
        QImage image = WhiteImage(240, 80);
        TCanvas c(&image);
        UseTestFont(c);
        const int w = c.TextWidth(text);
        const int h = c.TextHeight(text);
        TRect r = cell;
        c.DrawText(text, r, tc.flags | DT_SINGLELINE);
        c.Detach();
        const QRect ink = InkBox(image);
        ASSERT_FALSE(ink.isNull());
        int x0 = cell.left;
        if (tc.flags & DT_RIGHT)
            x0 = cell.right - w;
        if (tc.flags & DT_CENTER)
            x0 = cell.left + (cell.Width() - w) / 2;
        int y0 = cell.top;
        if (tc.flags & DT_VCENTER)
            y0 = cell.top + (cell.Height() - h) / 2;
        if (tc.flags & DT_BOTTOM)
            y0 = cell.bottom - h;
        // Glyph ink lies inside the advance box of the text at the expected place.
        EXPECT_GE(ink.left(), x0);
        EXPECT_LE(ink.left(), x0 + 3);
        EXPECT_LE(ink.right(), x0 + w);
        EXPECT_GE(ink.right(), x0 + w - 4);
        EXPECT_GE(ink.top(), y0);
        EXPECT_LE(ink.bottom(), y0 + h);
        EXPECT_GE(ink.bottom(), y0 + h / 2);
    }
}

TEST(CanvasText, VerticalPlacementNeedsSingleLine)
{
    QImage image = WhiteImage(200, 100);
    TCanvas c(&image);
    UseTestFont(c);
    TRect r = Rect(0, 0, 200, 100);
    c.DrawText(QStringLiteral("Top"), r, DT_BOTTOM | DT_VCENTER);
    c.Detach();
    EXPECT_LT(InkBox(image).bottom(), c.TextHeight(QStringLiteral("Top")));
}

TEST(CanvasText, EndEllipsisCutsTheTextToFit)
{
    const QString text = QStringLiteral("A rather long cell text that does not fit");
    QImage cut = WhiteImage(300, 40);
    QImage full = WhiteImage(300, 40);
    TRect cell = Rect(0, 0, 100, 30);
    {
        TCanvas c(&cut);
        UseTestFont(c);
        TRect r = cell;
        c.DrawText(text, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
        TCanvas f(&full);
        UseTestFont(f);
        r = cell;
        f.DrawText(text, r, DT_SINGLELINE | DT_NOCLIP);
    }
    EXPECT_LT(InkBox(cut).right(), cell.right);
    EXPECT_GT(InkBox(full).right(), cell.right);

    // The lines the layout hands to drawing: cut, ended by "...", no wider than the room.
    TCanvas m;
    UseTestFont(m);
    QFontMetrics fm(m.Font().ToQFont());
    textlayout::Measurer measure(fm, false);
    textlayout::Options opt;
    opt.singleLine = true;
    opt.endEllipsis = true;
    opt.availWidth = 100;
    const auto lines = textlayout::Layout(text, opt, measure);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].text.endsWith(QStringLiteral("...")));
    EXPECT_TRUE(text.startsWith(lines[0].text.chopped(3)));
    EXPECT_LE(lines[0].width, 100);
    EXPECT_GT(lines[0].width, 100 - measure.Width(QStringLiteral("W...")));
    // The cut keeps as much as fits: one more character would not.
    const int dots = measure.Width(QStringLiteral("..."));
    for (int width = 0; width < 260; width += 7) {
        opt.availWidth = width;
        const QString shown = textlayout::Layout(text, opt, measure)[0].text;
        if (shown == text)
            continue;
        const int kept = int(shown.size()) - 3;
        EXPECT_GT(measure.Width(text, 0, kept + 1) + dots, width) << width;
        if (kept > 0) {
            EXPECT_LE(measure.Width(shown), width) << width;
        }
    }
    opt.availWidth = 100;
    // Text that fits is left alone.
    EXPECT_EQ(textlayout::Layout(QStringLiteral("ok"), opt, measure)[0].text, QStringLiteral("ok"));
}

TEST(CanvasText, PrefixCharacters)
{
    TCanvas c;
    UseTestFont(c);
    struct Case {
        const char* text;
        const char* shown;
        unsigned flags;
    };
    for (const Case& tc : { Case { "&File", "File", 0 }, Case { "a&&b", "a&b", 0 }, Case { "end&", "end", 0 },
             Case { "&File", "&File", DT_NOPREFIX }, Case { "a&&b", "a&&b", DT_NOPREFIX } }) {
        SCOPED_TRACE(tc.text);
        TRect r = Rect(0, 0, 500, 0);
        c.DrawText(QString::fromUtf8(tc.text), r, tc.flags | DT_CALCRECT | DT_SINGLELINE);
        EXPECT_EQ(r.Width(), c.TextWidth(QString::fromUtf8(tc.shown)));
    }
    std::vector<int> marks;
    EXPECT_EQ(textlayout::StripPrefix(QStringLiteral("&a&&b&c"), &marks), QStringLiteral("a&bc"));
    EXPECT_EQ(marks, (std::vector<int> { 0, 3 }));
}

TEST(CanvasText, PrefixUnderlinesTheMarkedCharacter)
{
    QImage marked = WhiteImage(120, 40);
    QImage plain = WhiteImage(120, 40);
    {
        TCanvas a(&marked);
        UseTestFont(a);
        TRect r = Rect(0, 0, 120, 40);
        a.DrawText(QStringLiteral("&x"), r, DT_SINGLELINE);
        TCanvas b(&plain);
        UseTestFont(b);
        r = Rect(0, 0, 120, 40);
        b.DrawText(QStringLiteral("x"), r, DT_SINGLELINE);
    }
    // Same glyph, plus a line below the baseline.
    EXPECT_GT(InkBox(marked).bottom(), InkBox(plain).bottom());
    EXPECT_EQ(InkBox(marked).left(), 0);
}

TEST(CanvasText, WordBreakAndLineBreaks)
{
    TCanvas c;
    UseTestFont(c);
    const int wWord = c.TextWidth(QStringLiteral("alpha beta"));
    EXPECT_EQ(LineCount(c, QStringLiteral("alpha beta alpha beta"), wWord + 2, DT_WORDBREAK), 2);
    EXPECT_EQ(LineCount(c, QStringLiteral("alpha beta gamma delta"), 10000, DT_WORDBREAK), 1);
    EXPECT_EQ(
        LineCount(c, QStringLiteral("alpha beta gamma delta"), wWord + 2, DT_SINGLELINE | DT_WORDBREAK), 1);
    EXPECT_EQ(LineCount(c, QStringLiteral("one\r\ntwo\nthree\rfour"), 1000, 0), 4);
    EXPECT_EQ(LineCount(c, QStringLiteral("one\r\ntwo"), 1000, DT_SINGLELINE), 1);
    EXPECT_EQ(LineCount(c, QStringLiteral("a\r\n\r\nb"), 1000, DT_WORDBREAK), 3);

    // A word longer than the line stays whole unless the edit-control rule splits it.
    const QString longWord = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const int narrow = c.TextWidth(QStringLiteral("abcdefgh"));
    TRect whole = Rect(0, 0, narrow, 0);
    c.DrawText(longWord, whole, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(whole.Width(), c.TextWidth(longWord));
    EXPECT_EQ(whole.Height(), c.TextHeight(longWord));
    TRect split = Rect(0, 0, narrow, 0);
    c.DrawText(longWord, split, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT);
    EXPECT_LE(split.Width(), narrow);
    EXPECT_GE(split.Height(), 3 * c.TextHeight(longWord));

    // The calc rectangle narrows to the widest line; breaking drops the blank at the break.
    TRect r = Rect(0, 0, wWord + 2, 0);
    c.DrawText(QStringLiteral("alpha beta gamma"), r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(r.Width(), wWord);
}

TEST(CanvasText, TabsExpandToStopsOfEightAverageCharacters)
{
    TCanvas c;
    UseTestFont(c);
    QFontMetrics fm(c.Font().ToQFont());
    const int stop = 8 * fm.averageCharWidth();
    TRect r = Rect(0, 0, 1000, 0);
    c.DrawText(QStringLiteral("a\tb"), r, DT_EXPANDTABS | DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.Width(), stop + c.TextWidth(QStringLiteral("b")));
    r = Rect(0, 0, 1000, 0);
    c.DrawText(QStringLiteral("a\t\tb"), r, DT_EXPANDTABS | DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.Width(), 2 * stop + c.TextWidth(QStringLiteral("b")));
    // DT_TABSTOP: the high byte is the tab length in characters, not more flags.
    TRect tabbed = Rect(0, 0, 1000, 0);
    EXPECT_GT(
        c.DrawText(QStringLiteral("a\tb"), tabbed, DT_EXPANDTABS | DT_SINGLELINE | DT_TABSTOP | (4u << 8)),
        0);
    EXPECT_EQ(tabbed, Rect(0, 0, 1000, 0)); // 0x400 in the high byte is not DT_CALCRECT here
    QImage four = WhiteImage(300, 30), eight = WhiteImage(300, 30);
    for (auto [image, flags] :
        { std::pair { &four, unsigned(DT_TABSTOP | (4u << 8)) }, std::pair { &eight, 0u } }) {
        TCanvas p(image);
        UseTestFont(p);
        TRect r = Rect(0, 0, 300, 30);
        p.DrawText(QStringLiteral("a\tb"), r, DT_EXPANDTABS | DT_SINGLELINE | flags);
    }
    EXPECT_NEAR(InkBox(eight).right() - InkBox(four).right(), stop / 2, 1);
}

TEST(CanvasText, MarginsAndClipping)
{
    QImage image = WhiteImage(200, 40);
    {
        TCanvas c(&image);
        UseTestFont(c);
        TRect r = Rect(10, 0, 110, 30);
        c.DrawTextEx(QStringLiteral("Margin"), r, DT_SINGLELINE, 7, 2);
        TRect right = Rect(10, 0, 190, 30);
        c.DrawTextEx(QStringLiteral("R"), right, DT_SINGLELINE | DT_RIGHT, 0, 9);
    }
    const QRect left = InkBox(image, QRect(0, 0, 120, 40));
    EXPECT_GE(left.left(), 17);
    EXPECT_LE(left.left(), 19);
    EXPECT_LE(InkBox(image, QRect(120, 0, 80, 40)).right(), 190 - 9 - 1);

    QImage clipped = WhiteImage(300, 40);
    {
        TCanvas c(&clipped);
        UseTestFont(c);
        TRect r = Rect(10, 5, 60, 15); // lower than the line and narrower than the text
        c.DrawText(QStringLiteral("Clipped text goes on"), r, DT_SINGLELINE);
    }
    const QRect ink = InkBox(clipped);
    EXPECT_GE(ink.left(), 10);
    EXPECT_LE(ink.right(), 59);
    EXPECT_GE(ink.top(), 5);
    EXPECT_LE(ink.bottom(), 14);
}

TEST(CanvasText, OpaqueModeFillsTheTextBackground)
{
    QImage image = WhiteImage(200, 40);
    TCanvas c(&image);
    UseTestFont(c);
    c.Brush().SetColor(clYellow);
    c.SetBkMode(bkOpaque);
    c.TextOut(5, 5, QStringLiteral("ab"));
    c.SetBkMode(bkTransparent);
    c.TextOut(100, 5, QStringLiteral("ab"));
    const int w = c.TextWidth(QStringLiteral("ab"));
    const int h = c.TextHeight(QStringLiteral("ab"));
    c.Detach();
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_EQ(image.pixel(5, 5) | 0xFF000000, yellow);
    EXPECT_EQ(image.pixel(5 + w - 1, 5 + h - 1) | 0xFF000000, yellow);
    EXPECT_EQ(image.pixel(5 + w, 5) | 0xFF000000, qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(100, 5) | 0xFF000000, qRgb(255, 255, 255));
}

TEST(CanvasText, LoMetricTextIsUprightAndSizedInTenthMillimetres)
{
    QImage image = WhiteImage(400, 200);
    image.setDotsPerMeterX(10000); // 254 dpi: a logical unit is one pixel, but y points up
    image.setDotsPerMeterY(10000);
    TCanvas c(&image);
    c.SetMapMode(mmLoMetric);
    UseTestFont(c, -35); // 3.5 mm em
    TCanvas screen;
    UseTestFont(screen, -35);
    EXPECT_EQ(c.TextWidth(QStringLiteral("Hg")), screen.TextWidth(QStringLiteral("Hg")));
    c.TextOut(50, -60, QStringLiteral("Hg"));
    TRect r = Rect(200, -20, 390, -120);
    const int h = c.DrawText(QStringLiteral("Hg"), r, DT_CALCRECT);
    EXPECT_EQ(r.bottom, -20 - h); // grows downwards: towards negative y
    c.Detach();
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.top(), 60); // below the text's top, not mirrored above it
    EXPECT_LE(ink.bottom(), 60 + h);
    EXPECT_GE(ink.height(), 25); // "H" is about 0.73 em tall, "g" descends
    EXPECT_GE(ink.left(), 50);

    // The same text at 600 dpi covers proportionally more pixels.
    QImage fine = WhiteImage(800, 400);
    fine.setDotsPerMeterX(23622);
    fine.setDotsPerMeterY(23622);
    TCanvas f(&fine);
    f.SetMapMode(mmLoMetric);
    UseTestFont(f, -35);
    f.TextOut(0, 0, QStringLiteral("Hg"));
    f.Detach();
    EXPECT_NEAR(InkBox(fine).height(), ink.height() * 600.0 / 254.0, 4.0);
}

TEST(CanvasText, EscapementRotatesTextCounterClockwise)
{
    QImage image = WhiteImage(200, 200);
    TCanvas c(&image);
    UseTestFont(c);
    c.Font().SetEscapement(900);
    c.TextOut(100, 150, QStringLiteral("Rotated"));
    const int w = c.TextWidth(QStringLiteral("Rotated"));
    c.Detach();
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.height(), ink.width()); // reads bottom to top
    EXPECT_LE(ink.bottom(), 150);
    EXPECT_GE(ink.top(), 150 - w - 1);
    EXPECT_GE(ink.left(), 100); // the line box turns to the right of the origin, letter tops to the left

    // Drawn into a line's rectangle, rotated text is not clipped away by that rectangle.
    QImage cell = WhiteImage(200, 200);
    TCanvas d(&cell);
    UseTestFont(d);
    d.Font().SetEscapement(900);
    TRect line = Rect(100, 130, 190, 150);
    d.DrawText(QStringLiteral("Rotated"), line, DT_SINGLELINE | DT_BOTTOM);
    d.Detach();
    EXPECT_GT(InkBox(cell).height(), w - 6);
}

TEST(CanvasText, WrappedLinesFitKeepEveryWordAndAreFilledGreedily)
{
    TCanvas c;
    UseTestFont(c);
    QFontMetrics fm(c.Font().ToQFont());
    textlayout::Measurer measure(fm, false);
    std::mt19937 random(1234);
    const QString letters = QStringLiteral("aeiouxyzWMil");
    for (int round = 0; round < 60; ++round) {
        QStringList words;
        const int count = 1 + int(random() % 40);
        for (int w = 0; w < count; ++w) {
            QString word;
            for (int k = 1 + int(random() % 8); k > 0; --k)
                word += letters[int(random() % letters.size())];
            words << word;
        }
        const QString text = words.join(QLatin1Char(' '));
        int longest = 0;
        for (const QString& w : words)
            longest = std::max(longest, measure.Width(w));
        textlayout::Options opt;
        opt.wordBreak = true;
        opt.availWidth = longest + int(random() % 300);
        SCOPED_TRACE(testing::Message() << text.toStdString() << " in " << opt.availWidth);
        const auto lines = textlayout::Layout(text, opt, measure);
        QStringList rebuilt;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].width, opt.availWidth);
            EXPECT_FALSE(lines[i].text.startsWith(QLatin1Char(' ')));
            EXPECT_FALSE(lines[i].text.endsWith(QLatin1Char(' ')));
            rebuilt << lines[i].text;
            if (i + 1 < lines.size()) {
                // The next line's first word did not fit on this one.
                const QString next = lines[i + 1].text.section(QLatin1Char(' '), 0, 0);
                EXPECT_GT(measure.Width(lines[i].text + QLatin1Char(' ') + next), opt.availWidth);
            }
        }
        EXPECT_EQ(rebuilt.join(QLatin1Char(' ')), text);
    }
}

TEST(CanvasText, CutsNeverSplitSurrogatePairs)
{
    TCanvas c;
    UseTestFont(c);
    QFontMetrics fm(c.Font().ToQFont());
    textlayout::Measurer measure(fm, false);
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QString::fromUcs4(U"\U0001F600");
    auto whole = [](const QString& s) {
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i].isHighSurrogate() && (i + 1 >= s.size() || !s[i + 1].isLowSurrogate()))
                return false;
            if (s[i].isLowSurrogate() && (i == 0 || !s[i - 1].isHighSurrogate()))
                return false;
        }
        return true;
    };
    for (int width : { 1, 17, 33, 70, 150 }) {
        SCOPED_TRACE(width);
        textlayout::Options cut;
        cut.singleLine = true;
        cut.endEllipsis = true;
        cut.availWidth = width;
        EXPECT_TRUE(whole(textlayout::Layout(text, cut, measure)[0].text));
        textlayout::Options wrap;
        wrap.wordBreak = true;
        wrap.breakLongWords = true;
        wrap.availWidth = width;
        for (const auto& line : textlayout::Layout(text, wrap, measure)) {
            EXPECT_FALSE(line.text.isEmpty());
            EXPECT_TRUE(whole(line.text));
        }
    }
}

TEST(CanvasText, EmptyAndDegenerateInputs)
{
    QImage image = WhiteImage(50, 50);
    TCanvas c(&image);
    UseTestFont(c);
    TRect r = Rect(10, 10, 5, 5);
    c.DrawText(QStringLiteral("x"), r, DT_WORDBREAK | DT_END_ELLIPSIS);
    r = Rect(0, 0, 0, 0);
    c.DrawText(QStringLiteral("a b c"), r, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
    r = Rect(0, 0, 40, 40);
    c.DrawText(QString(), r, 0);
    TRect calc = Rect(3, 3, 40, 3);
    c.DrawText(QString(), calc, DT_CALCRECT);
    EXPECT_EQ(calc.Width(), 0);
    c.Detach();
    EXPECT_TRUE(InkBox(image).isNull());
}

TEST(CanvasText, WrappedTextThatRunsOutOfRoomEndsWithEllipsis)
{
    const QString text = QStringLiteral("alpha beta alpha beta alpha beta");
    const unsigned flags = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
    auto render = [&](unsigned extra, int lines) {
        QImage image = WhiteImage(300, 100);
        TCanvas c(&image);
        UseTestFont(c);
        const TRect cell
            = Rect(0, 0, c.TextWidth(QStringLiteral("alpha beta")) + 2, lines * c.TextHeight(text) + 3);
        TRect r = cell;
        c.DrawText(text, r, flags | extra);
        c.Detach();
        EXPECT_LT(InkBox(image).right(), cell.right);
        EXPECT_LT(InkBox(image).bottom(), cell.bottom);
        return image;
    };
    // One line of room: the shown line changes to say that more follows.
    EXPECT_NE(render(DT_END_ELLIPSIS, 1), render(0, 1));
    // Room for everything: nothing to mark.
    EXPECT_EQ(render(DT_END_ELLIPSIS, 3), render(0, 3));

    TCanvas m;
    UseTestFont(m);
    QFontMetrics fm(m.Font().ToQFont());
    textlayout::Measurer measure(fm, false);
    textlayout::Line line { QStringLiteral("alpha beta"), { 0, 8 },
        measure.Width(QStringLiteral("alpha beta")) };
    textlayout::EndWithEllipsis(line, measure.Width(QStringLiteral("alpha be")), measure);
    EXPECT_TRUE(line.text.endsWith(QStringLiteral("...")));
    EXPECT_LE(line.width, measure.Width(QStringLiteral("alpha be")));
    EXPECT_EQ(line.underlines, std::vector<int> { 0 }); // marks on cut characters go with them
}
