#include "recording/RecordingFileName.h"

#include <gtest/gtest.h>

TEST(RecordingFileNameTest, DayMonthYearThenTimeWithLeadingZeros)
{
    EXPECT_EQ(proposedRecordingName(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7))),
              QStringLiteral("Recording on 06-12-26 090507"));
    EXPECT_EQ(proposedRecordingName(QDateTime(QDate(2027, 1, 31), QTime(23, 59, 59))),
              QStringLiteral("Recording on 31-01-27 235959"));
}
