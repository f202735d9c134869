// Small helpers shared by the test suites.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

class QWidget;

namespace orvtest {

// Path of a file under tests/data.
QString DataPath(const QString& name);

// Saves an image under the build's test output folder (for looking at a failure)
// and returns the path written.
QString SaveForInspection(const QImage& image, const QString& name);

// Number of pixels in the rectangle whose colour is within `tolerance` of `color`
// on every channel.
int CountPixels(const QImage& image, const QRect& area, QColor color, int tolerance = 0);

// True when a program of that name is on PATH (tests that need an outside peer skip without it).
bool HaveProgram(const QString& name);

// Runs a program and returns its standard output; exit code in *exitCode when given.
QByteArray RunProgram(
    const QString& program, const QStringList& args, int* exitCode = nullptr, int timeoutMs = 60000);

// The whole content of a file; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);

// Writes `bytes` as the whole content of a file (a failed test when it cannot).
void WriteBytes(const QString& path, const QByteArray& bytes);

// Resident memory of this process, kilobytes (0 where the system does not say).
long ResidentKilobytes();

// Runs `answer` on the next modal window as soon as it is up (polled every 20 ms from the event
// loop, so call it before the code that opens the window).
void AnswerNextModal(std::function<void(QWidget*)> answer);

} // namespace orvtest

// Readable failure messages for Qt strings in GoogleTest assertions.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << '}';
}
