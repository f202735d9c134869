// TPreviewSource: something that draws its first printed page into a rectangle of a screen
// canvas (the list, for the preview window).
#pragma once

#include "platform/TTypes.h"

class TCanvas;

class TPreviewSource {
public:
    virtual ~TPreviewSource() = default;
    // Rect: the preview area in pixels; the layout treats it as the page.
    virtual void PreviewPaint(TCanvas& Canvas, const TRect& Rect) = 0;
};
