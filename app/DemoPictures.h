// The demo's pictures (image lists, sort and check glyphs), painted at start-up so that the
// program needs no picture files.
#pragma once

#include <QImage>

namespace DemoPictures {

// The four 16 x 16 pictures of the first image list: a car, a star, a flag and a globe.
QImage Car();
QImage Star();
QImage Flag();
QImage Globe();
// 16 x 16 triangle outlines pointing up and down (header sort images).
QImage UpOutline();
QImage DownOutline();
// 16 x 16 green tick and red cross.
QImage Tick();
QImage Cross();
// 14 x 13 filled triangles for the header's sort indicator.
QImage SortUpGlyph();
QImage SortDownGlyph();
// 16 x 16 check boxes, ticked and empty.
QImage CheckTrue();
QImage CheckFalse();

} // namespace DemoPictures
