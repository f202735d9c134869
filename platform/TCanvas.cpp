#include "platform/TCanvas.h"

#include "platform/TBitmap.h"
#include "platform/TTextMeasure.h"
#include "platform/private/CanvasFont.h"
#include "platform/private/TextLayout.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int kTenthMmPerInch = 254;
constexpr int kScreenDpi = 96;

int RoundToInt(double v)
{
    return int(std::lround(v));
}

Qt::PenStyle ToQtPenStyle(TPenStyle style)
{
    switch (style) {
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    case psSolid:
    case psInsideFrame:
        break;
    }
    return Qt::SolidLine;
}

} // namespace

// Painter, clip and font cache. Everything here is in device pixels; the canvas converts.
struct TCanvas::Impl {
    QPainter* painter = nullptr;
    std::unique_ptr<QPainter> own;
    bool borrowed = false;
    QTransform base; // the borrowed painter's transform, kept as the device origin
    bool baseHasClip = false; // the borrowed painter's own clip: our clips never escape it
    QRegion baseClip;
    bool hasClip = false;
    QRect clipDevice;
    std::vector<TCanvasRecord>* recorder = nullptr;
    int fixedCharWidth = 0; // device pixels; 0 = the font's own metrics
    int fixedAscent = 0;
    int fixedDescent = 0;
    int fixedDpiX = 0; // a device-less canvas's resolution and size; 0 / empty = not set
    int fixedDpiY = 0;
    QSize fixedSize;

    // A handful of fonts: cells switch between few. An entry a measure still holds stays
    // alive when the canvas replaces it.
    static constexpr size_t kMaxFonts = 8;
    std::vector<std::shared_ptr<TCanvasFont>> fonts;
    size_t nextVictim = 0;

    bool Active() const { return painter && painter->isActive(); }

    const std::shared_ptr<TCanvasFont>& FontPtr(const TFont& f, double unitsToPixels, int dpi)
    {
        for (const std::shared_ptr<TCanvasFont>& e : fonts) {
            if (e->height == f.Height() && e->style == f.Style() && e->unitsToPixels == unitsToPixels
                && e->dpi == dpi && e->name == f.Name())
                return e;
        }
        auto entry = std::make_shared<TCanvasFont>();
        TCanvasFont* slot = entry.get();
        slot->name = f.Name();
        slot->height = f.Height();
        slot->style = f.Style();
        slot->unitsToPixels = unitsToPixels;
        slot->dpi = dpi;
        slot->font = f.ToQFont(dpi, unitsToPixels);
        if (Active())
            slot->metrics = std::make_unique<QFontMetrics>(slot->font, painter->device());
        else
            slot->metrics = std::make_unique<QFontMetrics>(slot->font);
        slot->fixedCharWidth = fixedCharWidth;
        slot->ascent = fixedCharWidth > 0 ? fixedAscent : slot->metrics->ascent();
        slot->descent = fixedCharWidth > 0 ? fixedDescent : slot->metrics->descent();
        slot->leading = std::max(0, slot->metrics->leading());
        slot->averageCharWidth = slot->metrics->averageCharWidth();
        if (fonts.size() < kMaxFonts) {
            fonts.push_back(std::move(entry));
            return fonts.back();
        }
        std::shared_ptr<TCanvasFont>& victim = fonts[nextVictim];
        nextVictim = (nextVictim + 1) % kMaxFonts;
        victim = std::move(entry);
        return victim;
    }
    const TCanvasFont& Font(const TFont& f, double unitsToPixels, int dpi)
    {
        return *FontPtr(f, unitsToPixels, dpi);
    }

    textlayout::Measurer MakeMeasurer(const TCanvasFont& e, bool expandTabs, int tabChars) const
    {
        return e.Measurer(expandTabs, tabChars);
    }

    void ApplyClip()
    {
        if (!Active())
            return;
        if (hasClip) {
            if (baseHasClip)
                painter->setClipRegion(baseClip.intersected(clipDevice), Qt::ReplaceClip);
            else
                painter->setClipRect(clipDevice, Qt::ReplaceClip);
        } else if (baseHasClip) {
            painter->setClipRegion(baseClip, Qt::ReplaceClip);
        } else {
            painter->setClipping(false);
        }
    }

