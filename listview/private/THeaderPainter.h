// THeaderPainter: paints one owner-drawn header section of a TOrvListView: the face, the sort
// indicator on the left, and a plain, multi-line or marked-up caption in the header font.
#pragma once

#include "platform/TTypes.h"

class QPainter;
class TCanvas;
class TOrvListView;

class THeaderPainter {
public:
    explicit THeaderPainter(TOrvListView& list);

    // Paints section `section` (a column index) into `rect` (header widget pixels).
    void DrawSection(QPainter& painter, int section, const TRect& rect);
    // The same on a canvas that is already attached to a device.
    void DrawSection(TCanvas& canvas, int section, const TRect& rect);

    static constexpr int kInsetX = 2; // pixels between section edge and content
    static constexpr int kInsetY = 1;
    static constexpr int kIndicatorGap = 2; // pixels between indicator and caption

private:
    TOrvListView& m_list;
};
