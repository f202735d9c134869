#include "markup/MarkupText.h"

#include <QHash>
#include <climits>
#include <vector>

QString StripMarkup(const QString& markup)
{
    QString s = markup;
    s.replace(QLatin1String("<br>"), QLatin1String("\r\n"));
    s.replace(QLatin1String("<BR>"), QLatin1String("\r"));
    s.replace(QLatin1String("<hr>"), QLatin1String("\r"));
    s.replace(QLatin1String("<HR>"), QLatin1String("\r"));

    QString result;
    result.reserve(s.size());
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = s.indexOf(QLatin1Char('<'), i);
        if (lt < 0) {
            result.append(QStringView(s).mid(i));
            break;
        }
        result.append(QStringView(s).mid(i, lt - i));
        const qsizetype gt = s.indexOf(QLatin1Char('>'), lt);
        if (gt < 0)
            break;
        i = gt + 1;
    }
    return result;
}

int MarkupPos(const QString& markup, int n)
{
    int counter = 1;
    bool inTag = false;
    const qsizetype len = markup.size();
    for (qsizetype i = 0; i < len; ++i) {
        const QChar c = markup.at(i);
        if (c == QLatin1Char('<'))
            inTag = true;
        if (counter == n)
            return int(i + 1);
        if (!inTag)
            ++counter;
        if (c == QLatin1Char('>'))
            inTag = false;
    }
    return counter == n ? int(len + 1) : 0;
}

namespace {

// Letters are compared by their case-folded form one for one, so that no letter whose upper case
// is longer ("ß" as "SS") moves the positions after it.
Qt::CaseSensitivity CaseOf(bool caseSensitive)
{
    return caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

} // namespace

int FindTextFrom(const QString& pattern, const QString& text, int offset, bool caseSensitive, int& position)
{
    position = 0;
    if (pattern.isEmpty())
        return 0;
    if (offset < 0)
        offset = 0;
    if (offset >= text.size())
        return 0;
    const qsizetype at = text.indexOf(pattern, offset, CaseOf(caseSensitive));
    position = at < 0 ? 0 : int(at + 1);
    return position;
}

QString MarkText(const QString& markup, const QString& pattern, const QString& tag, bool caseSensitive)
{
    if (pattern.isEmpty())
        return markup;
    const QString plain = StripMarkup(markup);

    // Each insertion goes right after plain character (n - 1), i.e. where MarkupPos(n) points.
    // The points strictly increase, so one walk over the markup places them all.
    struct Insertion {
        int n;
        bool open;
    };
    std::vector<Insertion> insertions;
    qsizetype offset = 0;
    while (offset < plain.size()) {
        const qsizetype at = plain.indexOf(pattern, offset, CaseOf(caseSensitive));
        if (at < 0)
            break;
        const int p = int(at + 1);
        insertions.push_back({ p, true });
        offset = p + pattern.size();
        insertions.push_back({ int(offset), false });
    }
    if (insertions.empty())
        return markup;

    const QString openTag = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString closeTag = QLatin1String("</") + tag + QLatin1Char('>');
    QString out;
    out.reserve(markup.size() + qsizetype(insertions.size()) * (closeTag.size() + 1));
    size_t next = 0;
    int counter = 1;
    bool inTag = false;
    for (qsizetype i = 0; i < markup.size(); ++i) {
        const QChar c = markup.at(i);
        if (c == QLatin1Char('<'))
            inTag = true;
        while (next < insertions.size() && insertions[next].n == counter) {
            out += insertions[next].open ? openTag : closeTag;
            ++next;
        }
        out += c;
        if (!inTag)
            ++counter;
        if (c == QLatin1Char('>'))
            inTag = false;
    }
    // Points at or past the end (the plain text counts line-break tags as characters, so it can
    // run longer than the markup's plain characters) land at the end, keeping the pairs whole.
    for (; next < insertions.size(); ++next)
        out += insertions[next].open ? openTag : closeTag;
    return out;
}

namespace {

// Removes `pattern` repeatedly until none remains, also where a removal joins a new occurrence.
QString RemoveAllRepeatedly(const QString& text, const QString& pattern)
{
    if (pattern.isEmpty() || !text.contains(pattern))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype m = pattern.size();
    for (const QChar c : text) {
        out += c;
        if (out.size() >= m && QStringView(out).right(m) == pattern)
            out.chop(m);
    }
    return out;
}

} // namespace

QString UnmarkText(const QString& markup, const QString& tag)
{
    QString s = markup;
    s = RemoveAllRepeatedly(s, QLatin1Char('<') + tag + QLatin1Char('>'));
    s = RemoveAllRepeatedly(s, QLatin1String("</") + tag + QLatin1Char('>'));
    const QString upper = tag.toUpper();
    s = RemoveAllRepeatedly(s, QLatin1Char('<') + upper + QLatin1Char('>'));
    s = RemoveAllRepeatedly(s, QLatin1String("</") + upper + QLatin1Char('>'));
    return s;
}

QString ReplaceFirst(const QString& text, const QString& oldText, const QString& newText)
{
    if (oldText.isEmpty())
        return text;
    const qsizetype at = text.indexOf(oldText);
    if (at < 0)
        return text;
    QString s = text;
    s.replace(at, oldText.size(), newText);
    return s;
}

bool ReplaceFirstText(const QString& oldText, const QString& newText, QString& text)
{
    const int pos = PosText(oldText, text);
    if (pos == 0)
        return false;
    text.replace(pos - 1, oldText.size(), newText);
    return true;
}

int PosText(const QString& sub, const QString& text)
{
    if (sub.isEmpty())
        return 0;
    const qsizetype at = text.indexOf(sub, 0, Qt::CaseInsensitive);
    return at < 0 ? 0 : int(at + 1);
}

QString UnwrapHashTag(const QString& markup)
{
    const qsizetype at = markup.indexOf(QLatin1String("<#"));
    if (at < 0)
        return markup;
    QString s = markup;
    s.remove(at, 1);
    const qsizetype gt = s.indexOf(QLatin1Char('>'), at);
    if (gt >= 0)
        s.remove(gt, 1);
    return s;
}

QString LineBreaksToMarkup(const QString& text, bool convert)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\r')) {
            if (convert)
                out += QLatin1String("<BR>");
        } else if (c != QLatin1Char('\n')) {
            out += c;
        }
    }
    return out;
}

