// TSystemIcons: the desktop's icons for files, folders and file types, by a stable index.
#pragma once

#include <QImage>
#include <QString>

class TSystemIcons {
public:
    static constexpr int SmallSize = 16;
    static constexpr int LargeSize = 32;

    // Index of the icon for `name`: an existing file or folder gets its own icon, anything
    // else the icon of its type (by extension). The same name, or the same type, gives the
    // same index for the life of the process; -1 for an empty name.
    static int IndexOf(const QString& name);
    // The icon as a square image of SmallSize or LargeSize pixels; null for an unknown index.
    static QImage Image(int index, bool large);
    static int Size(bool large) { return large ? LargeSize : SmallSize; }
    static int Count();
};
