#include "pictures/private/GifFrames.h"

namespace gifframes {

namespace {

// 0x21 0xF9 0x04, four bytes of the control block and its terminator, then 0x2C; at least nine
// bytes must follow the 0x21.
bool IsFrameStart(const uchar* p, qsizetype n, qsizetype i)
{
    return n - i - 1 >= 9 && p[i] == 0x21 && p[i + 1] == 0xF9 && p[i + 2] == 0x04 && p[i + 8] == 0x2C;
}

quint16 Word(const uchar* p, qsizetype n, qsizetype at)
{
    if (at < 0 || at + 1 >= n)
        return 0; // a descriptor cut short reads as zero rather than past the end
    return quint16(p[at] | (p[at + 1] << 8));
}

} // namespace

bool IsGif(const QByteArray& data)
{
    return data.size() >= 5 && data.startsWith("GIF8");
}

int CountFrames(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype n = data.size();
    int count = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (IsFrameStart(p, n, i))
            ++count;
    }
    return count;
}

Selection SelectFrame(const QByteArray& data, int frame)
{
    Selection out;
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype n = data.size();

    qsizetype firstStart = -1; // start of frame 1
    qsizetype selectedStart = -1; // start of frame `frame`
    int number = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (!IsFrameStart(p, n, i))
            continue;
        ++number;
        if (number == 1)
            firstStart = i;
        if (number == frame) {
            selectedStart = i;
            out.frameLeft = Word(p, n, i + 9);
            out.frameTop = Word(p, n, i + 11);
            out.frameWidth = Word(p, n, i + 13);
            out.frameHeight = Word(p, n, i + 15);
            break; // everything from here on is copied, so later starts do not matter
        }
    }
    if (firstStart < 0) {
        out.bytes = data;
        return out;
    }
    out.hasFrames = true;
    out.frameFound = selectedStart >= 0;
    out.logicalWidth = Word(p, n, 6);
    out.logicalHeight = Word(p, n, 8);

    out.bytes.reserve(selectedStart >= 0 ? firstStart + (n - selectedStart) : firstStart);
    out.bytes.append(data.constData(), firstStart);
    if (selectedStart >= 0)
        out.bytes.append(data.constData() + selectedStart, n - selectedStart);
    return out;
}

} // namespace gifframes
