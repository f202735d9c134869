#include "exchange/private/THTMLSanitizer.h"

#include <QList>
#include <algorithm>
#include <iterator>
#include <vector>

namespace {

bool IsSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsNameChar(QChar c)
{
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u':' || c == u'.';
}

bool OneOf(const QString& lowerName, std::initializer_list<const char16_t*> names)
{
    for (const char16_t* name : names)
        if (lowerName == QStringView(name))
            return true;
    return false;
}

// Elements dropped together with everything up to their closing tag: active content, and the
// elements whose content a browser reads as raw text, which would swallow the rest of the page
// if a cell left one open.
bool DropsContent(const QString& lowerName)
{
    return OneOf(lowerName,
        { u"script", u"style", u"iframe", u"object", u"applet", u"frameset", u"noscript", u"template", u"xml",
            u"textarea", u"xmp", u"plaintext", u"title", u"noembed", u"noframes", u"listing" });
}

// Elements dropped on their own: they have no content, their content is harmless, or they
// belong to the page's own structure (a table part would close or split the cell around it).
bool DropsTag(const QString& lowerName)
{
    return OneOf(lowerName,
        { u"embed", u"frame", u"meta", u"link", u"base", u"param", u"html", u"head", u"body", u"table",
            u"caption", u"colgroup", u"col", u"thead", u"tbody", u"tfoot", u"tr", u"td", u"th" });
}

// Elements without content or closing tag.
bool IsVoid(const QString& lowerName)
{
    return OneOf(lowerName,
        { u"area", u"br", u"hr", u"img", u"image", u"input", u"source", u"track", u"wbr", u"keygen",
            u"isindex", u"basefont", u"bgsound", u"spacer" });
}

// Elements that the end of the table cell around them closes anyway.
bool ClosedByCellEnd(const QString& lowerName)
{
    return OneOf(
        lowerName, { u"p", u"li", u"dd", u"dt", u"option", u"optgroup", u"rb", u"rp", u"rt", u"rtc" });
}

// Deeper nesting than this is not markup anyone writes; further opening tags are dropped, which
// also keeps the search for a closing tag's element short.
constexpr size_t kMaxOpenElements = 256;

struct TAttribute {
    QStringView name;
    QStringView value;
    bool hasValue = false;
};

struct TTag {
    QStringView name;
    QList<TAttribute> attributes;
    bool closing = false;
    bool selfClosing = false;
    qsizetype end = 0; // index just after '>'
};

enum class TParse {
    Tag,
    NotATag, // no tag name after the '<'
    Unfinished, // the text ends inside the tag
};

// Parses the tag starting at s[start] == '<'.
TParse ParseTag(QStringView s, qsizetype start, TTag& tag)
{
    const qsizetype n = s.size();
    qsizetype i = start + 1;
    if (i < n && s[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    if (i >= n || !IsAsciiLetter(s[i]))
        return TParse::NotATag;
    const qsizetype nameStart = i;
    while (i < n && IsNameChar(s[i]))
        ++i;
    tag.name = s.mid(nameStart, i - nameStart);
    for (;;) {
        while (i < n && (IsSpace(s[i]) || s[i] == u'/')) {
            if (s[i] == u'/')
                tag.selfClosing = true;
            ++i;
        }
        if (i >= n)
            return TParse::Unfinished;
        if (s[i] == u'>') {
            tag.end = i + 1;
            return TParse::Tag;
        }
        tag.selfClosing = false;
        TAttribute attribute;
        const qsizetype attrStart = i;
        ++i; // a name may start with any character, '=' included, as browsers read it
        while (i < n && !IsSpace(s[i]) && s[i] != u'/' && s[i] != u'>' && s[i] != u'=')
            ++i;
        attribute.name = s.mid(attrStart, i - attrStart);
        qsizetype j = i;
        while (j < n && IsSpace(s[j]))
            ++j;
        if (j < n && s[j] == u'=') {
            ++j;
            while (j < n && IsSpace(s[j]))
                ++j;
            if (j >= n)
                return TParse::Unfinished;
            attribute.hasValue = true;
            if (s[j] == u'"' || s[j] == u'\'') {
                const qsizetype close = s.indexOf(s[j], j + 1);
                if (close < 0)
                    return TParse::Unfinished;
                attribute.value = s.mid(j + 1, close - j - 1);
                i = close + 1;
            } else {
                const qsizetype valueStart = j;
                while (j < n && !IsSpace(s[j]) && s[j] != u'>')
                    ++j;
                attribute.value = s.mid(valueStart, j - valueStart);
                i = j;
            }
        }
        tag.attributes.append(attribute);
    }
}

// Index just after the closing tag of `lowerName` found from `from`, or the end of s.
qsizetype SkipToClosingTag(QStringView s, qsizetype from, const QString& lowerName)
{
    const QString needle = QStringLiteral("</") + lowerName;
    qsizetype at = from;
    for (;;) {
        at = s.indexOf(needle, at, Qt::CaseInsensitive);
        if (at < 0)
            return s.size();
        const qsizetype after = at + needle.size();
        if (after >= s.size() || !IsNameChar(s[after])) {
            const qsizetype close = s.indexOf(u'>', after);
            return close < 0 ? s.size() : close + 1;
        }
        at = after;
    }
}

bool ValidAttributeName(QStringView name)
{
    if (name.isEmpty() || !(IsAsciiLetter(name[0]) || name[0] == u'_'))
        return false;
    for (QChar c : name)
        if (!IsNameChar(c))
            return false;
    return true;
}

bool KeepsAttribute(const TAttribute& attribute)
{
    if (!ValidAttributeName(attribute.name))
        return false;
    const QString name = attribute.name.toString().toLower();
    if (name.startsWith(u"on") || name == u"srcdoc" || name == u"formaction")
        return false;
    if (!attribute.hasValue)
        return true;
    if (THTMLSanitizer::IsScriptValue(attribute.value))
        return false;
    if (name == u"style") {
        const QString css = THTMLSanitizer::DecodeReferences(attribute.value).toLower();
        if (css.contains(u"expression") || css.contains(u"behavior") || css.contains(u"binding")
            || css.contains(u"url("))
            return false;
    }
    return true;
}

void AppendAttributeValue(QString& out, QStringView value)
{
    for (QChar c : value) {
        if (c == u'"')
            out += u"&quot;";
        else if (c == u'<')
            out += u"&lt;";
        else if (c == u'>')
            out += u"&gt;";
        else if (c != QChar(0))
            out += c;
    }
}

} // namespace

QString THTMLSanitizer::DecodeReferences(QStringView value)
{
    QString out;
    out.reserve(value.size());
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (value[i] != u'&') {
            out += value[i];
            continue;
        }
        qsizetype j = i + 1;
        if (j < n && value[j] == u'#') {
            ++j;
            const bool hex = j < n && (value[j] == u'x' || value[j] == u'X');
            if (hex)
                ++j;
            char32_t code = 0;
            const qsizetype digitsStart = j;
            while (j < n) {
                const QChar c = value[j];
                int digit = -1;
                if (c >= u'0' && c <= u'9')
                    digit = c.unicode() - u'0';
                else if (hex && c >= u'a' && c <= u'f')
                    digit = c.unicode() - u'a' + 10;
                else if (hex && c >= u'A' && c <= u'F')
                    digit = c.unicode() - u'A' + 10;
                if (digit < 0)
                    break;
                code = std::min<char32_t>(code * (hex ? 16 : 10) + char32_t(digit), 0x110000);
                ++j;
            }
            if (j == digitsStart) {
                out += value[i];
                continue;
            }
            if (j < n && value[j] == u';')
                ++j;
            if (code > 0 && code < 0x110000)
                out += QString::fromUcs4(&code, 1);
            i = j - 1;
            continue;
        }
        static const struct {
            const char16_t* name;
            char16_t ch;
        } named[] = { { u"colon", u':' }, { u"tab", u'\t' }, { u"newline", u'\n' }, { u"lpar", u'(' },
            { u"rpar", u')' }, { u"sol", u'/' }, { u"amp", u'&' } };
        bool matched = false;
        for (const auto& entry : named) {
            const QStringView name(entry.name);
            if (value.mid(j).startsWith(name, Qt::CaseInsensitive)) {
                out += QChar(entry.ch);
                i = j + name.size() - 1;
                if (i + 1 < n && value[i + 1] == u';')
                    ++i;
                matched = true;
                break;
            }
        }
        if (!matched)
            out += value[i];
    }
    return out;
}

bool THTMLSanitizer::IsScriptValue(QStringView value)
{
    // Browsers ignore blanks and controls inside a scheme and compare it in any case.
    QString compact;
    for (QChar c : DecodeReferences(value))
        if (c.unicode() > 0x20 && c.unicode() != 0x7F)
            compact += c.toLower();
    return compact.contains(u"javascript:") || compact.contains(u"vbscript:")
        || compact.contains(u"livescript:")
        || (compact.startsWith(u"data:") && !compact.startsWith(u"data:image/"));
}

QString THTMLSanitizer::Sanitize(QStringView s)
{
    QString out;
    out.reserve(s.size());
    struct TOpen {
        QString lowerName;
        QStringView name; // as written
    };
    std::vector<TOpen> open; // elements the markup opened and has not closed, outermost first
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c != u'<') {
            if (c != QChar(0))
                out += c;
            ++i;
            continue;
        }
        if (s.mid(i, 4) == u"<!--") {
            const qsizetype close = s.indexOf(QStringLiteral("-->"), i + 4);
            i = close < 0 ? n : close + 3;
            continue;
        }
        if (i + 1 < n && (s[i + 1] == u'!' || s[i + 1] == u'?')) {
            const qsizetype close = s.indexOf(u'>', i + 2);
            i = close < 0 ? n : close + 1;
            continue;
        }
        TTag tag;
        const TParse parsed = ParseTag(s, i, tag);
        if (parsed == TParse::NotATag) {
            out += u"&lt;";
            ++i;
            continue;
        }
        if (parsed == TParse::Unfinished) {
            // A browser reads everything up to the end as part of the tag; here it is text.
            for (; i < n; ++i) {
                if (s[i] == u'<')
                    out += u"&lt;";
                else if (s[i] != QChar(0))
                    out += s[i];
            }
            break;
        }
        const QString lowerName = tag.name.toString().toLower();
        if (DropsContent(lowerName)) {
            i = (tag.closing || tag.selfClosing) ? tag.end : SkipToClosingTag(s, tag.end, lowerName);
            continue;
        }
        i = tag.end;
        if (DropsTag(lowerName))
            continue;
        const bool isVoid = IsVoid(lowerName);
        if (tag.closing) {
            // Only what this markup opened may be closed, so that it never ends an element
            // around it.
            if (isVoid)
                continue;
            auto found = std::find_if(open.rbegin(), open.rend(),
                [&](const TOpen& element) { return element.lowerName == lowerName; });
            if (found == open.rend())
                continue;
            open.erase(std::next(found).base());
            out += u"</";
            out += tag.name;
            out += u'>';
            continue;
        }
        if (!isVoid) {
            if (open.size() >= kMaxOpenElements)
                continue;
            open.push_back({ lowerName, tag.name });
        }
        out += u'<';
        out += tag.name;
        for (const TAttribute& attribute : tag.attributes) {
            if (!KeepsAttribute(attribute))
                continue;
            out += u' ';
            out += attribute.name;
            if (attribute.hasValue) {
                out += u"=\"";
                AppendAttributeValue(out, attribute.value);
                out += u'"';
            }
        }
        // A browser ignores the slash of a non-void element: it stays open either way.
        if (tag.selfClosing && isVoid)
            out += u'/';
        out += u'>';
    }
    for (auto element = open.rbegin(); element != open.rend(); ++element) {
        if (ClosedByCellEnd(element->lowerName))
            continue;
        out += u"</";
        out += element->name;
        out += u'>';
    }
    return out;
}
