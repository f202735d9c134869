#include "printing/private/TDateTimePattern.h"

namespace {

QString FirstSeparator(const QString& format, const QString& fallback)
{
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return fallback;
}

// Collects literal text and writes it as one quoted run when a specifier follows.
class TPatternWriter {
public:
    void Literal(const QString& text) { m_literal += text; }
    void Specifier(const QString& qtSpecifier)
    {
        Flush();
        m_out += qtSpecifier;
    }
    QString Result()
    {
        Flush();
        return m_out;
    }

private:
    void Flush()
    {
        if (m_literal.isEmpty())
            return;
        QString quoted = m_literal;
        quoted.replace(QLatin1Char('\''), QLatin1String("''"));
        m_out += QLatin1Char('\'') + quoted + QLatin1Char('\'');
        m_literal.clear();
    }
    QString m_out;
    QString m_literal;
};

bool StartsWithNoCase(const QString& s, qsizetype at, QLatin1String what)
{
    return s.mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

} // namespace

QString TDateTimePattern::DateSeparator(const QLocale& locale)
{
    return FirstSeparator(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
}

QString TDateTimePattern::TimeSeparator(const QLocale& locale)
{
    return FirstSeparator(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
}

QString TDateTimePattern::ToQt(const QString& pattern, const QLocale& locale)
{
    TPatternWriter out;
    // "m" right after an hour specifier (letters between count, other characters do not) means
    // minutes, as in "hh:mm".
    QChar lastSpecifier;
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = pattern[i];
        const QChar u = c.toUpper();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype close = pattern.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? n : close;
            out.Literal(pattern.mid(i + 1, end - i - 1));
            i = close < 0 ? n : close + 1;
            continue;
        }
        if (c == QLatin1Char('/')) {
            out.Literal(DateSeparator(locale));
            ++i;
            continue;
        }
        if (c == QLatin1Char(':')) {
            out.Literal(TimeSeparator(locale));
            ++i;
            continue;
        }
        if (u == QLatin1Char('A')) {
            // am/pm, a/p and ampm; any other "a" is a letter of its own.
            if (StartsWithNoCase(pattern, i, QLatin1String("am/pm"))) {
                out.Specifier(c.isUpper() ? QStringLiteral("AP") : QStringLiteral("ap"));
                i += 5;
            } else if (StartsWithNoCase(pattern, i, QLatin1String("a/p"))) {
                out.Specifier(c.isUpper() ? QStringLiteral("AP") : QStringLiteral("ap"));
                i += 3;
            } else if (StartsWithNoCase(pattern, i, QLatin1String("ampm"))) {
                out.Specifier(QStringLiteral("AP"));
                i += 4;
            } else {
                out.Literal(QString(c));
                ++i;
            }
            lastSpecifier = u;
            continue;
        }
        if (!c.isLetter() || QStringLiteral("CDMYHNSZT").indexOf(u) < 0) {
            out.Literal(QString(c));
            if (c.isLetter())
                lastSpecifier = u;
            ++i;
            continue;
        }
        qsizetype count = 1;
        while (i + count < n && pattern[i + count].toUpper() == u)
            ++count;
        i += count;
        QChar token = u;
        if (token == QLatin1Char('M') && lastSpecifier == QLatin1Char('H'))
            token = QLatin1Char('N');
        lastSpecifier = u;
        switch (token.unicode()) {
        case 'C':
            out.Specifier(locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ')
                + locale.timeFormat(QLocale::LongFormat));
            break;
        case 'D':
            if (count >= 6)
                out.Specifier(locale.dateFormat(QLocale::LongFormat));
            else if (count == 5)
                out.Specifier(locale.dateFormat(QLocale::ShortFormat));
            else
                out.Specifier(QString(count, QLatin1Char('d')));
            break;
        case 'M':
            out.Specifier(QString(std::min<qsizetype>(count, 4), QLatin1Char('M')));
            break;
        case 'Y':
            out.Specifier(count <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy"));
            break;
        case 'H':
            out.Specifier(count == 1 ? QStringLiteral("h") : QStringLiteral("hh"));
            break;
        case 'N':
            out.Specifier(count == 1 ? QStringLiteral("m") : QStringLiteral("mm"));
            break;
        case 'S':
            out.Specifier(count == 1 ? QStringLiteral("s") : QStringLiteral("ss"));
            break;
        case 'Z':
            out.Specifier(count < 3 ? QStringLiteral("z") : QStringLiteral("zzz"));
            break;
        case 'T':
            out.Specifier(locale.timeFormat(count == 1 ? QLocale::ShortFormat : QLocale::LongFormat));
            break;
        default:
            break;
        }
    }
    return out.Result();
}

QString TDateTimePattern::Format(const QDateTime& when, const QString& pattern, const QLocale& locale)
{
    return locale.toString(when, ToQt(pattern, locale));
}
