#include "listview/ops/SortEngine.h"
#include "platform/TListItems.h"
#include "support/TestSupport.h"

#include <QDate>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

using namespace orvsort;

namespace {

// A list whose rows carry one cell in column 1 (sub-item 0); the caption is the row's original
// position so that the resulting order can be read back.
void MakeList(TListItems& items, const QStringList& cells)
{
    for (int i = 0; i < cells.size(); ++i) {
        TListItem& item = items.Add();
        item.SetCaption(QString::number(i));
        item.SubItems().append(cells[i]);
    }
}

QStringList Column(const TListItems& items, int column)
{
    QStringList out;
    for (int i = 0; i < items.Count(); ++i)
        out << CellText(items[i], column);
    return out;
}

void SortWith(TListItems& items, TSortStyle style, int sign = 1, const QString& suffix = {},
    const QLocale& locale = QLocale::c())
{
    TSortHandlers handlers;
    handlers.getFormat = [&](int, TSortStyle& s, QString&, QString& sfx) {
        s = style;
        sfx = suffix;
    };
    TSortRun run(0, sign, handlers, locale);
    run.Sort(items);
}

} // namespace

TEST(SortNumbers, GrammarAcceptsSignedDecimalsWithExponentAndNothingElse)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        { "", true, 0 },
        { "42", true, 42 },
        { "  -3.5", true, -3.5 },
        { "+7", true, 7 },
        { "1e3", true, 1000 },
        { "2.5E-1", true, 0.25 },
        { ".5", true, 0.5 },
        { "5.", true, 5 },
        { "abc", false, 0 },
        { "12x", false, 0 },
        { "1e", false, 0 },
        { "-", false, 0 },
        { "1 ", false, 0 },
        { "0007", true, 7 },
    };
    for (const Case& c : cases) {
        const auto v = ParseDecimal(QString::fromLatin1(c.text));
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (c.ok && v) {
            EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
        }
    }
}

TEST(SortNumbers, SuffixRemovedAndNonNumbersCompareEqual)
{
    TListItems items;
    MakeList(items, { "150pk", "90pk", "", "1000pk" });
    SortWith(items, ssNumber, 1, QStringLiteral("pk"));
    EXPECT_EQ(Column(items, -1), QStringList({ "2", "1", "0", "3" })); // empty counts as 0

    TSortHandlers handlers;
    handlers.getFormat = [](int, TSortStyle& s, QString&, QString&) { s = ssNumber; };
    TListItems two;
    MakeList(two, { "abc", "5" });
    TSortRun run(0, 1, handlers, QLocale::c());
    EXPECT_EQ(run.Compare(&two[0], &two[1]), 0);
    EXPECT_EQ(run.Compare(&two[1], &two[0]), 0);
}

