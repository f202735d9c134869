// Per-family measurements that turn GDI-style font heights into Qt pixel sizes.
#pragma once

#include <QFont>

namespace fontmetrics {

// Ratio of a font's cell height (ascent + descent) to its em size. A positive GDI height names
// the cell, Qt's pixel size names the em, so the em size is cell / ratio. Cached per family
// and style because every canvas text call may need it.
double CellToEmRatio(const QFont& font);

// Pixel size (em) for a GDI height given in device pixels: negative = em size, positive = cell.
int PixelSizeForHeight(const QFont& font, double deviceHeight);

} // namespace fontmetrics
