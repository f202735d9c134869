#include "platform/TSystemIcons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <vector>

namespace {

struct IconEntry {
    QIcon icon;
    bool folder = false;
    QImage small;
    QImage large;
};

struct Registry {
    std::vector<IconEntry> entries;
    QHash<QString, int> byKey;
};

Registry& Icons()
{
    static Registry registry;
    return registry;
}

bool HaveWidgets()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

QIcon LookUp(const QFileInfo& info, bool exists, bool* folder)
{
    *folder = exists && info.isDir();
    if (!HaveWidgets())
        return QIcon();
    QFileIconProvider provider;
    // Without a file this is the theme's icon for the extension's MIME type, if it has one.
    QIcon icon = provider.icon(info);
    if (icon.isNull())
        icon = provider.icon(*folder ? QAbstractFileIconProvider::Folder : QAbstractFileIconProvider::File);
    if (icon.isNull() && QApplication::style())
        icon = QApplication::style()->standardIcon(*folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    return icon;
}

// A plain page (or folder tab) drawn by hand when no icon source is available at all.
QImage Fallback(int size, bool folder)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QColor(80, 80, 80));
    p.setBrush(folder ? QColor(230, 190, 90) : QColor(Qt::white));
    const int m = size / 8;
    if (folder)
        p.drawRect(QRect(m, 3 * m, size - 2 * m - 1, size - 4 * m - 1));
    else
        p.drawRect(QRect(2 * m, m, size - 4 * m - 1, size - 2 * m - 1));
    return image;
}

QImage Render(const IconEntry& e, int size)
{
    if (e.icon.isNull())
        return Fallback(size, e.folder);
    QImage image = e.icon.pixmap(QSize(size, size)).toImage();
    if (image.isNull())
        return Fallback(size, e.folder);
    if (image.width() != size || image.height() != size)
        image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (image.width() != size || image.height() != size) {
        QImage square(size, size, QImage::Format_ARGB32);
        square.fill(Qt::transparent);
        QPainter p(&square);
        p.drawImage((size - image.width()) / 2, (size - image.height()) / 2, image);
        p.end();
        image = square;
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int TSystemIcons::IndexOf(const QString& name)
{
    if (name.isEmpty())
        return -1;
    const QFileInfo info(name);
    const bool exists = info.exists();
    QString key;
    if (exists)
        key = QStringLiteral("path:") + info.absoluteFilePath();
    else
        key = QStringLiteral("type:") + info.suffix().toLower();
    Registry& reg = Icons();
    auto it = reg.byKey.constFind(key);
    if (it != reg.byKey.constEnd())
        return *it;
    IconEntry entry;
    entry.icon = LookUp(info, exists, &entry.folder);
    reg.entries.push_back(std::move(entry));
    const int index = int(reg.entries.size()) - 1;
    reg.byKey.insert(key, index);
    return index;
}

QImage TSystemIcons::Image(int index, bool large)
{
    Registry& reg = Icons();
    if (index < 0 || index >= int(reg.entries.size()))
        return QImage();
    IconEntry& e = reg.entries[size_t(index)];
    QImage& cached = large ? e.large : e.small;
    if (cached.isNull())
        cached = Render(e, Size(large));
    return cached;
}

int TSystemIcons::Count()
{
    return int(Icons().entries.size());
}
