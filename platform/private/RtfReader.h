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

// Deepest group nesting that is still interpreted; deeper groups are skipped whole.
constexpr int kMaxGroupDepth = 200;

} // namespace rtf
