#include "platform/TTimerHost.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

TEST(TimerHost, TicksCarryTheCallersIdUntilStopped)
{
    TTimerHost host;
    std::map<int, int> ticks;
    host.OnTimer = [&](int id) {
        ++ticks[id];
        if (id == 7 && ticks[7] == 2)
            host.Stop(7); // a handler may stop its own timer
    };
    host.Start(7, 5);
    host.Start(-1, 5);
    EXPECT_TRUE(host.IsRunning(7));
    EXPECT_FALSE(host.IsRunning(8));
    QTRY_VERIFY_WITH_TIMEOUT(ticks[-1] >= 4, 5000);
    EXPECT_EQ(ticks[7], 2);
    EXPECT_FALSE(host.IsRunning(7));
    host.Stop(-1);
    const int before = ticks[-1];
    QTest::qWait(30);
    EXPECT_EQ(ticks[-1], before);
    host.Stop(12345); // never started: nothing
}

TEST(TimerHost, RestartReplacesTheInterval)
{
    TTimerHost host;
    int ticks = 0;
    host.OnTimer = [&](int) { ++ticks; };
    host.Start(1, 60000);
    host.Start(1, 5); // same id: one timer, the new interval
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 5000);
    host.StopAll();
    EXPECT_FALSE(host.IsRunning(1));
}
