#include <gtest/gtest.h>

#include <ctime>

#include "string_kinds.h"
#include "values/date_time.h"

using date_time = fresh_memory;

TEST_F(date_time, FixedClockAndFailingClock) {
  kx::date_time_clock = [](std::tm* t) {
    *t = std::tm{};
    t->tm_year = 87;
    t->tm_mon = 2;
    t->tm_mday = 5;
    t->tm_hour = 7;
    t->tm_min = 4;
    t->tm_sec = 9;
    return true;
  };
  EXPECT_EQ(text_of(func_date()), "03-05-1987");
  EXPECT_EQ(text_of(func_time()), "07:04:09");
  kx::date_time_clock = [](std::tm*) { return false; };
  EXPECT_EQ(func_date()->length, 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_time()->length, 0);
  EXPECT_EQ(take_error(), 5u);
  kx::date_time_clock = kx::system_local_clock;
  EXPECT_EQ(text_of(func_time()).size(), 8u);
  // Setting the clock is accepted and changes nothing.
  sub_date(literal_of("01-01-1980"));
  sub_time(literal_of("00:00:00"));
  EXPECT_EQ(new_error.load(), 0u);
}
