#include "platform/TSystemIcons.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SystemIcons, IndexesAreStablePerNameAndType)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    const int folder = TSystemIcons::IndexOf(dir.path());
    const int existing = TSystemIcons::IndexOf(file);
    const int pdf = TSystemIcons::IndexOf(QStringLiteral("missing-report.pdf"));
    EXPECT_GE(folder, 0);
    EXPECT_GE(existing, 0);
    EXPECT_NE(folder, existing);
    EXPECT_EQ(TSystemIcons::IndexOf(file), existing);
    EXPECT_EQ(TSystemIcons::IndexOf(QStringLiteral("other.PDF")), pdf); // same type, same icon
    EXPECT_NE(TSystemIcons::IndexOf(QStringLiteral("x.zip")), pdf);
    EXPECT_EQ(TSystemIcons::IndexOf(QString()), -1);
    EXPECT_GE(TSystemIcons::Count(), 4);
}

TEST(SystemIcons, ImagesComeInSmallAndLargeSquares)
{
    const int index = TSystemIcons::IndexOf(QStringLiteral("picture.png"));
    const QImage small = TSystemIcons::Image(index, false);
    const QImage large = TSystemIcons::Image(index, true);
    EXPECT_EQ(small.size(), QSize(16, 16));
    EXPECT_EQ(large.size(), QSize(32, 32));
    int visible = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            visible += qAlpha(large.pixel(x, y)) > 0;
    EXPECT_GT(visible, 32); // something is drawn
    EXPECT_TRUE(TSystemIcons::Image(-1, false).isNull());
    EXPECT_TRUE(TSystemIcons::Image(TSystemIcons::Count(), true).isNull());
}
