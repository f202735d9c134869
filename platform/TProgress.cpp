#include "platform/TProgress.h"

#include <algorithm>
#include <utility>

TProgressMeter::TProgressMeter(TProgressCallback callback, qint64 total)
    : m_callback(std::move(callback))
    , m_total(std::max<qint64>(0, total))
{ }

void TProgressMeter::Report(qint64 done, bool last)
{
    if (m_finished)
        return;
    m_stepsSinceRead = 0;
    m_done = std::max(m_done, std::min(done, m_total));
    if (last) {
        m_finished = true;
        if (m_reports > 0 && m_reported == m_total)
            return; // the end was told already
    } else if (m_done >= m_total || (m_reports > 0 && m_sinceReport.elapsed() < kIntervalMs)) {
        return; // done == total is told by Finish alone, as the last report
    }
    ++m_reports;
    m_reported = m_done;
    m_sinceReport.start();
    bool cancel = false;
    m_callback(m_done, m_total, cancel);
    // Once the work is complete there is nothing left to stop.
    if (cancel && !last)
        throw EProgressCancelled();
}
