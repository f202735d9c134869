#include "platform/TProfileStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QStringList KeyParts(const QString& keyPath)
{
    QString path = keyPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    static const QStringList roots = { QStringLiteral("HKEY_CURRENT_USER"), QStringLiteral("HKCU") };
    if (!parts.isEmpty() && roots.contains(parts.first(), Qt::CaseInsensitive))
        parts.removeFirst();
    if (!parts.isEmpty() && parts.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    return parts;
}

} // namespace

QString TProfileStore::ResolveIniPath(const QString& fileName)
{
    if (fileName.isEmpty())
        return fileName;
    if (QFileInfo(fileName).isAbsolute() || fileName.contains(QLatin1Char('/')))
        return fileName;
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    return QDir(dir).filePath(fileName);
}

TProfileStore::TProfileStore(const QString& location, TProfileKind kind)
    : m_kind(kind)
    , m_location(location)
{
    if (kind == pkIniFile) {
        m_settings = std::make_unique<QSettings>(ResolveIniPath(location), QSettings::IniFormat);
        return;
    }
    QStringList parts = KeyParts(location);
    const QString organisation = parts.isEmpty() ? QStringLiteral("orvlistview") : parts.takeFirst();
    const QString application = parts.isEmpty() ? organisation : parts.takeFirst();
    m_prefix = parts.join(QLatin1Char('/'));
    m_settings = std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, organisation, application);
}

TProfileStore::~TProfileStore() = default;

QString TProfileStore::FileName() const
{
    return m_settings->fileName();
}

QString TProfileStore::Key(const QString& section, const QString& name) const
{
    QString key = m_prefix;
    for (const QString& part : { section, name }) {
        QString p = part;
        p.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (p.isEmpty())
            continue;
        if (!key.isEmpty())
            key += QLatin1Char('/');
        key += p;
    }
    return key;
}

bool TProfileStore::Store()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

bool TProfileStore::WriteInteger(const QString& section, const QString& name, int value)
{
    if (!m_settings->isWritable())
        return false;
    m_settings->setValue(Key(section, name), value);
    return Store();
}

bool TProfileStore::WriteString(const QString& section, const QString& name, const QString& value)
{
    if (!m_settings->isWritable())
        return false;
    m_settings->setValue(Key(section, name), value);
    return Store();
}

int TProfileStore::ReadInteger(const QString& section, const QString& name, int defaultValue) const
{
    const QVariant v = m_settings->value(Key(section, name));
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    const int result = v.toString().trimmed().toInt(&ok);
    return ok ? result : defaultValue;
}

QString TProfileStore::ReadString(
    const QString& section, const QString& name, const QString& defaultValue) const
{
    const QVariant v = m_settings->value(Key(section, name));
    return v.isValid() ? v.toString() : defaultValue;
}

bool TProfileStore::ValueExists(const QString& section, const QString& name) const
{
    return m_settings->contains(Key(section, name));
}

bool TProfileStore::EraseSection(const QString& section)
{
    if (!m_settings->isWritable())
        return false;
    const QString key = Key(section, QString());
    if (key.isEmpty())
        return false; // never wipe the whole store
    m_settings->remove(key);
    return Store();
}