TEST(SortNumbers, GroupedUsesTheLocaleSeparators)
{
    TListItems items;
    MakeList(items, { "1,250.50", "999.99", "12" });
    SortWith(items, ssNumberGrouped, 1, {}, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(Column(items, 0), QStringList({ "12", "999.99", "1,250.50" }));

    // A German locale: "." groups thousands and "," is the decimal separator.
    TListItems german;
    MakeList(german, { "1.250,5", "999,99", "2,5" });
    SortWith(german, ssNumberGrouped, 1, {}, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Column(german, 0), QStringList({ "2,5", "999,99", "1.250,5" }));
}

TEST(SortDates, ShortDateRuleReadsDayMonthYearAndMapsYears)
{
    EXPECT_GT(ShortDateValue(u"01-02-2001", true), ShortDateValue(u"31-01-2001", true));
    EXPECT_EQ(ShortDateValue(u"01-02-2001", false), ShortDateValue(u"02-01-2001", true));
    EXPECT_GT(ShortDateValue(u"5/6/01", true), ShortDateValue(u"5/6/99", true));
    const int epoch = int(QDate(1899, 12, 30).toJulianDay());
    EXPECT_EQ(ShortDateValue(u"5/6/99", true), int(QDate(1999, 6, 5).toJulianDay()) - epoch);
    EXPECT_EQ(ShortDateValue(u"5/6/1999", true), int(QDate(3899, 6, 5).toJulianDay()) - epoch);
    EXPECT_EQ(ShortDateValue(u"24-12/2001", true), ShortDateValue(u"24-12-2001", true));
    EXPECT_EQ(ShortDateValue(u"24-12-2001 10:30", true), ShortDateValue(u"24-12-2001", true));
    // Impossible or unreadable dates count as 0.
    EXPECT_EQ(ShortDateValue(u"13-13-2001", true), 0);
    EXPECT_EQ(ShortDateValue(u"0-1-2001", true), 0);
    EXPECT_EQ(ShortDateValue(u"2001", true), 0);
    EXPECT_EQ(ShortDateValue(u"1-2", true), 0);
    // Four-digit years get 1900 added too, which keeps them in order among themselves.
    EXPECT_LT(ShortDateValue(u"1-1-1999", true), ShortDateValue(u"1-1-2000", true));
}

TEST(SortDates, ZeroDatesSortBeforeRealDates)
{
    TListItems items;
    MakeList(items, { "24-12-2001", "garbage", "01-01-2000", "" });
    SortWith(items, ssDateDMY);
    EXPECT_EQ(Column(items, -1), QStringList({ "1", "3", "2", "0" }));
}

TEST(SortDates, LocaleDateTimeFollowsTheLocaleOrder)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates); // M/d/yy
    const QLocale de(QLocale::German, QLocale::Germany); // dd.MM.yy
    EXPECT_GT(LocaleDateTimeValue(u"2/1/2001", us), LocaleDateTimeValue(u"1/31/2001", us));
    EXPECT_GT(LocaleDateTimeValue(u"01.02.2001", de), LocaleDateTimeValue(u"31.01.2001", de));
    EXPECT_GT(LocaleDateTimeValue(u"1/31/2001 2:30 PM", us), LocaleDateTimeValue(u"1/31/2001 11:00 AM", us));
    EXPECT_DOUBLE_EQ(LocaleDateTimeValue(u"2001-12-24", us), LocaleDateTimeValue(u"12/24/2001", us));
    EXPECT_EQ(LocaleDateTimeValue(u"not a date", us), 0);
    EXPECT_EQ(LocaleDateTimeValue(u"1/31/2001 25:00", us), 0);
}

TEST(SortDates, LocaleDateTimeReadsDayMonthYearAndIsoWhenTheLocaleFormFails)
{
    // Whatever the locale, a numeric date that its own form cannot read is read day-month-year,
    // or year-month-day when it starts with a four-digit year, if that gives a real date.
    const QLocale locales[] = { QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Dutch, QLocale::Netherlands),
        QLocale(QLocale::English, QLocale::UnitedKingdom) };
    const int epoch = int(QDate(1899, 12, 30).toJulianDay());
    auto day = [epoch](int y, int m, int d) { return double(int(QDate(y, m, d).toJulianDay()) - epoch); };
    struct Case {
        const char16_t* text;
        double value;
    } cases[] = {
        { u"24-12-2001", day(2001, 12, 24) },
        { u"01-09-1998", day(1998, 9, 1) },
        { u"31.01.2001", day(2001, 1, 31) },
        { u"24/12/2001", day(2001, 12, 24) },
        { u"2001-12-24", day(2001, 12, 24) },
        { u"2001/2/3", day(2001, 2, 3) },
        { u"24-12-01", day(2001, 12, 24) },
        { u"24-12-99", day(1999, 12, 24) },
        { u"24-12-2001 18:00", day(2001, 12, 24) + 0.75 },
        { u"32-01-2001", 0 },
        { u"24-13-2001", 0 },
        { u"2001-02-30", 0 },
        { u"24-12", 0 },
        { u"24-12-2001x", 0 },
        { u"24-12.2001", 0 },
    };
    for (const QLocale& locale : locales) {
        SCOPED_TRACE(locale.name().toStdString());
        for (const Case& c : cases) {
            SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
            EXPECT_DOUBLE_EQ(LocaleDateTimeValue(c.text, locale), c.value);
        }
    }
    // The locale's own form comes first: month-day-year in the United States.
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_DOUBLE_EQ(LocaleDateTimeValue(u"02/01/2001", us), day(2001, 2, 1));
    EXPECT_DOUBLE_EQ(LocaleDateTimeValue(u"02-01-2001", us), day(2001, 1, 2));
    const QLocale nl(QLocale::Dutch, QLocale::Netherlands);
    EXPECT_DOUBLE_EQ(LocaleDateTimeValue(u"02-01-2001", nl), day(2001, 1, 2));
}

