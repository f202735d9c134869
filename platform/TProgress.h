// Progress of long work (loading, saving, exporting, printing a list): how the work tells its
// caller how far it has come, and learns that the caller wants it stopped.
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>
#include <functional>
#include <stdexcept>

// Told `done` units of `total` (rows, bytes, cells: only the ratio means anything); setting
// `cancel` asks the work to stop.
using TProgressCallback = std::function<void(qint64 done, qint64 total, bool& cancel)>;

// Thrown out of the work when the callback asked it to stop. Whoever started the work catches it
// after putting back what the work had changed.
class EProgressCancelled : public std::runtime_error {
public:
    EProgressCancelled()
        : std::runtime_error("Cancelled")
    { }
};

// Feeds a callback from a loop at a bounded rate. The first Step is reported at once; later ones
// when kIntervalMs have passed since the last report (the clock is read only every
// kStepsPerClockRead steps, so that a step costs a counter increment); Finish reports
// done == total, and only Finish does: done == total marks the last report, the one whose cancel
// comes too late. Reported values never go down and never pass `total`. A cancel throws out of
// the Step that heard it. Without a callback nothing is reported and a step costs a test.
class TProgressMeter {
public:
    static constexpr qint64 kIntervalMs = 50; // at most one report per interval between first and last
    static constexpr int kStepsPerClockRead = 16;

    TProgressMeter(TProgressCallback callback, qint64 total);

    qint64 Total() const { return m_total; }
    // `done` units are complete. Throws EProgressCancelled when the callback asks to stop.
    void Step(qint64 done)
    {
        if (m_callback && (m_reports == 0 || ++m_stepsSinceRead >= kStepsPerClockRead))
            Report(done, false);
    }
    // The last report, everything done; skipped when the last report told that already. A cancel
    // asked for now comes too late to stop anything and is ignored. Later calls do nothing.
    void Finish()
    {
        if (m_callback)
            Report(m_total, true);
    }
    int Reports() const { return m_reports; }

private:
    void Report(qint64 done, bool last);

    TProgressCallback m_callback;
    qint64 m_total = 0;
    qint64 m_done = 0; // the most done so far
    qint64 m_reported = -1; // `done` of the last report
    int m_reports = 0;
    int m_stepsSinceRead = 0; // steps since the clock was last read
    bool m_finished = false;
    QElapsedTimer m_sinceReport;
};
