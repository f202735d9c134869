#include "platform/TCanvas.h"
#include "platform/TTextMeasure.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

struct TCase {
    const char* font;
    int height;
    TFontStyles style;
};

// Texts markup cells and headers are made of: words, blanks at either end, prefix marks, tabs,
// line breaks that a single line shows as blanks, accents, CJK, an emoji and a lone surrogate.
const QString kTexts[] = {
    QStringLiteral("Row"),
    QStringLiteral(" "),
    QStringLiteral("12345 "),
    QStringLiteral(" and "),
    QStringLiteral("underlined"),
    QStringLiteral("R&D"),
    QStringLiteral("R&&D"),
    QStringLiteral("end&"),
    QStringLiteral("a\tb\t\tc"),
    QStringLiteral("line\r\nbreak\nhere"),
    QString::fromUtf8("d\xC3\xA9j\xC3\xA0 vu \xE2\x82\xAC 5"),
    QString::fromUtf8("\xE6\xBC\xA2\xE5\xAD\x97 mixed"),
    QString::fromUtf8("smile \xF0\x9F\x98\x80"),
    QString(QChar(0xD800)) + QStringLiteral("x"),
    QStringLiteral("AVAWAY To kerning pairs"),
    QString(300, u'w'),
};

// Every flag combination a single line can be measured with.
const unsigned kFlags[] = {
    DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS | DT_EXTERNALLEADING,
    DT_SINGLELINE,
    DT_SINGLELINE | DT_NOPREFIX,
    DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX,
    DT_SINGLELINE | DT_EXTERNALLEADING | DT_VCENTER,
};

void ExpectSameAsDrawText(TCanvas& canvas, const char* where)
{
    for (const unsigned flags : kFlags) {
        const TTextMeasure measure = canvas.SingleLineMeasure(flags);
        ASSERT_TRUE(measure.IsValid());
        for (const QString& text : kTexts) {
            TRect r { 10, 20, 10, 20 };
            canvas.DrawText(text, r, flags | DT_CALCRECT);
            const TPoint extent = measure.Extent(text);
            EXPECT_EQ(extent.x, r.right - r.left) << where << " flags " << flags << " " << text.toStdString();
            EXPECT_EQ(extent.y, std::abs(r.bottom - r.top))
                << where << " flags " << flags << " " << text.toStdString();
        }
    }
}

} // namespace

TEST(TextMeasure, AgreesWithDrawTextOnEveryFontFlagAndText)
{
    const TCase fonts[] = {
        { "DejaVu Sans", -13, 0 },
        { "DejaVu Sans", -16, fsBold },
        { "DejaVu Serif", 18, TFontStyles(fsItalic | fsUnderline) },
        { "Liberation Mono", -11, TFontStyles(fsBold | fsStrikeOut) },
        { "No Such Font Family", -14, 0 },
    };
    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    TCanvas onImage(&image);
    TCanvas withoutDevice;
    for (TCanvas* canvas : { &onImage, &withoutDevice }) {
        for (const TCase& f : fonts) {
            canvas->Font().SetName(QString::fromLatin1(f.font));
            canvas->Font().SetHeight(f.height);
            canvas->Font().SetStyle(f.style);
            canvas->SetMapMode(mmPixels);
            ExpectSameAsDrawText(*canvas, f.font);
            // Logical units of 0.1 mm, y up: widths and heights convert the same way.
            canvas->SetMapMode(mmLoMetric);
            canvas->Font().SetHeight(f.height * 3);
            ExpectSameAsDrawText(*canvas, "lometric");
        }
    }
}

TEST(TextMeasure, FixedTestMetricsAndLaterFontChanges)
{
    TCanvas canvas;
    canvas.SetFixedMetrics(7, 9, 3);
    ExpectSameAsDrawText(canvas, "fixed");
    const TTextMeasure measure = canvas.SingleLineMeasure(DT_SINGLELINE);
    EXPECT_EQ(measure.Extent(QStringLiteral("abcd")).x, 28);
    EXPECT_EQ(measure.Extent(QStringLiteral("a&bcd")).x, 28); // the marker takes no room
    EXPECT_EQ(measure.Extent(QStringLiteral("abcd")).y, 12);

    // A measure keeps the font it was taken with, whatever the canvas uses afterwards, even
    // after the canvas has dropped that font from its own cache.
    TCanvas real;
    real.Font().SetName(QStringLiteral("DejaVu Sans"));
    real.Font().SetHeight(-12);
    const TTextMeasure small = real.SingleLineMeasure(DT_SINGLELINE);
    const int before = small.Extent(QStringLiteral("width")).x;
    for (int h = 20; h < 40; ++h) {
        real.Font().SetHeight(-h);
        real.TextWidth(QStringLiteral("width"));
    }
    EXPECT_EQ(small.Extent(QStringLiteral("width")).x, before);
    EXPECT_LT(before, real.TextWidth(QStringLiteral("width")));
    EXPECT_EQ(TTextMeasure().Extent(QStringLiteral("x")).x, 0);
}
