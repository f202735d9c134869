// Sort styles and directions of the list's column sort.
#pragma once

#include <QString>
#include <functional>

enum TSortStyle {
    ssNone = 0,
    ssText = 1,
    ssNumber = 2,
    ssDateTime = 3,
    ssTextNoCase = 4,
    ssTextCase = 5,
    ssDateDMY = 6,
    ssDateMDY = 7,
    ssCustom = 8,
    ssNumberGrouped = 9,
    ssRaw = 10,
};

enum TSortDirection { sdAscending, sdDescending };
enum TSortIndicator { siLeft, siRight };
