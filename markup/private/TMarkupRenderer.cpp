#include "markup/private/TMarkupRenderer.h"

#include "markup/MarkupText.h"
#include "pictures/THTMLPicture.h"
#include "pictures/THTMLPictureCache.h"
#include "pictures/TPictureContainer.h"
#include "platform/PathCase.h"
#include "platform/TBitmap.h"
#include "platform/TCanvas.h"
#include "platform/TImageList.h"
#include "platform/TTextMeasure.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kBulletStep = 12; // pixels per list level
constexpr int kMaxPointSize = 500; // larger sizes only make a hostile text slow to draw
constexpr int kMaxOffset = 1000000; // pixels; keeps IN and INDENT sums far from overflow
constexpr int kMaxTiles = 100000; // a body background of tiny tiles on a huge rectangle
// Different faces and sizes one text may use. Every new one costs the system's font matcher a
// fraction of a millisecond and pushes others out of the font caches, so a text naming
// thousands of them took a minute to draw; a real cell uses a handful.
constexpr size_t kMaxFonts = 32;

// The value between the first double quote after `name` (searched without regard to case) and
// the next double quote; empty without both quotes or without the name.
QString AttributeValue(const QString& text, QLatin1String name, bool* present = nullptr)
{
    const qsizetype at = text.indexOf(name, 0, Qt::CaseInsensitive);
    if (present)
        *present = at >= 0;
    if (at < 0)
        return QString();
    const qsizetype q1 = text.indexOf(QLatin1Char('"'), at + name.size());
    if (q1 < 0)
        return QString();
    const qsizetype q2 = text.indexOf(QLatin1Char('"'), q1 + 1);
    if (q2 < 0)
        return QString();
    return text.mid(q1 + 1, q2 - q1 - 1);
}

QString QuotedAfter(const QString& text, qsizetype from)
{
    const qsizetype q1 = text.indexOf(QLatin1Char('"'), from);
    if (q1 < 0)
        return QString();
    const qsizetype q2 = text.indexOf(QLatin1Char('"'), q1 + 1);
    if (q2 < 0)
        return QString();
    return text.mid(q1 + 1, q2 - q1 - 1);
}

// SIZE: after "SIZE", after the first "=", after the first double quote if any, leading digits.
int FontSizeValue(const QString& attributes)
{
    const qsizetype at = attributes.indexOf(QLatin1String("SIZE"), 0, Qt::CaseInsensitive);
    QStringView rest = QStringView(attributes).mid(at + 4);
    const qsizetype eq = rest.indexOf(QLatin1Char('='));
    if (eq >= 0)
        rest = rest.mid(eq + 1);
    const qsizetype quote = rest.indexOf(QLatin1Char('"'));
    if (quote >= 0)
        rest = rest.mid(quote + 1);
    qsizetype i = 0;
    while (i < rest.size() && rest.at(i) == QLatin1Char(' '))
        ++i;
    int value = 0;
    while (i < rest.size() && rest.at(i).isDigit() && rest.at(i).unicode() < 128) {
        value = std::min(value * 10 + (rest.at(i).unicode() - '0'), 1000000);
        ++i;
    }
    switch (value) {
    case 1:
        return 8;
    case 2:
        return 10;
    case 3:
        return 12;
    case 4:
        return 14;
    case 5:
        return 16;
    default:
        return value;
    }
}

// The height TFont::SetSize gives: the em size in pixels, negative, rounded half away from zero.
int PointsToHeight(int points, int ppi)
{
    const long long scaled = (long long)points * ppi;
    return -int(scaled >= 0 ? (scaled + 36) / 72 : (scaled - 36) / 72);
}

int Scaled(int size, int ppi)
{
    return int((long long)size * ppi / 96);
}

int RoundToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::lround(std::clamp(v, -1e7, 1e7)));
}

QChar UpperAt(const QString& s, qsizetype i)
{
    return i < s.size() ? s.at(i).toUpper() : QChar();
}

} // namespace

// Where an IMG tag's source points, and the size it takes.
struct TMarkupRenderer::TImageSource {
    enum Kind { None, ImageList, SystemIcon, Picture } kind = None;
    int index = 0;
    bool largeIcon = false;
    QString iconName;
    THTMLPicture* picture = nullptr;
    int width = 0; // layout pixels
    int height = 0; // layout pixels
    int tagWidth = 0;
    int tagHeight = 0;
};

TMarkupRenderer::TMarkupRenderer(TCanvas& canvas, const TInput& in, TOutput& out)
    : m_canvas(canvas)
    , m_in(in)
    , m_out(out)
{ }