namespace {

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// Reads blanks, sign, "$" and digits. `complete` tells whether the whole text was a number.
int ParseInt(const QString& text, bool& complete)
{
    complete = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    long long value = 0;
    const qsizetype firstDigit = i;
    while (i < n) {
        const int d = HexDigit(text.at(i));
        if (d < 0 || d >= base)
            break;
        value = value * base + d;
        if (value > INT_MAX)
            value = INT_MAX;
        ++i;
    }
    if (i < n || i == firstDigit)
        return int(value); // stopped early: the value so far, without its sign
    complete = true;
    return negative ? int(-value) : int(value);
}

} // namespace

int StrToIntLoose(const QString& text)
{
    bool complete = false;
    return ParseInt(text, complete);
}

bool TryStrToInt(const QString& text, int& value)
{
    bool complete = false;
    value = ParseInt(text, complete);
    return complete;
}

int HexPairValue(const QString& text)
{
    if (text.size() < 2)
        return 0;
    const int hi = HexDigit(text.at(0));
    const int lo = HexDigit(text.at(1));
    return 16 * (hi < 0 ? 0 : hi) + (lo < 0 ? 0 : lo);
}

TColor ColorFromHex(const QString& text)
{
    const QString digits = text.startsWith(QLatin1Char('#')) ? text.mid(1) : text;
    const int r = HexPairValue(digits.mid(0, 2));
    const int g = HexPairValue(digits.mid(2, 2));
    const int b = HexPairValue(digits.mid(4, 2));
    return RGBColor(r, g, b);
}

TColor ColorFromName(const QString& text)
{
    static const QHash<QString, TColor> table = {
        { "clred", clRed },
        { "clblack", clBlack },
        { "clblue", clBlue },
        { "clgreen", clGreen },
        { "claqua", clAqua },
        { "clyellow", clYellow },
        { "clfuchsia", clFuchsia },
        { "clwhite", clWhite },
        { "cllime", clLime },
        { "clsilver", clSilver },
        { "clgray", clGray },
        { "clolive", clOlive },
        { "clnavy", clNavy },
        { "clpurple", clPurple },
        { "clteal", clTeal },
        { "clmaroon", clMaroon },
        { "clbackground", clBackground },
        { "clactivecaption", clActiveCaption },
        { "clinactivecaption", clInactiveCaption },
        { "clmenu", clMenu },
        { "clwindow", clWindow },
        { "clwindowframe", clWindowFrame },
        { "clmenutext", clMenuText },
        { "clwindowtext", clWindowText },
        { "clcaptiontext", clCaptionText },
        { "clactiveborder", clActiveBorder },
        { "clinactiveborder", clInactiveBorder },
        { "clappworkspace", clAppWorkSpace },
        { "clhighlight", clHighlight },
        { "clhighlighttext", clHighlightText },
        { "clbtnface", clBtnFace },
        { "clbtnshadow", clBtnShadow },
        { "clgraytext", clGrayText },
        { "clbtntext", clBtnText },
        { "clinactivecaptiontext", clInactiveCaptionText },
        { "clbtnhighlight", clBtnHighlight },
        { "cl3ddkshadow", cl3DDkShadow },
        { "cl3dlight", cl3DLight },
        { "clinfotext", clInfoText },
        { "clinfobk", clInfoBk },
    };
    return table.value(text.toLower(), clBlack);
}

