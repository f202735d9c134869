// Cell markup bound for an exported HTML page goes through the sanitizer: any text must come out
// without a script element, and the checks on attribute values must take any bytes.
#include "exchange/private/THTMLSanitizer.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString markup = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString clean = THTMLSanitizer::Sanitize(markup);
    // A '<' that starts no tag is escaped, so "<script" could only survive as a tag.
    if (clean.contains(QLatin1String("<script"), Qt::CaseInsensitive))
        std::abort();
    (void)THTMLSanitizer::IsScriptValue(markup);
    (void)THTMLSanitizer::DecodeReferences(markup);
    return 0;
}
