#include "exchange/HTMLExport.h"

#include "exchange/private/THTMLSanitizer.h"
#include "exchange/private/TTextFileWriter.h"
#include "platform/OrvExceptions.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Longest visible text of a shortened URL anchor.
constexpr qsizetype kMaxShortUrl = 255;

QString HexColor(TColor color)
{
    return QStringLiteral("%1%2%3")
        .arg(color & 0xFF, 2, 16, QChar(u'0'))
        .arg((color >> 8) & 0xFF, 2, 16, QChar(u'0'))
        .arg((color >> 16) & 0xFF, 2, 16, QChar(u'0'))
        .toUpper();
}

QString BackgroundAttribute(TColor color)
{
    return QStringLiteral(" BGCOLOR=\"#") + HexColor(color) + u'"';
}

// The character reference for a character that HTML text or a quoted attribute value reads as
// markup, or null for any other character.
const char16_t* MarkupReference(char16_t c)
{
    switch (c) {
    case u'&':
        return u"&amp;";
    case u'<':
        return u"&lt;";
    case u'>':
        return u"&gt;";
    case u'"':
        return u"&quot;";
    default:
        return nullptr;
    }
}

QString EscapeText(QStringView text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c.unicode() == 0)
            continue;
        if (const char16_t* reference = MarkupReference(c.unicode()))
            out += QStringView(reference);
        else
            out += c;
    }
    return out;
}

// The anchor's HREF stays unquoted, so everything that would end or break an unquoted
// attribute value is written as a character reference (browsers decode it back). A final '/'
// too: readers that are not HTML5 take "/>" for the end of an empty element and lose the link.
QString EscapeUnquotedHref(QStringView url)
{
    QString out;
    out.reserve(url.size() + 8);
    const bool slashLast = url.endsWith(u'/');
    if (slashLast)
        url.chop(1);
    for (QChar c : url) {
        if (const char16_t* reference = MarkupReference(c.unicode())) {
            out += QStringView(reference);
            continue;
        }
        switch (c.unicode()) {
        case u'\'':
            out += u"&#39;";
            break;
        case u'=':
            out += u"&#61;";
            break;
        case u'`':
            out += u"&#96;";
            break;
        case 0:
            break;
        default:
            if (c.unicode() <= 0x20)
                out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QChar(u'0')).toUpper();
            else
                out += c;
        }
    }
    if (slashLast)
        out += u"&#47;";
    return out;
}

