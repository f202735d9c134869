#include "platform/TShell.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct RecordingOpener {
    std::vector<QUrl> opened;
    RecordingOpener()
    {
        TShell::SetOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    ~RecordingOpener() { TShell::SetOpener({}); }
};

} // namespace

TEST(Shell, OpensOnlyLinksOfKnownKinds)
{
    RecordingOpener rec;
    for (const char* ok : { "http://example.com/x?y=1", "https://example.com", "HTTP://EXAMPLE.COM",
             "ftp://ftp.example.com/pub", "mailto:someone@example.com", "file:///tmp" }) {
        SCOPED_TRACE(ok);
        EXPECT_TRUE(TShell::Open(QString::fromUtf8(ok)));
    }
    ASSERT_EQ(rec.opened.size(), 6u);
    EXPECT_EQ(rec.opened[0], QUrl(QStringLiteral("http://example.com/x?y=1")));
    EXPECT_EQ(rec.opened[4].scheme(), QStringLiteral("mailto"));

    rec.opened.clear();
    for (const char* refused : { "javascript:alert(1)", "JavaScript:alert(1)", "data:text/html,<b>x</b>",
             "vbscript:msgbox", "rm -rf /", "cmd.exe /c calc", "sh -c 'id'", "calc.exe", "; ls", "$(reboot)",
             "http://", "mailto:", "http://exa mple.com", "http://example.com\nrm", "", "   ",
             "smb://server/share", "no-such-file.txt", "file:///bin/sh", "/bin/sh" }) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(TShell::Open(QString::fromUtf8(refused)));
    }
    EXPECT_TRUE(rec.opened.empty());
}

TEST(Shell, ExistingPathsBecomeFileUrls)
{
    RecordingOpener rec;
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("report.txt"));
    QFile f(doc);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    EXPECT_TRUE(TShell::Open(doc));
    EXPECT_TRUE(TShell::Open(dir.path()));
    ASSERT_EQ(rec.opened.size(), 2u);
    EXPECT_TRUE(rec.opened[0].isLocalFile());
    EXPECT_EQ(rec.opened[0].toLocalFile(), doc);

    // The opener's verdict is the result.
    TShell::SetOpener([](const QUrl&) { return false; });
    EXPECT_FALSE(TShell::Open(doc));
}
