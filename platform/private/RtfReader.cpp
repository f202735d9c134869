#include "platform/private/RtfReader.h"

#include "platform/private/RtfFormat.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <limits>
#include <optional>
#include <vector>

namespace rtf {

namespace {

enum class Dest { Text, Skip, FontTable, ColorTable };

// Character properties as the RTF stream sets them; turned into a QTextCharFormat per text run.
struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int font = -1; // font number; -1 = the document's default font
    int halfPoints = 0; // 0 = the default font's size
    int fg = 0; // colour-table index; 0 or an undefined entry = automatic
    int bg = 0;
    int vert = 0; // 0 = normal, 1 = superscript, 2 = subscript
    int offsetTwips = 0; // \up (+) / \dn (-)
};

struct State {
    Dest dest = Dest::Text;
    CharState ch;
    Qt::Alignment align = Qt::AlignLeft;
    int uc = 1; // characters of fallback text that follow a \u
};

// A font table entry. The name is decoded when a run first uses the font: a document may list
// thousands of fonts and use a few.
struct FontEntry {
    QString decodedPart; // the part of the name that came as \u escapes, and what preceded them
    QByteArray rawPart; // bytes after that, in the font's code page
    int codePage = 1252;
    int charset = -1;
    mutable std::optional<QString> name;