// The export writes no document head, so a browser may guess the page's encoding wrongly;
// characters past ASCII are therefore written as character references, which read the same
// under every encoding.
QString AsciiOnly(const QString& html)
{
    qsizetype i = 0;
    while (i < html.size() && html[i].unicode() < 0x80)
        ++i;
    if (i == html.size())
        return html;
    QString out = html.left(i);
    for (; i < html.size(); ++i) {
        const QChar c = html[i];
        if (c.unicode() < 0x80) {
            out += c;
            continue;
        }
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < html.size() && html[i + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(c, html[++i]);
        else if (c.isSurrogate())
            code = 0xFFFD; // a lone half of a pair has no character to refer to
        out += QStringLiteral("&#%1;").arg(quint32(code));
    }
    return out;
}

// A cell text as it goes into the page: marked-up text with its active content removed,
// anything else escaped so that it shows as written.
QString SafeText(const QString& text)
{
    if (text.contains(u"</"))
        return AsciiOnly(THTMLSanitizer::Sanitize(text));
    return AsciiOnly(EscapeText(text));
}

struct TConvertedText {
    QString asWritten; // the cell text after URL conversion, as the cell hook is told it
    QString html; // the same, safe to put into the page
};

TConvertedText ConvertUrls(const QString& s, bool urlShow, bool urlFull)
{
    TConvertedText result { s, SafeText(s) };
    if (!urlShow || s.contains(u"</"))
        return result;
    auto anchor = [&](qsizetype schemeEnd) {
        const QString visible = urlFull ? s : s.mid(schemeEnd, kMaxShortUrl);
        result.asWritten = QStringLiteral("<A HREF=") + s + u'>' + visible + QStringLiteral("</A>");
        // A text that would run script when followed stays plain text.
        if (!THTMLSanitizer::IsScriptValue(s))
            result.html = AsciiOnly(QStringLiteral("<A HREF=") + EscapeUnquotedHref(s) + u'>'
                + EscapeText(visible) + QStringLiteral("</A>"));
    };
    const qsizetype scheme = s.indexOf(u"://");
    if (scheme >= 0)
        anchor(scheme + 3);
    const qsizetype mail = s.indexOf(u"mailto:");
    if (mail >= 0)
        anchor(mail + 7);
    return result;
}

class TCellWriter {
public:
    explicit TCellWriter(const THTMLExportContext& context)
        : m_context(context)
    { }

    QString Cell(int row, int subItem)
    {
        const TListItem& item = m_context.items[row];
        const bool captionCell = subItem < 0;
        const THTMLSettings& settings = m_context.settings;
        QString text = captionCell
            ? item.Caption()
            : (subItem < item.SubItems().size() ? item.SubItems()[subItem] : QString());
        if (text.startsWith(u"{\\") && m_context.richPlainText)
            text = m_context.richPlainText(row, subItem);

        TConvertedText converted;
        if (captionCell && text.isEmpty())
            converted = { QStringLiteral("<br>"), QStringLiteral("<br>") };
        else
            converted = ConvertUrls(text, m_context.urlShow, m_context.urlFull);

        QString align;
        if (!converted.asWritten.isEmpty()) {
            const TAlignment alignment = m_context.columns[subItem + 1].Alignment();
            if (alignment == taRightJustify)
                align = QStringLiteral(" align=\"right\"");
            else if (alignment == taCenter)
                align = QStringLiteral(" align=\"center\"");
        }

        m_brush.SetColor(HTMLExportColorMarker);
        m_font.SetColor(HTMLExportColorMarker);
        m_font.SetStyle(0);
        if (m_context.drawItemProp)
            m_context.drawItemProp(
                row, subItem, m_brush, m_font, captionCell ? item.Caption() : converted.asWritten);

        if (!captionCell && converted.asWritten.isEmpty())
            converted.html = QStringLiteral("<BR>");

        QString bg;
        if (m_brush.Color() != HTMLExportColorMarker && settings.SaveColor())
            bg = BackgroundAttribute(m_brush.Color());
        QString fontOpen, fontClose;
        if (m_font.Color() != HTMLExportColorMarker && settings.SaveColor()) {
            fontOpen = QStringLiteral("<font color=\"#") + HexColor(m_font.Color()) + QStringLiteral("\">");
            fontClose = QStringLiteral("</font>");
        }
        QString styleOpen, styleClose;
        if (settings.SaveFonts()) {
            const TFontStyles style = m_font.Style();
            if (style & fsBold) {
                styleOpen += u"<B>";
                styleClose += u"</B>";
            }
            if (style & fsItalic) {
                styleOpen += u"<I>";
                styleClose.prepend(u"</I>");
            }
            if (style & fsUnderline) {
                styleOpen += u"<U>";
                styleClose.prepend(u"</U>");
            }
        }
        return QStringLiteral("<td nowrap") + align + bg + u'>' + fontOpen + styleOpen + converted.html
            + styleClose + fontClose + QStringLiteral("</td>");
    }

private:
    const THTMLExportContext& m_context;
    TBrush m_brush;
    TFont m_font;
};

// Header and footer files are copied byte for byte, so that a page declaring its own character
// set keeps it (everything the export writes itself is ASCII). A missing file is skipped; a
// last line without its end gets CR LF.
void CopyFileBytes(const QString& name, TTextFileWriter& writer)
{
    if (name.isEmpty())
        return;
    QFile source(name);
    if (!source.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        throw EOrvListViewError("Error reading file " + name);
    if (bytes.isEmpty())
        return;
    writer.WriteBytes(bytes);
    if (!bytes.endsWith('\n') && !bytes.endsWith('\r'))
        writer.WriteBytes("\r\n");
}

} // namespace

QString SanitizeHTMLMarkup(const QString& markup)
{
    return THTMLSanitizer::Sanitize(markup);
}

QStringList BuildHTMLLines(const THTMLExportContext& context, const TProgressCallback& progress)
{
    QStringList lines;
    const TListColumns& columns = context.columns;
    const TListItems& items = context.items;
    if (columns.Count() == 0 || items.Count() == 0)
        return lines;
    const THTMLSettings& settings = context.settings;
    if (!settings.PrefixTag().isEmpty())
        lines << AsciiOnly(settings.PrefixTag());
    lines << QStringLiteral("<table border=\"%1\" cellspacing=\"%2\" width=\"%3%\">")
                 .arg(settings.BorderSize())
                 .arg(settings.CellSpacing())
                 .arg(settings.Width());
    lines << QStringLiteral("<tr>");
    const QString headerBg
        = settings.SaveColor() ? BackgroundAttribute(ColorToRGB(clActiveBorder)) : QString();
    for (int c = 0; c < columns.Count(); ++c) {
        const QString caption = columns[c].Caption();
        lines << QStringLiteral("<td nowrap") + headerBg + QStringLiteral("><B>")
                + (caption.isEmpty() ? QStringLiteral("<BR>") : SafeText(caption))
                + QStringLiteral("</B></td>");
    }
    lines << QStringLiteral("</tr>");
    TCellWriter cells(context);
    TProgressMeter meter(progress, items.Count());
    for (int r = 0; r < items.Count(); ++r) {
        meter.Step(r);
        lines << QStringLiteral("<tr>");
        lines << cells.Cell(r, -1);
        if (!items[r].SubItems().isEmpty())
            for (int j = 0; j < columns.Count() - 1; ++j)
                lines << cells.Cell(r, j);
        lines << QStringLiteral("</tr>");
    }
    meter.Finish();
    lines << QStringLiteral("</table><p>");
    if (!settings.SuffixTag().isEmpty())
        lines << AsciiOnly(settings.SuffixTag());
    return lines;
}

void SaveListToHTML(const THTMLExportContext& context, const QString& file, const TProgressCallback& progress)
{
    if (context.columns.Count() == 0 || context.items.Count() == 0)
        return;
    const QStringList lines = BuildHTMLLines(context, progress);
    if (QFileInfo(file).isDir())
        throw EOrvListViewError("Cannot create file " + file + ": it is a folder");
    TTextFileWriter writer(file);
    if (!writer.Open())
        throw EOrvListViewError("File " + file + " not found");
    CopyFileBytes(context.settings.HeaderFile(), writer);
    for (const QString& line : lines)
        writer.WriteLine(line);
    CopyFileBytes(context.settings.FooterFile(), writer);
    writer.Commit();
}