TEST(SortDates, DayMonthYearColumnSortsChronologicallyUnderEveryLocale)
{
    const QStringList dates = { "24-12-2001", "15-03-2001", "01-09-1998", "12-02-1999", "03-11-2001",
        "05-01-2000", "30-06-1997" };
    for (const QLocale& locale : { QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
             QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Dutch, QLocale::Netherlands) }) {
        SCOPED_TRACE(locale.name().toStdString());
        TListItems items;
        MakeList(items, dates);
        SortWith(items, ssDateTime, 1, {}, locale);
        EXPECT_EQ(Column(items, 0),
            QStringList({ "30-06-1997", "01-09-1998", "12-02-1999", "05-01-2000", "15-03-2001", "03-11-2001",
                "24-12-2001" }));
    }
}

TEST(SortText, ByteWiseCaseAndNoCase)
{
    EXPECT_LT(CompareText(u"APPLE", u"apple"), 0);
    EXPECT_EQ(CompareTextNoCase(u"apple", u"APPLE"), 0);
    EXPECT_LT(CompareText(u"ab", u"abc"), 0); // a proper prefix sorts first
    EXPECT_LT(CompareTextNoCase(u"a", u"B"), 0);
    // Only ASCII letters fold.
    EXPECT_NE(CompareTextNoCase(u"\u00e9", u"\u00c9"), 0);
    // Code point order: a character above U+FFFF sorts after U+FFFD.
    EXPECT_LT(CompareText(u"\uFFFD", QString::fromUcs4(U"\U0001F600")), 0);
}

TEST(SortRun, StableDirectionAndTwoLevelOrder)
{
    TListItems items;
    const char* rows[][2] = { { "b", "2" }, { "a", "2" }, { "c", "1" }, { "a", "1" } };
    for (auto& r : rows) {
        TListItem& it = items.Add();
        it.SetCaption(QString::fromLatin1(r[0]));
        it.SubItems().append(QString::fromLatin1(r[1]));
    }
    TSortHandlers text;
    TSortRun byCaption(-1, 1, text);
    byCaption.Sort(items);
    TSortRun bySecond(0, 1, text);
    bySecond.Sort(items);
    // Sorting by the caption and then by column 1 gives a two-level order.
    EXPECT_EQ(Column(items, -1), QStringList({ "a", "c", "a", "b" }));
    EXPECT_EQ(Column(items, 0), QStringList({ "1", "1", "2", "2" }));

    TSortRun descending(-1, -1, text);
    descending.Sort(items);
    EXPECT_EQ(Column(items, -1), QStringList({ "c", "b", "a", "a" }));
}

TEST(SortRun, NoneKeepsOrderAndHandlersSeeConsistentRows)
{
    TListItems items;
    MakeList(items, { "x", "y", "z" });
    SortWith(items, ssNone);
    EXPECT_EQ(Column(items, -1), QStringList({ "0", "1", "2" }));

    // A raw comparison reads the list by the indexes it is given; the rows must be the ones compared.
    TListItems list;
    MakeList(list, { "3", "1", "2" });
    TSortHandlers handlers;
    handlers.getFormat = [](int, TSortStyle& s, QString&, QString&) { s = ssRaw; };
    int calls = 0;
    handlers.rawCompare = [&](int column, int row1, int row2, int& res) {
        ++calls;
        EXPECT_EQ(column, 0);
        EXPECT_EQ(res, 1);
        const int a = list[row1].SubItems()[0].toInt();
        const int b = list[row2].SubItems()[0].toInt();
        res = a < b ? -1 : (a > b ? 1 : 0);
    };
    TSortRun run(0, 1, handlers);
    run.Sort(list);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(Column(list, 0), QStringList({ "1", "2", "3" }));
}