    const QString& Name() const
    {
        if (!name)
            name = (decodedPart + DecodeCodePage(rawPart, codePage)).trimmed();
        return *name;
    }
};

// The control words this reader acts on. `value` is what the word stands for: a code page, a
// character, an alignment or a vertical position.
enum class Keyword {
    FontTable,
    ColorTable,
    SkippedDestination, // a destination whose content is never visible text
    AnsiCodePage,
    CharacterSet,
    DefaultFont,
    UnicodeSkip,
    Font,
    FontCharset,
    Unicode,
    Red,
    Green,
    Blue,
    Paragraph,
    Character,
    Align,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    Foreground,
    Background,
    FontSize,
    Vertical,
    Up,
    Down,
};

struct KeywordEntry {
    Keyword keyword;
    int value = 0;
};

const QHash<QByteArray, KeywordEntry>& Keywords()
{
    static const QHash<QByteArray, KeywordEntry> table = [] {
        QHash<QByteArray, KeywordEntry> t;
        for (const char* name : {
                 "pict",
                 "object",
                 "info",
                 "stylesheet",
                 "header",
                 "headerl",
                 "headerr",
                 "headerf",
                 "footer",
                 "footerl",
                 "footerr",
                 "footerf",
                 "fldinst",
                 "footnote",
                 "annotation",
                 "atnid",
                 "atnauthor",
                 "xe",
                 "tc",
                 "txe",
                 "themedata",
                 "colorschememapping",
                 "datastore",
                 "latentstyles",
                 "listtable",
                 "listoverridetable",
                 "rsidtbl",
                 "generator",
                 "filetbl",
                 "revtbl",
                 "pgdsctbl",
                 "bkmkstart",
                 "bkmkend",
                 "shp",
                 "shppict",
                 "nonshppict",
                 "falt",
                 "panose",
                 "fname",
                 "template",
                 "private",
                 "userprops",
                 "docvar",
                 "ftnsep",
                 "ftnsepc",
                 "aftnsep",
                 "aftnsepc",
                 "pn",
                 "pntxta",
                 "pntxtb",
                 "mmathPr",
                 "xmlnstbl",
                 "wgrffmtfilter",
                 "blipuid",
                 "objdata",
                 "result",
             })
            t.insert(name, { Keyword::SkippedDestination });
        t.insert("fonttbl", { Keyword::FontTable });
        t.insert("colortbl", { Keyword::ColorTable });
        t.insert("ansicpg", { Keyword::AnsiCodePage });
        t.insert("ansi", { Keyword::CharacterSet, 1252 });
        t.insert("mac", { Keyword::CharacterSet, 10000 });
        t.insert("pc", { Keyword::CharacterSet, 437 });
        t.insert("pca", { Keyword::CharacterSet, 850 });
        t.insert("deff", { Keyword::DefaultFont });
        t.insert("uc", { Keyword::UnicodeSkip });
        t.insert("f", { Keyword::Font });
        t.insert("fcharset", { Keyword::FontCharset });
        t.insert("u", { Keyword::Unicode });
        t.insert("red", { Keyword::Red });
        t.insert("green", { Keyword::Green });
        t.insert("blue", { Keyword::Blue });
        for (const char* name : { "par", "row", "sect", "page" })
            t.insert(name, { Keyword::Paragraph });
        const std::pair<const char*, char16_t> characters[] = {
            { "line", 0x2028 },
            { "tab", u'\t' },
            { "cell", u'\t' },
            { "emdash", 0x2014 },
            { "endash", 0x2013 },
            { "bullet", 0x2022 },
            { "lquote", 0x2018 },
            { "rquote", 0x2019 },
            { "ldblquote", 0x201C },
            { "rdblquote", 0x201D },
            { "emspace", 0x2003 },
            { "enspace", 0x2002 },
            { "qmspace", 0x2005 },
        };
        for (const auto& [name, c] : characters)
            t.insert(name, { Keyword::Character, int(c) });
        t.insert("pard", { Keyword::Align, int(Qt::AlignLeft) });
        t.insert("ql", { Keyword::Align, int(Qt::AlignLeft) });
        t.insert("qr", { Keyword::Align, int(Qt::AlignRight) });
        t.insert("qc", { Keyword::Align, int(Qt::AlignHCenter) });
        t.insert("qj", { Keyword::Align, int(Qt::AlignJustify) });
        t.insert("plain", { Keyword::Plain });
        t.insert("b", { Keyword::Bold });
        t.insert("i", { Keyword::Italic });
        for (const char* name : { "ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulth", "ulw",
                 "ulwave", "ulhwave", "ulldash", "ulthd", "ulthdash" })
            t.insert(name, { Keyword::Underline });
        t.insert("ulnone", { Keyword::UnderlineNone });
        t.insert("strike", { Keyword::Strike });
        t.insert("striked", { Keyword::Strike });
        t.insert("v", { Keyword::Hidden });
        t.insert("cf", { Keyword::Foreground });
        for (const char* name : { "cb", "highlight", "chcbpat" })
            t.insert(name, { Keyword::Background });
        t.insert("fs", { Keyword::FontSize });
        t.insert("super", { Keyword::Vertical, 1 });
        t.insert("sub", { Keyword::Vertical, 2 });
        t.insert("nosupersub", { Keyword::Vertical, 0 });
        t.insert("up", { Keyword::Up });
        t.insert("dn", { Keyword::Down });
        return t;
    }();
    return table;
}

// Reads into a document through a cursor, or (without a document) into plain text only, where no
// formats are built at all.
class Reader {
public:
    Reader(const QByteArray& in, qsizetype start, QTextDocument* doc, const QFont& defaultFont,
        qsizetype maxChars, int maxFonts, QString* textOut)
        : m_in(in)
        , m_cursor(doc ? QTextCursor(doc) : QTextCursor())
        , m_textOut(textOut)
        , m_defaultFont(defaultFont)
        , m_pos(start)
        , m_maxChars(maxChars)
        , m_maxFonts(maxFonts)
    {
        m_states.reserve(32);
    }

    bool Complete() const { return !m_full; }

