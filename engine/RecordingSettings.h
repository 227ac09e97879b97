#pragma once

#include <cstdint>
#include <map>
#include <string>

// The audio settings a recording starts with: the recorder's keys and their integer values.
using RecordingSettings = std::map<std::string, std::int64_t>;

namespace RecordingKey {
inline constexpr const char *formatId = "AVFormatIDKey";
inline constexpr const char *sampleRate = "AVSampleRateKey";
inline constexpr const char *numberOfChannels = "AVNumberOfChannelsKey";
inline constexpr const char *bitDepth = "AVLinearPCMBitDepthKey";
inline constexpr const char *isBigEndian = "AVLinearPCMIsBigEndianKey";
inline constexpr const char *isFloat = "AVLinearPCMIsFloatKey";
inline constexpr const char *isNonInterleaved = "AVLinearPCMIsNonInterleaved";
} // namespace RecordingKey

// 'lpcm': linear PCM.
inline constexpr std::int64_t kAudioFormatLinearPCM = 0x6C70636D;
