#include "exchange/private/TTextFileReader.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(TextFileReader, Utf8Validation)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool valid;
    } cases[] = {
        { "ascii", "plain text, long enough to take the eight-byte path", true },
        { "two-byte", "caf\xC3\xA9", true },
        { "three-byte euro", "\xE2\x82\xAC", true },
        { "four-byte emoji", "\xF0\x9F\x98\x80", true },
        { "highest code point", "\xF4\x8F\xBF\xBF", true },
        { "lone Latin-1 byte", "caf\xE9", false },
        { "stray continuation", "\x80", false },
        { "overlong slash", "\xC0\xAF", false },
        { "overlong three-byte", "\xE0\x80\xAF", false },
        { "surrogate", "\xED\xA0\x80", false },
        { "past U+10FFFF", "\xF4\x90\x80\x80", false },
        { "truncated at end", "abc\xE2\x82", false },
        { "bad byte after ascii run", "0123456789abcdef\xFF", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TTextFileReader::IsValidUtf8(c.bytes.constData(), c.bytes.size()), c.valid);
    }
}

TEST(TextFileReader, LineEndModes)
{
    const QByteArray bytes("a\r\nb\nc\rd\r\n\r\ne");
    struct Case {
        TTextFileReader::TLineEnds mode;
        QStringList lines;
    } cases[] = {
        { TTextFileReader::TLineEnds::CarriageReturn, { "a", "b\nc", "d", "", "e" } },
        { TTextFileReader::TLineEnds::Any, { "a", "b", "c", "d", "", "e" } },
    };
    for (const Case& c : cases) {
        TTextFileReader reader(c.mode);
        reader.SetData(bytes);
        QStringList lines;
        QString line;
        while (reader.NextLine(line))
            lines << line;
        EXPECT_EQ(lines, c.lines);
        reader.Rewind();
        ASSERT_TRUE(reader.NextLine(line));
        EXPECT_EQ(line, "a");
    }
}

TEST(TextFileReader, EncodingFallbackCoversTheWholeFile)
{
    // One invalid byte late in the file makes every line Windows-1252, so a file is never
    // decoded half one way and half the other.
    TTextFileReader reader;
    reader.SetData("\xC3\xA9\r\n\x80\xE9\r\n");
    EXPECT_EQ(reader.Encoding(), TTextFileReader::TEncoding::Windows1252);
    QString line;
    reader.NextLine(line);
    EXPECT_EQ(line, QString::fromUtf8("Ã©"));
    reader.NextLine(line);
    EXPECT_EQ(line, QString::fromUtf8("€é"));
    EXPECT_FALSE(reader.NextLine(line));
}
