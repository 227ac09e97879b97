#include "recording/QualityPreset.h"

#include <gtest/gtest.h>

#include <utility>

TEST(QualityPresetTest, SevenEntriesThatDifferOnlyInTheRate)
{
    for (const auto &[preset, rate] :
         {std::pair{QualityPreset::Low, 12000}, std::pair{QualityPreset::Medium, 24000},
          std::pair{QualityPreset::High, 48000}}) {
        const RecordingSettings expected{
            {"AVFormatIDKey", 1819304813},      {"AVSampleRateKey", rate},
            {"AVNumberOfChannelsKey", 1},       {"AVLinearPCMBitDepthKey", 16},
            {"AVLinearPCMIsBigEndianKey", 0},   {"AVLinearPCMIsFloatKey", 0},
            {"AVLinearPCMIsNonInterleaved", 0},
        };
        EXPECT_EQ(recordingSettings(preset), expected);
    }
}
