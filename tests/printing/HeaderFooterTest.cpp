// Header and footer slot texts and the date-time patterns they are formatted with.
#include "printing/TPrintsettings.h"
#include "printing/private/TDateTimePattern.h"
#include "printing/private/THeaderFooter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2024, 3, 5), QTime(7, 8, 9, 45));

TEST(DateTimePattern, ClassicPatternsBecomeQtPatterns)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    struct Row {
        const char* pattern;
        const char* result;
    };
    const Row table[] = {
        { "dd/mm/yyyy", "05/03/2024" },
        { "d/m/yy", "5/3/24" },
        { "DD/MM/YYYY", "05/03/2024" },
        { "yyyy-mm-dd", "2024-03-05" },
        { "y", "24" },
        { "yyy", "2024" },
        { "ddd d mmm", "Tue 5 Mar" },
        { "dddd d mmmm yyyy", "Tuesday 5 March 2024" },
        { "hh:nn", "07:08" },
        { "h:n:s", "7:8:9" },
        { "hh:mm:ss", "07:08:09" }, // m after an hour is the minute
        { "hh.mm", "07.08" },
        { "mm hh mm", "03 07 08" },
        { "hh:nn am/pm", "07:08 am" },
        { "hh:nn AM/PM", "07:08 AM" },
        { "h a/p", "7 am" },
        { "ss.zzz", "09.045" },
        { "'at' hh\"h\"", "at 07h" },
        { "\"dd\" dd", "dd 05" },
        { "Week of d", "Week of 5" }, // letters that are no specifier stay as they are
        { "x'y", "xy" }, // an unterminated quote runs to the end
        { "", "" },
    };
    for (const Row& row : table)
        EXPECT_EQ(TDateTimePattern::Format(kWhen, QString::fromLatin1(row.pattern), english),
            QString::fromLatin1(row.result))
            << row.pattern << " -> "
            << TDateTimePattern::ToQt(QString::fromLatin1(row.pattern), english).toStdString();
}

TEST(DateTimePattern, SeparatorsAndNamedFormatsFollowTheLocale)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(TDateTimePattern::DateSeparator(german), ".");
    EXPECT_EQ(TDateTimePattern::Format(kWhen, "dd/mm/yyyy", german), "05.03.2024");
    EXPECT_EQ(TDateTimePattern::Format(kWhen, "mmmm", german), "März");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(TDateTimePattern::Format(kWhen, "ddddd", english),
        english.toString(kWhen.date(), QLocale::ShortFormat));
    EXPECT_EQ(
        TDateTimePattern::Format(kWhen, "t", english), english.toString(kWhen.time(), QLocale::ShortFormat));
}

TEST(HeaderFooter, ItemsJoinTheirSlotsInOrderWithBlanks)
{
    TPrintsettings s;
    s.SetTitleText("Title");
    s.SetPagePrefix("page");
    s.SetPageSuffix("of many");
    struct Row {
        TPrintPosition position;
        THeaderFooter::TSlot slot;
        const char* all; // time, date, page and title in one slot
    };
    const Row table[] = {
        { ppTopLeft, THeaderFooter::sTopLeft, "Title page 3 of many 05/03/2024 07:08 " },
        { ppBottomLeft, THeaderFooter::sBottomLeft, "Title page 3 of many 05/03/2024 07:08 " },
        { ppTopRight, THeaderFooter::sTopRight, " 07:08 05/03/2024 page 3 of many Title" },
        { ppTopCenter, THeaderFooter::sTopCenter, " 07:08 05/03/2024 page 3 of many Title" },
        { ppBottomRight, THeaderFooter::sBottomRight, " 07:08 05/03/2024 page 3 of many Title" },
        { ppBottomCenter, THeaderFooter::sBottomCenter, " 07:08 05/03/2024 page 3 of many Title" },
    };
    for (const Row& row : table) {
        s.SetTime(row.position);
        s.SetDate(row.position);
        s.SetPageNr(row.position);
        s.SetTitle(row.position);
        const THeaderFooter::TSlots texts = THeaderFooter::Compose(s, 2, kWhen);
        for (int i = 0; i < THeaderFooter::sCount; ++i)
            EXPECT_EQ(texts[size_t(i)], i == row.slot ? QString::fromLatin1(row.all) : QString())
                << row.position;
        EXPECT_EQ(THeaderFooter::AnyTop(s), row.slot <= THeaderFooter::sTopCenter);
        EXPECT_EQ(THeaderFooter::AnyBottom(s), row.slot >= THeaderFooter::sBottomLeft);
    }
}

TEST(HeaderFooter, PageItemAndSeparateSlots)
{
    TPrintsettings s;
    s.SetPagePrefix("page");
    s.SetPageNr(ppBottomCenter);
    s.SetTime(ppTopLeft);
    s.SetDate(ppTopRight);
    THeaderFooter::TSlots first = THeaderFooter::Compose(s, 0, kWhen);
    EXPECT_EQ(first[THeaderFooter::sBottomCenter], " page 1 ");
    EXPECT_EQ(first[THeaderFooter::sTopLeft], "07:08 ");
    EXPECT_EQ(first[THeaderFooter::sTopRight], " 05/03/2024");
    EXPECT_EQ(THeaderFooter::Compose(s, 1, kWhen)[THeaderFooter::sBottomCenter], " page 2 ");

    TPrintsettings none;
    for (const QString& slot : THeaderFooter::Compose(none, 0, kWhen))
        EXPECT_TRUE(slot.isEmpty());
    EXPECT_FALSE(THeaderFooter::AnyTop(none));
    EXPECT_FALSE(THeaderFooter::AnyBottom(none));
}

} // namespace
