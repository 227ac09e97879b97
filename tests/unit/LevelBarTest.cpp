#include "ui/LevelBar.h"

#include <gtest/gtest.h>

#include <limits>

TEST(LevelBarTest, MapsSixtyDecibelsOntoTheBar)
{
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(0.0f), 1.0);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(-30.0f), 0.5);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(-160.0f), 0.0);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(3.0f), 1.0);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(-std::numeric_limits<float>::infinity()), 0.0);
    EXPECT_DOUBLE_EQ(LevelBar::shareOf(std::numeric_limits<float>::quiet_NaN()), 0.0);
}