qsizetype TMarkupRenderer::NextOf(QChar c, qsizetype from, qsizetype& cacheFrom, qsizetype& cacheAt) const
{
    // The cache says: no `c` in [cacheFrom, cacheAt), and `c` at cacheAt (or none when -1 ... end).
    if (cacheFrom >= 0 && from >= cacheFrom && (cacheAt < 0 || from <= cacheAt))
        return cacheAt;
    cacheFrom = from;
    cacheAt = m_text.indexOf(c, from);
    return cacheAt;
}

QPoint TMarkupRenderer::MeasureText(const QString& text)
{
    const TFont& font = m_canvas.Font();
    if (!m_measure.IsValid() || font.Height() != m_measureHeight || int(font.Style()) != m_measureStyle
        || font.Name() != m_measureName) {
        m_measure = m_canvas.SingleLineMeasure(m_format & ~unsigned(DT_END_ELLIPSIS));
        m_measureName = font.Name();
        m_measureHeight = font.Height();
        m_measureStyle = int(font.Style());
    }
    const TPoint extent = m_measure.Extent(text);
    return QPoint(extent.x, extent.y);
}

int TMarkupRenderer::TextHeightGh() const
{
    return m_canvas.TextHeight(QStringLiteral("gh"));
}

void TMarkupRenderer::SetBackground(TColor color)
{
    m_canvas.Brush().SetColor(color);
}

void TMarkupRenderer::SetTextColor(TColor color)
{
    m_canvas.Font().SetColor(color);
}

void TMarkupRenderer::SetStyle(TFontStyles style, bool on)
{
    TFont& f = m_canvas.Font();
    const TFontStyles s = on ? TFontStyles(f.Style() | style) : TFontStyles(f.Style() & ~style);
    if (s != f.Style())
        f.SetStyle(s);
}

bool TMarkupRenderer::Run(const QString& text)
{
    m_out.plainText.clear();
    m_out.focusHref.clear();
    m_out.contentWidth = 0;
    m_out.contentHeight = 0;
    m_out.anchorCount = 0;
    m_out.hoverAnchor = -1;

    m_baseFont = m_canvas.Font();
    m_measureState.font = m_baseFont;
    m_drawState.font = m_baseFont;
    m_entryBackground = m_canvas.Brush().Color();
    m_anchorColorSlot = m_hiColorSlot = m_baseFont.Color();
    SetBackground(clNone);
    m_canvas.SetBkMode(bkTransparent);

    m_format = DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS | DT_EXTERNALLEADING;
    if (!m_in.wordWrap)
        m_format |= DT_END_ELLIPSIS;

    m_text = LineBreaksToMarkup(UnwrapHashTag(ReplaceEntities(text)), true);
    m_work = m_in.rect;
    m_work.left += 1;

    bool hit = false;
    int y = m_in.rect.top;
    const int length = int(m_text.size());
    int pos = 0;
    while (pos < length) {
        // Measuring pass: where the line ends and how big it is.
        m_state = &m_measureState;
        m_canvas.SetFont(m_measureState.font);
        TLine line;
        line.start = pos;
        line.height = TextHeightGh();
        m_state->subscript = m_state->superscript = false;
        TWalk measure;
        measure.mode = TMode::Measure;
        measure.line = &line;
        measure.lineLeft = m_work.left;
        measure.lineTop = y;
        measure.x = m_work.left;
        measure.available = m_work.right - m_work.left;
        line.end = WalkLine(measure, pos, length);
        if (line.end <= pos) // never stall: a line takes at least one character
            line.end = pos + 1;
        line.width = std::max(0, measure.width - measure.trailingBlank);
        m_measureState.font = m_canvas.Font();

        int left = m_work.left;
        if (m_alignment == 1) {
            left = std::max(left, m_work.right - line.width);
        } else if (m_alignment == 2) {
            const int half = (m_work.right - m_work.left - line.width) / 2;
            if (half > 0)
                left = m_work.left + half;
        }
        left += m_indent;
        const int lineHeight = line.height + line.subExtra + line.supExtra;
        m_out.contentWidth = std::max(m_out.contentWidth, line.width);

        if (!m_in.measureOnly) {
            // Drawing pass over exactly the markup the measuring pass took.
            m_state = &m_drawState;
            m_canvas.SetFont(m_drawState.font);
            m_drawState.subscript = m_drawState.superscript = false;
            TWalk draw;
            draw.mode = TMode::Draw;
            draw.line = &line;
            draw.lineRect = TRect { left, y, m_work.right, y + lineHeight - line.subExtra };
            draw.lineLeft = left;
            draw.lineTop = y;
            draw.x = left;
            if (m_paragraphBackground && Painting(draw))
                m_canvas.FillRect(TRect { m_in.rect.left, y, m_in.rect.right, y + line.height });
            if (m_focusContinues) {
                m_focus.left = left + 1;
                m_focusContinues = false;
            }
            WalkLine(draw, line.start, line.end);
            m_drawState.font = m_canvas.Font();
            if (m_focusActive && m_drawState.inAnchor)
                FinishLineFocus(draw);

            const int textBottom = draw.lineRect.bottom - line.lift;
            const int gh = TextHeightGh();
            if ((draw.textHit && m_in.yPos > textBottom - gh && m_in.yPos < textBottom) || draw.imageHit)
                hit = true;
        }

        y += lineHeight;
        m_out.contentHeight += lineHeight;
        pos = line.dropRest ? length : line.end;
        ++m_lineIndex;
        if (!m_in.measureOnly && y > m_in.rect.bottom)
            break;
    }

    m_canvas.SetFont(m_baseFont);
    if (m_out.contentHeight == 0)
        m_out.contentHeight = TextHeightGh();
    m_out.anchorCount = m_measureState.anchorNumber;
    SetBackground(m_entryBackground);
    m_canvas.SetBkMode(bkTransparent);
    return hit && !m_in.measureOnly;
}

