#include "recording/ElapsedTime.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

TEST(ElapsedTimeTest, FormatsWholeHoursMinutesAndSecondsWithoutWrappingHours)
{
    const std::pair<double, const char *> rows[] = {
        {0, "00 : 00 : 00"},       {0.25, "00 : 00 : 00"},   {59.9, "00 : 00 : 59"},
        {61.5, "00 : 01 : 01"},    {3599.9, "00 : 59 : 59"}, {3600, "01 : 00 : 00"},
        {86399, "23 : 59 : 59"},   {86400, "24 : 00 : 00"},  {359999.75, "99 : 59 : 59"},
        {360000, "100 : 00 : 00"},
    };
    for (const auto &[seconds, text] : rows)
        EXPECT_EQ(formatElapsedTime(seconds).toStdString(), text) << seconds;
    // Never given by the recorder, but must not print garbage.
    EXPECT_EQ(formatElapsedTime(-3).toStdString(), "00 : 00 : 00");
    EXPECT_EQ(formatElapsedTime(std::numeric_limits<double>::quiet_NaN()).toStdString(), "00 : 00 : 00");
    EXPECT_EQ(elapsedSecondsField(125.7), 5);
}
