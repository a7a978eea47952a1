#include <gtest/gtest.h>

#include "kit/PlayTime.h"

namespace {

using namespace std::chrono_literals;

TEST(PlayTimeTest, ScopesStampPlaysWithTheirMomentNestAndRestore) {
  const auto before = playtime::Clock::now();
  EXPECT_GE(playtime::Now(), before) << "without a scope: the clock";
  const auto tick = before - 3ms;
  {
    playtime::Scope outer(tick);
    EXPECT_EQ(playtime::Now(), tick);
    {
      playtime::Scope inner(tick - 1ms);
      EXPECT_EQ(playtime::Now(), tick - 1ms);
    }
    EXPECT_EQ(playtime::Now(), tick);
    {
      playtime::Scope future(playtime::Clock::now() + 1h);  // never ahead of the clock
      EXPECT_LT(playtime::Now(), playtime::Clock::now() + 1min);
    }
  }
  EXPECT_GE(playtime::Now(), before);
}

}  // namespace
