// Writes small GIF files by hand (Qt has no GIF writer): a four-colour global table and frames
// of flat or patterned colour indices, each optionally preceded by a graphic control extension.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <functional>

namespace giftest {

struct Frame {
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    std::function<int(int x, int y)> index; // colour index 0..3 for each pixel of the frame
    bool withControl = true; // graphic control extension before the descriptor
};

// Palette used by every built GIF: 0 white, 1 red, 2 green, 3 blue.
QList<QColor> Palette();

QByteArray Build(int logicalWidth, int logicalHeight, const QList<Frame>& frames);

// A frame of one colour.
Frame Flat(int left, int top, int width, int height, int index, bool withControl = true);

} // namespace giftest