    void FillDevice(const QRect& r, const QBrush& brush)
    {
        if (r.width() > 0 && r.height() > 0)
            painter->fillRect(r, brush);
    }
};

TCanvas::TCanvas()
    : d(std::make_unique<Impl>())
{ }

TCanvas::TCanvas(QPaintDevice* device)
    : d(std::make_unique<Impl>())
{
    if (!device)
        return;
    d->own = std::make_unique<QPainter>();
    if (d->own->begin(device)) {
        d->painter = d->own.get();
        d->painter->setRenderHint(QPainter::Antialiasing, false);
    } else {
        d->own.reset();
    }
}

TCanvas::~TCanvas()
{
    Detach();
}

void TCanvas::Attach(QPainter* painter)
{
    Detach();
    if (!painter || !painter->isActive())
        return; // nothing to draw on: the canvas behaves as one without a device
    d->painter = painter;
    d->borrowed = true;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    d->base = painter->worldTransform();
    d->baseHasClip = painter->hasClipping();
    d->baseClip = d->baseHasClip ? painter->clipRegion() : QRegion();
    d->hasClip = false;
    d->fonts.clear(); // metrics depend on the device
}

void TCanvas::Detach()
{
    if (d->borrowed && d->painter) {
        d->painter->restore();
    } else if (d->own) {
        if (d->own->isActive())
            d->own->end();
        d->own.reset();
    }
    d->painter = nullptr;
    d->borrowed = false;
    d->baseHasClip = false;
    d->baseClip = QRegion();
    d->hasClip = false;
    d->fonts.clear();
}

bool TCanvas::HasDevice() const
{
    return d->Active();
}

QPainter* TCanvas::Painter() const
{
    return d->Active() ? d->painter : nullptr;
}

QPaintDevice* TCanvas::Device() const
{
    return d->Active() ? d->painter->device() : nullptr;
}

int TCanvas::PixelsPerInchX() const
{
    const QPaintDevice* dev = Device();
    if (!dev && d->fixedDpiX > 0)
        return d->fixedDpiX;
    return dev && dev->logicalDpiX() > 0 ? dev->logicalDpiX() : kScreenDpi;
}

int TCanvas::PixelsPerInchY() const
{
    const QPaintDevice* dev = Device();
    if (!dev && d->fixedDpiY > 0)
        return d->fixedDpiY;
    return dev && dev->logicalDpiY() > 0 ? dev->logicalDpiY() : kScreenDpi;
}

double TCanvas::UnitsToPixelsX() const
{
    return m_mapMode == mmLoMetric ? double(PixelsPerInchX()) / kTenthMmPerInch : 1.0;
}

double TCanvas::UnitsToPixelsY() const
{
    return m_mapMode == mmLoMetric ? double(PixelsPerInchY()) / kTenthMmPerInch : 1.0;
}

TPoint TCanvas::LPtoDP(TPoint p) const
{
    if (m_mapMode == mmPixels)
        return p;
    return TPoint { RoundToInt(p.x * UnitsToPixelsX()), RoundToInt(-p.y * UnitsToPixelsY()) };
}

TPoint TCanvas::DPtoLP(TPoint p) const
{
    if (m_mapMode == mmPixels)
        return p;
    return TPoint { RoundToInt(p.x / UnitsToPixelsX()), RoundToInt(-p.y / UnitsToPixelsY()) };
}

TRect TCanvas::LPtoDP(const TRect& r) const
{
    // Kept far inside the int range so that widths and heights never overflow; no device
    // comes near these sizes.
    static constexpr int kLimit = 1 << 29;
    auto clamp = [](int v) { return std::clamp(v, -kLimit, kLimit); };
    const TPoint a = LPtoDP(TPoint { r.left, r.top });
    const TPoint b = LPtoDP(TPoint { r.right, r.bottom });
    return TRect { clamp(std::min(a.x, b.x)), clamp(std::min(a.y, b.y)), clamp(std::max(a.x, b.x)),
        clamp(std::max(a.y, b.y)) };
}

