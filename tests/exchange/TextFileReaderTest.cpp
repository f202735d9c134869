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
    struct Case {
        const char* name;
        QByteArray bytes;
        TTextFileReader::TLineEnds mode;
        QString separators;
        QStringList lines;
    } cases[] = {
        { "CR", "a\r\nb\nc\rd\r\n\r\ne", TTextFileReader::TLineEnds::CarriageReturn, {},
            { "a", "b\nc", "d", "", "e" } },
        { "LF", "a\nb\r\nc\rd\n\ne", TTextFileReader::TLineEnds::LineFeedQuoted, ",",
            { "a", "b", "c\rd", "", "e" } },
        { "LF, quoted at the line start", "\"a\nb\"\nc", TTextFileReader::TLineEnds::LineFeedQuoted, ",",
            { "\"a\nb\"", "c" } },
        { "LF, quoted after a separator", "x;\"a\nb\";y\nc", TTextFileReader::TLineEnds::LineFeedQuoted, ",;",
            { "x;\"a\nb\";y", "c" } },
        { "LF, quote after another character", "x\"a\nb\"\nc", TTextFileReader::TLineEnds::LineFeedQuoted,
            ",", { "x\"a", "b\"", "c" } },
        { "LF, doubled quotes stay inside", "\"a\"\"\nb\"\n\"\"\nc",
            TTextFileReader::TLineEnds::LineFeedQuoted, ",", { "\"a\"\"\nb\"", "\"\"", "c" } },
        { "LF, unclosed quote", "a,\"b\nc\n", TTextFileReader::TLineEnds::LineFeedQuoted, ",",
            { "a,\"b\nc\n" } },
        { "LF, CR LF after a quoted field", "\"a\"\r\nb", TTextFileReader::TLineEnds::LineFeedQuoted, ",",
            { "\"a\"", "b" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTextFileReader reader(c.mode);
        reader.SetFieldSeparators(c.separators);
        reader.SetData(c.bytes);
        QStringList lines;
        QString line;
        while (reader.NextLine(line))
            lines << line;
        EXPECT_EQ(lines, c.lines);
        reader.Rewind();
        ASSERT_TRUE(reader.NextLine(line));
        EXPECT_EQ(line, c.lines.first());
    }
}

TEST(TextFileReader, FirstLineFeedDecidesAndSeparatorsFollowTheEncoding)
{
    struct Case {
        QByteArray bytes;
        bool lineFeed;
    } cases[] = {
        { "a\nb\r\n", true }, { "a\r\nb\n", false }, { "a\rb\nc", false }, { "a,b", false }, { "", false },
        { "\xEF\xBB\xBF"
          "a\n",
            true },
        { "a\x1a\r\nb\n", false }, // Ctrl-Z ends the data before any LF
    };
    for (const Case& c : cases) {
        TTextFileReader reader;
        reader.SetData(c.bytes);
        EXPECT_EQ(reader.FirstLineFeedHasNoCarriageReturn(), c.lineFeed) << c.bytes.toStdString();
    }
    // A separator outside ASCII is matched in the file's own encoding.
    for (const QByteArray& bytes : { QByteArray("x\xA7\"a\nb\"\nc"), QByteArray("x\xC2\xA7\"a\nb\"\nc") }) {
        TTextFileReader reader(TTextFileReader::TLineEnds::LineFeedQuoted);
        reader.SetFieldSeparators(QString(QChar(0xA7)));
        reader.SetData(bytes);
        QString line;
        ASSERT_TRUE(reader.NextLine(line));
        EXPECT_EQ(line, QString::fromUtf8("x\u00a7\"a\nb\""));
        EXPECT_EQ(reader.Encode(QString(QChar(0xA7))).size(), bytes.contains('\xC2') ? 2 : 1);
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
