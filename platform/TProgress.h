// Progress of long work (loading, saving, exporting, printing a list): how the work tells its
// caller how far it has come, and learns that the caller wants it stopped.
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>
#include <algorithm>
#include <functional>
#include <stdexcept>

// Told `done` units of `total` (rows, bytes, ...); set `cancel` to stop the work.
using TProgressCallback = std::function<void(qint64 done, qint64 total, bool& cancel)>;

// Thrown out of the work when the callback asked it to stop. The operation that started the work
// catches it after putting back what the work had changed.
class EProgressCancelled : public std::runtime_error {
public:
    EProgressCancelled()
        : std::runtime_error("Cancelled")
    { }
};

// Feeds a callback from a loop at a bounded rate. The first Step is reported at once, later ones
// when kIntervalMs have passed since the last report, and Finish reports done == total; `done`
// never goes down and never passes `total`. A cancel throws out of the Step that heard it.
// Without a callback every call costs a test.
class TProgressMeter {
public:
    static constexpr qint64 kIntervalMs = 50; // at most one report per interval between the first and last

    explicit TProgressMeter(const TProgressCallback& callback, qint64 total = 0);

    void SetTotal(qint64 total) { m_total = std::max<qint64>(0, total); }
    qint64 Total() const { return m_total; }
    // Throws EProgressCancelled when the callback asks to stop.
    void Step(qint64 done)
    {
        if (m_callback)
            Report(done, false);
    }
    // The last report, everything done (skipped when the last Step told that already). A cancel
    // asked for now comes too late to stop anything and is ignored.
    void Finish()
    {
        if (m_callback)
            Report(m_total, true);
    }
    int Reports() const { return m_reports; }

private:
    void Report(qint64 done, bool last);

    const TProgressCallback& m_callback;
    qint64 m_total = 0;
    qint64 m_done = 0; // the most done so far
    qint64 m_reported = -1; // `done` of the last report
    int m_reports = 0;
    bool m_finished = false;
    QElapsedTimer m_sinceReport;
};
