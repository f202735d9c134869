#include "GifBuilder.h"

namespace giftest {

namespace {

void Word(QByteArray& out, int v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

// LZW with a minimum code size of 2: a clear code before every pair of pixels keeps the code
// width at 3 bits, so no dictionary handling is needed.
QByteArray Lzw(const QList<int>& pixels)
{
    QByteArray bytes;
    quint32 acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= quint32(code) << bits;
        bits += 3;
        while (bits >= 8) {
            bytes.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (qsizetype i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0)
            put(4); // clear
        put(pixels[i]);
    }
    put(5); // end of information
    if (bits > 0)
        bytes.append(char(acc & 0xFF));
    return bytes;
}

} // namespace

QList<QColor> Palette()
{
    return { QColor(255, 255, 255), QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255) };
}

QByteArray Build(int logicalWidth, int logicalHeight, const QList<Frame>& frames)
{
    QByteArray out("GIF89a");
    Word(out, logicalWidth);
    Word(out, logicalHeight);
    out.append(char(0x81)); // global colour table of 4 entries
    out.append(char(0)); // background index
    out.append(char(0)); // aspect
    for (const QColor& c : Palette()) {
        out.append(char(c.red()));
        out.append(char(c.green()));
        out.append(char(c.blue()));
    }
    for (const Frame& f : frames) {
        if (f.withControl) {
            out.append("\x21\xF9\x04", 3);
            out.append(char(0x04)); // disposal: leave in place, no transparency
            Word(out, 10); // delay
            out.append(char(0)); // transparent index (unused)
            out.append(char(0)); // block terminator
        }
        out.append(char(0x2C));
        Word(out, f.left);
        Word(out, f.top);
        Word(out, f.width);
        Word(out, f.height);
        out.append(char(0)); // no local table, not interlaced
        out.append(char(2)); // minimum code size
        QList<int> pixels;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                pixels.append(f.index ? f.index(x, y) : 0);
        const QByteArray data = Lzw(pixels);
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const qsizetype n = std::min<qsizetype>(255, data.size() - at);
            out.append(char(n));
            out.append(data.constData() + at, n);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    return out;
}

Frame Flat(int left, int top, int width, int height, int index, bool withControl)
{
    return Frame { left, top, width, height, [index](int, int) { return index; }, withControl };
}

} // namespace giftest