    void Run()
    {
        if (!m_textOut)
            m_cursor.beginEditBlock();
        const qsizetype n = m_in.size();
        while (m_pos < n && !m_full) {
            const char c = m_in[m_pos];
            if (c == '{') {
                ++m_pos;
                OpenGroup();
            } else if (c == '}') {
                ++m_pos;
                CloseGroup();
                if (m_states.empty() && m_overflow == 0)
                    break; // the outer group is closed: whatever follows is not part of it
            } else if (c == '\\') {
                ControlWord();
            } else {
                ++m_pos;
                if (c != '\r' && c != '\n')
                    Byte(c);
            }
        }
        Finish();
        if (!m_textOut)
            m_cursor.endEditBlock();
    }

private:
    // ---- Groups -------------------------------------------------------------------------

    State& Cur() { return m_states.empty() ? m_root : m_states.back(); }

    void OpenGroup()
    {
        FlushRun();
        m_skipChars = 0;
        if (m_overflow > 0 || int(m_states.size()) >= kMaxGroupDepth) {
            ++m_overflow;
            return;
        }
        State s = Cur();
        m_states.push_back(s);
    }

    void CloseGroup()
    {
        FlushRun();
        m_skipChars = 0;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (!m_states.empty())
            m_states.pop_back();
    }

    Dest CurDest() { return m_overflow > 0 ? Dest::Skip : Cur().dest; }

    // ---- Tokens -------------------------------------------------------------------------

