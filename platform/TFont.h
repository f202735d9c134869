// TFont: a font description (name, size, colour, style) with a change notification.
#pragma once

#include "platform/TColor.h"

#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>

enum TFontStyle : std::uint8_t { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
using TFontStyles = std::uint8_t;

class TFont {
public:
    TFont(); // the platform default font (the application font), colour clWindowText
    TFont(const TFont& other);
    TFont& operator=(const TFont& other); // copies the description, keeps OnChange, notifies
    ~TFont();

    // Copies name, size/height, colour, style, pitch and escapement from `other`; notifies once.
    void Assign(const TFont& other);

    QString Name() const { return m_name; }
    void SetName(const QString& name);

    // Size in points. Setting it makes Height() follow (Height = -round(Size * PixelsPerInch / 72)).
    int Size() const;
    void SetSize(int points);

    // Height in logical units of the surface the font is used on: negative = character height
    // (the em size), positive = cell height including internal leading, as GDI fonts have it.
    int Height() const { return m_height; }
    void SetHeight(int height);

    // Resolution the Size <-> Height conversion assumes (96 for the screen).
    int PixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int ppi);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style);
    bool Bold() const { return m_style & fsBold; }

    // Text direction in tenths of a degree, counter-clockwise (0 = upright).
    int Escapement() const { return m_escapement; }
    void SetEscapement(int tenthsOfDegree);

    // The QFont for a device of `deviceDpi` dots per inch, where one logical unit of Height()
    // is `deviceUnitsPerLogical` device pixels (1 for pixel mapping).
    QFont ToQFont(int deviceDpi = 96, double devicePixelsPerUnit = 1.0) const;
    // A TFont describing `font` (point size or pixel size kept as Size/Height).
    static TFont FromQFont(const QFont& font, TColor color = clWindowText);

    bool SameAs(const TFont& other) const;

    // Raised after every change of the description.
    std::function<void()> OnChange;

private:
    void Changed();

    QString m_name;
    int m_height = -11;
    int m_pixelsPerInch = 96;
    TColor m_color = clWindowText;
    TFontStyles m_style = 0;
    int m_escapement = 0;
};
