#include "listview/ops/SortEngine.h"

#include "platform/TListItems.h"

#include <QDate>
#include <QTime>
#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <numeric>
#include <optional>
#include <type_traits>

namespace orvsort {

namespace {

const QString& EmptyString()
{
    static const QString empty;
    return empty;
}

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool IsDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Reads an integer the loose way: leading blanks, optional sign, digits up to the first other
// character. Too many digits saturate instead of overflowing.
int ReadLooseInt(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    while (i < s.size() && IsDigit(s[i])) {
        value = std::min<long long>(value * 10 + (s[i].unicode() - '0'), 1000000000LL);
        ++i;
    }
    return int(negative ? -value : value);
}

// Days from 1 January 1970 of a proleptic Gregorian date (valid year, month and day).
constexpr int DaysFromCivil(int year, int month, int day)
{
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

constexpr int DaysInMonth(int year, int month)
{
    constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Days since 30 December 1899 (the day numbering dates are compared in), 0 for impossible dates.
int DayNumber(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return 0;
    constexpr int epoch = DaysFromCivil(1899, 12, 30);
    return DaysFromCivil(year, month, day) - epoch;
}

// Position of the first date separator: '-', else '/', else '.'; -1 when none occurs.
qsizetype FindDateSeparator(QStringView s)
{
    for (const char sep : { '-', '/', '.' }) {
        const qsizetype p = s.indexOf(QLatin1Char(sep));
        if (p >= 0)
            return p;
    }
    return -1;
}

// Code unit order is not code point order above U+D7FF: surrogates must sort after U+E000..U+FFFF.
inline unsigned CodePointOrderKey(char16_t u)
{
    if (u >= 0xD800) {
        if (u >= 0xE000)
            return unsigned(u) - 0x800;
        return unsigned(u) + 0x2000;
    }
    return u;
}

inline char16_t FoldAscii(char16_t u)
{
    return (u >= u'a' && u <= u'z') ? char16_t(u - 32) : u;
}

int Sign(double a, double b)
{
    return a > b ? 1 : (a < b ? -1 : 0);
}

} // namespace

std::optional<double> ParseDecimal(QStringView text)
{
    if (text.isEmpty())
        return 0.0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    // Copy the accepted characters into an ASCII buffer for std::from_chars.
    char buffer[128];
    int len = 0;
    auto put = [&](char c) {
        if (len < int(sizeof buffer) - 1)
            buffer[len++] = c;
    };
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int digits = 0;
    int significant = 0;
    while (i < n && IsDigit(text[i])) {
        // Leading zeros carry no value and must not fill the buffer.
        if (significant > 0 || text[i] != QLatin1Char('0')) {
            put(char(text[i].unicode()));
            ++significant;
        }
        ++digits;
        ++i;
    }
    if (significant == 0)
        put('0');
    if (i < n && text[i] == QLatin1Char('.')) {
        put('.');
        ++i;
        while (i < n && IsDigit(text[i])) {
            put(char(text[i].unicode()));
            ++digits;
            ++i;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        put('e');
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            put(char(text[i].unicode()));
            ++i;
        }
        int expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            put(char(text[i].unicode()));
            ++expDigits;
            ++i;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(buffer, buffer + len, value);
    if (result.ec == std::errc::result_out_of_range)
        value = HUGE_VAL; // magnitude too large: still orders above every finite number
    else if (result.ec != std::errc())
        return std::nullopt;
    return negative ? -value : value;
}

QString NormalizeNumber(
    QString text, const QString& prefix, const QString& suffix, bool grouped, const QLocale& locale)
{
    if (!suffix.isEmpty()) {
        const qsizetype p = text.indexOf(suffix);
        if (p >= 0)
            text.remove(p, suffix.size());
    }
    if (!prefix.isEmpty()) {
        const qsizetype p = text.indexOf(prefix);
        if (p >= 0)
            text.remove(p, prefix.size());
    }
    if (grouped)
        text.remove(locale.groupSeparator());
    const QString decimal = locale.decimalPoint();
    if (decimal != QLatin1String(".")) {
        const qsizetype p = text.indexOf(decimal);
        if (p >= 0)
            text.replace(p, decimal.size(), QLatin1String("."));
    }
    return text;
}

int ShortDateValue(QStringView text, bool dayFirst)
{
    const qsizetype first = FindDateSeparator(text);
    if (first < 0)
        return 0;
    const QStringView part1 = text.left(first);
    const QStringView rest = text.mid(first + 1);
    const qsizetype second = FindDateSeparator(rest);
    if (second < 0)
        return 0;
    const QStringView part2 = rest.left(second);
    const QStringView yearPart = rest.mid(second + 1);

    int year = ReadLooseInt(yearPart);
    // Two-digit years up to 25 belong to this century; everything else has 1900 added, which
    // keeps four-digit years in order among themselves.
    year += (year >= 0 && year <= 25) ? 2000 : 1900;
    const int a = ReadLooseInt(part1);
    const int b = ReadLooseInt(part2);
    const int day = dayFirst ? a : b;
    const int month = dayFirst ? b : a;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return 0;
    return DayNumber(year, month, day);
}

double LocaleDateTimeValue(QStringView text, const QLocale& locale)
{
    QStringView s = text.trimmed();
    if (s.isEmpty())
        return 0;

    // Split off the time part at the first blank after the date.
    QStringView datePart = s;
    QStringView timePart;
    const qsizetype blank = s.indexOf(QLatin1Char(' '));
    if (blank > 0) {
        datePart = s.left(blank);
        timePart = s.mid(blank + 1).trimmed();
    }

    // Order and separator of the locale's short date format.
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QChar separator = QLatin1Char('/');
    for (const QChar c : format) {
        if (!c.isLetter() && c != QLatin1Char('\'')) {
            separator = c;
            break;
        }
    }
    const qsizetype dPos = format.indexOf(QLatin1Char('d'));
    const qsizetype mPos = format.indexOf(QLatin1Char('M'));
    const qsizetype yPos = format.indexOf(QLatin1Char('y'));

    auto readNumbers = [](QStringView part, QChar sep, int(&out)[3]) -> bool {
        int count = 0;
        qsizetype start = 0;
        while (count < 3) {
            qsizetype end = part.indexOf(sep, start);
            const QStringView field = part.mid(start, end < 0 ? -1 : end - start);
            if (field.isEmpty() || field.size() > 4)
                return false;
            for (const QChar c : field)
                if (!IsDigit(c))
                    return false;
            out[count++] = field.toInt();
            if (end < 0)
                break;
            start = end + 1;
        }
        return count == 3 && part.count(sep) == 2;
    };
    // A year written with one or two digits belongs to 1950..2049.
    auto fullYear = [](int year, QStringView yearText) {
        return yearText.size() <= 2 ? year + (year < 50 ? 2000 : 1900) : year;
    };
    auto valid
        = [](int y, int m, int d) { return DayNumber(y, m, d) != 0 || (y == 1899 && m == 12 && d == 30); };

    int numbers[3] = { 0, 0, 0 };
    int year = 0, month = 0, day = 0;
    bool read = false;
    const bool isoLike
        = datePart.size() >= 8 && datePart.size() <= 10 && datePart.indexOf(QLatin1Char('-')) == 4;
    if (isoLike && readNumbers(datePart, QLatin1Char('-'), numbers)) {
        year = numbers[0];
        month = numbers[1];
        day = numbers[2];
        read = valid(year, month, day);
    }
    if (!read && readNumbers(datePart, separator, numbers)) {
        // Rank the three fields by their place in the format.
        struct Field {
            qsizetype pos;
            int* target;
        } fields[3] = { { dPos, &day }, { mPos, &month }, { yPos, &year } };
        std::sort(std::begin(fields), std::end(fields),
            [](const Field& x, const Field& y) { return x.pos < y.pos; });
        for (int i = 0; i < 3; ++i)
            *fields[i].target = numbers[i];
        const QStringView yearText = datePart.mid(datePart.lastIndexOf(separator) + 1);
        if (fields[2].target == &year && yearText.size() <= 2)
            year += year < 50 ? 2000 : 1900;
        else if (year < 100 && yPos >= 0 && fields[0].target == &year)
            year += year < 50 ? 2000 : 1900;
        read = valid(year, month, day);
    }
    // A numeric date the locale's form does not read: year-month-day when it starts with a
    // four-digit year, else day-month-year, with the same separator twice.
    for (const char sep : { '-', '/', '.' }) {
        if (read || !readNumbers(datePart, QLatin1Char(sep), numbers))
            continue;
        const QStringView first = datePart.left(datePart.indexOf(QLatin1Char(sep)));
        if (first.size() == 4) {
            year = numbers[0];
            month = numbers[1];
            day = numbers[2];
        } else {
            day = numbers[0];
            month = numbers[1];
            year = fullYear(numbers[2], datePart.mid(datePart.lastIndexOf(QLatin1Char(sep)) + 1));
        }
        read = valid(year, month, day);
    }
    if (!read)
        return 0;
    const double days = DayNumber(year, month, day);

    double fraction = 0;
    if (!timePart.isEmpty()) {
        QStringView t = timePart;
        bool pm = false, am = false;
        if (t.endsWith(QLatin1String("PM"), Qt::CaseInsensitive)) {
            pm = true;
            t = t.chopped(2).trimmed();
        } else if (t.endsWith(QLatin1String("AM"), Qt::CaseInsensitive)) {
            am = true;
            t = t.chopped(2).trimmed();
        }
        const QList<QStringView> pieces = t.split(QLatin1Char(':'));
        if (pieces.size() < 2 || pieces.size() > 3)
            return 0;
        int hms[3] = { 0, 0, 0 };
        for (int i = 0; i < pieces.size(); ++i) {
            QStringView p = pieces[i];
            if (i == 2) {
                const qsizetype dot = p.indexOf(QLatin1Char('.'));
                if (dot >= 0)
                    p = p.left(dot);
            }
            if (p.isEmpty() || p.size() > 2)
                return 0;
            for (const QChar c : p)
                if (!IsDigit(c))
                    return 0;
            hms[i] = p.toInt();
        }
        int hour = hms[0];
        if (am || pm) {
            if (hour < 1 || hour > 12)
                return 0;
            hour = (hour % 12) + (pm ? 12 : 0);
        }
        if (hour > 23 || hms[1] > 59 || hms[2] > 59)
            return 0;
        fraction = (hour * 3600 + hms[1] * 60 + hms[2]) / 86400.0;
    }
    return days + fraction;
}

int CompareText(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] != pb[i])
            return CodePointOrderKey(pa[i]) < CodePointOrderKey(pb[i]) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareTextNoCase(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = FoldAscii(pa[i]);
        const char16_t cb = FoldAscii(pb[i]);
        if (ca != cb)
            return CodePointOrderKey(ca) < CodePointOrderKey(cb) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

const QString& CellText(const TListItem& item, int column)
{
    if (column < 0)
        return item.Caption();
    const QStringList& subs = item.SubItems();
    return column < subs.size() ? subs[column] : EmptyString();
}

TSortRun::TSortRun(int column, int directionSign, const TSortHandlers& handlers, QLocale locale)
    : m_column(column)
    , m_sign(directionSign < 0 ? -1 : 1)
    , m_handlers(handlers)
    , m_locale(std::move(locale))
    , m_decimal(m_locale.decimalPoint())
    , m_group(m_locale.groupSeparator())
{ }

void TSortRun::ResetCacheIfFormatChanged(TSortStyle style, const QString& prefix, const QString& suffix)
{
    if (style == m_cacheStyle && prefix == m_cachePrefix && suffix == m_cacheSuffix)
        return;
    m_cacheStyle = style;
    m_cachePrefix = prefix;
    m_cacheSuffix = suffix;
    std::fill(m_state.begin(), m_state.end(), 0);
}

namespace {

// The number of a cell for ssNumber and ssNumberGrouped: the first occurrence of the suffix
// removed, then the first of the prefix, then (grouped) every thousand separator, the first
// decimal separator read as '.'. Texts that stay one piece of the cell are read where they
// stand; others are put together in a small buffer first.
std::optional<double> NumberValue(QStringView text, const QString& prefix, const QString& suffix,
    bool grouped, const QString& group, const QString& decimal)
{
    QStringView piece = text;
    bool onePiece = true;
    auto removeFirst = [&](const QString& part) {
        if (part.isEmpty() || !onePiece)
            return;
        const qsizetype p = piece.indexOf(part);
        if (p < 0)
            return;
        if (p == 0)
            piece = piece.mid(part.size());
        else if (p + part.size() == piece.size())
            piece.chop(part.size());
        else
            onePiece = false;
    };
    removeFirst(suffix);
    removeFirst(prefix);
    const bool pointDecimal = decimal == QLatin1String(".");
    if (onePiece && (!grouped || group.isEmpty() || !piece.contains(group))
        && (pointDecimal || !piece.contains(decimal)))
        return ParseDecimal(piece);

    QVarLengthArray<QChar, 64> buf(text.begin(), text.end());
    auto view = [&buf] { return QStringView(buf.constData(), buf.size()); };
    auto erase = [&](const QString& part) {
        if (part.isEmpty())
            return;
        const qsizetype p = view().indexOf(part);
        if (p >= 0)
            buf.erase(buf.begin() + p, buf.begin() + p + part.size());
    };
    erase(suffix);
    erase(prefix);
    if (grouped && !group.isEmpty())
        for (qsizetype p = view().indexOf(group); p >= 0; p = view().indexOf(group, p))
            buf.erase(buf.begin() + p, buf.begin() + p + group.size());
    if (!pointDecimal) {
        const qsizetype p = view().indexOf(decimal);
        if (p >= 0) {
            buf.erase(buf.begin() + p, buf.begin() + p + decimal.size());
            buf.insert(buf.begin() + p, QLatin1Char('.'));
        }
    }
    return ParseDecimal(view());
}

// The same string, by its data first: the handler usually hands back the very string it gave
// the comparison before.
inline bool SameText(const QString& a, const QString& b)
{
    return a.size() == b.size() && (a.constData() == b.constData() || a == b);
}

// Sort key of a text's first eight UTF-16 units: sixteen bits each, in code point order and
// shifted by one so that a shorter text (padded with 0) sorts before any longer text with the
// same start. A unit whose key does not fit saturates; equal keys fall back to the full texts.
struct TTextKey {
    quint64 high;
    quint64 low;
};

TTextKey TextKey(const QString& text, bool foldCase)
{
    const char16_t* data = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype len = text.size();
    quint64 words[2] = { 0, 0 };
    for (int k = 0; k < 8; ++k) {
        quint64 unit = 0;
        if (k < len) {
            const char16_t u = data[k];
            unit = std::min<quint64>(CodePointOrderKey(foldCase ? FoldAscii(u) : u) + 1, 0xFFFF);
        }
        words[k / 4] = (words[k / 4] << 16) | unit;
    }
    return { words[0], words[1] };
}

struct TTextEntry {
    TTextKey key;
    int row;
};
struct TValueEntry {
    double value; // NaN: not a number
    int row;
};
struct TDayEntry {
    int day;
    int row;
};

} // namespace

double TSortRun::ConvertedValue(QStringView text, TSortStyle style, bool& isNumber) const
{
    isNumber = true;
    switch (style) {
    case ssNumber:
    case ssNumberGrouped: {
        const std::optional<double> v
            = NumberValue(text, m_cachePrefix, m_cacheSuffix, style == ssNumberGrouped, m_group, m_decimal);
        isNumber = v.has_value();
        return v.value_or(0);
    }
    case ssDateTime:
        return LocaleDateTimeValue(text, m_locale);
    case ssDateDMY:
        return ShortDateValue(text, true);
    case ssDateMDY:
        return ShortDateValue(text, false);
    default:
        return 0;
    }
}

double TSortRun::CachedKey(int row, TSortStyle style)
{
    if (m_state.size() != m_cells.size()) {
        m_values.assign(m_cells.size(), 0.0);
        m_state.assign(m_cells.size(), 0);
    }
    const size_t i = size_t(row);
    if (m_state[i] == 0) {
        bool isNumber = true;
        m_values[i] = ConvertedValue(*m_cells[i], style, isNumber);
        m_state[i] = isNumber ? 1 : 2;
    }
    return m_state[i] == 1 ? m_values[i] : std::numeric_limits<double>::quiet_NaN();
}

int TSortRun::CompareRows(int x, int y)
{
    TSortStyle style = ssText;
    QString prefix;
    QString suffix;
    if (m_handlers.getFormat)
        m_handlers.getFormat(m_column, style, prefix, suffix);
    m_lastStyle = style;
    m_lastPrefix = prefix;
    m_lastSuffix = suffix;
    return CompareWithFormat(x, y, style, prefix, suffix);
}

int TSortRun::CompareWithFormat(int x, int y, TSortStyle style, const QString& prefix, const QString& suffix)
{
    int r = 1;
    switch (style) {
    case ssText:
    case ssTextCase:
        r = CompareText(*m_cells[size_t(x)], *m_cells[size_t(y)]);
        break;
    case ssTextNoCase:
        r = CompareTextNoCase(*m_cells[size_t(x)], *m_cells[size_t(y)]);
        break;
    case ssNumber:
    case ssNumberGrouped:
    case ssDateTime:
    case ssDateDMY:
    case ssDateMDY: {
        ResetCacheIfFormatChanged(style, prefix, suffix);
        const double a = CachedKey(x, style);
        const double b = CachedKey(y, style);
        // A text that is not a number makes the pair compare equal.
        r = (std::isnan(a) || std::isnan(b)) ? 0 : Sign(a, b);
        break;
    }
    case ssCustom:
        r = 1;
        if (m_handlers.customCompare)
            m_handlers.customCompare(m_column, *m_cells[size_t(x)], *m_cells[size_t(y)], r);
        break;
    case ssRaw:
        r = 1;
        if (m_handlers.rawCompare)
            m_handlers.rawCompare(m_column, x, y, r);
        break;
    default:
        r = 1;
        break;
    }
    return r * m_sign;
}

int TSortRun::Compare(const TListItem* a, const TListItem* b)
{
    if (!a || !b)
        return 0;
    TSortStyle style = ssText;
    QString prefix;
    QString suffix;
    if (m_handlers.getFormat)
        m_handlers.getFormat(m_column, style, prefix, suffix);
    const QString& s1 = CellText(*a, m_column);
    const QString& s2 = CellText(*b, m_column);
    int r = 1;
    switch (style) {
    case ssText:
    case ssTextCase:
        r = CompareText(s1, s2);
        break;
    case ssTextNoCase:
        r = CompareTextNoCase(s1, s2);
        break;
    case ssNumber:
    case ssNumberGrouped:
    case ssDateTime:
    case ssDateDMY:
    case ssDateMDY: {
        m_cachePrefix = prefix;
        m_cacheSuffix = suffix;
        bool n1 = true, n2 = true;
        const double v1 = ConvertedValue(s1, style, n1);
        const double v2 = ConvertedValue(s2, style, n2);
        r = (n1 && n2) ? Sign(v1, v2) : 0;
        break;
    }
    case ssCustom:
        if (m_handlers.customCompare)
            m_handlers.customCompare(m_column, s1, s2, r);
        break;
    case ssRaw:
        if (m_handlers.rawCompare)
            m_handlers.rawCompare(m_column, a->Index(), b->Index(), r);
        break;
    default:
        break;
    }
    return r * m_sign;
}

bool TSortRun::AskFormatIsFast()
{
    // The strings a handler filled in last time are emptied, not made anew: no allocation.
    m_askedStyle = ssText;
    if (!m_askedPrefix.isEmpty())
        m_askedPrefix.clear();
    if (!m_askedSuffix.isEmpty())
        m_askedSuffix.clear();
    m_handlers.getFormat(m_column, m_askedStyle, m_askedPrefix, m_askedSuffix);
    return m_askedStyle == m_fastStyle && SameText(m_askedPrefix, m_fastPrefix)
        && SameText(m_askedSuffix, m_fastSuffix);
}

template <class Entry, class KeyOrder>
void TSortRun::SortEntries(std::vector<Entry>& entries, KeyOrder keyOrder)
{
    // keyOrder(a, b) is -1, 0 or 1 by the keys; descending flips it.
    if (m_handlers.getFormat) {
        std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
            if (!AskFormatIsFast())
                return CompareWithFormat(a.row, b.row, m_askedStyle, m_askedPrefix, m_askedSuffix) < 0;
            return keyOrder(a, b) * m_sign < 0;
        });
    } else if (m_sign > 0) {
        std::stable_sort(entries.begin(), entries.end(),
            [&](const Entry& a, const Entry& b) { return keyOrder(a, b) < 0; });
    } else {
        std::stable_sort(entries.begin(), entries.end(),
            [&](const Entry& a, const Entry& b) { return keyOrder(a, b) > 0; });
    }
    m_order.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        m_order[i] = entries[i].row;
}

template <class Entry, class MakeKey> void TSortRun::SortByKeys(TListItems& items, MakeKey makeKey)
{
    // One pass over the rows in memory order collects each row's cell and key.
    std::vector<Entry> entries(m_cells.size());
    items.ForEachStored([&](const TListItem& item) {
        const int row = item.Index();
        const QString& text = CellText(item, m_column);
        m_cells[size_t(row)] = &text;
        entries[size_t(row)] = makeKey(text, row);
    });
    const bool fold = m_fastStyle == ssTextNoCase;
    if constexpr (std::is_same_v<Entry, TTextEntry>) {
        SortEntries(entries, [&](const TTextEntry& a, const TTextEntry& b) {
            if (a.key.high != b.key.high)
                return a.key.high < b.key.high ? -1 : 1;
            if (a.key.low != b.key.low)
                return a.key.low < b.key.low ? -1 : 1;
            return fold ? CompareTextNoCase(*m_cells[size_t(a.row)], *m_cells[size_t(b.row)])
                        : CompareText(*m_cells[size_t(a.row)], *m_cells[size_t(b.row)]);
        });
    } else if constexpr (std::is_same_v<Entry, TValueEntry>) {
        // A text that is not a number makes the pair compare equal.
        SortEntries(entries, [](const TValueEntry& a, const TValueEntry& b) {
            return (std::isnan(a.value) || std::isnan(b.value)) ? 0 : Sign(a.value, b.value);
        });
    } else {
        SortEntries(entries, [](const TDayEntry& a, const TDayEntry& b) {
            return a.day > b.day ? 1 : (a.day < b.day ? -1 : 0);
        });
    }
}

void TSortRun::Sort(TListItems& items)
{
    const int n = items.Count();
    if (n < 2)
        return;
    m_cells.assign(size_t(n), nullptr);
    m_values.clear();
    m_state.clear();

    // A first comparison tells which format the handler answers.
    TSortStyle style = ssText;
    m_fastPrefix.clear();
    m_fastSuffix.clear();
    if (m_handlers.getFormat)
        m_handlers.getFormat(m_column, style, m_fastPrefix, m_fastSuffix);
    m_fastStyle = style;
    // Its own result is not needed, but a custom or raw comparison is the handler's to see.
    const bool keyed = style == ssText || style == ssTextCase || style == ssTextNoCase || style == ssNumber
        || style == ssNumberGrouped || style == ssDateTime || style == ssDateDMY || style == ssDateMDY;

    // The rows stay where they are while the handlers run, so a handler that reads the list by
    // row index sees consistent rows; the order is applied in one pass at the end.
    switch (keyed ? style : ssNone) {
    case ssText:
    case ssTextCase:
    case ssTextNoCase: {
        const bool fold = style == ssTextNoCase;
        SortByKeys<TTextEntry>(items, [fold](const QString& text, int row) {
            return TTextEntry { TextKey(text, fold), row };
        });
        break;
    }
    case ssDateDMY:
    case ssDateMDY: {
        const bool dayFirst = style == ssDateDMY;
        SortByKeys<TDayEntry>(items, [dayFirst](const QString& text, int row) {
            return TDayEntry { ShortDateValue(text, dayFirst), row };
        });
        break;
    }
    case ssNumber:
    case ssNumberGrouped:
    case ssDateTime: {
        m_cacheStyle = style;
        m_cachePrefix = m_fastPrefix;
        m_cacheSuffix = m_fastSuffix;
        SortByKeys<TValueEntry>(items, [&](const QString& text, int row) {
            bool isNumber = true;
            const double value = ConvertedValue(text, style, isNumber);
            return TValueEntry { isNumber ? value : std::numeric_limits<double>::quiet_NaN(), row };
        });
        break;
    }
    default: {
        items.ForEachStored(
            [&](const TListItem& item) { m_cells[size_t(item.Index())] = &CellText(item, m_column); });
        CompareWithFormat(0, 1, style, m_fastPrefix, m_fastSuffix);
        m_order.resize(size_t(n));
        std::iota(m_order.begin(), m_order.end(), 0);
        std::stable_sort(m_order.begin(), m_order.end(), [&](int x, int y) { return CompareRows(x, y) < 0; });
        break;
    }
    }
    items.ApplyOrder(m_order);

    m_cells.clear();
    m_order.clear();
    m_values.clear();
    m_state.clear();
}

} // namespace orvsort
