// Removes active content from cell markup before it is exported into an HTML page.
#pragma once

#include <QString>

class THTMLSanitizer {
public:
    // Scripts, styles, frames, objects, embeds, applets, document-level tags (meta, link, base),
    // comments, event attributes (on...) and attributes carrying script URLs or CSS expressions
    // are dropped; so are the elements whose content a browser reads as raw text (textarea, xmp,
    // plaintext, title, noscript, noembed, noframes, listing) with that content, table parts,
    // and closing tags of elements the markup did not open; what it opened is closed at its end,
    // so that it cannot change the page around it. Elements nest at most 256 deep. Every other
    // tag is rewritten with its attribute values quoted; text passes unchanged except that a '<'
    // that starts no tag is escaped, and a tag the text ends inside is text. Tag names keep
    // their case. One pass over the markup.
    static QString Sanitize(QStringView markup);

    // True when a URL or attribute value would run script once a browser decodes it
    // (character references, embedded blanks and controls, any letter case).
    static bool IsScriptValue(QStringView value);

    // Character references of an attribute value resolved (numeric ones and the few named ones
    // that can hide a URL scheme).
    static QString DecodeReferences(QStringView value);
};
