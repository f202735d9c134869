// THintWindow: a small floating window that shows a hint text (or content its owner paints) at a
// rectangle of the screen, in the hint colours, without taking the focus.
#pragma once

#include "platform/TColor.h"
#include "platform/TFont.h"
#include "platform/TTypes.h"

#include <QString>
#include <functional>
#include <memory>

class TCanvas;

class THintWindow {
public:
    // Paints the owner's content into `content` (window pixels, inside border and padding).
    using TPainter = std::function<void(TCanvas& canvas, const TRect& content)>;

    static constexpr int kBorder = 1; // pixels of frame
    static constexpr int kPadding = 2; // pixels between frame and content

    THintWindow();
    ~THintWindow();
    THintWindow(const THintWindow&) = delete;
    THintWindow& operator=(const THintWindow&) = delete;

    // The window rectangle `text` needs, at (0, 0), with lines wrapped to at most `maxWidth`
    // pixels of text.
    TRect CalcHintRect(int maxWidth, const QString& text) const;
    // The window rectangle around content of the given size, at (0, 0).
    static TRect RectForContent(int width, int height);

    // Shows `text` in `screenRect` (screen pixels); hides itself after `hidePauseMs` (0 = never).
    void ActivateHint(const TRect& screenRect, const QString& text, int hidePauseMs = 0);
    void ReleaseHint(); // hides the window
    bool Visible() const;
    QString Text() const { return m_text; }
    TRect ScreenRect() const { return m_rect; }

    TColor Color() const { return m_color; }
    void SetColor(TColor color) { m_color = color; }
    TFont& Font() { return m_font; } // the text colour is the font's
    void SetFont(const TFont& font) { m_font.Assign(font); }
    void SetPainter(TPainter painter) { m_painter = std::move(painter); }
    bool OwnerDrawn() const { return bool(m_painter); }

private:
    class Window;
    friend class Window;

    std::unique_ptr<Window> m_window; // made on first show
    QString m_text;
    TRect m_rect;
    TColor m_color = clInfoBk;
    TFont m_font;
    TPainter m_painter;
};