int TMarkupRenderer::WalkLine(TWalk& w, int start, int limit)
{
    const bool measuring = w.mode == TMode::Measure;
    int i = start;
    while (i < limit && !w.ended) {
        if (m_text.at(i) == QLatin1Char('<')) {
            if (limit - i < 3) { // too short to be a tag: dropped
                i = limit;
                break;
            }
            const qsizetype gt = m_text.indexOf(QLatin1Char('>'), i);
            if (gt < 0 || gt >= limit) { // unterminated: the rest goes
                i = limit;
                w.line->dropRest = true;
                break;
            }
            const QString tag = m_text.mid(i, gt - i + 1);
            const TTagResult r = ProcessTag(w, tag);
            if (r == TTagResult::NotConsumedEndsLine) {
                w.ended = true;
                break;
            }
            w.consumed = true;
            i = int(gt + 1);
            if (r == TTagResult::ConsumedEndsLine)
                w.ended = true;
            continue;
        }

        // A text segment: up to and including the next blank when that comes before the next
        // tag (word wrap only), else up to the next tag.
        qsizetype end = NextOf(QLatin1Char('<'), i, m_ltFrom, m_ltAt);
        if (end < 0 || end > limit)
            end = limit;
        if (m_in.wordWrap) {
            const qsizetype blank = NextOf(QLatin1Char(' '), i, m_blankFrom, m_blankAt);
            if (blank >= 0 && blank < end)
                end = blank + 1;
        }
        const QString segment = ReplaceSegmentEntities(m_text.mid(i, end - i));
        const QPoint size = segment.isEmpty() ? QPoint(0, 0) : MeasureText(segment);
        const int before = w.width;
        const int segmentWidth = m_state->hidden ? 0 : size.x();

        if (measuring) {
            const bool endsWithBlank = segment.endsWith(QLatin1Char(' '));
            const int blankWidth
                = endsWithBlank && segmentWidth > 0 ? MeasureText(QStringLiteral(" ")).x() : 0;
            const int widthAfter = before + segmentWidth;
            if (m_in.wordWrap) {
                // A word is never split between segments; the first segment of a line always goes.
                const bool fits = !w.consumed || !w.endsWithBlank || widthAfter - blankWidth <= w.available
                    || segmentWidth >= w.available;
                if (!fits) {
                    w.ended = true;
                    break;
                }
            } else if (widthAfter > w.available) {
                w.line->dropRest = true; // single line: the overflow ends in an ellipsis
                w.ended = true;
            }
            if (!segment.isEmpty()) {
                w.line->height = std::max(w.line->height, size.y());
                if (m_state->subscript)
                    w.line->subExtra = std::max(w.line->subExtra, size.y() / 4);
                if (m_state->superscript)
                    w.line->supExtra = std::max(w.line->supExtra, size.y() / 4);
                m_out.plainText += PlainPrefixText(segment);
            }
            w.width = widthAfter;
            w.endsWithBlank = endsWithBlank;
            w.trailingBlank = blankWidth;
        } else {
            if (!m_state->hidden && !segment.isEmpty())
                DrawSegment(w, segment, segmentWidth);
            w.width = before + segmentWidth;
            w.x += segmentWidth;
        }
        w.consumed = true;

        if (!measuring && m_state->inAnchor && segmentWidth > 0) {
            const int rel = m_in.xPos - w.lineLeft;
            if (rel >= before && rel <= w.width && m_in.yPos > w.lineTop && m_in.yPos < w.lineRect.bottom) {
                m_out.anchorHref = m_state->href;
                m_hitPending = true;
                w.textHit = true;
            }
        }
        if (!measuring && m_state->inAnchor && m_in.focusLink >= 0
            && m_state->anchorNumber == m_in.focusLink + 1)
            m_out.focusHref = m_state->href;
        i = int(end);
    }
    return i;
}

int TMarkupRenderer::SegmentBottom(const TWalk& w) const
{
    int bottom = w.lineRect.bottom;
    if (m_state->subscript)
        bottom += w.line->subExtra;
    if (m_state->superscript)
        bottom -= w.line->supExtra;
    return bottom - w.line->lift;
}

