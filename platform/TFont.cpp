#include "platform/TFont.h"

#include "platform/private/FontMetricsCache.h"

#include <QGuiApplication>
#include <cmath>

namespace {

// GDI's MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    return int(std::lround(double(a) * double(b) / double(c)));
}

QFont ApplicationFont()
{
    return QGuiApplication::font();
}

} // namespace

TFont::TFont()
{
    const QFont app = ApplicationFont();
    m_name = app.family();
    if (app.pointSizeF() > 0)
        m_height = -MulDiv(int(std::lround(app.pointSizeF())), m_pixelsPerInch, 72);
    else if (app.pixelSize() > 0)
        m_height = -app.pixelSize();
    m_style = (app.bold() ? fsBold : 0) | (app.italic() ? fsItalic : 0) | (app.underline() ? fsUnderline : 0)
        | (app.strikeOut() ? fsStrikeOut : 0);
}

// A copy describes the same font but does not inherit the listener: the listener belongs to
// whoever owns the original.
TFont::TFont(const TFont& other)
    : m_name(other.m_name)
    , m_height(other.m_height)
    , m_pixelsPerInch(other.m_pixelsPerInch)
    , m_color(other.m_color)
    , m_style(other.m_style)
    , m_escapement(other.m_escapement)
{ }

TFont& TFont::operator=(const TFont& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

TFont::~TFont() = default;

void TFont::Assign(const TFont& other)
{
    if (this != &other) {
        m_name = other.m_name;
        m_height = other.m_height;
        m_pixelsPerInch = other.m_pixelsPerInch;
        m_color = other.m_color;
        m_style = other.m_style;
        m_escapement = other.m_escapement;
    }
    Changed();
}

void TFont::SetName(const QString& name)
{
    if (name == m_name)
        return;
    m_name = name;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(m_height, 72, m_pixelsPerInch);
}

void TFont::SetSize(int points)
{
    SetHeight(-MulDiv(points, m_pixelsPerInch, 72));
}

void TFont::SetHeight(int height)
{
    if (height == m_height)
        return;
    m_height = height;
    Changed();
}

void TFont::SetPixelsPerInch(int ppi)
{
    if (ppi <= 0 || ppi == m_pixelsPerInch)
        return;
    m_pixelsPerInch = ppi;
    Changed();
}

void TFont::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style)
{
    style &= (fsBold | fsItalic | fsUnderline | fsStrikeOut);
    if (style == m_style)
        return;
    m_style = style;
    Changed();
}

void TFont::SetEscapement(int tenthsOfDegree)
{
    if (tenthsOfDegree == m_escapement)
        return;
    m_escapement = tenthsOfDegree;
    Changed();
}

QFont TFont::ToQFont(int deviceDpi, double devicePixelsPerUnit) const
{
    QFont f;
    if (!m_name.isEmpty())
        f.setFamily(m_name);
    f.setBold(m_style & fsBold);
    f.setItalic(m_style & fsItalic);
    f.setUnderline(m_style & fsUnderline);
    f.setStrikeOut(m_style & fsStrikeOut);
    if (m_height == 0) {
        // Height 0 asks for the default size, as GDI's font mapper does.
        double pt = ApplicationFont().pointSizeF();
        if (pt <= 0)
            pt = 9;
        f.setPixelSize(fontmetrics::PixelSizeForHeight(f, -pt * (deviceDpi > 0 ? deviceDpi : 96) / 72.0));
    } else {
        f.setPixelSize(fontmetrics::PixelSizeForHeight(f, m_height * devicePixelsPerUnit));
    }
    return f;
}

TFont TFont::FromQFont(const QFont& font, TColor color)
{
    TFont result;
    result.m_name = font.family();
    if (font.pointSizeF() > 0)
        result.m_height = -MulDiv(int(std::lround(font.pointSizeF())), result.m_pixelsPerInch, 72);
    else if (font.pixelSize() > 0)
        result.m_height = -font.pixelSize();
    result.m_color = color;
    result.m_style = (font.bold() ? fsBold : 0) | (font.italic() ? fsItalic : 0)
        | (font.underline() ? fsUnderline : 0) | (font.strikeOut() ? fsStrikeOut : 0);
    result.m_escapement = 0;
    return result;
}

bool TFont::SameAs(const TFont& other) const
{
    return m_name == other.m_name && m_height == other.m_height && m_color == other.m_color
        && m_style == other.m_style && m_escapement == other.m_escapement;
}

void TFont::Changed()
{
    if (OnChange)
        OnChange();
}
