#include "platform/TShell.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace {

TShell::Opener& CustomOpener()
{
    static TShell::Opener opener;
    return opener;
}

bool HasControlCharacters(const QString& s)
{
    for (QChar c : s) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

// A program is never started from a link: the desktop opener might run it.
bool IsProgram(const QString& localPath)
{
    const QFileInfo info(localPath);
    return info.isFile() && info.isExecutable();
}

} // namespace

void TShell::SetOpener(Opener opener)
{
    CustomOpener() = std::move(opener);
}

QUrl TShell::ResolveTarget(const QString& target)
{
    const QString t = target.trimmed();
    if (t.isEmpty() || HasControlCharacters(t))
        return QUrl();
    // A plain path first: a file called "http:x" in the working folder is still a file.
    if (!t.contains(QLatin1String("://")) && !t.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
        const QFileInfo info(t);
        if (info.exists())
            return IsProgram(t) ? QUrl() : QUrl::fromLocalFile(info.absoluteFilePath());
    }
    const QUrl url(t, QUrl::StrictMode);
    if (!url.isValid())
        return QUrl();
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp"))
        return url.host().isEmpty() ? QUrl() : url;
    if (scheme == QLatin1String("mailto"))
        return url.path().isEmpty() ? QUrl() : url;
    if (scheme == QLatin1String("file"))
        return url.isLocalFile() && !url.toLocalFile().isEmpty() && !IsProgram(url.toLocalFile()) ? url
                                                                                                  : QUrl();
    return QUrl();
}

bool TShell::Open(const QString& target)
{
    const QUrl url = ResolveTarget(target);
    if (!url.isValid())
        return false;
    if (CustomOpener())
        return CustomOpener()(url);
    return QDesktopServices::openUrl(url);
}