void TMarkupRenderer::DrawSegment(TWalk& w, const QString& segment, int segmentWidth)
{
    if (!Painting(w))
        return;
    TRect r { w.x, w.lineTop, w.lineRect.right, SegmentBottom(w) };
    if (m_state->shadow) {
        // The shadow goes under the text and never paints a background over it.
        const TColor color = m_canvas.Font().Color();
        m_canvas.SetBkMode(bkTransparent);
        SetTextColor(m_in.shadowColor);
        TRect s = r.Translated(m_in.shadowOffset, m_in.shadowOffset);
        m_canvas.DrawText(segment, s, m_format);
        SetTextColor(color);
    }
    m_canvas.SetBkMode(m_canvas.Brush().Color() == clNone ? bkTransparent : bkOpaque);
    m_canvas.DrawText(segment, r, m_format);
    m_canvas.SetBkMode(bkTransparent);
    w.drawnAnything = true;
    if (m_state->errorMark)
        ErrorZigzag(w.x, w.x + segmentWidth, w.lineRect.bottom);
}

void TMarkupRenderer::ErrorZigzag(int left, int right, int bottom)
{
    const TPen saved = m_canvas.Pen();
    m_canvas.Pen().SetColor(clRed);
    m_canvas.Pen().SetWidth(1);
    m_canvas.Pen().SetStyle(psSolid);
    int x = left - (((left % 2) + 2) % 2); // rounded down to even, also left of zero
    int phase = (((x % 4) + 4) % 4) == 0 ? 2 : 0;
    m_canvas.MoveTo(x, bottom + phase - 1);
    while (x < right) {
        phase = phase == 0 ? 2 : 0;
        m_canvas.LineTo(x + 2, bottom + phase - 1);
        x += 2;
    }
    m_canvas.Pen().Assign(saved);
}

void TMarkupRenderer::DrawHorizontalRule(const TWalk& w)
{
    const TPen saved = m_canvas.Pen();
    m_canvas.Pen().SetColor(clBlack);
    m_canvas.Pen().SetWidth(1);
    m_canvas.Pen().SetStyle(psSolid);
    const int y = w.lineRect.bottom;
    m_canvas.MoveTo(w.lineRect.left, y);
    m_canvas.LineTo(w.lineRect.right, y);
    m_canvas.Pen().Assign(saved);
}

void TMarkupRenderer::FinishLineFocus(const TWalk& w)
{
    // The focused anchor goes on on the next line: frame this line's part now.
    TRect part { m_focus.left, m_focus.top, w.x, w.lineRect.bottom };
    part = TRect { part.left - 1, part.top, part.right + 1, part.bottom };
    if (Painting(w))
        m_canvas.DrawFocusRect(part);
    m_focus.top = w.lineRect.bottom;
    m_focusContinues = true;
}

TMarkupRenderer::TTagResult TMarkupRenderer::ProcessTag(TWalk& w, const QString& tag)
{
    // tag holds "<" through ">" and is at least three characters long.
    const bool closing = tag.at(1) == QLatin1Char('/') && tag.size() > 3;
    if (closing)
        return ClosingTag(w, tag, UpperAt(tag, 2), UpperAt(tag, 3));
    return OpeningTag(w, tag, UpperAt(tag, 1), UpperAt(tag, 2));
}