TEST(SortRun, CustomAndFormatHandlerCalledPerComparisonWithSubItemColumn)
{
    TListItems items;
    MakeList(items, { "bb", "a", "ccc" });
    TSortHandlers handlers;
    int formatCalls = 0;
    int customCalls = 0;
    handlers.getFormat = [&](int column, TSortStyle& s, QString& prefix, QString& suffix) {
        ++formatCalls;
        EXPECT_EQ(column, 0);
        EXPECT_EQ(s, ssText);
        EXPECT_TRUE(prefix.isEmpty() && suffix.isEmpty());
        s = ssCustom;
    };
    handlers.customCompare = [&](int, const QString& s1, const QString& s2, int& res) {
        ++customCalls;
        res = int(s1.size()) - int(s2.size());
    };
    TSortRun run(0, 1, handlers);
    run.Sort(items);
    EXPECT_EQ(formatCalls, customCalls);
    EXPECT_EQ(Column(items, 0), QStringList({ "a", "bb", "ccc" }));
}

TEST(SortRun, RowsWithoutTheColumnCompareAsEmpty)
{
    TListItems items;
    items.Add().SetCaption(QStringLiteral("has"));
    items[0].SubItems() << QStringLiteral("b");
    items.Add().SetCaption(QStringLiteral("none"));
    TSortHandlers handlers;
    TSortRun run(0, 1, handlers);
    run.Sort(items);
    EXPECT_EQ(items[0].Caption(), QStringLiteral("none"));
    EXPECT_EQ(run.Compare(nullptr, &items[0]), 0);
}

namespace {

// Rows with the given cells in sub-item 0 and their first position as the caption.
struct TPropertyCase {
    const char* name;
    TSortStyle style;
    QString prefix;
    QString suffix;
    std::function<QString(std::mt19937&)> cell;
};

QString Pick(std::mt19937& rng, const QStringList& from)
{
    return from[int(rng() % unsigned(from.size()))];
}

} // namespace

TEST(SortProperty, EveryStyleOrdersAsAComparisonOfEachPairWouldOnManyEqualKeys)
{
    // 3,000 rows drawn from few values (hundreds of rows share each key), in both directions.
    // The reference sorts the row positions with std::stable_sort, comparing each pair by the
    // one-comparison entry point, which reads both texts afresh every time: the sort must give
    // the same order and ask the format handler once per comparison the reference makes, plus
    // the one that picks the format.
    const QStringList words { "apple", "APPLE", "Apple pie", "applesauce and more", "applesauce and less",
        "b", "", QString::fromUtf8("\xC3\xA4pfel"), QString::fromUtf8("\xF0\x9F\x8D\x8E green"),
        QString(QChar(0xE000)) + "private", "zz top" };
    const QStringList numbers { "90pk", "150pk", "abc", "", "-3.5pk", "1e3pk", "pk7", "0.5", "$12pk", "12$pk",
        "x" };
    const QStringList grouped { "1,250.50", "999.99", "1,000", "1,0,0", "-2,000.5", "", "n/a" };
    const QStringList dates { "01-02-2001", "31-01-2001", "5/6/99", "5/6/01", "24-12/2001", "2001-12-24",
        "31-02-2001", "", "1.1.1900", "29.2.2000", "29.2.1900" };
    const QStringList stamps { "12/24/2001 14:30", "12/24/2001", "1/2/99 2:30:05 PM", "2001-12-24", "bad",
        "" };
    const TPropertyCase cases[] = {
        { "text", ssText, {}, {}, [&](std::mt19937& r) { return Pick(r, words); } },
        { "text case", ssTextCase, {}, {}, [&](std::mt19937& r) { return Pick(r, words); } },
        { "text no case", ssTextNoCase, {}, {}, [&](std::mt19937& r) { return Pick(r, words); } },
        { "number with suffix and prefix", ssNumber, "$", "pk",
            [&](std::mt19937& r) { return Pick(r, numbers); } },
        { "grouped number", ssNumberGrouped, {}, {}, [&](std::mt19937& r) { return Pick(r, grouped); } },
        { "day month year", ssDateDMY, {}, {}, [&](std::mt19937& r) { return Pick(r, dates); } },
        { "month day year", ssDateMDY, {}, {}, [&](std::mt19937& r) { return Pick(r, dates); } },
        { "date and time", ssDateTime, {}, {}, [&](std::mt19937& r) { return Pick(r, stamps); } },
        { "long shared prefixes", ssText, {}, {},
            [](std::mt19937& r) {
                return QStringLiteral("same first twelve ") + QString::number(r() % 50);
            } },
    };
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const TPropertyCase& c : cases) {
        for (const int sign : { 1, -1 }) {
            SCOPED_TRACE(std::string(c.name) + (sign > 0 ? " ascending" : " descending"));
            std::mt19937 rng(5);
            QStringList cells;
            for (int i = 0; i < 3000; ++i)
                cells << c.cell(rng);
            TListItems items;
            MakeList(items, cells);

            int asked = 0;
            TSortHandlers handlers;
            handlers.getFormat = [&](int, TSortStyle& s, QString& prefix, QString& suffix) {
                ++asked;
                EXPECT_EQ(s, ssText);
                EXPECT_TRUE(prefix.isEmpty() && suffix.isEmpty()); // fresh for every comparison
                s = c.style;
                prefix = c.prefix;
                suffix = c.suffix;
            };
            TSortRun reference(0, sign, handlers, english);
            std::vector<int> order(static_cast<size_t>(cells.size()));
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(),
                [&](int x, int y) { return reference.Compare(&items[x], &items[y]) < 0; });
            const int referenceComparisons = asked;

            asked = 0;
            TSortRun run(0, sign, handlers, english);
            run.Sort(items);
            EXPECT_EQ(asked, referenceComparisons + 1);
            for (int i = 0; i < items.Count(); ++i)
                ASSERT_EQ(items[i].Caption(), QString::number(order[size_t(i)])) << i;
        }
    }
}