void TCanvas::SetRecorder(std::vector<TCanvasRecord>* recorder)
{
    d->recorder = recorder;
}

void TCanvas::SetFixedMetrics(int charWidth, int ascent, int descent)
{
    d->fixedCharWidth = std::max(0, charWidth);
    d->fixedAscent = std::max(0, ascent);
    d->fixedDescent = std::max(0, descent);
    d->fonts.clear();
}

void TCanvas::SetFixedDevice(int pixelsPerInchX, int pixelsPerInchY, QSize devicePixels)
{
    d->fixedDpiX = std::max(0, pixelsPerInchX);
    d->fixedDpiY = std::max(0, pixelsPerInchY);
    d->fixedSize = devicePixels;
    d->fonts.clear();
}

void TCanvas::Record(TCanvasRecord::Kind kind, const TRect& rect, TColor color, const QString& text)
{
    if (!d->recorder)
        return;
    TCanvasRecord r;
    r.kind = kind;
    r.rect = rect;
    r.text = text;
    r.color = color;
    r.style = m_font.Style();
    r.fontHeight = m_font.Height();
    r.escapement = m_font.Escapement();
    d->recorder->push_back(std::move(r));
}

// ---- fills and lines -------------------------------------------------------------------------

QBrush TCanvas::FillBrush() const
{
    if (m_brush.HasPattern() && m_brush.Style() != bsClear)
        return QBrush(m_brush.Pattern());
    if (m_brush.Style() == bsClear || m_brush.Color() == clNone)
        return QBrush(Qt::NoBrush);
    return QBrush(ToQColor(m_brush.Color()));
}

void TCanvas::FillRect(const TRect& r)
{
    Record(TCanvasRecord::Fill, r, m_brush.Style() == bsClear ? clNone : m_brush.Color());
    if (!d->Active())
        return;
    const QBrush brush = FillBrush();
    if (brush.style() == Qt::NoBrush)
        return;
    d->FillDevice(LPtoDP(r).ToQRect(), brush);
}

void TCanvas::FrameRect(const TRect& r)
{
    Record(TCanvasRecord::Frame, r, m_brush.Style() == bsClear ? clNone : m_brush.Color());
    if (!d->Active())
        return;
    const QBrush brush = FillBrush();
    if (brush.style() == Qt::NoBrush)
        return;
    const QRect q = LPtoDP(r).ToQRect();
    if (q.isEmpty())
        return;
    // One logical unit wide on each side, as GDI frames are.
    const int tx = std::max(1, RoundToInt(UnitsToPixelsX()));
    const int ty = std::max(1, RoundToInt(UnitsToPixelsY()));
    d->FillDevice(QRect(q.left(), q.top(), q.width(), std::min(ty, q.height())), brush);
    d->FillDevice(QRect(q.left(), q.bottom() + 1 - ty, q.width(), std::min(ty, q.height())), brush);
    d->FillDevice(QRect(q.left(), q.top(), std::min(tx, q.width()), q.height()), brush);
    d->FillDevice(QRect(q.right() + 1 - tx, q.top(), std::min(tx, q.width()), q.height()), brush);
}

int TCanvas::PenDeviceWidth() const
{
    return std::max(1, RoundToInt(m_pen.Width() * UnitsToPixelsX()));
}

void TCanvas::Rectangle(const TRect& r)
{
    Record(TCanvasRecord::Rectangle, r, m_pen.Style() == psClear ? clNone : m_pen.Color());
    if (!d->Active())
        return;
    const QRect q = LPtoDP(r).ToQRect();
    if (q.isEmpty())
        return;
    const QBrush brush = FillBrush();
    if (brush.style() != Qt::NoBrush)
        d->FillDevice(q, brush);
    if (m_pen.Style() == psClear || m_pen.Color() == clNone)
        return;
    const int w = std::min({ PenDeviceWidth(), q.width(), q.height() });
    const QColor color = ToQColor(m_pen.Color());
    if (m_pen.Style() == psSolid || m_pen.Style() == psInsideFrame) {
        d->FillDevice(QRect(q.left(), q.top(), q.width(), w), color);
        d->FillDevice(QRect(q.left(), q.bottom() + 1 - w, q.width(), w), color);
        d->FillDevice(QRect(q.left(), q.top(), w, q.height()), color);
        d->FillDevice(QRect(q.right() + 1 - w, q.top(), w, q.height()), color);
        return;
    }
    QPen pen(color, w, ToQtPenStyle(m_pen.Style()), Qt::FlatCap, Qt::MiterJoin);
    d->painter->setPen(pen);
    d->painter->setBrush(Qt::NoBrush);
    d->painter->drawRect(q.adjusted(0, 0, -1, -1));
}