TMarkupRenderer::TTagResult TMarkupRenderer::OpeningTag(
    TWalk& w, const QString& tag, QChar letter, QChar second)
{
    const bool drawing = w.mode == TMode::Draw;
    switch (letter.unicode()) {
    case 'A':
        AnchorStart(w, tag);
        break;
    case 'B':
        if (second == QLatin1Char('>')) {
            SetStyle(fsBold, true);
        } else if (second == QLatin1Char('R')) {
            if (!drawing)
                m_out.plainText += QLatin1Char('\r');
            return TTagResult::ConsumedEndsLine;
        } else if (second == QLatin1Char('L')) {
            if (!m_in.blinkVisible)
                SetTextColor(m_entryBackground);
        } else if (second == QLatin1Char('O')) {
            if (Painting(w))
                BodyTag(w, tag);
        }
        break;
    case 'E':
        m_state->errorMark = true;
        break;
    case 'F':
        FontTag(w, tag);
        break;
    case 'H':
        if (second == QLatin1Char('I')) {
            if (drawing) {
                m_hiColorSlot = m_canvas.Font().Color();
                m_hiBackgroundSlot = m_canvas.Brush().Color();
                SetBackground(clHighlight);
                SetTextColor(clHighlightText);
            }
        } else if (second == QLatin1Char('R')) {
            if (Painting(w))
                DrawHorizontalRule(w);
            return TTagResult::ConsumedEndsLine;
        }
        break;
    case 'I':
        if (second == QLatin1Char('>')) {
            SetStyle(fsItalic, true);
        } else if (second == QLatin1Char('N')) {
            const qsizetype xAt = tag.indexOf(QLatin1Char('x'), 0, Qt::CaseInsensitive);
            int n = 0;
            if (xAt >= 0 && TryStrToInt(QuotedAfter(tag, xAt + 1), n) && n > w.width) {
                n = std::min(n, kMaxOffset);
                w.width = n;
                w.x = w.lineLeft + n; // keeps drawing, hit tests and alignment on one scale
                w.trailingBlank = 0;
            }
        } else if (second == QLatin1Char('M')) {
            return Image(w, tag);
        }
        break;
    case 'L':
        return ListItem(w);
    case 'P':
        ParagraphTag(w, tag);
        break;
    case 'R': {
        const qsizetype aAt = tag.indexOf(QLatin1Char('a'), 2, Qt::CaseInsensitive);
        const int angle = aAt >= 0 ? StrToIntLoose(QuotedAfter(tag, aAt + 1)) : 0;
        SelectRotatedFont(m_canvas, angle, m_state->rotation);
        break;
    }
    case 'S':
        if (second == QLatin1Char('>'))
            SetStyle(fsStrikeOut, true);
        else if (second == QLatin1Char('H'))
            m_state->shadow = true;
        else if (tag.startsWith(QLatin1String("<SUB>"), Qt::CaseInsensitive))
            m_state->subscript = true;
        else if (tag.startsWith(QLatin1String("<SUP>"), Qt::CaseInsensitive))
            m_state->superscript = true;
        break;
    case 'U':
        if (second == QLatin1Char('>'))
            SetStyle(fsUnderline, true);
        else
            ++m_state->listLevel;
        break;
    case 'Z':
        m_state->hidden = true;
        break;
    default:
        break;
    }
    return TTagResult::Consumed;
}

TMarkupRenderer::TTagResult TMarkupRenderer::ClosingTag(
    TWalk& w, const QString& /*tag*/, QChar letter, QChar second)
{
    const bool drawing = w.mode == TMode::Draw;
    switch (letter.unicode()) {
    case 'A':
        AnchorEnd(w);
        break;
    case 'B':
        if (second == QLatin1Char('>'))
            SetStyle(fsBold, false);
        else
            SetTextColor(m_baseFont.Color()); // the end of blink and body
        break;
    case 'E':
        m_state->errorMark = false;
        break;
    case 'F': {
        TFont& f = m_canvas.Font();
        f.SetName(m_baseFont.Name());
        f.SetHeight(m_baseFont.Height());
        if (drawing && !m_in.keepColors) {
            SetTextColor(m_baseFont.Color());
            SetBackground(m_fontBackgroundSlot);
        }
        break;
    }
    case 'H':
        if (drawing) {
            SetTextColor(m_hiColorSlot);
            SetBackground(m_hiBackgroundSlot);
        }
        break;
    case 'I':
        SetStyle(fsItalic, false);
        break;
    case 'P':
        if (drawing) {
            SetBackground(m_paragraphBackgroundSlot);
            m_paragraphBackground = false;
        }
        return TTagResult::ConsumedEndsLine;
    case 'R':
        RestoreRotatedFont(m_canvas, m_state->rotation);
        break;
    case 'S':
        if (second == QLatin1Char('U'))
            m_state->subscript = m_state->superscript = false;
        else if (second == QLatin1Char('H'))
            m_state->shadow = false;
        else
            SetStyle(fsStrikeOut, false);
        break;
    case 'U':
        if (second == QLatin1Char('>')) {
            SetStyle(fsUnderline, false);
        } else if (m_state->listLevel > 0) {
            --m_state->listLevel;
        } else {
            SetStyle(fsUnderline, false);
        }
        break;
    case 'Z':
        m_state->hidden = false;
        break;
    default:
        break;
    }
    return TTagResult::Consumed;
}

void TMarkupRenderer::AnchorStart(TWalk& w, const QString& tag)
{
    TPassState& s = *m_state;
    const int number = ++s.anchorNumber;
    s.href = QuotedAfter(tag, 0);
    s.inAnchor = true;
    const bool hovered = !m_in.hoverOnly || number == m_in.hoverLink;
    if (w.mode == TMode::Draw) {
        if (number - 1 == m_in.focusLink) {
            // Known at the start, so that an anchor holding only a picture reports it too.
            m_out.focusHref = s.href;
            m_focusActive = true;
            m_focus.left = w.x;
            m_focus.top = w.lineTop;
        }
        m_anchorStartX = w.width;
        m_anchorStartTop = w.lineTop;
        m_anchorStartLine = m_lineIndex;
        if (hovered) {
            SetStyle(fsUnderline, true);
            if (m_in.hoverColor != clNone) {
                m_anchorBackgroundSlot = m_canvas.Brush().Color();
                SetBackground(m_in.hoverColor);
            }
            if (m_in.hoverFontColor != clNone) {
                m_anchorColorSlot = m_canvas.Font().Color();
                SetTextColor(m_in.hoverFontColor);
            }
        }
    }
    const bool keepHoverColor = m_in.hoverOnly && number == m_in.hoverLink && m_in.hoverFontColor != clNone;
    if (!m_in.keepColors && !keepHoverColor)
        SetTextColor(m_in.urlColor);
}

