#include "engine/timers/TimersMap.h"

#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"

namespace {

using engine::timers::TimersMap;

enum class Key { Clouds, Wings, Fade };

TEST(TimersMap, RotatingTimersAdvanceFromTheFirstCallAndWrap) {
    TimersMap<Key> timers;
    timers.add(Key::Clouds, 1000.0F);
    timers.add(Key::Wings, 250.0F);
    timers.iterate(500.0); // no first-call special case: lastTime starts at 0
    EXPECT_FLOAT_EQ(timers.get(Key::Clouds), 0.5F);
    EXPECT_FLOAT_EQ(timers.get(Key::Wings), 0.0F); // 2.0 wrapped
    timers.iterate(1750.0);
    EXPECT_FLOAT_EQ(timers.get(Key::Clouds), 0.75F); // 0.5 + 1.25 wrapped

    // Backwards time retraces the cycle: truncating remainder, -0.25 and not 0.75.
    timers.set(Key::Clouds, 0.1F);
    timers.iterate(1400.0);
    EXPECT_NEAR(timers.get(Key::Clouds), -0.25F, 1e-6F);
}

TEST(TimersMap, OneShotTimerStopsAtOneAndSetOrReAddRestartsIt) {
    TimersMap<Key> timers;
    timers.add(Key::Fade, 1000.0F, false);
    timers.iterate(500.0);
    timers.iterate(2000.0);
    EXPECT_EQ(timers.get(Key::Fade), 1.0F);
    timers.set(Key::Fade, 0.0F); // keeps period and mode
    timers.iterate(2400.0);
    EXPECT_FLOAT_EQ(timers.get(Key::Fade), 0.4F);
    timers.iterate(1900.0); // no lower bound
    EXPECT_NEAR(timers.get(Key::Fade), -0.1F, 1e-6F);

    timers.add(Key::Fade, 2000.0F); // replaces: phase 0, rotating now
    EXPECT_EQ(timers.get(Key::Fade), 0.0F);
    timers.iterate(4900.0);
    EXPECT_FLOAT_EQ(timers.get(Key::Fade), 0.5F);
}

TEST(TimersMap, MissingKeyFailsWithMessageAndChangesNothing) {
    TimersMap<Key> timers;
    timers.add(Key::Clouds, 1000.0F);
    timers.iterate(300.0);
    try {
        timers.set(Key::Wings, 0.5F);
        FAIL() << "set of a missing key must fail";
    } catch (const engine::GeneralError& e) {
        EXPECT_STREQ(e.what(), "Timer not found");
    }
    EXPECT_THROW((void)timers.get(Key::Wings), engine::GeneralError);
    EXPECT_FALSE(timers.contains(Key::Wings));
    EXPECT_FLOAT_EQ(timers.get(Key::Clouds), 0.3F);
}

TEST(TimersMap, IterateAllocatesNothing) {
    TimersMap<int> timers;
    for (int i = 0; i < 9; ++i) {
        timers.add(i, 500.0F + 100.0F * static_cast<float>(i), i % 2 == 0);
    }
    testsupport::AllocationCounter counter;
    for (int frame = 1; frame <= 1000; ++frame) {
        timers.iterate(16.0 * frame);
        timers.set(frame % 9, timers.get((frame + 1) % 9));
    }
    EXPECT_EQ(counter.count(), 0U);
}

} // namespace