void TCanvas::MoveTo(int x, int y)
{
    m_penPos = TPoint { x, y };
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = m_penPos;
    m_penPos = TPoint { x, y };
    Record(TCanvasRecord::Line, TRect { from.x, from.y, x, y },
        m_pen.Style() == psClear ? clNone : m_pen.Color());
    if (!d->Active() || m_pen.Style() == psClear || m_pen.Color() == clNone)
        return;
    const TPoint a = LPtoDP(from);
    const TPoint b = LPtoDP(TPoint { x, y });
    if (a == b)
        return;
    const QColor color = ToQColor(m_pen.Color());
    const int w = PenDeviceWidth();
    const bool solid = m_pen.Style() == psSolid || m_pen.Style() == psInsideFrame;
    if (solid && (a.x == b.x || a.y == b.y)) {
        // Straight lines are filled exactly: the end point is left out, as GDI does.
        const int half = (w - 1) / 2;
        if (a.y == b.y) {
            const int x0 = a.x < b.x ? a.x : b.x + 1;
            const int x1 = a.x < b.x ? b.x : a.x + 1;
            d->FillDevice(QRect(x0, a.y - half, x1 - x0, w), color);
        } else {
            const int y0 = a.y < b.y ? a.y : b.y + 1;
            const int y1 = a.y < b.y ? b.y : a.y + 1;
            d->FillDevice(QRect(a.x - half, y0, w, y1 - y0), color);
        }
        return;
    }
    // Stop one pixel short of the end point along the main direction.
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const QPointF end(b.x - double(dx) / steps, b.y - double(dy) / steps);
    QPen pen(color, w, ToQtPenStyle(m_pen.Style()), Qt::FlatCap, Qt::MiterJoin);
    if (w == 1)
        pen.setCosmetic(true);
    d->painter->setPen(pen);
    d->painter->drawLine(QPointF(a.x, a.y), end);
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    Record(TCanvasRecord::FocusRect, r, clNone);
    if (!d->Active())
        return;
    const QRect q = LPtoDP(r).ToQRect();
    if (q.isEmpty())
        return;
    // Every other pixel of the outline, in a checkerboard anchored at the top-left corner. Drawn
    // with XOR where the device allows it, so that drawing the same rectangle twice removes it.
    const int l = q.left(), t = q.top(), rgt = q.right(), btm = q.bottom();
    // Only the part on the device is generated: a huge rectangle costs no more than the screen.
    int x0 = l, x1 = rgt, y0 = t, y1 = btm;
    if (d->base.isIdentity()) {
        const QPaintDevice* dev = d->painter->device();
        x0 = std::max(l, -1);
        x1 = std::min(rgt, dev->width());
        y0 = std::max(t, -1);
        y1 = std::min(btm, dev->height());
    }
    auto dotted = [&](int x, int y) { return ((qint64(x) - l) + (qint64(y) - t)) % 2 == 0; };
    QPolygon dots;
    for (int x = x0; x <= x1; ++x) {
        if (t >= y0 && t <= y1 && dotted(x, t))
            dots << QPoint(x, t);
        if (btm != t && btm >= y0 && btm <= y1 && dotted(x, btm))
            dots << QPoint(x, btm);
    }
    for (int y = std::max(y0, t + 1); y <= std::min(y1, btm - 1); ++y) {
        if (l >= x0 && l <= x1 && dotted(l, y))
            dots << QPoint(l, y);
        if (rgt != l && rgt >= x0 && rgt <= x1 && dotted(rgt, y))
            dots << QPoint(rgt, y);
    }
    QPainter* p = d->painter;
    p->save();
    const bool xorable = p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    QPen pen(xorable ? QColor(Qt::white) : QColor(Qt::black));
    pen.setWidth(1);
    pen.setCosmetic(true);
    p->setPen(pen);
    if (xorable)
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p->drawPoints(dots);
    p->restore();
}

