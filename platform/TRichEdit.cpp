#include "platform/TRichEdit.h"

#include "platform/TCanvas.h"
#include "platform/private/RtfFormat.h"
#include "platform/private/RtfReader.h"
#include "platform/private/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace {

// Different faces and sizes a cell render lays out from lazily loaded content; runs naming
// more take the default font. Each new one costs the font matcher a fraction of a millisecond,
// and a hostile cell may name thousands.
constexpr int kMaxCellFonts = 32;

// The resolution a layout without a paint device assumes.
int QScreenDpiX()
{
    static const int dpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiX();
    return dpi;
}

int QScreenDpiY()
{
    static const int dpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiY();
    return dpi;
}

int TwipsToPixels(int twips, int dpi)
{
    return int(std::lround(double(twips) * dpi / 1440.0));
}

// The document's default font: point-sized, so that layout on a printer scales it.
QFont DocumentFont(const TFont& font)
{
    QFont f = font.ToQFont();
    qreal points = 0;
    if (font.Height() < 0)
        points = -font.Height() * 72.0 / std::max(1, font.PixelsPerInch());
    else if (font.Height() > 0)
        points = font.Size();
    if (points <= 0)
        points = f.pointSizeF() > 0 ? f.pointSizeF() : 10;
    f.setPointSizeF(points);
    return f;
}

QString DecodeTextBytes(const QByteArray& bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return rtf::DecodeCodePage(body, 1252);
}

// Text as SetText keeps it: every line end a paragraph mark, nothing a run cannot hold.
QString NormalizedPlain(const QString& plain)
{
    QString text = plain;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    rtf::SanitizeRun(text, rtf::KeepLineFeeds::Yes);
    return text;
}

std::unique_ptr<QTextDocument> NewDocument(const QFont& defaultFont)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    doc->setDocumentMargin(0);
    doc->setDefaultFont(defaultFont);
    return doc;
}

// Rewrites the format of every run inside [start, end): a merge could only add properties, but
// clearing a colour or an offset must remove one.
void ModifyRange(QTextDocument& doc, int start, int end, const std::function<void(QTextCharFormat&)>& modify)
{
    end = std::min(end, doc.characterCount() - 1);
    if (start >= end)
        return;
    struct Piece {
        int from;
        int to;
        QTextCharFormat format;
    };
    std::vector<Piece> pieces;
    for (QTextBlock block = doc.findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int from = std::max(start, frag.position());
            const int to = std::min(end, frag.position() + frag.length());
            if (from < to)
                pieces.push_back({ from, to, frag.charFormat() });
        }
        // The paragraph mark belongs to the selection too when it lies inside it.
        const int mark = block.position() + block.length() - 1;
        if (mark >= start && mark < end && block.next().isValid())
            pieces.push_back({ mark, mark + 1, block.charFormat() });
    }
    QTextCursor c(&doc);
    c.beginEditBlock();
    for (Piece& p : pieces) {
        modify(p.format);
        c.setPosition(p.from);
        c.setPosition(p.to, QTextCursor::KeepAnchor);
        c.setCharFormat(p.format);
    }
    c.endEditBlock();
}

// The layout settings a render needs. Each of them throws the layout away, so only real changes
// are made: a cell drawn again unchanged then reuses its layout. A device of screen resolution
// lays out like no device at all, which the layout may keep without holding a pointer that could
// dangle. With `mayChange` (a private copy) raised or lowered characters get room above and
// below their paragraph's line.
void PrepareLayout(QTextDocument* doc, bool mayChange, QPaintDevice* device, int width, int dpiX, int dpiY)
{
    if (mayChange) {
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            int up = 0;
            int down = 0;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const int offset = rtf::OffsetTwips(it.fragment().charFormat());
                up = std::max(up, offset);
                down = std::max(down, -offset);
            }
            if (up > 0 || down > 0) {
                QTextBlockFormat bf = block.blockFormat();
                bf.setTopMargin(TwipsToPixels(up, dpiY));
                bf.setBottomMargin(TwipsToPixels(down, dpiY));
                QTextCursor(block).setBlockFormat(bf);
            }
        }
    }
    QTextOption option = doc->defaultTextOption();
    if (option.tabStopDistance() != dpiX / 2.0
        || option.wrapMode() != QTextOption::WrapAtWordBoundaryOrAnywhere) {
        option.setTabStopDistance(dpiX / 2.0); // half-inch tab stops, as word processors default to
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        doc->setDefaultTextOption(option);
    }
    const bool screenResolution
        = device->logicalDpiX() == QScreenDpiX() && device->logicalDpiY() == QScreenDpiY();
    if (!screenResolution)
        doc->documentLayout()->setPaintDevice(device);
    if (doc->textWidth() != width)
        doc->setTextWidth(width);
}