void TMarkupRenderer::AnchorEnd(TWalk& w)
{
    TPassState& s = *m_state;
    const bool hovered = !m_in.hoverOnly || s.anchorNumber == m_in.hoverLink;
    if (w.mode == TMode::Draw && hovered) {
        SetStyle(fsUnderline, false);
        if (m_in.hoverColor != clNone)
            SetBackground(m_anchorBackgroundSlot);
        if (m_in.hoverFontColor != clNone)
            SetTextColor(m_anchorColorSlot);
    }
    if (!m_in.keepColors)
        SetTextColor(m_baseFont.Color());
    if (w.mode == TMode::Draw && s.inAnchor) {
        if (m_hitPending) {
            const bool sameLine = m_anchorStartLine == m_lineIndex;
            m_out.hoverRect = TRect { sameLine ? w.lineLeft + m_anchorStartX : w.lineLeft,
                sameLine ? m_anchorStartTop : w.lineTop, w.lineLeft + w.width, w.lineRect.bottom };
            m_out.hoverAnchor = s.anchorNumber;
            m_hitPending = false;
        }
        if (m_focusActive && s.anchorNumber == m_in.focusLink + 1) {
            const int bottom = w.lineRect.bottom - w.line->lift;
            TRect r { m_focus.left - 1, bottom - TextHeightGh(), w.x + 1, bottom };
            if (Painting(w))
                m_canvas.DrawFocusRect(r);
            m_focusActive = false;
            m_focusContinues = false;
        }
    }
    s.inAnchor = false;
}

void TMarkupRenderer::FontTag(TWalk& w, const QString& tag)
{
    const QString a = tag.mid(5).toUpper();
    TFont& f = m_canvas.Font();
    const QString face = AttributeValue(a, QLatin1String("FACE"));
    int points = 0;
    if (a.contains(QLatin1String("SIZE")))
        points = std::min(FontSizeValue(a), kMaxPointSize);
    if (!face.isEmpty() || points >= 1) {
        const QString name = face.isEmpty() ? f.Name() : face;
        const int height = points >= 1 ? PointsToHeight(points, f.PixelsPerInch()) : f.Height();
        if (FontAllowed(name, height)) {
            f.SetName(name);
            f.SetHeight(height);
        }
    }
    if (!m_in.keepColors) {
        const QString color = AttributeValue(a, QLatin1String(" COLOR"));
        if (!color.isEmpty())
            SetTextColor(ColorFromValue(color));
        const QString background = AttributeValue(a, QLatin1String("BGCOLOR"));
        if (w.mode == TMode::Draw && !background.isEmpty()) {
            m_fontBackgroundSlot = m_canvas.Brush().Color();
            SetBackground(ColorFromValue(background));
        }
    }
}

bool TMarkupRenderer::FontAllowed(const QString& name, int height)
{
    if (name == m_baseFont.Name() && height == m_baseFont.Height())
        return true;
    for (const auto& [seenName, seenHeight] : m_fontsSeen) {
        if (seenHeight == height && seenName == name)
            return true;
    }
    if (m_fontsSeen.size() >= kMaxFonts)
        return false;
    m_fontsSeen.emplace_back(name, height);
    return true;
}

void TMarkupRenderer::ParagraphTag(TWalk& w, const QString& tag)
{
    const QString u = tag.toUpper();
    bool present = false;
    const QString align = AttributeValue(u, QLatin1String("ALIGN"), &present);
    if (align.contains(QLatin1String("RIGHT")))
        m_alignment = 1;
    else if (align.contains(QLatin1String("LEFT")))
        m_alignment = 0;
    else if (align.contains(QLatin1String("CENTER")))
        m_alignment = 2;
    const QString indent = AttributeValue(u, QLatin1String("INDENT"), &present);
    if (present)
        m_indent = std::clamp(StrToIntLoose(indent), -kMaxOffset, kMaxOffset);
    const QString background = AttributeValue(u, QLatin1String("BGCOLOR"));
    if (w.mode == TMode::Draw && !background.isEmpty()) {
        m_paragraphBackground = true;
        m_paragraphBackgroundSlot = m_canvas.Brush().Color();
        SetBackground(ColorFromValue(background));
        if (Painting(w)) {
            // The band covers the line; text already drawn on it stays visible.
            const int from = w.drawnAnything ? w.x : m_in.rect.left;
            m_canvas.FillRect(TRect { from, w.lineTop, m_in.rect.right, w.lineTop + w.line->height });
        }
    }
}

