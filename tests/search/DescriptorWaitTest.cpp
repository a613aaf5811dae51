// Waiting for descriptors: once a wait has given up for want of any, the next file gives up at
// once instead of waiting as long again (a tree of files that could not be opened took two
// seconds a file), until one comes back.
#include "search/DescriptorWait.h"

#include <gtest/gtest.h>

using namespace quennet;

namespace {

// How many times a reader tries its open again before it gives up.
unsigned TriesBeforeGivingUp(DescriptorWait& wait) {
    DescriptorWait::Waiter waiter = wait.Begin();
    unsigned tries = 0;
    while (wait.Wait(waiter))
        ++tries;
    return tries;
}

TEST(DescriptorWait, OnceGivenUpTheNextFileDoesNotWaitAgainUntilOneComesBack) {
    DescriptorWait wait(5);
    EXPECT_EQ(TriesBeforeGivingUp(wait), 4u);
    EXPECT_EQ(TriesBeforeGivingUp(wait), 0u);
    EXPECT_EQ(TriesBeforeGivingUp(wait), 0u);
    wait.Returned(); // the drought is over: the next reader waits again
    EXPECT_EQ(TriesBeforeGivingUp(wait), 4u);
}

} // namespace
