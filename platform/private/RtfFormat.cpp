#include "platform/private/RtfFormat.h"

#include "platform/CodePage1252.h"

#include <QFontMetricsF>
#include <QHash>
#include <QStringDecoder>

#include <array>

namespace rtf {

namespace {

QString DecodeCp1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const char16_t mapped = cp1252::ToUnicode(static_cast<unsigned char>(c));
        // An undefined byte (mapped to 0 only above 0x7F) becomes the replacement character.
        out.append(QChar(mapped || c == 0 ? mapped : char16_t(0xFFFD)));
    }
    return out;
}

QByteArray CodecName(int codePage)
{
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 10000:
        return "macintosh";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "Big5";
    default:
        break;
    }
    if (codePage == 874 || (codePage >= 1250 && codePage <= 1258))
        return "windows-" + QByteArray::number(codePage);
    return {};
}

} // namespace

void ApplyOffset(QTextCharFormat& format, int twips, const QFont& font)
{
    if (twips == 0) {
        format.clearProperty(kOffsetTwipsProperty);
        format.clearProperty(QTextFormat::TextBaselineOffset);
        return;
    }
    format.setProperty(kOffsetTwipsProperty, twips);
    // Qt raises by a percentage of the font's line height. Measuring that height at a fixed em
    // size gives the line-height-to-em ratio, which holds on any device.
    QFont probe = font;
    const qreal pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : 12.0;
    probe.setPixelSize(100);
    const qreal ratio = QFontMetricsF(probe).height() / 100.0;
    const qreal lineHeightPt = pointSize * (ratio > 0 ? ratio : 1.2);
    format.setBaselineOffset(twips / 20.0 / lineHeightPt * 100.0);
}

int OffsetTwips(const QTextCharFormat& format)
{
    return format.hasProperty(kOffsetTwipsProperty) ? format.intProperty(kOffsetTwipsProperty) : 0;
}

int CodePageOfCharset(int charset)
{
    static const QHash<int, int> map = {
        { 2, 1252 },
        { 77, 10000 },
        { 128, 932 },
        { 129, 949 },
        { 134, 936 },
        { 136, 950 },
        { 161, 1253 },
        { 162, 1254 },
        { 163, 1258 },
        { 177, 1255 },
        { 178, 1256 },
        { 186, 1257 },
        { 204, 1251 },
        { 222, 874 },
        { 238, 1250 },
        { 255, 437 },
    };
    return map.value(charset, 0);
}

QString DecodeCodePage(const QByteArray& bytes, int codePage)
{
    if (codePage != 1252) {
        const QByteArray name = CodecName(codePage);
        if (!name.isEmpty()) {
            QStringDecoder decoder(name.constData());
            if (decoder.isValid())
                return decoder.decode(bytes);
        }
    }
    return DecodeCp1252(bytes);
}

int EncodeCp1252(char16_t ch)
{
    return cp1252::FromUnicode(ch);
}

void SanitizeRun(QString& run, KeepLineFeeds keep)
{
    qsizetype out = 0;
    for (qsizetype i = 0; i < run.size(); ++i) {
        char16_t c = run.at(i).unicode();
        if (c == 0x2029)
            c = QChar::LineSeparator;
        else if (c == u'\n' && keep == KeepLineFeeds::Yes)
            ;
        else if ((c < 0x20 && c != u'\t') || c == 0xFDD0 || c == 0xFDD1 || c == 0xFDEF || c == 0xFFFC)
            continue;
        run[out++] = QChar(c);
    }
    run.truncate(out);
}

} // namespace rtf
