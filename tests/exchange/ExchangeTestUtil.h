// Shared helpers of the exchange tests: temporary files and small models built from literals.
#pragma once

#include "platform/TListItems.h"
#include "support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace exchangetest {

// Readable comparisons in failure messages.
inline std::vector<std::string> S(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

using orvtest::ReadBytes;
using orvtest::WriteBytes;

// A model: columns with these captions, rows as {caption, sub-item, ...}.
struct TModel {
    TListColumns columns;
    TListItems items;

    TModel() = default;
    TModel(std::initializer_list<const char*> captions, std::initializer_list<QStringList> rows)
    {
        Reset(captions, rows);
    }
    void Reset(std::initializer_list<const char*> captions, std::initializer_list<QStringList> rows)
    {
        items.Clear();
        columns.Clear();
        for (const char* caption : captions)
            columns.Add().SetCaption(QString::fromUtf8(caption));
        for (const QStringList& row : rows)
            AddRow(row);
    }
    TListItem& AddRow(const QStringList& cells)
    {
        TListItem& item = items.Add();
        if (!cells.isEmpty()) {
            item.SetCaption(cells.first());
            item.SubItems() = cells.mid(1);
        }
        return item;
    }
    QStringList Row(int r) const
    {
        QStringList cells { items[r].Caption() };
        cells += items[r].SubItems();
        return cells;
    }
    QStringList Captions() const
    {
        QStringList captions;
        for (int c = 0; c < columns.Count(); ++c)
            captions << columns[c].Caption();
        return captions;
    }
};

// Makes writes past `bytes` fail (EFBIG) while it lives, so that a save can be made to fail
// after its file was opened, even for the super-user.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

// A scratch folder per test.
class TempFolder {
public:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        const QString path = Path(name);
        WriteBytes(path, bytes);
        return path;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace exchangetest
