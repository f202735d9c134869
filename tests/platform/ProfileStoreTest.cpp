#include "platform/TProfileStore.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProfileStore, IniRoundTripWritesPlainEntries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lists.ini"));
    {
        TProfileStore store(path);
        EXPECT_TRUE(store.WriteInteger(QStringLiteral("Columns"), QStringLiteral("col0"), 80));
        EXPECT_TRUE(store.WriteInteger(QStringLiteral("Columns"), QStringLiteral("col1"), 120));
        EXPECT_TRUE(
            store.WriteString(QStringLiteral("Other"), QStringLiteral("name"), QStringLiteral("a b")));
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(content.contains(QStringLiteral("[Columns]")));
    EXPECT_TRUE(content.contains(QStringLiteral("col0=80")));
    EXPECT_TRUE(content.contains(QStringLiteral("col1=120")));

    const TProfileStore again(path);
    EXPECT_EQ(again.ReadInteger(QStringLiteral("Columns"), QStringLiteral("col1")), 120);
    EXPECT_EQ(again.ReadString(QStringLiteral("Other"), QStringLiteral("name")), QStringLiteral("a b"));
    EXPECT_EQ(again.ReadInteger(QStringLiteral("Columns"), QStringLiteral("col9"), -1), -1);
    EXPECT_EQ(again.ReadInteger(QStringLiteral("Other"), QStringLiteral("name"), 7), 7); // not a number
    EXPECT_TRUE(again.ValueExists(QStringLiteral("Columns"), QStringLiteral("col0")));
}

TEST(ProfileStore, BareNameLivesInTheConfigFolder)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation)
        + QStringLiteral("/orvtest_bare.ini");
    {
        TProfileStore store(QStringLiteral("orvtest_bare.ini"));
        EXPECT_EQ(store.FileName(), expected);
        EXPECT_TRUE(store.WriteInteger(QStringLiteral("S"), QStringLiteral("col0"), 5));
    }
    EXPECT_TRUE(QFile::exists(expected));
    QFile::remove(expected);
    QStandardPaths::setTestModeEnabled(false);
}

TEST(ProfileStore, UnwritableFileReportsFailure)
{
    QTemporaryDir dir;
    // A folder that cannot be created because a file has its name (holds even for root).
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    TProfileStore store(blocker + QStringLiteral("/sub/lists.ini"));
    EXPECT_FALSE(store.WriteInteger(QStringLiteral("Columns"), QStringLiteral("col0"), 80));
    EXPECT_FALSE(store.WriteString(QStringLiteral("Columns"), QStringLiteral("x"), QStringLiteral("y")));
}

TEST(ProfileStore, RegistryKeyPathPicksStoreAndSubKey)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    {
        TProfileStore store(QStringLiteral("Software\\OrvTest\\Demo\\Lists"), pkRegistry);
        EXPECT_TRUE(store.WriteInteger(QStringLiteral("Main"), QStringLiteral("col0"), 80));
        EXPECT_TRUE(store.WriteInteger(QStringLiteral("Main"), QStringLiteral("col1"), 120));
        EXPECT_TRUE(store.FileName().startsWith(dir.path()));
    }
    QSettings raw(
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OrvTest"), QStringLiteral("Demo"));
    EXPECT_EQ(raw.value(QStringLiteral("Lists/Main/col1")).toInt(), 120);
    const TProfileStore again(QStringLiteral("HKEY_CURRENT_USER/Software/OrvTest/Demo/Lists"), pkRegistry);
    EXPECT_EQ(again.ReadInteger(QStringLiteral("Main"), QStringLiteral("col0")), 80);
    TProfileStore eraser(QStringLiteral("Software\\OrvTest\\Demo\\Lists"), pkRegistry);
    EXPECT_TRUE(eraser.EraseSection(QStringLiteral("Main")));
    EXPECT_FALSE(eraser.ValueExists(QStringLiteral("Main"), QStringLiteral("col0")));
    // Back to the user's own folder for whatever runs next in this process.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
        QStandardPaths::writableLocation(QStandardPaths::ConfigLocation));
}
