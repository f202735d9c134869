// TRichEdit: a windowless rich-text engine (RTF in and out, selection formatting, rendering
// a character range into a rectangle given in twips) over a QTextDocument.
#pragma once

#include "platform/TColor.h"
#include "platform/TFont.h"
#include "platform/TTypes.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;
class QRect;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;
class TCanvas;

class TRichEdit {
public:
    TRichEdit();
    ~TRichEdit();
    TRichEdit(const TRichEdit&) = delete;
    TRichEdit& operator=(const TRichEdit&) = delete;

    // Replaces the content. Malformed or truncated RTF loads what can be read. Bytes that do not
    // start like RTF ("{\") are loaded as plain text (UTF-8, else Windows-1252) and give false.
    // The bytes are only read when the content is needed, and only as far as it is needed: a
    // render reads what the rectangle can show, plain text and length read the text without its
    // formats, selection formatting waits for either.
    bool LoadFromRtf(const QByteArray& rtf);
    // The content as RTF: \rtf1\ansi\ansicpg1252 with font and colour tables.
    QByteArray SaveToRtf() const;

    // The visible characters; lines (paragraphs and line breaks) separated by "\r\n".
    QString PlainText() const;
    int TextLength() const; // number of character positions (a line break counts as one)

    void Clear();
    void SetText(const QString& plain); // "\r\n", "\r" and "\n" each start a new paragraph

    // Selection by character position (0-based); clamped to the text.
    void SetSelection(int start, int length);
    int SelStart() const { return m_selStart; }
    int SelLength() const { return m_selLength; }
    QString SelText() const;

    // Character formatting of the selection.
    void SetSelColor(TColor color); // clNone: back to the default text colour
    void SetSelStyle(TFontStyles styles); // sets exactly these of bold/italic/underline/strike-out
    // Raises (+) or lowers (-) the baseline; 0 = none. RTF keeps offsets in half points
    // (10 twips), so a saved offset is rounded to a multiple of 10.
    void SetSelOffset(int twips);
    void SetSuperscript() { SetSelOffset(40); }
    // Formatting of the character at `pos` (for inspection).
    TColor CharColor(int pos) const; // clNone when the character has the default colour
    TFontStyles CharStyle(int pos) const;
    int CharOffset(int pos) const; // twips

    // Colour the render fills the formatting rectangle with (clNone: leave it as it is).
    TColor BackgroundColor() const { return m_background; }
    void SetBackgroundColor(TColor color) { m_background = color; }

    // Formats characters [first, last] (last = -1: to the end) into `formatTwips` (1440 per inch,
    // measured from the device origin of the canvas) and draws them through the canvas's painter,
    // clipped to that rectangle. Returns the position of the first character not drawn (the text
    // length when everything fitted). `pageTwips` bounds the formatting rectangle.
    int Render(
        TCanvas& canvas, const TRect& formatTwips, const TRect& pageTwips, int first = 0, int last = -1);

    // The whole content, read in full first when it was loaded lazily.
    QTextDocument& Document()
    {
        Materialize();
        return *m_doc;
    }
    const QTextDocument& Document() const
    {
        Materialize();
        return *m_doc;
    }

    // The font of characters without their own font; its colour is the default text colour.
    const TFont& DefaultFont() const { return m_defaultFont; }
    void SetDefaultFont(const TFont& font);

private:
    QTextCursor SelectionCursor() const;
    using FormatEdit = std::function<void(QTextCharFormat&)>;
    // Applies `edit` to the characters [start, end) now, or records it for when a lazily
    // loaded content is read.
    void EditSelection(FormatEdit edit);
    // Reads lazily loaded bytes into the document (and replays the recorded edits).
    void Materialize() const;
    // The characters of lazily loaded bytes, read without formats (cached).
    const QString& PendingText() const;
    // A document holding the first characters of lazily loaded bytes, enough to fill `area`.
    std::unique_ptr<QTextDocument> PrefixDocument(
        const QRect& area, int dpiX, int dpiY, QPaintDevice* device, bool* complete) const;
    // Lays `doc` out for the device and `area` (a copy may be changed for that; the content in
    // place is not) and draws it; returns the first character not drawn, relative to the doc,
    // or -1 when all of it was drawn.
    int LayOutAndDraw(
        QTextDocument* doc, bool mayChange, QPainter* painter, const QRect& area, int dpiX, int dpiY);

    struct LoadedBytes {
        QByteArray bytes; // what the content was last loaded from, while it is unchanged since
        bool wasRtf = false;
    };
    struct PendingEdit {
        int start;
        int end;
        FormatEdit edit;
    };
    // Bytes loaded but not yet read into m_doc; the content is them plus the recorded edits.
    struct Pending {
        QByteArray bytes;
        bool isRtf = false;
        std::optional<QString> text; // PendingText, once asked for
        std::vector<PendingEdit> edits;
    };

    std::unique_ptr<QTextDocument> m_doc;
    mutable std::optional<Pending> m_pending;
    mutable std::optional<LoadedBytes> m_loaded;
    // The beginning of lazily loaded bytes as the last render read and laid it out.
    struct PrefixView {
        QByteArray bytes;
        QSize size; // pixels of the area it was laid out for
        std::shared_ptr<QTextDocument> doc;
    };
    std::optional<PrefixView> m_prefix;
    TFont m_defaultFont;
    TColor m_background = clWindow;
    int m_selStart = 0;
    int m_selLength = 0;
};
