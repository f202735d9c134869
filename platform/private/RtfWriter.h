// RtfWriter: the RTF form of a QTextDocument.
#pragma once

#include <QByteArray>
#include <QFont>

class QTextDocument;

namespace rtf {

// Writes \rtf1\ansi\ansicpg1252\deff0 with a font table (font 0 = `defaultFont`), a colour table
// and, per run, the formatting the reader understands. Characters outside ASCII are written as
// \uN with a Windows-1252 (or "?") fallback for older readers.
QByteArray WriteRtf(const QTextDocument& document, const QFont& defaultFont);

} // namespace rtf
