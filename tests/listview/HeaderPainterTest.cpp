// Owner-drawn header sections: face, sort indicator (glyphs or header images, always on the
// left), single-line captions with an ellipsis, multi-line captions, marked-up captions in the
// header font's own colours.
#include "listview/TOrvListView.h"
#include "listview/private/THeaderPainter.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

class HeaderPainterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* caption : { "Car", "Type", "Price" })
            list.Columns().Add().SetCaption(QString::fromLatin1(caption));
        for (int i = 0; i < 3; ++i)
            list.Columns()[i].SetWidth(100);
        list.SetHeaderHeight(24);
        TListItem& row = list.Items().Add();
        row.SetCaption(QStringLiteral("b"));
        row.SubItems() << QStringLiteral("x") << QStringLiteral("1");
        list.Items().Add().SetCaption(QStringLiteral("a"));
    }

    // Section 0 painted into a 100 x 24 image.
    QImage PaintSection(int section = 0)
    {
        QImage image(100, 24, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        THeaderPainter(list).DrawSection(painter, section, TRect { 0, 0, 100, 24 });
        return image;
    }

    std::vector<TCanvasRecord> RecordSection(int section = 0, int width = 100)
    {
        std::vector<TCanvasRecord> records;
        QImage image(width, 24, QImage::Format_RGB32);
        QPainter painter(&image);
        TCanvas canvas;
        canvas.Attach(&painter);
        canvas.SetRecorder(&records);
        THeaderPainter(list).DrawSection(canvas, section, TRect { 0, 0, width, 24 });
        canvas.Detach();
        return records;
    }

    static std::vector<TCanvasRecord> Texts(const std::vector<TCanvasRecord>& all)
    {
        std::vector<TCanvasRecord> out;
        for (const auto& r : all)
            if (r.kind == TCanvasRecord::Text)
                out.push_back(r);
        return out;
    }

    static QImage Solid(int w, int h, QColor color)
    {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(color);
        return image;
    }

    TOrvListView list;
};

TEST_F(HeaderPainterTest, FaceIsButtonFaceAndCaptionSitsInTheContentRectangle)
{
    const QImage image = PaintSection();
    EXPECT_EQ(image.pixelColor(50, 20), ToQColor(clBtnFace));
    EXPECT_GT(orvtest::CountPixels(image, QRect(2, 1, 40, 22), ToQColor(list.HeaderFont().Color()), 60), 0);
    const auto texts = Texts(RecordSection());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, QStringLiteral("Car"));
    EXPECT_EQ(texts[0].rect.left, 2);
    // Vertically centred in the content rectangle (1 .. 23).
    EXPECT_NEAR((texts[0].rect.top + texts[0].rect.bottom) / 2.0, 12.0, 1.0);
}

TEST_F(HeaderPainterTest, CaptionsFollowTheColumnAlignment)
{
    list.Columns()[2].SetAlignment(taRightJustify);
    list.Columns()[1].SetAlignment(taCenter);
    const auto right = Texts(RecordSection(2));
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].rect.right, 98);
    const auto centre = Texts(RecordSection(1));
    ASSERT_EQ(centre.size(), 1u);
    EXPECT_NEAR((centre[0].rect.left + centre[0].rect.right) / 2.0, 50.0, 1.0);
}

TEST_F(HeaderPainterTest, LongSingleLineEndsInEllipsisMultiLineDoesNot)
{
    list.Columns()[0].SetCaption(QStringLiteral("A caption much too long for one hundred pixels"));
    auto texts = Texts(RecordSection());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].text.endsWith(QLatin1String("...")));
    EXPECT_LE(texts[0].rect.right, 98);

    list.Columns()[0].SetCaption(QStringLiteral("Price\rin euro"));
    texts = Texts(RecordSection());
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, QStringLiteral("Price"));
    EXPECT_EQ(texts[1].text, QStringLiteral("in euro"));
    EXPECT_EQ(texts[0].rect.top, 1); // from the top of the content rectangle
    EXPECT_GT(texts[1].rect.top, texts[0].rect.top);
    for (const auto& t : texts)
        EXPECT_FALSE(t.text.endsWith(QLatin1String("...")));
}