TColor ColorFromValue(const QString& text)
{
    if (text.startsWith(QLatin1Char('#')))
        return ColorFromHex(text);
    return ColorFromName(text);
}

namespace {

struct Entity {
    QLatin1String name; // after the "&", with the ";"
    QChar replacement; // null for "&amp;"
};

const Entity kSweepEntities[] = {
    { QLatin1String("amp;"), QChar() },
    { QLatin1String("quot;"), QChar(0x22) },
    { QLatin1String("sect;"), QChar(0xA7) },
    { QLatin1String("permil;"), QChar(0x2030) },
    { QLatin1String("reg;"), QChar(0xAE) },
    { QLatin1String("copy;"), QChar(0xA9) },
    { QLatin1String("para;"), QChar(0xB6) },
    { QLatin1String("trade;"), QChar(0x2122) },
    { QLatin1String("euro;"), QChar(0x20AC) },
};

const Entity kSegmentEntities[] = {
    { QLatin1String("nbsp;"), QChar(' ') },
    { QLatin1String("lt;"), QChar('<') },
    { QLatin1String("gt;"), QChar('>') },
};

template <size_t N> const Entity* MatchEntity(const QString& text, qsizetype from, const Entity (&table)[N])
{
    const QStringView rest = QStringView(text).mid(from);
    for (const Entity& e : table) {
        if (rest.startsWith(e.name, Qt::CaseInsensitive))
            return &e;
    }
    return nullptr;
}

} // namespace

QString ReplaceEntities(const QString& text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    // Entities hold a single "&", so occurrences never overlap and replacing one never breaks
    // another; only "&amp;" creates new text ("&&"), whose second "&" may begin an entity with
    // what follows. One left-to-right walk therefore reaches the same end as repeated sweeps.
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('&')) {
            out += c;
            ++i;
            continue;
        }
        qsizetype after = i + 1; // text after the pending "&"
        bool pending = true;
        while (pending) {
            const Entity* e = MatchEntity(text, after, kSweepEntities);
            if (!e)
                break;
            after += e->name.size();
            if (e->replacement.isNull()) {
                out += QLatin1Char('&'); // "&amp;" -> "&&": the second "&" stays pending
            } else {
                out += e->replacement;
                pending = false;
            }
        }
        if (pending)
            out += QLatin1Char('&');
        i = after;
    }
    return out;
}

QString ReplaceSegmentEntities(const QString& segment)
{
    if (!segment.contains(QLatin1Char('&')))
        return segment;
    QString out;
    out.reserve(segment.size());
    const qsizetype n = segment.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = segment.at(i);
        if (c == QLatin1Char('&')) {
            if (const Entity* e = MatchEntity(segment, i + 1, kSegmentEntities)) {
                out += e->replacement;
                i += 1 + e->name.size();
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

QString RemovePrefixMarks(const QString& text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += text.at(i);
    }
    return out;
}

QString MarkupShownText(const QString& markup)
{
    const QString text = LineBreaksToMarkup(UnwrapHashTag(ReplaceEntities(markup)), true);
    QString shown;
    shown.reserve(text.size());
    bool hidden = false;
    const auto newLine = [&shown] { shown += QLatin1Char('\n'); };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = text.indexOf(QLatin1Char('<'), i);
        if (!hidden)
            shown += PlainPrefixText(ReplaceSegmentEntities(text.mid(i, (lt < 0 ? n : lt) - i)));
        if (lt < 0)
            break;
        // As the renderer reads tags: a "<" with fewer than three characters after it, or one
        // without a ">", ends the text.
        const qsizetype gt = text.indexOf(QLatin1Char('>'), lt);
        if (n - lt < 3 || gt < 0)
            break;
        const bool closing = text.at(lt + 1) == QLatin1Char('/') && n - lt > 3;
        const QChar letter = text.at(lt + (closing ? 2 : 1)).toUpper();
        const QChar second = lt + (closing ? 3 : 2) < n ? text.at(lt + (closing ? 3 : 2)).toUpper() : QChar();
        if (closing) {
            if (letter == QLatin1Char('P'))
                newLine();
            else if (letter == QLatin1Char('Z'))
                hidden = false;
        } else if (letter == QLatin1Char('Z')) {
            hidden = true;
        } else if ((letter == QLatin1Char('B') || letter == QLatin1Char('H')) && second == QLatin1Char('R')) {
            newLine();
        } else if (letter == QLatin1Char('L') && !shown.isEmpty() && !shown.endsWith(QLatin1Char('\n'))) {
            newLine(); // each list item begins a line
        }
        i = gt + 1;
    }
    while (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    return shown;
}

QString PlainPrefixText(const QString& text)
{
    if (!text.contains(QLatin1String("&&")))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        out += text.at(i);
        if (text.at(i) == QLatin1Char('&') && i + 1 < n && text.at(i + 1) == QLatin1Char('&'))
            ++i;
    }
    return out;
}
