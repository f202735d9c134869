#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

namespace orvtest {

QString DataPath(const QString& name)
{
    return QStringLiteral(ORV_TEST_DATA_DIR) + QLatin1Char('/') + name;
}

QString SaveForInspection(const QImage& image, const QString& name)
{
    const QString dir = QDir::currentPath() + QStringLiteral("/test-output");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name;
    image.save(path);
    return path;
}

int CountPixels(const QImage& image, const QRect& area, QColor color, int tolerance)
{
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) <= tolerance
                && std::abs(c.green() - color.green()) <= tolerance
                && std::abs(c.blue() - color.blue()) <= tolerance)
                ++count;
        }
    }
    return count;
}

bool HaveProgram(const QString& name)
{
    return !QStandardPaths::findExecutable(name).isEmpty();
}

QByteArray RunProgram(const QString& program, const QStringList& args, int* exitCode, int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(timeoutMs);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

long ResidentKilobytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return long(fields[1].toLongLong() * (sysconf(_SC_PAGESIZE) / 1024));
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}

void AnswerNextModal(std::function<void(QWidget*)> answer)
{
    // Each timer holds its own copy of the poll: no object keeps itself alive.
    struct Poll {
        std::function<void(QWidget*)> answer;
        void operator()() const
        {
            if (QWidget* w = QApplication::activeModalWidget())
                answer(w);
            else
                QTimer::singleShot(20, *this);
        }
    };
    QTimer::singleShot(20, Poll { std::move(answer) });
}

} // namespace orvtest