TEST_F(HeaderPainterTest, MarkupCaptionKeepsTheHeaderFontColour)
{
    list.HeaderFont().SetColor(clBlue);
    list.Columns()[0].SetCaption(QStringLiteral("<font color=\"clred\">Red</font> <b>bold</b>"));
    const QImage image = PaintSection();
    EXPECT_EQ(orvtest::CountPixels(image, QRect(0, 0, 100, 24), QColor(Qt::red), 40), 0);
    EXPECT_GT(orvtest::CountPixels(image, QRect(0, 0, 100, 24), ToQColor(clBlue), 40), 0);
    bool boldSeen = false;
    for (const auto& t : Texts(RecordSection()))
        boldSeen = boldSeen || ((t.style & fsBold) && t.text.contains(QLatin1String("bold")));
    EXPECT_TRUE(boldSeen);
}

TEST_F(HeaderPainterTest, SortIndicatorIsTheDownGlyphForAscendingOnTheLeft)
{
    list.SetSortShow(true);
    list.SetSortDownGlyph(TBitmap(Solid(8, 6, Qt::red)));
    list.SetSortUpGlyph(TBitmap(Solid(8, 6, Qt::green)));
    list.SetSortDirection(sdAscending);
    list.SortByColumn(0);
    ASSERT_EQ(list.SortIndicatorColumn(), 0);

    struct Case {
        const char* name;
        TSortDirection direction;
        TAlignment alignment;
        QColor expected;
    } cases[] = {
        { "ascending", sdAscending, taLeftJustify, Qt::red },
        { "descending", sdDescending, taLeftJustify, Qt::green },
        { "right-aligned caption keeps the indicator left", sdAscending, taRightJustify, Qt::red },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        list.SetSortDirection(c.direction);
        list.Columns()[0].SetAlignment(c.alignment);
        const QImage image = PaintSection();
        // Glyph at (2, 1 + (24 - 6) / 2).
        EXPECT_EQ(image.pixelColor(2, 10), c.expected);
        EXPECT_EQ(image.pixelColor(9, 15), c.expected);
        EXPECT_EQ(orvtest::CountPixels(image, QRect(50, 0, 50, 24), c.expected), 0);
        const auto texts = Texts(RecordSection());
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_GE(texts[0].rect.left, 2 + 8 + 2);
    }
    // Another section shows no indicator.
    const QImage other = PaintSection(1);
    EXPECT_EQ(orvtest::CountPixels(other, QRect(0, 0, 100, 24), Qt::red), 0);
}

TEST_F(HeaderPainterTest, HeaderImagesServeAsIndicatorWithoutGlyphs)
{
    TImageList images(10, 10);
    images.Add(Solid(10, 10, Qt::red));
    images.Add(Solid(10, 10, Qt::green));
    list.SetSortShow(true);
    list.SortByColumn(0);

    // Neither glyphs nor images: no indicator, the caption starts at the content's left.
    auto texts = Texts(RecordSection());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect.left, 2);

    list.SetHeaderImages(&images);
    list.SetSortDirection(sdAscending);
    QImage image = PaintSection();
    EXPECT_EQ(image.pixelColor(3, 12), QColor(Qt::red));
    list.SetSortDirection(sdDescending);
    image = PaintSection();
    EXPECT_EQ(image.pixelColor(3, 12), QColor(Qt::green));
    texts = Texts(RecordSection());
    EXPECT_GE(texts[0].rect.left, 2 + 10 + 2);

    // SortShow off: nothing.
    list.SetSortShow(false);
    image = PaintSection();
    EXPECT_EQ(orvtest::CountPixels(image, QRect(0, 0, 100, 24), Qt::green), 0);
    list.SetHeaderImages(nullptr);
}

TEST_F(HeaderPainterTest, SectionsBeyondTheColumnsDrawNothing)
{
    EXPECT_TRUE(RecordSection(3).empty());
    EXPECT_TRUE(RecordSection(-1).empty());
}

} // namespace
