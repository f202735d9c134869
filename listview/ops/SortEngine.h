// Column sort of a list: comparison of two rows by the style a column asks for.
#pragma once

#include "listview/ops/SortTypes.h"

#include <QLocale>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>
#include <vector>

class TListItem;
class TListItems;

namespace orvsort {

// The caller's questions, asked per comparison. `column` is the sub-item index (-1 = caption).
struct TSortHandlers {
    std::function<void(int column, TSortStyle& style, QString& prefix, QString& suffix)> getFormat;
    std::function<void(int column, const QString& s1, const QString& s2, int& res)> customCompare;
    std::function<void(int column, int row1, int row2, int& res)> rawCompare;
};

// Reads `text` as a decimal number: optional leading blanks, optional sign, digits with an
// optional '.' fraction, optional exponent, nothing after. Empty text is 0. nullopt = not a number.
std::optional<double> ParseDecimal(QStringView text);

// A cell text made ready for ParseDecimal: the first occurrence of suffix and of prefix removed,
// every thousand separator removed when `grouped`, the first decimal separator turned into '.'.
QString NormalizeNumber(
    QString text, const QString& prefix, const QString& suffix, bool grouped, const QLocale& locale);

// Day number of a short date ("24-12-2001", "5/6/99", "01.02.2001"); 0 when it cannot be read
// or is impossible. `dayFirst` selects day-month-year, otherwise month-day-year.
int ShortDateValue(QStringView text, bool dayFirst);

// Date and time by the locale's short date order and separator, optionally followed by a time
// ("14:30", "2:30:05 PM"). Unambiguous ISO dates ("2001-12-24") are read too. A numeric date that
// the locale's form does not read as a real date is read day-month-year ("24-12-2001",
// "31.01.01"), or year-month-day when it starts with four digits ("2001/12/24"), with "-", "/"
// or "." twice. 0 when it fails.
double LocaleDateTimeValue(QStringView text, const QLocale& locale);

// Byte-wise comparison by code point (a proper prefix sorts first): -1, 0 or 1.
int CompareText(QStringView a, QStringView b);
// The same after upper-casing the ASCII letters a-z only.
int CompareTextNoCase(QStringView a, QStringView b);

// Text of cell `column` (sub-item index, -1 = caption) of a row, or empty.
const QString& CellText(const TListItem& item, int column);

// One sort run over a column. The handlers are asked once per comparison. Each row's key (the
// first characters of its text, its number or its day) is made once, in one pass over the rows,
// and travels with the row through the sort; a comparison that the format handler answers with
// the format of the first comparison compares keys only, one answered differently is compared
// the long way with the format it gave.
class TSortRun {
public:
    // The locale defaults to the application's (the system's unless QLocale::setDefault changed it).
    TSortRun(int column, int directionSign, const TSortHandlers& handlers, QLocale locale = QLocale());

    // One comparison of two rows (no cached values): negative, zero or positive.
    int Compare(const TListItem* a, const TListItem* b);

    // Sorts the rows (stable: rows that compare equal keep their order).
    void Sort(TListItems& items);

private:
    int CompareRows(int x, int y); // asks the handler for the format
    int CompareWithFormat(int x, int y, TSortStyle style, const QString& prefix, const QString& suffix);
    double CachedKey(int row, TSortStyle style);
    double ConvertedValue(QStringView text, TSortStyle style, bool& isNumber) const;
    void ResetCacheIfFormatChanged(TSortStyle style, const QString& prefix, const QString& suffix);
    bool AskFormatIsFast(); // asks the handler; true when it answered the fast format
    template <class Entry, class KeyOrder> void SortEntries(std::vector<Entry>& entries, KeyOrder keyOrder);
    template <class Entry, class MakeKey> void SortByKeys(TListItems& items, MakeKey makeKey);

    int m_column;
    int m_sign;
    const TSortHandlers& m_handlers;
    QLocale m_locale;
    QString m_decimal; // the locale's decimal separator
    QString m_group; // the locale's thousand separator
    TSortStyle m_lastStyle = ssText; // the format of the last comparison
    QString m_lastPrefix;
    QString m_lastSuffix;

    // The handler's answers, in variables reused from comparison to comparison, and the format
    // the keys were made for.
    TSortStyle m_askedStyle = ssText;
    QString m_askedPrefix;
    QString m_askedSuffix;
    TSortStyle m_fastStyle = ssText;
    QString m_fastPrefix;
    QString m_fastSuffix;

    // Per-row data of the running sort, indexed by the row's index (rows do not move until the end).
    std::vector<const QString*> m_cells;
    std::vector<int> m_order;
    TSortStyle m_cacheStyle = ssText;
    QString m_cachePrefix;
    QString m_cacheSuffix;
    std::vector<double> m_values; // made on first use: only formats other than the keys' need them
    std::vector<unsigned char> m_state; // 0 = not computed, 1 = value, 2 = not a number
};

} // namespace orvsort
