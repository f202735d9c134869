// Platform pieces around the markup renderer: system icons, bitmaps stretched onto printer
// canvases, folder tests and the rotated-font pair.
#pragma once

#include "platform/TTypes.h"

#include <QSize>
#include <QString>

class TBitmap;
class TCanvas;

// Copies the bitmap's pixels, stretched from its whole area to `rect`, onto the canvas.
void StretchBitmapToCanvas(TCanvas& canvas, const TRect& rect, const TBitmap& bitmap);

// True when `path` exists and is a directory.
bool FolderExists(const QString& path);

enum class TIconDraw { MeasureOnly, Draw };
enum class TIconSize { Small, Large };

// A system icon named by an index, an existing file or folder, or a file name by its type.
// `size` receives the icon list's size, or 0 x 0 when the name or index gives no icon. With
// TIconDraw::Draw the icon is drawn at (x, y): transparently as it is, or when `printing`
// through a bitmap stretched by `factor`.
// Without an icon theme on the platform the size is 0 x 0 and nothing is drawn.
void DrawSystemIcon(TCanvas& canvas, int x, int y, QSize& size, double factor, bool printing, TIconDraw draw,
    TIconSize large, const QString& name);

// The text direction in force before a rotation, so that the closing tag can restore it.
struct TRotationSlot {
    bool active = false;
    int escapement = 0; // tenths of a degree
};

// Turns the canvas font to `angleDegrees` (counter-clockwise), remembering the previous direction.
// A second rotation before a restore keeps the first remembered direction.
void SelectRotatedFont(TCanvas& canvas, int angleDegrees, TRotationSlot& slot);

// Puts back the direction remembered by SelectRotatedFont; nothing when none is remembered.
void RestoreRotatedFont(TCanvas& canvas, TRotationSlot& slot);
