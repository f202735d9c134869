// Byte-level GIF helpers behind THTMLPicture's frame selection. The scan looks for a graphic
// control extension directly followed by an image descriptor, which is how every frame of an
// animated GIF begins; everything is bounds-checked because the bytes come from outside.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace gifframes {

// "GIF8" at the start of at least five bytes.
bool IsGif(const QByteArray& data);

// Number of frame starts in the whole data (0 when there are none).
int CountFrames(const QByteArray& data);

struct Selection {
    QByteArray bytes; // header and extensions before frame 1, then frame `frame` onward
    bool hasFrames = false; // at least one frame start was seen
    bool frameFound = false; // the selected frame exists
    quint16 logicalWidth = 0; // pixels
    quint16 logicalHeight = 0; // pixels
    quint16 frameLeft = 0; // pixels inside the logical screen
    quint16 frameTop = 0;
    quint16 frameWidth = 0; // 0 when the descriptor is cut short
    quint16 frameHeight = 0;
};

// Copies `data` leaving out the frames before the one-based `frame`. A frame number outside the
// data leaves only what precedes frame 1.
Selection SelectFrame(const QByteArray& data, int frame);

} // namespace gifframes
