// Records the progress a piece of work reports, and can ask it to stop at a given report.
#pragma once

#include "platform/TProgress.h"

#include <QThread>
#include <gtest/gtest.h>
#include <limits>
#include <utility>
#include <vector>

namespace orvtest {

struct ProgressRecorder {
    std::vector<std::pair<qint64, qint64>> reports; // (done, total) in order
    int cancelAt = -1; // index of the report that asks to stop; -1 never
    // Each report takes this long, so that the next clock read of the meter lets the following one
    // through: work of a few dozen steps then reports several times.
    int sleepMs = 0;
    int slowReports = std::numeric_limits<int>::max(); // how many of the first reports sleep

    void Hear(qint64 done, qint64 total, bool& cancel)
    {
        reports.emplace_back(done, total);
        if (int(reports.size()) - 1 == cancelAt)
            cancel = true;
        if (sleepMs > 0 && int(reports.size()) <= slowReports)
            QThread::msleep(sleepMs);
    }
    TProgressCallback Callback()
    {
        return [this](qint64 done, qint64 total, bool& cancel) { Hear(done, total, cancel); };
    }

    // At least one report, one total throughout, done never down, 0 <= done <= total; with
    // `complete` the last report has done == total.
    ::testing::AssertionResult WellFormed(bool complete) const
    {
        if (reports.empty())
            return ::testing::AssertionFailure() << "no report";
        const qint64 total = reports.front().second;
        qint64 previous = 0;
        for (size_t i = 0; i < reports.size(); ++i) {
            const auto [done, t] = reports[i];
            if (t != total)
                return ::testing::AssertionFailure()
                    << "total " << t << " at report " << i << ", was " << total;
            if (done < previous || done < 0 || done > total)
                return ::testing::AssertionFailure()
                    << "done " << done << " at report " << i << " after " << previous << " of " << total;
            previous = done;
        }
        if (complete && reports.back().first != total)
            return ::testing::AssertionFailure() << "ends at " << reports.back().first << " of " << total;
        return ::testing::AssertionSuccess();
    }
};

} // namespace orvtest
