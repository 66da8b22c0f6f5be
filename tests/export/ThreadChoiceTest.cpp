#include "export/ThreadChoice.h"

#include <gtest/gtest.h>

namespace {

// Calls of 10000 frames that take `two` or `alone` seconds; how many of `calls` went on two threads.
int TwoThreadCalls(TThreadChoice& choice, int calls, double two, double alone) {
  int count = 0;
  for (int i = 0; i < calls; ++i) {
    const bool twoThreads = choice.TwoThreads();
    count += twoThreads;
    choice.Took(twoThreads, 10000, twoThreads ? two : alone);
  }
  return count;
}

TEST(ThreadChoice, FollowsTheFasterWayAsTheLoadChangesAndTriesTheOtherNowAndThen) {
  TThreadChoice choice;
  const int whileTwoFaster = TwoThreadCalls(choice, 64, 0.001, 0.002);
  EXPECT_GE(whileTwoFaster, 56);
  EXPECT_LT(whileTwoFaster, 64) << "the way alone is tried again";
  const int whileAloneFaster = TwoThreadCalls(choice, 64, 0.003, 0.002);
  EXPECT_LE(whileAloneFaster, 8);
  EXPECT_GT(whileAloneFaster, 0) << "two threads are tried again";
}

}  // namespace
