// Character-format conventions shared by the RTF reader, the writer and TRichEdit.
#pragma once

#include <QFont>
#include <QTextCharFormat>

namespace rtf {

// The raise (+) or lowering (-) of a character, in twips. Qt keeps a baseline offset as a
// percentage of the font height, which changes meaning with the font size, so the twips value
// is stored beside it and the percentage is recomputed from it whenever the font may differ.
constexpr int kOffsetTwipsProperty = QTextFormat::UserProperty + 0x4a1;

// Sets both the stored twips and the percentage Qt lays out with; `font` is the character's
// resolved font (its point size decides the percentage).
void ApplyOffset(QTextCharFormat& format, int twips, const QFont& font);
int OffsetTwips(const QTextCharFormat& format);

// Windows code page of an RTF font charset (\fcharset); 0 = use the document's code page.
int CodePageOfCharset(int charset);

// Decodes bytes of a Windows code page (unknown pages fall back to 1252).
QString DecodeCodePage(const QByteArray& bytes, int codePage);
// The Windows-1252 byte of a character, or -1 when that code page has none.
int EncodeCp1252(char16_t ch);

// Removes what cannot be text of a run: control characters other than tab (and line feed when
// kept, which then starts a paragraph) and the characters QTextCursor turns into frames or
// objects; a paragraph separator becomes a line break. Linear in the length.
enum class KeepLineFeeds { No, Yes };
void SanitizeRun(QString& run, KeepLineFeeds keep);

} // namespace rtf
