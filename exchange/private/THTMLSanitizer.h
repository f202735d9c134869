// Removes active content from cell markup before it is exported into an HTML page.
#pragma once

#include <QString>

class THTMLSanitizer {
public:
    // Scripts, styles, frames, objects, embeds, applets, document-level tags (meta, link, base),
    // comments, event attributes (on...) and attributes carrying script URLs or CSS expressions
    // are dropped; every other tag is rewritten with its attribute values quoted; text passes
    // unchanged except that a '<' that starts no tag is escaped. Tag names keep their case.
    static QString Sanitize(QStringView markup);

    // True when a URL or attribute value would run script once a browser decodes it
    // (character references, embedded blanks and controls, any letter case).
    static bool IsScriptValue(QStringView value);

    // Character references of an attribute value resolved (numeric ones and the few named ones
    // that can hide a URL scheme).
    static QString DecodeReferences(QStringView value);
};
