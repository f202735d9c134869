#include "platform/TProgress.h"

#include <algorithm>

TProgressMeter::TProgressMeter(const TProgressCallback& callback, qint64 total)
    : m_callback(callback)
    , m_total(std::max<qint64>(0, total))
{ }

void TProgressMeter::Report(qint64 done, bool last)
{
    if (m_finished)
        return;
    done = std::max(m_done, std::min(done, m_total));
    m_done = done;
    if (last) {
        m_finished = true;
        if (m_reports > 0 && m_reported == m_total)
            return; // the end was told already
    } else if (m_reports > 0 && m_sinceReport.elapsed() < kIntervalMs) {
        return;
    }
    ++m_reports;
    m_reported = done;
    m_sinceReport.start();
    bool cancel = false;
    m_callback(done, m_total, cancel);
    // Once the work is complete there is nothing left to stop.
    if (cancel && !last)
        throw EProgressCancelled();
}
