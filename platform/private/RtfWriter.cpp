#include "platform/private/RtfWriter.h"

#include "platform/private/RtfFormat.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>
#include <vector>

namespace rtf {

namespace {

// The run properties the writer expresses, in RTF terms.
struct RunProps {
    int font = 0;
    int halfPoints = 0; // 0 = the default font's size, which need not be a whole half point
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int fg = 0; // colour-table index, 0 = automatic
    int bg = 0;
    int vert = 0; // 1 super, 2 sub
    int upHalfPoints = 0;
};

class Writer {
public:
    Writer(const QTextDocument& doc, const QFont& defaultFont)
        : m_doc(doc)
        , m_default(defaultFont)
    {
        m_fonts.push_back(FamilyOf(defaultFont));
        m_fontIndex.insert(m_fonts.front(), 0);
    }

    QByteArray Write()
    {
        // First pass: the tables, so that the body can refer to them by index.
        std::vector<std::vector<std::pair<QString, RunProps>>> paragraphs;
        std::vector<Qt::Alignment> aligns;
        for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
            aligns.push_back(block.blockFormat().alignment());
            auto& runs = paragraphs.emplace_back();
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment frag = it.fragment();
                if (frag.isValid())
                    runs.emplace_back(frag.text(), PropsOf(frag.charFormat()));
            }
        }

        QByteArray out;
        out.reserve(256 + m_doc.characterCount() * 2);
        out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
        for (std::size_t i = 0; i < m_fonts.size(); ++i) {
            out += "{\\f" + QByteArray::number(qulonglong(i)) + "\\fnil\\fcharset0 ";
            AppendText(out, QString(m_fonts[i]).remove(QLatin1Char(';')));
            out += ";}";
        }
        out += "}{\\colortbl ;";
        for (const QColor& c : m_colors)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green())
                + "\\blue" + QByteArray::number(c.blue()) + ';';
        out += "}\r\n";

        RunProps cur;
        out += "\\f0";
        m_needSpace = true;
        for (std::size_t p = 0; p < paragraphs.size(); ++p) {
            out += "\\pard";
            switch (aligns[p] & Qt::AlignHorizontal_Mask) {
            case Qt::AlignRight:
                out += "\\qr";
                break;
            case Qt::AlignHCenter:
                out += "\\qc";
                break;
            case Qt::AlignJustify:
                out += "\\qj";
                break;
            default:
                break;
            }
            m_needSpace = true;
            for (const auto& [text, props] : paragraphs[p]) {
                AppendChanges(out, cur, props);
                cur = props;
                AppendText(out, text);
            }
            out += "\\par\r\n";
            m_needSpace = false;
        }
        out += '}';
        return out;
    }

private:
    static QString FamilyOf(const QFont& f)
    {
        const QStringList families = f.families();
        return families.isEmpty() ? f.family() : families.front();
    }

    int FontIndex(const QString& family)
    {
        const auto it = m_fontIndex.constFind(family);
        if (it != m_fontIndex.constEnd())
            return it.value();
        m_fonts.push_back(family);
        const int index = int(m_fonts.size()) - 1;
        m_fontIndex.insert(family, index);
        return index;
    }

    int ColorIndex(const QColor& c)
    {
        const QRgb key = c.rgb() & 0xFFFFFF;
        const auto it = m_colorIndex.constFind(key);
        if (it != m_colorIndex.constEnd())
            return it.value();
        m_colors.push_back(QColor(key));
        const int index = int(m_colors.size()); // entry 0 is the automatic colour
        m_colorIndex.insert(key, index);
        return index;
    }

    RunProps PropsOf(const QTextCharFormat& f)
    {
        RunProps p;
        const QStringList families = f.fontFamilies().toStringList();
        p.font = families.isEmpty() ? 0 : FontIndex(families.front());
        p.halfPoints = f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0
            ? int(std::lround(f.fontPointSize() * 2))
            : 0;
        p.bold
            = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : m_default.bold();
        p.italic = f.fontItalic();
        p.underline = f.fontUnderline();
        p.strike = f.fontStrikeOut();
        if (f.foreground().style() != Qt::NoBrush)
            p.fg = ColorIndex(f.foreground().color());
        if (f.background().style() != Qt::NoBrush)
            p.bg = ColorIndex(f.background().color());
        if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            p.vert = 1;
        else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
            p.vert = 2;
        p.upHalfPoints = int(std::lround(OffsetTwips(f) / 10.0));
        return p;
    }

    void Word(QByteArray& out, const char* word, int param = INT_MIN)
    {
        out += '\\';
        out += word;
        if (param != INT_MIN)
            out += QByteArray::number(param);
        m_needSpace = true;
    }

    void AppendChanges(QByteArray& out, const RunProps& from, const RunProps& to)
    {
        if (to.font != from.font)
            Word(out, "f", to.font);
        if (to.halfPoints != from.halfPoints) {
            if (to.halfPoints > 0)
                Word(out, "fs", to.halfPoints);
            else
                Word(out, "fs"); // back to the default size
        }
        if (to.bold != from.bold)
            Word(out, to.bold ? "b" : "b0");
        if (to.italic != from.italic)
            Word(out, to.italic ? "i" : "i0");
        if (to.underline != from.underline)
            Word(out, to.underline ? "ul" : "ulnone");
        if (to.strike != from.strike)
            Word(out, to.strike ? "strike" : "strike0");
        if (to.fg != from.fg)
            Word(out, "cf", to.fg);
        if (to.bg != from.bg)
            Word(out, "highlight", to.bg);
        if (to.vert != from.vert)
            Word(out, to.vert == 1 ? "super" : to.vert == 2 ? "sub" : "nosupersub");
        if (to.upHalfPoints != from.upHalfPoints) {
            if (to.upHalfPoints >= 0)
                Word(out, "up", to.upHalfPoints);
            else
                Word(out, "dn", -to.upHalfPoints);
        }
    }

    void AppendText(QByteArray& out, const QString& text)
    {
        for (const QChar qc : text) {
            const char16_t c = qc.unicode();
            if (c == u'\\' || c == u'{' || c == u'}') {
                out += '\\';
                out += char(c);
                m_needSpace = false;
                continue;
            }
            if (c == u'\t') {
                Word(out, "tab");
                continue;
            }
            if (c == 0x2028 || c == 0x2029) {
                Word(out, "line");
                continue;
            }
            if (c < 0x20)
                continue; // control characters have no place in the text
            if (c < 0x80) {
                if (m_needSpace)
                    out += ' ';
                out += char(c);
                m_needSpace = false;
                continue;
            }
            // \uN takes a signed 16-bit number; the fallback that follows is skipped by \uc1 readers.
            out += "\\u" + QByteArray::number(int(static_cast<std::int16_t>(c)));
            const int fallback = EncodeCp1252(c);
            if (fallback >= 0x80) {
                static const char hex[] = "0123456789abcdef";
                out += "\\'";
                out += hex[fallback >> 4];
                out += hex[fallback & 0xF];
            } else {
                out += '?';
            }
            m_needSpace = false;
        }
    }

    const QTextDocument& m_doc;
    QFont m_default;
    std::vector<QString> m_fonts;
    QHash<QString, int> m_fontIndex;
    std::vector<QColor> m_colors;
    QHash<QRgb, int> m_colorIndex;
    bool m_needSpace = false;
};

} // namespace

QByteArray WriteRtf(const QTextDocument& document, const QFont& defaultFont)
{
    return Writer(document, defaultFont).Write();
}

} // namespace rtf
