// Text operations on marked-up strings: stripping, plain/markup position mapping, marking and
// unmarking search hits, the renderer's string steps (entities, "<#", line breaks) and the
// loose number and colour readers of the markup language. Positions are 1-based; 0 = none.
#pragma once

#include "platform/TColor.h"

#include <QString>

// Plain text of a markup: "<br>" becomes CR LF, "<BR>", "<hr>", "<HR>" become CR, every other tag
// is removed; an unterminated "<" drops itself and the rest.
QString StripMarkup(const QString& markup);

// Position in `markup` at which the n-th plain character (counted outside tags) begins;
// length + 1 for one past the last plain character; 0 beyond that.
int MarkupPos(const QString& markup, int n);

// Position of `pattern` in `text` starting after the first `offset` characters (1-based, 0 when
// absent); the same value is stored in `position`. An empty pattern is never found.
int FindTextFrom(const QString& pattern, const QString& text, int offset, bool caseSensitive, int& position);

// Wraps every non-overlapping occurrence of `pattern` in the plain text of `markup` in
// "<tag>" ... "</tag>". A match that begins right after the previous one is skipped.
QString MarkText(const QString& markup, const QString& pattern, const QString& tag, bool caseSensitive);

// Removes every "<tag>" and "</tag>", for the tag as given and in upper case.
QString UnmarkText(const QString& markup, const QString& tag);

// `text` with the first case-sensitive occurrence of `oldText` replaced by `newText`.
QString ReplaceFirst(const QString& text, const QString& oldText, const QString& newText);

// Replaces the first occurrence of `oldText` found without regard to case; true when replaced.
bool ReplaceFirstText(const QString& oldText, const QString& newText, QString& text);

// Position of `sub` in `text` without regard to case; 0 when absent or `sub` is empty. Searches
// without regard to case compare letters case-folded one for one, so positions never shift.
int PosText(const QString& sub, const QString& text);

// "<#text>" shows as "#text": the first "<#" loses its "<", the first ">" after it is removed.
QString UnwrapHashTag(const QString& markup);

// Removes CR and LF; with `convert` every CR becomes "<BR>" instead.
QString LineBreaksToMarkup(const QString& text, bool convert);

// Leading integer after optional blanks and sign ("$" = hexadecimal). Reading stops at the first
// invalid character and the value so far is returned without its sign. Saturates on overflow.
int StrToIntLoose(const QString& text);

// True when the whole text (leading blanks allowed) is an integer; the value in `value`.
bool TryStrToInt(const QString& text, int& value);

// 16 * first + second hexadecimal digit; 0 for a text shorter than two characters.
int HexPairValue(const QString& text);

// "#RRGGBB" (the "#" optional) as a TColor; a short or broken pair reads as 0.
TColor ColorFromHex(const QString& text);

// A colour name of the markup language ("clred", "clhighlight", ...; compared lower-cased);
// black for an unknown name.
TColor ColorFromName(const QString& text);

// A colour value as tags write it: "#RRGGBB" when it begins with "#", else a colour name.
TColor ColorFromValue(const QString& text);

// The entity sweep done once before layout: "&amp;" (becomes "&&", shown as one "&" by prefix
// processing), "&quot;", "&sect;", "&permil;", "&reg;", "&copy;", "&para;", "&trade;", "&euro;",
// any letter case, repeated until nothing changes (so "&amp;quot;" ends as "&\"").
QString ReplaceEntities(const QString& text);

// The entities replaced inside a text segment only, so that they never start a tag:
// "&nbsp;", "&lt;", "&gt;" in any letter case.
QString ReplaceSegmentEntities(const QString& segment);

// What prefix processing shows of a text: "&&" is one "&", a single "&" is not shown.
QString RemovePrefixMarks(const QString& text);

// The text a reader sees of a markup, for assistive technology and other plain-text readers:
// entities resolved as the renderer resolves them, "&&" read as "&" and a single "&" kept (as
// PlainPrefixText), tags and hidden (<Z>) text removed, and a "\n" wherever the renderer starts a new line
// (<BR>, <HR>, </P>, list items, CR in the text).
QString MarkupShownText(const QString& markup);

// The text a reader takes from a prefix-processed string: "&&" is one "&", and a single "&"
// stays (only drawing hides it).
QString PlainPrefixText(const QString& text);