    void ControlWord()
    {
        ++m_pos; // the backslash
        const qsizetype n = m_in.size();
        if (m_pos >= n)
            return;
        const char c = m_in[m_pos];
        if (!IsAlpha(c)) {
            ++m_pos;
            if (c == '\'') {
                int value = 0;
                int digits = 0;
                while (digits < 2 && m_pos < n && HexValue(m_in[m_pos]) >= 0) {
                    value = value * 16 + HexValue(m_in[m_pos]);
                    ++m_pos;
                    ++digits;
                }
                if (digits > 0)
                    HexByte(char(value));
                return;
            }
            Symbol(c);
            return;
        }
        // The word's letters (at most 32 count) without a heap allocation per control word.
        char letters[32];
        qsizetype length = 0;
        while (m_pos < n && IsAlpha(m_in[m_pos])) {
            if (length < qsizetype(sizeof letters))
                letters[length++] = m_in[m_pos];
            ++m_pos;
        }
        const QByteArray word = QByteArray::fromRawData(letters, length);
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (m_pos < n && m_in[m_pos] == '-' && m_pos + 1 < n && IsDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        int digits = 0;
        while (m_pos < n && IsDigit(m_in[m_pos])) {
            if (digits < 10)
                param = param * 10 + (m_in[m_pos] - '0');
            ++digits;
            ++m_pos;
            hasParam = true;
        }
        if (m_pos < n && m_in[m_pos] == ' ')
            ++m_pos;
        param = std::clamp<long long>(negative ? -param : param, -2147483647LL, 2147483647LL);

        if (word == "bin") {
            // Binary data: never text, and may contain any byte including braces.
            const qsizetype len = hasParam && param > 0 ? qsizetype(param) : 0;
            m_pos += std::min(len, n - m_pos);
            return;
        }
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        Word(word, hasParam, int(param));
    }

    void Symbol(char c)
    {
        if (m_skipChars > 0 && c != '*') {
            --m_skipChars;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Byte(c, /*escaped=*/true);
            break;
        case '~':
            AppendText(QString(QChar(0x00A0)));
            break;
        case '_':
            AppendText(QString(QChar(0x2011)));
            break;
        case '*':
            FlushRun();
            Cur().dest = Dest::Skip;
            break;
        case '\r':
        case '\n':
            Paragraph();
            break;
        default: // \- (optional hyphen), \| and \: carry nothing visible
            break;
        }
    }

    void Byte(char c, bool escaped = false)
    {
        switch (CurDest()) {
        case Dest::Skip:
            return;
        case Dest::FontTable:
            if (c == ';' && !escaped) {
                CommitFont();
            } else if (m_skipChars > 0) {
                --m_skipChars;
            } else if (static_cast<unsigned char>(c) >= 0x20) {
                m_fontName.append(c);
            }
            return;
        case Dest::ColorTable:
            if (c == ';' && !escaped)
                CommitColor();
            return;
        case Dest::Text:
            break;
        }
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        if (Cur().ch.hidden)
            return;
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t')
            return;
        m_bytes.append(c);
        StopAtTheLimit();
    }

    // A limited read ends as soon as the text waiting for its format fills what is left: a run
    // of a megabyte without a format change is not gathered whole to be cut afterwards. Bytes
    // count four times (no code page takes more per character), so the character cut in two
    // here always lies past the limit.
    void StopAtTheLimit()
    {
        if (m_maxChars >= 0 && (m_bytes.size() / 4 + m_run.size()) > Room() + 1)
            FlushRun();
    }

    void HexByte(char c)
    {
        const Dest d = CurDest();
        if (d != Dest::Text && d != Dest::FontTable)
            return;
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        if (d == Dest::FontTable) {
            m_fontName.append(c);
            return;
        }
        const auto b = static_cast<unsigned char>(c);
        if (!Cur().ch.hidden && (b >= 0x20 || b == '\t')) {
            m_bytes.append(c);
            StopAtTheLimit();
        }
    }

    void Word(const QByteArray& w, bool hasParam, int param)
    {
        const Dest dest = CurDest();
        if (dest == Dest::Skip)
            return;
        // One lookup: most words of a document are ones this reader does not know, and a
        // hostile one may hold hundreds of thousands of them.
        const auto found = Keywords().constFind(w);
        if (found == Keywords().constEnd())
            return; // a word this reader does not know changes nothing
        const Keyword k = found->keyword;
        State& s = Cur();
        const bool on = !hasParam || param != 0;

        // Destinations and document-level words, honoured wherever they appear.
        switch (k) {
        case Keyword::FontTable:
            FlushRun();
            s.dest = Dest::FontTable;
            m_fontNumber = -1;
            return;
        case Keyword::ColorTable:
            FlushRun();
            s.dest = Dest::ColorTable;
            m_red = m_green = m_blue = 0;
            m_colorSeen = false;
            return;
        case Keyword::SkippedDestination:
            FlushRun();
            s.dest = Dest::Skip;
            return;
        case Keyword::AnsiCodePage:
            if (hasParam && param > 0)
                m_codePage = param;
            return;
        case Keyword::CharacterSet:
            m_codePage = found->value;
            return;
        case Keyword::DefaultFont:
            m_defaultFontNumber = param;
            return;
        case Keyword::UnicodeSkip:
            s.uc = std::clamp(param, 0, 16);
            return;
        default:
            break;
        }

        if (dest == Dest::FontTable) {
            if (k == Keyword::Font) {
                if ((!m_fontName.isEmpty() || !m_fontNameText.isEmpty()) && m_fontNumber >= 0)
                    CommitFont(); // an entry without its closing semicolon
                m_fontNumber = param;
                m_fontCharset = -1;
                m_fontName.clear();
                m_fontNameText.clear();
            } else if (k == Keyword::FontCharset) {
                m_fontCharset = param;
            } else if (k == Keyword::Unicode) {
                // Names outside the code page come as \u escapes, like text.
                FlushFontNameBytes();
                const int code = param < 0 ? param + 65536 : param;
                if (code >= 0x20 && code < 65536)
                    m_fontNameText += QChar(char16_t(code));
                m_skipChars = s.uc;
            }
            return;
        }
        if (dest == Dest::ColorTable) {
            const int v = std::clamp(param, 0, 255);
            if (k == Keyword::Red) {
                m_red = v;
                m_colorSeen = true;
            } else if (k == Keyword::Green) {
                m_green = v;
                m_colorSeen = true;
            } else if (k == Keyword::Blue) {
                m_blue = v;
                m_colorSeen = true;
            }
            return;
        }

        // Text destination.
        CharState next = s.ch;
        switch (k) {
        case Keyword::Unicode: {
            FlushBytes();
            int code = param;
            if (code < 0)
                code += 65536;
            if (code > 0 && code < 65536)
                AppendText(QString(QChar(char16_t(code))));
            m_skipChars = s.uc;
            return;
        }
        case Keyword::Paragraph:
            Paragraph();
            return;
        case Keyword::Character:
            AppendText(QString(QChar(char16_t(found->value))));
            return;
        case Keyword::Align:
            SetAlign(Qt::Alignment(found->value));
            return;

        // Character formatting: the text so far keeps the old format.
        case Keyword::Plain:
            next = CharState {};
            break;
        case Keyword::Bold:
            next.bold = on;
            break;
        case Keyword::Italic:
            next.italic = on;
            break;
        case Keyword::Underline:
            next.underline = on;
            break;
        case Keyword::UnderlineNone:
            next.underline = false;
            break;
        case Keyword::Strike:
            next.strike = on;
            break;
        case Keyword::Hidden:
            next.hidden = on;
            break;
        case Keyword::Foreground:
            next.fg = param;
            break;
        case Keyword::Background:
            next.bg = param;
            break;
        case Keyword::FontSize:
            // At least 2 points: Qt shrinks super- and subscripts to a whole point size, never 0.
            next.halfPoints = hasParam && param > 0 ? std::clamp(param, 4, 3276) : 0;
            break;
        case Keyword::Font:
            next.font = param;
            break;
        case Keyword::Vertical:
            next.vert = found->value;
            break;
        case Keyword::Up:
            next.offsetTwips = std::clamp(hasParam ? param : 6, -3000, 3000) * 10;
            break;
        case Keyword::Down:
            next.offsetTwips = -std::clamp(hasParam ? param : 6, -3000, 3000) * 10;
            break;
        default:
            return; // known, but only in a table
        }
        FlushRun();
        s.ch = next;
    }

    // ---- Tables -------------------------------------------------------------------------

    int FontCodePage() const
    {
        const int cp = CodePageOfCharset(m_fontCharset);
        return cp ? cp : m_codePage;
    }

    void FlushFontNameBytes()
    {
        m_fontNameText += DecodeCodePage(m_fontName, FontCodePage());
        m_fontName.clear();
    }

    void CommitFont()
    {
        if (m_fontNumber >= 0) {
            FontEntry e;
            e.decodedPart = m_fontNameText;
            e.rawPart = m_fontName;
            e.codePage = FontCodePage();
            e.charset = m_fontCharset;
            m_fonts.insert(m_fontNumber, e);
        }
        m_fontName.clear();
        m_fontNameText.clear();
    }

    void CommitColor()
    {
        m_colors.push_back(m_colorSeen ? QColor(m_red, m_green, m_blue) : QColor());
        m_red = m_green = m_blue = 0;
        m_colorSeen = false;
    }

    QColor ColorAt(int index) const
    {
        return index > 0 && index < int(m_colors.size()) ? m_colors[std::size_t(index)] : QColor();
    }

    // ---- Text ---------------------------------------------------------------------------

    int CodePageNow()
    {
        const CharState& ch = Cur().ch;
        const int font = ch.font >= 0 ? ch.font : m_defaultFontNumber;
        const auto it = m_fonts.constFind(font);
        if (it != m_fonts.constEnd()) {
            const int cp = CodePageOfCharset(it->charset);
            if (cp)
                return cp;
        }
        return m_codePage;
    }

    void FlushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        m_run += DecodeCodePage(m_bytes, CodePageNow());
        m_bytes.clear();
    }