// True when the laid-out document has a line that starts at or below `height`: the lines above
// it are then laid out exactly as they are in any longer content.
bool ReachesBelow(QTextDocument* doc, qreal height)
{
    const QTextBlock last = doc->lastBlock();
    const QRectF rect = doc->documentLayout()->blockBoundingRect(last);
    const QTextLayout* layout = last.layout();
    if (!layout || layout->lineCount() == 0)
        return rect.top() >= height;
    return rect.top() + layout->lineAt(layout->lineCount() - 1).y() >= height;
}

} // namespace

TRichEdit::TRichEdit()
    : m_doc(std::make_unique<QTextDocument>())
{
    m_doc->setUndoRedoEnabled(false);
    m_doc->setDocumentMargin(0);
    m_doc->setDefaultFont(DocumentFont(m_defaultFont));
    // Any edit of the content, through this class or through Document(), makes the content
    // differ from the last bytes loaded.
    QObject::connect(m_doc.get(), &QTextDocument::contentsChanged, m_doc.get(), [this] { m_loaded.reset(); });
}

TRichEdit::~TRichEdit() = default;

bool TRichEdit::LoadFromRtf(const QByteArray& rtf)
{
    m_selStart = 0;
    m_selLength = 0;
    // A list loads the same cell again on every paint; unchanged content needs no second look.
    if (m_loaded && m_loaded->bytes == rtf)
        return m_loaded->wasRtf;
    // Bytes that are not RTF are shown as text, as a rich-edit control does with a plain stream.
    const bool wasRtf = rtf::IsRtf(rtf);
    m_pending = Pending { rtf, wasRtf, std::nullopt, {} };
    m_loaded = LoadedBytes { rtf, wasRtf };
    return wasRtf;
}

void TRichEdit::Materialize() const
{
    if (!m_pending)
        return;
    const Pending pending = std::move(*m_pending);
    m_pending.reset();
    const std::optional<LoadedBytes> loaded = m_loaded;
    if (pending.isRtf) {
        rtf::ReadRtf(pending.bytes, *m_doc, m_doc->defaultFont());
    } else {
        m_doc->clear();
        QTextCursor(m_doc.get())
            .insertText(pending.text ? *pending.text : NormalizedPlain(DecodeTextBytes(pending.bytes)));
    }
    for (const PendingEdit& e : pending.edits)
        ModifyRange(*m_doc, e.start, e.end, e.edit);
    // Reading is not editing: the content still is what the bytes say unless edits were replayed.
    m_loaded = pending.edits.empty() ? loaded : std::nullopt;
}

const QString& TRichEdit::PendingText() const
{
    Pending& p = *m_pending;
    if (!p.text) {
        QString text;
        if (p.isRtf)
            rtf::ReadRtfText(p.bytes, text);
        else
            text = NormalizedPlain(DecodeTextBytes(p.bytes));
        p.text = std::move(text);
    }
    return *p.text;
}

QByteArray TRichEdit::SaveToRtf() const
{
    Materialize();
    return rtf::WriteRtf(*m_doc, m_doc->defaultFont());
}

