// A timer of interval 0 fires on the next pass of the event loop, as Qt's own zero timer does.
#include "toolkit/Timer.h"
#include "toolkit/Application.h"

#include <gtest/gtest.h>

TEST(ProcessMessages, DeliversPendingEventsOnce) {
    TApplication app("reelstand");
    int fired = 0;
    TTimer timer;
    timer.SetInterval(0);
    timer.OnTimer = [&](TObject*) { ++fired; };
    timer.SetEnabled(true);
    app.ProcessMessages();
    EXPECT_EQ(fired, 1);
}