TEST(SortProperty, WithoutAHandlerTextSortsStablyByCodePoint)
{
    // 5,000 rows of 20 distinct texts: runs of about 250 equal keys keep their first order.
    std::mt19937 rng(3);
    QStringList cells;
    for (int i = 0; i < 5000; ++i)
        cells << QStringLiteral("key %1").arg(int(rng() % 20), 2, 10, QChar(u'0'));
    TListItems items;
    MakeList(items, cells);
    TSortHandlers none;
    TSortRun(0, 1, none, QLocale::c()).Sort(items);
    for (int i = 1; i < items.Count(); ++i) {
        const int cmp = CompareText(CellText(items[i - 1], 0), CellText(items[i], 0));
        ASSERT_LE(cmp, 0) << i;
        if (cmp == 0) {
            ASSERT_LT(items[i - 1].Caption().toInt(), items[i].Caption().toInt()) << i;
        }
    }
}

TEST(SortDates, DayNumbersMatchTheCalendarOnWholeYearsAndEveryLeapDay)
{
    // Every day of years where the calendar's rules turn, and 29 February of every year 1-9999:
    // the short-date reading gives the day count from 30 December 1899 that QDate gives, or 0
    // for a day the month does not have.
    const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    auto dayText = [](int d, int m, int y) {
        // Years read as written + 1900 (0-25 as 2000-2025): write them so that they come back.
        return QStringLiteral("%1-%2-%3").arg(d).arg(m).arg(y - 1900);
    };
    for (const int year : { 1, 4, 100, 1582, 1600, 1899, 1926, 1970, 2000, 2024, 2100, 9999 }) {
        for (int m = 1; m <= 12; ++m)
            for (int d = 0; d <= 32; ++d) {
                const QDate date(year, m, d);
                const int expected = date.isValid() ? int(date.toJulianDay() - epoch) : 0;
                ASSERT_EQ(ShortDateValue(dayText(d, m, year), true), expected)
                    << year << '-' << m << '-' << d;
                ASSERT_EQ(ShortDateValue(QStringLiteral("%1-%2-%3").arg(m).arg(d).arg(year - 1900), false),
                    expected);
            }
    }
    for (int year = 1; year <= 9999; ++year) {
        if (year >= 1900 && year <= 1925)
            continue; // written 0-25, these read as 2000-2025
        const QDate date(year, 2, 29);
        const int expected = date.isValid() ? int(date.toJulianDay() - epoch) : 0;
        ASSERT_EQ(ShortDateValue(dayText(29, 2, year), true), expected) << year;
    }
    EXPECT_EQ(ShortDateValue(QStringLiteral("1-13-2001"), true), 0);
    EXPECT_EQ(ShortDateValue(QStringLiteral("1-1-8100"), true), 0); // year 10000
}
