#include "toolkit/Timer.h"
#include "toolkit/Application.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Yields to the event loop until `done` says so or `limit` has passed.
void ProcessFor(TApplication& app, std::chrono::milliseconds limit,
                const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        app.ProcessMessages();
}

// An interval of 0 (or less) never ticks, as on the old platform: a timer that ticked on every
// pass of the event loop would keep a core busy.
TEST(Timer, TicksOnlyWhileEnabledWithAnIntervalAboveZero) {
    TApplication app("reelstand");
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&ticks](TObject*) { ++ticks; };
    struct Step {
        const char* name;
        int interval;
        bool enabled;
        bool ticking;
    };
    for (const Step& s :
         {Step{"enabled, 1 ms", 1, true, true}, Step{"interval 0", 0, true, false},
          Step{"interval below 0", -5, true, false}, Step{"1 ms again", 1, true, true},
          Step{"disabled", 1, false, false}, Step{"interval 0, enabled later", 0, true, false}}) {
        SCOPED_TRACE(s.name);
        timer.SetInterval(s.interval);
        timer.SetEnabled(s.enabled);
        EXPECT_EQ(timer.Interval(), s.interval);
        EXPECT_EQ(timer.Enabled(), s.enabled);
        ticks = 0;
        // A stopped timer gets long enough to show a tick that the system's shortest timer
        // (10 ms) would give.
        ProcessFor(app, std::chrono::milliseconds(s.ticking ? 5000 : 50),
                   [&] { return s.ticking && ticks >= 2; });
        EXPECT_EQ(ticks > 0, s.ticking) << ticks << " ticks";
    }
}

} // namespace