void TCanvas::DrawFlatCheckBox(const TRect& r, bool checked)
{
    Record(TCanvasRecord::CheckBox, r, clNone);
    if (d->recorder)
        d->recorder->back().checked = checked;
    if (!d->Active())
        return;
    const QRect q = LPtoDP(r).ToQRect();
    if (q.width() < 3 || q.height() < 3) {
        d->FillDevice(q, ToQColor(clBtnShadow));
        return;
    }
    d->FillDevice(q, ToQColor(clWindow));
    const QColor frame = ToQColor(clBtnShadow);
    d->FillDevice(QRect(q.left(), q.top(), q.width(), 1), frame);
    d->FillDevice(QRect(q.left(), q.bottom(), q.width(), 1), frame);
    d->FillDevice(QRect(q.left(), q.top(), 1, q.height()), frame);
    d->FillDevice(QRect(q.right(), q.top(), 1, q.height()), frame);
    if (!checked)
        return;
    // A tick: a short stroke down to the lower third, a long one up to the right, three
    // pixels thick at screen size and scaled with the box.
    const QRect in = q.adjusted(2, 2, -2, -2);
    const double w = in.width(), h = in.height();
    const QPointF p0(in.left() + w * 0.10, in.top() + h * 0.45);
    const QPointF p1(in.left() + w * 0.38, in.top() + h * 0.72);
    const QPointF p2(in.left() + w * 0.92, in.top() + h * 0.12);
    const int thick = std::max(1, RoundToInt(std::min(w, h) / 5.0));
    QPainter* p = d->painter;
    p->save();
    QPen pen(ToQColor(clWindowText), thick, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p->setPen(pen);
    p->setClipRect(in, Qt::IntersectClip);
    p->drawPolyline(QPolygonF({ p0, p1, p2 }));
    p->restore();
}

void TCanvas::DrawEdge(const TRect& r, TEdgeStyle style)
{
    Record(TCanvasRecord::Edge, r, clNone);
    if (!d->Active())
        return;
    const QRect q = LPtoDP(r).ToQRect();
    if (q.isEmpty())
        return;
    // Outer ring, then inner ring: (top-left colour, bottom-right colour).
    const bool raised = style == edRaised;
    const TColor rings[2][2] = { { raised ? cl3DLight : clBtnShadow, raised ? cl3DDkShadow : clBtnHighlight },
        { raised ? clBtnHighlight : cl3DDkShadow, raised ? clBtnShadow : cl3DLight } };
    QRect ring = q;
    for (const auto& colors : rings) {
        if (ring.width() <= 0 || ring.height() <= 0)
            break;
        const QColor topLeft = ToQColor(colors[0]);
        const QColor bottomRight = ToQColor(colors[1]);
        // Bottom and right first so that the top-left colour owns the two shared corners, as GDI draws it.
        d->FillDevice(QRect(ring.left(), ring.bottom(), ring.width(), 1), bottomRight);
        d->FillDevice(QRect(ring.right(), ring.top(), 1, ring.height()), bottomRight);
        d->FillDevice(QRect(ring.left(), ring.top(), ring.width() - 1, 1), topLeft);
        d->FillDevice(QRect(ring.left(), ring.top(), 1, ring.height() - 1), topLeft);
        ring.adjust(1, 1, -1, -1);
    }
}

// ---- text ------------------------------------------------------------------------------------

void TCanvas::DrawTextLine(const QPoint& topLeft, const QString& text, const std::vector<int>& underlines,
    bool expandTabs, int boxWidth, int tabChars)
{
    const auto& fe = d->Font(m_font, UnitsToPixelsY(), PixelsPerInchY());
    const int lineHeight = fe.ascent + fe.descent;
    const bool opaque = m_bkMode == bkOpaque && m_brush.Style() != bsClear && m_brush.Color() != clNone;
    if (d->recorder) {
        const TPoint a = DPtoLP(TPoint { topLeft.x(), topLeft.y() });
        const TPoint b = DPtoLP(TPoint { topLeft.x() + boxWidth, topLeft.y() + lineHeight });
        Record(TCanvasRecord::Text, TRect { a.x, a.y, b.x, b.y }, m_font.Color(), text);
        d->recorder->back().background = opaque ? m_brush.Color() : clNone;
    }
    if (!d->Active())
        return;
    QPainter* p = d->painter;
    const bool rotated = m_font.Escapement() % 3600 != 0;
    if (rotated) {
        p->save();
        p->translate(topLeft);
        p->rotate(-m_font.Escapement() / 10.0);
    }
    const QPoint origin = rotated ? QPoint(0, 0) : topLeft;
    if (opaque && boxWidth > 0)
        p->fillRect(QRect(origin.x(), origin.y(), boxWidth, lineHeight), ToQColor(m_brush.Color()));
    // Setting a font resolves it against the device again; skip that when it is already there.
    if (!(p->font() == fe.font))
        p->setFont(fe.font);
    const QColor textColor = ToQColor(m_font.Color());
    if (p->pen().color() != textColor || p->pen().style() != Qt::SolidLine)
        p->setPen(textColor);
    const int baseline = origin.y() + fe.ascent;
    const textlayout::Measurer measure = d->MakeMeasurer(fe, expandTabs, tabChars);
    if (expandTabs && text.contains(QLatin1Char('\t'))) {
        int x = 0;
        qsizetype segStart = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == QLatin1Char('\t')) {
                if (i > segStart) {
                    const QString seg = text.mid(segStart, i - segStart);
                    p->drawText(QPoint(origin.x() + x, baseline), seg);
                    x += measure.Width(seg);
                }
                if (i < text.size())
                    x = measure.NextTabStop(x);
                segStart = i + 1;
            }
        }
    } else if (!text.isEmpty()) {
        p->drawText(QPoint(origin.x(), baseline), text);
    }
    if (!underlines.empty()) {
        const int thickness = std::max(1, fe.metrics->lineWidth());
        const int y = baseline + std::max(1, fe.metrics->underlinePos());
        for (int index : underlines) {
            const int x0 = measure.Width(text, 0, index);
            const int x1 = measure.Width(text, 0, index + 1);
            p->fillRect(QRect(origin.x() + x0, y, x1 - x0, thickness), ToQColor(m_font.Color()));
        }
    }
    if (rotated)
        p->restore();
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    if (!d->Active() && !d->recorder)
        return;
    const auto& fe = d->Font(m_font, UnitsToPixelsY(), PixelsPerInchY());
    const TPoint at = LPtoDP(TPoint { x, y });
    DrawTextLine(QPoint(at.x, at.y), text, {}, false, d->MakeMeasurer(fe, false, 0).Width(text), 0);
}

