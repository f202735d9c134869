// Pixel constants of the report list view's own layout (rows drawn by the platform itself).
#pragma once

namespace ListViewMetrics {

constexpr int kCheckZone = 16; // pixels reserved for the check box at the left of the caption
constexpr int kCheckBox = 13; // side of the drawn box, pixels
constexpr int kCaptionPadding = 2; // text inset in the caption label, pixels
constexpr int kCellPadding = 6; // text inset in a sub-item cell, pixels

} // namespace ListViewMetrics
