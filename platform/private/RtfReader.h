// RtfReader: fills a QTextDocument from RTF bytes.
#pragma once

#include <QByteArray>
#include <QFont>

class QTextDocument;

namespace rtf {

// Replaces the document's content with the text and formatting of `rtf`. Characters without
// an explicit font or size keep `defaultFont`'s. Malformed input is read as far as it makes
// sense; the work is linear in the input size and group nesting is bounded.
// Returns false when the bytes do not begin with an RTF group ("{\").
bool ReadRtf(const QByteArray& rtf, QTextDocument& document, const QFont& defaultFont);

// True when the bytes begin like RTF ("{\\" after blanks), which is when ReadRtf reads them.
bool IsRtf(const QByteArray& bytes);

// How much of the content a partial read takes.
struct ReadLimit {
    qsizetype maxChars = -1; // character positions (a paragraph mark counts one); -1 = all
    // Different faces and sizes (beyond the default font) that runs keep; runs naming others
    // take the default font's. -1 = all. Each costs a font lookup when laid out.
    int maxFonts = -1;
};

// Like ReadRtf, but stops once `limit.maxChars` character positions were read (a view of the
// first part of a long document) and keeps no more than `limit.maxFonts` different fonts.
// *complete tells whether the whole content was read.
bool ReadRtfPrefix(const QByteArray& rtf, QTextDocument& document, const QFont& defaultFont,
    const ReadLimit& limit, bool* complete);

// The characters ReadRtf would put into a document, without building one: paragraphs separated
// by "\n", line breaks kept as U+2028. Returns false for bytes that are not RTF.
bool ReadRtfText(const QByteArray& rtf, QString& text);

// Deepest group nesting that is still interpreted; deeper groups are skipped whole.
constexpr int kMaxGroupDepth = 200;

} // namespace rtf