void TMarkupRenderer::BodyTag(TWalk& /*w*/, const QString& tag)
{
    const QString a = tag.mid(5).toUpper();
    const QString background = AttributeValue(a, QLatin1String("BACKGROUND"));
    if (!background.isEmpty()) {
        THTMLPicture* picture = FindPicture(background);
        if (picture && !picture->Empty()) {
            const int pw = picture->LayoutWidth();
            const int ph = picture->LayoutHeight();
            if (pw > 0 && ph > 0) {
                const TRect& r = m_in.rect;
                m_canvas.SetClipRect(r);
                int tiles = 0;
                for (int ty = r.top; ty < r.bottom && tiles < kMaxTiles; ty += ph) {
                    for (int tx = r.left; tx < r.right && tiles < kMaxTiles; tx += pw, ++tiles)
                        picture->Draw(m_canvas, TRect { tx, ty, tx + pw, ty + ph });
                }
                m_canvas.RemoveClip();
            }
        }
    }
    const QString color = AttributeValue(a, QLatin1String("BGCOLOR"));
    TColor fill = clNone;
    if (color.contains(QLatin1String("CL")))
        fill = ColorFromName(color);
    else if (color.contains(QLatin1Char('#')))
        fill = ColorFromHex(color.mid(color.indexOf(QLatin1Char('#'))));
    if (fill != clNone) {
        const TColor brush = m_canvas.Brush().Color();
        SetBackground(fill);
        m_canvas.FillRect(m_in.rect);
        SetBackground(brush);
        m_fontBackgroundSlot = fill;
    }
}

// Markup comes from data files: a device such as /dev/zero named as a picture file would be
// read forever, so a file source must name a regular file (found the way pictures find it).
bool TMarkupRenderer::SafeFileSource(const QString& source)
{
    if (!source.startsWith(QLatin1String("FILE://")))
        return true;
    const QString path = source.mid(7);
    if (path.isEmpty())
        return true;
    const QString found = QFileInfo::exists(path) ? path : pathcase::Resolve(path);
    return found.isEmpty() || QFileInfo(found).isFile();
}

THTMLPicture* TMarkupRenderer::FindPicture(const QString& source)
{
    THTMLPicture* picture = nullptr;
    if (!source.contains(QLatin1Char(':')) && m_in.pictures)
        picture = m_in.pictures->FindPicture(source);
    if (source.contains(QLatin1String("://")) && m_in.pictureCache) {
        picture = m_in.pictureCache->FindPicture(source);
        if (!picture && SafeFileSource(source)) {
            picture = m_in.pictureCache->AddPicture();
            picture->SetAsyncAllowed(false);
            try {
                picture->LoadFromSource(source);
            } catch (...) {
                // A source that does not decode stays an empty picture.
            }
        }
    }
    return picture;
}