int TCanvas::TextWidth(const QString& text) const
{
    const auto& fe = d->Font(m_font, UnitsToPixelsY(), PixelsPerInchY());
    return RoundToInt(d->MakeMeasurer(fe, false, 0).Width(text) / UnitsToPixelsX());
}

int TCanvas::TextHeight(const QString& /*text*/) const
{
    const auto& fe = d->Font(m_font, UnitsToPixelsY(), PixelsPerInchY());
    return RoundToInt((fe.ascent + fe.descent) / UnitsToPixelsY());
}

TPoint TCanvas::TextExtent(const QString& text) const
{
    return TPoint { TextWidth(text), TextHeight(text) };
}

TTextMeasure TCanvas::SingleLineMeasure(unsigned flags) const
{
    TTextMeasure m;
    if (flags & DT_TABSTOP) {
        m.m_tabChars = int((flags >> 8) & 0xFF);
        flags &= ~0xFF00u;
    }
    m.m_font = d->FontPtr(m_font, UnitsToPixelsY(), PixelsPerInchY());
    m.m_prefix = !(flags & DT_NOPREFIX);
    m.m_expandTabs = flags & DT_EXPANDTABS;
    m.m_lineHeight
        = m.m_font->ascent + m.m_font->descent + ((flags & DT_EXTERNALLEADING) ? m.m_font->leading : 0);
    m.m_unitsToPixelsX = UnitsToPixelsX();
    m.m_unitsToPixelsY = UnitsToPixelsY();
    return m;
}

