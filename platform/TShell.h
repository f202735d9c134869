// TShell: opens documents and links with the desktop's handler, never through a command shell.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class TShell {
public:
    using Opener = std::function<bool(const QUrl&)>;

    // Replaces what opens an accepted target (tests record instead of opening); an empty
    // function restores the desktop opener.
    static void SetOpener(Opener opener);

    // Opens `target` when it is an http, https, ftp, mailto or file URL, or the path of an
    // existing file or folder. Anything else, and any executable file, is refused and returns false.
    static bool Open(const QString& target);

    // The URL `target` would be opened as; an invalid URL when it would be refused.
    static QUrl ResolveTarget(const QString& target);
};
