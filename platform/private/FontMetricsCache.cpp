#include "platform/private/FontMetricsCache.h"

#include <QFontMetricsF>
#include <QHash>
#include <cmath>

namespace fontmetrics {

double CellToEmRatio(const QFont& font)
{
    static QHash<QString, double> cache;
    const QString key
        = font.family() + QLatin1Char('|') + QString::number(font.bold()) + QString::number(font.italic());
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    constexpr int probeEm = 200;
    QFont probe = font;
    probe.setPixelSize(probeEm);
    const QFontMetricsF fm(probe);
    double ratio = (fm.ascent() + fm.descent()) / probeEm;
    if (!(ratio > 0.2 && ratio < 5.0))
        ratio = 1.0; // a broken font must not produce absurd sizes
    cache.insert(key, ratio);
    return ratio;
}

int PixelSizeForHeight(const QFont& font, double deviceHeight)
{
    double em = deviceHeight < 0 ? -deviceHeight : deviceHeight / CellToEmRatio(font);
    // Sizes come from outside data (markup font sizes); a glyph larger than any page is a
    // memory hazard, not a font.
    constexpr double kLargestEm = 16384;
    if (!(em < kLargestEm))
        em = kLargestEm;
    const int px = int(std::lround(em));
    return px < 1 ? 1 : px;
}

} // namespace fontmetrics