    void AppendText(const QString& text)
    {
        if (CurDest() != Dest::Text || Cur().ch.hidden)
            return;
        FlushBytes();
        m_run += text;
        StopAtTheLimit();
    }

    QTextCharFormat CharFormat()
    {
        const CharState& ch = Cur().ch;
        QTextCharFormat f;
        QFont resolved = m_defaultFont;
        const int fontNumber = ch.font >= 0 ? ch.font : m_defaultFontNumber;
        const auto it = m_fonts.constFind(fontNumber);
        const QString* family = it != m_fonts.constEnd() && !it->Name().isEmpty() ? &it->Name() : nullptr;
        if (FontAllowed(family ? *family : QString(), ch.halfPoints)) {
            if (family) {
                f.setFontFamilies(QStringList { *family });
                resolved.setFamilies(QStringList { *family });
            }
            if (ch.halfPoints > 0) {
                f.setFontPointSize(ch.halfPoints / 2.0);
                resolved.setPointSizeF(ch.halfPoints / 2.0);
            }
        }
        if (ch.bold)
            f.setFontWeight(QFont::Bold);
        if (ch.italic)
            f.setFontItalic(true);
        if (ch.underline)
            f.setFontUnderline(true);
        if (ch.strike)
            f.setFontStrikeOut(true);
        if (const QColor c = ColorAt(ch.fg); c.isValid())
            f.setForeground(c);
        if (const QColor c = ColorAt(ch.bg); c.isValid())
            f.setBackground(c);
        if (ch.vert == 1)
            f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (ch.vert == 2)
            f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (ch.offsetTwips != 0)
            ApplyOffset(f, ch.offsetTwips, resolved);
        return f;
    }

