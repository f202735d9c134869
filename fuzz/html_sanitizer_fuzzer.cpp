// Cell markup bound for an exported HTML page goes through the sanitizer: any text must come out
// without a script element, and the checks on attribute values must take any bytes.
#include "exchange/private/THTMLSanitizer.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// True when `html` holds a start or end tag of a script element: "<script" or "</script"
// followed by what ends a tag name in HTML (a blank, "/", ">" or the end). "<scripton>" names
// another element.
bool HasScriptTag(const QString& html)
{
    for (qsizetype at = html.indexOf(QLatin1String("script"), 0, Qt::CaseInsensitive); at >= 0;
         at = html.indexOf(QLatin1String("script"), at + 1, Qt::CaseInsensitive)) {
        const bool opens = at >= 1 && html.at(at - 1) == QLatin1Char('<');
        const bool closes
            = at >= 2 && html.at(at - 1) == QLatin1Char('/') && html.at(at - 2) == QLatin1Char('<');
        if (!opens && !closes)
            continue;
        const qsizetype next = at + 6;
        if (next >= html.size())
            return true;
        const char16_t c = html.at(next).unicode();
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r' || c == u'/' || c == u'>')
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString markup = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString clean = THTMLSanitizer::Sanitize(markup);
    // A '<' that starts no tag is escaped, so a script element could only survive as a tag.
    if (HasScriptTag(clean))
        std::abort();
    (void)THTMLSanitizer::IsScriptValue(markup);
    (void)THTMLSanitizer::DecodeReferences(markup);
    return 0;
}
