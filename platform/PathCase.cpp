#include "platform/PathCase.h"

#include <QDir>
#include <QFileInfo>

namespace pathcase {

QString Resolve(const QString& path)
{
    if (path.isEmpty())
        return {};
    if (QFileInfo::exists(path))
        return path;

    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const bool absolute = clean.startsWith(QLatin1Char('/'));
    const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        const QString base = current.isEmpty() ? QStringLiteral(".") : current;
        const QString exact = current.isEmpty() ? part : QDir(current).filePath(part);
        QString next;
        if (part == QLatin1String(".") || part == QLatin1String("..") || QFileInfo::exists(exact)) {
            next = exact;
        } else {
            const QStringList entries = QDir(base).entryList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    next = current.isEmpty() ? entry : QDir(current).filePath(entry);
                    break;
                }
            }
            if (next.isEmpty())
                return {};
        }
        current = next;
    }
    return current;
}

} // namespace pathcase
