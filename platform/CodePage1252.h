// Windows-1252: the single-byte code page older files and RTF documents are written in. It differs
// from Latin-1 only in 0x80..0x9F.
#pragma once

#include <array>

namespace cp1252 {

// Unicode of the bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
inline constexpr std::array<char16_t, 32> kHigh = {
    0x20AC,
    0,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0,
    0x017D,
    0,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0,
    0x017E,
    0x0178,
};

// Unicode of a byte; 0 for the five undefined bytes (callers choose what those become).
inline constexpr char16_t ToUnicode(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
}

// Unicode of a byte as files are read: the five undefined bytes become the C1 controls of the
// same value, as the platform's own conversion does.
inline constexpr char16_t Decode(unsigned char b)
{
    const char16_t mapped = ToUnicode(b);
    return mapped || b == 0 ? mapped : char16_t(b);
}

// The byte of a character, or -1 when the code page has none.
inline constexpr int FromUnicode(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (unsigned i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == ch && ch != 0)
            return int(0x80 + i);
    return -1;
}

} // namespace cp1252
