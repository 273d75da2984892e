// The video layer's worker: items in order, one ahead at most, joined on every way out. Run
// under ThreadSanitizer by make test-tsan.

#include "video/DecodeAhead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

// Makes the numbers 0 ... count-1, then no more; counts how far ahead it got.
struct Numbers {
    int count;
    int next = 0;
    int made = -1;
    std::atomic<int> produced = 0;
    bool Produce() {
        if (next >= count)
            return false;
        made = next++;
        ++produced;
        return true;
    }
};

TEST(DecodeAhead, HandsOverEveryItemInOrderAndStaysOneAhead) {
    Numbers n{5};
    DecodeAhead ahead([&] { return n.Produce(); });
    std::vector<int> taken;
    int item = -1;
    while (ahead.Take([&] { item = n.made; })) {
        taken.push_back(item);
        EXPECT_LE(n.produced.load(), int(taken.size()) + 1);
    }
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(ahead.Take([] {})); // the end stays the end
}

TEST(DecodeAhead, StopJoinsAndTheCallerOwnsTheStateUntilTheNextTake) {
    Numbers n{100};
    DecodeAhead ahead([&] { return n.Produce(); });
    int item = -1;
    ASSERT_TRUE(ahead.Take([&] { item = n.made; }));
    EXPECT_EQ(item, 0);
    ahead.Stop(); // item 1 was being made: it is finished and dropped
    EXPECT_FALSE(ahead.Running());
    n.next = 0; // the caller rewinds, as a restart of the decode does
    ASSERT_TRUE(ahead.Take([&] { item = n.made; }));
    EXPECT_EQ(item, 0);
    ASSERT_TRUE(ahead.Take([&] { item = n.made; }));
    EXPECT_EQ(item, 1);
}

TEST(DecodeAhead, DestroyedWhileWorkingOrNeverStarted) {
    for (int takes : {0, 1, 3}) {
        Numbers n{1000};
        {
            DecodeAhead ahead([&] { return n.Produce(); });
            for (int i = 0; i < takes; ++i)
                ASSERT_TRUE(ahead.Take([] {}));
        }
        EXPECT_LE(n.produced.load(), takes + 1) << takes;
    }
}

TEST(DecodeAhead, AThrowingProducerEndsTheItems) {
    int calls = 0;
    DecodeAhead ahead([&]() -> bool {
        if (++calls == 2)
            throw std::runtime_error("broken");
        return true;
    });
    EXPECT_TRUE(ahead.Take([] {}));
    EXPECT_FALSE(ahead.Take([] {}));
}

} // namespace
