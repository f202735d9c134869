#include "platform/TProgress.h"
#include "support/ProgressRecorder.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using orvtest::ProgressRecorder;

TEST(ProgressMeter, WithoutCallbackNothingIsReported)
{
    TProgressMeter meter({}, 10);
    for (int i = 0; i < 10; ++i)
        meter.Step(i);
    meter.Finish();
    EXPECT_EQ(meter.Reports(), 0);
}

TEST(ProgressMeter, FirstStepAtOnceThenTheEndOnce)
{
    ProgressRecorder recorder;
    TProgressMeter meter(recorder.Callback(), 1000);
    for (int i = 0; i < 1000; ++i)
        meter.Step(i); // a fast loop: everything after the first falls inside one interval
    meter.Finish();
    meter.Finish(); // a second end tells nothing new
    meter.Step(5); // nor does a step after the end
    ASSERT_EQ(recorder.reports.size(), 2u);
    EXPECT_EQ(recorder.reports[0], (std::pair<qint64, qint64>(0, 1000)));
    EXPECT_EQ(recorder.reports[1], (std::pair<qint64, qint64>(1000, 1000)));
}

TEST(ProgressMeter, DoneIsClampedToTheRangeAndNeverGoesDown)
{
    ProgressRecorder recorder;
    recorder.sleepMs = int(TProgressMeter::kIntervalMs) + 5; // every clock read lets a report through
    TProgressMeter meter(recorder.Callback(), 100);
    const qint64 steps[] = { -5, 40, 30, 250 };
    for (qint64 done : steps)
        for (int i = 0; i < TProgressMeter::kStepsPerClockRead; ++i)
            meter.Step(done);
    meter.Finish();
    const std::vector<std::pair<qint64, qint64>> expected { { 0, 100 }, { 40, 100 }, { 40, 100 },
        { 100, 100 } };
    // The steps to 250 reach the total: that is for the end to tell, once.
    EXPECT_EQ(recorder.reports, expected);
    EXPECT_TRUE(recorder.WellFormed(true));
}

TEST(ProgressMeter, TheClockIsReadEverySoManySteps)
{
    ProgressRecorder recorder;
    recorder.sleepMs = int(TProgressMeter::kIntervalMs) + 5;
    TProgressMeter meter(recorder.Callback(), 1000);
    meter.Step(0);
    // One step short of the next clock read: however late it is, no report.
    for (int i = 1; i < TProgressMeter::kStepsPerClockRead; ++i)
        meter.Step(i);
    EXPECT_EQ(recorder.reports.size(), 1u);
    meter.Step(TProgressMeter::kStepsPerClockRead);
    ASSERT_EQ(recorder.reports.size(), 2u);
    EXPECT_EQ(recorder.reports[1].first, TProgressMeter::kStepsPerClockRead);
}

TEST(ProgressMeter, CancelThrowsFromAStepButNotFromTheEnd)
{
    for (int cancelAt : { 0, 1, 2 }) {
        SCOPED_TRACE(cancelAt);
        ProgressRecorder recorder;
        recorder.sleepMs = int(TProgressMeter::kIntervalMs) + 5;
        recorder.cancelAt = cancelAt;
        TProgressMeter meter(recorder.Callback(), 100);
        int completed = 0;
        try {
            for (int i = 0; i < 100; ++i) {
                meter.Step(i);
                ++completed;
            }
            meter.Finish();
        } catch (const EProgressCancelled&) { }
        EXPECT_EQ(completed, cancelAt * TProgressMeter::kStepsPerClockRead);
        EXPECT_EQ(int(recorder.reports.size()), cancelAt + 1);
    }
    // A step that reaches the total is not reported: only the end tells done == total, and a
    // cancel heard with the work complete changes nothing.
    {
        ProgressRecorder atTotal;
        atTotal.sleepMs = int(TProgressMeter::kIntervalMs) + 5;
        atTotal.cancelAt = 1;
        TProgressMeter meter(atTotal.Callback(), 10);
        meter.Step(0);
        for (int i = 0; i < TProgressMeter::kStepsPerClockRead; ++i)
            EXPECT_NO_THROW(meter.Step(10));
        EXPECT_NO_THROW(meter.Finish());
        const std::vector<std::pair<qint64, qint64>> expected { { 0, 10 }, { 10, 10 } };
        EXPECT_EQ(atTotal.reports, expected);
    }
    ProgressRecorder late;
    late.cancelAt = 1;
    TProgressMeter meter(late.Callback(), 3);
    meter.Step(0);
    EXPECT_NO_THROW(meter.Finish());
    EXPECT_EQ(late.reports.size(), 2u);
}

TEST(ProgressMeter, NothingToDoStillEndsAtTheTotal)
{
    ProgressRecorder recorder;
    TProgressMeter meter(recorder.Callback(), -3); // a negative total counts as none
    meter.Finish();
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0], (std::pair<qint64, qint64>(0, 0)));
}

TEST(ProgressMeter, ReportsAreBoundedByTimeOverMillionsOfSteps)
{
    // Millions of cheap steps for about 300 ms: reports come about every interval, no more often.
    ProgressRecorder recorder;
    constexpr qint64 total = qint64(1) << 40;
    QElapsedTimer clock;
    clock.start();
    TProgressMeter meter(recorder.Callback(), total);
    qint64 steps = 0;
    while (steps % 4096 != 0 || clock.elapsed() < 6 * TProgressMeter::kIntervalMs)
        meter.Step(steps++);
    meter.Finish();
    const qint64 elapsedMs = clock.elapsed();
    EXPECT_GT(steps, 1'000'000);
    EXPECT_TRUE(recorder.WellFormed(true));
    EXPECT_LE(qint64(recorder.reports.size()), elapsedMs / TProgressMeter::kIntervalMs + 2);
    EXPECT_GE(recorder.reports.size(), 4u);
}