QString TRichEdit::PlainText() const
{
    QString text;
    if (m_pending) {
        // What QTextDocument::toPlainText makes of the same characters.
        text = PendingText();
        for (QChar& c : text) {
            if (c == QChar::Nbsp)
                c = QLatin1Char(' ');
            else if (c == QChar::ParagraphSeparator)
                c = QLatin1Char('\n');
        }
    } else {
        text = m_doc->toPlainText();
    }
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

int TRichEdit::TextLength() const
{
    if (m_pending)
        return int(PendingText().size());
    return m_doc->characterCount() - 1; // the document's final paragraph mark is not text
}

void TRichEdit::Clear()
{
    m_pending.reset();
    m_doc->clear();
    m_selStart = 0;
    m_selLength = 0;
}

void TRichEdit::SetText(const QString& plain)
{
    m_pending.reset();
    m_doc->clear();
    QTextCursor(m_doc.get()).insertText(NormalizedPlain(plain));
    m_selStart = 0;
    m_selLength = 0;
}

void TRichEdit::SetSelection(int start, int length)
{
    const int len = TextLength();
    m_selStart = std::clamp(start, 0, len);
    m_selLength = length < 0 ? len - m_selStart : std::min(length, len - m_selStart);
}

QTextCursor TRichEdit::SelectionCursor() const
{
    Materialize();
    QTextCursor c(m_doc.get());
    const int len = TextLength();
    const int start = std::min(m_selStart, len);
    c.setPosition(start);
    c.setPosition(std::min(start + m_selLength, len), QTextCursor::KeepAnchor);
    return c;
}

QString TRichEdit::SelText() const
{
    QString text = SelectionCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text;
}

void TRichEdit::EditSelection(FormatEdit edit)
{
    const int start = m_selStart;
    const int end = m_selStart + m_selLength;
    if (start >= end)
        return;
    if (m_pending) {
        m_pending->edits.push_back(PendingEdit { start, end, std::move(edit) });
        m_loaded.reset();
        return;
    }
    ModifyRange(*m_doc, start, end, edit);
}

void TRichEdit::SetSelColor(TColor color)
{
    EditSelection([color](QTextCharFormat& f) {
        if (color == clNone)
            f.clearForeground();
        else
            f.setForeground(ToQColor(color)); // system colours are taken at their current value
    });
}

void TRichEdit::SetSelStyle(TFontStyles styles)
{
    EditSelection([styles](QTextCharFormat& f) {
        f.setFontWeight((styles & fsBold) ? QFont::Bold : QFont::Normal);
        f.setFontItalic(styles & fsItalic);
        f.setFontUnderline(styles & fsUnderline);
        f.setFontStrikeOut(styles & fsStrikeOut);
    });
}

void TRichEdit::SetSelOffset(int twips)
{
    const QFont base = m_doc->defaultFont();
    EditSelection([twips, base](QTextCharFormat& f) { rtf::ApplyOffset(f, twips, f.font().resolve(base)); });
}

namespace {

QTextCharFormat FormatAt(const QTextDocument& doc, int pos)
{
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(std::clamp(pos + 1, 0, doc.characterCount() - 1));
    return c.charFormat(); // the format of the character before the cursor
}

} // namespace

TColor TRichEdit::CharColor(int pos) const
{
    Materialize();
    const QTextCharFormat f = FormatAt(*m_doc, pos);
    return f.foreground().style() == Qt::NoBrush ? clNone : FromQColor(f.foreground().color());
}

TFontStyles TRichEdit::CharStyle(int pos) const
{
    Materialize();
    const QTextCharFormat f = FormatAt(*m_doc, pos);
    const QFont font = f.font().resolve(m_doc->defaultFont());
    TFontStyles s = 0;
    if (font.weight() >= QFont::DemiBold)
        s |= fsBold;
    if (font.italic())
        s |= fsItalic;
    if (font.underline())
        s |= fsUnderline;
    if (font.strikeOut())
        s |= fsStrikeOut;
    return s;
}

int TRichEdit::CharOffset(int pos) const
{
    Materialize();
    return rtf::OffsetTwips(FormatAt(*m_doc, pos));
}

void TRichEdit::SetDefaultFont(const TFont& font)
{
    m_defaultFont.Assign(font);
    m_doc->setDefaultFont(DocumentFont(m_defaultFont));
    m_loaded.reset(); // the reader resolves sizes against the default font
    m_prefix.reset();
}

int TRichEdit::Render(TCanvas& canvas, const TRect& formatTwips, const TRect& pageTwips, int first, int last)
{
    // The whole of lazily loaded content is drawn without learning its length first.
    const bool prefixOnly = m_pending && first <= 0 && last < 0;
    const int len = prefixOnly ? 0 : TextLength();
    first = prefixOnly ? 0 : std::clamp(first, 0, len);
    const int end = prefixOnly ? 0 : (last < 0 || last >= len) ? len : last + 1;
    QPainter* painter = canvas.Painter();
    if (!painter || (!prefixOnly && first >= end))
        return prefixOnly ? 0 : std::max(first, end);

    TRect twips = formatTwips;
    if (!pageTwips.IsEmpty()) {
        twips.left = std::max(twips.left, pageTwips.left);
        twips.top = std::max(twips.top, pageTwips.top);
        twips.right = std::min(twips.right, pageTwips.right);
        twips.bottom = std::min(twips.bottom, pageTwips.bottom);
    }
    const int dpiX = std::max(1, canvas.PixelsPerInchX());
    const int dpiY = std::max(1, canvas.PixelsPerInchY());
    const QRect area(QPoint(TwipsToPixels(twips.left, dpiX), TwipsToPixels(twips.top, dpiY)),
        QPoint(TwipsToPixels(twips.right, dpiX) - 1, TwipsToPixels(twips.bottom, dpiY) - 1));
    if (area.isEmpty())
        return first;

    if (prefixOnly) {
        // Only the beginning of lazily loaded content can show: read no more of it than that.
        // A cell painted again unchanged at screen resolution reuses what was read and laid out.
        QPaintDevice* device = painter->device();
        const bool screen = device->logicalDpiX() == QScreenDpiX() && device->logicalDpiY() == QScreenDpiY();
        const bool reusable = screen && m_pending->edits.empty();
        if (!(reusable && m_prefix && m_prefix->bytes == m_pending->bytes && m_prefix->size == area.size())) {
            m_prefix.reset();
            bool complete = false;
            std::unique_ptr<QTextDocument> doc = PrefixDocument(area, dpiX, dpiY, device, &complete);
            m_prefix = PrefixView { m_pending->bytes, area.size(),
                std::shared_ptr<QTextDocument>(std::move(doc)) };
        }
        const std::shared_ptr<QTextDocument> prefix = m_prefix->doc;
        if (!reusable)
            m_prefix.reset();
        if (prefix->characterCount() <= 1)
            return 0; // nothing to draw
        const int notDrawn = LayOutAndDraw(prefix.get(), true, painter, area, dpiX, dpiY);
        return notDrawn >= 0 ? notDrawn : prefix->characterCount() - 1;
    }
    Materialize();

    // Raised or lowered characters need room above and below their paragraph's line, and a
    // partial range needs the rest cut away: both are done on a private copy so that the content
    // never changes. Otherwise the content is laid out in place, which saves the copy.
    bool hasOffsets = false;
    for (QTextBlock block = m_doc->begin(); block.isValid() && !hasOffsets; block = block.next())
        for (auto it = block.begin(); !it.atEnd() && !hasOffsets; ++it)
            hasOffsets = rtf::OffsetTwips(it.fragment().charFormat()) != 0;
    std::unique_ptr<QTextDocument> copy;
    QTextDocument* doc = m_doc.get();
    if (hasOffsets || first > 0 || end < len) {
        copy.reset(m_doc->clone());
        doc = copy.get();
        doc->setUndoRedoEnabled(false);
        doc->setDefaultFont(m_doc->defaultFont());
        doc->setDocumentMargin(0);
        if (end < len || first > 0) {
            QTextCursor cut(doc);
            cut.setPosition(end);
            cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            cut.removeSelectedText();
            cut.setPosition(0);
            cut.setPosition(first, QTextCursor::KeepAnchor);
            cut.removeSelectedText();
        }
    }
    const int notDrawn = LayOutAndDraw(doc, copy != nullptr, painter, area, dpiX, dpiY);
    return notDrawn < 0 ? end : first + notDrawn;
}

std::unique_ptr<QTextDocument> TRichEdit::PrefixDocument(
    const QRect& area, int dpiX, int dpiY, QPaintDevice* device, bool* complete) const
{
    const Pending& pending = *m_pending;
    const QFont font = m_doc->defaultFont();
    // A guess at what fills the area (a character of 6 x 6 pixels), grown until a line starts
    // below the area or the content ends; each step reads four times as much, so the total stays
    // within a few times what the last step reads. Every font a run names costs a font lookup
    // when laid out, so the guess stays small.
    qsizetype budget = std::max<qsizetype>(256, qsizetype(area.width()) * area.height() / 36);
    for (;;) {
        std::unique_ptr<QTextDocument> doc = NewDocument(font);
        *complete = true;
        if (pending.isRtf) {
            rtf::ReadRtfPrefix(pending.bytes, *doc, font, rtf::ReadLimit { budget, kMaxCellFonts }, complete);
        } else {
            const QString& text = PendingText();
            *complete = text.size() <= budget;
            QTextCursor(doc.get()).insertText(text.left(budget));
        }
        for (const PendingEdit& e : pending.edits)
            ModifyRange(*doc, e.start, e.end, e.edit);
        if (*complete)
            return doc;
        PrepareLayout(doc.get(), true, device, area.width(), dpiX, dpiY);
        if (ReachesBelow(doc.get(), area.height()))
            return doc;
        budget *= 4;
    }
}

int TRichEdit::LayOutAndDraw(
    QTextDocument* doc, bool mayChange, QPainter* painter, const QRect& area, int dpiX, int dpiY)
{
    QPaintDevice* device = painter->device();
    const bool screenResolution
        = device->logicalDpiX() == QScreenDpiX() && device->logicalDpiY() == QScreenDpiY();
    PrepareLayout(doc, mayChange, device, area.width(), dpiX, dpiY);

    // Whole lines that fit decide where the next range would start. A first line taller than
    // the rectangle is still drawn, cut, so that a small cell never shows nothing.
    int notDrawn = -1;
    qreal fitBottom = 0;
    for (QTextBlock block = doc->begin(); block.isValid() && notDrawn < 0; block = block.next()) {
        const QRectF blockRect = doc->documentLayout()->blockBoundingRect(block);
        const QTextLayout* layout = block.layout();
        for (int i = 0; layout && i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal bottom = blockRect.top() + line.y() + line.height();
            if (bottom > area.height() + 0.5) {
                notDrawn = block.position() + line.textStart();
                break;
            }
            fitBottom = bottom + (i == layout->lineCount() - 1 ? blockRect.bottom() - bottom : 0);
        }
    }
    if (notDrawn < 0 || fitBottom <= 0)
        fitBottom = area.height();

    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    if (m_background != clNone)
        painter->fillRect(area, ToQColor(m_background));
    painter->translate(area.topLeft());
    painter->setClipRect(
        QRectF(0, 0, area.width(), std::min<qreal>(fitBottom, area.height())), Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette.setColor(QPalette::Text, ToQColor(m_defaultFont.Color()));
    ctx.clip = QRectF(0, 0, area.width(), area.height());
    doc->documentLayout()->draw(painter, ctx);
    painter->restore();
    if (!mayChange && !screenResolution) {
        // The layout belonged to this device, which may not outlive the call.
        doc->documentLayout()->setPaintDevice(nullptr);
    }
    return notDrawn;
}
