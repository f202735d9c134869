// How a cell's text is shown: rich text, markup, URL or plain. Drawing, sizing, hints and
// exports all ask this one function so that they never disagree about a cell.
#pragma once

#include <QString>

enum TCellContentKind { ckRichText, ckMarkup, ckURL, ckPlain };

namespace CellContent {

// RTF starts with "{\" at the very beginning; anything else with that pair is just text.
inline bool IsRichText(const QString& text)
{
    return text.startsWith(QLatin1String("{\\"));
}

inline bool IsMarkup(const QString& text)
{
    return text.contains(QLatin1String("</"));
}

inline bool LooksLikeURL(const QString& text)
{
    return text.contains(QLatin1String("://")) || text.contains(QLatin1String("mailto:"));
}

// The tests run in this order: rich text wins over markup, markup over URL; URLs are only
// recognised when the list shows them.
inline TCellContentKind Classify(const QString& text, bool urlShow)
{
    if (IsRichText(text))
        return ckRichText;
    if (IsMarkup(text))
        return ckMarkup;
    if (urlShow && LooksLikeURL(text))
        return ckURL;
    return ckPlain;
}

} // namespace CellContent