int TCanvas::DrawText(const QString& text, TRect& rect, unsigned flags)
{
    return DrawTextEx(text, rect, flags, 0, 0);
}

int TCanvas::DrawTextEx(const QString& text, TRect& rect, unsigned flags, int leftMargin, int rightMargin)
{
    // With DT_TABSTOP bits 8-15 hold the characters per tab stop instead of flags, as in GDI.
    int tabChars = 0;
    if (flags & DT_TABSTOP) {
        tabChars = int((flags >> 8) & 0xFF);
        flags &= ~0xFF00u;
    }
    const auto& fe = d->Font(m_font, UnitsToPixelsY(), PixelsPerInchY());
    const double ux = UnitsToPixelsX();
    const double uy = UnitsToPixelsY();
    const TRect dev = LPtoDP(rect);
    const int lm = RoundToInt(leftMargin * ux);
    const int rm = RoundToInt(rightMargin * ux);
    const bool singleLine = flags & DT_SINGLELINE;
    const bool calcRect = flags & DT_CALCRECT;

    textlayout::Options opt;
    opt.singleLine = singleLine;
    opt.wordBreak = flags & DT_WORDBREAK;
    opt.breakLongWords = flags & DT_EDITCONTROL;
    opt.expandTabs = flags & DT_EXPANDTABS;
    opt.prefix = !(flags & DT_NOPREFIX);
    opt.endEllipsis = (flags & DT_END_ELLIPSIS) && !calcRect;
    opt.availWidth = dev.Width() - lm - rm;
    const textlayout::Measurer measure = d->MakeMeasurer(fe, opt.expandTabs, tabChars);
    std::vector<textlayout::Line> lines = textlayout::Layout(text, opt, measure);

    int lineHeight = fe.ascent + fe.descent;
    if (flags & DT_EXTERNALLEADING)
        lineHeight += fe.leading;
    const int count = int(lines.size());
    const int totalHeight = count * lineHeight;

    if (calcRect) {
        int widest = 0;
        for (const auto& l : lines)
            widest = std::max(widest, l.width);
        const int widthUnits = RoundToInt((widest + lm + rm) / ux);
        const int heightUnits = RoundToInt(totalHeight / uy);
        rect.right = rect.left + widthUnits;
        rect.bottom = m_mapMode == mmLoMetric ? rect.top - heightUnits : rect.top + heightUnits;
        return heightUnits;
    }

    int top = dev.top;
    if (singleLine && (flags & DT_VCENTER))
        top = dev.top + (dev.Height() - lineHeight) / 2;
    else if (singleLine && (flags & DT_BOTTOM))
        top = dev.bottom - lineHeight;
    const int result = (singleLine && (flags & (DT_VCENTER | DT_BOTTOM)))
        ? RoundToInt((top - dev.top + lineHeight) / uy)
        : RoundToInt(totalHeight / uy);

    if ((!d->Active() && !d->recorder) || text.isEmpty())
        return result;
    // Rotated text leaves its rectangle by nature: clipping it to the unrotated rectangle would
    // hide it, so only the canvas clip applies to it.
    const bool rotated = m_font.Escapement() % 3600 != 0;
    const bool clip = !(flags & DT_NOCLIP) && !rotated;
    if (clip && dev.IsEmpty())
        return result;

    const int innerLeft = dev.left + lm;
    const int innerRight = dev.right - rm;
    bool overflows = top < dev.top || top + totalHeight > dev.bottom;
    for (const auto& l : lines)
        overflows = overflows || l.width > innerRight - innerLeft;
    const bool needClip = clip && overflows && d->Active();
    if (needClip) {
        d->painter->save();
        d->painter->setClipRect(dev.ToQRect(), Qt::IntersectClip);
    }
    int visibleTop = INT_MIN, visibleBottom = INT_MAX;
    if (d->Active() && d->base.isIdentity()) {
        visibleTop = 0;
        visibleBottom = d->painter->device()->height();
    }
    // An edit control does not show a last line that is only partly visible.
    const bool dropPartial = (flags & DT_EDITCONTROL) && !singleLine;
    int shown = count;
    for (int i = 1; i < count; ++i) {
        const int y = top + i * lineHeight;
        if ((dropPartial && y + lineHeight > dev.bottom) || (clip && y >= dev.bottom)) {
            shown = i;
            break;
        }
    }
    // Wrapped text that runs out of room says so on its last shown line.
    if (shown < count && opt.endEllipsis && opt.wordBreak && !singleLine)
        textlayout::EndWithEllipsis(lines[size_t(shown - 1)], innerRight - innerLeft, measure);
    for (int i = 0; i < shown; ++i) {
        const int y = top + i * lineHeight;
        if (!rotated && (y + lineHeight <= visibleTop || y >= visibleBottom))
            continue; // off the device: nothing to shape
        const auto& l = lines[size_t(i)];
        int x = innerLeft;
        if (flags & DT_CENTER)
            x = innerLeft + (innerRight - innerLeft - l.width) / 2;
        else if (flags & DT_RIGHT)
            x = innerRight - l.width;
        DrawTextLine(QPoint(x, y), l.text, l.underlines, opt.expandTabs, l.width, tabChars);
    }
    if (needClip)
        d->painter->restore();
    return result;
}