    // Whether a run may have this face and size (half points, 0 = the default font's). Every
    // face and size costs a font lookup when laid out: with a bound, the first ones are kept
    // and runs naming others take the default font.
    bool FontAllowed(const QString& family, int halfPoints)
    {
        if (m_maxFonts < 0 || (family.isEmpty() && halfPoints == 0))
            return true;
        for (const auto& [seenFamily, seenHalfPoints] : m_fontsUsed) {
            if (seenHalfPoints == halfPoints && seenFamily == family)
                return true;
        }
        if (int(m_fontsUsed.size()) >= m_maxFonts)
            return false;
        m_fontsUsed.emplace_back(family, halfPoints);
        return true;
    }

    // Counts what was emitted; at the limit the reader stops.
    qsizetype Room() const
    {
        return m_maxChars < 0 ? std::numeric_limits<qsizetype>::max() : m_maxChars - m_emitted;
    }
    void Emitted(qsizetype count)
    {
        m_emitted += count;
        if (m_maxChars >= 0 && m_emitted >= m_maxChars)
            m_full = true;
    }

    void EmitPendingParagraphs()
    {
        if (m_pendingParagraphs == 0 || m_full)
            return;
        if (m_textOut) {
            for (; m_pendingParagraphs > 0 && !m_full; --m_pendingParagraphs) {
                m_textOut->append(QLatin1Char('\n'));
                Emitted(1);
            }
            return;
        }
        QTextBlockFormat bf;
        bf.setAlignment(Cur().align);
        const QTextCharFormat cf = CharFormat();
        for (; m_pendingParagraphs > 0 && !m_full; --m_pendingParagraphs) {
            m_cursor.insertBlock(bf, cf);
            Emitted(1);
        }
    }

    void FlushRun()
    {
        FlushBytes();
        if (m_run.isEmpty() || m_full)
            return;
        EmitPendingParagraphs();
        if (m_full)
            return;
        ApplyAlignToBlock();
        SanitizeRun(m_run, KeepLineFeeds::No);
        if (m_run.size() > Room()) {
            m_run.truncate(Room());
            if (!m_run.isEmpty() && m_run.back().isHighSurrogate())
                m_run.chop(1); // never half a character
        }
        if (m_textOut)
            m_textOut->append(m_run);
        else
            m_cursor.insertText(m_run, CharFormat());
        Emitted(m_run.size());
        m_run.clear();
    }

