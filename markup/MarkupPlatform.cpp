#include "markup/MarkupPlatform.h"

#include "markup/MarkupText.h"
#include "platform/TBitmap.h"
#include "platform/TCanvas.h"

#include <QFileInfo>
#include <cmath>

#if __has_include("platform/TSystemIcons.h")
#include "platform/TSystemIcons.h"
#define ORV_HAVE_SYSTEM_ICONS 1
#endif

void StretchBitmapToCanvas(TCanvas& canvas, const TRect& rect, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    canvas.StretchDrawImage(rect, bitmap.Image());
}

bool FolderExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isDir();
}

void DrawSystemIcon(TCanvas& canvas, int x, int y, QSize& size, double factor, bool printing, TIconDraw draw,
    TIconSize large, const QString& name)
{
    size = QSize(0, 0);
#ifdef ORV_HAVE_SYSTEM_ICONS
    const bool big = large == TIconSize::Large;
    int index = 0;
    if (name.isEmpty() || !TryStrToInt(name, index))
        index = TSystemIcons::IndexOf(name);
    // An index that names no icon takes no space.
    const QImage icon = TSystemIcons::Image(index, big);
    if (icon.isNull())
        return;
    size = QSize(TSystemIcons::Size(big), TSystemIcons::Size(big));
    if (draw != TIconDraw::Draw)
        return;
    if (!printing) {
        canvas.DrawImage(x, y, icon);
        return;
    }
    const TBitmap bitmap(icon);
    const int w = int(std::lround(size.width() * factor));
    const int h = int(std::lround(size.height() * factor));
    StretchBitmapToCanvas(canvas, TRect { x, y, x + w, y + h }, bitmap);
#else
    (void)canvas;
    (void)x;
    (void)y;
    (void)factor;
    (void)printing;
    (void)draw;
    (void)large;
    (void)name;
#endif
}

void SelectRotatedFont(TCanvas& canvas, int angleDegrees, TRotationSlot& slot)
{
    if (!slot.active) {
        slot.active = true;
        slot.escapement = canvas.Font().Escapement();
    }
    // Whole turns are upright anyway; keeping the value small keeps the arithmetic safe.
    const long long tenths = (static_cast<long long>(angleDegrees) * 10) % 3600;
    canvas.Font().SetEscapement(int(tenths));
}

void RestoreRotatedFont(TCanvas& canvas, TRotationSlot& slot)
{
    if (!slot.active)
        return;
    canvas.Font().SetEscapement(slot.escapement);
    slot.active = false;
}