// ---- clipping --------------------------------------------------------------------------------

void TCanvas::SetClipRect(const TRect& r)
{
    d->hasClip = true;
    d->clipDevice = LPtoDP(r).ToQRect();
    d->ApplyClip();
}

void TCanvas::RemoveClip()
{
    d->hasClip = false;
    d->ApplyClip();
}

TRect TCanvas::ClipBox() const
{
    // Everything in the coordinates the canvas draws in (the borrowed painter's own system).
    QRect box;
    if (const QPaintDevice* dev = Device()) {
        box = QRect(0, 0, dev->width(), dev->height());
        if (!d->base.isIdentity())
            box = d->base.inverted().mapRect(box);
    } else if (d->fixedSize.isValid()) {
        box = QRect(QPoint(0, 0), d->fixedSize);
    }
    if (d->baseHasClip)
        box = box.isNull() ? d->baseClip.boundingRect() : box.intersected(d->baseClip.boundingRect());
    if (d->hasClip)
        box = box.isNull() ? d->clipDevice : box.intersected(d->clipDevice);
    // Corners converted one by one: with y pointing up the bottom lies below the top.
    const TPoint a = DPtoLP(TPoint { box.left(), box.top() });
    const TPoint b = DPtoLP(TPoint { box.left() + box.width(), box.top() + box.height() });
    return TRect { a.x, a.y, b.x, b.y };
}

// ---- pictures --------------------------------------------------------------------------------

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    DrawImage(x, y, bitmap.DrawImage());
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    StretchDrawImage(r, bitmap.DrawImage());
}

void TCanvas::DrawImage(int x, int y, const QImage& image)
{
    if (image.isNull())
        return;
    const TPoint at = LPtoDP(TPoint { x, y });
    if (d->recorder) {
        const TPoint end = DPtoLP(TPoint { at.x + image.width(), at.y + image.height() });
        Record(TCanvasRecord::Image, TRect { x, y, end.x, end.y }, clNone);
        d->recorder->back().imageKey = image.cacheKey();
        d->recorder->back().imageSize = image.size();
    }
    if (!d->Active())
        return;
    d->painter->drawImage(QPoint(at.x, at.y), image);
}

void TCanvas::StretchDrawImage(const TRect& r, const QImage& image)
{
    if (image.isNull())
        return;
    Record(TCanvasRecord::Image, r, clNone);
    if (d->recorder) {
        d->recorder->back().imageKey = image.cacheKey();
        d->recorder->back().imageSize = image.size();
    }
    if (!d->Active())
        return;
    const QRect q = LPtoDP(r).ToQRect();
    if (q.isEmpty())
        return;
    d->painter->drawImage(q, image);
}
