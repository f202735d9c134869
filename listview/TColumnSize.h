// TColumnSize: where and whether a list keeps its column widths between runs.
#pragma once

#include <QString>

class TOrvListView;

enum TSizeStorage : unsigned char { stInifile, stRegistry };

class TColumnSize {
public:
    explicit TColumnSize(TOrvListView* list)
        : m_list(list)
    { }
    TColumnSize(const TColumnSize&) = delete;
    TColumnSize& operator=(const TColumnSize&) = delete;

    void Assign(const TColumnSize& other);

    bool Save() const { return m_save; }
    void SetSave(bool v) { m_save = v; }
    QString Key() const { return m_key; } // INI file name, or registry key path
    void SetKey(const QString& v) { m_key = v; }
    QString Section() const { return m_section; }
    void SetSection(const QString& v) { m_section = v; }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool v) { m_stretch = v; }
    TSizeStorage Storage() const { return m_storage; }
    void SetStorage(TSizeStorage v) { m_storage = v; }

    TOrvListView* List() const { return m_list; }

private:
    TOrvListView* m_list;
    bool m_save = false;
    QString m_key;
    QString m_section;
    bool m_stretch = false;
    TSizeStorage m_storage = stInifile;
};
