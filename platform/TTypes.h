// Plain geometry and state types shared by every module: GDI-style rectangles and points.
#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>

// A point in logical units of the surface it belongs to.
struct TPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const TPoint&, const TPoint&) = default;
    QPoint ToQPoint() const { return QPoint(x, y); }
    static TPoint FromQPoint(const QPoint& p) { return TPoint{p.x(), p.y()}; }
};

// A GDI rectangle: right and bottom are exclusive, so Width() = right - left.
struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const TRect&, const TRect&) = default;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(const TPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    TRect Translated(int dx, int dy) const { return TRect{left + dx, top + dy, right + dx, bottom + dy}; }
    TRect Inflated(int dx, int dy) const { return TRect{left - dx, top - dy, right + dx, bottom + dy}; }

    // QRect's right/bottom are inclusive; these conversions keep the covered pixels.
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
    static TRect FromQRect(const QRect& r) { return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
};

inline TRect Rect(int left, int top, int right, int bottom)
{
    return TRect{left, top, right, bottom};
}

// States handed to row drawing (the set a draw-item request carries).
enum TOwnerDrawStateFlag : std::uint32_t {
    odSelected = 0x1,
    odGrayed = 0x2,
    odDisabled = 0x4,
    odChecked = 0x8,
    odFocused = 0x10,
    odDefault = 0x20,
};
using TOwnerDrawState = std::uint32_t;

// Column text alignment, as a list column and a header section know it.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