TMarkupRenderer::TTagResult TMarkupRenderer::Image(TWalk& w, const QString& tag)
{
    const bool drawing = w.mode == TMode::Draw;
    const QString u = tag.mid(2).toUpper();
    QString source = AttributeValue(u, QLatin1String("SRC"));
    const QString alt = AttributeValue(u, QLatin1String("ALT"));
    const int number = m_state->imageNumber + 1;
    if (!alt.isEmpty() && number == m_imageUnderMouse)
        source = alt;

    TImageSource img;
    img.tagWidth = StrToIntLoose(AttributeValue(u, QLatin1String("WIDTH")));
    img.tagHeight = StrToIntLoose(AttributeValue(u, QLatin1String("HEIGHT")));
    const int ppiX = m_canvas.PixelsPerInchX();
    const int ppiY = m_canvas.PixelsPerInchY();

    if (source.contains(QLatin1String("IDX:"))) {
        int index = -1;
        if (m_in.images && TryStrToInt(source.mid(4), index) && index >= 0 && index < m_in.images->Count()) {
            img.kind = TImageSource::ImageList;
            img.index = index;
            img.width = Scaled(m_in.images->Width(), ppiX);
            img.height = Scaled(m_in.images->Height(), ppiY);
        }
    }
    const bool smallIcon = source.contains(QLatin1String("SSYS:"));
    if (smallIcon || source.contains(QLatin1String("LSYS:"))) {
        QSize size;
        img.iconName = source.mid(5);
        img.largeIcon = !smallIcon;
        DrawSystemIcon(m_canvas, 0, 0, size, m_in.resFactor, m_in.printing, TIconDraw::MeasureOnly,
            img.largeIcon ? TIconSize::Large : TIconSize::Small, img.iconName);
        if (size.width() > 0 && size.height() > 0) {
            img.kind = TImageSource::SystemIcon;
            img.width = Scaled(size.width(), ppiX);
            img.height = Scaled(size.height(), ppiY);
        }
    }
    if (!source.isEmpty()) {
        THTMLPicture* picture = FindPicture(source);
        if (picture && !picture->Empty()) {
            img.kind = TImageSource::Picture;
            img.picture = picture;
            const bool sized = img.tagWidth >= 1 && img.tagHeight >= 1;
            img.width = Scaled(sized ? img.tagWidth : picture->LayoutWidth(), ppiX);
            img.height = Scaled(sized ? img.tagHeight : picture->LayoutHeight(), ppiY);
        }
    }
    if (img.kind == TImageSource::None)
        img.width = img.height = 0;

    if (!drawing) {
        const bool fits = !w.consumed || w.width + img.width <= w.available || img.width >= w.available;
        if (!fits)
            return TTagResult::NotConsumedEndsLine;
        w.line->height = std::max(w.line->height, img.height);
        if (u.contains(QLatin1String("ALIGN"))) {
            const int gh = TextHeightGh();
            if (u.contains(QLatin1String("\"TOP")))
                w.line->lift = w.line->height - gh;
            else if (u.contains(QLatin1String("\"MIDDLE")))
                w.line->lift = (w.line->height - gh) / 2;
        }
    }
    m_state->imageNumber = number;

    if (m_state->inAnchor && img.width > 0) {
        const int rel = m_in.xPos - w.lineLeft;
        if (rel > w.width && rel < w.width + img.width && m_in.yPos > w.lineTop
            && m_in.yPos < w.lineTop + img.height) {
            m_out.anchorHref = m_state->href;
            m_imageUnderMouse = number;
            if (drawing) {
                w.imageHit = true;
                m_hitPending = true;
            }
        }
    }

    if (Painting(w) && img.kind != TImageSource::None) {
        const int x = w.x;
        const int top = w.lineTop;
        switch (img.kind) {
        case TImageSource::ImageList:
            if (!m_in.printing) {
                m_in.images->Draw(m_canvas, x, top, img.index);
            } else {
                const TBitmap bitmap(m_in.images->Image(img.index));
                StretchBitmapToCanvas(m_canvas,
                    TRect { x, top, x + RoundToInt(m_in.images->Width() * m_in.resFactor),
                        top + RoundToInt(m_in.images->Height() * m_in.resFactor) },
                    bitmap);
            }
            break;
        case TImageSource::SystemIcon: {
            QSize size;
            DrawSystemIcon(m_canvas, x, top, size, m_in.resFactor, m_in.printing, TIconDraw::Draw,
                img.largeIcon ? TIconSize::Large : TIconSize::Small, img.iconName);
            break;
        }
        case TImageSource::Picture: {
            THTMLPicture* p = img.picture;
            if (img.tagWidth >= 1 && img.tagHeight >= 1) {
                p->Draw(m_canvas, TRect { x, top, x + img.tagWidth, top + img.tagHeight });
            } else {
                const int pw = p->LayoutWidth();
                const int ph = p->LayoutHeight();
                if (p->FrameCount() > 1 && m_entryBackground != clNone) {
                    // Frames may cover only part of the screen: clear what the last one left.
                    const TColor brush = m_canvas.Brush().Color();
                    SetBackground(m_entryBackground);
                    m_canvas.FillRect(TRect { x, top, x + pw, top + ph });
                    SetBackground(brush);
                }
                const int fx = x + p->FrameLeft();
                const int fy = top + p->FrameTop();
                p->Draw(m_canvas, TRect { fx, fy, fx + pw, fy + ph });
            }
            break;
        }
        case TImageSource::None:
            break;
        }
        w.drawnAnything = true;
    }
    w.width += img.width;
    w.x += img.width;
    w.trailingBlank = 0;
    w.endsWithBlank = false;
    return TTagResult::Consumed;
}

TMarkupRenderer::TTagResult TMarkupRenderer::ListItem(TWalk& w)
{
    if (w.mode == TMode::Measure && w.listItemSeen && w.consumed)
        return TTagResult::NotConsumedEndsLine; // each item begins a line
    w.listItemSeen = true;
    const int level = m_state->listLevel;
    w.width += kBulletStep * level;
    w.x += kBulletStep * (level - 1);
    if (Painting(w)) {
        const QString bullet = (level % 2 == 1) ? QString(QChar(0x2022)) : QStringLiteral("o");
        m_canvas.SetBkMode(m_canvas.Brush().Color() == clNone ? bkTransparent : bkOpaque);
        m_canvas.TextOut(w.x, w.lineTop, bullet);
        m_canvas.SetBkMode(bkTransparent);
        w.drawnAnything = true;
    }
    w.x += kBulletStep;
    w.trailingBlank = 0;
    w.endsWithBlank = false;
    return TTagResult::Consumed;
}
