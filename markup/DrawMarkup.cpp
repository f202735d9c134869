#include "markup/DrawMarkup.h"

#include "markup/private/TMarkupRenderer.h"

bool DrawMarkup(TCanvas& Canvas, const QString& Text, const TRect& Rect, TImageList* Images, int XPos,
    int YPos, int FocusLink, int HoverLink, int ShadowOffset, bool HitTestOnly, bool MeasureOnly,
    bool Printing, bool KeepColors, bool BlinkVisible, bool HoverOnly, bool WordWrap, double ResFactor,
    TColor URLColor, TColor HoverColor, TColor HoverFontColor, TColor ShadowColor, QString& AnchorHref,
    QString& PlainText, QString& FocusHref, int& ContentWidth, int& ContentHeight, int& AnchorCount,
    int& HoverAnchor, TRect& HoverRect, THTMLPictureCache* PictureCache, TPictureContainer* Pictures)
{
    TMarkupRenderer::TInput in;
    in.rect = Rect;
    in.images = Images;
    in.xPos = XPos;
    in.yPos = YPos;
    in.focusLink = FocusLink;
    in.hoverLink = HoverLink;
    in.shadowOffset = ShadowOffset;
    in.hitTestOnly = HitTestOnly;
    in.measureOnly = MeasureOnly;
    in.printing = Printing;
    in.keepColors = KeepColors;
    in.blinkVisible = BlinkVisible;
    in.hoverOnly = HoverOnly;
    in.wordWrap = WordWrap;
    in.resFactor = ResFactor;
    in.urlColor = URLColor;
    in.hoverColor = HoverColor;
    in.hoverFontColor = HoverFontColor;
    in.shadowColor = ShadowColor;
    in.pictureCache = PictureCache;
    in.pictures = Pictures;

    TMarkupRenderer::TOutput out { AnchorHref, PlainText, FocusHref, ContentWidth, ContentHeight, AnchorCount,
        HoverAnchor, HoverRect };
    TMarkupRenderer renderer(Canvas, in, out);
    return renderer.Run(Text);
}

bool DrawMarkupSimple(TCanvas& Canvas, const QString& Text, const TRect& Rect, TImageList* Images, int XPos,
    int YPos, bool HitTestOnly, bool MeasureOnly, bool Printing, bool KeepColors, bool BlinkVisible,
    double ResFactor, TColor URLColor, QString& AnchorHref, QString& PlainText, int& ContentWidth,
    int& ContentHeight)
{
    QString focusHref;
    int anchorCount = 0;
    int hoverAnchor = -1;
    TRect hoverRect;
    return DrawMarkup(Canvas, Text, Rect, Images, XPos, YPos, -1, -1, 1, HitTestOnly, MeasureOnly, Printing,
        KeepColors, BlinkVisible, false, false, ResFactor, URLColor, clNone, clNone, clGray, AnchorHref,
        PlainText, focusHref, ContentWidth, ContentHeight, anchorCount, hoverAnchor, hoverRect, nullptr,
        nullptr);
}
