// TCanvas: a GDI-style drawing surface over a QPainter on a widget, a QImage or a QPrinter.
//
// The canvas keeps font, brush, pen, background mode and mapping mode itself and converts
// logical units to device pixels on every call, so text is always drawn upright whatever the
// mapping. Two mappings exist: device pixels, and 0.1 mm with y pointing up (the printable
// area's top-left at (0, 0), everything below at negative y).
#pragma once

#include "platform/TBrush.h"
#include "platform/TColor.h"
#include "platform/TFont.h"
#include "platform/TTypes.h"

#include <QSize>
#include <QString>
#include <memory>
#include <vector>

class QBrush;
class QImage;
class QPainter;
class QPaintDevice;
class TBitmap;
class TTextMeasure;

// DrawText flags, with the values a GDI caller knows.
enum TDrawTextFlag : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_EDITCONTROL = 0x2000,
    DT_END_ELLIPSIS = 0x8000,
};

enum TBkMode { bkOpaque, bkTransparent };

// One drawing call as a recording canvas saw it, in logical units of the mapping of the time.
struct TCanvasRecord {
    enum Kind { Fill, Frame, Rectangle, Line, FocusRect, CheckBox, Edge, Text, Image };
    Kind kind = Fill;
    TRect rect; // text: the line's box; line: from (left, top) to (right, bottom)
    QString text; // text: the characters drawn (prefixes removed, "..." added)
    TColor color = clNone; // fills and frames: brush; rectangle and line: pen; text: font
    TColor background = clNone; // text drawn in opaque mode: the brush colour behind it
    TFontStyles style = 0;
    int fontHeight = 0;
    int escapement = 0;
    bool checked = false; // check box
    qint64 imageKey = 0; // image: QImage::cacheKey() of the picture drawn (an image-list entry keeps its key)
    QSize imageSize; // image: its size in pixels
};
enum TMapMode { mmPixels, mmLoMetric };
enum TEdgeStyle { edRaised, edSunken };

class TCanvas {
public:
    TCanvas(); // no device: drawing calls do nothing, measuring uses a screen-resolution image
    explicit TCanvas(QPaintDevice* device); // begins its own painter on the device
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Borrow a painter that someone else began (a widget's paint event, a printer job).
    void Attach(QPainter* painter);
    void Detach();
    bool HasDevice() const;
    QPainter* Painter() const;
    QPaintDevice* Device() const;

    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    void SetFont(const TFont& font) { m_font.Assign(font); }
    TBrush& Brush() { return m_brush; }
    const TBrush& Brush() const { return m_brush; }
    TPen& Pen() { return m_pen; }
    const TPen& Pen() const { return m_pen; }

    TBkMode BkMode() const { return m_bkMode; }
    void SetBkMode(TBkMode mode) { m_bkMode = mode; }

    // Mapping. Switching keeps the device origin; font heights are in logical units of the mode.
    TMapMode MapMode() const { return m_mapMode; }
    void SetMapMode(TMapMode mode) { m_mapMode = mode; }
    TPoint LPtoDP(TPoint logical) const;
    TPoint DPtoLP(TPoint device) const;
    // Normalised so that left <= right, top <= bottom; coordinates bounded by +-2^29.
    TRect LPtoDP(const TRect& logical) const;
    int PixelsPerInchX() const;
    int PixelsPerInchY() const;
    // Device pixels per logical unit in the current mapping (1 for pixels).
    double UnitsToPixelsX() const;
    double UnitsToPixelsY() const;

    // Filling and lines (logical units).
    void FillRect(const TRect& r); // brush, no outline
    void FrameRect(const TRect& r); // 1-pixel frame in the brush colour
    void Rectangle(const TRect& r); // pen outline, brush inside
    void MoveTo(int x, int y);
    void LineTo(int x, int y); // pen; the end point is not drawn (GDI)
    TPoint PenPos() const { return m_penPos; }
    void DrawFocusRect(const TRect& r); // dotted frame
    void DrawFlatCheckBox(const TRect& r, bool checked);
    // A two-pixel 3-D border inside `r` in the button colours (a raised button or a sunken field).
    void DrawEdge(const TRect& r, TEdgeStyle style);

    // Text. TextOut draws with the text's top-left at (x, y); the background is filled with the
    // brush colour in opaque mode.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const; // line height of the font (ascent + descent)
    TPoint TextExtent(const QString& text) const;
    // Draws `text` into `rect` honouring the DT_ flags; with DT_CALCRECT nothing is drawn and
    // `rect` is resized to what the text needs. Returns the height of the text drawn (with
    // DT_VCENTER/DT_BOTTOM: from the rectangle's top to the text's bottom), in logical units.
    // As in GDI: DT_VCENTER and DT_BOTTOM act only with DT_SINGLELINE; DT_WORDBREAK breaks at
    // blanks and lets a longer word overflow unless DT_EDITCONTROL splits it; DT_EDITCONTROL also
    // hides a partly visible last line (wrapped text cut off that way ends in "..." with
    // DT_END_ELLIPSIS); CR, LF and CR LF break lines unless DT_SINGLELINE; with DT_TABSTOP bits
    // 8-15 are the characters per tab stop, not flags. Rotated text (font escapement) is not
    // clipped to `rect`.
    int DrawText(const QString& text, TRect& rect, unsigned flags);
    int DrawTextEx(const QString& text, TRect& rect, unsigned flags, int leftMargin, int rightMargin);
    // Measures single-line text in the current font (and mapping) as DrawText with these flags
    // plus DT_SINGLELINE | DT_CALCRECT does, for as long as the caller keeps it; later font
    // changes of the canvas do not reach it.
    TTextMeasure SingleLineMeasure(unsigned flags) const;

    // Test seam: with a recorder set every drawing call is also appended to it (with or without
    // a device); fixed metrics make every character `charWidth` device pixels wide and every line
    // ascent + descent high, whatever the font. Pass nullptr / 0 to turn them off.
    void SetRecorder(std::vector<TCanvasRecord>* recorder);
    void SetFixedMetrics(int charWidth, int ascent, int descent);
    // Test seam for layouts measured without a device: a canvas without a painter reports this
    // resolution (dots per inch) and this device size (ClipBox), as a printer page would. Pass 0
    // and an empty size to turn it off.
    void SetFixedDevice(int pixelsPerInchX, int pixelsPerInchY, QSize devicePixels);

    // Clipping (logical units).
    void SetClipRect(const TRect& r);
    void RemoveClip();
    TRect ClipBox() const; // the clip rectangle, or the whole device when there is none

    // Pictures.
    void Draw(int x, int y, const TBitmap& bitmap); // transparent when the bitmap is
    void StretchDraw(const TRect& r, const TBitmap& bitmap);
    void DrawImage(int x, int y, const QImage& image); // natural size in device pixels
    void StretchDrawImage(const TRect& r, const QImage& image);

private:
    void Record(TCanvasRecord::Kind kind, const TRect& rect, TColor color, const QString& text = QString());
    QBrush FillBrush() const;
    int PenDeviceWidth() const;
    // One line of text with its top-left at a device point, rotated by the font's escapement.
    void DrawTextLine(const QPoint& topLeft, const QString& text, const std::vector<int>& underlines,
        bool expandTabs, int boxWidth, int tabChars);

    struct Impl;
    std::unique_ptr<Impl> d;
    TFont m_font;
    TBrush m_brush;
    TPen m_pen;
    TBkMode m_bkMode = bkOpaque;
    TMapMode m_mapMode = mmPixels;
    TPoint m_penPos;
};
