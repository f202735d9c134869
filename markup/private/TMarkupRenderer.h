// TMarkupRenderer: one DrawMarkup call. Every line is laid out twice by the same line routine,
// first measuring (where the line ends, how wide and high it is), then drawing or hit-testing
// the exact markup the measuring pass took, so sizes and pictures always agree.
#pragma once

#include "markup/MarkupPlatform.h"
#include "platform/TColor.h"
#include "platform/TFont.h"
#include "platform/TTextMeasure.h"
#include "platform/TTypes.h"

#include <QString>
#include <utility>
#include <vector>

class TCanvas;
class TImageList;
class THTMLPicture;
class THTMLPictureCache;
class TPictureContainer;

class TMarkupRenderer {
public:
    struct TInput {
        TRect rect;
        TImageList* images = nullptr;
        int xPos = 0;
        int yPos = 0;
        int focusLink = -1; // zero-based
        int hoverLink = -1; // one-based
        int shadowOffset = 1;
        bool hitTestOnly = false;
        bool measureOnly = false;
        bool printing = false;
        bool keepColors = false;
        bool blinkVisible = true;
        bool hoverOnly = false;
        bool wordWrap = true;
        double resFactor = 1.0;
        TColor urlColor = clBlue;
        TColor hoverColor = clNone;
        TColor hoverFontColor = clNone;
        TColor shadowColor = clGray;
        THTMLPictureCache* pictureCache = nullptr;
        TPictureContainer* pictures = nullptr;
    };
    struct TOutput {
        QString& anchorHref;
        QString& plainText;
        QString& focusHref;
        int& contentWidth;
        int& contentHeight;
        int& anchorCount;
        int& hoverAnchor;
        TRect& hoverRect;
    };

    TMarkupRenderer(TCanvas& canvas, const TInput& in, TOutput& out);
    bool Run(const QString& text);

private:
    enum class TMode { Measure, Draw };

    // What a tag carries from line to line; each pass keeps its own copy.
    struct TPassState {
        TFont font;
        bool inAnchor = false;
        QString href;
        int anchorNumber = 0;
        int listLevel = 0;
        int imageNumber = 0;
        bool hidden = false;
        bool shadow = false;
        bool errorMark = false;
        bool subscript = false;
        bool superscript = false;
        TRotationSlot rotation;
    };

    // One line as the measuring pass found it.
    struct TLine {
        int start = 0; // markup index of the first character
        int end = 0; // one past the last markup character of the line
        int width = 0; // pixels, trailing blank removed
        int height = 0; // pixels, without the sub/superscript extra
        int subExtra = 0; // pixels below for subscripts
        int supExtra = 0; // pixels above for superscripts
        int lift = 0; // pixels the text is raised by (image ALIGN)
        bool dropRest = false;
    };

    // Position and bookkeeping while one pass walks one line.
    struct TWalk {
        TMode mode = TMode::Measure;
        TLine* line = nullptr;
        TRect lineRect; // drawing pass: the line's rectangle (bottom without subscript extra)
        int lineLeft = 0;
        int lineTop = 0;
        int x = 0; // drawing position
        int width = 0; // line width so far
        int available = 0; // room for the line (measuring pass)
        bool consumed = false; // anything taken on this line yet
        bool listItemSeen = false;
        bool endsWithBlank = false;
        int trailingBlank = 0; // width of the blank that ends the last segment taken
        bool ended = false;
        bool textHit = false;
        bool imageHit = false;
        bool drawnAnything = false;
    };

    enum class TTagResult { Consumed, ConsumedEndsLine, NotConsumedEndsLine };

    struct TImageSource;

    int WalkLine(TWalk& w, int start, int limit);
    void TakeSegment(TWalk& w, const QString& segment);
    TTagResult ProcessTag(TWalk& w, const QString& tag);
    TTagResult OpeningTag(TWalk& w, const QString& tag, QChar letter, QChar second);
    TTagResult ClosingTag(TWalk& w, const QString& tag, QChar letter, QChar second);
    TTagResult Image(TWalk& w, const QString& tag);
    TTagResult ListItem(TWalk& w);
    void AnchorStart(TWalk& w, const QString& tag);
    void AnchorEnd(TWalk& w);
    void FontTag(TWalk& w, const QString& tag);
    // True when the text may switch to this face and height: the entry font, one already used,
    // or a new one while fewer than a bound are in use. Past the bound FONT keeps face and size.
    bool FontAllowed(const QString& name, int height);
    void ParagraphTag(TWalk& w, const QString& tag);
    void BodyTag(TWalk& w, const QString& tag);
    void DrawSegment(TWalk& w, const QString& segment, int segmentWidth);
    void ErrorZigzag(int left, int right, int bottom);
    void DrawHorizontalRule(const TWalk& w);
    void FinishLineFocus(const TWalk& w);
    THTMLPicture* FindPicture(const QString& source);
    static bool SafeFileSource(const QString& source);
    void SetBackground(TColor color);
    void SetTextColor(TColor color);
    void SetStyle(TFontStyles style, bool on);
    QPoint MeasureText(const QString& text);
    int TextHeightGh() const;
    bool Painting(const TWalk& w) const { return w.mode == TMode::Draw && !m_in.hitTestOnly; }
    int SegmentBottom(const TWalk& w) const;

    // Text is measured per run of one font: the measure is taken again only when the canvas font's
    // size, style or face differs from the one it was taken for.
    TTextMeasure m_measure;
    QString m_measureName;
    int m_measureHeight = 0;
    int m_measureStyle = -1;

    TCanvas& m_canvas;
    const TInput& m_in;
    TOutput& m_out;
    QString m_text;
    unsigned m_format = 0;
    TRect m_work;

    TFont m_baseFont;
    TColor m_entryBackground = clNone;
    TPassState m_measureState;
    TPassState m_drawState;
    TPassState* m_state = &m_measureState;
    // Faces and heights FONT tags switched to, in the order met; shared by both passes, which
    // meet the same tags in the same order and so decide alike.
    std::vector<std::pair<QString, int>> m_fontsSeen;

    // Layout choices of P tags; they hold to the end of the call.
    int m_alignment = 0; // 0 left, 1 right, 2 centre
    int m_indent = 0; // pixels

    // Saved colour slots (one each, no nesting).
    TColor m_fontBackgroundSlot = clNone;
    TColor m_hiColorSlot = clNone;
    TColor m_hiBackgroundSlot = clNone;
    TColor m_anchorBackgroundSlot = clNone;
    TColor m_anchorColorSlot = clNone;
    TColor m_paragraphBackgroundSlot = clNone;
    bool m_paragraphBackground = false;

    // Anchor hit and focus rectangle bookkeeping of the drawing pass.
    int m_imageUnderMouse = -1;
    bool m_hitPending = false;
    int m_anchorStartX = 0; // pixels from the line left at the anchor's start
    int m_anchorStartTop = 0;
    int m_anchorStartLine = -1;
    int m_lineIndex = 0;
    bool m_focusActive = false;
    TRect m_focus;
    bool m_focusContinues = false;

    // Cached next "<" and next blank positions: each search covers new text only, so walking a
    // long text stays linear however many lines it makes.
    qsizetype m_ltFrom = -1, m_ltAt = -1;
    qsizetype m_blankFrom = -1, m_blankAt = -1;
    qsizetype NextOf(QChar c, qsizetype from, qsizetype& cacheFrom, qsizetype& cacheAt) const;
};
