#include "platform/TSharedTextBlock.h"

#include <QStringList>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Writes `texts` into one block and returns them as the block hands them out.
QStringList Pack(const QStringList& texts)
{
    qsizetype units = 0;
    for (const QString& t : texts)
        units += t.size();
    TSharedTextBlock block(units, int(texts.size()));
    QStringList out;
    for (const QString& t : texts) {
        std::memcpy(block.Next(), t.constData(), size_t(t.size()) * sizeof(char16_t));
        out << block.Take(t.size());
    }
    return out;
}

} // namespace

TEST(SharedTextBlock, TextsReadBackWholeAndEndInZero)
{
    const QStringList texts { "caption", "", "a", QString::fromUtf8("h\xC3\xA9llo \xF0\x9F\x98\x80"),
        "last one" };
    const QStringList packed = Pack(texts);
    ASSERT_EQ(packed, texts);
    for (const QString& t : packed) {
        EXPECT_FALSE(t.isNull());
        EXPECT_EQ(t.utf16()[t.size()], 0) << t.toStdString();
    }
    // One allocation: each text starts right after the previous one's terminating zero.
    for (qsizetype i = 1; i < packed.size(); ++i)
        EXPECT_EQ(packed[i].constData(), packed[i - 1].constData() + packed[i - 1].size() + 1);
}

TEST(SharedTextBlock, ChangingOneTextLeavesTheOthersAlone)
{
    QStringList packed = Pack({ "alpha", "beta", "gamma" });
    packed[1] += QStringLiteral(" and more text than the block had room for");
    packed[0].replace(0, 1, QStringLiteral("A"));
    packed[2].prepend(QStringLiteral(">>"));
    EXPECT_EQ(packed, (QStringList { "Alpha", "beta and more text than the block had room for", ">>gamma" }));

    // The last text left in a block may grow in place over the space its neighbours had.
    QStringList survivors = Pack({ "one", "two", "three" });
    QString last = survivors[0];
    survivors.clear();
    last += QStringLiteral("-grown");
    last.append(QString(200, u'x'));
    EXPECT_EQ(last, QStringLiteral("one-grown") + QString(200, u'x'));
    last.squeeze();
    last.chop(200);
    EXPECT_EQ(last, QStringLiteral("one-grown"));
}

TEST(SharedTextBlock, CopiesShareAndOutliveTheBlockBuilder)
{
    QString kept;
    {
        const QStringList packed = Pack({ "first", "second" });
        kept = packed[1];
        EXPECT_EQ(kept.constData(), packed[1].constData());
    }
    EXPECT_EQ(kept, QStringLiteral("second"));
    kept.detach();
    EXPECT_EQ(kept, QStringLiteral("second"));
}

TEST(SharedTextBlock, TextsNotTakenAreGivenBack)
{
    // Room for five, two taken: the block lives exactly as long as the two.
    QString a, b;
    {
        TSharedTextBlock block(10, 5);
        std::memcpy(block.Next(), u"ab", 4);
        a = block.Take(2);
        std::memcpy(block.Next(), u"cd", 4);
        b = block.Take(2);
    }
    EXPECT_EQ(a + b, QStringLiteral("abcd"));
    a = QString();
    EXPECT_EQ(b, QStringLiteral("cd"));
    {
        TSharedTextBlock none(0, 0); // nothing allocated, nothing to free
        TSharedTextBlock unused(8, 3);
    }
}

TEST(SharedTextBlock, ManyBlocksOfManyTextsSurviveMixedUse)
{
    // 2,000 blocks of up to 40 texts, then every other text changed or dropped.
    std::vector<QStringList> rows;
    for (int r = 0; r < 2000; ++r) {
        QStringList texts;
        for (int c = 0; c < 1 + r % 40; ++c)
            texts << QStringLiteral("r%1c%2").arg(r).arg(c);
        rows.push_back(Pack(texts));
    }
    for (int r = 0; r < 2000; ++r) {
        QStringList& row = rows[size_t(r)];
        for (int c = 0; c < row.size(); ++c) {
            if (c % 3 == 1)
                row[c] += QStringLiteral("!");
            else if (c % 3 == 2)
                row[c] = QString();
        }
    }
    for (int r = 0; r < 2000; ++r)
        for (int c = 0; c < rows[size_t(r)].size(); ++c) {
            const QString expected
                = c % 3 == 2 ? QString() : QStringLiteral("r%1c%2").arg(r).arg(c) + (c % 3 == 1 ? "!" : "");
            ASSERT_EQ(rows[size_t(r)][c], expected) << r << ' ' << c;
        }
}