    void ApplyAlignToBlock()
    {
        if (m_textOut)
            return;
        const Qt::Alignment a = Cur().align;
        if (m_cursor.blockFormat().alignment() != a) {
            QTextBlockFormat bf;
            bf.setAlignment(a);
            m_cursor.mergeBlockFormat(bf);
        }
    }

    void SetAlign(Qt::Alignment a)
    {
        FlushRun();
        Cur().align = a;
    }

    // A paragraph mark ends the current paragraph; the next one only starts when text follows,
    // so that the customary final \par of a document adds no empty line.
    void Paragraph()
    {
        if (CurDest() != Dest::Text)
            return;
        FlushRun();
        EmitPendingParagraphs();
        ApplyAlignToBlock();
        ++m_pendingParagraphs;
    }

    void Finish()
    {
        FlushRun();
        if (m_pendingParagraphs > 0) {
            --m_pendingParagraphs;
            EmitPendingParagraphs();
        }
    }

    static bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    const QByteArray& m_in;
    QTextCursor m_cursor; // null in text-only mode
    QString* m_textOut; // text-only mode: where the characters go
    QFont m_defaultFont;
    qsizetype m_pos = 0;
    qsizetype m_maxChars; // -1 = no limit
    int m_maxFonts; // different faces and sizes runs may have; -1 = no limit
    std::vector<std::pair<QString, int>> m_fontsUsed; // face, half points
    qsizetype m_emitted = 0;
    bool m_full = false; // the limit was reached: nothing more is read

    State m_root;
    std::vector<State> m_states;
    int m_overflow = 0; // groups opened beyond the depth limit, skipped whole
    int m_skipChars = 0; // fallback characters still to drop after a \u

    int m_codePage = 1252;
    int m_defaultFontNumber = 0;
    QHash<int, FontEntry> m_fonts;
    int m_fontNumber = -1;
    int m_fontCharset = -1;
    QByteArray m_fontName; // bytes of the current font's name not yet decoded
    QString m_fontNameText; // the part already decoded
    std::vector<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSeen = false;

    QByteArray m_bytes; // text bytes not yet decoded (a multi-byte character may span \'hh pairs)
    QString m_run; // decoded text waiting for its format
    int m_pendingParagraphs = 0;
};

} // namespace

namespace {

// Where the RTF group starts, or -1 when the bytes do not begin like RTF.
qsizetype RtfStart(const QByteArray& rtf)
{
    qsizetype i = 0;
    while (i < rtf.size() && (rtf[i] == ' ' || rtf[i] == '\t' || rtf[i] == '\r' || rtf[i] == '\n'))
        ++i;
    if (i + 1 >= rtf.size() || rtf[i] != '{' || rtf[i + 1] != '\\')
        return -1;
    return i;
}

} // namespace

bool IsRtf(const QByteArray& bytes)
{
    return RtfStart(bytes) >= 0;
}

bool ReadRtf(const QByteArray& rtf, QTextDocument& document, const QFont& defaultFont)
{
    bool complete = true;
    return ReadRtfPrefix(rtf, document, defaultFont, ReadLimit {}, &complete);
}

bool ReadRtfPrefix(const QByteArray& rtf, QTextDocument& document, const QFont& defaultFont,
    const ReadLimit& limit, bool* complete)
{
    document.clear();
    *complete = true;
    const qsizetype start = RtfStart(rtf);
    if (start < 0)
        return false;
    Reader reader(rtf, start, &document, defaultFont, limit.maxChars, limit.maxFonts, nullptr);
    reader.Run();
    *complete = reader.Complete();
    return true;
}

bool ReadRtfText(const QByteArray& rtf, QString& text)
{
    text.clear();
    const qsizetype start = RtfStart(rtf);
    if (start < 0)
        return false;
    Reader reader(rtf, start, nullptr, QFont(), -1, -1, &text);
    reader.Run();
    return true;
}

} // namespace rtf
