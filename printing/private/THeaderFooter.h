// THeaderFooter: the texts of the six header and footer slots of one printed page.
#pragma once

#include <QDateTime>
#include <QString>
#include <array>

class TPrintsettings;

class THeaderFooter {
public:
    enum TSlot { sTopLeft, sTopRight, sTopCenter, sBottomLeft, sBottomRight, sBottomCenter, sCount };
    using TSlots = std::array<QString, sCount>;

    // Time, date, page number and title join their slots in that order: a left slot puts the
    // newcomer in front ("item " + slot), a right or centre slot behind (slot + " " + item).
    // pageNo is zero-based; the page item reads PagePrefix, the number from 1 and PageSuffix,
    // separated by blanks.
    static TSlots Compose(const TPrintsettings& settings, int pageNo, const QDateTime& now);

    // True when any of the four items sits in a top slot (bottom slot).
    static bool AnyTop(const TPrintsettings& settings);
    static bool AnyBottom(const TPrintsettings& settings);
};
