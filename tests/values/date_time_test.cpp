#include <gtest/gtest.h>

#include <ctime>

#include "string_kinds.h"
#include "values/date_time.h"

using date_time = fresh_memory;

TEST_F(date_time, DateAndTimeShowTheLocalClock) {
  // Read until the second did not change around the call.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const std::time_t before = std::time(nullptr);
    const std::string date = text_of(func_date());
    const std::string time = text_of(func_time());
    if (std::time(nullptr) != before) continue;
    std::tm local{};
    localtime_r(&before, &local);
    char expected_date[16], expected_time[16];
    std::strftime(expected_date, sizeof expected_date, "%m-%d-%Y", &local);
    std::strftime(expected_time, sizeof expected_time, "%H:%M:%S", &local);
    EXPECT_EQ(date, expected_date);
    EXPECT_EQ(time, expected_time);
    EXPECT_EQ(date.size(), 10u);
    EXPECT_EQ(time.size(), 8u);
    return;
  }
  FAIL() << "the clock kept changing second";
}

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
  // Setting the clock is accepted and changes nothing.
  sub_date(literal_of("01-01-1980"));
  sub_time(literal_of("00:00:00"));
  EXPECT_EQ(new_error.load(), 0u);
}
