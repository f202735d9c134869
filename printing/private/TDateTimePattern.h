// TDateTimePattern: turns a date-time pattern of the classic family ("dd/mm/yyyy", "hh:nn",
// "dddd d mmmm yyyy", quoted literals, "/" and ":" standing for the locale's separators) into
// the pattern QLocale::toString understands.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

class TDateTimePattern {
public:
    // Every character that is not a specifier ends up quoted, so no letter of the input is
    // taken for a Qt specifier by accident.
    static QString ToQt(const QString& pattern, const QLocale& locale = QLocale());
    static QString Format(const QDateTime& when, const QString& pattern, const QLocale& locale = QLocale());

    // The separators "/" and ":" stand for: the first non-letter of the locale's short date and
    // time formats ("/" and ":" when the formats have none).
    static QString DateSeparator(const QLocale& locale);
    static QString TimeSeparator(const QLocale& locale);
};
