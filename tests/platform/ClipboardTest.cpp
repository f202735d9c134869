#include "platform/TClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

TEST(Clipboard, PlainTextRoundTrip)
{
    TClipboard::SetAsText(QStringLiteral("a\tb\r\nc\td"));
    EXPECT_TRUE(TClipboard::HasText());
    EXPECT_EQ(TClipboard::AsText(), QStringLiteral("a\tb\r\nc\td"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\tb\r\nc\td"));

    // An empty text is still a text.
    TClipboard::SetAsText(QString());
    EXPECT_TRUE(TClipboard::HasText());
    EXPECT_EQ(TClipboard::AsText(), QString());

    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(TClipboard::HasText());
    EXPECT_EQ(TClipboard::AsText(), QString());
}

TEST(Clipboard, TextEndsAtTheFirstNul)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("row1") + QChar(0) + QStringLiteral("junk"));
    EXPECT_EQ(TClipboard::AsText(), QStringLiteral("row1"));
}
