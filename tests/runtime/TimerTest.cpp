// Timers through the real message loop.
#include "BoxWatcher.h"

#include "runtime/Exception.h"
#include "runtime/Timer.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

TEST(Timer, TicksWhileEnabledAndStopsWhenDisabled) {
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TTimer&) { ++ticks; };
    timer.SetInterval(20);
    test::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, 0); // off until enabled
    timer.SetEnabled(true);
    EXPECT_TRUE(test::PumpUntil([&] { return ticks >= 3; }, 2000));
    timer.SetEnabled(false);
    int stoppedAt = ticks;
    test::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, stoppedAt);
}

// Whether a tick of the application's timers is due now, left in the queue undelivered.
bool TickDue() {
    MSG message;
    return PeekMessageA(&message, Application().UtilityWindow(), WM_TIMER, WM_TIMER, PM_NOREMOVE) != 0;
}

TEST(Timer, ChangingTheIntervalRestartsTheCount) {
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TTimer&) { ++ticks; };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    // Once a tick has fallen due, a new interval starts the count again: the tick due under
    // the old one is never delivered.
    for (int wait = 0; wait < 10000 && !TickDue(); ++wait)
        Sleep(1);
    ASSERT_TRUE(TickDue());
    timer.SetInterval(600000);
    EXPECT_FALSE(TickDue());
    Application().ProcessMessages();
    EXPECT_EQ(ticks, 0);
}

TEST(Timer, ADestroyedTimerFiresNoMore) {
    int ticks = 0;
    {
        TTimer timer;
        timer.OnTimer = [&](TTimer&) { ++ticks; };
        timer.SetInterval(10);
        timer.SetEnabled(true);
    }
    test::PumpUntil([] { return false; }, 80);
    EXPECT_EQ(ticks, 0);
}

} // namespace
} // namespace quennet

namespace quennet {
namespace {

TEST(Timer, AnExceptionFromOnTimerGoesToTheApplicationErrorBox) {
    Application().SetTitle("Timer Test");
    TTimer timer;
    timer.SetInterval(10);
    timer.OnTimer = [](TTimer& t) {
        t.SetEnabled(false);
        throw Exception("Invalid selection start");
    };
    test::BoxWatcher watcher("Timer Test");
    timer.SetEnabled(true);
    const test::BoxSeen& seen = watcher.Serve();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Invalid selection start");
}

} // namespace
} // namespace quennet
