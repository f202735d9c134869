// TProfileStore: named values in sections, kept in an INI file or in the user's native
// settings store under a "registry" key path.
#pragma once

#include <QString>
#include <memory>

class QSettings;

enum TProfileKind { pkIniFile, pkRegistry };

class TProfileStore {
public:
    // pkIniFile: `location` is the INI file; a bare file name lives in the user's config folder.
    // pkRegistry: `location` is a key path such as "Software\\Company\\Product\\Lists"; the first
    // two names after an optional "Software" pick the store, the rest is a key prefix.
    TProfileStore(const QString& location, TProfileKind kind = pkIniFile);
    ~TProfileStore();
    TProfileStore(const TProfileStore&) = delete;
    TProfileStore& operator=(const TProfileStore&) = delete;

    TProfileKind Kind() const { return m_kind; }
    QString Location() const { return m_location; }
    QString FileName() const; // the file that holds the values

    // Writes and stores at once; false when the value could not be stored (unwritable file).
    bool WriteInteger(const QString& section, const QString& name, int value);
    bool WriteString(const QString& section, const QString& name, const QString& value);

    int ReadInteger(const QString& section, const QString& name, int defaultValue = 0) const;
    QString ReadString(
        const QString& section, const QString& name, const QString& defaultValue = QString()) const;
    bool ValueExists(const QString& section, const QString& name) const;
    bool EraseSection(const QString& section);

    // The INI path a bare file name resolves to (folders are kept as given).
    static QString ResolveIniPath(const QString& fileName);

private:
    QString Key(const QString& section, const QString& name) const;
    bool Store();

    TProfileKind m_kind;
    QString m_location;
    QString m_prefix; // registry: the key path below the store, '/'-separated
    std::unique_ptr<QSettings> m_settings;
};
