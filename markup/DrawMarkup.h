// The markup renderer: draws, measures and hit-tests a text of the small HTML-like markup
// language (B, I, U, S, FONT, A, IMG, BR, HR, P, lists, SUB/SUP, shadow, blink, hidden, error
// marks, rotation, body background) inside a rectangle of a canvas. Bad markup never throws.
#pragma once

#include "platform/TColor.h"
#include "platform/TTypes.h"

#include <QString>

class TCanvas;
class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// Lays `Text` out in `Rect` line by line and, unless `MeasureOnly`, draws it (or with
// `HitTestOnly` only hit-tests it against (`XPos`, `YPos`)). Returns true when the point lies on
// the text of an anchor or on an anchored image; `AnchorHref` then holds the anchor's value.
// `FocusLink` is zero-based, `HoverLink` and `HoverAnchor` one-based (-1 = none). The canvas font
// and brush colour are restored on exit; the background mode is left transparent.
bool DrawMarkup(TCanvas& Canvas, const QString& Text, const TRect& Rect, TImageList* Images, int XPos,
    int YPos, int FocusLink, int HoverLink, int ShadowOffset, bool HitTestOnly, bool MeasureOnly,
    bool Printing, bool KeepColors, bool BlinkVisible, bool HoverOnly, bool WordWrap, double ResFactor,
    TColor URLColor, TColor HoverColor, TColor HoverFontColor, TColor ShadowColor, QString& AnchorHref,
    QString& PlainText, QString& FocusHref, int& ContentWidth, int& ContentHeight, int& AnchorCount,
    int& HoverAnchor, TRect& HoverRect, THTMLPictureCache* PictureCache, TPictureContainer* Pictures);

// Single-line shortcut: no word wrap (overflow ends in an ellipsis), no focus or hover anchor,
// shadow offset 1 in grey, no picture cache or container.
bool DrawMarkupSimple(TCanvas& Canvas, const QString& Text, const TRect& Rect, TImageList* Images, int XPos,
    int YPos, bool HitTestOnly, bool MeasureOnly, bool Printing, bool KeepColors, bool BlinkVisible,
    double ResFactor, TColor URLColor, QString& AnchorHref, QString& PlainText, int& ContentWidth,
    int& ContentHeight);
